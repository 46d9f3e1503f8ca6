#include "CliRun.h"

#include "CounterRecord.h"
#include "PostgresServer.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <tuple>

#include <csignal>

#include <grp.h>
#include <unistd.h>

// The register commands through the real zemra-cli, each case on an SQLite file and on a
// PostgreSQL server the test starts itself.
class TestCliRegister : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void session_data() { engines(); }
    void session();
    void falls_data() { engines(); }
    void falls();
    void formats_data();
    void formats();
    void registerFromEnvironment_data() { engines(); }
    void registerFromEnvironment();
    void twoAddsAtOnce_data();
    void twoAddsAtOnce();
    void killedAdd_data() { engines(); }
    void killedAdd();
    void refusals_data();
    void refusals();
    void adderEscaped();
    void lifeOverTime_data() { engines(); }
    void lifeOverTime();
    void exceedanceFromTheRegister_data() { engines(); }
    void exceedanceFromTheRegister();
    void fleetCheck_data();
    void fleetCheck();
    void checkUsage_data();
    void checkUsage();
    void damageAndChartFromTheRegister_data() { engines(); }
    void damageAndChartFromTheRegister();
    void reportsOfAWindow_data() { engines(); }
    void reportsOfAWindow();
    void trendChart_data() { engines(); }
    void trendChart();

private:
    void engines();
    QString fresh(const QString &engine);
    CliRun cli(const QStringList &arguments, const QString &location, int seconds = 30);
    QString file(const QString &name, const QList<CounterRecord> &records);
    QString bigFile(const QString &name, int records, int offset);
    qint64 readouts(const QString &location, const QString &registration);

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_registers = 0;
};

namespace {
CounterRecord record(int base, int seconds, int periods)
{
    CounterRecord words {};
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(base + level);
    words[ActiveSecondsWord] = std::uint16_t(seconds);
    words[ActivePeriodsWord] = std::uint16_t(periods);
    return words;
}

QString text(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

QList<QStringList> csvRows(const QByteArray &bytes)
{
    QList<QStringList> rows;
    for (const QString &line : text(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows << line.split(QLatin1Char(','));
    return rows;
}

// zemra-cli run as "nobody", to whom a file only root may write is read-only.
CliRun runAsNobody(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), CliSettingsHome());
    process.setProcessEnvironment(ReachableEnvironment(environment));
    process.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(126);
    });
    process.start(ReachableCli(), arguments);
    CliRun run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
} // namespace

void TestCliRegister::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::ExeOther));
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
}

// Qt's warnings (a statement not freed, a connection still in use) are faults too.
void TestCliRegister::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TestCliRegister::engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

QString TestCliRegister::fresh(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_registers));
    return m_server->url(
        m_server->createDatabase(QString::fromLatin1(QTest::currentTestFunction())));
}

// A run with the register named, and a data folder of its own so that nothing reaches the
// user's default register.
CliRun TestCliRegister::cli(const QStringList &arguments, const QString &location, int seconds)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    QStringList full = arguments;
    if (!location.isEmpty())
        full << QStringLiteral("--register") << location;
    return RunCli(full, environment, {QStringLiteral("ZEMRA_REGISTER")}, seconds);
}

QString TestCliRegister::file(const QString &name, const QList<CounterRecord> &records)
{
    const QString path = m_dir.filePath(name);
    WriteRecordsFile(path, records);
    return path;
}

// Running totals that grow by one count a level and 30 s a record, from `offset` on.
QString TestCliRegister::bigFile(const QString &name, int records, int offset)
{
    const QString path = m_dir.filePath(name);
    if (QFile::exists(path))
        return path;
    QByteArray bytes;
    bytes.reserve(qsizetype(records) * 132);
    for (int i = offset; i < offset + records; ++i)
        bytes += RecordFileBytes(record(i % 60000, (30 * i) % 43200, 30 * i / 43200));
    WriteFile(path, bytes);
    return path;
}

qint64 TestCliRegister::readouts(const QString &location, const QString &registration)
{
    const CliRun run = cli({"register", "list", "--format", "json"}, location);
    for (const QJsonValue &row : QJsonDocument::fromJson(run.out).array()) {
        if (row[QStringLiteral("registration")].toString() == registration)
            return row[QStringLiteral("readouts")].toInteger();
    }
    return -1;
}

void TestCliRegister::session()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    CliRun run = cli({"register", "aircraft", "--aircraft", "D-EZMA", "--type", "Zeta 2",
                         "--combine", "running"},
        reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(
        run.out.startsWith("Added D-EZMA: type Zeta 2, read-outs are running totals"), run.out);
    run = cli({"register", "aircraft", "--type", "zeta 2", "--sigma1", "60", "--k", "5", "--sd",
                  "80", "--nd", "2e6", "--design-life", "6000"},
        reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Type Zeta 2 (1 aircraft): structural data: σ₁ = 60 MPa"), run.out);
    const QString ini = m_dir.filePath(QStringLiteral("structure.ini"));
    WriteFile(ini, "[aircraft]\nsigma1=70\nk=5\nsd=80\nnd=2e6\ncategory=utility\n");
    run = cli({"register", "aircraft", "--aircraft", "D-EZMB", "--combine", "separate",
                  "--parameters", ini},
        reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(text(run.out).contains(QStringLiteral("of its own: σ₁ = 70 MPa")), run.out);
    QVERIFY2(text(run.out).contains(QLatin1String("limit loads 4.4 / -1.76 g")), run.out);

    const QString jan = file(QStringLiteral("jan.dat"), {record(10, 100, 1)});
    const QString feb = file(QStringLiteral("feb.dat"), {record(20, 900, 1), record(5, 60, 0)});
    run = cli({"register", "add", "--aircraft", "d-ezma", "--date", "2024-01-31", jan}, reg);
    QCOMPARE(run.exitCode, 0);
    run = cli({"register", "add", "--aircraft", "D-EZMA", "--date", "2024-02-29", feb, jan}, reg);
    QCOMPARE(run.exitCode, 0);
    // Files of one day go in the order given: feb.dat's records are read-outs 2 and 3; jan.dat
    // on another date is the same read-out.
    QVERIFY2(run.out.contains("feb.dat\", taken 2024-02-29: 2 record(s), 2 new, added as "
                              "read-outs 2–3"),
        run.out);
    QVERIFY2(run.out.contains("jan.dat\", taken 2024-02-29: 1 record(s), already in the register"),
        run.out);
    // The second record of feb.dat falls below the first: a reset, said on standard error.
    QVERIFY2(
        run.err.contains("Reset before read-out 3 (\"" + feb.toUtf8() + "\" record 2)"), run.err);
    run = cli({"register", "add", "--aircraft", "D-EZMA", "--date", "2024-02-29", feb}, reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("2 record(s), already in the register"), run.out);
    QVERIFY(cli({"register", "add", "--aircraft", "D-EZMB", "--date", "2024-03-01",
                    file(QStringLiteral("demo.dat"), {DemonstrationRecord})},
                reg)
                .exitCode
        == 0);

    run = cli({"register", "history", "--aircraft", "D-EZMA", "--format", "csv"}, reg);
    QCOMPARE(run.exitCode, 0);
    const QList<QStringList> rows = csvRows(run.out);
    QCOMPARE(rows.size(), 4);
    const qsizetype reset = rows[0].indexOf(QStringLiteral("reset"));
    const qsizetype kind = rows[0].indexOf(QStringLiteral("class"));
    const qsizetype total = rows[0].indexOf(QStringLiteral("total_seconds"));
    QCOMPARE(rows[2][reset], QString());
    QCOMPARE(rows[2][kind], QStringLiteral("running"));
    QCOMPARE(rows[3][reset], QStringLiteral("reset"));
    QCOMPARE(rows[3][kind], QStringLiteral("reset"));
    // 43300 s whole, 800 s more, 60 s whole after the reset.
    QCOMPARE(rows[3][total], QString::number(43300 + 800 + 60));

    run = cli({"fleet"}, reg);
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = text(run.out).split(QLatin1Char('\n'));
    QVERIFY2(lines.value(2).startsWith(QLatin1String("1     D-EZMB")), run.out);
    QVERIFY2(lines.value(3).startsWith(QLatin1String("2     D-EZMA")), run.out);

    QCOMPARE(
        cli({"register", "remove", "--aircraft", "D-EZMA", "--readout", "3"}, reg).exitCode, 2);
    run = cli({"register", "remove", "--aircraft", "D-EZMA", "--readout", "3", "--yes"}, reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Removed read-out 3 of D-EZMA (taken 2024-02-29"), run.out);
    QCOMPARE(readouts(reg, QStringLiteral("D-EZMA")), 2);

    // Moved to the other engine and back, nothing is lost.
    const CliRun list = cli({"register", "list"}, reg);
    const QString exported = m_dir.filePath(QStringLiteral("session.json"));
    QCOMPARE(cli({"export", "-o", exported}, reg).exitCode, 0);
    const QString other = fresh(engine == QLatin1String("sqlite") ? QStringLiteral("postgresql")
                                                                  : QStringLiteral("sqlite"));
    run = cli({"import", exported}, other);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("Imported 1 type(s), 2 aircraft and 3 read-out(s)"), run.out);
    QCOMPARE(cli({"register", "list"}, other).out, list.out);
    QCOMPARE(cli({"export"}, other).out, ReadAll(exported));
}

void TestCliRegister::falls()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    QCOMPARE(
        cli({"register", "aircraft", "--aircraft", "D-EFAL", "--combine", "running"}, reg).exitCode,
        0);
    const auto add = [&](const char *date, const QList<CounterRecord> &records,
                         const QStringList &options = {}) {
        return cli(QStringList {"register", "add", "--aircraft", "D-EFAL", "--date",
                       QString::fromLatin1(date), file(QString::fromLatin1(date) + ".dat", records)}
                + options,
            reg);
    };
    // The 4.0 g counter passes 65535 while the others and the clock rise.
    CounterRecord first = record(10, 1000, 1);
    first[LevelCount - 1] = 65000;
    CounterRecord wrapped = record(20, 2000, 1);
    wrapped[LevelCount - 1] = 100;
    QCOMPARE(add("2024-01-10", {first}).exitCode, 0);
    CliRun run = add("2024-02-10", {wrapped});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("Wrap before read-out 2"), run.err);
    // -2.0 g falls while the others rise and the clock goes back: refused, unless declared.
    CounterRecord fell = record(30, 500, 1);
    fell[0] = 5;
    run = add("2024-03-10", {fell});
    QCOMPARE(run.exitCode, 1);
    for (const char *words : {"counts that fall: -2.0 g from 20 to 5", "register add --reset",
             "Nothing was added to the register."})
        QVERIFY2(run.err.contains(words), run.err);
    run = add("2024-03-10", {fell}, {"--reset"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("Declared reset before read-out 3"), run.err);
    // The session file of a later copy holds the earlier records again.
    run = add("2024-04-10", {first, wrapped, record(40, 600, 2), fell});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(
                 "4 record(s), 1 new, added as read-outs 4–4; 3 already in the register (records "
                 "1–2, 4)"),
        run.out);

    run = cli({"register", "history", "--aircraft", "D-EFAL", "--format", "csv"}, reg);
    QCOMPARE(run.exitCode, 0);
    const QList<QStringList> rows = csvRows(run.out);
    QCOMPARE(rows.size(), 5);
    const qsizetype kind = rows[0].indexOf(QStringLiteral("class"));
    const qsizetype counts = rows[0].indexOf(QStringLiteral("count_4.0"));
    QCOMPARE(rows[2][kind], QStringLiteral("wrap"));
    QCOMPARE(rows[2][counts], QString::number(100 + 65536 - 65000));
    QCOMPARE(rows[3][kind], QStringLiteral("declared reset"));
    QCOMPARE(rows[4][kind], QStringLiteral("running"));
}

void TestCliRegister::formats_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("rows"); // CSV rows without the header, JSON elements
    const QList<std::pair<const char *, QStringList>> commands {{"list", {"register", "list"}},
        {"fleet", {"fleet"}}, {"fleet since", {"fleet", "--since", "2024-02-01"}},
        {"history", {"register", "history", "--aircraft", "D-EFMT"}}};
    for (const char *engine : {"sqlite", "postgresql"}) {
        for (const auto &[name, command] : commands) {
            for (const char *format : {"text", "csv", "json"})
                QTest::addRow("%s: %s %s", engine, name, format)
                    << engine << command << format
                    << (QString::fromLatin1(name) == QLatin1String("history") ? 3 : 2);
        }
    }
}

