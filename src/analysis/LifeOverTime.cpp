#include "LifeOverTime.h"

#include "TextFields.h"

#include <algorithm>

QString EstimateName(Estimate estimate)
{
    return estimate == Estimate::Counted ? QStringLiteral("counted") : QStringLiteral("upper");
}

PeriodDamage ComputePeriodDamage(const LevelCounts &counts, const DamageParameters &parameters)
{
    // D is the sum of count / N over the cycles; T only divides it into the per-hour figures,
    // so any positive T gives the same D.
    const DamageResult result = ComputeDamage(counts, 1.0, parameters);
    PeriodDamage damage;
    if (!result.ok()) {
        damage.setFailure(result.failure(), result.message());
        return damage;
    }
    damage.counted = result.counted.damage;
    if (result.upper.available)
        damage.upper = result.upper.damage;
    else
        damage.upperUnavailable = result.upper.unavailableReason;
    return damage;
}

void DamageSums::add(const PeriodDamage &period)
{
    counted += period.counted;
    if (!upper)
        return;
    if (period.upper) {
        *upper += *period.upper;
    } else {
        upper.reset();
        upperUnavailable = period.upperUnavailable;
    }
}

double LifeUsedPercent(double damage, double scatterFactor)
{
    return 100 * scatterFactor * damage;
}

std::optional<double> HoursPer30Days(double hours, const QDate &from, const QDate &taken)
{
    if (!from.isValid() || !taken.isValid())
        return std::nullopt;
    const qint64 days = from.daysTo(taken);
    if (days <= 0)
        return std::nullopt;
    return 30 * hours / double(days);
}

// --- Limit-load exceedances --------------------------------------------------------------------

LimitBound BoundLimitExceedances(const LevelCounts &counts, Branch branch, double limit)
{
    LimitBound bound;
    bound.branch = branch;
    bound.limit = limit;
    const auto beyond = [&](int level) {
        const double n = LoadLevels[level].n;
        return branch == Branch::Positive ? n >= limit : n <= limit;
    };
    for (int level : OutwardLevels(branch)) {
        if (beyond(level)) {
            bound.lowerLevel = level;
            break;
        }
        bound.upperLevel = level;
    }
    if (bound.lowerLevel)
        bound.atLeast = counts[*bound.lowerLevel];
    if (bound.upperLevel) {
        // Every excursion beyond the limit crossed the level short of it, and every level
        // further out: the largest of those counts.
        std::int64_t most = 0;
        bool from = false;
        for (int level : OutwardLevels(branch)) {
            from = from || level == *bound.upperLevel;
            if (from)
                most = std::max(most, counts[level]);
        }
        bound.atMost = most;
        bound.raised = most > counts[*bound.upperLevel];
    }
    return bound;
}

void LimitBound::add(const LimitBound &period)
{
    atLeast += period.atLeast;
    if (atMost && period.atMost)
        *atMost += *period.atMost;
    else
        atMost.reset();
    raised = raised || period.raised;
}

void LimitBounds::add(const LimitBounds &period)
{
    if (positive && period.positive)
        positive->add(*period.positive);
    if (negative && period.negative)
        negative->add(*period.negative);
    atTopPositive += period.atTopPositive;
    atTopNegative += period.atTopNegative;
}

LimitBounds BoundLimitExceedances(
    const LevelCounts &counts, const std::optional<LimitLoads> &limits)
{
    LimitBounds bounds;
    if (limits) {
        bounds.positive = BoundLimitExceedances(counts, Branch::Positive, limits->positive);
        bounds.negative = BoundLimitExceedances(counts, Branch::Negative, limits->negative);
    }
    bounds.atTopPositive = counts[OutwardLevels(Branch::Positive).back()];
    bounds.atTopNegative = counts[OutwardLevels(Branch::Negative).back()];
    return bounds;
}

namespace {
QString gText(double g)
{
    return ShortNumber(g) + QStringLiteral(" g");
}
} // namespace

QString LimitBoundText(const LimitBound &bound)
{
    QString text
        = QStringLiteral("beyond %1 at least %2").arg(gText(bound.limit)).arg(bound.atLeast);
    text += bound.lowerLevel ? QStringLiteral(" (Nc at %1)").arg(LevelName(*bound.lowerLevel))
                             : QStringLiteral(" (no level at or beyond it)");
    if (bound.atMost)
        text += QStringLiteral(", at most %1 (Nc at %2%3)")
                    .arg(*bound.atMost)
                    .arg(LevelName(*bound.upperLevel),
                        bound.raised ? QStringLiteral(", raised to a count further out")
                                     : QString());
    else
        text += QStringLiteral(", no upper bound (no level short of it)");
    return text;
}

QString LimitBoundsText(const LimitBounds &bounds)
{
    QStringList parts;
    for (const std::optional<LimitBound> &bound : {bounds.positive, bounds.negative}) {
        if (bound && bound->possiblyExceeded())
            parts << LimitBoundText(*bound);
    }
    if (!parts.isEmpty())
        return QStringLiteral("Limit loads: ") + parts.join(QStringLiteral("; ")) + '.';
    if (bounds.positive || bounds.negative)
        return {};
    QStringList top;
    if (bounds.atTopPositive > 0)
        top << QStringLiteral("%1 reached the top level 4.0 g").arg(bounds.atTopPositive);
    if (bounds.atTopNegative > 0)
        top << QStringLiteral("%1 reached the top level -2.0 g").arg(bounds.atTopNegative);
    if (top.isEmpty())
        return {};
    return QStringLiteral("No limit loads given: ") + top.join(QStringLiteral(", ")) + '.';
}

QString LimitBoundRange(const LimitBound &bound)
{
    if (!bound.atMost)
        return QStringLiteral("≥ %1").arg(bound.atLeast);
    if (*bound.atMost == bound.atLeast)
        return QString::number(bound.atLeast);
    return QStringLiteral("%1–%2").arg(bound.atLeast).arg(*bound.atMost);
}
