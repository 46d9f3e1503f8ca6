#include "CliRun.h"
#include "PseudoTerminal.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

#include <optional>

// Every run maps COM1 and COM2 to pseudo-terminals or to paths with nothing behind them, through
// the environment or a settings file in a folder of the test's own (see RunCli).
class TestCliReset : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sendsOnTheMappedPort_data();
    void sendsOnTheMappedPort();
    void noPortToOpen_data();
    void noPortToOpen();
    void lineSettingsWhileSending();
    void helpReadsNoSettings();

private:
    // "first", "second": the two terminals; "missing": a path with nothing behind it.
    QString device(const QString &name) const;
    QString settingsFile() const;

    QTemporaryDir *m_dir = nullptr;
    PseudoTerminal *m_first = nullptr;
    PseudoTerminal *m_second = nullptr;
};

void TestCliReset::init()
{
    m_dir = new QTemporaryDir;
    m_first = new PseudoTerminal;
    m_second = new PseudoTerminal;
}

void TestCliReset::cleanup()
{
    QFile::remove(settingsFile());
    delete m_second;
    delete m_first;
    delete m_dir;
}

QString TestCliReset::device(const QString &name) const
{
    if (name == QLatin1String("first"))
        return m_first->path();
    if (name == QLatin1String("second"))
        return m_second->path();
    if (name == QLatin1String("missing"))
        return m_dir->filePath(QStringLiteral("no-port"));
    return QString();
}

QString TestCliReset::settingsFile() const
{
    return CliSettingsHome() + QStringLiteral("/zemra/zemra.conf");
}

void TestCliReset::sendsOnTheMappedPort_data()
{
    // Each port named in the environment, in the settings file, or "" for nowhere; "held"
    // means the first terminal is held open by another program during the run.
    QTest::addColumn<QString>("environmentFirst");
    QTest::addColumn<QString>("environmentSecond");
    QTest::addColumn<QString>("settingsFirst");
    QTest::addColumn<QString>("settingsSecond");
    QTest::addColumn<QString>("port"); // --port, or ""
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<QString>("said"); // standard output, with FIRST and SECOND for the terminals
    QTest::newRow("COM1 from the environment") << "first"
                                               << "second"
                                               << ""
                                               << "" << QString() << false << "first"
                                               << "Reset sent on COM1 (FIRST).\n";
    QTest::newRow("COM1 missing: COM2") << "missing"
                                        << "second"
                                        << ""
                                        << "" << QString() << false << "second"
                                        << "Reset sent on COM2 (SECOND).\n";
    QTest::newRow("COM1 held by another program: COM2") << "first"
                                                        << "second"
                                                        << ""
                                                        << "" << QString() << true << "second"
                                                        << "Reset sent on COM2 (SECOND).\n";
    QTest::newRow("settings file") << ""
                                   << ""
                                   << "first"
                                   << "second" << QString() << false << "first"
                                   << "Reset sent on COM1 (FIRST).\n";
    QTest::newRow("environment before settings file") << "second"
                                                      << ""
                                                      << "first"
                                                      << "missing" << QString() << false << "second"
                                                      << "Reset sent on COM1 (SECOND).\n";
    QTest::newRow("--port, no fall-back needed") << "missing"
                                                 << "missing"
                                                 << ""
                                                 << ""
                                                 << "second" << false << "second"
                                                 << "Reset sent on SECOND.\n";
}

void TestCliReset::sendsOnTheMappedPort()
{
    QFETCH(QString, environmentFirst);
    QFETCH(QString, environmentSecond);
    QFETCH(QString, settingsFirst);
    QFETCH(QString, settingsSecond);
    QFETCH(QString, port);
    QFETCH(bool, held);
    QFETCH(QString, receiver);
    QFETCH(QString, said);

    QProcessEnvironment environment;
    QStringList unset;
    for (const auto &[name, value] :
        {std::pair {"ZEMRA_COM1", environmentFirst}, std::pair {"ZEMRA_COM2", environmentSecond}}) {
        if (value.isEmpty())
            unset << name;
        else
            environment.insert(name, device(value));
    }
    QByteArray settings = "[ports]\n";
    if (!settingsFirst.isEmpty())
        settings += "COM1=" + device(settingsFirst).toUtf8() + "\n";
    if (!settingsSecond.isEmpty())
        settings += "COM2=" + device(settingsSecond).toUtf8() + "\n";
    QVERIFY(QDir().mkpath(QFileInfo(settingsFile()).path()));
    WriteFile(settingsFile(), settings);
    QSerialPort holder(m_first->path());
    if (held)
        QVERIFY(holder.open(QIODevice::ReadWrite));

    QStringList arguments {"reset"};
    if (!port.isEmpty())
        arguments << "--port" << device(port);
    const CliRun run = RunCli(arguments, environment, unset);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromLocal8Bit(run.out),
        QString(said).replace("FIRST", m_first->path()).replace("SECOND", m_second->path()));
    const bool first = receiver == QLatin1String("first");
    QCOMPARE(m_first->received(), first ? QByteArray("5") : QByteArray());
    QCOMPARE(m_second->received(), first ? QByteArray() : QByteArray("5"));
}

