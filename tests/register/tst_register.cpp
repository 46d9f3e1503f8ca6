#include "PostgresServer.h"
#include "Register.h"
#include "RegisterRows.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <csignal>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

// The register's library against both engines: every case runs once on an SQLite file in a
// temporary folder and once on a database of a PostgreSQL server the test starts itself.
namespace {
// The schema version this program makes, as the database keeps it.
constexpr int RegisterSchemaVersionForTests = 5;

// A record whose 18 counters are base, base + 1, ... base + 17, with the active clock at
// `seconds` s and `periods` 12-hour periods.
CounterRecord record(int base, int seconds, int periods)
{
    CounterRecord words {};
    for (int level = 0; level < LevelCount; ++level)
        words[level] = std::uint16_t(base + level);
    words[ActiveSecondsWord] = std::uint16_t(seconds);
    words[ActivePeriodsWord] = std::uint16_t(periods);
    words[BatterySecondsWord] = 789;
    words[BatteryPeriodsWord] = 41;
    return words;
}

// The record with its 4.0 g counter set apart, to wrap it.
CounterRecord withLast(CounterRecord words, int last)
{
    words[LevelCount - 1] = std::uint16_t(last);
    return words;
}

QDate day(const char *text)
{
    return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
}

struct ExpectedPeriod
{
    qint64 seconds;
    qint64 first; // count at -2.0 g
    qint64 last; // count at 4.0 g
    bool reset;
};
struct Dated
{
    const char *date;
    QList<CounterRecord> records;
};
using Script = QList<Dated>;

DamageParameters sn(double stressPerG = 60)
{
    DamageParameters p;
    p.stressPerG = stressPerG, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
    return p;
}

// Every field of structural data, each number to the last bit.
QString fields(const StructuralData &data)
{
    const auto number = [](const std::optional<double> &value) {
        return value ? QString::number(*value, 'g', 17) : QStringLiteral("-");
    };
    QStringList parts;
    if (const std::optional<DamageParameters> &p = data.damage)
        parts << number(p->stressPerG) << number(p->slope) << number(p->enduranceStress)
              << number(p->enduranceCycles) << BelowEnduranceName(p->belowEndurance)
              << number(p->ultimateStrength) << number(p->scatterFactor) << number(p->designLife)
              << number(p->maxLoadPositive) << number(p->maxLoadNegative);
    if (data.limits)
        parts << number(data.limits->positive) << number(data.limits->negative);
    return parts.join(QLatin1Char(' '));
}

// The database under a register, for what only the test does to it.
class RawConnection
{
public:
    explicit RawConnection(const RegisterLocation &location)
        : m_name(QStringLiteral("raw-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            location.engine == RegisterLocation::Engine::SQLite ? QStringLiteral("QSQLITE")
                                                                : QStringLiteral("QPSQL"),
            m_name);
        db.setDatabaseName(location.engine == RegisterLocation::Engine::SQLite ? location.path
                                                                               : location.database);
        db.setHostName(location.host);
        db.setUserName(location.user);
        m_open = db.open();
    }
    ~RawConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!m_open || !query.exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return false;
        }
        return true;
    }
    QVariant value(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return m_open && query.exec(sql) && query.next() ? query.value(0) : QVariant();
    }

private:
    static inline int s_count = 0;
    QString m_name;
    bool m_open = false;
};

// A document handed over a little at a time, as a slow disk or a pipe would.
class Trickle : public QBuffer
{
public:
    explicit Trickle(const QByteArray &bytes)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        return QBuffer::readData(data, std::min<qint64>(maxSize, 700));
    }
};

// An export of one aircraft with one read-out whose id, file and adder are as given (JSON).
QByteArray oneReadout(const QByteArray &id, const QByteArray &file, const QByteArray &by)
{
    QByteArray words;
    for (int i = 0; i < RecordWords; ++i)
        words += (i ? "," : "") + QByteArray::number(i + 1);
    return "{\"format\":\"zemra-register\",\"version\":1,\"types\":[],\"aircraft\":[{"
           "\"registration\":\"D-EIMP\",\"type\":null,\"combine\":\"running\","
           "\"created\":\"2024-01-01T00:00:00Z\",\"changed\":\"2024-01-01T00:00:00Z\","
           "\"structure\":null,\"readouts\":[{\"id\":"
        + id + ",\"taken\":\"2024-01-02\",\"words\":[" + words + "],\"file\":" + file
        + ",\"record\":1,\"added\":\"2024-01-02T00:00:00Z\",\"addedBy\":" + by + "}]}]}";
}
} // namespace

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(QList<ExpectedPeriod>)

class TestRegister : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void locations_data();
    void locations();
    void addIsIdempotent_data() { engines(); }
    void addIsIdempotent();
    void otherAircraftRefused_data() { engines(); }
    void otherAircraftRefused();
    void inconsistentFall_data();
    void inconsistentFall();
    void addIsAllOrNothing_data();
    void addIsAllOrNothing();
    void periods_data();
    void periods();
    void ranking_data() { engines(); }
    void ranking();
    void upgradeFromVersion1_data() { engines(); }
    void upgradeFromVersion1();
    void newerSchemaRefused_data() { engines(); }
    void newerSchemaRefused();
    void roundTripAcrossEngines_data();
    void roundTripAcrossEngines();
    void namesAsGiven_data();
    void namesAsGiven();
    void refusals_data();
    void refusals();
    void keptDataThatOverflowsReadsAsNoDamage_data() { engines(); }
    void keptDataThatOverflowsReadsAsNoDamage();
    void foreignDatabaseUnchanged_data();
    void foreignDatabaseUnchanged();
    void logLeftByWriter();
    void importRefusals_data();
    void importRefusals();
    void killedImport_data() { engines(); }
    void killedImport();
    void importWritesAsItReads_data() { engines(); }
    void importWritesAsItReads();
    void confusableNames_data();
    void confusableNames();
    void modificationDateOutOfRange();
    void fleetSinceOutOfRange();
    void structureColumns_data();
    void structureColumns();

private:
    void engines();
    RegisterLocation fresh(const QString &engine);
    std::unique_ptr<Register> open(const RegisterLocation &location,
        Register::Access access = Register::Access::Write, int waitMilliseconds = 10000);
    QString file(const QString &name, const QList<CounterRecord> &records);
    QByteArray exported(Register &reg);

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_registers = 0;
};

void TestRegister::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Readable by "nobody", for the read-only case.
    QVERIFY(QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::ExeOther));
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
    // A user who may read a register but not change it.
    QVERIFY2(
        m_server->runSql(QStringLiteral("postgres"), QStringLiteral("CREATE ROLE reader LOGIN")),
        qPrintable(m_server->reason()));
}

// Qt's warnings (a statement not freed, a connection still in use) are faults too.
void TestRegister::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TestRegister::engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

RegisterLocation TestRegister::fresh(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return ParseRegisterLocation(
            m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_registers)))
            .location;
    const QString database
        = m_server->createDatabase(QString::fromLatin1(QTest::currentTestFunction()));
    if (database.isEmpty())
        qWarning("%s", qPrintable(m_server->reason()));
    return ParseRegisterLocation(m_server->url(database)).location;
}

std::unique_ptr<Register> TestRegister::open(
    const RegisterLocation &location, Register::Access access, int waitMilliseconds)
{
    RegisterOptions options;
    options.waitMilliseconds = waitMilliseconds;
    options.user = QStringLiteral("tester");
    OpenedRegister opened = Register::open(location, access, options);
    if (!opened.ok())
        qWarning("%s", qPrintable(opened.message()));
    return std::move(opened.reg);
}

QString TestRegister::file(const QString &name, const QList<CounterRecord> &records)
{
    const QString path = m_dir.filePath(name);
    WriteRecordsFile(path, records);
    return path;
}

QByteArray TestRegister::exported(Register &reg)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const Result written = reg.exportJson(buffer);
    if (!written.ok())
        qWarning("%s", qPrintable(written.message()));
    return buffer.data();
}

void TestRegister::locations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // engine|path or host|port|user|database, or !reason
    QTest::newRow("file") << "/x/reg.sqlite"
                          << "sqlite|/x/reg.sqlite";
    QTest::newRow("host and port") << "postgresql://eng@db.example:5433/fleet"
                                   << "pg|db.example|5433|eng|fleet";
    QTest::newRow("socket folder") << "postgresql://eng@/fleet?host=/run/pg"
                                   << "pg|/run/pg|-1|eng|fleet";
    QTest::newRow("encoded socket") << "postgres://eng@%2Frun%2Fpg/fleet"
                                    << "pg|/run/pg|-1|eng|fleet";
    QTest::newRow("ipv6") << "postgresql://[::1]:6000/fleet"
                          << "pg|::1|6000||fleet";
    QTest::newRow("password") << "postgresql://eng:secret@db/fleet"
                              << "!PGPASSWORD";
    QTest::newRow("password key") << "postgresql://eng@db/fleet?password=x"
                                  << "!PGPASSWORD";
    QTest::newRow("no database") << "postgresql://eng@db"
                                 << "!names no database";
    QTest::newRow("bad port") << "postgresql://db:99999/fleet"
                              << "!not a number from 1 to 65535";
    QTest::newRow("unknown key") << "postgresql://db/fleet?options=-c"
                                 << "!\"options\"";
}