void TestCliRegister::formats()
{
    QFETCH(QString, engine);
    QFETCH(QStringList, command);
    QFETCH(QString, format);
    QFETCH(int, rows);
    const QString reg = fresh(engine);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EFMT", "--combine", "running",
                     "--sigma1", "50", "--k", "4", "--sd", "90", "--nd", "1e6"},
                 reg)
                 .exitCode,
        0);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-E,\"Q\"", "--combine", "separate"}, reg)
                 .exitCode,
        0);
    const QString a = file(QStringLiteral("fmt-a.dat"), {DemonstrationRecord});
    QCOMPARE(
        cli({"register", "add", "--aircraft", "D-EFMT", "--date", "2024-01-15", a}, reg).exitCode,
        0);
    CounterRecord later = DemonstrationRecord;
    later[0] += 1;
    later[ActivePeriodsWord] += 2;
    // Each read-out once: copies of the demonstration record that differ in the battery clock.
    const auto copy = [](int battery) {
        CounterRecord words = DemonstrationRecord;
        words[BatterySecondsWord] = std::uint16_t(battery);
        return words;
    };
    const QString b = file(QStringLiteral("fmt-b.dat"), {later, copy(1)});
    QCOMPARE(
        cli({"register", "add", "--aircraft", "D-EFMT", "--date", "2024-02-15", b}, reg).exitCode,
        0);
    QCOMPARE(cli({"register", "add", "--aircraft", "D-E,\"Q\"",
                     file(QStringLiteral("fmt-c.dat"), {copy(2)})},
                 reg)
                 .exitCode,
        0);

    const CliRun run = cli(command + QStringList {"--format", format}, reg);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    if (format == QLatin1String("json")) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray array
            = document.isArray() ? document.array() : document[QStringLiteral("periods")].toArray();
        QCOMPARE(array.size(), rows);
        if (command.first() == QLatin1String("fleet")) {
            QCOMPARE(array[0][QStringLiteral("registration")].toString(), QStringLiteral("D-EFMT"));
            QCOMPARE(array[0][QStringLiteral("rank")].toInt(), 1);
            QVERIFY(array[1][QStringLiteral("rank")].isNull());
        }
        if (command.contains(QStringLiteral("history")))
            QCOMPARE(array[2][QStringLiteral("reset")].toBool(), true);
    } else if (format == QLatin1String("csv")) {
        QList<QStringList> lines = csvRows(run.out);
        QCOMPARE(lines.size(), rows + 1);
        // The registration with a comma and quotes is one quoted field.
        for (QStringList &line : lines) {
            QString joined = line.join(QLatin1Char(','));
            if (joined.contains(QLatin1String("\"D-E,\"\"Q\"\"\"")))
                line = joined.replace(QLatin1String("\"D-E,\"\"Q\"\"\""), QStringLiteral("X"))
                           .split(QLatin1Char(','));
            QCOMPARE(line.size(), lines[0].size());
        }
    } else {
        QVERIFY(text(run.out).contains(QLatin1String("D-EFMT")));
        const QStringList lines = text(run.out).trimmed().split(QLatin1Char('\n'));
        QVERIFY2(lines.size() >= rows + 1, run.out);
    }
}

void TestCliRegister::registerFromEnvironment()
{
    QFETCH(QString, engine);
    const QString data = m_dir.filePath(QStringLiteral("home-%1").arg(engine));
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    QStringList unset;
    QString where = data + QStringLiteral("/zemra/register.sqlite");
    if (engine == QLatin1String("postgresql")) {
        where = fresh(engine);
        environment.insert(QStringLiteral("ZEMRA_REGISTER"), where);
    } else {
        unset << QStringLiteral("ZEMRA_REGISTER");
    }
    // Looking at a register that is not there makes none.
    CliRun run = RunCli({"register", "list"}, environment, unset);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!QFile::exists(data + QStringLiteral("/zemra/register.sqlite")));
    run = RunCli({"register", "aircraft", "--aircraft", "D-EENV", "--combine", "running"},
        environment, unset);
    QCOMPARE(run.exitCode, 0);
    run = RunCli({"register", "list"}, environment, unset);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("D-EENV"));
    // Where it is: the default file, or the register the environment names.
    QCOMPARE(QFile::exists(data + QStringLiteral("/zemra/register.sqlite")),
        engine == QLatin1String("sqlite"));
    QCOMPARE(readouts(where, QStringLiteral("D-EENV")), 0);
}

void TestCliRegister::twoAddsAtOnce_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("sameFile");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: two files", engine) << engine << false;
        QTest::addRow("%s: one file twice", engine) << engine << true;
    }
}

