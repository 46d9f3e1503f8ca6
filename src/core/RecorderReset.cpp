#include "RecorderReset.h"

#include <QThread>

namespace {
// The recorder listens at 1200 baud 8N1 without handshake, DTR raised and RTS low, and
// clears its counters on the character "5".
const LineSettings RecorderLine {1200, QSerialPort::Data8, QSerialPort::NoParity,
    QSerialPort::OneStop, QSerialPort::NoFlowControl, true, false};
constexpr char ResetCommand = 0x35;
} // namespace

QString ResetMessageText(ResetMessage message)
{
    switch (message) {
    case ResetMessage::NoPort:
        return QStringLiteral("Niewłaściwa nazwa portu lub port jest aktywny.");
    case ResetMessage::NotOpen:
        return QStringLiteral("Port nie został otwarty do transmisji.");
    case ResetMessage::NotSent:
        return QStringLiteral("Nie udało się wysłać polecenia do rejestratora.");
    }
    return QString();
}

QString ResetMessageEnglish(ResetMessage message)
{
    switch (message) {
    case ResetMessage::NoPort:
        return QStringLiteral("Wrong port name, or the port is in use.");
    case ResetMessage::NotOpen:
        return QStringLiteral("The port was not opened for transmission.");
    case ResetMessage::NotSent:
        return QStringLiteral("The command could not be sent to the recorder.");
    }
    return QString();
}

namespace {
void fail(ResetResult &result, Result::Failure failure, const QList<ResetMessage> &messages)
{
    QStringList texts;
    for (const ResetMessage message : messages)
        texts << ResetMessageEnglish(message);
    static_cast<Result &>(result) = Result(failure, texts.join(QLatin1Char(' ')));
    result.messages = messages;
}
} // namespace

RecorderReset::RecorderReset(const PortDevices &ports)
    : m_ports(ports)
    , m_makePort(DeviceSerialPort::create)
    , m_portName(FirstPortName)
{ }

std::unique_ptr<SerialPort> RecorderReset::openPort(const QString &device)
{
    std::unique_ptr<SerialPort> port = m_makePort(device);
    if (!port->openExclusive())
        return nullptr;
    return port;
}

ResetResult RecorderReset::run()
{
    ResetResult result;
    result.portName = m_portName;
    result.device = m_ports.value(m_portName, m_portName);
    std::unique_ptr<SerialPort> port = openPort(result.device);
    if (!port) {
        m_portName = SecondPortName;
        result.portName = m_portName;
        result.device = m_ports.value(m_portName, m_portName);
        port = openPort(result.device);
    }
    if (!port) {
        fail(result, Result::CannotOpen, {ResetMessage::NoPort, ResetMessage::NotOpen});
        return result;
    }
    send(*port, result);
    return result;
}

ResetResult RecorderReset::runOn(const QString &device)
{
    ResetResult result;
    result.portName = device;
    result.device = device;
    const std::unique_ptr<SerialPort> port = openPort(device);
    if (!port) {
        fail(result, Result::CannotOpen, {ResetMessage::NoPort, ResetMessage::NotOpen});
        return result;
    }
    send(*port, result);
    return result;
}

void RecorderReset::send(SerialPort &port, ResetResult &result)
{
    if (!port.applyLineSettings(RecorderLine) || !port.sendAndDrain(ResetCommand)) {
        // Released before anyone is told, so that a box waiting for the user holds no port.
        port.close();
        fail(result, Result::Failed, {ResetMessage::NotSent});
        return;
    }
    QThread::msleep(1);
    port.close();
}
