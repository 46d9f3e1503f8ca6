#include "Damage.h"
#include "DamagePrivate.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace DamageDetail;

namespace {

Result refuse(const QString &message)
{
    return {Result::Invalid, message};
}

bool positive(double value)
{
    return std::isfinite(value) && value > 0;
}

// Refuses S-N data under which a single cycle's figures overflow. N falls as the range grows
// for every variant, so the smallest cycle the recorder counts (1.0 to 1.4 g) and the largest
// (the outermost levels or the maximum loads given) bound every other one; Goodman is left out
// here, as whether it applies depends on the record, and ComputeDamage checks each cycle anyway.
Result checkFiniteFigures(const DamageParameters &parameters)
{
    DamageParameters plain = parameters;
    plain.ultimateStrength.reset();
    const std::pair<CycleEnd, CycleEnd> probes[] = {{LoadEnd(1.0), LevelEnd(InnerPositive)},
        {parameters.maxLoadNegative ? LoadEnd(*parameters.maxLoadNegative) : LevelEnd(TopNegative),
            parameters.maxLoadPositive ? LoadEnd(*parameters.maxLoadPositive)
                                       : LevelEnd(TopPositive)}};
    for (const auto &[valley, peak] : probes) {
        CycleGroup cycle;
        cycle.count = 1;
        QString refusal
            = FillCycle(cycle, valley, peak, QStringLiteral("with the S-N data given,"), plain);
        const double used = 100 * plain.scatterFactor * cycle.damage;
        const auto figure = [&](const char *name, double value, const char *inputs) {
            if (refusal.isEmpty() && !std::isfinite(value))
                refusal = QStringLiteral("The figures overflow: one cycle from %1 g to %2 g "
                                         "gives %3 = %4 (%5 out of range).")
                              .arg(cycle.valley)
                              .arg(cycle.peak)
                              .arg(QString::fromUtf8(name))
                              .arg(value)
                              .arg(QString::fromUtf8(inputs));
        };
        figure("life used", used, "SF");
        if (plain.designLife)
            figure("equivalent hours", used / 100 * *plain.designLife, "SF or L");
        if (!refusal.isEmpty())
            return refuse(refusal);
    }
    return {};
}

} // namespace

Result CheckDamageParameters(const DamageParameters &parameters)
{
    if (Result values = CheckDamageParameterValues(parameters); !values.ok())
        return values;
    return checkFiniteFigures(parameters);
}

DamageParameters LocationParameters(const DamageParameters &shared, const DamageParameters &from)
{
    DamageParameters made = shared;
    made.stressPerG = from.stressPerG;
    made.slope = from.slope;
    made.enduranceStress = from.enduranceStress;
    made.enduranceCycles = from.enduranceCycles;
    made.belowEndurance = from.belowEndurance;
    made.ultimateStrength = from.ultimateStrength;
    return made;
}

