#include "Exceedance.h"

#include <cmath>

QString AxisTitle(Axis axis)
{
    switch (axis) {
    case Axis::Increment:
        return QStringLiteral("Load factor increment Δn = n − 1 (g)");
    case Axis::Fraction:
        return QStringLiteral("Fraction of limit load a = Δn / Δn_LL");
    case Axis::LoadFactor:
        break;
    }
    return QStringLiteral("Load factor n (g)");
}

LimitLoads CategoryLimitLoads(Category category)
{
    switch (category) {
    case Category::Utility:
        return {4.4, -1.76};
    case Category::Aerobatic:
        return {6.0, -3.0};
    case Category::Normal:
        break;
    }
    return {3.8, -1.52};
}

Result CheckAxisChoice(const AxisChoice &choice)
{
    if (!choice.limits) {
        if (choice.axis == Axis::Fraction)
            return {Result::Invalid,
                QStringLiteral("The axis a = Δn / Δn_LL needs the limit load factors: give "
                               "them as numbers or by category (normal, utility, aerobatic).")};
        return {};
    }
    const LimitLoads &limits = *choice.limits;
    if (!(std::isfinite(limits.positive) && limits.positive > 1))
        return {Result::Invalid,
            QStringLiteral("The positive limit load factor must be a number above 1 g, not %1.")
                .arg(limits.positive)};
    if (!(std::isfinite(limits.negative) && limits.negative < 0))
        return {Result::Invalid,
            QStringLiteral("The negative limit load factor must be a number below 0 g, not %1.")
                .arg(limits.negative)};
    return {};
}

namespace {
double limitIncrement(Branch branch, const AxisChoice &choice)
{
    const LimitLoads &limits = *choice.limits;
    return (branch == Branch::Positive ? limits.positive : limits.negative) - 1;
}
} // namespace

double AxisValue(double n, Branch branch, const AxisChoice &choice)
{
    switch (choice.axis) {
    case Axis::Increment:
        return n - 1;
    case Axis::Fraction:
        return (n - 1) / limitIncrement(branch, choice);
    case Axis::LoadFactor:
        break;
    }
    return n;
}

double LoadFactorAt(double axisValue, Branch branch, const AxisChoice &choice)
{
    switch (choice.axis) {
    case Axis::Increment:
        return axisValue + 1;
    case Axis::Fraction:
        return axisValue * limitIncrement(branch, choice) + 1;
    case Axis::LoadFactor:
        break;
    }
    return axisValue;
}

ExceedanceTable ComputeExceedances(const LevelCounts &counts, double hours, const AxisChoice &axis)
{
    ExceedanceTable table;
    if (!(std::isfinite(hours) && hours > 0)) {
        table.setFailure(Result::Invalid,
            QStringLiteral("Exceedances need a positive active work time, not T = %1 h.")
                .arg(hours));
        return table;
    }
    if (const Result checked = CheckAxisChoice(axis); !checked.ok()) {
        table.setFailure(checked.failure(), checked.message());
        return table;
    }
    table.hours = hours;
    table.axis = axis;
    for (int level = 0; level < LevelCount; ++level) {
        ExceedanceRow &row = table.rows[level];
        row.level = level;
        row.branch = BranchOf(level);
        row.axisValue = AxisValue(LoadLevels[level].n, row.branch, axis);
        row.count = counts[level];
        row.perHour = double(counts[level]) / hours;
        row.per1000h = 1000.0 * double(counts[level]) / hours;
        if (counts[level] > 0)
            row.log10Per1000h = std::log10(row.per1000h);
    }
    return table;
}
