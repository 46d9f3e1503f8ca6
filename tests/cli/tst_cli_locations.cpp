#include "CliRun.h"

#include "CounterRecord.h"
#include "PostgresServer.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// Structural locations from the command line: a parameters file's [location NAME] sections, the
// damage at each, and the register's figures at the location of the largest life used.
class TestCliLocations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parametersFile_data();
    void parametersFile();
    void damageAtEach();
    void reportOfFiles_data();
    void reportOfFiles();
    void registerFigures_data();
    void registerFigures();

private:
    QString write(const QString &name, const QByteArray &bytes);
    QString fresh(const QString &engine);
    CliRun cli(const QStringList &arguments, const QString &location = QString());

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_files = 0;
};

namespace {
// Shared keys first, then two locations: the fin's σ₁ makes it the critical one.
const QByteArray TwoLocations = "scatter=5\nk=5\nsd=60\nnd=2e6\n"
                                "[location wing root]\nsigma1=50\n"
                                "[Location Fin]\nsigma1=70\nk=4\nbelow=haibach\n";

QJsonArray jsonArray(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).array();
}
} // namespace

void TestCliLocations::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
}

QString TestCliLocations::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("%1-%2").arg(++m_files).arg(name));
    WriteFile(path, bytes);
    return path;
}

QString TestCliLocations::fresh(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_files));
    return m_server->url(m_server->createDatabase(QStringLiteral("locations")));
}

CliRun TestCliLocations::cli(const QStringList &arguments, const QString &location)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    QStringList full = arguments;
    if (!location.isEmpty())
        full << QStringLiteral("--register") << location;
    return RunCli(full, environment, {QStringLiteral("ZEMRA_REGISTER")});
}

void TestCliLocations::parametersFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on standard error, or the locations' names for 0

    const QStringList none;
    QTest::newRow("two locations") << TwoLocations << none << 0 << "wing root|Fin";
    QTest::newRow("a location alone takes the shared keys")
        << QByteArray("sigma1=60\nk=5\nsd=60\nnd=2e6\n[location spar]\n") << none << 0 << "spar";
    QTest::newRow("a key that is every location's")
        << QByteArray("k=5\nsd=60\nnd=2e6\n[location spar]\nsigma1=60\nscatter=4\n") << none << 2
        << "the location \"spar\" has the key \"scatter\" (line 6)";
    QTest::newRow("a key twice in one location")
        << QByteArray("k=5\nsd=60\nnd=2e6\n[location spar]\nsigma1=60\nsigma1=61\n") << none << 2
        << "the location \"spar\" gives the key \"sigma1\" twice (line 6)";
    QTest::newRow("a location without a name")
        << QByteArray("k=5\nsd=60\nnd=2e6\n[location]\nsigma1=60\n") << none << 2
        << "line 4 names no location";
    QTest::newRow("one name twice, case aside")
        << QByteArray(
               "k=5\nsd=60\nnd=2e6\n[location spar]\nsigma1=60\n[location SPAR]\nsigma1=70\n")
        << none << 2 << "The location \"SPAR\" is given twice.";
    QTest::newRow("a location without σ₁")
        << QByteArray("k=5\nsd=60\nnd=2e6\n[location spar]\nk=4\n") << none << 2
        << "the location \"spar\" (line 4): the S-N data is incomplete: give --sigma1";
    QTest::newRow("a location's S-N data refused")
        << QByteArray("k=5\nsd=60\nnd=2e6\n[location spar]\nsigma1=-3\n") << none << 2
        << "the location \"spar\" (line 4): The stress at 1 g σ₁ must be a positive number";
    QTest::newRow("σ₁ as an option beside locations")
        << TwoLocations << QStringList {QStringLiteral("--sigma1"), QStringLiteral("80")} << 2
        << "--sigma1 is given per location in the parameters file";
    QTest::newRow("other sections still only group")
        << QByteArray("[damage]\nsigma1=60\nk=5\nsd=60\nnd=2e6\n") << none << 0 << "";
}

