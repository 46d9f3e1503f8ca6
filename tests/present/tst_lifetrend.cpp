#include "ForecastOutput.h"
#include "LifeTrend.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QTest>

// The trend chart's data from a made-up history and forecast: round numbers, not real data.

namespace {
// Three read-outs 100 h apart; SF 8; D of 0.01 a period counted, 0.02 upper (none from the third
// on without an upper bound).
HistoryResult history(bool upper)
{
    HistoryResult history;
    history.aircraft.registration = QStringLiteral("SP-ZET");
    DamageParameters damage;
    damage.scatterFactor = 8;
    history.aircraft.own.damage = damage;
    DamageSums sums;
    for (int i = 1; i <= 3; ++i) {
        HistoryPeriod period;
        period.taken = QDate(2026, 1, 1).addDays(30 * i);
        period.totalHours = 100.0 * i;
        PeriodDamage d;
        d.counted = 0.01;
        if (upper || i < 3)
            d.upper = 0.02;
        else
            d.upperUnavailable = QStringLiteral("a peak beyond 4.0 g");
        sums.add(d);
        period.totalDamage = sums;
        history.periods.push_back(period);
    }
    return history;
}

ThresholdForecast threshold(
    double percent, bool reached, std::optional<double> atHours, std::optional<QDate> date)
{
    return {percent, reached, atHours, atHours, date};
}

Forecast forecast(bool available, bool upper)
{
    Forecast f;
    f.available = available;
    f.reason = QStringLiteral("no forecast from fewer than two read-outs");
    f.hoursPerDay = 2;
    f.days = 60;
    f.windowEnd = QDate(2026, 3, 31);
    f.estimates[0] = {Estimate::Counted, true, {}, 0.03, 24, 0.02, 1e-4,
        {threshold(50, false, 900, QDate(2027, 1, 1)), threshold(80, false, 1500, std::nullopt),
            threshold(100, false, std::nullopt, std::nullopt)}};
    f.estimates[1] = {Estimate::Upper, upper,
        upper ? QString() : QStringLiteral("a peak beyond 4.0 g"), 0.06, 48, 0.04, 2e-4,
        {threshold(50, true, 0, QDate(2026, 3, 31)), threshold(80, false, 700, QDate(2026, 9, 1)),
            threshold(100, false, 1000, QDate(2027, 2, 1))}};
    return f;
}
} // namespace

class TestLifeTrend : public QObject
{
    Q_OBJECT
private slots:
    void trend_data();
    void trend();
    void refusedDamage();
    void priorHours();
    void summaryCountsPriorHours();
};

void TestLifeTrend::trend_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("upper");
    // (estimate: 0 counted, 1 upper; threshold %, hours) of each forecast line.
    QTest::addColumn<QList<QList<double>>>("lines");
    QTest::addColumn<QStringList>("missing");
    QTest::newRow("both estimates: reached and rate-0 thresholds left out")
        << true << true
        << QList<QList<double>> {{0, 50, 900}, {0, 80, 1500}, {1, 80, 700}, {1, 100, 1000}}
        << QStringList {};
    QTest::newRow("no upper bound: said once, its forecast left out")
        << true << false << QList<QList<double>> {{0, 50, 900}, {0, 80, 1500}}
        << QStringList {QStringLiteral("No upper bound: a peak beyond 4.0 g.")};
    QTest::newRow("no forecast: its own reason")
        << false << true << QList<QList<double>> {}
        << QStringList {QStringLiteral("No forecast from fewer than two read-outs.")};
}

