#include "CliRun.h"

#include "CounterRecord.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>

// The usage commands end to end: exceedance, damage, the exceedance chart and the report, on
// records whose figures are worked by hand.
class TestCliUsageAnalysis : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exceedanceInEveryFormat_data();
    void exceedanceInEveryFormat();
    void combinations_data();
    void combinations();
    void csvOrigin_data();
    void csvOrigin();
    void overLimit_data();
    void overLimit();
    void runningFalls_data();
    void runningFalls();
    void damage_data();
    void damage();
    void chartAndReport_data();
    void chartAndReport();
    void reportsFromTheRegister_data();
    void reportsFromTheRegister();

private:
    QString file(const QString &name, const QList<CounterRecord> &records);
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(QList<CounterRecord>)

namespace {
// The demonstration record: T = (600 + 43200 · 21) / 3600 = 252.1666… h.
constexpr double DemoHours = 907800.0 / 3600.0;

// Every counter at `count`, the 1.4 g counter at `at14`, the clock at `seconds` s.
CounterRecord totals(int count, int at14, int seconds)
{
    CounterRecord record {};
    for (int level = 0; level < LevelCount; ++level)
        record[level] = std::uint16_t(count);
    record[6] = std::uint16_t(at14);
    record[ActiveSecondsWord] = std::uint16_t(seconds);
    return record;
}

CounterRecord later(int extraCount, int extraSeconds)
{
    CounterRecord record = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        record[level] = std::uint16_t(record[level] + extraCount);
    record[ActiveSecondsWord] = std::uint16_t(record[ActiveSecondsWord] + extraSeconds);
    return record;
}

QJsonArray jsonOf(const CliRun &run)
{
    const QJsonDocument document = QJsonDocument::fromJson(run.out);
    return document.array();
}

int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const qsizetype at = info.indexOf(QLatin1String("Pages:"));
    return at < 0 ? 0 : info.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}
} // namespace

void TestCliUsageAnalysis::initTestCase()
{
    QVERIFY(m_dir.isValid());
    WriteFile(m_dir.filePath(QStringLiteral("ref.csv")),
        "# Made-up example, NOT real data\nname,Made-up spectrum\nsource,Invented handbook\n"
        "table,Table 1\npage,3\nnormalisation,per 1000 h\naxis,n\n"
        "positive,1.4,20000\npositive,2.4,200\nnegative,-0.6,1000\n");
    WriteFile(m_dir.filePath(QStringLiteral("bad-ref.csv")),
        "name,Made-up\nsource,Invented\ntable,1\npage,3\nnormalisation,per 1000 h\naxis,n\n"
        "positive,1.4,20000\npositive,2.4,-5\n");
}

QString TestCliUsageAnalysis::file(const QString &name, const QList<CounterRecord> &records)
{
    QByteArray bytes;
    for (const CounterRecord &record : records)
        bytes += RecordFileBytes(record);
    WriteFile(m_dir.filePath(name), bytes);
    return m_dir.filePath(name);
}

void TestCliUsageAnalysis::exceedanceInEveryFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("text") << "text";
    QTest::newRow("csv") << "csv";
    QTest::newRow("json") << "json";
}

