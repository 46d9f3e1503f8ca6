#pragma once

#include "FormBase.h"
#include "SerialPort.h"

#include <QMap>
#include <QString>

// The serial devices that stand for the port names "COM1" and "COM2".
using PortDevices = QMap<QString, QString>;
PortDevices DefaultPortDevices();

// Sends the recorder its counter-reset command after the user confirms.
class RecorderResetWindow : public FormBase
{
    Q_OBJECT
public:
    explicit RecorderResetWindow(
        const PortDevices &ports = DefaultPortDevices(), QWidget *parent = nullptr);

    // The port name the next reset starts with.
    QString portName() const { return m_portName; }
    // Tests wrap the ports to watch or fail their steps.
    void setPortFactory(SerialPortFactory factory) { m_makePort = std::move(factory); }

    // What the buttons do, also for a caller that drives the window without clicks.
    // "Yes": sends the reset command; the failures are shown in boxes.
    void sendReset();
    void closeWindow();

private:
    std::unique_ptr<SerialPort> openPort(const QString &portName);

    PortDevices m_ports;
    SerialPortFactory m_makePort;
    // "COM1" until an open fails, then "COM2" for the rest of the run.
    QString m_portName;
};
