#include "DamagePrivate.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace DamageDetail {

namespace {

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

QString cycleName(const QString &where, const CycleGroup &cycle)
{
    return QStringLiteral("%1 the cycle from %2 g to %3 g")
        .arg(where)
        .arg(cycle.valley)
        .arg(cycle.peak);
}

QString overflow(const QString &where, const QString &figure, double value)
{
    return QStringLiteral("The figures overflow: %1, %2 = %3, beyond the range of numbers "
                          "(σ₁, k, S_D, N_D, SF or L out of range).")
        .arg(where, figure)
        .arg(value);
}

QString amountText(double amount, const char *one, const char *many)
{
    const QString number = amount == std::floor(amount) && amount < 1e15
        ? QString::number(qint64(amount))
        : QString::number(amount, 'g', 6);
    return QStringLiteral("%1 %2").arg(number, QLatin1String(amount == 1 ? one : many));
}

} // namespace

LevelAmounts ToAmounts(const LevelCounts &counts)
{
    LevelAmounts amounts {};
    std::copy(counts.begin(), counts.end(), amounts.begin());
    return amounts;
}

QString UnboundedReason(const LevelAmounts &peaksAndValleys, const DamageParameters &parameters)
{
    QStringList unbounded;
    const double topPeaks = peaksAndValleys[TopPositive];
    const double topValleys = peaksAndValleys[TopNegative];
    if (topPeaks > 0 && !parameters.maxLoadPositive)
        unbounded.append(QStringLiteral("%1 beyond 4.0 g and no positive maximum load")
                             .arg(amountText(topPeaks, "peak", "peaks")));
    if (topValleys > 0 && !parameters.maxLoadNegative)
        unbounded.append(QStringLiteral("%1 beyond -2.0 g and no negative maximum load")
                             .arg(amountText(topValleys, "valley", "valleys")));
    if (unbounded.isEmpty())
        return {};
    return QStringLiteral("D_upper is not available: %1 given to bound how far they went.")
        .arg(unbounded.join(QStringLiteral("; ")));
}

CycleEnd LevelEnd(int level)
{
    return {LoadLevels[level].n, double(std::lround(LoadLevels[level].n * 10))};
}

CycleEnd LoadEnd(double g)
{
    return {g, g * 10};
}

CycleEnd PeakEnd(int level, bool upper, const DamageParameters &parameters)
{
    if (level < 0)
        return upper ? LevelEnd(InnerPositive) : LoadEnd(1.0);
    if (!upper)
        return LevelEnd(level);
    return level == TopPositive ? LoadEnd(*parameters.maxLoadPositive) : LevelEnd(level + 1);
}

CycleEnd ValleyEnd(int level, bool upper, const DamageParameters &parameters)
{
    if (level < 0)
        return upper ? LevelEnd(InnerNegative) : LoadEnd(1.0);
    if (!upper)
        return LevelEnd(level);
    return level == TopNegative ? LoadEnd(*parameters.maxLoadNegative) : LevelEnd(level - 1);
}

QString FillCycle(CycleGroup &cycle, CycleEnd valley, CycleEnd peak, const QString &where,
    const DamageParameters &parameters)
{
    cycle.valley = valley.g;
    cycle.peak = peak.g;
    // In long double so that σ₁ · 36 / 20 rounds once (50 MPa gives 90, not 89.999…) and a
    // large σ₁ does not overflow before the division.
    const long double sigma = parameters.stressPerG;
    cycle.amplitude = double(sigma * ((long double)peak.tenths - valley.tenths) / 20);
    cycle.mean = double(sigma * ((long double)peak.tenths + valley.tenths) / 20);
    cycle.equivalentAmplitude = cycle.amplitude;
    if (parameters.ultimateStrength) {
        const double ultimate = *parameters.ultimateStrength;
        if (cycle.mean >= ultimate)
            return QStringLiteral("The Goodman correction cannot be applied: %1 has a mean "
                                  "stress of %2 MPa, not below S_u = %3 MPa.")
                .arg(cycleName(where, cycle))
                .arg(cycle.mean)
                .arg(ultimate);
        // Above S_u a lower valley would lower S_a,eq, so the outer end is no bound any more.
        const double peakStress = double(sigma * (long double)peak.tenths / 10);
        if (peakStress > ultimate)
            return QStringLiteral("The Goodman correction cannot be applied: %1 has a peak "
                                  "stress of %2 MPa, above S_u = %3 MPa.")
                .arg(cycleName(where, cycle))
                .arg(peakStress)
                .arg(ultimate);
        cycle.equivalentAmplitude = cycle.amplitude / (1 - cycle.mean / ultimate);
    }
    cycle.cyclesToFailure = cyclesToFailure(cycle.equivalentAmplitude, parameters);
    cycle.damage = 0;
    if (!cycle.cyclesToFailure)
        return {};
    const double n = *cycle.cyclesToFailure;
    cycle.damage = cycle.count / n;
    // N overflows to infinity or underflows to zero only with S-N data far out of range.
    if (!(std::isfinite(n) && n > 0 && std::isfinite(cycle.damage)))
        return QStringLiteral("The figures overflow: %1 gives N = %2 and a damage of %3, beyond "
                              "the range of numbers (σ₁, k, S_D or N_D out of range).")
            .arg(cycleName(where, cycle))
            .arg(n)
            .arg(cycle.damage);
    return {};
}

QString FillEstimate(DamageEstimate &estimate, const std::vector<Pairing> &pairings, bool upper,
    double hours, const DamageParameters &parameters)
{
    const QString name
        = upper ? QStringLiteral("in the upper bound") : QStringLiteral("in the counted estimate");
    estimate.cycles.reserve(pairings.size());
    for (const Pairing &pairing : pairings) {
        CycleGroup cycle;
        cycle.count = pairing.count;
        if (QString refusal = FillCycle(cycle, ValleyEnd(pairing.valleyLevel, upper, parameters),
                PeakEnd(pairing.peakLevel, upper, parameters), name, parameters);
            !refusal.isEmpty())
            return refusal;
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
        life.designLifeRate = *life.equivalentHours / hours;
    }
    // Each cycle's damage is finite, but their sum and the figures made from it need not be.
    const std::pair<const char *, std::optional<double>> figures[]
        = {{"D", estimate.damage}, {"D per 1000 h", estimate.damagePer1000h},
            {"life used", life.usedPercent}, {"hours left", life.hoursLeft},
            {"equivalent hours", life.equivalentHours}, {"design-life rate", life.designLifeRate}};
    for (const auto &[figure, value] : figures) {
        if (value && !std::isfinite(*value))
            return overflow(name, QString::fromUtf8(figure), *value);
    }
    return {};
}

} // namespace DamageDetail
