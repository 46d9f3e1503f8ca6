#include "CliRun.h"

#include "CounterRecord.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// What zemra-cli refuses to read or write rather than half-use: references without the limit
// loads they need, parameters given twice, file bytes that would reach the terminal, records left
// unread unsaid, outputs over inputs, and how outputs end on a full disk or a closed pipe.
class TestCliInputs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void refused_data();
    void refused();
    void outputOntoAnInput_data();
    void outputOntoAnInput();
    void staleTemporariesBesideTheOutput_data();
    void staleTemporariesBesideTheOutput();
    void fullDisk_data();
    void fullDisk();
    void closedStandardOutput_data();
    void closedStandardOutput();
    void registerLocation_data();
    void registerLocation();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList expanded(QStringList arguments) const;
    QTemporaryDir m_dir;
};

namespace {
const QByteArray ReferenceHead = "name,Made-up\nsource,Invented\ntable,1\npage,3\n";

QByteArray recordBytes(int records)
{
    QByteArray bytes;
    for (int i = 0; i < records; ++i)
        bytes += RecordFileBytes(DemonstrationRecord);
    return bytes;
}

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs zemra-cli with standard output a pipe nobody reads (`broken`) or closed.
int runWithStandardOutput(bool broken, const QStringList &arguments, QByteArray &err)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return -2;
    ::close(ends[0]);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setChildProcessModifier([broken, write = ends[1]] {
        if (broken)
            ::dup2(write, STDOUT_FILENO);
        else
            ::close(STDOUT_FILENO);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), CliSettingsHome());
    static QTemporaryDir runtime; // private, so that Qt has nothing to say on standard error
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZEMRA_CLI), arguments);
    const bool ended = process.waitForFinished(30000);
    ::close(ends[1]);
    err = process.readAllStandardError();
    return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
} // namespace

void TestCliInputs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    WriteFile(path("one.dat"), recordBytes(1));
    WriteFile(path("three.dat"), recordBytes(3));
    WriteFile(
        path("ref-a.csv"), ReferenceHead + "normalisation,per 1000 h\naxis,a\npositive,0.2,2000\n");
    WriteFile(path("ref-title.csv"),
        ReferenceHead + "normalisation,\x1b]0;owned\x07per 1000 h\naxis,n\npositive,1.4,2000\n");
    WriteFile(path("ref-long.csv"),
        ReferenceHead + "normalisation," + QByteArray(3 * 1024 * 1024, 'x')
            + "\naxis,n\npositive,1.4,2000\n");
    WriteFile(path("twice.ini"), "[damage]\nsigma1=100\nk=1\nsd=100\nk=2\nnd=1e6\n");
    WriteFile(path("twice-across.ini"),
        "[damage]\nsigma1=100\nk=1\nsd=100\nnd=1e6\n[aircraft]\nsigma1=90\n");
}

QStringList TestCliInputs::expanded(QStringList arguments) const
{
    for (QString &argument : arguments) {
        if (argument.contains(QLatin1Char('.')) && !argument.startsWith(QLatin1Char('-'))
            && !QDir::isAbsolutePath(argument))
            argument = path(argument);
    }
    return arguments;
}

void TestCliInputs::refused_data()
{
    QTest::addColumn<QStringList>("arguments"); // names with a dot are files of the test folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("said"); // on standard error
    QTest::addColumn<QStringList>("unsaid");
    // The table on the default axis n: only the reference is on axis a.
    const QStringList axisA {"--reference", "ref-a.csv"};
    for (const QStringList &command :
        {QStringList {"exceedance"}, QStringList {"chart", "--kind", "exceedance", "-o", "out.png"},
            QStringList {"report", "-o", "out.pdf"}}) {
        QTest::addRow("%s: reference on axis a without limit loads", qPrintable(command[0]))
            << command + axisA + QStringList {"one.dat"} << 2
            << QStringList {"ref-a.csv\" is on axis a", "--category or --limit-loads"}
            << QStringList();
    }
    QTest::newRow("key twice in one section")
        << QStringList {"damage", "--parameters", "twice.ini", "one.dat"} << 2
        << QStringList {"twice.ini", "\"k\" twice, on line 3 and on line 5"} << QStringList();
    QTest::newRow("key twice across sections")
        << QStringList {"damage", "--parameters", "twice-across.ini", "one.dat"} << 2
        << QStringList {"\"sigma1\" twice, on line 2 and on line 7"} << QStringList();
    QTest::newRow("control characters of a reference")
        << QStringList {"exceedance", "--reference", "ref-title.csv", "one.dat"} << 1
        << QStringList {"\\x1b]0;owned\\x07per 1000 h"} << QStringList {"\x1b", "\x07"};
    QTest::newRow("a 3 MB value") << QStringList {"exceedance", "--reference", "ref-long.csv",
        "one.dat"} << 1 << QStringList {"… (3145728 characters in all)"}
                                  << QStringList {QString(201, QLatin1Char('x'))};
    QTest::newRow("record 1 of 3 by default")
        << QStringList {"exceedance", "three.dat"} << 0
        << QStringList {"three.dat\" holds 3 records; record 1 was used"} << QStringList();
    QTest::newRow("record 1 asked for") << QStringList {"damage", "--sigma1", "100", "--k", "1",
        "--sd", "100", "--nd", "1e6", "--record", "1", "three.dat"}
                                        << 0 << QStringList() << QStringList {"holds"};
    QTest::newRow("--combine over one file without --all")
        << QStringList {"exceedance", "--combine", "separate", "three.dat"} << 2
        << QStringList {"--combine over the one file", "of 3 records needs --all"} << QStringList();
    QTest::newRow("report not to PDF")
        << QStringList {"report", "-o", "out.png", "one.dat"} << 2
        << QStringList {"out.png\": the extension must be .pdf."} << QStringList();
}

