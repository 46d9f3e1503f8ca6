#include "Damage.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

std::optional<BelowEndurance> BelowEnduranceFromName(const QString &name)
{
    for (BelowEndurance variant :
        {BelowEndurance::Elementary, BelowEndurance::Haibach, BelowEndurance::Original}) {
        if (name == BelowEnduranceName(variant))
            return variant;
    }
    return std::nullopt;
}

QString BelowEnduranceName(BelowEndurance variant)
{
    switch (variant) {
    case BelowEndurance::Haibach:
        return QStringLiteral("haibach");
    case BelowEndurance::Original:
        return QStringLiteral("original");
    case BelowEndurance::Elementary:
        break;
    }
    return QStringLiteral("elementary");
}

namespace {

constexpr int TopPositive = LevelCount - 1; // 4.0 g
constexpr int TopNegative = 0; // -2.0 g
constexpr int InnerPositive = NegativeLevelCount; // 1.4 g
constexpr int InnerNegative = NegativeLevelCount - 1; // -0.6 g

Result refuse(const QString &message)
{
    return {Result::Invalid, message};
}

bool positive(double value)
{
    return std::isfinite(value) && value > 0;
}

// A peak and a valley paired from the counts, by level; -1 for an unpaired end.
struct Pairing
{
    int valleyLevel;
    int peakLevel;
    std::int64_t count;
};

// The position the upper bound gives an end counted at `level`: the next level out, which it
// did not reach, or the user's bound beyond the top level.
std::optional<double> nextLevelOut(int level, const DamageParameters &parameters)
{
    if (level == TopPositive)
        return parameters.maxLoadPositive;
    if (level == TopNegative)
        return parameters.maxLoadNegative;
    return LoadLevels[BranchOf(level) == Branch::Positive ? level + 1 : level - 1].n;
}

std::optional<double> cyclesToFailure(double amplitude, const DamageParameters &parameters)
{
    const double ratio = amplitude / parameters.enduranceStress;
    double slope = parameters.slope;
    if (ratio < 1) {
        if (parameters.belowEndurance == BelowEndurance::Original)
            return std::nullopt;
        if (parameters.belowEndurance == BelowEndurance::Haibach)
            slope = 2 * slope - 1;
    }
    return parameters.enduranceCycles * std::pow(ratio, -slope);
}

// Fills the estimate's cycles and sums from the peak and valley positions; false, with the
// refusal in `refusal`, when the Goodman correction cannot be applied to a cycle.
bool fillEstimate(DamageEstimate &estimate, const std::vector<Pairing> &pairings, bool upper,
    double hours, const DamageParameters &parameters, QString &refusal)
{
    estimate.cycles.reserve(pairings.size());
    for (const Pairing &pairing : pairings) {
        CycleGroup cycle;
        cycle.count = pairing.count;
        if (upper) {
            cycle.peak = pairing.peakLevel < 0 ? LoadLevels[InnerPositive].n
                                               : *nextLevelOut(pairing.peakLevel, parameters);
            cycle.valley = pairing.valleyLevel < 0 ? LoadLevels[InnerNegative].n
                                                   : *nextLevelOut(pairing.valleyLevel, parameters);
        } else {
            cycle.peak = pairing.peakLevel < 0 ? 1.0 : LoadLevels[pairing.peakLevel].n;
            cycle.valley = pairing.valleyLevel < 0 ? 1.0 : LoadLevels[pairing.valleyLevel].n;
        }
        cycle.amplitude = parameters.stressPerG * (cycle.peak - cycle.valley) / 2;
        cycle.mean = parameters.stressPerG * (cycle.peak + cycle.valley) / 2;
        cycle.equivalentAmplitude = cycle.amplitude;
        if (parameters.ultimateStrength) {
            const double ultimate = *parameters.ultimateStrength;
            if (cycle.mean >= ultimate) {
                refusal = QStringLiteral(
                    "The Goodman correction cannot be applied: in the %1 the cycle from %2 g to "
                    "%3 g has a mean stress of %4 MPa, not below S_u = %5 MPa.")
                              .arg(upper ? QStringLiteral("upper bound")
                                         : QStringLiteral("counted estimate"))
                              .arg(cycle.valley)
                              .arg(cycle.peak)
                              .arg(cycle.mean)
                              .arg(ultimate);
                return false;
            }
            cycle.equivalentAmplitude = cycle.amplitude / (1 - cycle.mean / ultimate);
        }
        cycle.cyclesToFailure = cyclesToFailure(cycle.equivalentAmplitude, parameters);
        if (cycle.cyclesToFailure)
            cycle.damage = double(cycle.count) / *cycle.cyclesToFailure;
        estimate.damage += cycle.damage;
        estimate.cycles.push_back(cycle);
    }
    estimate.available = true;
    estimate.damagePer1000h = 1000 * estimate.damage / hours;

    LifeFigures &life = estimate.life;
    const double sf = parameters.scatterFactor;
    life.usedPercent = 100 * sf * estimate.damage;
    if (estimate.damage > 0) {
        life.hoursLeft = (1 / sf - estimate.damage) * hours / estimate.damage;
        life.exhausted = *life.hoursLeft < 0;
    }
    if (parameters.designLife) {
        life.equivalentHours = sf * estimate.damage * *parameters.designLife;
        life.severity = *life.equivalentHours / hours;
    }
    return true;
}

} // namespace