void TestCliUsageAnalysis::exceedanceInEveryFormat()
{
    QFETCH(QString, format);
    const QString data = file(QStringLiteral("demo.dat"), {DemonstrationRecord});
    const CliRun run = RunCli({"exceedance", "--format", format, "--axis", "a", "--category",
        "utility", "--reference", m_dir.filePath(QStringLiteral("ref.csv")), data});
    QCOMPARE(run.exitCode, 0);
    // 1.4 g: 2533 over 252.1666… h is 10044.9… per 1000 h; on the utility axis
    // a = (1.4 − 1) / (4.4 − 1) = 0.117647…; the reference has 20000 there: ratio 0.50224….
    const double per1000h = 1000.0 * 2533 / DemoHours;
    if (format == QLatin1String("json")) {
        const QJsonObject table = jsonOf(run).at(0).toObject();
        QCOMPARE(table.value("hours").toDouble(), DemoHours);
        const QJsonObject row = table.value("levels").toArray().at(6).toObject();
        QCOMPARE(row.value("nc").toInt(), 2533);
        QCOMPARE(row.value("per1000h").toDouble(), per1000h);
        QCOMPARE(row.value("axisValue").toDouble(), 0.4 / 3.4);
        const QJsonObject compared = row.value("references").toArray().at(0).toObject();
        QCOMPARE(compared.value("per1000h").toDouble(), 20000.0);
        QVERIFY(std::abs(compared.value("ratio").toDouble() - per1000h / 20000) < 1e-12);
        QVERIFY(table.value("levels").toArray().at(0).toObject().value("log10Per1000h").isDouble());
    } else if (format == QLatin1String("csv")) {
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 20); // header, 18 levels, the end
        const QList<QByteArray> fields = lines[7].trimmed().split(',');
        QCOMPARE(fields[2], QByteArray("1.4"));
        QCOMPARE(fields[6], QByteArray("2533"));
        QCOMPARE(fields[8].toDouble(), per1000h); // shortest text, read back exactly
    } else {
        QVERIFY2(run.out.contains("10044.9"), run.out.constData());
        // Interpolated, the reference is 10^(log 20000 − 1.2) = 1262.0 at 2.0 g, below the
        // measured 1812.29; at 1.8 g 3170 is still above 2994.05.
        QVERIFY2(run.out.contains("first level above it: 2.0 g on the positive branch, -0.6 g"),
            run.out.constData());
    }
}

void TestCliUsageAnalysis::combinations_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("hours"); // of the one table
    QTest::addColumn<int>("countAt14"); // Nc at 1.4 g
    QTest::addColumn<QString>("message"); // on standard error
    // first.dat: the demonstration record; second.dat: it, then it again 1 count and 36 s on,
    // then a reset to the demonstration record.
    QTest::newRow("separate: sums") << QStringList {"--combine", "separate", "--all"} << 0
                                    << 4 * DemoHours + 36.0 / 3600 << 4 * 2533 + 1 << QString();
    QTest::newRow("running: differences and a reset")
        << QStringList {"--combine", "running", "--all"} << 0 << 2 * DemoHours + 36.0 / 3600
        << 2 * 2533 + 1 << "second.dat\" record 3: the count at -2.0 g falls from 2 to 1";
    QTest::newRow("two files without a mode")
        << QStringList() << 2 << 0.0 << 0 << "\"separate\" when each record counts";
    QTest::newRow("unknown mode") << QStringList {"--combine", "sum"} << 2 << 0.0 << 0
                                  << "--combine wants separate or running";
    QTest::newRow("malformed reference") << QStringList {"--combine", "separate", "--reference",
        "bad-ref.csv"} << 1 << 0.0 << 0 << "(line 8)";
}

void TestCliUsageAnalysis::combinations()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(double, hours);
    QFETCH(int, countAt14);
    QFETCH(QString, message);
    options.replaceInStrings(QStringLiteral("bad-ref.csv"), m_dir.filePath("bad-ref.csv"));
    const QString first = file(QStringLiteral("first.dat"), {DemonstrationRecord});
    const QString second = file(
        QStringLiteral("second.dat"), {DemonstrationRecord, later(1, 36), DemonstrationRecord});
    const CliRun run = RunCli(
        QStringList {"exceedance", "--format", "json"} + options + QStringList {first, second});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    if (exitCode != 0)
        return;
    const QJsonArray tables = jsonOf(run);
    QCOMPARE(tables.size(), 1);
    QVERIFY(std::abs(tables[0].toObject().value("hours").toDouble() - hours) < 1e-9);
    QCOMPARE(tables[0].toObject().value("levels").toArray().at(6).toObject().value("nc").toInt(),
        countAt14);
}

namespace {
// The fields of one CSV line: quoted fields may hold commas and doubled quotes.
QStringList csvFields(const QString &line)
{
    QStringList fields {QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == '"')
            fields.last() += line[++i];
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}
} // namespace

