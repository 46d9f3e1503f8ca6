#include "PseudoTerminal.h"
#include "RecorderResetWindow.h"
#include "SerialPort.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QString ErrorCaption = QStringLiteral("Błąd !");
const QString NoPortText = QStringLiteral("Niewłaściwa nazwa portu lub port jest aktywny.");
const QString NotOpenText = QStringLiteral("Port nie został otwarty do transmisji.");
const QString NotSentText = QStringLiteral("Nie udało się wysłać polecenia do rejestratora.");

bool isFree(const QString &device)
{
    QSerialPort port(device);
    return port.open(QIODevice::ReadWrite);
}

// What the window did with its ports, step by step.
struct PortLog
{
    QStringList steps;
    std::optional<termios> afterSend;
    // The step that is made to fail: "settings".
    QString refuse;
    // Read while the port is still open: closing restores the previous settings.
    std::function<termios()> readLine;
};

// The real port, watched.
class WatchedPort : public SerialPort
{
public:
    WatchedPort(const QString &device, PortLog &log)
        : m_device(device)
        , m_real(device)
        , m_log(log)
    { }
    bool openExclusive() override
    {
        const bool ok = m_real.openExclusive();
        m_log.steps << (ok ? "open " : "failed ") + m_device;
        return ok;
    }
    bool applyLineSettings(const LineSettings &settings) override
    {
        const bool ok
            = m_log.refuse != QLatin1String("settings") && m_real.applyLineSettings(settings);
        m_log.steps << (ok ? "settings" : "settings failed");
        return ok;
    }
    bool sendAndDrain(char byte) override
    {
        const bool ok = m_real.sendAndDrain(byte);
        m_log.steps << (ok ? "sent" : "send failed");
        if (ok && m_log.readLine)
            m_log.afterSend = m_log.readLine();
        return ok;
    }
    void close() override
    {
        m_real.close();
        m_log.steps << "close";
    }

private:
    QString m_device;
    DeviceSerialPort m_real;
    PortLog &m_log;
};

// Calls `check` as each message box appears, before anyone can dismiss it.
class BoxShownHook : public QObject
{
public:
    explicit BoxShownHook(std::function<void()> check)
        : m_check(std::move(check))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched))
            m_check();
        return false;
    }

private:
    std::function<void()> m_check;
};
} // namespace

class TestRecorderReset : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout();
    void eachPressSendsOneReset_data();
    void eachPressSendsOneReset();
    void lineSettingsWhileSending();
    void fallsBackToSecondPortForGood_data();
    void fallsBackToSecondPortForGood();
    void noPortAtAll_data();
    void noPortAtAll();
    void noAndCloseTouchNoPort_data();
    void noAndCloseTouchNoPort();
    void failedSendIsReported_data();
    void failedSendIsReported();
    void mappedPortsReachTheWindow_data();
    void mappedPortsReachTheWindow();
    void unmappedPortsAreTheDefaults();
    void unusableMappingSendsNothing_data();
    void unusableMappingSendsNothing();

private:
    void makeForm(const QString &first, const QString &second);
    QList<SeenMessageBox> pressYes();

    TempWorkDir *m_dir = nullptr;
    PseudoTerminal *m_first = nullptr;
    PseudoTerminal *m_second = nullptr;
    RecorderResetWindow *m_form = nullptr;
    PortLog m_log;
};

void TestRecorderReset::init()
{
    m_dir = new TempWorkDir;
    m_first = new PseudoTerminal;
    m_second = new PseudoTerminal;
    m_log = PortLog();
}

void TestRecorderReset::cleanup()
{
    delete m_form;
    m_form = nullptr;
    delete m_second;
    delete m_first;
    delete m_dir;
}

void TestRecorderReset::makeForm(const QString &first, const QString &second)
{
    PortMapping ports;
    ports.devices = {{QStringLiteral("COM1"), first}, {QStringLiteral("COM2"), second}};
    m_form = new RecorderResetWindow(ports);
    m_form->setPortFactory(
        [this](const QString &device) { return std::make_unique<WatchedPort>(device, m_log); });
    m_form->show();
}

QList<SeenMessageBox> TestRecorderReset::pressYes()
{
    return CollectMessageBoxes(
        [this] { QTest::mouseClick(Control<QPushButton>(m_form, "yesButton"), Qt::LeftButton); });
}

