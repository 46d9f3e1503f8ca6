#include "LifeOverTime.h"

#include "TextFields.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
EstimateForecast forecastEstimate(const ForecastSums::Damage &damage, Estimate estimate,
    const Forecast &forecast, const ForecastInput &settings)
{
    EstimateForecast out;
    out.estimate = estimate;
    if (!damage.toDate) {
        out.reason = damage.reason;
        return out;
    }
    const double total = *damage.toDate + (settings.prior ? settings.prior->damage(estimate) : 0);
    out.damageToDate = total;
    out.lifeUsedPercent = LifeUsedPercent(total, settings.scatterFactor);
    out.damageInWindow = damage.inWindow;
    out.ratePerHour = out.damageInWindow / forecast.hoursInWindow;
    out.available = true;
    for (double percent : settings.thresholds) {
        ThresholdForecast threshold;
        threshold.percent = percent;
        const double damageThen = percent / (100 * settings.scatterFactor);
        threshold.reached = total >= damageThen;
        if (!threshold.reached && out.ratePerHour > 0) {
            const double hours = (damageThen - total) / out.ratePerHour;
            threshold.hoursToGo = hours;
            threshold.atHours = forecast.hoursToDate + hours;
            const double days = std::ceil(hours / forecast.hoursPerDay);
            // Beyond the year 9999 (a very low rate), the hours still stand without a date.
            const QDate last(9999, 12, 31);
            if (days <= double(forecast.windowEnd.daysTo(last)))
                threshold.date = forecast.windowEnd.addDays(qint64(days));
        }
        out.thresholds.push_back(threshold);
    }
    return out;
}
} // namespace

ForecastSums SumForecastPeriods(const ForecastInput &input)
{
    ForecastSums sums;
    sums.readouts = qint64(input.periods.size());
    if (input.periods.empty())
        return sums;
    sums.lastTaken = input.periods.back().taken;
    // The periods that lie wholly within the window: from a read-out on or after its start.
    const QDate start = sums.lastTaken.addDays(-qint64(input.windowDays));
    for (ForecastSums::Damage &damage : sums.damage)
        damage.toDate = 0.0;
    for (const ForecastPeriod &period : input.periods) {
        sums.hoursToDate += period.hours;
        const bool inWindow = period.from.isValid() && period.from >= start;
        if (inWindow) {
            if (!sums.windowStart.isValid() || period.from < sums.windowStart)
                sums.windowStart = period.from;
            ++sums.periods;
            sums.hoursInWindow += period.hours;
        }
        for (const Estimate estimate : {Estimate::Counted, Estimate::Upper}) {
            ForecastSums::Damage &damage = sums.damage[size_t(estimate)];
            if (!damage.toDate)
                continue;
            const std::optional<double> value = period.damage.of(estimate);
            if (!period.damage.ok() || !value) {
                damage.toDate.reset();
                damage.reason
                    = period.damage.ok() ? period.damage.upperUnavailable : period.damage.message();
                continue;
            }
            *damage.toDate += *value;
            if (inWindow)
                damage.inWindow += *value;
        }
    }
    return sums;
}

Forecast ForecastFromSums(const ForecastSums &sums, const ForecastInput &settings)
{
    Forecast forecast;
    forecast.windowDays = settings.windowDays;
    forecast.estimates[0].estimate = Estimate::Counted;
    forecast.estimates[1].estimate = Estimate::Upper;
    const auto none = [&forecast](const QString &reason) {
        forecast.reason = reason;
        for (EstimateForecast &estimate : forecast.estimates)
            estimate.reason = reason;
        return forecast;
    };
    forecast.prior = settings.prior;
    if (sums.readouts < 2)
        return none(QStringLiteral("no forecast from fewer than two read-outs"));
    forecast.hoursToDate = sums.hoursToDate;
    if (settings.prior)
        forecast.hoursToDate += settings.prior->hours;
    forecast.windowEnd = sums.lastTaken;
    forecast.windowStart = sums.windowStart;
    forecast.periods = int(sums.periods);
    forecast.hoursInWindow = sums.hoursInWindow;
    if (sums.windowStart.isValid())
        forecast.days = int(sums.windowStart.daysTo(sums.lastTaken));
    if (forecast.periods == 0 || forecast.days <= 0)
        return none(QStringLiteral("no forecast: the read-outs of the last %1 days span no day")
                        .arg(settings.windowDays));
    if (!(forecast.hoursInWindow > 0))
        return none(QStringLiteral("no forecast: no flight hours from %1 to %2")
                        .arg(forecast.windowStart.toString(Qt::ISODate),
                            forecast.windowEnd.toString(Qt::ISODate)));
    forecast.hoursPerDay = forecast.hoursInWindow / forecast.days;
    forecast.available = true;
    for (const Estimate estimate : {Estimate::Counted, Estimate::Upper})
        forecast.estimates[size_t(estimate)]
            = forecastEstimate(sums.damage[size_t(estimate)], estimate, forecast, settings);
    return forecast;
}