Result CheckStructuralLocations(const std::vector<StructuralLocation> &locations)
{
    QStringList seen;
    for (const StructuralLocation &location : locations) {
        const QString &name = location.name;
        const bool control = std::any_of(
            name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
        if (name.trimmed().isEmpty() || name.size() > 100 || control || name != name.trimmed())
            return refuse(QStringLiteral("A location's name must be 1 to 100 characters without "
                                         "control characters or blanks around it, not \"%1\".")
                              .arg(name.left(100)));
        const QString key = name.toCaseFolded();
        if (seen.contains(key))
            return refuse(QStringLiteral("The location \"%1\" is given twice.").arg(name));
        seen << key;
        if (Result checked = CheckDamageParameters(location.parameters); !checked.ok())
            return refuse(
                QStringLiteral("At the location \"%1\": %2").arg(name, checked.message()));
    }
    return {};
}

Result CheckDamageParameterValues(const DamageParameters &parameters)
{
    if (!positive(parameters.stressPerG))
        return refuse(QStringLiteral("The stress at 1 g σ₁ must be a positive number of MPa, "
                                     "not %1.")
                          .arg(parameters.stressPerG));
    if (!positive(parameters.slope))
        return refuse(QStringLiteral("The S-N slope k must be a positive number, not %1.")
                          .arg(parameters.slope));
    if (parameters.belowEndurance == BelowEndurance::Haibach && !(parameters.slope > 0.5))
        return refuse(QStringLiteral("With haibach the slope below S_D, 2k − 1, must be "
                                     "positive: k must be above 0.5, not %1.")
                          .arg(parameters.slope));
    if (!positive(parameters.enduranceStress))
        return refuse(QStringLiteral("The endurance limit S_D must be a positive number of MPa, "
                                     "not %1.")
                          .arg(parameters.enduranceStress));
    if (!positive(parameters.enduranceCycles))
        return refuse(QStringLiteral("The cycles at the endurance limit N_D must be a positive "
                                     "number, not %1.")
                          .arg(parameters.enduranceCycles));
    if (!(std::isfinite(parameters.scatterFactor) && parameters.scatterFactor >= 1))
        return refuse(QStringLiteral("The scatter factor SF must be a number of at least 1, "
                                     "not %1.")
                          .arg(parameters.scatterFactor));
    if (parameters.ultimateStrength && !positive(*parameters.ultimateStrength))
        return refuse(QStringLiteral("The ultimate strength S_u must be a positive number of "
                                     "MPa, not %1.")
                          .arg(*parameters.ultimateStrength));
    if (parameters.designLife && !positive(*parameters.designLife))
        return refuse(QStringLiteral("The design life L must be a positive number of hours, "
                                     "not %1.")
                          .arg(*parameters.designLife));
    if (parameters.maxLoadPositive
        && !(std::isfinite(*parameters.maxLoadPositive)
            && *parameters.maxLoadPositive > LoadLevels[TopPositive].n))
        return refuse(QStringLiteral("The positive maximum load must lie beyond the top level "
                                     "4.0 g, not at %1 g.")
                          .arg(*parameters.maxLoadPositive));
    if (parameters.maxLoadNegative
        && !(std::isfinite(*parameters.maxLoadNegative)
            && *parameters.maxLoadNegative < LoadLevels[TopNegative].n))
        return refuse(QStringLiteral("The negative maximum load must lie beyond the top level "
                                     "-2.0 g, not at %1 g.")
                          .arg(*parameters.maxLoadNegative));
    return {};
}

DamageResult ComputeDamage(
    const LevelCounts &counts, double hours, const DamageParameters &parameters)
{
    DamageResult result;
    if (const Result checked = CheckDamageParameters(parameters); !checked.ok()) {
        result.setFailure(checked.failure(), checked.message());
        return result;
    }
    if (!positive(hours)) {
        result.setFailure(Result::Invalid,
            QStringLiteral("Damage per hour needs a positive active work time, not T = %1 h.")
                .arg(hours));
        return result;
    }
    result.hours = hours;

    MakeConsistent(counts, result.consistentCounts, result.peaksAndValleys);
    for (Branch branch : {Branch::Negative, Branch::Positive}) {
        for (int level : OutwardLevels(branch)) {
            if (result.consistentCounts[level] == counts[level])
                continue;
            result.raised.push_back({level, counts[level], result.consistentCounts[level],
                QStringLiteral("Inconsistent counts: %1 counted %2, fewer than the %3 counted "
                               "further out; raised to %3.")
                    .arg(LevelName(level))
                    .arg(counts[level])
                    .arg(result.consistentCounts[level])});
        }
    }
    result.peaks = result.consistentCounts[InnerPositive];
    result.valleys = result.consistentCounts[InnerNegative];
    result.unpairedPeaks = std::max<std::int64_t>(0, result.peaks - result.valleys);
    result.unpairedValleys = std::max<std::int64_t>(0, result.valleys - result.peaks);

    const auto refused = [&result](const QString &refusal) {
        result = DamageResult();
        result.setFailure(Result::Invalid, refusal);
        return result;
    };
    // Whole counts are exact as doubles below 2^53, far beyond any sum of 16-bit counters.
    const LevelAmounts amounts = ToAmounts(result.peaksAndValleys);
    if (QString refusal
        = FillEstimate(result.counted, NestedPairings(amounts), false, hours, parameters);
        !refusal.isEmpty())
        return refused(refusal);

    if (result.upper.unavailableReason = UnboundedReason(amounts, parameters);
        !result.upper.unavailableReason.isEmpty())
        return result;
    std::vector<Pairing> pairings;
    QString refusal = MostDamagingPairings(amounts, parameters, pairings);
    if (refusal.isEmpty())
        refusal = FillEstimate(result.upper, pairings, true, hours, parameters);
    if (!refusal.isEmpty())
        return refused(refusal);
    return result;
}
