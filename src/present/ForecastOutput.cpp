#include "ForecastOutput.h"

#include "FleetTable.h"

#include "TextFields.h"

namespace {
void appendDate(QByteArray &out, const std::optional<QDate> &date)
{
    out += date && date->isValid() ? JsonString(date->toString(Qt::ISODate))
                                   : QByteArrayLiteral("null");
}

void appendBound(QByteArray &out, const std::optional<LimitBound> &bound)
{
    if (!bound) {
        out += "null";
        return;
    }
    out += "{\"limit\":";
    AppendNumber(out, bound->limit);
    out += ",\"atLeast\":";
    AppendInteger(out, bound->atLeast);
    out += ",\"lowerLevel\":";
    out += bound->lowerLevel ? QByteArray(LoadLevels[*bound->lowerLevel].text) : "null";
    out += ",\"atMost\":";
    if (bound->atMost)
        AppendInteger(out, *bound->atMost);
    else
        out += "null";
    out += ",\"upperLevel\":";
    out += bound->upperLevel ? QByteArray(LoadLevels[*bound->upperLevel].text) : "null";
    out += '}';
}

void appendEstimate(QByteArray &out, const EstimateForecast &estimate)
{
    out += "{\"estimate\":" + JsonString(EstimateName(estimate.estimate));
    out += ",\"available\":";
    out += estimate.available ? "true" : "false";
    if (!estimate.available) {
        out += ",\"reason\":" + JsonString(estimate.reason) + '}';
        return;
    }
    out += ",\"damageToDate\":";
    AppendNumber(out, estimate.damageToDate);
    out += ",\"lifeUsedPercent\":";
    AppendNumber(out, estimate.lifeUsedPercent);
    out += ",\"damageInWindow\":";
    AppendNumber(out, estimate.damageInWindow);
    out += ",\"damagePerHour\":";
    AppendNumber(out, estimate.ratePerHour);
    out += ",\"thresholds\":[";
    bool first = true;
    for (const ThresholdForecast &threshold : estimate.thresholds) {
        out += first ? "{\"percent\":" : ",{\"percent\":";
        first = false;
        AppendNumber(out, threshold.percent);
        out += ",\"reached\":";
        out += threshold.reached ? "true" : "false";
        out += ",\"hoursToGo\":";
        out += NumberText(threshold.hoursToGo);
        out += ",\"atHours\":";
        out += NumberText(threshold.atHours);
        out += ",\"date\":";
        appendDate(out, threshold.date);
        out += '}';
    }
    out += "]}";
}
} // namespace

QString HistorySeverityLine(const HistoryResult &history)
{
    const UsageFigures &usage = history.usage;
    if (!usage.severity)
        return QStringLiteral("Severity: none, %1.").arg(usage.severityNote);
    const auto figure = [](const SeverityFigure &severity) {
        return severity.value ? ShortNumber(*severity.value)
                              : QStringLiteral("none (%1)").arg(severity.reason);
    };
    return QStringLiteral("Severity against the design spectrum \"%1\" (%2) over the whole "
                          "history, D per 1000 h / the design's: %3 counted, %4 upper.")
        .arg(history.aircraft.design->spectrum.name, history.aircraft.design->fileName,
            figure(usage.severity->counted), figure(usage.severity->upper));
}

QString LocationShownLine(const HistoryResult &history)
{
    if (history.aircraft.location.isEmpty())
        return {};
    if (history.locations.empty())
        return QStringLiteral("Damage figures at the location \"%1\".")
            .arg(history.aircraft.location);
    return QStringLiteral("Damage figures at the location \"%1\"; life used to date at each: %2.")
        .arg(history.aircraft.location, LocationsLifeUsedText(history.locations));
}

QStringList HistoryLifeLines(const HistoryResult &history, const Forecast &forecast)
{
    QStringList lines;
    if (const QString location = LocationShownLine(history); !location.isEmpty())
        lines << location;
    const LimitBounds &over = history.overLimit;
    if (over.positive || over.negative) {
        lines << QStringLiteral("Limit loads exceeded over the whole history, as the levels bound "
                                "it:");
        for (const std::optional<LimitBound> &bound : {over.positive, over.negative})
            lines << QStringLiteral("  ") + LimitBoundText(*bound);
    } else if (const QString top = LimitBoundsText(over); !top.isEmpty()) {
        lines << top;
    }
    const StructuralData &structure = history.aircraft.structure();
    if (!structure.damage) {
        lines << QStringLiteral("No life used or forecast: no S-N data.");
        return lines;
    }
    lines << QStringLiteral("Life used to a read-out = 100 %·SF·ΣD over the periods up to it "
                            "(Miner's rule adds the periods' damage), SF = %1%2.")
                 .arg(ShortNumber(structure.damage->scatterFactor),
                     forecast.prior ? QStringLiteral("; without the %1 h before the recorder, "
                                                     "which life used now counts")
                                          .arg(ShortNumber(forecast.prior->hours))
                                    : QString());
    lines << ForecastText(forecast, structure.damage->scatterFactor);
    lines << HistorySeverityLine(history);
    return lines;
}

