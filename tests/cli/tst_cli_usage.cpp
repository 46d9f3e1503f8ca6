#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <QTest>
#include <cstdio>

class TestCliUsage : public QObject
{
    Q_OBJECT
private slots:
    void wrongUsage_data();
    void wrongUsage();
    void help_data();
    void help();
    void nameNotUtf8IsRefused();
};

void TestCliUsage::wrongUsage_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE stands for a good data file
    QTest::addColumn<QString>("message"); // the first line on standard error
    QTest::newRow("nothing") << QStringList() << "zemra-cli: no command given.";
    QTest::newRow("unknown command")
        << QStringList {"plot", "FILE"} << "zemra-cli: unknown command \"plot\".";
    QTest::newRow("unknown option")
        << QStringList {"--colour"} << "zemra-cli: Unknown option 'colour'.";
    QTest::newRow("spectrum without file")
        << QStringList {"spectrum"} << "zemra-cli: spectrum: give exactly one FILE.";
    QTest::newRow("timers with two files")
        << QStringList {"timers", "FILE", "FILE"} << "zemra-cli: timers: give exactly one FILE.";
    QTest::newRow("unknown format") << QStringList {"spectrum", "--format", "xml",
        "FILE"} << "zemra-cli: spectrum: unknown format \"xml\": text, csv or json.";
    QTest::newRow("format without value") << QStringList {"spectrum", "FILE", "--format"}
                                          << "zemra-cli: spectrum: Missing value after '--format'.";
    QTest::newRow("record 0") << QStringList {"spectrum", "--record", "0", "FILE"}
                              << "zemra-cli: spectrum: --record wants a record number from 1 on, "
                                 "not \"0\".";
    QTest::newRow("record not a number") << QStringList {"timers", "--record=two",
        "FILE"} << "zemra-cli: timers: --record wants a record number from 1 on, not \"two\".";
    QTest::newRow("record and all") << QStringList {"timers", "--record", "2", "--all", "FILE"}
                                    << "zemra-cli: timers: --record and --all exclude each other.";
    QTest::newRow("check without file")
        << QStringList {"check"} << "zemra-cli: check: no file given.";
    QTest::newRow("chart without -o")
        << QStringList {"chart", "FILE"} << "zemra-cli: chart: -o OUT is missing.";
    QTest::newRow("chart as GIF") << QStringList {"chart", "-o", "OUT.gif", "FILE"}
                                  << "zemra-cli: chart: \"OUT.gif\": the extension must be .png, "
                                     ".pdf or .svg.";
    QTest::newRow("chart of every record") << QStringList {"chart", "--all", "-o", "OUT.png",
        "FILE"} << "zemra-cli: chart: --all goes with --kind exceedance only.";
    for (const char *size : {"0x519", "520", "520x519x1", "wide", "10001x10", "-5x5"}) {
        QTest::addRow("chart --size %s", size)
            << QStringList {"chart", "--size", size, "-o", "OUT.png", "FILE"}
            << QStringLiteral("zemra-cli: chart: --size wants WIDTHxHEIGHT, each 1 to 10000 "
                              "pixels, not \"%1\".")
                   .arg(size);
    }
    QTest::newRow("--version before the command") << QStringList {"--version", "check",
        "FILE"} << "zemra-cli: --help and --version go after the command or alone.";
    QTest::newRow("exceedance of two files without --combine")
        << QStringList {"exceedance", "FILE", "FILE"}
        << "zemra-cli: exceedance: Several records are combined only when you say whether the "
           "recorder was reset between read-outs: \"separate\" when each record counts from a "
           "reset (counts and hours are summed), \"running\" when the records are running "
           "totals in file order (each period is the difference from the record before it). "
           "Give --combine separate or --combine running, or --all alone for one table per "
           "record of one file.";
    QTest::newRow("report of every record without --combine")
        << QStringList {"report", "--all", "-o", "OUT.pdf", "FILE"}
        << "zemra-cli: report: Several records are combined only when you say whether the "
           "recorder was reset between read-outs: \"separate\" when each record counts from a "
           "reset (counts and hours are summed), \"running\" when the records are running "
           "totals in file order (each period is the difference from the record before it). "
           "Give --combine separate or --combine running, or one record with --record N.";
    QTest::newRow("fraction axis without limit loads")
        << QStringList {"exceedance", "--axis", "a", "FILE"}
        << "zemra-cli: exceedance: The axis a = Δn / Δn_LL needs the limit load factors: give "
           "them as numbers or by category (normal, utility, aerobatic).";
    QTest::newRow("reset with an argument")
        << QStringList {"reset", "COM1"} << "zemra-cli: reset: takes no arguments but options.";
    QTest::newRow("reset --port without device")
        << QStringList {"reset", "--port"} << "zemra-cli: reset: Missing value after '--port'.";
}