void TestRegister::locations()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const LocationResult parsed = ParseRegisterLocation(text);
    if (expected.startsWith(QLatin1Char('!'))) {
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.message().contains(expected.mid(1)), qPrintable(parsed.message()));
        return;
    }
    QVERIFY2(parsed.ok(), qPrintable(parsed.message()));
    const RegisterLocation &l = parsed.location;
    const QString actual = l.engine == RegisterLocation::Engine::SQLite
        ? QStringLiteral("sqlite|%1").arg(l.path)
        : QStringLiteral("pg|%1|%2|%3|%4").arg(l.host).arg(l.port).arg(l.user, l.database);
    QCOMPARE(actual, expected);
}

void TestRegister::addIsIdempotent()
{
    QFETCH(QString, engine);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    QVERIFY(reg->setAircraft({QStringLiteral("D-EIDM"), {}, CombineMode::Running, {}}).ok());
    // The second record is there twice in the file: it is one read-out.
    const QString path = file(QStringLiteral("idempotent.dat"),
        {record(1, 10, 1), record(2, 20, 1), record(2, 20, 1), record(3, 30, 1)});
    // The session file a later copy makes holds the earlier records too.
    const QString session = file(QStringLiteral("session.dat"),
        {record(1, 10, 1), record(2, 20, 1), record(3, 30, 1), record(4, 40, 1), record(2, 20, 1)});
    struct Step
    {
        QString path;
        QDate date;
        qint64 added;
        qint64 already;
        qint64 total;
        std::vector<std::pair<qint64, qint64>> records; // those already there
    };
    // A record is its words: neither another date nor another file makes it new.
    for (const Step &step : {Step {path, day("2024-03-01"), 3, 1, 3, {{3, 3}}},
             Step {path, day("2024-03-01"), 0, 4, 3, {{1, 4}}},
             Step {path, day("2024-04-01"), 0, 4, 3, {{1, 4}}},
             Step {session, day("2024-05-01"), 1, 4, 4, {{1, 3}, {5, 5}}}}) {
        const AddResult added = reg->add(QStringLiteral("d-eidm"), {{step.path, step.date}});
        QVERIFY2(added.ok(), qPrintable(added.message()));
        QCOMPARE(added.added, step.added);
        QCOMPARE(added.already, step.already);
        QCOMPARE(added.files.front().alreadyRecords, step.records);
        const HistoryResult history = reg->history(QStringLiteral("D-EIDM"));
        QCOMPARE(qint64(history.periods.size()), step.total);
        QCOMPARE(reg->list().aircraft.front().usage.readouts, step.total);
    }
}

void TestRegister::otherAircraftRefused()
{
    QFETCH(QString, engine);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    for (const char *plane : {"D-EONE", "D-ETWO"})
        QVERIFY(reg->setAircraft({QString::fromLatin1(plane), {}, CombineMode::Running, {}}).ok());
    const QString one
        = file(QStringLiteral("one.dat"), {record(1, 10, 1), record(2, 20, 1), record(3, 30, 1)});
    QVERIFY(reg->add(QStringLiteral("D-EONE"), {{one, day("2024-01-01")}}).ok());
    const QByteArray before = exported(*reg);
    // The second aircraft's session file carries read-out 2 of the first, on another date.
    const QString two = file(QStringLiteral("two.dat"), {record(7, 70, 1), record(2, 20, 1)});
    const QString three = file(QStringLiteral("three.dat"), {record(8, 80, 1)});
    const AddResult added = reg->add(
        QStringLiteral("D-ETWO"), {{three, day("2024-01-01")}, {two, day("2024-02-01")}});
    QVERIFY(!added.ok());
    QCOMPARE(added.failure(), Result::Invalid);
    for (const char *words :
        {"Record 2 of \"", "two.dat\" is read-out 2 of the aircraft \"D-EONE\"",
            "Nothing was added to the register."})
        QVERIFY2(added.message().contains(QLatin1String(words)), qPrintable(added.message()));
    QCOMPARE(exported(*reg), before);
}

void TestRegister::inconsistentFall_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("between"); // added before a read-out kept already
    QTest::addColumn<bool>("declared");
    for (const char *engine : {"sqlite", "postgresql"}) {
        for (const bool between : {false, true}) {
            for (const bool declared : {false, true})
                QTest::addRow("%s: %s%s", engine, between ? "between" : "last",
                    declared ? ", reset declared" : "")
                    << QString::fromLatin1(engine) << between << declared;
        }
    }
}

void TestRegister::inconsistentFall()
{
    QFETCH(QString, engine);
    QFETCH(bool, between);
    QFETCH(bool, declared);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const QString plane = QStringLiteral("D-EFAL");
    QVERIFY(reg->setAircraft({plane, {}, CombineMode::Running, {}}).ok());
    QVERIFY(reg->add(plane,
                   {{file(QStringLiteral("f1.dat"), {record(10, 1000, 1)}), day("2024-01-10")}})
                .ok());
    if (between)
        QVERIFY(reg->add(plane,
                       {{file(QStringLiteral("f3.dat"), {record(30, 2000, 1)}), day("2024-03-10")}})
                    .ok());
    // -2.0 g falls from 10 to 5 while the others rise and the clock goes back.
    CounterRecord fell = record(20, 500, 1);
    fell[0] = 5;
    const QByteArray before = exported(*reg);
    const AddResult added
        = reg->add(plane, {{file(QStringLiteral("f2.dat"), {fell}), day("2024-02-10")}}, declared);
    if (!declared) {
        QVERIFY(!added.ok());
        for (const char *words : {"do not follow from", "-2.0 g from 10 to 5", "44200 s to 43700 s",
                 "register add --reset", "Nothing was added"})
            QVERIFY2(added.message().contains(QLatin1String(words)), qPrintable(added.message()));
        QCOMPARE(exported(*reg), before);
        return;
    }
    QVERIFY2(added.ok(), qPrintable(added.message()));
    const auto check = [&](Register &where) {
        const HistoryResult history = where.history(plane);
        QVERIFY2(history.ok(), qPrintable(history.message()));
        QCOMPARE(history.periods.size(), size_t(between ? 3 : 2));
        const HistoryPeriod &period = history.periods[1];
        QCOMPARE(period.kind, RunningKind::Reset);
        QVERIFY(period.declaredReset && period.afterReset);
        QCOMPARE(period.seconds, 43700); // whole: 43200 + 500 s
        QCOMPARE(period.counts.front(), 5);
        if (between)
            QCOMPARE(history.periods[2].kind, RunningKind::Running);
    };
    check(*reg);
    // The declaration goes through an export into another register.
    const QByteArray json = exported(*reg);
    QVERIFY(json.contains("\"declaredReset\":true"));
    const std::unique_ptr<Register> copy = open(fresh(engine));
    QVERIFY(copy);
    const ImportResult imported = copy->importJson(json, QStringLiteral("export.json"));
    QVERIFY2(imported.ok(), qPrintable(imported.message()));
    check(*copy);
}

void TestRegister::addIsAllOrNothing_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QByteArray>("second"); // the second file's bytes; empty: no such file
    QTest::addColumn<QStringList>("said");
    const QByteArray good = RecordFileBytes(record(5, 50, 1)) + RecordFileBytes(record(6, 60, 1));
    QByteArray damaged = good + RecordFileBytes(record(7, 70, 1));
    damaged.replace(2 * 132 + 6 * 3, 4, "00g0"); // record 3, its fourth value
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: damaged record 3", engine)
            << engine << damaged << QStringList {"second.dat", "record 3", "Nothing was added"};
        QTest::addRow("%s: partial last record", engine)
            << engine << good + "0001\r\n0002\r\n"
            << QStringList {"second.dat", "record 3", "Nothing was added"};
        QTest::addRow("%s: a word above 16 bits", engine)
            << engine
            << QByteArray(good + RecordFileBytes(record(7, 70, 1))).replace(2 * 132, 4, "10000")
            << QStringList {"second.dat\" record 3: word 1 (the count at -2.0 g) is 65536",
                   "Nothing was added"};
        QTest::addRow("%s: missing file", engine)
            << engine << QByteArray() << QStringList {"second.dat", "Cannot open", "Nothing"};
    }
}

void TestRegister::addIsAllOrNothing()
{
    QFETCH(QString, engine);
    QFETCH(QByteArray, second);
    QFETCH(QStringList, said);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    QVERIFY(reg->setAircraft({QStringLiteral("D-EALL"), {}, CombineMode::Separate, {}}).ok());
    const QString first = file(QStringLiteral("first.dat"), {record(1, 10, 1), record(2, 20, 1)});
    QVERIFY(reg->add(QStringLiteral("D-EALL"), {{first, day("2024-01-01")}}).ok());
    const QByteArray before = exported(*reg);
    const QString firstAgain = file(QStringLiteral("first-again.dat"), {record(3, 30, 1)});
    const QString path = m_dir.filePath(QStringLiteral("second.dat"));
    QFile::remove(path);
    if (!second.isEmpty())
        WriteFile(path, second);
    const AddResult added = reg->add(
        QStringLiteral("D-EALL"), {{firstAgain, day("2024-02-01")}, {path, day("2024-02-01")}});
    QVERIFY(!added.ok());
    for (const QString &words : said)
        QVERIFY2(added.message().contains(words), qPrintable(added.message()));
    QCOMPARE(exported(*reg), before);
    QCOMPARE(reg->fleet().aircraft.front().usage.readouts, 2);
}

