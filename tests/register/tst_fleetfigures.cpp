#include "PostgresServer.h"
#include "Register.h"
#include "SchemaVersion3.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

// The fleet sums each day's kept damage in the database; `register history` walks the read-outs
// and works out each period's damage. Both must give the same life used and the same forecast,
// whatever way the read-outs came in (appended, between others, removed, their structural data
// changed) and wherever the forecast's window starts.
namespace {
struct Dated
{
    const char *date;
    QList<CounterRecord> records;
};

// The read-outs of the cases: a day of one, a day of three, a day of one, a day of two.
const QList<Dated> FourDays = {{"2024-01-01", {MadeUpTotals(1, 10)}},
    {"2024-03-01", {MadeUpTotals(3, 30), MadeUpTotals(4, 35), MadeUpTotals(6, 50)}},
    {"2024-05-01", {MadeUpTotals(7, 60)}},
    {"2024-06-01", {MadeUpTotals(9, 80), MadeUpTotals(10, 90)}}};

DamageParameters sn(double stressPerG)
{
    DamageParameters p;
    p.stressPerG = stressPerG, p.slope = 5, p.enduranceStress = 80, p.enduranceCycles = 2e6;
    p.designLife = 6000;
    return p;
}

// Two named locations of different σ₁: `critical` 1 puts the largest life used at the second,
// 2 at the first; 0 gives the unnamed one alone.
StructuralData located(int critical)
{
    StructuralData structure;
    if (critical == 0) {
        structure.damage = sn(60);
        return structure;
    }
    return WithLocations(sn(60), std::nullopt,
        {{QStringLiteral("wing root"), sn(critical == 1 ? 50 : 70)},
            {QStringLiteral("fin"), sn(critical == 1 ? 70 : 50)}});
}

bool close(double a, double b)
{
    return std::abs(a - b) <= 1e-12 * std::max(std::abs(a), std::abs(b));
}

// What a forecast says to the day: its window and the dates of the thresholds.
QString forecastText(const Forecast &forecast)
{
    if (!forecast.available)
        return QStringLiteral("none");
    QStringList parts {forecast.windowStart.toString(Qt::ISODate), QString::number(forecast.days),
        QString::number(forecast.periods)};
    for (const EstimateForecast &estimate : forecast.estimates) {
        if (!estimate.available) {
            parts << QStringLiteral("no %1").arg(EstimateName(estimate.estimate));
            continue;
        }
        for (const ThresholdForecast &threshold : estimate.thresholds)
            parts << (threshold.date ? threshold.date->toString(Qt::ISODate) : QStringLiteral("-"));
    }
    return parts.join(QLatin1Char(' '));
}

// Its figures, which the database sums in another order: equal to twelve digits.
bool sameFigures(const Forecast &a, const Forecast &b)
{
    if (!close(a.hoursInWindow, b.hoursInWindow) || !close(a.hoursToDate, b.hoursToDate))
        return false;
    for (size_t i = 0; i < a.estimates.size(); ++i) {
        const EstimateForecast &x = a.estimates[i];
        const EstimateForecast &y = b.estimates[i];
        if (!close(x.ratePerHour, y.ratePerHour) || !close(x.lifeUsedPercent, y.lifeUsedPercent))
            return false;
        for (size_t j = 0; j < x.thresholds.size() && j < y.thresholds.size(); ++j) {
            const std::optional<double> &p = x.thresholds[j].hoursToGo;
            const std::optional<double> &q = y.thresholds[j].hoursToGo;
            if (p.has_value() != q.has_value() || (p && !close(*p, *q)))
                return false;
        }
    }
    return true;
}
} // namespace

Q_DECLARE_METATYPE(QList<Dated>)

class TestFleetFigures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void fleetAsHistory_data();
    void fleetAsHistory();
    void hoursSinceInspection_data();
    void hoursSinceInspection();
    void windowAtALocation_data();
    void windowAtALocation();
    void upgradeDerivesTheDamage_data();
    void upgradeDerivesTheDamage();