Result CheckDamageParameters(const DamageParameters &parameters)
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

    // P′ from the outermost level inward, then the ends between neighbouring levels.
    for (Branch branch : {Branch::Negative, Branch::Positive}) {
        const std::span<const int> outward = OutwardLevels(branch);
        std::int64_t beyond = 0;
        for (auto level = outward.rbegin(); level != outward.rend(); ++level) {
            const std::int64_t consistent = std::max(counts[*level], beyond);
            result.peaksAndValleys[*level] = consistent - beyond;
            result.consistentCounts[*level] = consistent;
            beyond = consistent;
        }
        for (int level : outward) {
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

    // Highest peak with lowest valley: both lists run from the outermost level inward, so the
    // runs of equal ends merge in one pass.
    std::vector<Pairing> pairings;
    pairings.reserve(LevelCount + 1);
    int peakLevel = TopPositive;
    int valleyLevel = TopNegative;
    std::int64_t peaksLeft = result.peaksAndValleys[peakLevel];
    std::int64_t valleysLeft = result.peaksAndValleys[valleyLevel];
    for (;;) {
        while (peaksLeft == 0 && peakLevel > InnerPositive)
            peaksLeft = result.peaksAndValleys[--peakLevel];
        while (valleysLeft == 0 && valleyLevel < InnerNegative)
            valleysLeft = result.peaksAndValleys[++valleyLevel];
        const std::int64_t paired = std::min(peaksLeft, valleysLeft);
        if (paired == 0)
            break;
        pairings.push_back({valleyLevel, peakLevel, paired});
        peaksLeft -= paired;
        valleysLeft -= paired;
    }
    // What is left is on one branch only: the current run's remainder and every run inward.
    for (;;) {
        if (peaksLeft > 0)
            pairings.push_back({-1, peakLevel, peaksLeft});
        result.unpairedPeaks += peaksLeft;
        if (peakLevel == InnerPositive)
            break;
        peaksLeft = result.peaksAndValleys[--peakLevel];
    }
    for (;;) {
        if (valleysLeft > 0)
            pairings.push_back({valleyLevel, -1, valleysLeft});
        result.unpairedValleys += valleysLeft;
        if (valleyLevel == InnerNegative)
            break;
        valleysLeft = result.peaksAndValleys[++valleyLevel];
    }

    QString refusal;
    if (!fillEstimate(result.counted, pairings, false, hours, parameters, refusal)) {
        result = DamageResult();
        result.setFailure(Result::Invalid, refusal);
        return result;
    }

    QStringList unbounded;
    const std::int64_t topPeaks = result.peaksAndValleys[TopPositive];
    const std::int64_t topValleys = result.peaksAndValleys[TopNegative];
    if (topPeaks > 0 && !parameters.maxLoadPositive)
        unbounded.append(QStringLiteral("%1 beyond 4.0 g and no positive maximum load")
                             .arg(topPeaks == 1 ? QStringLiteral("1 peak")
                                                : QStringLiteral("%1 peaks").arg(topPeaks)));
    if (topValleys > 0 && !parameters.maxLoadNegative)
        unbounded.append(QStringLiteral("%1 beyond -2.0 g and no negative maximum load")
                             .arg(topValleys == 1 ? QStringLiteral("1 valley")
                                                  : QStringLiteral("%1 valleys").arg(topValleys)));
    if (!unbounded.isEmpty()) {
        result.upper.unavailableReason
            = QStringLiteral("D_upper is not available: %1 given to bound how far they went.")
                  .arg(unbounded.join(QStringLiteral("; ")));
    } else if (!fillEstimate(result.upper, pairings, true, hours, parameters, refusal)) {
        result = DamageResult();
        result.setFailure(Result::Invalid, refusal);
    }
    return result;
}