void TestRegister::periods_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<Script>("script");
    QTest::addColumn<qint64>("remove"); // a read-out removed after the script, 0: none
    QTest::addColumn<QString>("switchTo"); // a mode set after the script
    QTest::addColumn<QList<ExpectedPeriod>>("expected");
    const CounterRecord r1 = record(10, 100, 1);
    const CounterRecord r2 = record(15, 400, 1);
    const CounterRecord r3 = record(18, 1000, 1);
    const Script inOrder {{"2024-01-10", {r1}}, {"2024-02-10", {r2}}, {"2024-03-10", {r3}}};
    // r1 whole: 43200 + 100 s; then differences 300 s and 600 s, 5 and 3 counts a level.
    const QList<ExpectedPeriod> differences {
        {43300, 10, 27, false}, {300, 5, 5, false}, {600, 3, 3, false}};
    for (const char *e : {"sqlite", "postgresql"}) {
        const QString engine = QString::fromLatin1(e);
        QTest::addRow("%s: running", e)
            << engine << "running" << inOrder << 0ll << "" << differences;
        QTest::addRow("%s: one file", e)
            << engine << "running" << Script {{"2024-01-10", {r1, r2, r3}}} << 0ll << ""
            << differences;
        QTest::addRow("%s: added out of order", e)
            << engine << "running"
            << Script {{"2024-03-10", {r3}}, {"2024-01-10", {r1}}, {"2024-02-10", {r2}}} << 0ll
            << "" << differences;
        // r3 falls below r2: it counts whole, as a period after a reset.
        QTest::addRow("%s: reset", e) << engine << "running"
                                      << Script {{"2024-01-10", {r1}}, {"2024-02-10", {r2}},
                                             {"2024-03-10", {record(3, 50, 0)}}}
                                      << 0ll << ""
                                      << QList<ExpectedPeriod> {{43300, 10, 27, false},
                                             {300, 5, 5, false}, {50, 3, 20, true}};
        // The 4.0 g counter passes 65535 while the others and the clock rise: 500 + 65536 -
        // 65000 counts, and the totals go on.
        QTest::addRow("%s: wrap", e)
            << engine << "running"
            << Script {{"2024-01-10", {withLast(r1, 65000)}}, {"2024-02-10", {withLast(r2, 500)}},
                   {"2024-03-10", {withLast(r3, 700)}}}
            << 0ll << ""
            << QList<ExpectedPeriod> {
                   {43300, 10, 65000, false}, {300, 5, 1036, false}, {600, 3, 200, false}};
        QTest::addRow("%s: separate", e) << engine << "separate" << inOrder << 0ll << ""
                                         << QList<ExpectedPeriod> {{43300, 10, 27, false},
                                                {43600, 15, 32, false}, {44200, 18, 35, false}};
        QTest::addRow("%s: separate made running", e)
            << engine << "separate" << inOrder << 0ll << "running" << differences;
        // Without r2, r3 follows r1: 900 s, 8 counts a level.
        QTest::addRow("%s: middle removed", e)
            << engine << "running" << inOrder << 2ll << ""
            << QList<ExpectedPeriod> {{43300, 10, 27, false}, {900, 8, 8, false}};
        QTest::addRow("%s: no hours", e)
            << engine << "running" << Script {{"2024-01-10", {record(0, 0, 0)}}} << 0ll << ""
            << QList<ExpectedPeriod> {{0, 0, 17, false}};
    }
}

void TestRegister::periods()
{
    QFETCH(QString, engine);
    QFETCH(QString, mode);
    QFETCH(Script, script);
    QFETCH(qint64, remove);
    QFETCH(QString, switchTo);
    QFETCH(QList<ExpectedPeriod>, expected);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const QString plane = QStringLiteral("D-EPER");
    QVERIFY(reg->setAircraft({plane, {}, CombineModeFromName(mode), {}}).ok());
    for (int i = 0; i < script.size(); ++i) {
        const QString path = file(QStringLiteral("periods-%1.dat").arg(i), script[i].records);
        const AddResult added = reg->add(plane, {{path, day(script[i].date)}});
        QVERIFY2(added.ok(), qPrintable(added.message()));
    }
    if (remove)
        QVERIFY(reg->remove(plane, remove).ok());
    if (!switchTo.isEmpty())
        QVERIFY(reg->setAircraft({plane, {}, CombineModeFromName(switchTo), {}}).periodsRecomputed);

    const HistoryResult history = reg->history(plane);
    QVERIFY2(history.ok(), qPrintable(history.message()));
    QCOMPARE(history.periods.size(), size_t(expected.size()));
    qint64 seconds = 0;
    qint64 first = 0;
    for (int i = 0; i < expected.size(); ++i) {
        const HistoryPeriod &period = history.periods[i];
        QCOMPARE(period.seconds, expected[i].seconds);
        QCOMPARE(period.counts.front(), expected[i].first);
        QCOMPARE(period.counts.back(), expected[i].last);
        QCOMPARE(period.afterReset, expected[i].reset);
        seconds += expected[i].seconds;
        first += expected[i].first;
        QCOMPARE(period.totalSeconds, seconds);
        QCOMPARE(period.totalCounts.front(), first);
        if (i > 0)
            QCOMPARE(period.from, history.periods[i - 1].taken);
    }
    // The sums the database keeps for the fleet agree with the history.
    const UsageListResult list = reg->list();
    QVERIFY(list.ok());
    const UsageFigures &usage = list.aircraft.front().usage;
    QCOMPARE(usage.readouts, qint64(expected.size()));
    QCOMPARE(usage.seconds, seconds);
    QCOMPARE(usage.counts, history.usage.counts);
    QCOMPARE(usage.per1000hAt3g.has_value(), seconds > 0);
}

void TestRegister::ranking()
{
    QFETCH(QString, engine);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    StructuralData own;
    own.damage = sn();
    QVERIFY(reg->setType(QStringLiteral("Zeta 2"), own).ok());
    // D-EAAA: the demonstration counts twice, its own S-N data; D-EBBB once, before the window,
    // and D-ECCC once over more hours, both with their type's data; D-EDDD has none.
    QVERIFY(reg->setAircraft({QStringLiteral("D-EAAA"), {}, CombineMode::Separate, own}).ok());
    for (const char *plane : {"D-EBBB", "D-ECCC"})
        QVERIFY(reg->setAircraft({QString::fromLatin1(plane), QStringLiteral("zeta 2"),
                                     CombineMode::Separate, {}})
                    .ok());
    QVERIFY(reg->setAircraft({QStringLiteral("D-EDDD"), {}, CombineMode::Separate, {}}).ok());
    CounterRecord longer = DemonstrationRecord;
    longer[ActivePeriodsWord] = 60;
    // A read-out is added once to one aircraft: each copy of the demonstration counts differs
    // in its battery clock alone, which neither counts nor hours see.
    const auto demo = [&](int copy) {
        CounterRecord words = DemonstrationRecord;
        words[BatterySecondsWord] = std::uint16_t(copy);
        return file(QStringLiteral("demo-%1.dat").arg(copy), {words});
    };
    const QString slow = file(QStringLiteral("slow.dat"), {longer});
    for (const auto &[plane, path, date] :
        {std::tuple {"D-EAAA", demo(1), "2024-01-05"}, std::tuple {"D-EAAA", demo(2), "2024-06-05"},
            std::tuple {"D-EBBB", demo(3), "2024-01-05"}, std::tuple {"D-ECCC", slow, "2024-06-05"},
            std::tuple {"D-EDDD", demo(4), "2024-06-05"}})
        QVERIFY(reg->add(QString::fromLatin1(plane), {{path, day(date)}}).ok());

    const auto order = [](const UsageListResult &fleet) {
        QStringList ranked;
        for (const AircraftUsage &row : fleet.aircraft)
            ranked << QStringLiteral("%1:%2").arg(row.aircraft.registration).arg(row.rank);
        return ranked.join(QLatin1Char(' '));
    };
    const UsageListResult whole = reg->fleet();
    QVERIFY2(whole.ok(), qPrintable(whole.message()));
    QCOMPARE(order(whole), QStringLiteral("D-EAAA:1 D-EBBB:2 D-ECCC:3 D-EDDD:0"));
    QCOMPARE(whole.aircraft[1].aircraft.structureSource(), StructureSource::Type);
    const double single = whole.aircraft[1].usage.summed->lifeUsedPercent;
    QVERIFY(single > 0);
    QCOMPARE(whole.aircraft[0].usage.summed->lifeUsedPercent, 2 * single);

    const UsageListResult window = reg->fleet(day("2024-06-01"));
    QCOMPARE(order(window), QStringLiteral("D-EAAA:1 D-ECCC:2 D-EBBB:0 D-EDDD:0"));
    const AircraftUsage &lead = window.aircraft.front();
    QCOMPARE(lead.usage.readouts, 1);
    QCOMPARE(lead.usage.summed->lifeUsedPercent, single);
    QCOMPARE(*lead.lifeUsedToDatePercent, 2 * single);
    // What the whole history leaves, at the window's rate.
    const double d = lead.usage.summed->damage;
    QCOMPARE(*lead.hoursLeft, (1.0 / 8 - 2 * d) * lead.usage.hours / d);
}

