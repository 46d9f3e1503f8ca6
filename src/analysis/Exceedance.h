#pragma once

#include "Branches.h"
#include "NameTable.h"
#include "Result.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The axis a table or chart is drawn against.
enum class Axis {
    LoadFactor, // n, in g
    Increment, // Δn = n - 1, in g
    Fraction, // a = Δn / Δn_LL: positive on both branches, 1 at the limit load factor
};

inline constexpr NamedValue<Axis> AxisNames[] = {
    {Axis::LoadFactor, "n", "load factor"},
    {Axis::Increment, "dn", "increment n - 1"},
    {Axis::Fraction, "a", "fraction of the limit increment, needs --category or --limit-loads"},
};
inline std::optional<Axis> AxisFromName(const QString &name)
{
    return ValueNamed(AxisNames, name);
}
inline QString AxisName(Axis axis)
{
    return NameOf(AxisNames, axis);
}
QString AxisTitle(Axis axis); // for a chart's axis, with its unit

// The limit load factors, positive and negative, that the fraction axis is relative to.
struct LimitLoads
{
    double positive = 0; // n_LL+, above 1 g
    double negative = 0; // n_LL-, below 0 g
};

// The small-aeroplane categories: the positive limit manoeuvring load factors, the negative
// ones 0.4 times (normal, utility) and 0.5 times (aerobatic) of them.
enum class Category { Normal, Utility, Aerobatic };
inline constexpr NamedValue<Category> CategoryNames[] = {
    {Category::Normal, "normal"},
    {Category::Utility, "utility"},
    {Category::Aerobatic, "aerobatic"},
};
inline std::optional<Category> CategoryFromName(const QString &name)
{
    return ValueNamed(CategoryNames, name);
}
inline QString CategoryName(Category category)
{
    return NameOf(CategoryNames, category);
}
LimitLoads CategoryLimitLoads(Category category); // +3.8/-1.52, +4.4/-1.76, +6.0/-3.0

// What the values of a table are plotted against. The limit loads are needed for the fraction
// axis only, but kept when given, for references on that axis.
struct AxisChoice
{
    Axis axis = Axis::LoadFactor;
    std::optional<LimitLoads> limits;
};

// Invalid when the fraction axis has no limit loads, or the limit loads given are not a
// positive one above 1 g and a negative one below 0 g (both finite).
Result CheckAxisChoice(const AxisChoice &choice);

// The load factor n on the axis, and back. The axis must have passed CheckAxisChoice.
double AxisValue(double n, Branch branch, const AxisChoice &choice);
double LoadFactorAt(double axisValue, Branch branch, const AxisChoice &choice);

// One level of the exceedance table.
struct ExceedanceRow
{
    int level = 0; // index into LoadLevels
    Branch branch = Branch::Negative;
    double axisValue = 0; // the level on the chosen axis
    std::int64_t count = 0; // Nc
    double perHour = 0; // Nc / T
    double per1000h = 0; // 1000 Nc / T
    std::optional<double> log10Per1000h; // none where Nc = 0
};

struct ExceedanceTable : Result
{
    std::array<ExceedanceRow, LevelCount> rows {}; // record order, -2.0 g ... 4.0 g
    double hours = 0; // T
    AxisChoice axis;
};

// The counts over T hours per hour and per 1000 h, on the axis chosen. Refused (Invalid) for
// T not a positive number, or an axis that fails CheckAxisChoice.
ExceedanceTable ComputeExceedances(const LevelCounts &counts, double hours, const AxisChoice &axis);