private:
    RegisterLocation fresh(const QString &engine);
    std::unique_ptr<Register> open(const RegisterLocation &location);
    QString file(const QList<CounterRecord> &records);
    void compare(Register &reg, const QString &registration, int windowDays,
        const QString &location = QString());

    QTemporaryDir m_dir;
    std::unique_ptr<PostgresServer> m_server;
    int m_files = 0;
};

void TestFleetFigures::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server = std::make_unique<PostgresServer>();
    QVERIFY2(m_server->ready(), qPrintable(m_server->reason()));
}

void TestFleetFigures::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

RegisterLocation TestFleetFigures::fresh(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return ParseRegisterLocation(m_dir.filePath(QStringLiteral("r%1.sqlite").arg(++m_files)))
            .location;
    const QString database = m_server->createDatabase(QStringLiteral("fleet"));
    if (database.isEmpty())
        qWarning("%s", qPrintable(m_server->reason()));
    return ParseRegisterLocation(m_server->url(database)).location;
}

std::unique_ptr<Register> TestFleetFigures::open(const RegisterLocation &location)
{
    RegisterOptions options;
    options.user = QStringLiteral("tester");
    OpenedRegister opened = Register::open(location, Register::Access::Write, options);
    if (!opened.ok())
        qWarning("%s", qPrintable(opened.message()));
    return std::move(opened.reg);
}

QString TestFleetFigures::file(const QList<CounterRecord> &records)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_files));
    WriteRecordsFile(path, records);
    return path;
}

// The fleet's line of the aircraft against its history: life used of both estimates, and the
// forecast over the same window.
// With named locations, both at `location`, which must be the one of the largest life used.
void TestFleetFigures::compare(
    Register &reg, const QString &registration, int windowDays, const QString &location)
{
    const HistoryResult history = reg.history(registration);
    QVERIFY2(history.ok(), qPrintable(history.message()));
    const UsageListResult fleet = reg.fleet(std::nullopt, windowDays);
    QVERIFY2(fleet.ok(), qPrintable(fleet.message()));
    QCOMPARE(fleet.aircraft.size(), size_t(1));
    const AircraftUsage &row = fleet.aircraft.front();
    QCOMPARE(row.aircraft.location, location);
    QCOMPARE(history.aircraft.location, location);
    QCOMPARE(row.locations.size(), history.locations.size());
    for (size_t i = 0; i < row.locations.size(); ++i) {
        QVERIFY(row.locations[i].lifeUsedPercent && history.locations[i].lifeUsedPercent);
        QVERIFY(close(*row.locations[i].lifeUsedPercent, *history.locations[i].lifeUsedPercent));
        if (row.locations[i].location != location)
            QVERIFY(*row.locations[i].lifeUsedPercent < row.usage.summed->lifeUsedPercent);
    }
    const DamageSums &sums = *history.periods.back().totalDamage;
    QVERIFY(row.usage.summed);
    const SummedDamage &summed = *row.usage.summed;
    QVERIFY2(close(summed.damage, sums.counted),
        qPrintable(QStringLiteral("%1 against %2").arg(summed.damage).arg(sums.counted)));
    QCOMPARE(summed.upper.has_value(), sums.upper.has_value());
    if (sums.upper)
        QVERIFY2(close(*summed.upper, *sums.upper),
            qPrintable(QStringLiteral("%1 against %2").arg(*summed.upper).arg(*sums.upper)));
    QVERIFY(close(summed.damagePer1000h, 1000 * sums.counted / history.usage.hours));

    ForecastInput input = ForecastInputOf(history);
    input.windowDays = windowDays;
    QVERIFY(row.forecast);
    const Forecast walked = ComputeForecast(input);
    QCOMPARE(forecastText(*row.forecast), forecastText(walked));
    QVERIFY(sameFigures(*row.forecast, walked));
}

