#include "LifeTrend.h"

#include "TextFields.h"

#include <algorithm>
#include <cmath>

namespace {
// A reason as the end of a sentence: its own full stop kept, one added where it has none.
QString sentenceEnd(const QString &reason)
{
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

// Where the forecast of one estimate reaches its thresholds, or the note why it has none.
void addForecast(LifeTrend &trend, const EstimateForecast &estimate)
{
    const TrendLine line
        = estimate.estimate == Estimate::Counted ? TrendLine::Counted : TrendLine::Upper;
    if (!estimate.available) {
        trend.missing << QStringLiteral("No forecast of the %1 estimate: %2")
                             .arg(EstimateName(estimate.estimate), sentenceEnd(estimate.reason));
        return;
    }
    for (const ThresholdForecast &threshold : estimate.thresholds) {
        if (threshold.reached || !threshold.atHours || !std::isfinite(*threshold.atHours))
            continue;
        trend.chart.forecasts << TrendForecast {
            line, threshold.percent, *threshold.atHours, threshold.date.value_or(QDate())};
    }
}
} // namespace

LifeTrend LifeTrendOf(
    const HistoryResult &history, const Forecast &forecast, const std::vector<double> &thresholds)
{
    LifeTrend trend;
    TrendChartData &data = trend.chart;
    const std::optional<DamageParameters> &damage = history.aircraft.structure().damage;
    const double sf = damage ? damage->scatterFactor : 1;
    // The hours before the recorder start the lines where the forecast counts them.
    const std::optional<PriorHours> &prior = forecast.prior;
    const double priorHours = prior ? prior->hours : 0;
    for (const HistoryPeriod &period : history.periods) {
        if (!period.totalDamage)
            continue;
        const DamageSums &sums = *period.totalDamage;
        TrendPoint point {period.totalHours + priorHours, period.taken,
            LifeUsedPercent(sums.counted + (prior ? prior->damage(Estimate::Counted) : 0), sf), {}};
        if (sums.upper)
            point.upper
                = LifeUsedPercent(*sums.upper + (prior ? prior->damage(Estimate::Upper) : 0), sf);
        data.points << point;
    }
    if (prior)
        data.notes << QStringLiteral("With %1 h flown before the recorder was fitted.")
                          .arg(ShortNumber(prior->hours));
    // A period whose damage was refused ends the sums: the read-outs from it on are not drawn.
    const auto refused = std::find_if(history.periods.cbegin(), history.periods.cend(),
        [](const HistoryPeriod &period) { return period.damage && !period.damage->ok(); });
    if (refused != history.periods.cend())
        trend.missing << QStringLiteral("No life used from the read-out of %1 on: %2")
                             .arg(refused->taken.toString(Qt::ISODate),
                                 sentenceEnd(refused->damage->message()));
    for (const double percent : thresholds)
        data.thresholds << TrendThreshold {percent, ShortNumber(percent) + QStringLiteral(" %")};
    const QString first
        = history.periods.empty() ? QString() : history.periods.front().taken.toString(Qt::ISODate);
    const QString last
        = history.periods.empty() ? QString() : history.periods.back().taken.toString(Qt::ISODate);
    const QString at = history.aircraft.location.isEmpty()
        ? QString()
        : QStringLiteral(" at \"%1\"").arg(history.aircraft.location);
    data.caption = QStringLiteral("%1, life used%2 of %3 read-out(s) taken %4 to %5, SF %6")
                       .arg(history.aircraft.registration, at)
                       .arg(history.periods.size())
                       .arg(first, last, ShortNumber(sf));
    if (!history.periods.empty() && history.periods.back().totalDamage
        && !history.periods.back().totalDamage->upper)
        trend.missing << QStringLiteral("No upper bound: %1")
                             .arg(
                                 sentenceEnd(history.periods.back().totalDamage->upperUnavailable));
    if (!forecast.available) {
        // The reason says "no forecast" itself: made the sentence's start.
        QString reason = sentenceEnd(forecast.reason);
        if (!reason.isEmpty())
            reason[0] = reason[0].toUpper();
        trend.missing << reason;
        data.notes += trend.missing;
        return trend;
    }
    data.notes << QStringLiteral(
        "Forecast at %1 h per day and the damage rate of the %2 days to %3.")
                      .arg(ShortNumber(forecast.hoursPerDay))
                      .arg(forecast.days)
                      .arg(forecast.windowEnd.toString(Qt::ISODate));
    for (const EstimateForecast &estimate : forecast.estimates) {
        // The upper estimate's absence is said once, as no upper bound, where that is why.
        if (estimate.estimate == Estimate::Upper && !estimate.available && !data.points.isEmpty()
            && !data.points.last().upper)
            continue;
        addForecast(trend, estimate);
    }
    data.notes += trend.missing;
    return trend;
}