void TestCliUsage::wrongUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(
        QFile::copy(QStringLiteral(ZEMRA_TEST_DATA_DIR "/demo-crlf.dat"), dir.filePath("FILE")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const CliRun run = RunCli(arguments);
    QDir::setCurrent(previous);
    QCOMPARE(QString::fromLocal8Bit(run.err).section('\n', 0, 0), message);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    // Nothing written.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"FILE"});
}

void TestCliUsage::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("shown"); // on standard output, each on a line of its own
    const QStringList commands {"check FILE...", "spectrum [--record N | --all]",
        "timers [--record N | --all]", "chart [--record N] [--size WxH] -o OUT FILE",
        "reset [--port DEVICE]"};
    QTest::newRow("--help") << QStringList {"--help"} << commands;
    QTest::newRow("-h") << QStringList {"-h"} << commands;
    QTest::newRow("--version") << QStringList {"--version"}
                               << QStringList {"zemra-cli " ZEMRA_VERSION};
    QTest::newRow("check --version")
        << QStringList {"check", "--version"} << QStringList {"zemra-cli " ZEMRA_VERSION};
    QTest::newRow("check --help") << QStringList {"check", "--help"}
                                  << QStringList {"Usage: zemra-cli check [options] FILE..."};
    QTest::newRow("spectrum --help") << QStringList {"spectrum", "--help"}
                                     << QStringList {"Usage: zemra-cli spectrum [options] FILE",
                                            "--record <N>", "--all", "--format <FORMAT>"};
    QTest::newRow("timers -h") << QStringList {"timers", "-h"}
                               << QStringList {"Usage: zemra-cli timers [options] FILE"};
    QTest::newRow("chart --help") << QStringList {"chart", "--help"}
                                  << QStringList {"Usage: zemra-cli chart [options] FILE",
                                         "--size <WxH>", "-o, --output <OUT>"};
    QTest::newRow("reset --help") << QStringList {
        "reset", "--help"} << QStringList {"Usage: zemra-cli reset [options]", "--port <DEVICE>"};
}

void TestCliUsage::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, shown);
    const CliRun run = RunCli(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const QString out = QString::fromLocal8Bit(run.out);
    for (const QString &text : shown)
        QVERIFY2(out.contains(
                     QRegularExpression(QStringLiteral("^ *") + QRegularExpression::escape(text),
                         QRegularExpression::MultilineOption)),
            qPrintable(text + QStringLiteral(" not in:\n") + out));
}

void TestCliUsage::nameNotUtf8IsRefused()
{
    // "\xff.dat" decodes to the same text as the file "\ufffd.dat", which holds a good record:
    // read by that text, the run would report another file than the one named.
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(ZEMRA_TEST_DATA_DIR "/demo-crlf.dat"),
        dir.filePath(QString(QChar(0xfffd)) + ".dat")));
    QFile named(dir.filePath(QStringLiteral("named")));
    QVERIFY(named.open(QIODevice::WriteOnly));
    named.write("not a record");
    named.close();
    QVERIFY(::rename(QFile::encodeName(named.fileName()).constData(),
                QFile::encodeName(dir.path()).append("/\xff.dat").constData())
        == 0);
    // The name's bytes go through the shell: QProcess takes arguments as text.
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" check \"$(printf '\\377.dat')\""),
            QStringLiteral(ZEMRA_CLI)});
    QVERIFY(process.waitForFinished(30000));
    const QByteArray err = process.readAllStandardError();
    QCOMPARE(process.exitCode(), 2);
    QVERIFY2(err.startsWith("zemra-cli: argument 2 is not valid UTF-8 text (\"\\xff.dat\")"),
        err.constData());
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(TestCliUsage)
#include "tst_cli_usage.moc"
