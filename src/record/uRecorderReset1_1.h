#pragma once

#include "SerialPort.h"
#include "app/FormBase.h"

#include <QMap>
#include <QString>

class QLabel;
class QPushButton;

// The serial devices that stand for the port names "COM1" and "COM2".
using PortDevices = QMap<QString, QString>;
PortDevices DefaultPortDevices();

// Sends the recorder its counter-reset command after the user confirms.
class TForm5 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm5(const PortDevices &ports = DefaultPortDevices(), QWidget *parent = nullptr);

    // The port name the next reset starts with.
    QString portName() const { return m_portName; }
    // Tests wrap the ports to watch or fail their steps.
    void setPortFactory(SerialPortFactory factory) { m_makePort = std::move(factory); }

    QLabel *Label1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button1;

public slots:
    void YesClick();
    void NoClick();
    void CloseClick();

private:
    std::unique_ptr<SerialPort> openPort(const QString &portName);

    PortDevices m_ports;
    SerialPortFactory m_makePort;
    // "COM1" until an open fails, then "COM2" for the rest of the run.
    QString m_portName;
};

extern TForm5 *Form5;
