#include "LifeOverTime.h"

#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(LevelCounts)
Q_DECLARE_METATYPE(ForecastInput)

namespace {
LevelCounts demoCounts()
{
    LevelCounts counts {};
    std::copy_n(DemonstrationRecord.begin(), LevelCount, counts.begin());
    return counts;
}

int levelOf(double n)
{
    return *LevelAt(n);
}

DamageParameters parameters()
{
    DamageParameters p;
    p.stressPerG = 50, p.slope = 5, p.enduranceStress = 60, p.enduranceCycles = 2e6;
    p.ultimateStrength = 450;
    p.maxLoadPositive = 5.7, p.maxLoadNegative = -2.28;
    return p;
}

PeriodDamage damageOf(double counted, std::optional<double> upper)
{
    PeriodDamage damage;
    damage.counted = counted;
    damage.upper = upper;
    if (!upper)
        damage.upperUnavailable = QStringLiteral("no maximum load");
    return damage;
}

// Hand-worked: D 1/1024 to 2026-01-01 (16 h), then 1/256 over 32 days (32 h) and 1/128 over the
// next 32 days (32 h). SF 8: 50 % is D = 1/16.
ForecastInput threePeriods(std::optional<double> lastUpper = 1.0 / 128)
{
    ForecastInput input;
    input.scatterFactor = 8;
    input.periods = {
        {QDate(), QDate(2026, 1, 1), 16, damageOf(1.0 / 1024, 1.0 / 1024)},
        {QDate(2026, 1, 1), QDate(2026, 2, 2), 32, damageOf(1.0 / 256, 1.0 / 256)},
        {QDate(2026, 2, 2), QDate(2026, 3, 6), 32, damageOf(1.0 / 128, lastUpper)},
    };
    return input;
}
} // namespace

class TestLifeOverTime : public QObject
{
    Q_OBJECT

private slots:
    void limitBounds_data();
    void limitBounds();
    void limitBoundsWithoutLimits();
    void limitBoundsOfPeriodsAdd();
    void periodDamageAddsUp();
    void upperSumStopsWhereAPeriodHasNone();
    void hoursPer30Days_data();
    void hoursPer30Days();
    void forecast_data();
    void forecast();
    void forecastRefused_data();
    void forecastRefused();
    void forecastThresholdReachedOrNever();
};

void TestLifeOverTime::limitBounds_data()
{
    QTest::addColumn<LevelCounts>("counts");
    QTest::addColumn<double>("limit");
    QTest::addColumn<int>("lowerLevel"); // -1: none
    QTest::addColumn<qint64>("atLeast");
    QTest::addColumn<qint64>("atMost"); // -1: no upper bound
    QTest::addColumn<QString>("range");

    // The demonstration record: 4.0 g 1, 3.4 g 2; -2.0 g 1, -1.4 g 2, -0.6 g 2480, 1.4 g 2533.
    const LevelCounts demo = demoCounts();
    QTest::newRow("normal +3.8 g")
        << demo << 3.8 << levelOf(4.0) << qint64(1) << qint64(2) << "1–2";
    QTest::newRow("utility +4.4 g") << demo << 4.4 << -1 << qint64(0) << qint64(1) << "0–1";
    QTest::newRow("aerobatic +6.0 g") << demo << 6.0 << -1 << qint64(0) << qint64(1) << "0–1";
    QTest::newRow("at a level, 4.0 g")
        << demo << 4.0 << levelOf(4.0) << qint64(1) << qint64(2) << "1–2";
    QTest::newRow("inside 1.4 g") << demo << 1.2 << levelOf(1.4) << qint64(2533) << qint64(-1)
                                  << "≥ 2533";
    QTest::newRow("normal -1.52 g")
        << demo << -1.52 << levelOf(-2.0) << qint64(1) << qint64(2) << "1–2";
    QTest::newRow("utility -1.76 g")
        << demo << -1.76 << levelOf(-2.0) << qint64(1) << qint64(2) << "1–2";
    QTest::newRow("aerobatic -3.0 g") << demo << -3.0 << -1 << qint64(0) << qint64(1) << "0–1";
    QTest::newRow("inside -0.6 g")
        << demo << -0.5 << levelOf(-0.6) << qint64(2480) << qint64(-1) << "≥ 2480";
    // A count further out than the level short of the limit raises that bound.
    LevelCounts inconsistent {};
    inconsistent[levelOf(3.4)] = 1;
    inconsistent[levelOf(4.0)] = 5;
    QTest::newRow("inconsistent") << inconsistent << 3.8 << levelOf(4.0) << qint64(5) << qint64(5)
                                  << "5";
    QTest::newRow("nothing counted")
        << LevelCounts {} << 3.8 << levelOf(4.0) << qint64(0) << qint64(0) << "0";
}

