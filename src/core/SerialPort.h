#pragma once

#include <QSerialPort>
#include <QString>

#include <functional>
#include <memory>

// Line settings of one transmission. Settings not named here stay as the port had them.
struct LineSettings
{
    qint32 baudRate;
    QSerialPort::DataBits dataBits;
    QSerialPort::Parity parity;
    QSerialPort::StopBits stopBits;
    QSerialPort::FlowControl flowControl;
    bool dataTerminalReady;
    bool requestToSend;
};

// The few things a short command to a device on a serial line needs from the port.
// Every step returns false when it did not happen.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // Read-write, held exclusively: fails when the device is missing or in use, also when
    // another program holds it with an advisory lock.
    virtual bool openExclusive() = 0;
    // Modem lines are set where the device has them; a device without them is no failure.
    virtual bool applyLineSettings(const LineSettings &settings) = 0;
    // Returns once the byte has left the port completely, not merely been queued.
    virtual bool sendAndDrain(char byte) = 0;
    virtual void close() = 0;
};

// A serial port by its device name ("/dev/ttyS0", or "COM1" on Windows).
using SerialPortFactory = std::function<std::unique_ptr<SerialPort>(const QString &device)>;

class DeviceSerialPort : public SerialPort
{
public:
    explicit DeviceSerialPort(const QString &device);
    ~DeviceSerialPort() override;

    bool openExclusive() override;
    bool applyLineSettings(const LineSettings &settings) override;
    bool sendAndDrain(char byte) override;
    void close() override;

    static std::unique_ptr<SerialPort> create(const QString &device);

private:
    bool setModemLine(bool ok);
    bool drain();

    QSerialPort m_port;
};