void TestCliRegister::twoAddsAtOnce()
{
    QFETCH(QString, engine);
    QFETCH(bool, sameFile);
    constexpr int Records = 40000;
    const QString reg = fresh(engine);
    QCOMPARE(
        cli({"register", "aircraft", "--aircraft", "D-ETWO", "--combine", "running"}, reg).exitCode,
        0);
    const QString first = bigFile(QStringLiteral("twice-a.dat"), Records, 0);
    const QString second
        = sameFile ? first : bigFile(QStringLiteral("twice-b.dat"), Records, Records);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    std::array<QProcess, 2> adds;
    for (size_t i = 0; i < adds.size(); ++i) {
        adds[i].setProcessEnvironment(environment);
        adds[i].start(QStringLiteral(ZEMRA_CLI),
            {"register", "add", "--register", reg, "--aircraft", "D-ETWO", "--date",
                i == 0 ? "2024-05-01" : (sameFile ? "2024-05-01" : "2024-05-02"),
                i == 0 ? first : second});
    }
    QByteArray out;
    for (QProcess &add : adds) {
        QVERIFY(add.waitForFinished(120000));
        out += add.readAllStandardOutput();
        QVERIFY2(add.exitStatus() == QProcess::NormalExit && add.exitCode() == 0,
            add.readAllStandardError());
    }
    QCOMPARE(readouts(reg, QStringLiteral("D-ETWO")), sameFile ? Records : 2 * Records);
    QCOMPARE(out.count("already in the register\n"), sameFile ? 1 : 0);
    QVERIFY2(out.contains(QByteArray::number(Records) + " read-out(s) added"), out);
}

void TestCliRegister::killedAdd()
{
    QFETCH(QString, engine);
    constexpr int Records = 100000;
    const QString big = bigFile(QStringLiteral("kill.dat"), Records, 7);
    const QString small = file(QStringLiteral("kill-before.dat"), {record(1, 0, 0)});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    const auto hours = [this](const QString &reg) {
        return QJsonDocument::fromJson(cli({"register", "list", "--format", "json"}, reg).out)
            .array()[0][QStringLiteral("hours")]
            .toDouble(-1);
    };
    int killed = 0;
    double wholeHours = -1;
    QString reg;
    // The kill lands at a different point of the addition each time.
    for (const int delay : {0, 15, 40, 80, 150, 300, 600, 1000}) {
        reg = fresh(engine);
        QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EKIL", "--combine", "running"}, reg)
                     .exitCode,
            0);
        QCOMPARE(
            cli({"register", "add", "--aircraft", "D-EKIL", "--date", "2024-01-01", small}, reg)
                .exitCode,
            0);
        QProcess add;
        add.setProcessEnvironment(environment);
        add.start(QStringLiteral(ZEMRA_CLI),
            {"register", "add", "--register", reg, "--aircraft", "D-EKIL", "--date", "2024-02-01",
                big});
        QVERIFY(add.waitForStarted());
        QThread::msleep(delay);
        ::kill(add.processId(), SIGKILL);
        QVERIFY(add.waitForFinished(60000));
        killed += add.exitStatus() == QProcess::CrashExit ? 1 : 0;

        // As before, or with the whole file, and the sums kept for the fleet with it.
        const qint64 kept = readouts(reg, QStringLiteral("D-EKIL"));
        QVERIFY2(kept == 1 || kept == 1 + Records, qPrintable(QString::number(kept)));
        const double keptHours = hours(reg);
        if (engine == QLatin1String("sqlite")) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reg);
            db.setDatabaseName(reg);
            QVERIFY(db.open());
            QSqlQuery check(db);
            QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
            QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
            check = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(reg);
        }
        // Nothing is left locked or half-done: the same addition now goes through.
        QCOMPARE(cli({"register", "add", "--aircraft", "D-EKIL", "--date", "2024-02-01", big}, reg)
                     .exitCode,
            0);
        QCOMPARE(readouts(reg, QStringLiteral("D-EKIL")), 1 + Records);
        if (wholeHours < 0)
            wholeHours = hours(reg);
        QCOMPARE(hours(reg), wholeHours);
        QCOMPARE(keptHours, kept == 1 ? 0.0 : wholeHours);
    }
    qInfo("%d of 8 additions were killed before they ended", killed);
    QVERIFY(killed >= 4);
    // The history the read-outs give agrees with the sums. A row for each of 100,000 read-outs
    // takes a while under the sanitizers: this is no speed target, only the wait before a hang.
    const QList<QStringList> history = csvRows(
        cli({"register", "history", "--aircraft", "D-EKIL", "--format", "csv"}, reg, 180).out);
    QCOMPARE(history.size(), 2 + Records);
    QCOMPARE(history.last()[history.first().indexOf(QStringLiteral("total_hours"))].toDouble(),
        wholeHours);
}

void TestCliRegister::refusals_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const auto row = [](const char *engine, const char *fault, int exitCode, const char *said) {
        QTest::addRow("%s: %s", engine, fault) << engine << fault << exitCode << said;
    };
    row("sqlite", "not a database", 1, "is not an SQLite database");
    row("sqlite", "read-only", 1, "is read-only");
    row("sqlite", "another program's database: list", 1, "holds other tables (crew)");
    row("sqlite", "another program's database: add", 1, "holds other tables (crew)");
    row("postgresql", "server down", 1, "cannot be reached: no PostgreSQL server answers");
    row("postgresql", "wrong database", 1, "the server has no such database");
    row("postgresql", "password in the URL", 2, "PGPASSWORD or ~/.pgpass");
    for (const char *engine : {"sqlite", "postgresql"}) {
        row(engine, "no register yet", 1, "no register");
        row(engine, "unknown aircraft", 1, "There is no aircraft \"D-ENONE\"");
        row(engine, "damaged record", 1, "record 2): ");
        row(engine, "remove without --yes", 2, "add --yes to remove it");
        row(engine, "bad date", 2, "--date wants a date YYYY-MM-DD, not \"2024-13-01\"");
        row(engine, "unknown subcommand", 2, "unknown subcommand \"erase\"");
        row(engine, "new aircraft without mode", 1, "say once how its read-outs relate");
    }
}

void TestCliRegister::refusals()
{
    QFETCH(QString, engine);
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QString reg = fresh(engine);
    const QString data = file(QStringLiteral("refused.dat"), {record(1, 1, 1)});
    const auto made = [&] {
        return cli({"register", "aircraft", "--aircraft", "D-EREF", "--combine", "separate"}, reg)
                   .exitCode
            == 0;
    };
    QByteArray before;
    CliRun run;
    if (fault == QLatin1String("not a database")) {
        WriteFile(reg, "a text file\n");
        run = cli({"register", "add", "--aircraft", "D-EREF", data}, reg);
        QCOMPARE(ReadAll(reg), QByteArray("a text file\n"));
    } else if (fault == QLatin1String("read-only")) {
        QVERIFY(made());
        before = ReadAll(reg);
        QVERIFY(QFile::setPermissions(reg, QFile::ReadOwner | QFile::ReadOther));
        run = runAsNobody({"register", "add", "--register", reg, "--aircraft", "D-EREF", data});
        QCOMPARE(ReadAll(reg), before);
        const CliRun list = runAsNobody({"register", "list", "--register", reg});
        QCOMPARE(list.exitCode, 0);
        QVERIFY(list.out.contains("D-EREF"));
    } else if (fault.startsWith(QLatin1String("another program's database"))) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), fault);
            db.setDatabaseName(reg);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE crew (name TEXT)")));
            QVERIFY(query.exec(QStringLiteral("INSERT INTO crew VALUES ('pilot')")));
            db.close();
        }
        QSqlDatabase::removeDatabase(fault);
        before = ReadAll(reg);
        run = fault.endsWith(QLatin1String("list"))
            ? cli({"register", "list"}, reg)
            : cli({"register", "add", "--aircraft", "D-EREF", data}, reg);
        // Not a byte of it changed, and no log left beside it.
        QCOMPARE(ReadAll(reg), before);
        for (const char *suffix : {"-wal", "-shm", "-journal"})
            QVERIFY2(!QFile::exists(reg + QLatin1String(suffix)), suffix);
    } else if (fault == QLatin1String("server down")) {
        QDir().mkpath(m_dir.filePath(QStringLiteral("down")));
        run = cli({"fleet"},
            QStringLiteral("postgresql://postgres@/x?host=")
                + m_dir.filePath(QStringLiteral("down")));
    } else if (fault == QLatin1String("wrong database")) {
        run = cli({"fleet"}, m_server->url(QStringLiteral("no_such_database")));
    } else if (fault == QLatin1String("password in the URL")) {
        run = cli(
            {"fleet"}, reg.replace(QLatin1String("postgres@"), QLatin1String("postgres:pw@")));
    } else if (fault == QLatin1String("no register yet")) {
        run = cli({"register", "history", "--aircraft", "D-EREF"}, reg);
    } else if (fault == QLatin1String("unknown aircraft")) {
        QVERIFY(made());
        run = cli({"register", "add", "--aircraft", "D-ENONE", data}, reg);
    } else if (fault == QLatin1String("damaged record")) {
        QVERIFY(made());
        const QString damaged = m_dir.filePath(QStringLiteral("damaged.dat"));
        WriteFile(damaged, RecordFileBytes(record(1, 1, 1)) + "0001\r\nzz\r\n");
        run = cli({"register", "add", "--aircraft", "D-EREF", data, damaged}, reg);
        QVERIFY2(run.err.contains(damaged.toUtf8()), run.err);
        QCOMPARE(readouts(reg, QStringLiteral("D-EREF")), 0);
    } else if (fault == QLatin1String("remove without --yes")) {
        run = cli({"register", "remove", "--aircraft", "D-EREF", "--readout", "1"}, reg);
    } else if (fault == QLatin1String("bad date")) {
        run = cli({"register", "add", "--aircraft", "D-EREF", "--date", "2024-13-01", data}, reg);
    } else if (fault == QLatin1String("unknown subcommand")) {
        run = cli({"register", "erase"}, QString());
    } else if (fault == QLatin1String("new aircraft without mode")) {
        run = cli({"register", "aircraft", "--aircraft", "D-ENEW", "--type", "Zeta 2"}, reg);
    } else {
        QFAIL("no such fault");
    }
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(text(run.err).contains(said), run.err);
    QVERIFY(run.out.isEmpty());
}