void TestFleetFigures::fleetAsHistory_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QList<Dated>>("adds"); // each a file added on its own
    QTest::addColumn<qint64>("removed"); // a read-out removed after them; 0: none
    QTest::addColumn<bool>("typeChanged"); // the type's S-N data changed after them
    QTest::addColumn<bool>("separate");
    QTest::addColumn<int>("windowDays");
    QTest::addColumn<bool>("forecast"); // whether there is one
    QTest::addColumn<int>("critical"); // as located() takes it

    const QList<Dated> appended
        = {{"2024-01-01", {MadeUpTotals(1, 10)}}, {"2024-02-01", {MadeUpTotals(2, 20)}},
            {"2024-02-01", {MadeUpTotals(3, 25), MadeUpTotals(5, 40)}}};
    const QList<Dated> between
        = {{"2024-01-01", {MadeUpTotals(1, 10)}}, {"2024-04-01", {MadeUpTotals(6, 50)}},
            {"2024-02-01", {MadeUpTotals(2, 20), MadeUpTotals(3, 30)}}};
    const QList<Dated> unbounded = {{"2024-01-01", {MadeUpTotals(1, 10)}},
        {"2024-02-01", {MadeUpTotals(3, 30, true)}}, {"2024-04-01", {MadeUpTotals(5, 50, true)}}};
    const QList<Dated> oneDay = {{"2024-01-01", {MadeUpTotals(1, 10), MadeUpTotals(2, 20)}}};
    for (const char *engine : {"sqlite", "postgresql"}) {
        const auto row = [engine](const char *name) {
            return &(QTest::addRow("%s: %s", engine, name) << QString::fromLatin1(engine));
        };
        // 2024-06-01 less 100 days is 2024-02-22: the day of three starts at 2024-01-01, outside.
        *row("window through a day's first period")
            << FourDays << qint64(0) << false << false << 100 << true << 0;
        // Exactly on the day of three: its first period still starts before.
        *row("window starting on a day")
            << FourDays << qint64(0) << false << false << 92 << true << 0;
        *row("window before the first read-out")
            << FourDays << qint64(0) << false << false << 365 << true << 0;
        *row("window of the last day alone")
            << FourDays << qint64(0) << false << false << 1 << false << 0;
        *row("added to the last day")
            << appended << qint64(0) << false << false << 365 << true << 0;
        *row("added between kept read-outs")
            << between << qint64(0) << false << false << 365 << true << 0;
        *row("a read-out removed") << FourDays << qint64(3) << false << false << 100 << true << 0;
        *row("the first read-out removed")
            << FourDays << qint64(1) << false << false << 365 << true << 0;
        *row("the type's S-N data changed")
            << FourDays << qint64(0) << true << false << 100 << true << 0;
        *row("separate records") << FourDays << qint64(0) << false << true << 100 << true << 0;
        *row("no upper bound") << unbounded << qint64(0) << false << false << 365 << true << 0;
        *row("one day") << oneDay << qint64(0) << false << false << 365 << false << 0;
        // The fleet at the location of the largest life used, the history too.
        *row("at the second of two locations")
            << FourDays << qint64(0) << false << false << 100 << true << 1;
        *row("at the first of two locations")
            << FourDays << qint64(0) << false << false << 100 << true << 2;
        *row("two locations, added between")
            << between << qint64(0) << false << false << 365 << true << 1;
        *row("two locations, a read-out removed")
            << FourDays << qint64(3) << false << false << 100 << true << 1;
        *row("two locations, separate records")
            << FourDays << qint64(0) << false << true << 100 << true << 1;
        *row("two locations, no upper bound")
            << unbounded << qint64(0) << false << false << 365 << true << 1;
    }
}

void TestFleetFigures::fleetAsHistory()
{
    QFETCH(QString, engine);
    QFETCH(QList<Dated>, adds);
    QFETCH(qint64, removed);
    QFETCH(bool, typeChanged);
    QFETCH(bool, separate);
    QFETCH(int, windowDays);
    QFETCH(bool, forecast);
    QFETCH(int, critical);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const QString plane = QStringLiteral("D-EFLT");
    StructuralData structure = located(critical);
    QVERIFY(reg->setType(QStringLiteral("Zeta 2"), structure).ok());
    QVERIFY(reg->setAircraft({plane, QStringLiteral("Zeta 2"),
                                 separate ? CombineMode::Separate : CombineMode::Running, {}})
                .ok());
    for (const Dated &dated : adds) {
        const AddResult added = reg->add(plane,
            {{file(dated.records),
                QDate::fromString(QString::fromLatin1(dated.date), Qt::ISODate)}});
        QVERIFY2(added.ok(), qPrintable(added.message()));
    }
    if (removed)
        QVERIFY(reg->remove(plane, removed).ok());
    const double before = reg->fleet().aircraft.front().usage.summed->damage;
    if (typeChanged) {
        structure.damage = sn(75);
        QVERIFY(reg->setType(QStringLiteral("Zeta 2"), structure).ok());
        QVERIFY(reg->fleet().aircraft.front().usage.summed->damage > before);
    }
    const QString location = critical == 0 ? QString()
        : critical == 1                    ? QStringLiteral("fin")
                                           : QStringLiteral("wing root");
    compare(*reg, plane, windowDays, location);
    QCOMPARE(reg->fleet(std::nullopt, windowDays).aircraft.front().forecast->available, forecast);
}

