#include "CliRun.h"

#include "CounterRecord.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

// The severity against a design spectrum from the command line.
class TestCliDesign : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void damage_data();
    void damage();
    void keys();
    void typeInTheRegister_data();
    void typeInTheRegister();

private:
    QTemporaryDir m_dir;
};

namespace {
// A record over exactly 1000 h (83 twelve-hour periods and 14400 s) with these counts.
CounterRecord thousandHours(const std::array<int, LevelCount> &counts)
{
    CounterRecord record {};
    for (int level = 0; level < LevelCount; ++level)
        record[level] = std::uint16_t(counts[level]);
    record[ActivePeriodsWord] = 83;
    record[ActiveSecondsWord] = 14400;
    return record;
}

// Non-increasing outward from 1 g on both branches.
const std::array<int, LevelCount> Flown {
    1, 3, 8, 20, 90, 300, 700, 420, 260, 150, 90, 50, 30, 15, 8, 4, 2, 1};

// Made-up design spectra, NOT real data: one with a point at every level of `Flown`.
QByteArray header(const char *axis)
{
    return QByteArray("# Made-up example, NOT real data\nname,Made-up design\nsource,Invented\n"
                      "table,Table 4\npage,9\nnormalisation,per 1000 h\naxis,")
        + axis + '\n';
}

QByteArray atTheLevels()
{
    QByteArray text = header("n");
    for (int level = 0; level < LevelCount; ++level)
        text += (LoadLevels[level].n < 1 ? "negative," : "positive,")
            + QByteArray(LoadLevels[level].text) + ',' + QByteArray::number(Flown[level]) + '\n';
    return text;
}

const QStringList Sn {
    "--sigma1", "100", "--k", "3", "--sd", "100", "--nd", "1e6", "--max-load", "6,-3"};
} // namespace

void TestCliDesign::initTestCase()
{
    QVERIFY(m_dir.isValid());
    WriteFile(m_dir.filePath("flown.dat"), RecordFileBytes(thousandHours(Flown)));
    WriteFile(m_dir.filePath("design.csv"), atTheLevels());
    WriteFile(m_dir.filePath("narrow.csv"), header("n") + "positive,1.8,400\npositive,2.4,60\n");
    WriteFile(m_dir.filePath("fraction.csv"), header("a") + "positive,0.2,500\npositive,0.9,2\n");
}

void TestCliDesign::damage_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("severity"); // counted; NaN: not checked
    QTest::addColumn<QString>("said"); // on standard output (exit 0) or error

    const double unchecked = std::numeric_limits<double>::quiet_NaN();
    QTest::addRow("flown as designed") << Sn + QStringList {"--design-spectrum", "design.csv"} << 0
                                       << 1.0 << "design D per 1000 h, upper";
    QTest::addRow("levels outside the range")
        << Sn + QStringList {"--design-spectrum", "narrow.csv"} << 0 << unchecked
        << "outside its range, counted 0: -2.0 g, -1.4 g, -1.2 g, -1.0 g, -0.8 g, -0.6 g, 1.4 g, "
           "1.6 g, 2.6 g";
    QTest::addRow("axis a with a category")
        << Sn + QStringList {"--design-spectrum", "fraction.csv", "--category", "normal"} << 0
        << unchecked << "axis a";
    QTest::addRow("axis a without limit loads")
        << Sn + QStringList {"--design-spectrum", "fraction.csv"} << 2 << unchecked
        << "design spectrum";
    // The design's cycle (-2, 4 g) has a peak stress of 400 MPa.
    QTest::addRow("S-N data that do not fit the design")
        << Sn + QStringList {"--design-spectrum", "design.csv", "--su", "350"} << 2 << unchecked
        << "The design spectrum \"Made-up design\"";
}

void TestCliDesign::damage()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(double, severity);
    QFETCH(QString, said);
    for (QString &option : options) {
        if (option.endsWith(QLatin1String(".csv")))
            option = m_dir.filePath(option);
    }
    const QString data = m_dir.filePath("flown.dat");
    const CliRun text = RunCli(QStringList {"damage"} + options + QStringList {data});
    QCOMPARE(text.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? text.out : text.err).contains(said.toUtf8()),
        (text.out + text.err).constData());
    if (exitCode != 0)
        return;
    QVERIFY2(text.out.contains("severity = D₁₀₀₀ / D₁₀₀₀,design"), text.out.constData());
    QVERIFY(text.out.contains("Design spectrum \"Made-up design\""));

    const CliRun json
        = RunCli(QStringList {"damage", "--format", "json"} + options + QStringList {data});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject result = QJsonDocument::fromJson(json.out).array().at(0).toObject();
    const QJsonObject design = result.value("designSpectrum").toObject();
    QCOMPARE(design.value("name").toString(), QStringLiteral("Made-up design"));
    for (const char *estimate : {"counted", "upper"}) {
        const double measured
            = result.value(estimate).toObject().value("damagePer1000h").toDouble();
        const double designed
            = design.value(estimate).toObject().value("designDamagePer1000h").toDouble();
        const QJsonValue figure = result.value(estimate).toObject().value("severity");
        QVERIFY2(figure.isDouble(), estimate);
        QCOMPARE(figure.toDouble(), measured / designed);
        if (!std::isnan(severity))
            QCOMPARE(figure.toDouble(), severity);
    }
}