// A login name is whatever the environment says: what it holds must not reach a terminal or a
// spreadsheet as control characters.
void TestCliRegister::adderEscaped()
{
    const QString reg = fresh(QStringLiteral("sqlite"));
    const QString data = file(QStringLiteral("adder.dat"), {record(1, 1, 1)});
    QVERIFY(
        cli({"register", "aircraft", "--aircraft", "D-EADD", "--combine", "running"}, reg).exitCode
        == 0);
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    const QString adder = QStringLiteral("eve\x1b[2J\\\r\nx\ty");
    environment.insert(QStringLiteral("LOGNAME"), adder);
    environment.insert(QStringLiteral("USER"), adder);
    const CliRun added = RunCli({"register", "add", "--aircraft", "D-EADD", "--date", "2024-01-01",
                                    "--register", reg, data},
        environment, {QStringLiteral("ZEMRA_REGISTER")});
    QVERIFY2(added.exitCode == 0, added.err);
    const CliRun csv = cli({"register", "history", "--aircraft", "D-EADD", "--format", "csv"}, reg);
    QCOMPARE(csv.exitCode, 0);
    for (const char control : {'\x1b', '\t'})
        QVERIFY2(!csv.out.contains(control), csv.out);
    const QList<QStringList> rows = csvRows(csv.out);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1][rows[0].indexOf(QStringLiteral("added_by"))],
        QStringLiteral("eve\\x1b[2J\\\\\\x0d\\x0ax\\x09y"));
    // JSON keeps it as it is, escaped by JSON's own rules.
    const CliRun json
        = cli({"register", "history", "--aircraft", "D-EADD", "--format", "json"}, reg);
    QCOMPARE(
        QJsonDocument::fromJson(json.out)[QStringLiteral("periods")][0][QStringLiteral("addedBy")]
            .toString(),
        adder);
}

namespace {
// The damage of both estimates that `damage` gives for one file, from its CSV total rows.
std::pair<double, double> damageOfFile(const QByteArray &csv)
{
    const QList<QStringList> rows = csvRows(csv);
    const qsizetype estimate = rows[0].indexOf(QStringLiteral("estimate"));
    const qsizetype row = rows[0].indexOf(QStringLiteral("row"));
    const qsizetype damage = rows[0].indexOf(QStringLiteral("damage"));
    std::pair<double, double> result {-1, -1};
    for (const QStringList &fields : rows) {
        if (fields.size() < rows[0].size() || fields[row] != QLatin1String("total"))
            continue;
        (fields[estimate] == QLatin1String("counted") ? result.first : result.second)
            = fields[damage].toDouble();
    }
    return result;
}
} // namespace

// History with damage: each period's damage as `damage` gives it for the read-out alone, summed
// read-out by read-out; the limit-load bounds; the forecast from the periods.
void TestCliRegister::lifeOverTime()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    const QString ini = m_dir.filePath(QStringLiteral("life.ini"));
    WriteFile(ini,
        "[damage]\nsigma1=50\nk=5\nsd=60\nnd=2e6\nsu=450\nscatter=8\nmax-load=5.7,-2.28\n"
        "category=normal\n");
    QCOMPARE(cli({"register", "aircraft", "--type", "Life", "--parameters", ini}, reg).exitCode, 0);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-ELIF", "--type", "Life", "--combine",
                     "separate"},
                 reg)
                 .exitCode,
        0);
    CounterRecord light = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        light[level] = std::uint16_t(light[level] / 3);
    const QList<std::pair<QString, CounterRecord>> files
        = {{file(QStringLiteral("life-a.dat"), {DemonstrationRecord}), DemonstrationRecord},
            {file(QStringLiteral("life-b.dat"), {light}), light}};
    const char *dates[] = {"2026-01-01", "2026-03-02"};
    double counted = 0, upper = 0;
    QList<double> sums;
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(
            cli({"register", "add", "--aircraft", "D-ELIF", "--date", dates[i], files[i].first},
                reg)
                .exitCode,
            0);
        const CliRun damage
            = cli({"damage", "--parameters", ini, "--format", "csv", files[i].first}, {});
        QCOMPARE(damage.exitCode, 0);
        const auto [c, u] = damageOfFile(damage.out);
        counted += c;
        upper += u;
        sums << counted << upper;
    }
    const CliRun csv = cli({"register", "history", "--aircraft", "D-ELIF", "--format", "csv"}, reg);
    QCOMPARE(csv.exitCode, 0);
    const QList<QStringList> rows = csvRows(csv.out);
    QCOMPARE(rows.size(), 3);
    const auto at = [&](int row, const char *key) {
        const qsizetype column = rows[0].indexOf(QString::fromLatin1(key));
        return column < 0 ? QString(QStringLiteral("no ") + key) : rows[row][column];
    };
    for (int row = 1; row <= 2; ++row) {
        QCOMPARE(at(row, "total_damage_counted").toDouble(), sums[2 * (row - 1)]);
        QCOMPARE(at(row, "total_damage_upper").toDouble(), sums[2 * (row - 1) + 1]);
        QCOMPARE(at(row, "life_used_counted_percent").toDouble(), 800 * sums[2 * (row - 1)]);
        // The normal category's +3.8 g: 4.0 g bounds it below, 3.4 g above.
        const CounterRecord &words = files[row - 1].second;
        QCOMPARE(at(row, "over_limit_positive_at_least"), QString::number(words[17]));
        QCOMPARE(at(row, "over_limit_positive_at_most"), QString::number(words[16]));
        QCOMPARE(at(row, "over_limit_negative_at_least"), QString::number(words[0]));
        QCOMPARE(at(row, "over_limit_negative_at_most"), QString::number(words[1]));
    }
    QCOMPARE(at(1, "hours_per_30_days"), QString());
    // 60 days between the read-outs.
    const double hours = (light[ActiveSecondsWord] + 43200.0 * light[ActiveSecondsWord + 1]) / 3600;
    QCOMPARE(at(2, "hours_per_30_days").toDouble(), 30 * hours / 60);

    const CliRun shown = cli({"register", "history", "--aircraft", "D-ELIF"}, reg);
    QCOMPARE(shown.exitCode, 0);
    QVERIFY2(shown.out.contains("Forecast from the 1 period(s) from 2026-01-01 to 2026-03-02"),
        shown.out);
    QVERIFY2(shown.out.contains("\n  beyond 3.8 g at least 1 (Nc at 4.0 g)"), shown.out);
    const CliRun json
        = cli({"register", "history", "--aircraft", "D-ELIF", "--format", "json"}, reg);
    const QJsonObject forecast
        = QJsonDocument::fromJson(json.out)[QStringLiteral("forecast")].toObject();
    QCOMPARE(forecast[QStringLiteral("days")].toInt(), 60);
    QCOMPARE(forecast[QStringLiteral("hoursPerDay")].toDouble(), hours / 60);
    const QJsonObject first = forecast[QStringLiteral("estimates")][0].toObject();
    QCOMPARE(first[QStringLiteral("damagePerHour")].toDouble(), (sums[2] - sums[0]) / hours);
    const CliRun badWindow
        = cli({"register", "history", "--aircraft", "D-ELIF", "--rate-window", "0"}, reg);
    QCOMPARE(badWindow.exitCode, 2);
}