// Each read-out's life used of both estimates, the thresholds, a forecast line to each threshold
// not yet reached at a rate above 0, and what is not drawn said.
void TestLifeTrend::trend()
{
    QFETCH(bool, available);
    QFETCH(bool, upper);
    QFETCH(QList<QList<double>>, lines);
    QFETCH(QStringList, missing);
    const LifeTrend trend = LifeTrendOf(history(upper), forecast(available, upper), {50, 80, 100});
    const TrendChartData &chart = trend.chart;
    QCOMPARE(chart.points.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(chart.points[i].hours, 100.0 * (i + 1));
        QCOMPARE(chart.points[i].counted, 8.0 * (i + 1)); // 100 %·8·ΣD
        QCOMPARE(chart.points[i].upper.has_value(), upper || i < 2);
    }
    QCOMPARE(chart.thresholds.size(), 3);
    QCOMPARE(chart.thresholds[2].label, QStringLiteral("100 %"));
    QCOMPARE(chart.forecasts.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TrendForecast &line = chart.forecasts[i];
        QCOMPARE(int(line.line), int(lines[i][0]));
        QCOMPARE(line.percent, lines[i][1]);
        QCOMPARE(line.hours, lines[i][2]);
    }
    // A date after the year 9999: the hours kept, no date.
    if (!lines.isEmpty())
        QVERIFY(!chart.forecasts[1].date.isValid() && chart.forecasts[0].date.isValid());
    QCOMPARE(trend.missing, missing);
    for (const QString &line : missing)
        QVERIFY(chart.notes.contains(line));
    QVERIFY(chart.caption.startsWith(QStringLiteral("SP-ZET, life used of 3 read-out(s)")));
}

// A period whose damage is refused ends the sums: the read-outs before it drawn, why said.
void TestLifeTrend::refusedDamage()
{
    HistoryResult refused = history(true);
    refused.periods[1].damage = PeriodDamage();
    refused.periods[1].damage->setFailure(Result::Invalid, QStringLiteral("a mean stress at S_u"));
    refused.periods[1].totalDamage.reset();
    refused.periods[2].totalDamage.reset();
    const LifeTrend trend = LifeTrendOf(refused, forecast(false, false), {50, 80, 100});
    QCOMPARE(trend.chart.points.size(), 1);
    QCOMPARE(trend.missing.first(),
        QStringLiteral("No life used from the read-out of 2026-03-02 on: a mean stress at S_u."));
    QVERIFY(trend.chart.notes.contains(trend.missing.first()));
}

// Hours before the recorder start both lines where the forecast counts them: 500 h at a D of
// 0.005 counted and 0.01 upper per 1000 h add 500 h and SF · 0.0025 (0.005 upper) of life.
void TestLifeTrend::priorHours()
{
    Forecast withPrior = forecast(true, true);
    withPrior.prior = PriorHours {500, 0.005, 0.01};
    const LifeTrend trend = LifeTrendOf(history(true), withPrior, {50, 80, 100});
    const LifeTrend without = LifeTrendOf(history(true), forecast(true, true), {50, 80, 100});
    QCOMPARE(trend.chart.points.size(), without.chart.points.size());
    for (qsizetype i = 0; i < trend.chart.points.size(); ++i) {
        QCOMPARE(trend.chart.points[i].hours, without.chart.points[i].hours + 500);
        QCOMPARE(trend.chart.points[i].counted, without.chart.points[i].counted + 800 * 0.0025);
        QCOMPARE(*trend.chart.points[i].upper, *without.chart.points[i].upper + 800 * 0.005);
    }
    QVERIFY(trend.chart.notes.contains(
        QStringLiteral("With 500 h flown before the recorder was fitted.")));
}

// The report's summary says life used as the fleet does: with the hours before the recorder.
void TestLifeTrend::summaryCountsPriorHours()
{
    Forecast withPrior = forecast(true, true);
    withPrior.prior = PriorHours {500, 0.005, 0.01};
    QCOMPARE(HistorySummaryLines(history(true), withPrior).first(),
        QStringLiteral("Life used (100 %·SF·ΣD of the periods and of the 500 h before the "
                       "recorder): 26 % counted, 52 % upper."));
    QCOMPARE(HistorySummaryLines(history(true), forecast(true, true)).first(),
        QStringLiteral("Life used (100 %·SF·ΣD of the periods): 24 % counted, 48 % upper."));
}

ZEMRA_TEST_MAIN(TestLifeTrend)

#include "tst_lifetrend.moc"