void TestCliReset::noPortToOpen_data()
{
    QTest::addColumn<QString>("port"); // --port, or "" for COM1 and COM2
    QTest::addColumn<bool>("held"); // both terminals held by another program, else both missing
    QTest::addColumn<QString>("tried");
    QTest::newRow("both missing") << QString() << false
                                  << "Ports tried: COM1 (FIRST), COM2 (SECOND).";
    QTest::newRow("both held") << QString() << true << "Ports tried: COM1 (FIRST), COM2 (SECOND).";
    QTest::newRow("--port missing") << "FIRST" << false << "Port tried: FIRST.";
}

void TestCliReset::noPortToOpen()
{
    QFETCH(QString, port);
    QFETCH(bool, held);
    QFETCH(QString, tried);
    const QString first = held ? m_first->path() : device(QStringLiteral("missing")) + "1";
    const QString second = held ? m_second->path() : device(QStringLiteral("missing")) + "2";
    QSerialPort firstHolder(first);
    QSerialPort secondHolder(second);
    if (held)
        QVERIFY(firstHolder.open(QIODevice::ReadWrite) && secondHolder.open(QIODevice::ReadWrite));
    QProcessEnvironment environment;
    environment.insert("ZEMRA_COM1", first);
    environment.insert("ZEMRA_COM2", second);
    QStringList arguments {"reset"};
    if (!port.isEmpty())
        arguments << "--port" << first;

    const CliRun run = RunCli(arguments, environment);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromLocal8Bit(run.err),
        QStringLiteral("zemra-cli: Wrong port name, or the port is in use.\n"
                       "zemra-cli: The port was not opened for transmission.\n"
                       "zemra-cli: %1\n")
            .arg(QString(tried).replace("FIRST", first).replace("SECOND", second)));
    QCOMPARE(m_first->received(), QByteArray());
    QCOMPARE(m_second->received(), QByteArray());
}

// The line settings can only be seen while the port is open: with the way out full, the send
// waits for its time-out, and meanwhile the port has 1200 baud 8N1 and no handshake.
void TestCliReset::lineSettingsWhileSending()
{
    termios before = m_first->lineSettings();
    cfsetospeed(&before, B9600);
    cfsetispeed(&before, B9600);
    before.c_cflag |= CSTOPB | CRTSCTS | PARENB;
    m_first->setLineSettings(before);
    const qsizetype waiting = m_first->fillOutput();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZEMRA_COM1", m_first->path());
    environment.insert("ZEMRA_COM2", device(QStringLiteral("missing")));
    environment.insert("XDG_CONFIG_HOME", CliSettingsHome());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZEMRA_CLI), {"reset"});
    QVERIFY(process.waitForStarted(10000));
    std::optional<termios> seen;
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
        const termios line = m_first->lineSettings();
        if (cfgetospeed(&line) == B1200) {
            seen = line;
            break;
        }
        QThread::msleep(1);
    }
    QVERIFY(process.waitForFinished(20000));
    QVERIFY(seen.has_value());
    QCOMPARE(cfgetispeed(&*seen), speed_t(B1200));
    QCOMPARE(seen->c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(seen->c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(seen->c_iflag & (IXON | IXOFF), tcflag_t(0));

    // The blocked send is reported, and the port is not changed for it.
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()),
        QStringLiteral("zemra-cli: The command could not be sent to the recorder.\n"
                       "zemra-cli: Port tried: COM1 (%1).\n")
            .arg(m_first->path()));
    QCOMPARE(m_first->received(), QByteArray(waiting, 'x'));
}

void TestCliReset::helpReadsNoSettings()
{
    // A FIFO as the settings file would hold up any read of it.
    const QString settings = CliSettingsHome() + QStringLiteral("/zemra/zemra.conf");
    QVERIFY(QDir().mkpath(CliSettingsHome() + QStringLiteral("/zemra")));
    QFile::remove(settings);
    QVERIFY(MakeSpecialFile(QStringLiteral("FIFO"), settings));
    const CliRun run = RunCli({"reset", "--help"});
    QFile::remove(settings);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(settings.toUtf8()), run.out.constData());
}

QTEST_GUILESS_MAIN(TestCliReset)
#include "tst_cli_reset.moc"