namespace {
// The CSV of a period from the register: after the other columns, no file or records, the
// aircraft; the source in the first column as it always was.
void originColumns(const CliRun &run, const QString &registration, const QString &source)
{
    QCOMPARE(run.exitCode, 0);
    const QList<QStringList> rows = csvRows(run.out);
    QVERIFY(rows.size() > 1);
    QCOMPARE(rows.first().mid(rows.first().size() - 4),
        (QStringList {"file", "first_record", "last_record", "aircraft"}));
    QCOMPARE(rows.last().mid(rows.last().size() - 4), (QStringList {"", "", "", registration}));
    QVERIFY2(run.out.contains(("\r\n\"" + source + "\",").toUtf8()), run.out.left(400));
}
} // namespace

// `exceedance` reads an aircraft's read-outs in a window as it reads files: their periods summed,
// the aircraft's own limit loads where none are given.
void TestCliRegister::exceedanceFromTheRegister()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EXRG", "--combine", "separate",
                     "--category", "normal"},
                 reg)
                 .exitCode,
        0);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EXRH", "--combine", "separate"}, reg)
                 .exitCode,
        0);
    CounterRecord light = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        light[level] = std::uint16_t(light[level] / 3);
    const QString a = file(QStringLiteral("xr-a.dat"), {DemonstrationRecord});
    const QString b = file(QStringLiteral("xr-b.dat"), {light});
    QCOMPARE(
        cli({"register", "add", "--aircraft", "D-EXRG", "--date", "2026-01-01", a}, reg).exitCode,
        0);
    QCOMPARE(
        cli({"register", "add", "--aircraft", "D-EXRG", "--date", "2026-03-01", b}, reg).exitCode,
        0);
    const auto table = [&](const QStringList &window) {
        const CliRun run = cli(
            QStringList {"exceedance", "--aircraft", "D-EXRG", "--format", "json"} + window, reg);
        return std::pair {run.exitCode, QJsonDocument::fromJson(run.out)[0].toObject()};
    };
    const auto [whole, all] = table({});
    QCOMPARE(whole, 0);
    const QJsonArray levels = all[QStringLiteral("levels")].toArray();
    QCOMPARE(levels[6][QStringLiteral("nc")].toInt(), DemonstrationRecord[6] + light[6]);
    QCOMPARE(all[QStringLiteral("overLimit")][QStringLiteral("positive")][QStringLiteral("limit")]
                 .toDouble(),
        3.8);
    const auto [since, late] = table({"--since", "2026-02-01"});
    QCOMPARE(since, 0);
    QCOMPARE(late[QStringLiteral("levels")][6][QStringLiteral("nc")].toInt(), light[6]);
    QCOMPARE(late[QStringLiteral("source")].toString(),
        QStringLiteral("D-EXRG, 1 read-out(s) taken 2026-03-01 to 2026-03-01"));
    const auto [until, early] = table({"--until", "2026-02-01"});
    QCOMPARE(until, 0);
    QCOMPARE(
        early[QStringLiteral("levels")][6][QStringLiteral("nc")].toInt(), DemonstrationRecord[6]);

    // CSV: the aircraft in a column of its own, no file or records; the source as it was.
    originColumns(cli({"exceedance", "--aircraft", "D-EXRG", "--format", "csv"}, reg), "D-EXRG",
        "D-EXRG, 2 read-out(s) taken 2026-01-01 to 2026-03-01");

    const CliRun none = cli({"exceedance", "--aircraft", "D-EXRG", "--until", "2025-12-31"}, reg);
    QCOMPARE(none.exitCode, 1);
    QVERIFY2(none.err.contains("D-EXRG has no read-outs taken until 2025-12-31."), none.err);
    // The fleet: a table an aircraft, the one without read-outs passed over and said.
    const CliRun fleet = cli({"exceedance", "--fleet", "--format", "json"}, reg);
    QCOMPARE(fleet.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(fleet.out).array().size(), 1);
    QVERIFY2(fleet.err.contains("D-EXRH has no read-outs. Passed over."), fleet.err);

    const QList<QStringList> mistakes
        = {{"--aircraft", "D-EXRG", a}, {"--fleet", "--all"}, {"--aircraft", "D-EXRG", "--fleet"},
            {"--aircraft", "D-EXRG", "--since", "2026-03-01", "--until", "2026-01-01"},
            {"--aircraft", "D-EXRG", "--since", "2026-02-30"}};
    for (const QStringList &mistake : mistakes) {
        const CliRun run = cli(QStringList {"exceedance"} + mistake, reg);
        QVERIFY2(run.exitCode == 2, qPrintable(mistake.join(' ') + ": " + run.err));
    }
}

// `fleet --check` for a scheduled job: the exit status says whether anything needs attention, a
// line an aircraft says what; the settings come from the type, the aircraft and the parameters.
void TestCliRegister::fleetCheck_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QStringList>("typeSettings");
    QTest::addColumn<QStringList>("aircraftSettings");
    QTest::addColumn<QString>("inspection"); // recorded before the check; empty: none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    for (const char *engine : {"sqlite", "postgresql"}) {
        const auto row = [engine](const char *name) {
            return &(QTest::addRow("%s: %s", engine, name) << QString::fromLatin1(engine));
        };
        // The demonstration record with these S-N data uses 2.18101 % of the life (counted),
        // 4.53798 % (upper bound); its counts at 4.0 g and -2.0 g are 1.
        *row("nothing set") << QStringList() << QStringList() << QString() << 0
                            << "Nothing needs attention on 2026-12-09 (1 aircraft checked).\n";
        *row("the type's last threshold")
            << QStringList {"--thresholds", "1,2"} << QStringList() << QString() << 3
            << "D-ECHK\tover limit: life used 2.18101 % (counted estimate) at or beyond the "
               "threshold 2 %\n";
        *row("the aircraft's thresholds over the type's")
            << QStringList {"--thresholds", "1,2"} << QStringList {"--thresholds", "2,50"}
            << QString() << 3
            << "D-ECHK\tattention: life used 2.18101 % (counted estimate) at or beyond the "
               "threshold 2 %\n";
        *row("the upper bound at the last threshold")
            << QStringList {"--thresholds", "4.5"} << QStringList() << QString() << 3
            << "D-ECHK\tattention: life used 4.53798 % (upper bound) at or beyond the "
               "threshold 4.5 %\n";
        *row("days since the first read-out")
            << QStringList {"--inspection-days", "69"} << QStringList() << QString() << 3
            << "D-ECHK\tdue: inspection due: 69 days since the first read-out (no inspection "
               "recorded), the interval is 69 days\n";
        *row("days since the inspection")
            << QStringList {"--inspection-days", "69"} << QStringList() << "2026-10-02" << 0
            << "Nothing needs attention on 2026-12-09 (1 aircraft checked).\n";
        *row("hours since the first read-out")
            << QStringList() << QStringList {"--inspection-hours", "252"} << QString() << 3
            << "D-ECHK\tdue: inspection due: 252.167 h flown since the first read-out (no "
               "inspection recorded), the interval is 252 h\n";
        *row("the battery") << QStringList {"--battery-days", "276"} << QStringList() << QString()
                            << 3
                            << "D-ECHK\tattention: recorder battery: 275 days left on "
                               "2026-12-09, fewer than 276\n";
        *row("limit loads") << QStringList {"--category", "normal"} << QStringList() << QString()
                            << 3
                            << "D-ECHK\tover limit: beyond 3.8 g at least 1 (Nc at 4.0 g), at "
                               "most 2 (Nc at 3.4 g) since the first read-out (no inspection "
                               "recorded); beyond -1.52 g at least 1 (Nc at -2.0 g), at most 2 (Nc "
                               "at -1.4 g) since the first read-out (no inspection recorded)\n";
        *row("limit loads since the inspection")
            << QStringList {"--category", "normal"} << QStringList() << "2026-10-01" << 0
            << "Nothing needs attention on 2026-12-09 (1 aircraft checked).\n";
    }
}