Forecast ComputeForecast(const ForecastInput &input)
{
    return ForecastFromSums(SumForecastPeriods(input), input);
}

const ThresholdForecast *NextThreshold(const EstimateForecast &estimate)
{
    for (const ThresholdForecast &threshold : estimate.thresholds) {
        if (!threshold.reached)
            return &threshold;
    }
    return nullptr;
}

QStringList ForecastText(const Forecast &forecast, double scatterFactor)
{
    if (!forecast.available)
        return {QStringLiteral("Forecast: ") + forecast.reason + '.'};
    QStringList lines;
    lines << QStringLiteral("Forecast from the %1 period(s) from %2 to %3 (%4 days; window %5 "
                            "days):")
                 .arg(forecast.periods)
                 .arg(forecast.windowStart.toString(Qt::ISODate),
                     forecast.windowEnd.toString(Qt::ISODate))
                 .arg(forecast.days)
                 .arg(forecast.windowDays);
    lines << QStringLiteral("  flight hours per day = ΣT / days = %1 h / %2 d = %3 h/d")
                 .arg(ShortNumber(forecast.hoursInWindow))
                 .arg(forecast.days)
                 .arg(ShortNumber(forecast.hoursPerDay));
    if (const std::optional<PriorHours> &prior = forecast.prior;
        prior && !prior->upperDamagePer1000h)
        lines << QStringLiteral("  with %1 h flown before the recorder was fitted, at D per 1000 h "
                                "= %2: D = %3, in ΣD and the hours to date")
                     .arg(ShortNumber(prior->hours), ShortNumber(prior->damagePer1000h),
                         ShortNumber(prior->damage()));
    else if (prior)
        lines << QStringLiteral("  with %1 h flown before the recorder was fitted, at D per 1000 h "
                                "= %2 counted, %3 upper: D = %4 counted, %5 upper, in ΣD and the "
                                "hours to date")
                     .arg(ShortNumber(prior->hours), ShortNumber(prior->damagePer1000h),
                         ShortNumber(*prior->upperDamagePer1000h),
                         ShortNumber(prior->damage(Estimate::Counted)),
                         ShortNumber(prior->damage(Estimate::Upper)));
    for (const EstimateForecast &estimate : forecast.estimates) {
        const QString name = EstimateName(estimate.estimate);
        if (!estimate.available) {
            lines << QStringLiteral("  %1 estimate: none: %2").arg(name, estimate.reason);
            continue;
        }
        lines << QStringLiteral("  %1 estimate: rate = ΣD / ΣT = %2 / %3 h = %4 per h")
                     .arg(name, ShortNumber(estimate.damageInWindow),
                         ShortNumber(forecast.hoursInWindow), ShortNumber(estimate.ratePerHour));
        lines << QStringLiteral("    life used now = 100 %·SF·ΣD = 100 %·%1·%2 = %3 %")
                     .arg(ShortNumber(scatterFactor), ShortNumber(estimate.damageToDate),
                         ShortNumber(estimate.lifeUsedPercent));
        for (const ThresholdForecast &threshold : estimate.thresholds) {
            QString line = QStringLiteral("    %1 %: ").arg(ShortNumber(threshold.percent));
            if (threshold.reached)
                line += QStringLiteral("reached");
            else if (!threshold.hoursToGo)
                line += QStringLiteral("not reached at a rate of 0");
            else
                line += QStringLiteral("in (%1 % / (100 %·SF) − ΣD) / rate = %2 h, at %3 h, %4")
                            .arg(ShortNumber(threshold.percent), ShortNumber(*threshold.hoursToGo),
                                ShortNumber(*threshold.atHours),
                                threshold.date ? QStringLiteral("on %1 (at %2 h/d)")
                                                     .arg(threshold.date->toString(Qt::ISODate),
                                                         ShortNumber(forecast.hoursPerDay))
                                               : QStringLiteral("after the year 9999"));
            lines << line;
        }
    }
    return lines;
}