void TestLifeOverTime::limitBounds()
{
    QFETCH(LevelCounts, counts);
    QFETCH(double, limit);
    QFETCH(int, lowerLevel);
    QFETCH(qint64, atLeast);
    QFETCH(qint64, atMost);
    QFETCH(QString, range);
    const Branch branch = limit > 0 ? Branch::Positive : Branch::Negative;
    const LimitBound bound = BoundLimitExceedances(counts, branch, limit);
    QCOMPARE(bound.lowerLevel.value_or(-1), lowerLevel);
    QCOMPARE(bound.atLeast, atLeast);
    QCOMPARE(bound.atMost.value_or(-1), atMost);
    QCOMPARE(LimitBoundRange(bound), range);
    // The text names the levels the bounds come from.
    const QString text = LimitBoundText(bound);
    if (bound.upperLevel)
        QVERIFY2(text.contains(QStringLiteral("at most %1 (Nc at %2")
                                   .arg(atMost)
                                   .arg(LevelName(*bound.upperLevel))),
            qPrintable(text));
    else
        QVERIFY2(text.contains(QLatin1String("no upper bound")), qPrintable(text));
}

void TestLifeOverTime::limitBoundsWithoutLimits()
{
    const LimitBounds bounds = BoundLimitExceedances(demoCounts(), std::nullopt);
    QVERIFY(!bounds.positive && !bounds.negative);
    QCOMPARE(bounds.atTopPositive, 1);
    QCOMPARE(bounds.atTopNegative, 1);
    QCOMPARE(LimitBoundsText(bounds),
        QStringLiteral("No limit loads given: 1 reached the top level 4.0 g, 1 reached the top "
                       "level -2.0 g."));
    QCOMPARE(LimitBoundsText(BoundLimitExceedances(LevelCounts {}, std::nullopt)), QString());
    // With limits that nothing can have exceeded, nothing is said.
    LevelCounts low {};
    low[levelOf(1.4)] = 10;
    low[levelOf(-0.6)] = 10;
    QCOMPARE(LimitBoundsText(BoundLimitExceedances(low, LimitLoads {3.8, -1.52})), QString());
}

void TestLifeOverTime::limitBoundsOfPeriodsAdd()
{
    // A period whose 4.0 g count is above its 3.4 g count bounds itself by the 4.0 g count; the
    // bounds of the summed counts would lose that (at most 6 here, where 7 are possible).
    LevelCounts inconsistent {};
    inconsistent[levelOf(3.4)] = 1;
    inconsistent[levelOf(4.0)] = 5;
    inconsistent[levelOf(-2.0)] = 3;
    const LimitLoads limits {3.8, -3.0};
    LimitBounds total = BoundLimitExceedances(LevelCounts {}, limits);
    total.add(BoundLimitExceedances(inconsistent, limits));
    total.add(BoundLimitExceedances(demoCounts(), limits));
    QCOMPARE(total.positive->atLeast, 6);
    QCOMPARE(*total.positive->atMost, 7);
    QVERIFY(total.positive->raised);
    QCOMPARE(total.negative->atLeast, 0);
    QCOMPARE(*total.negative->atMost, 4);
    QCOMPARE(total.atTopPositive, 6);
}

void TestLifeOverTime::periodDamageAddsUp()
{
    const LevelCounts demo = demoCounts();
    LevelCounts light {};
    light[levelOf(1.4)] = 40, light[levelOf(2.0)] = 5, light[levelOf(-0.6)] = 30;
    const DamageParameters p = parameters();
    DamageSums sums;
    double counted = 0, upper = 0;
    for (const LevelCounts &counts : {demo, light, demo}) {
        const PeriodDamage period = ComputePeriodDamage(counts, p);
        QVERIFY2(period.ok(), qPrintable(period.message()));
        // The period's hours do not enter D: the whole analysis at any T gives the same.
        const DamageResult whole = ComputeDamage(counts, 252.167, p);
        QCOMPARE(period.counted, whole.counted.damage);
        QCOMPARE(*period.upper, whole.upper.damage);
        sums.add(period);
        counted += whole.counted.damage;
        upper += whole.upper.damage;
    }
    QCOMPARE(sums.counted, counted);
    QCOMPARE(*sums.upper, upper);
    QCOMPARE(LifeUsedPercent(sums.counted, 8), 800 * counted);
}