void TestRegister::upgradeFromVersion1()
{
    QFETCH(QString, engine);
    const RegisterLocation location = fresh(engine);
    {
        RawConnection raw(location);
        const QString structure = QStringLiteral(
            "stress_per_g DOUBLE PRECISION, sn_slope DOUBLE PRECISION, "
            "sn_endurance_stress DOUBLE PRECISION, sn_endurance_cycles DOUBLE PRECISION, "
            "below_endurance VARCHAR(20), ultimate_strength DOUBLE PRECISION, "
            "scatter_factor DOUBLE PRECISION, design_life DOUBLE PRECISION, "
            "max_load_positive DOUBLE PRECISION, max_load_negative DOUBLE PRECISION, "
            "limit_load_positive DOUBLE PRECISION, limit_load_negative DOUBLE PRECISION");
        QString counts;
        for (int level = 0; level < LevelCount; ++level)
            counts += QStringLiteral("c%1 BIGINT NOT NULL, ").arg(level);
        const QString words = QString::fromLatin1(RecordText(DemonstrationRecord).toLatin1());
        // A register as version 1 of the program left it: the type a text of each aircraft.
        for (const QString &sql :
            {QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO schema_version VALUES (1)"),
                QStringLiteral("CREATE TABLE id_counters (name VARCHAR(20) PRIMARY KEY, "
                               "next_id INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO id_counters VALUES ('aircraft', 4), ('addition', 2), "
                               "('readout', 2)"),
                QStringLiteral("CREATE TABLE aircraft (id INTEGER PRIMARY KEY, registration "
                               "VARCHAR(100) NOT NULL, registration_key VARCHAR(100) NOT NULL "
                               "UNIQUE, type_name VARCHAR(200), combine_mode VARCHAR(10) NOT "
                               "NULL, %1, created_at VARCHAR(20) NOT NULL, changed_at "
                               "VARCHAR(20) NOT NULL)")
                    .arg(structure),
                QStringLiteral("CREATE TABLE additions (id INTEGER PRIMARY KEY, aircraft_id "
                               "INTEGER NOT NULL REFERENCES aircraft (id), file_name TEXT NOT "
                               "NULL, added_at VARCHAR(20) NOT NULL, added_by VARCHAR(200) NOT "
                               "NULL)"),
                QStringLiteral("CREATE TABLE readouts (id INTEGER PRIMARY KEY, aircraft_id "
                               "INTEGER NOT NULL REFERENCES aircraft (id), addition_id INTEGER "
                               "NOT NULL REFERENCES additions (id), record_number BIGINT NOT "
                               "NULL, taken_on VARCHAR(10) NOT NULL, words VARCHAR(109) NOT "
                               "NULL)"),
                QStringLiteral("CREATE INDEX readouts_in_order ON readouts (aircraft_id, "
                               "taken_on, id)"),
                QStringLiteral("CREATE TABLE usage_by_day (aircraft_id INTEGER NOT NULL, "
                               "taken_on VARCHAR(10) NOT NULL, readouts INTEGER NOT NULL, resets "
                               "INTEGER NOT NULL, %1active_seconds BIGINT NOT NULL, PRIMARY KEY "
                               "(aircraft_id, taken_on))")
                    .arg(counts),
                QStringLiteral("INSERT INTO aircraft (id, registration, registration_key, "
                               "type_name, combine_mode, created_at, changed_at) VALUES "
                               "(1, 'D-EONE', 'd-eone', 'Zeta 2', 'running', "
                               "'2023-01-01T00:00:00Z', '2023-01-01T00:00:00Z'), "
                               "(2, 'D-ETWO', 'd-etwo', ' ZETA 2 ', 'separate', "
                               "'2023-01-01T00:00:00Z', '2023-01-01T00:00:00Z'), "
                               "(3, 'D-ETRI', 'd-etri', NULL, 'separate', "
                               "'2023-01-01T00:00:00Z', '2023-01-01T00:00:00Z')"),
                QStringLiteral("INSERT INTO additions VALUES (1, 1, 'old.dat', "
                               "'2023-01-02T00:00:00Z', 'someone')"),
                QStringLiteral("INSERT INTO readouts VALUES (1, 1, 1, 1, '2023-01-02', '%1')")
                    .arg(words),
                QStringLiteral("INSERT INTO usage_by_day VALUES (1, '2023-01-02', 1, 0, 1, 2, 10, "
                               "80, 640, 2480, 2533, 1244, 755, 457, 321, 234, 154, 96, 27, 3, "
                               "2, 1, 907800)")})
            QVERIFY(raw.exec(sql));
    }
    OpenedRegister opened = Register::open(location, Register::Access::Read);
    QVERIFY2(opened.ok(), qPrintable(opened.message()));
    QCOMPARE(opened.upgradedFrom, std::optional<int>(1));
    Register &reg = *opened.reg;
    QCOMPARE(reg.aircraft(QStringLiteral("D-EONE")).aircraft.type, QStringLiteral("Zeta 2"));
    QCOMPARE(reg.aircraft(QStringLiteral("D-ETWO")).aircraft.type, QStringLiteral("Zeta 2"));
    QCOMPARE(reg.aircraft(QStringLiteral("D-ETRI")).aircraft.type, QString());
    // One type now, whose data both aircraft of it use.
    StructuralData data;
    data.damage = sn();
    const TypeResult type = reg.setType(QStringLiteral("zeta 2"), data);
    QVERIFY2(type.ok(), qPrintable(type.message()));
    QCOMPARE(type.type.aircraft, 2);
    QCOMPARE(
        reg.aircraft(QStringLiteral("D-ETWO")).aircraft.structureSource(), StructureSource::Type);
    const HistoryResult history = reg.history(QStringLiteral("D-EONE"));
    QCOMPARE(history.periods.size(), size_t(1));
    QCOMPARE(history.periods.front().words, ToValues(DemonstrationRecord));
    QVERIFY(history.usage.damage.has_value());
    const AircraftResult added = reg.setAircraft(
        {QStringLiteral("D-EFOR"), QStringLiteral("Zeta 3"), CombineMode::Running, {}});
    QVERIFY2(added.ok(), qPrintable(added.message()));
    QCOMPARE(added.aircraft.id, 4);
    // Through version 2 to 3: an addition keeps whether it declared a reset.
    const AddResult readout = reg.add(QStringLiteral("D-EFOR"),
        {{file(QStringLiteral("upgraded.dat"), {record(50, 5, 1)}), day("2024-07-01")}}, true);
    QVERIFY2(readout.ok(), qPrintable(readout.message()));
    QVERIFY(reg.history(QStringLiteral("D-EFOR")).periods.front().declaredReset);
    QCOMPARE(RawConnection(location).value(QStringLiteral("SELECT version FROM schema_version")),
        QVariant(RegisterSchemaVersionForTests));
}

void TestRegister::newerSchemaRefused()
{
    QFETCH(QString, engine);
    const RegisterLocation location = fresh(engine);
    QVERIFY(open(location));
    QVERIFY(RawConnection(location).exec(QStringLiteral("UPDATE schema_version SET version = 6")));
    for (const Register::Access access : {Register::Access::Read, Register::Access::Write}) {
        const OpenedRegister opened = Register::open(location, access);
        QVERIFY(!opened.ok());
        QCOMPARE(opened.failure(), Result::Invalid);
        QVERIFY2(opened.message().contains(QLatin1String("schema version 6, newer than version 5")),
            qPrintable(opened.message()));
    }
    QCOMPARE(RawConnection(location).value(QStringLiteral("SELECT version FROM schema_version")),
        QVariant(6));
}

void TestRegister::roundTripAcrossEngines_data()
{
    QTest::addColumn<QStringList>("chain");
    QTest::newRow("sqlite, postgresql, sqlite") << QStringList {"sqlite", "postgresql", "sqlite"};
    QTest::newRow("postgresql, sqlite, postgresql")
        << QStringList {"postgresql", "sqlite", "postgresql"};
}