void TestRecorderReset::layout()
{
    makeForm(m_first->path(), m_second->path());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("    RECORDER RESET"));
    QCOMPARE(Control<QLabel>(m_form, "questionLabel")->text(),
        QStringLiteral("Are you sure to reset the recorder ?"));
    QCOMPARE(Control<QLabel>(m_form, "questionLabel")->geometry(), QRect(8, 32, 306, 20));
    QVERIFY(Control<QLabel>(m_form, "questionLabel")->font().bold()
        && Control<QLabel>(m_form, "questionLabel")->font().italic());
    QCOMPARE(Control<QLabel>(m_form, "questionLabel")->font().pixelSize(), 16);
    QCOMPARE(Control<QLabel>(m_form, "questionLabel")->palette().color(QPalette::WindowText),
        QColor(Qt::red));

    const QList<QPushButton *> buttons {Control<QPushButton>(m_form, "yesButton"),
        Control<QPushButton>(m_form, "noButton"), Control<QPushButton>(m_form, "closeButton")};
    const QStringList texts {"Yes", "No", "&Close"};
    const QList<QPoint> places {{56, 88}, {184, 88}, {224, 168}};
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons[i]->text(), texts[i]);
        QCOMPARE(buttons[i]->geometry(), QRect(places[i], QSize(75, 25)));
        QCOMPARE(buttons[i]->font().bold(), i < 2);
        QCOMPARE(buttons[i]->font().pixelSize(), i < 2 ? 16 : 11);
    }
    // Tab order: Yes, No, Close.
    QCOMPARE(Control<QPushButton>(m_form, "yesButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "noButton"));
    QCOMPARE(Control<QPushButton>(m_form, "noButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "closeButton"));
}

void TestRecorderReset::eachPressSendsOneReset_data()
{
    QTest::addColumn<int>("presses");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestRecorderReset::eachPressSendsOneReset()
{
    QFETCH(int, presses);
    makeForm(m_first->path(), m_second->path());
    QStringList expected;
    for (int i = 0; i < presses; ++i) {
        QVERIFY(pressYes().isEmpty());
        // Each press has its own open and close, and leaves the port free.
        QCOMPARE(m_first->received(), QByteArray("5"));
        QVERIFY(isFree(m_first->path()));
        expected << "open " + m_first->path() << "settings"
                 << "sent"
                 << "close";
    }
    QCOMPARE(m_log.steps, expected);
    QCOMPARE(m_second->received(), QByteArray());
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->portName(), QStringLiteral("COM1"));
}

void TestRecorderReset::lineSettingsWhileSending()
{
    makeForm(m_first->path(), m_second->path());
    // Start from settings the recorder cannot use, so each one has to be changed. A
    // pseudo-terminal always has 8 data bits and no parity, so those two read back right
    // whatever was applied; the speed, stop bits and handshakes are real checks.
    termios before = m_first->lineSettings();
    cfsetospeed(&before, B9600);
    cfsetispeed(&before, B9600);
    before.c_cflag |= CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF;
    m_first->setLineSettings(before);
    const termios applied = m_first->lineSettings();
    QCOMPARE(cfgetospeed(&applied), speed_t(B9600));
    QCOMPARE(applied.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(CSTOPB | CRTSCTS));
    QCOMPARE(applied.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    m_log.readLine = [this] { return m_first->lineSettings(); };

    QVERIFY(pressYes().isEmpty());
    QCOMPARE(m_first->received(), QByteArray("5"));
    QVERIFY(m_log.afterSend.has_value());
    const termios line = *m_log.afterSend;
    QCOMPARE(cfgetospeed(&line), speed_t(B1200));
    QCOMPARE(cfgetispeed(&line), speed_t(B1200));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestRecorderReset::fallsBackToSecondPortForGood_data()
{
    QTest::addColumn<QString>("first"); // what keeps COM1 from the reset
    QTest::newRow("COM1 missing") << "missing";
    QTest::newRow("COM1 held by another program") << "held";
    QTest::newRow("COM1 locked by another program with flock") << "flock";
}

void TestRecorderReset::fallsBackToSecondPortForGood()
{
    QFETCH(QString, first);
    // Missing: a name that appears later as a link to the first terminal.
    const QString missing = m_dir->filePath(QStringLiteral("first-port"));
    const QString device = first == QLatin1String("missing") ? missing : m_first->path();
    auto holder = std::make_unique<QSerialPort>(m_first->path());
    if (first == QLatin1String("held"))
        QVERIFY(holder->open(QIODevice::ReadWrite));
    // As pyserial's exclusive mode does: an advisory lock on a descriptor of its own.
    int locked = -1;
    if (first == QLatin1String("flock")) {
        locked = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(locked >= 0);
        QCOMPARE(::flock(locked, LOCK_EX | LOCK_NB), 0);
    }
    makeForm(device, m_second->path());

    QVERIFY(pressYes().isEmpty());
    QCOMPARE(m_second->received(), QByteArray("5"));
    QCOMPARE(m_first->received(), QByteArray());
    QCOMPARE(m_form->portName(), QStringLiteral("COM2"));
    QCOMPARE(m_log.steps.mid(0, 2), QStringList({"failed " + device, "open " + m_second->path()}));

    // The first port becomes available: it is not tried again during the run.
    holder.reset();
    if (locked >= 0)
        ::close(locked);
    if (first == QLatin1String("missing"))
        QVERIFY(QFile::link(m_first->path(), missing));
    QVERIFY(isFree(device));
    m_log.steps.clear();
    QVERIFY(pressYes().isEmpty());
    QCOMPARE(m_second->received(), QByteArray("5"));
    QCOMPARE(m_first->received(), QByteArray());
    QCOMPARE(m_log.steps.first(), "open " + m_second->path());
}

void TestRecorderReset::noPortAtAll_data()
{
    QTest::addColumn<bool>("held");
    QTest::newRow("both missing") << false;
    QTest::newRow("both held") << true;
}

void TestRecorderReset::noPortAtAll()
{
    QFETCH(bool, held);
    const QString first = held ? m_first->path() : m_dir->filePath(QStringLiteral("first-port"));
    const QString second = held ? m_second->path() : m_dir->filePath(QStringLiteral("second-port"));
    QSerialPort firstHolder(first);
    QSerialPort secondHolder(second);
    if (held)
        QVERIFY(firstHolder.open(QIODevice::ReadWrite) && secondHolder.open(QIODevice::ReadWrite));
    makeForm(first, second);

    for (const QStringList &tried : {QStringList {first, second}, QStringList {second, second}}) {
        m_log.steps.clear();
        const QList<SeenMessageBox> boxes = pressYes();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, NoPortText);
        QCOMPARE(boxes[1].text, NotOpenText);
        for (const SeenMessageBox &box : boxes) {
            QCOMPARE(box.title, ErrorCaption);
            QCOMPARE(box.icon, QMessageBox::NoIcon);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QCOMPARE(m_log.steps, QStringList({"failed " + tried[0], "failed " + tried[1]}));
        QCOMPARE(m_first->received(), QByteArray());
        QCOMPARE(m_second->received(), QByteArray());
        QVERIFY(m_form->isVisible());
    }
}

void TestRecorderReset::noAndCloseTouchNoPort_data()
{
    QTest::addColumn<bool>("no");
    QTest::newRow("No") << true;
    QTest::newRow("Close") << false;
}

void TestRecorderReset::noAndCloseTouchNoPort()
{
    QFETCH(bool, no);
    makeForm(m_first->path(), m_second->path());
    const QList<SeenMessageBox> boxes = CollectMessageBoxes([this, no] {
        QTest::mouseClick(no ? Control<QPushButton>(m_form, "noButton")
                             : Control<QPushButton>(m_form, "closeButton"),
            Qt::LeftButton);
    });
    QVERIFY(boxes.isEmpty());
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_log.steps.isEmpty());
    QCOMPARE(m_first->received(), QByteArray());
    QCOMPARE(m_form->portName(), QStringLiteral("COM1"));
}

void TestRecorderReset::failedSendIsReported_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("output blocked")
        << "blocked" << QStringList {"settings", "send failed", "close"};
    QTest::newRow("settings refused") << "settings" << QStringList {"settings failed", "close"};
}

void TestRecorderReset::failedSendIsReported()
{
    QFETCH(QString, cause);
    QFETCH(QStringList, steps);
    makeForm(m_first->path(), m_second->path());
    qsizetype waiting = 0;
    if (cause == QLatin1String("blocked"))
        waiting = m_first->fillOutput();
    else
        m_log.refuse = cause;

    std::optional<bool> freeWhileReported;
    BoxShownHook hook([this, &freeWhileReported] {
        if (!freeWhileReported)
            freeWhileReported = isFree(m_first->path());
    });
    const QList<SeenMessageBox> boxes = pressYes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, NotSentText);
    QCOMPARE(boxes[0].title, ErrorCaption);
    QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(m_log.steps, QStringList {"open " + m_first->path()} + steps);
    QCOMPARE(freeWhileReported, std::optional<bool>(true));
    QCOMPARE(m_first->received(), QByteArray(waiting, 'x'));
    QCOMPARE(m_second->received(), QByteArray());
    // A failure after the open is not a reason to change ports.
    QCOMPARE(m_form->portName(), QStringLiteral("COM1"));
}

void TestRecorderReset::mappedPortsReachTheWindow_data()
{
    // Where each port's device is named: "first", "second" (the two terminals), "missing" (a
    // path with nothing behind it), or "" for not at all.
    QTest::addColumn<QString>("environmentFirst");
    QTest::addColumn<QString>("environmentSecond");
    QTest::addColumn<QString>("settingsFirst");
    QTest::addColumn<QString>("settingsSecond");
    QTest::addColumn<QString>("receiver");
    QTest::newRow("environment") << "first"
                                 << "second"
                                 << ""
                                 << ""
                                 << "first";
    QTest::newRow("settings file") << ""
                                   << ""
                                   << "missing"
                                   << "second"
                                   << "second";
    QTest::newRow("environment before settings file") << "first"
                                                      << ""
                                                      << "missing"
                                                      << "second"
                                                      << "first";
    QTest::newRow("environment, then settings file for COM2") << "missing"
                                                              << ""
                                                              << "first"
                                                              << "second"
                                                              << "second";
}

void TestRecorderReset::mappedPortsReachTheWindow()
{
    QFETCH(QString, environmentFirst);
    QFETCH(QString, environmentSecond);
    QFETCH(QString, settingsFirst);
    QFETCH(QString, settingsSecond);
    QFETCH(QString, receiver);
    const QMap<QString, QString> devices {{"first", m_first->path()}, {"second", m_second->path()},
        {"missing", m_dir->filePath(QStringLiteral("no-port"))}, {"", QString()}};

    // Each row's own settings file; a distinct time stamp makes Qt read it afresh.
    static int row = 0;
    const QString settingsFile = SettingsFilePath();
    QCOMPARE(settingsFile, qEnvironmentVariable("XDG_CONFIG_HOME") + "/zemra/zemra.conf");
    QVERIFY(QDir().mkpath(QFileInfo(settingsFile).path()));
    QByteArray settings = "[ports]\n";
    if (!settingsFirst.isEmpty())
        settings += "COM1=" + devices[settingsFirst].toUtf8() + "\n";
    if (!settingsSecond.isEmpty())
        settings += "COM2=" + devices[settingsSecond].toUtf8() + "\n";
    WriteFile(settingsFile, settings);
    QFile(settingsFile)
        .setFileTime(
            QDateTime::currentDateTime().addSecs(++row * 10), QFileDevice::FileModificationTime);
    for (const auto &[variable, device] :
        {std::pair {"ZEMRA_COM1", environmentFirst}, std::pair {"ZEMRA_COM2", environmentSecond}}) {
        if (device.isEmpty())
            qunsetenv(variable);
        else
            qputenv(variable, devices[device].toUtf8());
    }

    m_form = new RecorderResetWindow;
    QFile::remove(settingsFile);
    KeepOffRealPorts();
    m_form->setPortFactory([this](const QString &device) -> std::unique_ptr<SerialPort> {
        // Never the machine's own serial ports.
        if (!device.startsWith(m_first->path()) && !device.startsWith(m_second->path())
            && !device.startsWith(m_dir->path())) {
            m_log.steps << "refused " + device;
            return std::make_unique<WatchedPort>(m_dir->filePath(QStringLiteral("no-port")), m_log);
        }
        return std::make_unique<WatchedPort>(device, m_log);
    });
    m_form->show();
    QVERIFY(pressYes().isEmpty());
    QVERIFY2(!m_log.steps.join(' ').contains("refused"), qPrintable(m_log.steps.join(", ")));
    const bool first = receiver == QLatin1String("first");
    QCOMPARE(m_first->received(), first ? QByteArray("5") : QByteArray());
    QCOMPARE(m_second->received(), first ? QByteArray() : QByteArray("5"));
}

void TestRecorderReset::unmappedPortsAreTheDefaults()
{
    qunsetenv("ZEMRA_COM1");
    qunsetenv("ZEMRA_COM2");
    QFile::remove(SettingsFilePath());
    const PortDevices defaults {{"COM1", "/dev/ttyS0"}, {"COM2", "/dev/ttyS1"}};
    QCOMPARE(DefaultPortDevices(), defaults);
    const PortMapping mapping = ConfiguredPortDevices();
    QVERIFY(mapping.ok());
    QCOMPARE(mapping.devices, defaults);
    KeepOffRealPorts();
}

void TestRecorderReset::unusableMappingSendsNothing_data()
{
    // The settings file's content, or the kind of file it is; the environment's COM1.
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty variable")
        << QByteArray() << QByteArray("") << "ZEMRA_COM1 is set but empty";
    QTest::newRow("empty key") << QByteArray("[ports]\nCOM1=\nCOM2=/x\n") << QByteArray()
                               << "its key COM1 in [ports] is empty";
    QTest::newRow("binary") << QByteArray("[ports]\nCOM1=\x00\xff\xfe\n", 18) << QByteArray()
                            << "it is not a text file";
    QTest::newRow("directory") << QByteArray("directory") << QByteArray() << "Is a directory";
    QTest::newRow("FIFO") << QByteArray("FIFO") << QByteArray() << "it is a FIFO";
}

void TestRecorderReset::unusableMappingSendsNothing()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, environment);
    QFETCH(QString, reason);
    // A settings file that blocks would hang the test instead of failing it.
    const Watchdog watchdog;
    const QString settingsFile = SettingsFilePath();
    QVERIFY(QDir().mkpath(QFileInfo(settingsFile).path()));
    QFile::remove(settingsFile);
    if (settings == "directory")
        QVERIFY(QDir().mkdir(settingsFile));
    else if (settings == "FIFO")
        QVERIFY(MakeSpecialFile(QStringLiteral("FIFO"), settingsFile));
    else if (!settings.isEmpty())
        WriteFile(settingsFile, settings);
    if (environment.isNull())
        qunsetenv("ZEMRA_COM1");
    else
        qputenv("ZEMRA_COM1", environment);
    qputenv("ZEMRA_COM2", m_second->path().toUtf8());

    const PortMapping mapping = ConfiguredPortDevices();
    QDir().rmdir(settingsFile);
    QFile::remove(settingsFile);
    KeepOffRealPorts();
    QCOMPARE(mapping.failure(), Result::Invalid);
    QVERIFY2(mapping.message().contains(reason), qPrintable(mapping.message()));
    if (environment.isNull())
        QVERIFY2(mapping.message().contains(settingsFile), qPrintable(mapping.message()));

    // "Yes" says why and opens no port at all.
    m_form = new RecorderResetWindow(mapping);
    m_form->setPortFactory([this](const QString &device) -> std::unique_ptr<SerialPort> {
        m_log.steps << "made " + device;
        return std::make_unique<WatchedPort>(m_dir->filePath(QStringLiteral("no-port")), m_log);
    });
    m_form->show();
    const QList<SeenMessageBox> boxes = pressYes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].title, QStringLiteral("Mistake"));
    QCOMPARE(boxes[0].text, mapping.message());
    QVERIFY2(m_log.steps.isEmpty(), qPrintable(m_log.steps.join(", ")));
    QCOMPARE(m_second->received(), QByteArray());
}

int main(int argc, char **argv)
{
    // The settings are read from a folder of the test's own, never the user's; Qt fixes the
    // folder at the first use of settings, so it is set before anything starts.
    KeepOffRealPorts();
    ZemraApplication app(argc, argv);
    TestRecorderReset test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recorderresetwindow.moc"