// Each location's damage comes out under its name, in file order; what is wrong names the line.
void TestCliLocations::parametersFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString record = write(QStringLiteral("r.dat"), RecordFileBytes(MadeUpTotals(2, 100)));
    const CliRun run = cli(QStringList {QStringLiteral("damage"), QStringLiteral("--parameters"),
                               write(QStringLiteral("p.ini"), text), QStringLiteral("--format"),
                               QStringLiteral("json"), record}
        + options);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0) {
        QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err.constData());
        return;
    }
    QStringList names;
    for (const QJsonValue &entry : jsonArray(run.out))
        names << entry[QStringLiteral("location")].toString();
    QCOMPARE(names.join(QLatin1Char('|')), said);
}

// The damage at a location is the damage of its own S-N data given alone, to the last digit.
void TestCliLocations::damageAtEach()
{
    const QString record = write(QStringLiteral("r.dat"), RecordFileBytes(MadeUpTotals(3, 120)));
    const CliRun located = cli({QStringLiteral("damage"), QStringLiteral("--parameters"),
        write(QStringLiteral("p.ini"), TwoLocations), QStringLiteral("--format"),
        QStringLiteral("json"), record});
    QCOMPARE(located.exitCode, 0);
    const QJsonArray both = jsonArray(located.out);
    QCOMPARE(both.size(), 2);
    const QStringList alone[]
        = {{"--sigma1", "50", "--k", "5", "--sd", "60", "--nd", "2e6", "--scatter", "5"},
            {"--sigma1", "70", "--k", "4", "--sd", "60", "--nd", "2e6", "--scatter", "5", "--below",
                "haibach"}};
    for (int i = 0; i < 2; ++i) {
        const CliRun single = cli(QStringList {QStringLiteral("damage"), QStringLiteral("--format"),
                                      QStringLiteral("json"), record}
            + alone[i]);
        QCOMPARE(single.exitCode, 0);
        const QJsonObject one = jsonArray(single.out).at(0).toObject();
        for (const char *estimate : {"counted", "upper"}) {
            const double expected
                = one[QLatin1String(estimate)][QStringLiteral("damage")].toDouble();
            QVERIFY(expected > 0);
            QCOMPARE(
                both.at(i)[QLatin1String(estimate)][QStringLiteral("damage")].toDouble(), expected);
        }
    }
    // Different S-N data: different damage, or the test would not tell the locations apart.
    QVERIFY(both.at(0)[QStringLiteral("counted")][QStringLiteral("damage")].toDouble()
        < both.at(1)[QStringLiteral("counted")][QStringLiteral("damage")].toDouble());
}

void TestCliLocations::reportOfFiles_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // in the PDF's text, or on standard error
    QTest::newRow("the location of the largest life used")
        << QStringList() << 0 << "Fatigue damage by Miner's rule at the location \"Fin\"";
    QTest::newRow("the location asked for")
        << QStringList {QStringLiteral("--location"), QStringLiteral("wing ROOT")} << 0
        << "Fatigue damage by Miner's rule at the location \"wing root\"";
    QTest::newRow("a location it has not")
        << QStringList {QStringLiteral("--location"), QStringLiteral("tail")} << 2
        << "no location \"tail\"; the locations are \"wing root\", \"Fin\".";
}

// The report of a file gives its damage at one location, and names it.
void TestCliLocations::reportOfFiles()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString pdf = m_dir.filePath(QStringLiteral("report%1.pdf").arg(++m_files));
    const CliRun run
        = cli(QStringList {QStringLiteral("report"), QStringLiteral("--parameters"),
                  write(QStringLiteral("p.ini"), TwoLocations), QStringLiteral("-o"), pdf,
                  write(QStringLiteral("r.dat"), RecordFileBytes(MadeUpTotals(2, 80)))}
            + options);
    QCOMPARE(run.exitCode, exitCode);
    const QString text = exitCode == 0 ? PdfText(pdf) : QString::fromUtf8(run.err);
    QVERIFY2(text.contains(said), qPrintable(text));
}