void TestRegister::roundTripAcrossEngines()
{
    QFETCH(QStringList, chain);
    std::unique_ptr<Register> first = open(fresh(chain.front()));
    QVERIFY(first);
    StructuralData full;
    full.damage = sn(55.5);
    full.damage->belowEndurance = BelowEndurance::Haibach;
    full.damage->ultimateStrength = 420;
    full.damage->scatterFactor = 5;
    full.damage->designLife = 12000.25;
    full.damage->maxLoadPositive = 5.7;
    full.damage->maxLoadNegative = -2.28;
    full.limits = LimitLoads {3.8, -1.52};
    StructuralData limitsOnly;
    limitsOnly.limits = LimitLoads {4.4, -1.76};
    QVERIFY(first->setType(QStringLiteral("Zeta \"2\""), full).ok());
    QVERIFY(first->setType(QStringLiteral("Unused type"), {}).ok());
    QVERIFY(first
                ->setAircraft({QStringLiteral("SP-ŻÓŁW"), QStringLiteral("Zeta \"2\""),
                    CombineMode::Running, limitsOnly})
                .ok());
    QVERIFY(first->setAircraft({QStringLiteral("D-E;1'"), {}, CombineMode::Separate, full}).ok());
    // The check settings, and an inspection, go across too.
    CheckSettings checks;
    checks.thresholds = std::vector<double> {33.3, 66.6, 100};
    checks.inspectionHours = 150.5, checks.inspectionDays = 90, checks.batteryDays = 21;
    QVERIFY(first->setType(QStringLiteral("Zeta \"2\""), std::nullopt, checks).ok());
    CheckSettings own;
    own.inspectionDays = 30;
    QVERIFY(first->setAircraft({QStringLiteral("D-E;1'"), {}, {}, {}, own}).ok());
    QVERIFY(first->recordInspection(QStringLiteral("D-E;1'"), day("2024-03-01")).ok());
    const QString a
        = file(QStringLiteral("rt ä;'\"]}[{\\.dat"), {record(1, 5, 1), record(4, 9, 1)});
    const QString b = file(QStringLiteral("rt-b.dat"), {record(2, 7, 2), record(1, 1, 1)});
    QVERIFY(first->add(QStringLiteral("SP-ŻÓŁW"), {{a, day("2024-01-01")}, {b, day("2024-02-01")}})
                .ok());
    const QString c = file(QStringLiteral("rt-c.dat"), {record(2, 7, 3), record(1, 1, 2)});
    QVERIFY(first->add(QStringLiteral("D-E;1'"), {{c, day("2023-12-31")}}).ok());
    QVERIFY(first->remove(QStringLiteral("SP-ŻÓŁW"), 2).ok());

    const QByteArray original = exported(*first);
    const QJsonDocument document = QJsonDocument::fromJson(original);
    QCOMPARE(document[QStringLiteral("aircraft")].toArray().size(), 2);
    QByteArray previous = original;
    std::unique_ptr<Register> last;
    for (const QString &engine : chain.mid(1)) {
        last = open(fresh(engine));
        QVERIFY(last);
        // A little at a time, so that values with quotes and brackets fall across the pieces.
        Trickle in(previous);
        const ImportResult imported = last->importJson(in, QStringLiteral("previous.json"));
        QVERIFY2(imported.ok(), qPrintable(imported.message()));
        QCOMPARE(imported.readouts, 5);
        previous = exported(*last);
        QCOMPARE(previous, original);
        // An import goes only into an empty register.
        QVERIFY(!last->importJson(previous, QStringLiteral("again.json")).ok());
    }
    // What was set comes back as it was set, not merely as the first export wrote it.
    const AircraftInfo turtle = last->aircraft(QStringLiteral("sp-żółw")).aircraft;
    QCOMPARE(fields(turtle.typeData), fields(full));
    QCOMPARE(fields(turtle.own), fields(limitsOnly));
    QCOMPARE(turtle.mode, CombineMode::Running);
    QCOMPARE(fields(last->aircraft(QStringLiteral("D-E;1'")).aircraft.own), fields(full));
    QVERIFY(turtle.typeChecks == checks);
    QVERIFY(turtle.ownChecks.isEmpty());
    QVERIFY(last->aircraft(QStringLiteral("D-E;1'")).aircraft.ownChecks == own);
    QVERIFY(last->aircraft(QStringLiteral("D-E;1'")).aircraft.typeChecks.isEmpty());
    for (const AircraftUsage &row : last->fleet().aircraft)
        QCOMPARE(row.check.lastInspection,
            row.aircraft.registration == QLatin1String("D-E;1'")
                ? std::optional<QDate>(day("2024-03-01"))
                : std::nullopt);
    for (const QString &plane : {QStringLiteral("SP-ŻÓŁW"), QStringLiteral("D-E;1'")}) {
        const HistoryResult before = first->history(plane);
        const HistoryResult after = last->history(plane);
        QVERIFY(!before.periods.empty() && !after.periods.empty());
        QCOMPARE(after.usage.counts, before.usage.counts);
        QCOMPARE(after.usage.seconds, before.usage.seconds);
        QCOMPARE(after.periods.back().readout, before.periods.back().readout);
    }
    // Ids go on from the highest imported one.
    // (The first file is SP-ŻÓŁW's, in the imported register too.)
    QVERIFY(!last->add(QStringLiteral("D-E;1'"), {{a, day("2024-05-05")}}).ok());
    const AddResult more = last->add(QStringLiteral("D-E;1'"),
        {{file(QStringLiteral("rt-d.dat"), {record(9, 9, 9)}), day("2024-05-05")}});
    QVERIFY2(more.ok(), qPrintable(more.message()));
    QCOMPARE(more.files.front().firstReadout, 7);
}

void TestRegister::namesAsGiven_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("name");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: quotes", engine) << engine << QStringLiteral("D-E'Q\"T");
        QTest::addRow("%s: semicolons", engine)
            << engine << QStringLiteral("x'); DELETE FROM readouts; --");
        QTest::addRow("%s: non-ASCII", engine) << engine << QStringLiteral("ÖÄ-ŻÓŁW ✈");
        QTest::addRow("%s: percent and backslash", engine) << engine << QStringLiteral("N%1\\%s");
    }
}

void TestRegister::namesAsGiven()
{
    QFETCH(QString, engine);
    QFETCH(QString, name);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    QVERIFY(reg->setAircraft({QStringLiteral("D-EOTHER"), {}, CombineMode::Running, {}}).ok());
    const AircraftResult made = reg->setAircraft(
        {QStringLiteral("  ") + name, name + QStringLiteral(" type"), CombineMode::Running, {}});
    QVERIFY2(made.ok(), qPrintable(made.message()));
    QCOMPARE(made.aircraft.registration, name);
    // Matched in another case, it keeps the registration as first written.
    const AircraftResult changed = reg->setAircraft(
        {name.toLower(), name + QStringLiteral(" type"), CombineMode::Running, {}});
    QVERIFY2(changed.ok(), qPrintable(changed.message()));
    QCOMPARE(changed.aircraft.registration, name);
    const QString path = file(name + QStringLiteral(".dat"), {record(1, 2, 3)});
    const AddResult added = reg->add(name.toUpper(), {{path, day("2024-01-01")}});
    QVERIFY2(added.ok(), qPrintable(added.message()));
    QCOMPARE(added.registration, name);
    QVERIFY(reg->add(QStringLiteral("D-EOTHER"),
                   {{file(QStringLiteral("other.dat"), {record(4, 5, 6)}), day("2024-01-01")}})
                .ok());

    const UsageListResult list = reg->list();
    QCOMPARE(list.aircraft.size(), size_t(2));
    bool found = false;
    for (const AircraftUsage &row : list.aircraft) {
        QCOMPARE(row.usage.readouts, 1);
        if (row.aircraft.registration == name) {
            found = true;
            QCOMPARE(row.aircraft.type, name + QStringLiteral(" type"));
        }
    }
    QVERIFY(found);
    const HistoryResult history = reg->history(name.toLower());
    QVERIFY2(history.ok(), qPrintable(history.message()));
    QCOMPARE(history.periods.size(), size_t(1));
    QCOMPARE(history.periods.front().fileName, path);
    const QJsonDocument document = QJsonDocument::fromJson(exported(*reg));
    const QJsonArray aircraft = document[QStringLiteral("aircraft")].toArray();
    QCOMPARE(aircraft[1].toObject()[QStringLiteral("registration")].toString(), name);
}

void TestRegister::refusals_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("said");
    const auto row
        = [](const char *engine, const char *fault, Result::Failure failure, const char *said) {
              QTest::addRow("%s: %s", engine, fault) << engine << fault << int(failure) << said;
          };
    row("sqlite", "not a database", Result::Invalid, "is not an SQLite database");
    row("sqlite", "another program's database", Result::Invalid, "holds other tables (crew)");
    row("sqlite", "no register yet", Result::Invalid, "There is no register");
    row("sqlite", "folder missing", Result::CannotOpen, "there is no folder");
    row("sqlite", "read-only", Result::Failed, "is read-only");
    row("sqlite", "disk full", Result::Failed, "the disk is full");
    row("postgresql", "server down", Result::CannotOpen, "no PostgreSQL server answers");
    row("postgresql", "wrong database", Result::CannotOpen, "the server has no such database");
    row("postgresql", "wrong password", Result::CannotOpen, "refused the password");
    row("postgresql", "no register yet", Result::Invalid, "holds no register yet");
    row("postgresql", "read-only", Result::Failed, "may not be changed by this user");
    for (const char *engine : {"sqlite", "postgresql"}) {
        row(engine, "locked", Result::Failed, "is in use by another command");
        row(engine, "unknown aircraft", Result::Invalid, "There is no aircraft \"D-ENONE\"");
        row(engine, "bad structural data", Result::Invalid,
            "The S-N slope k must be a positive number");
        row(engine, "structural data that overflow", Result::Invalid, "The figures overflow");
    }
}