void TestCliRegister::fleetCheck()
{
    QFETCH(QString, engine);
    QFETCH(QStringList, typeSettings);
    QFETCH(QStringList, aircraftSettings);
    QFETCH(QString, inspection);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const QString reg = fresh(engine);
    const QString ini = m_dir.filePath(QStringLiteral("check.ini"));
    WriteFile(
        ini, "[damage]\nsigma1=50\nk=5\nsd=60\nnd=2e6\nsu=450\nscatter=8\nmax-load=5.7,-2.28\n");
    const CliRun type = cli(
        QStringList {"register", "aircraft", "--type", "Check", "--parameters", ini} + typeSettings,
        reg);
    QVERIFY2(type.exitCode == 0, type.err);
    const CliRun plane = cli(QStringList {"register", "aircraft", "--aircraft", "D-ECHK", "--type",
                                 "Check", "--combine", "separate"}
            + aircraftSettings,
        reg);
    QVERIFY2(plane.exitCode == 0, plane.err);
    QCOMPARE(cli({"register", "add", "--aircraft", "D-ECHK", "--date", "2026-10-01",
                     file(QStringLiteral("check.dat"), {DemonstrationRecord})},
                 reg)
                 .exitCode,
        0);
    if (!inspection.isEmpty())
        QCOMPARE(cli({"register", "inspection", "--aircraft", "d-echk", "--date", inspection}, reg)
                     .exitCode,
            0);
    const CliRun check = cli({"fleet", "--check", "--on", "2026-12-09"}, reg);
    QCOMPARE(text(check.out), output);
    QCOMPARE(check.exitCode, exitCode);
    // The table says the same status.
    const CliRun json = cli({"fleet", "--format", "json", "--on", "2026-12-09"}, reg);
    const QJsonObject row = QJsonDocument::fromJson(json.out).array().first().toObject();
    const QString status = row[QStringLiteral("status")].toString();
    QVERIFY2(exitCode == 0 ? status == QLatin1String("ok") : output.contains(status + ':'),
        qPrintable(status));
}

void TestCliRegister::checkUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const auto row = [](const char *name, QStringList arguments, int exitCode, const char *said) {
        QTest::newRow(name) << arguments << exitCode << QString::fromUtf8(said);
    };
    row("--check with --format", {"fleet", "--check", "--format", "csv"}, 2,
        "--check prints lines of its own");
    row("--check with --since", {"fleet", "--check", "--since", "2026-01-01"}, 2,
        "--check prints lines of its own");
    row("a day that is none", {"fleet", "--check", "--on", "2026-02-30"}, 2, "--on");
    row("falling thresholds", {"register", "aircraft", "--type", "T", "--thresholds", "80,50"}, 2,
        "The thresholds of life used must rise: 50 follows 80.");
    row("a threshold that is no number",
        {"register", "aircraft", "--type", "T", "--thresholds", "50,x"}, 2,
        "--thresholds wants percentages separated by commas");
    row("no hours", {"register", "aircraft", "--type", "T", "--inspection-hours", "0"}, 2,
        "--inspection-hours wants a positive number of flight hours, not \"0\".");
    row("no days", {"register", "aircraft", "--type", "T", "--battery-days", "1.5"}, 2,
        "--battery-days wants a whole number of days from 1");
    row("settings and their removal",
        {"register", "aircraft", "--type", "T", "--battery-days", "5", "--no-checks"}, 2,
        "--no-checks and check settings exclude each other.");
    row("prior hours without their severity",
        {"register", "aircraft", "--aircraft", "D-EUSE", "--prior-hours", "100"}, 2,
        "--prior-severity wants how hard those hours were flown");
    row("prior hours of a type",
        {"register", "aircraft", "--type", "T", "--prior-hours", "100", "--prior-severity", "1"}, 2,
        "--prior-hours and --prior-severity belong to an aircraft");
    row("prior hours below 0",
        {"register", "aircraft", "--aircraft", "D-EUSE", "--prior-hours", "-5", "--prior-severity",
            "1"},
        2, "--prior-hours wants the flight hours before the recorder");
    row("an inspection without a day", {"register", "inspection", "--aircraft", "D-EUSE"}, 2,
        "give --aircraft REG and --date YYYY-MM-DD.");
    row("an inspection of no aircraft",
        {"register", "inspection", "--aircraft", "D-ENONE", "--date", "2026-01-01"}, 1,
        "There is no aircraft \"D-ENONE\"");
}

void TestCliRegister::checkUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const QString reg = fresh(QStringLiteral("sqlite"));
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EUSE", "--combine", "separate"}, reg)
                 .exitCode,
        0);
    const CliRun run = cli(arguments, reg);
    QVERIFY2(text(run.err).contains(said), run.err);
    QCOMPARE(run.exitCode, exitCode);
}

namespace {
// The counted estimate's damage of each table of `damage --format json`.
QList<double> countedDamages(const QByteArray &json)
{
    QList<double> damages;
    for (const QJsonValue &table : QJsonDocument::fromJson(json).array())
        damages << table[QStringLiteral("counted")][QStringLiteral("damage")].toDouble();
    return damages;
}
} // namespace

// `damage` and `chart --kind exceedance` read the register as `exceedance` does: the window's
// read-outs summed as --combine sums files, the aircraft's own S-N data and limit loads where none
// are given; the chart never written over the register.
void TestCliRegister::damageAndChartFromTheRegister()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    const QString ini = m_dir.filePath(QStringLiteral("dmg.ini"));
    WriteFile(ini, "[sn]\nsigma1=50\nk=5\nsd=60\nnd=2e6\ncategory=normal\n");
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EDMG", "--combine", "separate",
                     "--parameters", ini},
                 reg)
                 .exitCode,
        0);
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-EDMH", "--combine", "separate"}, reg)
                 .exitCode,
        0);
    CounterRecord light = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        light[level] = std::uint16_t(light[level] / 3);
    const QString a = file(QStringLiteral("dm-a.dat"), {DemonstrationRecord});
    const QString b = file(QStringLiteral("dm-b.dat"), {light});
    // A read-out is one aircraft's: the other's copy differs in its battery clock alone.
    CounterRecord copy = DemonstrationRecord;
    copy[BatterySecondsWord] = 3;
    const QString c = file(QStringLiteral("dm-c.dat"), {copy});
    for (const auto &[aircraft, date, data] : {std::tuple {"D-EDMG", "2026-01-01", a},
             std::tuple {"D-EDMG", "2026-03-01", b}, std::tuple {"D-EDMH", "2026-02-01", c}})
        QCOMPARE(
            cli({"register", "add", "--aircraft", aircraft, "--date", date, data}, reg).exitCode,
            0);
    const auto ofFiles = [&](const QStringList &files) {
        return countedDamages(cli(QStringList {"damage", "--parameters", ini, "--format", "json",
                                      "--combine", "separate", "--all"}
                + files,
            {})
                                  .out);
    };
    const auto ofRegister = [&](const QStringList &options) {
        const CliRun run = cli(QStringList {"damage", "--format", "json"} + options, reg);
        return std::tuple {run.exitCode, countedDamages(run.out), QString::fromUtf8(run.err)};
    };
    const auto [whole, both, wholeErr] = ofRegister({"--aircraft", "D-EDMG"});
    QCOMPARE(whole, 0);
    QCOMPARE(both, ofFiles({a, b}));
    originColumns(cli({"damage", "--aircraft", "D-EDMG", "--format", "csv"}, reg), "D-EDMG",
        "D-EDMG, 2 read-out(s) taken 2026-01-01 to 2026-03-01");
    const auto [since, late, sinceErr]
        = ofRegister({"--aircraft", "D-EDMG", "--since", "2026-02-01"});
    QCOMPARE(since, 0);
    QCOMPARE(late, ofFiles({b}));
    QVERIFY(late.first() < both.first());
    // Without S-N data of its own the aircraft is refused alone, passed over in the fleet, and
    // taken with S-N data given.
    const auto [none, noneTables, noneErr] = ofRegister({"--aircraft", "D-EDMH"});
    QCOMPARE(none, 1);
    QVERIFY2(noneErr.contains("D-EDMH has no S-N data in the register"), qPrintable(noneErr));
    const auto [given, givenTables, givenErr]
        = ofRegister({"--aircraft", "D-EDMH", "--parameters", ini});
    QCOMPARE(given, 0);
    QCOMPARE(givenTables, ofFiles({c}));
    const auto [fleet, fleetTables, fleetErr] = ofRegister({"--fleet"});
    QCOMPARE(fleet, 0);
    QCOMPARE(fleetTables, both);
    QVERIFY2(fleetErr.contains("D-EDMH has no S-N data in the register: give --sigma1"),
        qPrintable(fleetErr));
    QVERIFY2(fleetErr.contains("Passed over."), qPrintable(fleetErr));
    for (const QStringList &mistake : QList<QStringList> {{"--aircraft", "D-EDMG", a},
             {"--fleet", "--combine", "separate"}, {"--aircraft", "D-EDMG", "--sigma1", "50"},
             {"--aircraft", "D-EDMG", "--until", "2026-01-01", "--since", "2026-02-01"}}) {
        const CliRun run = cli(QStringList {"damage"} + mistake, reg);
        QVERIFY2(run.exitCode == 2, qPrintable(mistake.join(' ') + ": " + run.err));
    }

    // The chart: one aircraft with its own limit loads, or the fleet a series an aircraft, the
    // limit lines left out as the two aircraft do not share them.
    const auto chart = [&](const QStringList &options, const QString &name) {
        const QString out = m_dir.filePath(name);
        const CliRun run
            = cli(QStringList {"chart", "--kind", "exceedance", "-o", out} + options, reg);
        return std::pair {run, QFile::exists(out) ? ReadAll(out) : QByteArray()};
    };
    const auto [alone, aloneSvg] = chart({"--aircraft", "D-EDMG"}, engine + "-alone.svg");
    QCOMPARE(alone.exitCode, 0);
    QVERIFY(aloneSvg.contains("D-EDMG, 2 read-out(s) taken 2026-01-01 to 2026-03-01"));
    QVERIFY(aloneSvg.contains("n_LL+ 3.8 g"));
    const auto [all, fleetSvg] = chart({"--fleet"}, engine + "-fleet.svg");
    QCOMPARE(all.exitCode, 0);
    QVERIFY(fleetSvg.contains(">D-EDMG<") && fleetSvg.contains(">D-EDMH<"));
    QVERIFY(fleetSvg.contains("2 aircraft") && !fleetSvg.contains("n_LL+"));
    const auto [empty, emptySvg] = chart({"--fleet", "--until", "2025-01-01"}, engine + "-e.svg");
    QCOMPARE(empty.exitCode, 1);
    QVERIFY(emptySvg.isEmpty());
    QCOMPARE(chart({"--aircraft", "D-EDMG", "--all"}, engine + "-u.svg").first.exitCode, 2);
    if (engine == QLatin1String("sqlite")) {
        const QByteArray before = ReadAll(reg);
        const CliRun over = cli(
            {"chart", "--kind", "exceedance", "--aircraft", "D-EDMG", "--format", "png", "-o", reg},
            reg);
        QCOMPARE(over.exitCode, 1);
        QCOMPARE(ReadAll(reg), before);
    }
}