void TestCliUsageAnalysis::csvOrigin_data()
{
    QTest::addColumn<QStringList>("arguments"); // {first} and {second}: the files' paths
    QTest::addColumn<QString>("source"); // of the last table, as it always was
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("firstRecord");
    QTest::addColumn<QString>("lastRecord");
    const QStringList sn {"damage", "--sigma1", "100", "--k", "1", "--sd", "100", "--nd", "1e6"};
    QTest::newRow("exceedance, one record")
        << QStringList {"exceedance", "--record", "2", "{second}"} << "\"{second}\" record 2"
        << "second.dat"
        << "2"
        << "2";
    QTest::newRow("exceedance --all: the last record's table")
        << QStringList {"exceedance", "--all", "{second}"} << "\"{second}\" record 3"
        << "second.dat"
        << "3"
        << "3";
    QTest::newRow("exceedance --combine separate --all of one file")
        << QStringList {"exceedance", "--combine", "separate", "--all", "{second}"}
        << "\"{second}\" records 1–3 (separate)"
        << "second.dat"
        << "1"
        << "3";
    QTest::newRow("exceedance --combine running of several files: no record range")
        << QStringList {"exceedance", "--combine", "running", "--all", "{first}", "{second}"}
        << "\"{first}\" record 1, \"{second}\" records 1–3 (running)"
        << "first.dat; second.dat"
        << ""
        << "";
    QTest::newRow("damage, one record")
        << sn + QStringList {"--record", "2", "{second}"} << "\"{second}\" record 2"
        << "second.dat"
        << "2"
        << "2";
    QTest::newRow("damage --combine separate --all")
        << sn + QStringList {"--combine", "separate", "--all", "{second}"}
        << "\"{second}\" records 1–3 (separate)"
        << "second.dat"
        << "1"
        << "3";
}

// CSV keeps the source as it always was, and gives the file's bare name and the records read
// in columns of their own after the others; the aircraft column is the register's.
void TestCliUsageAnalysis::csvOrigin()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, source);
    QFETCH(QString, file);
    QFETCH(QString, firstRecord);
    QFETCH(QString, lastRecord);
    const QString first = this->file(QStringLiteral("first.dat"), {DemonstrationRecord});
    const QString second = this->file(
        QStringLiteral("second.dat"), {DemonstrationRecord, later(1, 36), later(2, 72)});
    source.replace(QStringLiteral("{first}"), first).replace(QStringLiteral("{second}"), second);
    arguments.replaceInStrings(QStringLiteral("{first}"), first);
    arguments.replaceInStrings(QStringLiteral("{second}"), second);
    const CliRun run = RunCli(arguments + QStringList {"--format", "csv"});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines
        = QString::fromUtf8(run.out).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 1);
    const QStringList header = csvFields(lines.first());
    const QStringList last = csvFields(lines.last());
    QCOMPARE(header.first(), QStringLiteral("source"));
    QCOMPARE(header.mid(header.size() - 4),
        (QStringList {"file", "first_record", "last_record", "aircraft"}));
    QCOMPARE(last.size(), header.size());
    QCOMPARE(last.first(), source);
    QCOMPARE(last.mid(last.size() - 4), (QStringList {file, firstRecord, lastRecord, QString()}));
}

void TestCliUsageAnalysis::runningFalls_data()
{
    QTest::addColumn<QList<CounterRecord>>("records"); // one file; none: above-65535.dat
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("countAt14");
    QTest::addColumn<QString>("message"); // on standard error
    // 65,000 to 500 at 1.4 g while the others and the clock rise: 1036 counts more.
    QTest::newRow("wrap") << QList {totals(100, 65000, 1000), totals(110, 500, 4600)} << 0
                          << 65000 + 1036 << "Wrap before \"" + m_dir.filePath("falls.dat");
    QTest::newRow("reset") << QList {totals(100, 65000, 1000), totals(10, 500, 600)} << 0
                           << 65000 + 500 << "Reset before";
    QTest::newRow("inconsistent") << QList {totals(100, 65000, 1000), totals(110, 500, 600)} << 1
                                  << 0
                                  << "counts that fall: 1.4 g from 65000 to 500; counts that rise";
    QTest::newRow("a word above 16 bits")
        << QList<CounterRecord>() << 1 << 0
        << "above-65535.dat\" record 1: word 1 (the count at -2.0 g) is 65536 (10000 hex)";
}

