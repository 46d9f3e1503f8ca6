#pragma once

#include "PortMapping.h"
#include "Result.h"
#include "SerialPort.h"

#include <QList>
#include <QString>

// The failures a reset can report, in the order they are reported.
enum class ResetMessage {
    NoPort, // neither port could be opened
    NotOpen, // so nothing was sent; always follows NoPort
    NotSent, // a port opened but the settings or the byte did not get through
};

// The window's text of a message (in Polish, as the recorder's users know it) and its caption.
QString ResetMessageText(ResetMessage message);
inline const QString ResetMessageCaption = QStringLiteral("Błąd !");
// The same message in English, for the command line.
QString ResetMessageEnglish(ResetMessage message);

// Success when the byte has left the port. A failure's message is in English, for the command
// line; the window shows `messages` in its own language instead.
struct ResetResult : Result
{
    QString portName; // the port tried last: "COM1", "COM2", or the device given by name
    QString device; // its device
    QList<ResetMessage> messages;
};

// The recorder's counter reset: one "5" at 1200 baud, 8 data bits, no parity, one stop bit,
// DTR raised, RTS low, no handshake. The first reset tries COM1; once COM1 has failed to open,
// this reset and every later one use COM2.
class RecorderReset
{
public:
    explicit RecorderReset(const PortDevices &ports);

    // Tests wrap the ports to watch or fail their steps.
    void setPortFactory(SerialPortFactory factory) { m_makePort = std::move(factory); }

    // The port name the next reset starts with.
    QString portName() const { return m_portName; }

    ResetResult run();
    // One reset on the named device alone, with no fall-back.
    ResetResult runOn(const QString &device);

private:
    std::unique_ptr<SerialPort> openPort(const QString &device);
    void send(SerialPort &port, ResetResult &result);

    PortDevices m_ports;
    SerialPortFactory m_makePort;
    QString m_portName;
};