void TestCliLocations::registerFigures_data()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

// The type's locations kept; the fleet names the location of the largest life used, and the
// history and the report give their figures there unless another is asked for.
void TestCliLocations::registerFigures()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    QCOMPARE(cli({"register", "aircraft", "--type", "Zeta", "--parameters",
                     write(QStringLiteral("p.ini"), TwoLocations)},
                 reg)
                 .exitCode,
        0);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-ELOC", "--type", "Zeta", "--combine",
                     "running"},
                 reg)
                 .exitCode,
        0);
    // One read-out: its period's damage at each location is that of `damage` over the record.
    const QString data = write(QStringLiteral("d.dat"), RecordFileBytes(MadeUpTotals(3, 120)));
    QCOMPARE(cli({"register", "add", "--aircraft", "D-ELOC", "--date", "2025-03-01", data}, reg)
                 .exitCode,
        0);
    const CliRun direct = cli({"damage", "--parameters",
        write(QStringLiteral("p.ini"), TwoLocations), "--format", "json", data});
    QCOMPARE(direct.exitCode, 0);
    const QJsonArray each = jsonArray(direct.out);

    const CliRun fleet = cli({"fleet", "--format", "json"}, reg);
    QCOMPARE(fleet.exitCode, 0);
    const QJsonObject row = jsonArray(fleet.out).at(0).toObject();
    QCOMPARE(row[QStringLiteral("location")].toString(), QStringLiteral("Fin"));
    QVERIFY2(
        row[QStringLiteral("locationsLifeUsed")].toString().startsWith(QLatin1String("wing root ")),
        qPrintable(row[QStringLiteral("locationsLifeUsed")].toString()));

    const auto history = [&](const QStringList &more) {
        const CliRun run = cli(
            QStringList {"register", "history", "--aircraft", "D-ELOC", "--format", "json"} + more,
            reg);
        return std::pair(run.exitCode, QJsonDocument::fromJson(run.out).object());
    };
    const auto [atCritical, critical] = history({});
    QCOMPARE(atCritical, 0);
    QCOMPARE(critical[QStringLiteral("location")].toString(), QStringLiteral("Fin"));
    const double fleetUsed = row[QStringLiteral("lifeUsedPercent")].toDouble();
    for (int i = 0; i < 2; ++i)
        QCOMPARE(
            critical[QStringLiteral("locations")][i][QStringLiteral("lifeUsedPercent")].toDouble(),
            each.at(i)[QStringLiteral("counted")][QStringLiteral("lifeUsedPercent")].toDouble());
    QCOMPARE(fleetUsed,
        each.at(1)[QStringLiteral("counted")][QStringLiteral("lifeUsedPercent")].toDouble());
    const auto [atRoot, root]
        = history({QStringLiteral("--location"), QStringLiteral("WING ROOT")});
    QCOMPARE(atRoot, 0);
    QCOMPARE(root[QStringLiteral("location")].toString(), QStringLiteral("wing root"));
    QVERIFY(root[QStringLiteral("locations")][0][QStringLiteral("lifeUsedPercent")].toDouble()
        < fleetUsed);
    const CliRun unknown
        = cli({"register", "history", "--aircraft", "D-ELOC", "--location", "tail"}, reg);
    QCOMPARE(unknown.exitCode, 1);
    QVERIFY2(unknown.err.contains("D-ELOC has no location \"tail\"; its locations are \"wing "
                                  "root\", \"Fin\"."),
        unknown.err.constData());

    const QString pdf = m_dir.filePath(QStringLiteral("%1.pdf").arg(engine));
    QCOMPARE(
        cli({"report", "--aircraft", "D-ELOC", "--location", "wing root", "-o", pdf}, reg).exitCode,
        0);
    QVERIFY2(PdfText(pdf).contains(QLatin1String("Damage figures at the location \"wing root\"")),
        qPrintable(PdfText(pdf)));
}

QTEST_GUILESS_MAIN(TestCliLocations)
#include "tst_cli_locations.moc"