void TestFleetFigures::hoursSinceInspection_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QDate>("inspection"); // invalid: none
    QTest::addColumn<double>("interval"); // flight hours
    QTest::addColumn<QString>("found"); // empty: nothing
    for (const char *engine : {"sqlite", "postgresql"}) {
        const auto row = [engine](const char *name) {
            return &(QTest::addRow("%s: %s", engine, name) << QString::fromLatin1(engine));
        };
        // The running totals reach 90 h; 60 h at 2024-05-01, 50 h at 2024-03-01.
        *row("no inspection") << QDate() << 90.0
                              << QStringLiteral(
                                     "inspection due: 90 h flown since the first "
                                     "read-out (no inspection recorded), the interval is 90 h");
        *row("an inspection on a day of read-outs")
            << QDate(2024, 3, 1) << 40.0
            << QStringLiteral("inspection due: 40 h flown since the inspection of 2024-03-01, the "
                              "interval is 40 h");
        *row("short of the interval") << QDate(2024, 3, 1) << 40.5 << QString();
        *row("an inspection between read-outs")
            << QDate(2024, 5, 15) << 30.0
            << QStringLiteral("inspection due: 30 h flown since the inspection of 2024-05-15, the "
                              "interval is 30 h");
        *row("an inspection after the last read-out") << QDate(2024, 7, 1) << 0.001 << QString();
    }
}

// The hours since an inspection are those of the periods that read-outs taken after it end.
void TestFleetFigures::hoursSinceInspection()
{
    QFETCH(QString, engine);
    QFETCH(QDate, inspection);
    QFETCH(double, interval);
    QFETCH(QString, found);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const QString plane = QStringLiteral("D-EINS");
    CheckSettings checks;
    checks.inspectionHours = interval;
    QVERIFY(reg->setAircraft({plane, {}, CombineMode::Running, {}, checks}).ok());
    for (const Dated &dated : FourDays)
        QVERIFY(reg->add(plane,
                       {{file(dated.records),
                           QDate::fromString(QString::fromLatin1(dated.date), Qt::ISODate)}})
                    .ok());
    if (inspection.isValid())
        QVERIFY(reg->recordInspection(plane, inspection).ok());
    const AircraftCheck check
        = reg->fleet(std::nullopt, 365, QDate(2024, 7, 2)).aircraft.front().check;
    QCOMPARE(check.text(), found);
    QCOMPARE(CheckStatusName(check.status),
        found.isEmpty() ? QStringLiteral("ok") : QStringLiteral("due"));
}

void TestFleetFigures::windowAtALocation_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("critical");
    QTest::addColumn<QString>("location");
    for (const char *engine : {"sqlite", "postgresql"}) {
        QTest::addRow("%s: the second location", engine) << engine << 1 << "fin";
        QTest::addRow("%s: the first location", engine) << engine << 2 << "wing root";
    }
}

