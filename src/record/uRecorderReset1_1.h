#pragma once

#include "PortMapping.h"
#include "RecorderReset.h"
#include "SerialPort.h"
#include "app/FormBase.h"

#include <QString>

class QLabel;
class QPushButton;

// Sends the recorder its counter-reset command after the user confirms.
class TForm5 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm5(const PortDevices &ports = ConfiguredPortDevices(), QWidget *parent = nullptr);

    // The port name the next reset starts with.
    QString portName() const { return m_reset.portName(); }
    // Tests wrap the ports to watch or fail their steps.
    void setPortFactory(SerialPortFactory factory) { m_reset.setPortFactory(std::move(factory)); }

    QLabel *Label1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button1;

public slots:
    void YesClick();
    void NoClick();
    void CloseClick();

private:
    // "COM1" until an open fails, then "COM2" for the rest of the run.
    RecorderReset m_reset;
};

extern TForm5 *Form5;