// The old figure is no longer called severity; CSV and JSON take their keys from one name.
void TestCliDesign::keys()
{
    const QString data = m_dir.filePath("flown.dat");
    const QStringList options = Sn
        + QStringList {"--design-life", "20000", "--design-spectrum", m_dir.filePath("design.csv")};
    const CliRun csv
        = RunCli(QStringList {"damage", "--format", "csv"} + options + QStringList {data});
    QCOMPARE(csv.exitCode, 0);
    const QByteArray heading = csv.out.left(csv.out.indexOf('\n')).trimmed(); // CR LF
    QVERIFY2(heading.endsWith(",design_life_rate,design_damage_per_1000h,severity,design_spectrum,"
                              "file,first_record,last_record,aircraft"),
        heading.constData());
    const CliRun json
        = RunCli(QStringList {"damage", "--format", "json"} + options + QStringList {data});
    const QJsonObject counted
        = QJsonDocument::fromJson(json.out).array().at(0).toObject().value("counted").toObject();
    // SF D L / T with SF 8 and L 20000 h over T 1000 h: 160 D.
    QCOMPARE(counted.value("designLifeRate").toDouble(), 160 * counted.value("damage").toDouble());
    QCOMPARE(counted.value("severity").toDouble(), 1.0);
}

void TestCliDesign::typeInTheRegister_data()
{
    QTest::addColumn<QStringList>("arguments"); // after "--register R"; the type Trainer is set
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("said"); // on standard output (exit 0) or error

    QTest::newRow("fleet") << QStringList {"fleet", "--format", "json"} << 0
                           << QStringList {"\"severity\":1,\"upperSeverity\":1,"};
    QTest::newRow("aircraft")
        << QStringList {"register", "aircraft", "--aircraft", "sp-zea"} << 0
        << QStringList {"design spectrum \"Made-up design\" (design.csv): Invented, Table 4, "
                        "page 9, axis n"};
    QTest::newRow("history") << QStringList {"register", "history", "--aircraft", "SP-ZEA"} << 0
                             << QStringList {"Severity against the design spectrum \"Made-up "
                                             "design\" (design.csv) over the whole history, D "
                                             "per 1000 h / the design's: 1 counted, 1 upper."};
    QTest::newRow("removed") << QStringList {"register", "aircraft", "--type", "trainer",
        "--design-spectrum",
        ""} << 0 << QStringList {"no design spectrum: no severity", "σ₁ = 100 MPa"};
    QTest::newRow("for an aircraft") << QStringList {"register", "aircraft", "--aircraft", "SP-ZEA",
        "--design-spectrum", "design.csv"}
                                     << 2 << QStringList {"belongs to a type"};
}

// The type keeps its design spectrum; the aircraft of it are shown the severity against it.
void TestCliDesign::typeInTheRegister()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    const QString reg = m_dir.filePath(QStringLiteral("r%1.sqlite").arg(QTest::currentDataTag()));
    const QStringList at {"--register", reg};
    const QStringList setUp[]
        = {{"register", "aircraft", "--type", "Trainer", "--sigma1", "100", "--k", "3", "--sd",
               "100", "--nd", "1e6", "--max-load", "6,-3"},
            {"register", "aircraft", "--type", "Trainer", "--design-spectrum",
                m_dir.filePath("design.csv")},
            {"register", "aircraft", "--aircraft", "SP-ZEA", "--type", "Trainer", "--combine",
                "separate"},
            {"register", "add", "--aircraft", "SP-ZEA", "--date", "2026-10-01",
                m_dir.filePath("flown.dat")}};
    for (const QStringList &step : setUp) {
        const CliRun run = RunCli(step.mid(0, 2) + at + step.mid(2));
        QVERIFY2(run.exitCode == 0, run.err.constData());
    }
    for (QString &argument : arguments) {
        if (argument.endsWith(QLatin1String(".csv")))
            argument = m_dir.filePath(argument);
    }
    const qsizetype command = arguments.front() == QLatin1String("fleet") ? 1 : 2;
    const CliRun run = RunCli(arguments.mid(0, command) + at + arguments.mid(command));
    QCOMPARE(run.exitCode, exitCode);
    for (const QString &text : said)
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(text.toUtf8()),
            (run.out + run.err).constData());
}

QTEST_GUILESS_MAIN(TestCliDesign)
#include "tst_cli_design.moc"