void TestLifeOverTime::upperSumStopsWhereAPeriodHasNone()
{
    DamageParameters p = parameters();
    p.maxLoadPositive.reset();
    const PeriodDamage beyondTop = ComputePeriodDamage(demoCounts(), p);
    QVERIFY(beyondTop.ok());
    QVERIFY(!beyondTop.upper);
    QVERIFY(!beyondTop.upperUnavailable.isEmpty());
    LevelCounts light {};
    light[levelOf(1.4)] = 4, light[levelOf(-0.6)] = 4;
    DamageSums sums;
    sums.add(ComputePeriodDamage(light, p));
    QVERIFY(sums.upper);
    sums.add(beyondTop);
    sums.add(ComputePeriodDamage(light, p));
    QVERIFY(!sums.upper);
    QCOMPARE(sums.upperUnavailable, beyondTop.upperUnavailable);
    QCOMPARE(sums.counted, 2 * ComputePeriodDamage(light, p).counted + beyondTop.counted);
}

void TestLifeOverTime::hoursPer30Days_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("taken");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("expected"); // -1: none
    QTest::newRow("30 days") << QDate(2026, 1, 1) << QDate(2026, 1, 31) << 15.0 << 15.0;
    QTest::newRow("60 days") << QDate(2026, 1, 1) << QDate(2026, 3, 2) << 15.0 << 7.5;
    QTest::newRow("first read-out") << QDate() << QDate(2026, 1, 31) << 15.0 << -1.0;
    QTest::newRow("same day") << QDate(2026, 1, 31) << QDate(2026, 1, 31) << 15.0 << -1.0;
}

void TestLifeOverTime::hoursPer30Days()
{
    QFETCH(QDate, from);
    QFETCH(QDate, taken);
    QFETCH(double, hours);
    QFETCH(double, expected);
    QCOMPARE(HoursPer30Days(hours, from, taken).value_or(-1), expected);
}

void TestLifeOverTime::forecast_data()
{
    QTest::addColumn<int>("windowDays");
    QTest::addColumn<double>("priorHours"); // 0: none
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("lifeUsed");
    QTest::addColumn<double>("hoursTo50");
    QTest::addColumn<double>("hoursAt50");
    QTest::addColumn<QDate>("dateOf50");

    // Both periods after the first: 64 h in 64 days, ΣD 3/256: rate 3/16384 per h; life used
    // 800 · 13/1024 = 10.15625 %; (1/16 − 13/1024) / (3/16384) = 272 h, at 1 h a day.
    QTest::newRow("a year, whole history")
        << 365 << 0.0 << 3.0 / 16384 << 10.15625 << 272.0 << 352.0 << QDate(2026, 12, 3);
    // The last period alone: 32 h in 32 days, D 1/128: rate 1/4096; (51/1024) · 4096 = 204 h.
    QTest::newRow("32 days") << 32 << 0.0 << 1.0 / 4096 << 10.15625 << 204.0 << 284.0
                             << QDate(2026, 9, 26);
    // 1000 h before the recorder at D per 1000 h 3/1024: ΣD 16/1024, 12.5 %; 48/1024 left:
    // 256 h, at 1080 + 256 h.
    QTest::newRow("prior hours") << 365 << 1000.0 << 3.0 / 16384 << 12.5 << 256.0 << 1336.0
                                 << QDate(2026, 11, 17);
}