namespace {
// The summary's line of life used.
QString lifeUsedLine(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1String("Life used ("));
    return at < 0 ? QString() : text.mid(at).section(QLatin1Char('\n'), 0, 0);
}
} // namespace

// The yearly report of an aircraft shows the read-outs of the window, its summary the life used
// to date; one report an aircraft into a folder, an aircraft that fails said without stopping the
// others, registrations that would meet in one file name told apart.
void TestCliRegister::reportsOfAWindow()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    const QString ini = m_dir.filePath(QStringLiteral("yearly.ini"));
    WriteFile(ini, "[sn]\nsigma1=50\nk=5\nsd=60\nnd=2e6\ncategory=normal\n");
    const QString a = file(QStringLiteral("yr-a.dat"), {DemonstrationRecord});
    CounterRecord light = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        light[level] = std::uint16_t(light[level] / 3);
    light[ActiveSecondsWord] = 1800;
    light[ActiveSecondsWord + 1] = 0;
    const QString b = file(QStringLiteral("yr-b.dat"), {light});
    CounterRecord copy = DemonstrationRecord;
    copy[BatterySecondsWord] = 7;
    const QString c = file(QStringLiteral("yr-c.dat"), {copy});
    CounterRecord other = light;
    other[BatterySecondsWord] = 9;
    const QString d = file(QStringLiteral("yr-d.dat"), {other});
    copy[BatterySecondsWord] = 11;
    const QString e = file(QStringLiteral("yr-e.dat"), {copy});
    for (const char *aircraft : {"D-ERPA", "D/ERPB", "D_ERPB", "D-ERPC"})
        QCOMPARE(cli({"register", "aircraft", "--aircraft", aircraft, "--combine", "separate",
                         "--parameters", ini},
                     reg)
                     .exitCode,
            0);
    for (const auto &[aircraft, date, data] : {std::tuple {"D-ERPA", "2025-06-01", a},
             std::tuple {"D-ERPA", "2026-03-01", b}, std::tuple {"D/ERPB", "2026-04-01", c},
             std::tuple {"D_ERPB", "2026-05-01", d}, std::tuple {"D-ERPC", "2025-05-01", e}})
        QCOMPARE(
            cli({"register", "add", "--aircraft", aircraft, "--date", date, data}, reg).exitCode,
            0);

    const QString whole = m_dir.filePath(engine + QStringLiteral("-whole.pdf"));
    const QString year = m_dir.filePath(engine + QStringLiteral("-2026.pdf"));
    QCOMPARE(cli({"report", "--aircraft", "D-ERPA", "-o", whole}, reg).exitCode, 0);
    const CliRun yearly = cli({"report", "--aircraft", "D-ERPA", "--since", "2026-01-01", "--until",
                                  "2026-12-31", "-o", year},
        reg);
    QCOMPARE(yearly.exitCode, 0);
    const QString text = PdfText(year);
    QVERIFY2(
        text.contains("read-outs 1 (separate) from 2026-03-01 to 2026-03-01"), qPrintable(text));
    QVERIFY2(text.contains("Active work time T = 0.5 h"), qPrintable(text));
    QVERIFY2(text.contains("Life used to date, of all 2 read-out(s); the history, chart and"),
        qPrintable(text));
    QVERIFY2(text.contains("Exceedances per 1000 h, read-outs taken from 2026-01-01 to 2026-12-31"),
        qPrintable(text));
    // The life used to date, the same as without a window; the history of the window alone.
    QVERIFY(!lifeUsedLine(text).isEmpty());
    QCOMPARE(lifeUsedLine(text), lifeUsedLine(PdfText(whole)));
    const QString history = text.mid(text.indexOf(QLatin1String("History")));
    QVERIFY2(history.contains("yr-b.dat") && !history.contains("yr-a.dat"), qPrintable(history));
    QCOMPARE(
        cli({"report", "--aircraft", "D-ERPA", "--since", "2027-01-01", "-o", year}, reg).exitCode,
        1);

    // Each aircraft: D-ERPA's file taken by a folder, so its report fails alone.
    const QString folder = m_dir.filePath(engine + QStringLiteral("-each"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/D-ERPA.pdf")));
    const CliRun each
        = cli({"report", "--each-aircraft", "--since", "2026-01-01", "-o", folder}, reg);
    QCOMPARE(each.exitCode, 1);
    QVERIFY2(each.err.contains("1/4 D-ERPA") && each.err.contains("4/4 "), each.err);
    QVERIFY2(
        each.err.contains("D-ERPC has no read-outs taken since 2026-01-01: no report."), each.err);
    QVERIFY2(each.err.contains("1 of 4 report(s) not written: D-ERPA."), each.err);
    QStringList written = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    QCOMPARE(written, (QStringList {"D_ERPB-2.pdf", "D_ERPB.pdf"}));
    QStringList named;
    for (const QString &name : written)
        named << PdfText(QDir(folder).filePath(name)).section(QLatin1Char('\n'), 0, 0).trimmed();
    named.sort();
    QCOMPARE(named, (QStringList {"ZEMRA usage report: D/ERPB", "ZEMRA usage report: D_ERPB"}));

    for (const QStringList &mistake : QList<QStringList> {{"--each-aircraft"},
             {"--each-aircraft", "-o", "-"}, {"--fleet", "--until", "2026-01-01", "-o", year},
             {"--aircraft", "D-ERPA", "--since", "2026-02-01", "--until", "2026-01-01", "-o", year},
             {"--each-aircraft", "--aircraft", "D-ERPA", "-o", folder}}) {
        const CliRun run = cli(QStringList {"report"} + mistake, reg);
        QVERIFY2(run.exitCode == 2, qPrintable(mistake.join(' ') + ": " + run.err));
    }
    QCOMPARE(cli({"report", "--each-aircraft", "-o", whole}, reg).exitCode, 1);
}

namespace {
// Running totals of a made-up aircraft: `hours` flown in all, the counts growing with them, none
// at the outermost levels (so that the upper bound has no peak beyond them) unless `outermost`.
CounterRecord runningTotals(int hours, bool outermost)
{
    CounterRecord words = DemonstrationRecord;
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(DemonstrationRecord[level] * hours / 100);
    if (!outermost) {
        words[0] = 0;
        words[LevelCount - 1] = 0;
    }
    words[ActiveSecondsWord] = std::uint16_t(hours * 3600 % 43200);
    words[ActivePeriodsWord] = std::uint16_t(hours * 3600 / 43200);
    return words;
}
} // namespace

// `chart --kind trend`: an aircraft's life used over its history with the thresholds and the
// forecast, as PNG, PDF and SVG; what it cannot draw said in the picture and on standard error;
// aircraft it cannot draw refused; the register never written over.
void TestCliRegister::trendChart()
{
    QFETCH(QString, engine);
    const QString reg = fresh(engine);
    const QString ini = m_dir.filePath(QStringLiteral("trend.ini"));
    WriteFile(ini, "[sn]\nsigma1=50\nk=5\nsd=60\nnd=2e6\ncategory=normal\n");
    for (const char *aircraft : {"D-ETRA", "D-ETRB", "D-ETRC"})
        QCOMPARE(cli({"register", "aircraft", "--aircraft", aircraft, "--combine", "running",
                         "--parameters", ini},
                     reg)
                     .exitCode,
            0);
    QCOMPARE(
        cli({"register", "aircraft", "--aircraft", "D-ETRN", "--combine", "running"}, reg).exitCode,
        0);
    QCOMPARE(cli({"register", "add", "--aircraft", "D-ETRN", "--date", "2026-01-01",
                     file(QStringLiteral("tr-n.dat"), {runningTotals(50, false)})},
                 reg)
                 .exitCode,
        0);
    // D-ETRA: three read-outs with an upper bound; D-ETRB: two without one; D-ETRC: one.
    const QList<std::tuple<const char *, const char *, int, bool>> readouts {
        {"D-ETRA", "2026-01-01", 40, false}, {"D-ETRA", "2026-03-01", 100, false},
        {"D-ETRA", "2026-05-01", 150, false}, {"D-ETRB", "2026-01-01", 120, true},
        {"D-ETRB", "2026-03-01", 200, true}, {"D-ETRC", "2026-01-01", 40, false}};
    int n = 0;
    for (const auto &[aircraft, date, hours, outermost] : readouts) {
        // Each aircraft's read-outs its own: the battery clock tells them apart.
        CounterRecord words = runningTotals(hours, outermost);
        words[BatterySecondsWord] = std::uint16_t(++n);
        const QString data = file(QStringLiteral("tr-%1.dat").arg(n), {words});
        QCOMPARE(
            cli({"register", "add", "--aircraft", aircraft, "--date", date, data}, reg).exitCode,
            0);
    }
    const auto chart = [&](const QStringList &options, const QString &name) {
        const QString out = m_dir.filePath(engine + name);
        QFile::remove(out);
        const CliRun run = cli(QStringList {"chart", "--kind", "trend", "-o", out} + options, reg);
        return std::pair {run, QFile::exists(out) ? ReadAll(out) : QByteArray()};
    };
    const auto [png, pngBytes] = chart({"--aircraft", "D-ETRA"}, "-a.png");
    QCOMPARE(png.exitCode, 0);
    QCOMPARE(QImage::fromData(pngBytes).size(), QSize(800, 800));
    const auto [pdf, pdfBytes] = chart({"--aircraft", "D-ETRA", "--size", "600x700"}, "-a.pdf");
    QCOMPARE(pdf.exitCode, 0);
    QVERIFY(pdfBytes.startsWith("%PDF"));
    const auto [svg, svgBytes] = chart({"--aircraft", "D-ETRA"}, "-a.svg");
    QCOMPARE(svg.exitCode, 0);
    QCOMPARE(svg.err, QByteArray());
    for (const char *label :
        {"D-ETRA, life used of 3 read-out(s) taken 2026-01-01 to 2026-05-01, SF 8", ">50 %<",
            ">80 %<", ">100 %<", ">Flight hours [h]<", ">Date of read-out<", ">counted<",
            ">upper bound<", ">forecast<", ">threshold<",
            "the damage rate of the 120 days to 2026-05-01"})
        QVERIFY2(svgBytes.contains(label), label);
    // The rates of the last period alone: the window said, as `register history` takes it.
    const auto [window, windowSvg]
        = chart({"--aircraft", "D-ETRA", "--rate-window", "61"}, "-w.svg");
    QCOMPARE(window.exitCode, 0);
    const CliRun history = cli(
        {"register", "history", "--aircraft", "D-ETRA", "--rate-window", "61", "--format", "json"},
        reg);
    const int days
        = QJsonDocument::fromJson(history.out)[QStringLiteral("forecast")][QStringLiteral("days")]
              .toInt();
    QCOMPARE(days, 61);
    QVERIFY2(windowSvg.contains(
                 QStringLiteral("the damage rate of the %1 days to 2026-05-01").arg(days).toUtf8()),
        windowSvg.left(4000));

    // No upper bound, no forecast: said in the picture and on standard error.
    const auto [noUpper, noUpperSvg] = chart({"--aircraft", "D-ETRB"}, "-b.svg");
    QCOMPARE(noUpper.exitCode, 0);
    QVERIFY2(noUpper.err.contains("No upper bound: D_upper is not available"), noUpper.err);
    QVERIFY(noUpperSvg.contains("No upper bound: D_upper is not available"));
    QVERIFY(!noUpperSvg.contains(">upper bound<"));
    const auto [one, oneSvg] = chart({"--aircraft", "D-ETRC"}, "-c.svg");
    QCOMPARE(one.exitCode, 0);
    const QString reason = QStringLiteral("No forecast from fewer than two read-outs.");
    QVERIFY2(one.err.contains(reason.toUtf8()), one.err);
    QVERIFY2(oneSvg.contains(reason.toUtf8()), oneSvg.left(4000));
    QVERIFY(!oneSvg.contains(">forecast<"));

    // Aircraft it cannot draw: the register's word, no file.
    const QList<std::pair<QString, QString>> refused {
        {QStringLiteral("D-EXXX"),
            QStringLiteral("There is no aircraft \"D-EXXX\" in the register")},
        {QStringLiteral("D-ETRN"), QStringLiteral("D-ETRN has no S-N data in the register")},
    };
    for (const auto &[aircraft, why] : refused) {
        const auto [run, bytes] = chart({"--aircraft", aircraft}, "-r.svg");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(why.toUtf8()), run.err);
        QVERIFY(bytes.isEmpty());
    }
    QCOMPARE(cli({"register", "aircraft", "--aircraft", "D-ETRE", "--combine", "running",
                     "--parameters", ini},
                 reg)
                 .exitCode,
        0);
    const auto [empty, emptySvg] = chart({"--aircraft", "D-ETRE"}, "-e.svg");
    QCOMPARE(empty.exitCode, 1);
    QVERIFY2(empty.err.contains("D-ETRE has no read-outs"), empty.err);
    QVERIFY(emptySvg.isEmpty());

    for (const QStringList &mistake : QList<QStringList> {{"--aircraft", "D-ETRA", ini},
             {"--fleet"}, {}, {"--aircraft", "D-ETRA", "--rate-window", "0"},
             {"--aircraft", "D-ETRA", "--since", "2026-01-01"},
             {"--aircraft", "D-ETRA", "--parameters", ini}}) {
        const auto [run, bytes] = chart(mistake, "-u.svg");
        QVERIFY2(run.exitCode == 2, qPrintable(mistake.join(' ') + ": " + run.err));
        QVERIFY(bytes.isEmpty());
    }
    const CliRun exceedanceWindow = cli({"chart", "--kind", "exceedance", "--aircraft", "D-ETRA",
                                            "--rate-window", "30", "-o", m_dir.filePath("x.svg")},
        reg);
    QCOMPARE(exceedanceWindow.exitCode, 2);
    if (engine == QLatin1String("sqlite")) {
        const QByteArray before = ReadAll(reg);
        const CliRun over = cli(
            {"chart", "--kind", "trend", "--aircraft", "D-ETRA", "--format", "png", "-o", reg},
            reg);
        QCOMPARE(over.exitCode, 1);
        QCOMPARE(ReadAll(reg), before);
    }
}

QTEST_GUILESS_MAIN(TestCliRegister)

#include "tst_cli_register.moc"
