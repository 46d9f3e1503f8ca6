#include "RecorderResetWindow.h"

#include "MessageBox.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>

namespace {
const QString FirstPort = QStringLiteral("COM1");
const QString SecondPort = QStringLiteral("COM2");

// The recorder listens at 1200 baud 8N1 without handshake, DTR raised and RTS low, and
// clears its counters on the character "5".
const LineSettings RecorderLine {1200, QSerialPort::Data8, QSerialPort::NoParity,
    QSerialPort::OneStop, QSerialPort::NoFlowControl, true, false};
constexpr char ResetCommand = 0x35;

const QString ErrorCaption = QStringLiteral("Błąd !");
const QString NoPortText = QStringLiteral("Niewłaściwa nazwa portu lub port jest aktywny.");
const QString NotOpenText = QStringLiteral("Port nie został otwarty do transmisji.");
const QString NotSentText = QStringLiteral("Nie udało się wysłać polecenia do rejestratora.");
} // namespace

PortDevices DefaultPortDevices()
{
#ifdef Q_OS_WIN
    return {{FirstPort, FirstPort}, {SecondPort, SecondPort}};
#else
    return {{FirstPort, QStringLiteral("/dev/ttyS0")}, {SecondPort, QStringLiteral("/dev/ttyS1")}};
#endif
}

RecorderResetWindow::RecorderResetWindow(const PortDevices &ports, QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
    , m_ports(ports)
    , m_makePort(DeviceSerialPort::create)
    , m_portName(FirstPort)
{
    setWindowTitle(QStringLiteral("    RECORDER RESET"));
    setOuterSize(324, 243);

    const QFont buttonFont = layoutFont(16, true);

    addLabel("questionLabel", QStringLiteral("Are you sure to reset the recorder ?"), 8, 32,
        layoutFont(16, true, true), Colours::Red)
        ->resize(306, 20);
    auto *yesButton = addButton("yesButton", QStringLiteral("Yes"), 56, 88);
    yesButton->setFont(buttonFont);
    auto *noButton = addButton("noButton", QStringLiteral("No"), 184, 88);
    noButton->setFont(buttonFont);
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 224, 168);

    setTabOrder(yesButton, noButton);
    setTabOrder(noButton, closeButton);

    onClick(yesButton, &RecorderResetWindow::sendReset);
    onClick(noButton, &RecorderResetWindow::closeWindow);
    onClick(closeButton, &RecorderResetWindow::closeWindow);
}

std::unique_ptr<SerialPort> RecorderResetWindow::openPort(const QString &portName)
{
    std::unique_ptr<SerialPort> port = m_makePort(m_ports.value(portName, portName));
    if (!port->openExclusive())
        return nullptr;
    return port;
}

void RecorderResetWindow::sendReset()
{
    std::unique_ptr<SerialPort> port = openPort(m_portName);
    if (!port) {
        m_portName = SecondPort;
        port = openPort(m_portName);
    }
    if (!port) {
        ShowMessage(NoPortText, ErrorCaption);
        ShowMessage(NotOpenText, ErrorCaption);
        return;
    }

    const bool sent = port->applyLineSettings(RecorderLine) && port->sendAndDrain(ResetCommand);
    if (!sent) {
        // Release the port before the box waits for the user.
        port->close();
        ShowMessage(NotSentText, ErrorCaption);
        return;
    }
    QThread::msleep(1);
    port->close();
}

void RecorderResetWindow::closeWindow()
{
    close();
}