// Over a window, the fleet's damage at the location shown is that of the history's periods
// taken in it at the same location.
void TestFleetFigures::windowAtALocation()
{
    QFETCH(QString, engine);
    QFETCH(int, critical);
    QFETCH(QString, location);
    const std::unique_ptr<Register> reg = open(fresh(engine));
    QVERIFY(reg);
    const QString plane = QStringLiteral("D-EWIN");
    QVERIFY(reg->setAircraft({plane, {}, CombineMode::Running, located(critical)}).ok());
    for (const Dated &dated : FourDays)
        QVERIFY(reg->add(plane,
                       {{file(dated.records),
                           QDate::fromString(QString::fromLatin1(dated.date), Qt::ISODate)}})
                    .ok());
    const QDate since(2024, 3, 1);
    const UsageListResult fleet = reg->fleet(since);
    QVERIFY2(fleet.ok(), qPrintable(fleet.message()));
    const AircraftUsage &row = fleet.aircraft.front();
    QCOMPARE(row.aircraft.location, location);
    const HistoryResult history = reg->history(plane, location);
    QVERIFY(history.ok());
    double counted = 0;
    double upper = 0;
    for (const HistoryPeriod &period : history.periods) {
        if (period.taken >= since) {
            counted += period.damage->counted;
            upper += period.damage->upper.value();
        }
    }
    QVERIFY(row.usage.summed && row.usage.summed->upper);
    QVERIFY2(close(row.usage.summed->damage, counted),
        qPrintable(QStringLiteral("%1 against %2").arg(row.usage.summed->damage).arg(counted)));
    QVERIFY(close(*row.usage.summed->upper, upper));
}

void TestFleetFigures::upgradeDerivesTheDamage_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("from");
    for (const char *engine : {"sqlite", "postgresql"}) {
        for (const int from : {3, 4})
            QTest::addRow("%s from version %d", engine, from)
                << QString::fromLatin1(engine) << from;
    }
}

// A register of the version before the days kept their damage: the upgrade derives it. One
// before the locations: they can be set after it.
void TestFleetFigures::upgradeDerivesTheDamage()
{
    QFETCH(QString, engine);
    QFETCH(int, from);
    const RegisterLocation location = fresh(engine);
    const QString plane = QStringLiteral("D-EOLD");
    {
        const std::unique_ptr<Register> reg = open(location);
        QVERIFY(reg);
        StructuralData structure;
        structure.damage = sn(60);
        QVERIFY(reg->setAircraft({plane, {}, CombineMode::Running, structure}).ok());
        for (const Dated &dated : FourDays)
            QVERIFY(reg->add(plane,
                           {{file(dated.records),
                               QDate::fromString(QString::fromLatin1(dated.date), Qt::ISODate)}})
                        .ok());
    }
    {
        const QString name = QStringLiteral("raw");
        QSqlDatabase db = QSqlDatabase::addDatabase(
            engine == QLatin1String("sqlite") ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
            name);
        db.setDatabaseName(engine == QLatin1String("sqlite") ? location.path : location.database);
        db.setHostName(location.host);
        db.setUserName(location.user);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QString failed;
        QVERIFY2(
            from == 3 ? DowngradeToVersion3(query, failed) : DowngradeToVersion4(query, failed),
            qPrintable(failed));
        query.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    RegisterOptions options;
    options.user = QStringLiteral("tester");
    OpenedRegister opened = Register::open(location, Register::Access::Read, options);
    QVERIFY2(opened.ok(), qPrintable(opened.message()));
    QCOMPARE(opened.upgradedFrom, std::optional<int>(from));
    compare(*opened.reg, plane, 100);
    opened.reg.reset();
    // What version 4 added beside the damage is there to use.
    const std::unique_ptr<Register> writer = open(location);
    QVERIFY(writer);
    CheckSettings checks;
    checks.inspectionDays = 10;
    QVERIFY(writer->setAircraft({plane, {}, {}, {}, checks}).ok());
    QVERIFY(writer->recordInspection(plane, QDate(2024, 6, 2)).ok());
    const AircraftUsage row = writer->fleet(std::nullopt, 365, QDate(2024, 6, 12)).aircraft.front();
    QCOMPARE(CheckStatusName(row.check.status), QStringLiteral("due"));
    QVERIFY(writer->setAircraft({plane, {}, {}, located(1)}).ok());
    compare(*writer, plane, 100, QStringLiteral("fin"));
}

QTEST_GUILESS_MAIN(TestFleetFigures)
#include "tst_fleetfigures.moc"