void TestCliUsageAnalysis::runningFalls()
{
    QFETCH(QList<CounterRecord>, records);
    QFETCH(int, exitCode);
    QFETCH(int, countAt14);
    QFETCH(QString, message);
    const QString path = records.isEmpty() ? QStringLiteral(ZEMRA_TEST_DATA_DIR "/above-65535.dat")
                                           : file(QStringLiteral("falls.dat"), records);
    const CliRun run
        = RunCli({"exceedance", "--format", "json", "--combine", "running", "--all", path});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    if (exitCode != 0)
        return;
    const QJsonArray tables = jsonOf(run);
    QCOMPARE(tables[0].toObject().value("levels").toArray().at(6).toObject().value("nc").toInt(),
        countAt14);
}

void TestCliUsageAnalysis::damage_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("counted"); // D
    QTest::addColumn<double>("upper"); // D, or 0 when not available
    QTest::addColumn<QString>("message");
    // σ₁ = 100 MPa, k = 1, S_D = 100 MPa, N_D = 10⁶: N = 10⁸ / S_a, so a cycle from n_v to n_p
    // does 50 (n_p − n_v) / 10⁸. Over the demonstration record's cycles Σ count (n_p − n_v) is
    // 5787.4 at the levels reached and 6878.2 one level out (with the bounds +6 / −3 g).
    const QStringList sn {"--sigma1", "100", "--k", "1", "--sd", "100", "--nd", "1e6"};
    QTest::newRow("both estimates") << sn + QStringList {"--max-load", "6,-3"} << 0
                                    << 50 * 5787.4 / 1e8 << 50 * 6878.2 / 1e8 << QString();
    QTest::newRow("no bound beyond the top levels")
        << sn << 0 << 50 * 5787.4 / 1e8 << 0.0 << QString();
    QTest::newRow("parameters file") << QStringList {"--parameters", "sn.ini"} << 0
                                     << 50 * 5787.4 / 1e8 << 50 * 6878.2 / 1e8 << QString();
    QTest::newRow("k = 0") << QStringList {"--sigma1", "100", "--k", "0", "--sd", "100", "--nd",
        "1e6"} << 2 << 0.0 << 0.0
                           << "k";
    QTest::newRow("N_D missing") << QStringList {"--sigma1", "100", "--k", "1", "--sd", "100"} << 2
                                 << 0.0 << 0.0 << "give --nd";
    QTest::newRow("mean stress at S_u")
        << sn + QStringList {"--su", "100"} << 2 << 0.0 << 0.0 << "S_u";
    QTest::newRow("scatter factor below 1")
        << sn + QStringList {"--scatter", "0.5"} << 2 << 0.0 << 0.0 << "SF";
    // The top cycle (-2, 4 g) has a mean of 100 MPa, below S_u, and a peak of 400 MPa, above.
    QTest::newRow("peak stress above S_u")
        << sn + QStringList {"--su", "350"} << 2 << 0.0 << 0.0
        << "from -2 g to 4 g has a peak stress of 400 MPa, above S_u = 350 MPa";
    QTest::newRow("σ₁ that overflows")
        << QStringList {"--sigma1", "1e308", "--k", "1", "--sd", "100", "--nd", "1e6"} << 2 << 0.0
        << 0.0 << "The figures overflow";
    // Each cycle's figures are finite; D = 50 · 5787.4 / 1e-298 is too, 100 % · SF · D is not.
    QTest::newRow("life used that overflows") << QStringList {"--sigma1", "100", "--k", "1", "--sd",
        "100", "--nd", "1e-300", "--scatter", "1e5"}
                                              << 2 << 0.0 << 0.0 << "life used = inf";
}