void TestRegister::refusals()
{
    QFETCH(QString, engine);
    QFETCH(QString, fault);
    QFETCH(int, failure);
    QFETCH(QString, said);
    RegisterLocation location = fresh(engine);
    const QString plane = QStringLiteral("D-EREF");
    const QString data = file(QStringLiteral("refusal.dat"), {record(1, 1, 1), record(2, 2, 1)});
    const QString later = file(QStringLiteral("later.dat"), {record(3, 3, 1), record(4, 4, 1)});
    // A register with one aircraft and one read-out, for the faults that need one.
    const auto populate = [&]() {
        const std::unique_ptr<Register> reg = open(location);
        return reg && reg->setAircraft({plane, {}, CombineMode::Running, {}}).ok()
            && reg->add(plane, {{data, day("2024-01-01")}}).ok();
    };
    // What an attempt gives; every attempt is an addition after opening for writing.
    const auto attempt = [&](const RegisterLocation &where, int wait = 10000) -> Result {
        OpenedRegister opened
            = Register::open(where, Register::Access::Write, RegisterOptions {wait, {}, {}});
        if (!opened.ok())
            return opened;
        return opened.reg->add(plane, {{later, day("2024-02-02")}});
    };
    Result result;
    QByteArray before;
    const auto register_bytes = [&]() { return ReadAll(location.path); };

    if (fault == QLatin1String("not a database")) {
        WriteFile(location.path, "just some text, not a database\n");
        before = register_bytes();
        result = attempt(location);
        QCOMPARE(register_bytes(), before);
    } else if (fault == QLatin1String("another program's database")) {
        QVERIFY(RawConnection(location).exec(QStringLiteral("CREATE TABLE crew (name TEXT)")));
        result = attempt(location);
    } else if (fault == QLatin1String("no register yet")) {
        result = Register::open(location, Register::Access::Read);
        QVERIFY(engine != QLatin1String("sqlite") || !QFile::exists(location.path));
    } else if (fault == QLatin1String("folder missing")) {
        location.path = m_dir.filePath(QStringLiteral("no-such-folder/r.sqlite"));
        result = attempt(location);
        QVERIFY(!QFile::exists(location.path));
    } else if (fault == QLatin1String("read-only") && engine == QLatin1String("postgresql")) {
        QVERIFY(populate());
        QVERIFY(m_server->runSql(location.database,
            QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO reader")));
        location.user = QStringLiteral("reader");
        result = attempt(location);
        // Looking at it still works.
        const std::unique_ptr<Register> reg = open(location, Register::Access::Read);
        QVERIFY(reg);
        QCOMPARE(reg->list().aircraft.front().usage.readouts, 2);
    } else if (fault == QLatin1String("read-only")) {
        QVERIFY(populate());
        before = register_bytes();
        QVERIFY(QFile::setPermissions(location.path, QFile::ReadOwner | QFile::ReadOther));
        // As root every file is writable: the attempt runs as "nobody".
        const int status = RunAsNobody([&] {
            const Result refused = attempt(location);
            return refused.message().contains(said) && refused.failure() == failure ? 0 : 1;
        });
        QCOMPARE(status, 0);
        QCOMPARE(register_bytes(), before);
        // Looking at it still works.
        QCOMPARE(RunAsNobody([&] {
            OpenedRegister opened = Register::open(location, Register::Access::Read);
            return opened.ok() && opened.reg->list().aircraft.size() == 1 ? 0 : 1;
        }),
            0);
        return;
    } else if (fault == QLatin1String("disk full")) {
        SmallDisk disk(512 * 1024);
        if (!disk.ready())
            QSKIP(qPrintable(disk.reason()));
        location.path = disk.filePath(QStringLiteral("full.sqlite"));
        QVERIFY(populate());
        QList<CounterRecord> many;
        for (int i = 0; i < 20000; ++i)
            many << record(i % 1000, i % 3600, i / 3600);
        const QString big = file(QStringLiteral("big.dat"), many);
        const std::unique_ptr<Register> reg = open(location);
        QVERIFY(reg);
        result = reg->add(plane, {{big, day("2024-03-03")}});
        QCOMPARE(reg->list().aircraft.front().usage.readouts, 2);
    } else if (fault == QLatin1String("server down")) {
        location.host = m_dir.filePath(QStringLiteral("no-server"));
        QDir().mkpath(location.host);
        result = attempt(location);
    } else if (fault == QLatin1String("wrong database")) {
        location.database = QStringLiteral("no_such_database");
        result = attempt(location);
    } else if (fault == QLatin1String("wrong password")) {
        location.user = PostgresServer::PasswordRole;
        qputenv("PGPASSWORD", "wrong-secret");
        result = Register::open(location, Register::Access::Read);
        // With the right password from the environment, the server lets the user in.
        qputenv("PGPASSWORD", PostgresServer::PasswordRoleSecret.toUtf8());
        const OpenedRegister right = Register::open(location, Register::Access::Read);
        qunsetenv("PGPASSWORD");
        QVERIFY2(right.message().contains(QLatin1String("holds no register yet")),
            qPrintable(right.message()));
    } else if (fault == QLatin1String("locked")) {
        QVERIFY(populate());
        RawConnection other(location);
        QVERIFY(other.exec(engine == QLatin1String("sqlite")
                ? QStringLiteral("BEGIN IMMEDIATE")
                : QStringLiteral("BEGIN; LOCK TABLE readouts IN ACCESS EXCLUSIVE MODE")));
        result = attempt(location, 300);
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
        // Once the other command has finished, the same addition goes through whole.
        QVERIFY(attempt(location).ok());
        QCOMPARE(open(location)->list().aircraft.front().usage.readouts, 4);
    } else if (fault == QLatin1String("unknown aircraft")) {
        QVERIFY(populate());
        OpenedRegister opened = Register::open(location, Register::Access::Write);
        QVERIFY(opened.ok());
        result = opened.reg->add(QStringLiteral("D-ENONE"), {{data, {}}});
    } else if (fault == QLatin1String("bad structural data")) {
        QVERIFY(populate());
        StructuralData bad;
        bad.damage = sn();
        bad.damage->slope = -1;
        result = open(location)->setAircraft({plane, {}, {}, bad});
        QVERIFY(open(location)->aircraft(plane).aircraft.own.isEmpty());
    } else if (fault == QLatin1String("structural data that overflow")) {
        // Every cycle's N underflows to 0 with σ₁ 1e308: no figure could be finite.
        QVERIFY(populate());
        StructuralData bad;
        bad.damage = sn(1e308);
        result = open(location)->setAircraft({plane, {}, {}, bad});
        QVERIFY(open(location)->aircraft(plane).aircraft.own.isEmpty());
    } else {
        QFAIL("no such fault");
    }
    QVERIFY(!result.ok());
    QVERIFY2(result.message().contains(said), qPrintable(result.message()));
    QCOMPARE(int(result.failure()), failure);
}

// Structural data an older version kept, under which every figure overflows: the aircraft has no
// damage figure and says why; the rest of the register reads as before.
void TestRegister::keptDataThatOverflowsReadsAsNoDamage()
{
    QFETCH(QString, engine);
    const RegisterLocation location = fresh(engine);
    {
        const std::unique_ptr<Register> reg = open(location);
        QVERIFY(reg);
        StructuralData data;
        data.damage = sn();
        for (const char *plane : {"D-EOLD", "D-EGOOD"})
            QVERIFY(reg->setAircraft({QString::fromLatin1(plane), {}, CombineMode::Separate, data})
                        .ok());
        CounterRecord other = DemonstrationRecord;
        other[BatterySecondsWord] = 7;
        QVERIFY(
            reg->add(QStringLiteral("D-EOLD"),
                   {{file(QStringLiteral("old.dat"), {DemonstrationRecord}), day("2024-01-01")}})
                .ok());
        QVERIFY(reg->add(QStringLiteral("D-EGOOD"),
                       {{file(QStringLiteral("good.dat"), {other}), day("2024-01-01")}})
                    .ok());
    }
    {
        RawConnection raw(location);
        QVERIFY(raw.exec(QStringLiteral(
            "UPDATE aircraft SET stress_per_g = 1e308 WHERE registration = 'D-EOLD'")));
    }
    const UsageListResult list = open(location)->list();
    QVERIFY2(list.ok(), qPrintable(list.message()));
    QCOMPARE(list.aircraft.size(), 2u);
    const AircraftUsage &good = list.aircraft[0];
    const AircraftUsage &old = list.aircraft[1];
    QCOMPARE(good.aircraft.registration, QStringLiteral("D-EGOOD"));
    QVERIFY(good.usage.summed.has_value());
    QCOMPARE(old.aircraft.registration, QStringLiteral("D-EOLD"));
    QVERIFY(!old.usage.summed.has_value());
    QVERIFY2(old.usage.damageNote.contains(QLatin1String("overflow"))
            || old.usage.damageNote.contains(QLatin1String("finite")),
        qPrintable(old.usage.damageNote));
}

void TestRegister::foreignDatabaseUnchanged_data()
{
    QTest::addColumn<int>("access");
    QTest::newRow("read") << int(Register::Access::Read);
    QTest::newRow("write") << int(Register::Access::Write);
}

void TestRegister::foreignDatabaseUnchanged()
{
    QFETCH(int, access);
    const RegisterLocation location = fresh(QStringLiteral("sqlite"));
    {
        RawConnection raw(location);
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE crew (name TEXT)")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO crew VALUES ('pilot')")));
    }
    const QByteArray before = ReadAll(location.path);
    QVERIFY(!before.isEmpty());
    const OpenedRegister opened = Register::open(location, Register::Access(access));
    QVERIFY(!opened.ok());
    QVERIFY2(opened.message().contains(QLatin1String("holds other tables (crew)")),
        qPrintable(opened.message()));
    QCOMPARE(ReadAll(location.path), before);
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QVERIFY2(!QFile::exists(location.path + QLatin1String(suffix)), suffix);
}

