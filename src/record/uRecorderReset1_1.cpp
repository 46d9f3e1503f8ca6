#include "uRecorderReset1_1.h"

#include "app/MessageBox.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>

TForm5 *Form5 = nullptr;

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

TForm5::TForm5(const PortDevices &ports, QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
    , m_ports(ports)
    , m_makePort(DeviceSerialPort::create)
    , m_portName(FirstPort)
{
    setWindowTitle(QStringLiteral("    RECORDER RESET"));
    setOuterSize(324, 243);

    const QFont buttonFont = MsSansSerif(16, true);

    Label1 = addLabel(QStringLiteral("Are you sure to reset the recorder ?"), 8, 32,
        MsSansSerif(16, true, true), Colours::Red);
    Label1->resize(306, 20);
    Button2 = addButton(QStringLiteral("Yes"), 56, 88);
    Button2->setFont(buttonFont);
    Button3 = addButton(QStringLiteral("No"), 184, 88);
    Button3->setFont(buttonFont);
    Button1 = addButton(QStringLiteral("&Close"), 224, 168);

    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button1);

    connect(Button2, &QPushButton::clicked, this, &TForm5::YesClick);
    connect(Button3, &QPushButton::clicked, this, &TForm5::NoClick);
    connect(Button1, &QPushButton::clicked, this, &TForm5::CloseClick);
}

std::unique_ptr<SerialPort> TForm5::openPort(const QString &portName)
{
    std::unique_ptr<SerialPort> port = m_makePort(m_ports.value(portName, portName));
    if (!port->openExclusive())
        return nullptr;
    return port;
}

void TForm5::YesClick()
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

void TForm5::NoClick()
{
    close();
}

void TForm5::CloseClick()
{
    close();
}