void TestCliUsageAnalysis::damage()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(double, counted);
    QFETCH(double, upper);
    QFETCH(QString, message);
    WriteFile(m_dir.filePath(QStringLiteral("sn.ini")),
        "[damage]\nsigma1=100\nk=1\nsd=100\nnd=1e6\nmax-load=6,-3\n");
    options.replaceInStrings(QStringLiteral("sn.ini"), m_dir.filePath("sn.ini"));
    const QString data = file(QStringLiteral("demo.dat"), {DemonstrationRecord});
    const CliRun run
        = RunCli(QStringList {"damage", "--format", "json"} + options + QStringList {data});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    if (exitCode != 0)
        return;
    const QJsonObject result = jsonOf(run).at(0).toObject();
    QCOMPARE(result.value("peaks").toInt(), 2533);
    QCOMPARE(result.value("unpairedPeaks").toInt(), 53);
    QVERIFY(
        std::abs(result.value("counted").toObject().value("damage").toDouble() - counted) < 1e-12);
    const QJsonObject upperResult = result.value("upper").toObject();
    QCOMPARE(upperResult.value("available").toBool(), upper > 0);
    if (upper > 0)
        QVERIFY(std::abs(upperResult.value("damage").toDouble() - upper) < 1e-12);
    else
        QVERIFY(upperResult.value("reason").toString().contains(QLatin1String("4.0 g")));
}

void TestCliUsageAnalysis::chartAndReport_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for the output file
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("found"); // in the PDF's text
    QTest::addColumn<int>("pages");
    QTest::newRow("chart PNG") << QStringList {"chart", "--kind", "exceedance", "-o", "OUT"}
                               << "chart.png" << QStringList() << 0;
    QTest::newRow("chart PDF") << QStringList {"chart", "--kind", "exceedance", "-o", "OUT"}
                               << "chart.pdf" << QStringList {"Exceedances per 1000 h"} << 1;
    QTest::newRow("report without damage")
        << QStringList {"report", "-o", "OUT"} << "usage.pdf"
        << QStringList {"2533", "10044.9", "not computed", "E = Nc / T per hour"} << 1;
    // The damage summary and its formulas take the report onto a second page.
    QTest::newRow("report with damage")
        << QStringList {"report", "--sigma1", "100", "--k", "1", "--sd", "100", "--nd", "1e6",
               "--max-load", "6,-3", "-o", "OUT"}
        << "usage.pdf" << QStringList {"D_counted", "0.0028937", "0.0034391", "D = Σ"} << 2;
}

void TestCliUsageAnalysis::chartAndReport()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QStringList, found);
    QFETCH(int, pages);
    const QString output = m_dir.filePath(out);
    QFile::remove(output);
    arguments.replaceInStrings(QStringLiteral("OUT"), output);
    const CliRun run = RunCli(arguments
        + QStringList {"--reference", m_dir.filePath(QStringLiteral("ref.csv")),
            file(QStringLiteral("demo.dat"), {DemonstrationRecord})});
    QCOMPARE(run.exitCode, 0);
    if (out.endsWith(QLatin1String(".png"))) {
        QCOMPARE(QImage(output).size(), QSize(800, 600));
        return;
    }
    QCOMPARE(pdfPages(output), pages);
    const QString text = PdfText(output);
    for (const QString &expected : found)
        QVERIFY2(
            text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
}