// A writer killed with its changes only in the log leaves them for the next one who may write
// the folder; a reader who may not must not show the register without them.
void TestRegister::logLeftByWriter()
{
    const RegisterLocation original = fresh(QStringLiteral("sqlite"));
    QVERIFY(
        open(original)->setAircraft({QStringLiteral("D-EONE"), {}, CombineMode::Running, {}}).ok());
    const QString folder = m_dir.filePath(QStringLiteral("left-log"));
    QVERIFY(QDir().mkpath(folder));
    RegisterLocation copy = original;
    copy.path = folder + QStringLiteral("/r.sqlite");
    copy.text = copy.path;
    {
        const std::unique_ptr<Register> writer = open(original);
        QVERIFY(writer);
        QVERIFY(writer->setAircraft({QStringLiteral("D-ETWO"), {}, CombineMode::Running, {}}).ok());
        // What a killed writer leaves: the file and its log, without the log's index.
        QVERIFY(QFileInfo(original.path + QStringLiteral("-wal")).size() > 0);
        QVERIFY(QFile::copy(original.path, copy.path));
        QVERIFY(QFile::copy(
            original.path + QStringLiteral("-wal"), copy.path + QStringLiteral("-wal")));
    }
    for (const QString &name : {copy.path, copy.path + QStringLiteral("-wal")})
        QVERIFY(
            QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const QByteArray before = ReadAll(copy.path);
    QCOMPARE(RunAsNobody([&] {
        const OpenedRegister opened = Register::open(copy, Register::Access::Read);
        if (opened.ok()) {
            qWarning("opened, with %d aircraft", int(opened.reg->list().aircraft.size()));
            return 1;
        }
        const bool said = opened.message().contains(copy.path + QStringLiteral("-wal"))
            && opened.message().contains(QLatin1String("may not write the folder"));
        if (!said)
            qWarning("%s", qPrintable(opened.message()));
        return said && opened.failure() == Result::Failed ? 0 : 1;
    }),
        0);
    QCOMPARE(ReadAll(copy.path), before);
    // One who may write the folder applies the log and sees both.
    const std::unique_ptr<Register> reader = open(copy, Register::Access::Read);
    QVERIFY(reader);
    QCOMPARE(reader->list().aircraft.size(), size_t(2));
}

void TestRegister::importRefusals_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("said"); // empty: imported
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: the highest id", engine)
            << engine << oneReadout("2147483645", "\"a.dat\"", "\"eve\"") << QString();
        QTest::addRow("%s: an id that leaves the next none", engine)
            << engine << oneReadout("2147483646", "\"a.dat\"", "\"eve\"")
            << "read-out 1: \"id\" must be a whole number from 1 to 2147483645";
        QTest::addRow("%s: U+0000 in a file name", engine)
            << engine << oneReadout("5", "\"a\\u0000b.dat\"", "\"eve\"")
            << "aircraft 1 (\"D-EIMP\"), read-out 1 (id 5): \"file\" holds the character U+0000";
        QByteArray document = oneReadout("5", "\"a.dat\"", "\"eve\"");
        QTest::addRow("%s: types after aircraft", engine)
            << engine
            << QByteArray(document)
                   .replace("\"types\":[],", "")
                   .replace("]}]}", "]}],\"types\":[]}")
            << "its \"types\" come after its \"aircraft\"";
        QTest::addRow("%s: a key after the read-outs", engine)
            << engine
            << QByteArray(document)
                   .replace("\"combine\":\"running\",", "")
                   .replace("]}]}", "],\"combine\":\"running\"}]}")
            << "aircraft 1: \"combine\" is missing before \"readouts\"";
        QTest::addRow("%s: cut short in a read-out", engine)
            << engine << document.left(document.indexOf("\"file\"")) << "it is not JSON (";
        QTest::addRow("%s: U+0000 in the adder", engine)
            << engine << oneReadout("5", "\"a.dat\"", "\"eve\\u0000\"")
            << "read-out 1 (id 5): \"addedBy\" holds the character U+0000";
    }
}

// What one engine cannot keep is refused on both, the same way, before anything is kept.
void TestRegister::importRefusals()
{
    QFETCH(QString, engine);
    QFETCH(QByteArray, document);
    QFETCH(QString, said);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const ImportResult imported = reg->importJson(document, QStringLiteral("limits.json"));
    if (said.isEmpty()) {
        QVERIFY2(imported.ok(), qPrintable(imported.message()));
        // The next read-out still gets an id that both engines keep.
        const QString path = file(QStringLiteral("after-limit.dat"), {record(3, 4, 25)});
        const AddResult added = reg->add(QStringLiteral("D-EIMP"), {{path, day("2024-02-02")}});
        QVERIFY2(added.ok(), qPrintable(added.message()));
        QCOMPARE(added.files.front().firstReadout, 2147483646);
        return;
    }
    QVERIFY(!imported.ok());
    QCOMPARE(imported.failure(), Result::Invalid);
    QVERIFY2(imported.message().contains(said), qPrintable(imported.message()));
    QVERIFY(reg->list().aircraft.empty());
}

// The import killed before each statement it runs leaves the register as it was, and the same
// import afterwards takes it all.
void TestRegister::killedImport()
{
    QFETCH(QString, engine);
    const std::unique_ptr<Register> source = open(fresh(engine));
    QVERIFY(source);
    StructuralData data;
    data.damage = sn();
    QVERIFY(source->setType(QStringLiteral("Zeta 2"), data).ok());
    QVERIFY(source
                ->setAircraft(
                    {QStringLiteral("D-EONE"), QStringLiteral("Zeta 2"), CombineMode::Running, {}})
                .ok());
    QVERIFY(source->setAircraft({QStringLiteral("D-ETWO"), {}, CombineMode::Separate, data}).ok());
    // The same counts for both aircraft, told apart by the battery clock: a read-out is one
    // aircraft's.
    QList<CounterRecord> records, others;
    for (int i = 0; i < 30; ++i) {
        records << record(10 * i, 60 * i, 1);
        others << records.back();
        others.back()[BatterySecondsWord] = 790;
    }
    const QString path = file(QStringLiteral("killed-import.dat"), records);
    const QString other = file(QStringLiteral("killed-import-2.dat"), others);
    QVERIFY(source->add(QStringLiteral("D-EONE"), {{path, day("2024-01-01")}}).ok());
    QVERIFY(source->add(QStringLiteral("D-ETWO"), {{other, day("2024-01-02")}}).ok());
    const QByteArray document = exported(*source);

    const RegisterLocation target = fresh(engine);
    QVERIFY(open(target));
    bool completed = false;
    int kills = 0;
    for (int killAt = 1; !completed && killAt < 1000; ++killAt) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            int statements = 0;
            RegisterOptions options;
            options.beforeStatement = [&] {
                if (++statements == killAt)
                    ::raise(SIGKILL);
            };
            OpenedRegister opened = Register::open(target, Register::Access::Write, options);
            Trickle in(document);
            ::_exit(
                opened.ok() && opened.reg->importJson(in, QStringLiteral("k.json")).ok() ? 0 : 3);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            QCOMPARE(WEXITSTATUS(status), 0);
            completed = true;
            break;
        }
        QVERIFY(WIFSIGNALED(status));
        ++kills;
        const std::unique_ptr<Register> reg = open(target);
        QVERIFY(reg);
        RawConnection raw(target);
        for (const char *table :
            {"aircraft_types", "aircraft", "additions", "readouts", "usage_by_day"})
            QCOMPARE(raw.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
                         .toLongLong(),
                0);
        if (engine == QLatin1String("sqlite"))
            QCOMPARE(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                QStringLiteral("ok"));
    }
    QVERIFY(completed);
    qInfo("the import was killed at each of its %d statements", kills);
    QVERIFY(kills > 20);
    const std::unique_ptr<Register> reg = open(target);
    QCOMPARE(exported(*reg), document);
}