QStringList HistorySummaryLines(const HistoryResult &history, const Forecast &forecast)
{
    QStringList lines;
    if (const QString location = LocationShownLine(history); !location.isEmpty())
        lines << location;
    const std::optional<DamageParameters> &damage = history.aircraft.structure().damage;
    const DamageSums *sums = history.periods.empty() || !history.periods.back().totalDamage
        ? nullptr
        : &*history.periods.back().totalDamage;
    if (!damage) {
        lines << QStringLiteral("Life used: none, no S-N data.");
    } else if (!sums) {
        lines << QStringLiteral("Life used: none, no damage figure for every period.");
    } else {
        const double sf = damage->scatterFactor;
        // The hours before the recorder count as the forecast counts them.
        const std::optional<PriorHours> &prior = forecast.prior;
        const auto before
            = [&prior](Estimate estimate) { return prior ? prior->damage(estimate) : 0.0; };
        lines << QStringLiteral("Life used (100 %·SF·ΣD of the periods%1): %2 % counted, %3 upper.")
                     .arg(prior ? QStringLiteral(" and of the %1 h before the recorder")
                                      .arg(ShortNumber(prior->hours))
                                : QString(),
                         ShortNumber(
                             LifeUsedPercent(sums->counted + before(Estimate::Counted), sf)),
                         sums->upper ? ShortNumber(LifeUsedPercent(
                                           *sums->upper + before(Estimate::Upper), sf))
                                 + QStringLiteral(" %")
                                     : QStringLiteral("none (") + sums->upperUnavailable + ')');
    }
    if (damage && !forecast.available)
        lines << QStringLiteral("Forecast: ") + forecast.reason + '.';
    if (damage && forecast.available) {
        for (size_t t = 0; t < forecast.estimates[0].thresholds.size(); ++t) {
            QStringList parts;
            for (const EstimateForecast &estimate : forecast.estimates) {
                const QString name = EstimateName(estimate.estimate);
                if (!estimate.available || t >= estimate.thresholds.size())
                    continue;
                const ThresholdForecast &threshold = estimate.thresholds[t];
                if (threshold.reached)
                    parts << QStringLiteral("reached (%1)").arg(name);
                else if (!threshold.atHours)
                    parts << QStringLiteral("not at this rate (%1)").arg(name);
                else
                    parts << QStringLiteral("at %1 h, %2 (%3)")
                                 .arg(ShortNumber(*threshold.atHours),
                                     threshold.date ? threshold.date->toString(Qt::ISODate)
                                                    : QStringLiteral("after the year 9999"),
                                     name);
            }
            lines << QStringLiteral("%1 % of the life: %2")
                         .arg(ShortNumber(forecast.estimates[0].thresholds[t].percent),
                             parts.join(QStringLiteral("; ")));
        }
        lines << QStringLiteral("At %1 h per day and the damage rate of the %2 days to %3.")
                     .arg(ShortNumber(forecast.hoursPerDay))
                     .arg(forecast.days)
                     .arg(forecast.windowEnd.toString(Qt::ISODate));
    }
    const QString over = LimitBoundsText(history.overLimit);
    lines << (over.isEmpty() ? QStringLiteral("No limit load exceeded.") : over);
    lines << HistorySeverityLine(history);
    return lines;
}

void AppendForecastJson(QByteArray &out, const Forecast &forecast)
{
    out += "{\"available\":";
    out += forecast.available ? "true" : "false";
    out += ",\"windowDays\":";
    AppendInteger(out, forecast.windowDays);
    if (!forecast.available) {
        out += ",\"reason\":" + JsonString(forecast.reason) + '}';
        return;
    }
    out += ",\"windowStart\":";
    appendDate(out, forecast.windowStart);
    out += ",\"windowEnd\":";
    appendDate(out, forecast.windowEnd);
    out += ",\"days\":";
    AppendInteger(out, forecast.days);
    out += ",\"periods\":";
    AppendInteger(out, forecast.periods);
    out += ",\"hoursInWindow\":";
    AppendNumber(out, forecast.hoursInWindow);
    out += ",\"hoursPerDay\":";
    AppendNumber(out, forecast.hoursPerDay);
    out += ",\"hoursToDate\":";
    AppendNumber(out, forecast.hoursToDate);
    out += ",\"estimates\":[";
    appendEstimate(out, forecast.estimates[0]);
    out += ',';
    appendEstimate(out, forecast.estimates[1]);
    out += "]}";
}

void AppendLimitBoundsJson(QByteArray &out, const LimitBounds &bounds)
{
    out += "{\"positive\":";
    appendBound(out, bounds.positive);
    out += ",\"negative\":";
    appendBound(out, bounds.negative);
    out += ",\"atTopPositive\":";
    AppendInteger(out, bounds.atTopPositive);
    out += ",\"atTopNegative\":";
    AppendInteger(out, bounds.atTopNegative);
    out += '}';
}