void TestCliInputs::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    QFETCH(QStringList, unsaid);
    QFile::remove(path("out.png"));
    QFile::remove(path("out.pdf"));
    const CliRun run = RunCli(expanded(arguments));
    QCOMPARE(run.exitCode, exitCode);
    const QString err = QString::fromUtf8(run.err);
    for (const QString &text : said)
        QVERIFY2(err.contains(text), qPrintable(err.left(2000)));
    for (const QString &text : unsaid)
        QVERIFY2(!err.contains(text), qPrintable(err.left(2000)));
    QVERIFY(err.size() < 2000);
    if (exitCode != 0)
        QVERIFY(!QFile::exists(path("out.png")) && !QFile::exists(path("out.pdf")));
}

void TestCliInputs::outputOntoAnInput_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for the output
    QTest::addColumn<QString>("input"); // what OUT is made to be
    QTest::addColumn<bool>("symbolic"); // a symbolic link to it, else a hard link
    QTest::newRow("report onto its data file")
        << QStringList {"report", "-o", "OUT", "one.dat"} << "one.dat" << true;
    QTest::newRow("report onto its data file's other name")
        << QStringList {"report", "-o", "OUT", "one.dat"} << "one.dat" << false;
    QTest::newRow("report onto its reference") << QStringList {"report", "--reference", "ref-a.csv",
        "--category", "normal", "-o", "OUT", "one.dat"}
                                               << "ref-a.csv" << true;
    QTest::newRow("chart onto its data file")
        << QStringList {"chart", "-o", "OUT", "one.dat"} << "one.dat" << true;
    QTest::newRow("export onto the register")
        << QStringList {"export", "--register", "reg.sqlite", "-o", "OUT"} << "reg.sqlite" << false;
}

void TestCliInputs::outputOntoAnInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    QFETCH(bool, symbolic);
    if (input == QLatin1String("reg.sqlite") && !QFile::exists(path(input)))
        QCOMPARE(RunCli({"register", "aircraft", "--register", path(input), "--aircraft", "D-EOUT",
                            "--combine", "running"})
                     .exitCode,
            0);
    const QString output = path(arguments[0] == QLatin1String("chart") ? "out.png" : "out.pdf");
    QFile::remove(output);
    QVERIFY(symbolic ? QFile::link(path(input), output)
                     : ::link(QFile::encodeName(path(input)), QFile::encodeName(output)) == 0);
    const QByteArray before = readAll(path(input));
    arguments.replaceInStrings(QStringLiteral("OUT"), output);
    arguments = expanded(arguments);
    const CliRun run = RunCli(arguments);
    QFile::remove(output);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("which this command reads"), run.err.constData());
    QVERIFY(run.err.contains(QFile::encodeName(path(input))));
    QCOMPARE(readAll(path(input)), before);
}

void TestCliInputs::staleTemporariesBesideTheOutput_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for the output
    QTest::newRow("report") << QStringList {"report", "-o", "OUT.pdf", "one.dat"};
    QTest::newRow("chart") << QStringList {"chart", "-o", "OUT.svg", "one.dat"};
    QTest::newRow("export") << QStringList {"export", "--register", "reg.sqlite", "-o", "OUT.json"};
}

void TestCliInputs::staleTemporariesBesideTheOutput()
{
    QFETCH(QStringList, arguments);
    if (!QFile::exists(path("reg.sqlite")))
        QCOMPARE(RunCli({"register", "aircraft", "--register", path("reg.sqlite"), "--aircraft",
                            "D-ETMP", "--combine", "running"})
                     .exitCode,
            0);
    QTemporaryDir folder;
    const QString stale = folder.filePath(".zemra-Ab3xYz.tmp");
    const QString written = folder.filePath(".zemra-Qw7rTy.tmp");
    WriteFile(stale, "left by a kill");
    WriteFile(written, "still being written");
    // A writer that is still at work holds its temporary locked.
    const int held = ::open(QFile::encodeName(written).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
    arguments.replaceInStrings(QStringLiteral("OUT"), folder.filePath("out"));
    arguments = expanded(arguments);
    const CliRun run = RunCli(arguments);
    ::close(held);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(written));
}