// Read-outs are written while the document is still being read, never after holding all of it.
void TestRegister::importWritesAsItReads()
{
    QFETCH(QString, engine);
    const std::unique_ptr<Register> source = open(fresh(engine));
    QVERIFY(source);
    QVERIFY(source->setAircraft({QStringLiteral("D-EBIG"), {}, CombineMode::Running, {}}).ok());
    QList<CounterRecord> records;
    for (int i = 0; i < 4000; ++i)
        records << record(i, (7 * i) % 43200, 1);
    const QString path = file(QStringLiteral("writes-as-read.dat"), records);
    QVERIFY(source->add(QStringLiteral("D-EBIG"), {{path, day("2024-03-01")}}).ok());
    const QByteArray document = exported(*source);
    QVERIFY(document.size() > 512 * 1024);

    Trickle in(document);
    std::vector<qint64> positions;
    RegisterOptions options;
    options.beforeStatement = [&] { positions.push_back(in.pos()); };
    OpenedRegister target = Register::open(fresh(engine), Register::Access::Write, options);
    QVERIFY2(target.ok(), qPrintable(target.message()));
    positions.clear();
    const ImportResult imported = target.reg->importJson(in, QStringLiteral("big.json"));
    QVERIFY2(imported.ok(), qPrintable(imported.message()));
    const qsizetype early = std::count_if(positions.begin(), positions.end(),
        [&](qint64 at) { return at > 0 && at < document.size() / 2; });
    QVERIFY2(early >= 5,
        qPrintable(QStringLiteral("%1 of %2 statements ran in the document's "
                                  "first half")
                       .arg(early)
                       .arg(positions.size())));
}

void TestRegister::confusableNames_data()
{
    QTest::addColumn<QString>("registration");
    QTest::addColumn<QString>("said");
    const auto row = [](const char *name, char32_t c, const char *said) {
        // Not fromUcs4, which takes U+FEFF for a byte order mark.
        const QString one = c < 0x10000 ? QString(QChar(char16_t(c))) : QString::fromUcs4(&c, 1);
        QTest::newRow(name) << QStringLiteral("D-E") + one + QStringLiteral("ZMA")
                            << QString::fromLatin1(said);
    };
    row("zero width space", 0x200B, "holds U+200B ZERO WIDTH SPACE");
    row("non-breaking hyphen", 0x2011, "holds U+2011 NON-BREAKING HYPHEN");
    row("en dash", 0x2013, "holds U+2013 EN DASH");
    row("minus sign", 0x2212, "holds U+2212 MINUS SIGN");
    row("no-break space", 0x00A0, "holds U+00A0 NO-BREAK SPACE");
    row("left-to-right mark", 0x200E, "holds U+200E LEFT-TO-RIGHT MARK");
    row("right-to-left override", 0x202E, "holds U+202E RIGHT-TO-LEFT OVERRIDE");
    row("byte order mark", 0xFEFF, "holds U+FEFF ZERO WIDTH NO-BREAK SPACE");
    row("another format character", 0x2061, "holds U+2061,");
    row("another space", 0x2007, "holds U+2007,");
    row("a tag", 0xE0041, "holds U+E0041,");
    row("a control character", 0x07, "holds a control character (U+0007)");
}

void TestRegister::confusableNames()
{
    QFETCH(QString, registration);
    QFETCH(QString, said);
    const std::unique_ptr<Register> reg = open(fresh(QStringLiteral("sqlite")));
    QVERIFY(reg);
    const AircraftResult made = reg->setAircraft({registration, {}, CombineMode::Running, {}});
    QVERIFY(!made.ok());
    QCOMPARE(made.failure(), Result::Invalid);
    QVERIFY2(made.message().contains(said), qPrintable(made.message()));
    // A type name is checked alike.
    const TypeResult type = reg->setType(registration, {});
    QVERIFY(!type.ok());
    QVERIFY2(type.message().contains(said), qPrintable(type.message()));
    QVERIFY(reg->list().aircraft.empty());
}

// A file dated after the year 9999 would be kept as a date that sorts before the year 2000.
void TestRegister::modificationDateOutOfRange()
{
    const std::unique_ptr<Register> reg = open(fresh(QStringLiteral("sqlite")));
    QVERIFY(reg);
    QVERIFY(reg->setAircraft({QStringLiteral("D-EDAT"), {}, CombineMode::Running, {}}).ok());
    // Memory, which keeps such a date where the test folder's file system would not.
    SmallDisk disk(1024 * 1024);
    if (!disk.ready())
        QSKIP(qPrintable(disk.reason()));
    const QString path = disk.filePath(QStringLiteral("far-future.dat"));
    WriteFile(path, RecordFileBytes(record(1, 2, 3)));
    const timeval times[2] = {{253402300800, 0}, {253402300800, 0}}; // 10000-01-01
    QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);
    const AddResult added = reg->add(QStringLiteral("D-EDAT"), {{path, {}}});
    QVERIFY(!added.ok());
    QVERIFY2(
        added.message().contains(QLatin1String("in the year 10000, outside the years 1 to 9999")),
        qPrintable(added.message()));
    QCOMPARE(reg->list().aircraft.front().usage.readouts, 0);
}

// A day after 9999 compared as text would come before every day kept.
void TestRegister::fleetSinceOutOfRange()
{
    const std::unique_ptr<Register> reg = open(fresh(QStringLiteral("sqlite")));
    QVERIFY(reg);
    QVERIFY(reg->setAircraft({QStringLiteral("D-ESIN"), {}, CombineMode::Running, {}}).ok());
    const QString path = file(QStringLiteral("since.dat"), {record(1, 2, 3)});
    QVERIFY(reg->add(QStringLiteral("D-ESIN"), {{path, day("2024-01-01")}}).ok());
    const UsageListResult fleet = reg->fleet(QDate(10000, 1, 1));
    QVERIFY(!fleet.ok());
    QCOMPARE(fleet.failure(), Result::Invalid);
    QVERIFY2(fleet.message().contains(QLatin1String("outside the years 1 to 9999")),
        qPrintable(fleet.message()));
    QCOMPARE(reg->fleet(QDate(2024, 1, 1)).aircraft.front().usage.readouts, 1);
}

QTEST_GUILESS_MAIN(TestRegister)

// Every structure column goes out under its own key with its own value and comes back in the
// same place: the schema, the rows, the export and the import all read one table of columns.
void TestRegister::structureColumns_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    const std::pair<const char *, QJsonValue> keys[] = {{"sigma1", 101.0}, {"k", 5.5}, {"sd", 33.0},
        {"nd", 2e6}, {"below", QStringLiteral("haibach")}, {"su", 420.0}, {"scatter", 6.0},
        {"designLife", 12000.0}, {"maxLoadPositive", 7.5}, {"maxLoadNegative", -3.5},
        {"limitLoadPositive", 6.0}, {"limitLoadNegative", -3.0},
        {"locations",
            QJsonArray {QJsonObject {{"name", "wing root"}, {"sigma1", 101.0}, {"k", 5.5},
                {"sd", 33.0}, {"nd", 2e6}, {"below", "haibach"}, {"su", 420.0}}}}};
    QCOMPARE(int(std::size(keys)), StructureColumnCount);
    for (const char *engine : {"sqlite", "postgresql"}) {
        for (const auto &[key, value] : keys)
            QTest::addRow("%s: %s", engine, key) << engine << key << value;
    }
}

void TestRegister::structureColumns()
{
    QFETCH(QString, engine);
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    DamageParameters damage;
    damage.stressPerG = 101;
    damage.slope = 5.5;
    damage.enduranceStress = 33;
    damage.enduranceCycles = 2e6;
    damage.belowEndurance = BelowEndurance::Haibach;
    damage.ultimateStrength = 420;
    damage.scatterFactor = 6;
    damage.designLife = 12000;
    damage.maxLoadPositive = 7.5;
    damage.maxLoadNegative = -3.5;
    const StructuralData structure
        = WithLocations(damage, LimitLoads {6, -3}, {{QStringLiteral("wing root"), damage}});
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    AircraftChange change;
    change.registration = QStringLiteral("D-ECOL");
    change.mode = CombineMode::Running;
    change.structure = structure;
    const AircraftResult set = reg->setAircraft(change);
    QVERIFY2(set.ok(), qPrintable(set.message()));
    const QByteArray json = exported(*reg);
    const auto structureOf = [](const QByteArray &document) {
        return QJsonDocument::fromJson(document)["aircraft"][0]["structure"].toObject();
    };
    const QJsonObject written = structureOf(json);
    QCOMPARE(written.size(), StructureColumnCount);
    QCOMPARE(written.value(key), value);

    // Back in through the import, kept in its column, and out again the same.
    const std::unique_ptr<Register> copy = open(fresh(engine));
    QVERIFY(copy);
    const ImportResult imported = copy->importJson(json, QStringLiteral("columns.json"));
    QVERIFY2(imported.ok(), qPrintable(imported.message()));
    QCOMPARE(structureOf(exported(*copy)).value(key), value);
}

#include "tst_register.moc"