void TestLifeOverTime::forecast()
{
    QFETCH(int, windowDays);
    QFETCH(double, priorHours);
    QFETCH(double, rate);
    QFETCH(double, lifeUsed);
    QFETCH(double, hoursTo50);
    QFETCH(double, hoursAt50);
    QFETCH(QDate, dateOf50);
    ForecastInput input = threePeriods();
    input.windowDays = windowDays;
    if (priorHours > 0)
        input.prior = PriorHours {priorHours, 3.0 / 1024, std::nullopt};
    const Forecast forecast = ComputeForecast(input);
    QVERIFY2(forecast.available, qPrintable(forecast.reason));
    QCOMPARE(forecast.hoursPerDay, 1.0);
    for (const EstimateForecast &estimate : forecast.estimates) {
        QVERIFY2(estimate.available, qPrintable(estimate.reason));
        QCOMPARE(estimate.ratePerHour, rate);
        QCOMPARE(estimate.lifeUsedPercent, lifeUsed);
        QCOMPARE(estimate.thresholds.size(), size_t(3));
        const ThresholdForecast &half = estimate.thresholds[0];
        QCOMPARE(half.percent, 50.0);
        QVERIFY(!half.reached);
        QCOMPARE(*half.hoursToGo, hoursTo50);
        QCOMPARE(*half.atHours, hoursAt50);
        QCOMPARE(*half.date, dateOf50);
        // 100 % lies further on at the same rate.
        QVERIFY(*estimate.thresholds[2].hoursToGo > *estimate.thresholds[1].hoursToGo);
    }
    const QStringList text = ForecastText(forecast, input.scatterFactor);
    QVERIFY2(text.join('\n').contains(dateOf50.toString(Qt::ISODate)), qPrintable(text.join('\n')));
    QCOMPARE(
        text.join('\n').contains(QLatin1String("before the recorder was fitted")), priorHours > 0);
}

void TestLifeOverTime::forecastRefused_data()
{
    QTest::addColumn<ForecastInput>("input");
    QTest::addColumn<QString>("reason");
    ForecastInput one = threePeriods();
    one.periods.resize(1);
    QTest::newRow("one read-out") << one << "fewer than two read-outs";
    ForecastInput sameDay = threePeriods();
    sameDay.periods.resize(2);
    sameDay.periods[1].taken = sameDay.periods[1].from;
    QTest::newRow("one day") << sameDay << "span no day";
    ForecastInput idle = threePeriods();
    idle.periods[1].hours = idle.periods[2].hours = 0;
    QTest::newRow("no hours") << idle << "no flight hours from 2026-01-01 to 2026-03-06";
}

void TestLifeOverTime::forecastRefused()
{
    QFETCH(ForecastInput, input);
    QFETCH(QString, reason);
    const Forecast forecast = ComputeForecast(input);
    QVERIFY(!forecast.available);
    QVERIFY2(forecast.reason.contains(reason), qPrintable(forecast.reason));
    for (const EstimateForecast &estimate : forecast.estimates)
        QVERIFY(!estimate.available);
}

void TestLifeOverTime::forecastThresholdReachedOrNever()
{
    // 10 % of the life used already, no damage in the window: a threshold below is reached,
    // the others never are at this rate; the upper bound is missing in one period.
    ForecastInput input = threePeriods(std::nullopt);
    input.thresholds = {5, 50};
    input.periods[1].damage = damageOf(0, 0.0);
    input.periods[2].damage = damageOf(0, std::nullopt);
    input.periods[0].damage = damageOf(1.0 / 80, 1.0 / 80);
    const Forecast forecast = ComputeForecast(input);
    QVERIFY(forecast.available);
    const EstimateForecast &counted = forecast.estimates[0];
    QVERIFY(counted.available);
    QCOMPARE(counted.ratePerHour, 0.0);
    QVERIFY(counted.thresholds[0].reached);
    QVERIFY(!counted.thresholds[1].reached);
    QVERIFY(!counted.thresholds[1].hoursToGo);
    const EstimateForecast &upper = forecast.estimates[1];
    QVERIFY(!upper.available);
    QCOMPARE(upper.reason, QStringLiteral("no maximum load"));
    const QString text = ForecastText(forecast, 8).join('\n');
    QVERIFY2(text.contains(QLatin1String("5 %: reached")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("50 %: not reached at a rate of 0")), qPrintable(text));
    QVERIFY2(
        text.contains(QLatin1String("upper estimate: none: no maximum load")), qPrintable(text));

    // At a rate so low that the date lies beyond the year 9999 (about 8,000 years on), the hours
    // stand without one.
    ForecastInput slow = threePeriods();
    slow.windowDays = 32;
    slow.periods[1].damage = damageOf(0, 0.0);
    slow.periods[2].damage = damageOf(6.67e-7, 6.67e-7); // about 2.95e6 days to go
    const Forecast far = ComputeForecast(slow);
    QVERIFY(far.estimates[0].thresholds[0].hoursToGo);
    QVERIFY(!far.estimates[0].thresholds[0].date);
    QVERIFY(ForecastText(far, 8).join('\n').contains(QLatin1String("after the year 9999")));
}

QTEST_GUILESS_MAIN(TestLifeOverTime)

#include "tst_lifeovertime.moc"