void TestCliUsageAnalysis::reportsFromTheRegister_data()
{
    QTest::addColumn<QStringList>("arguments"); // after "report --register R -o OUT"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("found"); // in the PDF's text, or the message
    // SP-ZEA holds the demonstration record: 2533 crossings of 1.4 g in 252.1666… h, and the
    // damage figures of the "both estimates" case above.
    QTest::newRow("aircraft")
        << QStringList {"--aircraft", "sp-zea"} << 0
        << QStringList {"ZEMRA usage report: SP-ZEA", "History", "2533", "10044.9", "0.0028937",
               "2026-10-01", "Summary", "Life used (100 %·SF·ΣD of the periods)",
               "no forecast from fewer than two read-outs",
               "beyond 4.4 g at least 0 (no level at or beyond it), at most 1", "n_LL+ 4.4 g",
               "Status on", "over limit: beyond 4.4 g", "Rank in the fleet by life used"};
    QTest::newRow("fleet") << QStringList {"--fleet"} << 0
                           << QStringList {"ZEMRA fleet report", "SP-ZEA", "SP-ZEB", "0.0114753"};
    // The references are drawn and named (they were once dropped without a word).
    QTest::newRow("fleet with a reference")
        << QStringList {"--fleet", "--reference", "ref.csv", "--category", "normal"} << 0
        << QStringList {
               "ZEMRA fleet report", "ref 1: Made-up spectrum — Invented handbook", "n_LL+ 3.8 g"};
    QTest::newRow("unknown aircraft")
        << QStringList {"--aircraft", "SP-XXX"} << 1 << QStringList {"SP-XXX"};
    QTest::newRow("files besides the register")
        << QStringList {"--fleet", "demo.dat"} << 2 << QStringList {"FILE goes without"};
    QTest::newRow("both at once") << QStringList {"--fleet", "--aircraft", "SP-ZEA"} << 2
                                  << QStringList {"exclude each other"};
    // Every output goes through the one replacement: a link to a device node is refused.
    QTest::newRow("report into a link to a device node")
        << QStringList {"--fleet", "-o", "LINK"} << 1 << QStringList {"character device"};
    QTest::newRow("export into a link to a device node")
        << QStringList {"EXPORT", "-o", "LINK"} << 1 << QStringList {"character device"};
}

void TestCliUsageAnalysis::reportsFromTheRegister()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, found);
    const QString reg = m_dir.filePath(QStringLiteral("reports.sqlite"));
    if (!QFile::exists(reg)) {
        const QString data = file(QStringLiteral("demo.dat"), {DemonstrationRecord});
        // A read-out is one aircraft's: the other's copy differs in its battery clock alone.
        CounterRecord copy = DemonstrationRecord;
        copy[BatterySecondsWord] = 1;
        const QString other = file(QStringLiteral("demo-copy.dat"), {copy});
        for (const QStringList &step :
            {QStringList {"register", "aircraft", "--aircraft", "SP-ZEA", "--combine", "running",
                 "--sigma1", "100", "--k", "1", "--sd", "100", "--nd", "1e6", "--max-load", "6,-3",
                 "--category", "utility"},
                QStringList {
                    "register", "aircraft", "--aircraft", "SP-ZEB", "--combine", "separate"},
                QStringList {
                    "register", "add", "--aircraft", "SP-ZEA", "--date", "2026-10-01", data},
                QStringList {
                    "register", "add", "--aircraft", "SP-ZEB", "--date", "2026-10-02", other}}) {
            const CliRun run = RunCli(step + QStringList {"--register", reg});
            QVERIFY2(run.exitCode == 0, run.err.constData());
        }
    }
    arguments.replaceInStrings(QStringLiteral("demo.dat"), m_dir.filePath("demo.dat"));
    if (const qsizetype ref = arguments.indexOf(QStringLiteral("ref.csv")); ref >= 0)
        arguments[ref] = m_dir.filePath(QStringLiteral("ref.csv"));
    QString output = m_dir.filePath(QStringLiteral("register-report.pdf"));
    QFile::remove(output);
    QStringList command {"report", "--register", reg, "-o", output};
    if (arguments.contains(QLatin1String("LINK"))) {
        const QString node = m_dir.filePath(QStringLiteral("node"));
        // A .pdf name, which the report wants.
        output = m_dir.filePath(QStringLiteral("link.out.pdf"));
        QFile::remove(output);
        QFile::remove(node);
        QVERIFY(MakeSpecialFile(QStringLiteral("/dev/zero"), node));
        QVERIFY(QFile::link(node, output));
        arguments.replaceInStrings(QStringLiteral("LINK"), output);
        command = arguments.contains(QLatin1String("EXPORT"))
            ? QStringList {"export", "--register", reg}
            : QStringList {"report", "--register", reg};
        arguments.removeAll(QStringLiteral("EXPORT"));
    }
    const CliRun run = RunCli(command + arguments);
    QCOMPARE(run.exitCode, exitCode);
    const QString text = exitCode == 0 ? PdfText(output) : QString::fromUtf8(run.err);
    for (const QString &expected : found)
        QVERIFY2(
            text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
    QCOMPARE(QFile::exists(output), exitCode == 0 || output.endsWith(QLatin1String(".out.pdf")));
    if (output.endsWith(QLatin1String(".out.pdf")))
        QVERIFY(QFileInfo(output).isSymLink() && !QFileInfo(output).isFile());
}