void TestCliInputs::fullDisk_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for the output
    QTest::addColumn<bool>("filled"); // else 8 KiB left, less than the output takes
    for (const bool filled : {true, false}) {
        const char *disk = filled ? "full" : "too small";
        const QStringList big {"--size", "2000x2000"};
        QTest::addRow("%s: chart PNG", disk)
            << QStringList {"chart", "-o", "OUT.png", "one.dat"} + big << filled;
        QTest::addRow("%s: chart PDF", disk)
            << QStringList {"chart", "-o", "OUT.pdf", "one.dat"} + big << filled;
        QTest::addRow("%s: chart SVG", disk)
            << QStringList {"chart", "-o", "OUT.svg", "one.dat"} + big << filled;
        QTest::addRow("%s: report", disk)
            << QStringList {"report", "-o", "OUT.pdf", "one.dat"} << filled;
    }
    QTest::newRow("full: export") << QStringList {"export", "--register", "reg.sqlite", "-o",
        "OUT.json"} << true;
}

void TestCliInputs::fullDisk()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, filled);
    if (!QFile::exists(path("reg.sqlite")))
        QCOMPARE(RunCli({"register", "aircraft", "--register", path("reg.sqlite"), "--aircraft",
                            "D-EFUL", "--combine", "running"})
                     .exitCode,
            0);
    SmallDisk disk(filled ? 64 * 1024 : 8 * 1024);
    if (!disk.ready())
        QSKIP(qPrintable(disk.reason()));
    if (filled)
        disk.fill();
    arguments.replaceInStrings(QStringLiteral("OUT"), disk.filePath("out"));
    arguments = expanded(arguments);
    const CliRun run = RunCli(arguments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("No space left on device"), run.err.constData());
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
        filled ? QStringList {"filler"} : QStringList());
}

void TestCliInputs::closedStandardOutput_data()
{
    QTest::addColumn<bool>("broken"); // a pipe nobody reads, else closed
    QTest::addColumn<QStringList>("arguments");
    for (const bool broken : {true, false}) {
        const char *how = broken ? "broken" : "closed";
        QTest::addRow("%s: spectrum", how) << broken << QStringList {"spectrum", "one.dat"};
        QTest::addRow("%s: exceedance", how) << broken << QStringList {"exceedance", "one.dat"};
        QTest::addRow("%s: chart to standard output", how)
            << broken << QStringList {"chart", "--format", "svg", "-o", "-", "one.dat"};
        QTest::addRow("%s: help", how) << broken << QStringList {"check", "--help"};
    }
}

void TestCliInputs::closedStandardOutput()
{
    QFETCH(bool, broken);
    QFETCH(QStringList, arguments);
    QByteArray err;
    QCOMPARE(runWithStandardOutput(broken, expanded(arguments), err), 1);
    QCOMPARE(err, QByteArray());
}

void TestCliInputs::registerLocation_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment"); // NAME=VALUE; NAME alone is unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    // Only looking: a command that cannot find its register must leave none anywhere.
    const QStringList add {"register", "list"};
    QTest::newRow("--register empty")
        << add + QStringList {"--register", ""} << QStringList {"ZEMRA_REGISTER"} << 2
        << "--register is given but empty";
    QTest::newRow("ZEMRA_REGISTER empty")
        << add << QStringList {"ZEMRA_REGISTER="} << 1 << "ZEMRA_REGISTER is set but empty";
    QTest::newRow("no HOME, no XDG_DATA_HOME")
        << add << QStringList {"ZEMRA_REGISTER", "HOME", "XDG_DATA_HOME"} << 1 << "Set HOME";
    QTest::newRow("no HOME, XDG_DATA_HOME relative")
        << add << QStringList {"ZEMRA_REGISTER", "HOME", "XDG_DATA_HOME=data"} << 1 << "Set HOME";
    QTest::newRow("report, no HOME")
        << QStringList {"report", "--fleet", "-o", "fleet.pdf"}
        << QStringList {"ZEMRA_REGISTER", "HOME", "XDG_DATA_HOME"} << 1 << "Set HOME";
}

void TestCliInputs::registerLocation()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    // Run in an empty folder of its own, so that nothing may appear there.
    QTemporaryDir current;
    QProcessEnvironment set;
    QStringList unset;
    for (const QString &entry : environment) {
        if (entry.contains(QLatin1Char('=')))
            set.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        else
            unset << entry;
    }
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current.path()));
    const CliRun run = RunCli(arguments, set, unset);
    QDir::setCurrent(before);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said.toUtf8()), run.err.constData());
    QCOMPARE(QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
}

ZEMRA_TEST_MAIN(TestCliInputs)
#include "tst_cli_inputs.moc"