// Two records of running totals, each 4.0 g and -2.0 g count a period's own: the bounds of the
// limit loads are the sums of the periods'.
void TestCliUsageAnalysis::overLimit_data()
{
    QTest::addColumn<QStringList>("limits");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("positiveAtLeast");
    QTest::addColumn<int>("positiveAtMost");
    QTest::addColumn<int>("negativeAtLeast");
    QTest::addColumn<int>("negativeAtMost");
    // The demonstration record, then twice its counts as running totals: 4.0 g 1, 3.4 g 2;
    // -2.0 g 1, -1.4 g 2 in each period.
    QTest::newRow("normal") << QStringList {"--category", "normal"}
                            << "beyond 3.8 g at least 2 (Nc at 4.0 g), at most 4 (Nc at 3.4 g); "
                               "beyond -1.52 g at least 2 (Nc at -2.0 g), at most 4"
                            << 2 << 4 << 2 << 4;
    QTest::newRow("utility") << QStringList {"--category", "utility"}
                             << "beyond 4.4 g at least 0 (no level at or beyond it), at most 2 "
                                "(Nc at 4.0 g)"
                             << 0 << 2 << 2 << 4;
    QTest::newRow("aerobatic") << QStringList {"--category", "aerobatic"}
                               << "beyond -3 g at least 0 (no level at or beyond it), at most 2 "
                                  "(Nc at -2.0 g)"
                               << 0 << 2 << 0 << 2;
    QTest::newRow("none") << QStringList {}
                          << "No limit loads given: 2 reached the top level 4.0 g, 2 reached the "
                             "top level -2.0 g."
                          << -1 << -1 << -1 << -1;
}

void TestCliUsageAnalysis::overLimit()
{
    QFETCH(QStringList, limits);
    QFETCH(QString, text);
    CounterRecord twice = DemonstrationRecord;
    for (int word = 0; word < LevelCount + 2; ++word)
        twice[word] = std::uint16_t(2 * twice[word]);
    const QString path = file(QStringLiteral("over-limit.dat"), {DemonstrationRecord, twice});
    const QStringList command
        = QStringList {"exceedance", "--combine", "running", "--all"} + limits;
    const CliRun shown = RunCli(command + QStringList {path});
    QCOMPARE(shown.exitCode, 0);
    QVERIFY2(QString::fromUtf8(shown.out).contains(text), shown.out);
    const CliRun json = RunCli(command + QStringList {"--format", "json", path});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject over
        = QJsonDocument::fromJson(json.out)[0][QStringLiteral("overLimit")].toObject();
    const auto bound = [&](const char *branch, const char *key) {
        const QJsonValue value = over[QLatin1String(branch)];
        return value.isNull() ? -1 : value[QLatin1String(key)].toInt();
    };
    QTEST(bound("positive", "atLeast"), "positiveAtLeast");
    QTEST(bound("positive", "atMost"), "positiveAtMost");
    QTEST(bound("negative", "atLeast"), "negativeAtLeast");
    QTEST(bound("negative", "atMost"), "negativeAtMost");
    QCOMPARE(over[QStringLiteral("atTopPositive")].toInt(), 2);
}

ZEMRA_TEST_MAIN(TestCliUsageAnalysis)
#include "tst_cli_usage_analysis.moc"
