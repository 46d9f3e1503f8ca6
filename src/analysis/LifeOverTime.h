#pragma once

#include "Branches.h"
#include "Damage.h"
#include "Exceedance.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Life used as it grows, read-out by read-out: each period's damage (Miner's rule adds them),
// the rate of the last months, and when the life used reaches its thresholds at that rate. Also
// the limit-load exceedances that the fixed levels can only bound.

// --- The damage of one period ------------------------------------------------------------------

enum class Estimate { Counted, Upper };
QString EstimateName(Estimate estimate); // "counted", "upper"

// D of both estimates of one period's counts. D does not depend on the period's hours, so a
// period without active time has its damage too. Invalid: the damage was refused (the message
// says why); the upper bound alone may be unavailable (`upperUnavailable` says why).
struct PeriodDamage : Result
{
    double counted = 0;
    std::optional<double> upper;
    QString upperUnavailable;
    std::optional<double> of(Estimate estimate) const
    {
        return estimate == Estimate::Counted ? std::optional<double>(counted) : upper;
    }
};
PeriodDamage ComputePeriodDamage(const LevelCounts &counts, const DamageParameters &parameters);

// The sums of the periods' damage up to a read-out. Once one period has no upper bound, the sum
// of the upper bounds has none either.
struct DamageSums
{
    double counted = 0;
    std::optional<double> upper = 0.0;
    QString upperUnavailable;
    void add(const PeriodDamage &period);
    std::optional<double> of(Estimate estimate) const
    {
        return estimate == Estimate::Counted ? std::optional<double>(counted) : upper;
    }
};

// Life used in percent: 100 % SF D.
double LifeUsedPercent(double damage, double scatterFactor);

// Flight hours per 30 days over a period from `from` to `taken`; none without a day between.
std::optional<double> HoursPer30Days(double hours, const QDate &from, const QDate &taken);

// --- Limit-load exceedances --------------------------------------------------------------------

// How often the load went beyond a limit load factor, as the levels bound it: at least the count
// of the first level at or beyond the limit (none beyond the top level: at least 0), at most the
// count of the last level short of it (none inside the innermost level: no upper bound). A count
// further out than the level short of it raises that bound, as inconsistent counts are read.
struct LimitBound
{
    Branch branch = Branch::Positive;
    double limit = 0; // n_LL, g
    std::optional<int> lowerLevel; // the first level at or beyond the limit
    std::optional<int> upperLevel; // the last level short of it
    std::int64_t atLeast = 0;
    std::optional<std::int64_t> atMost;
    bool raised = false; // at most: a count further out than the level short of it was higher
    // Another period's bound of the same limit: the bounds of both periods together.
    void add(const LimitBound &period);
    bool exceeded() const { return atLeast > 0; }
    bool possiblyExceeded() const { return !atMost || *atMost > 0; }
};
LimitBound BoundLimitExceedances(const LevelCounts &counts, Branch branch, double limit);

// Both branches; without limit loads, the counts at the top levels (4.0 g, -2.0 g) stand for
// what the recorder can say of the highest loads.
struct LimitBounds
{
    std::optional<LimitBound> positive;
    std::optional<LimitBound> negative;
    std::int64_t atTopPositive = 0; // Nc(4.0 g)
    std::int64_t atTopNegative = 0; // Nc(-2.0 g)
    void add(const LimitBounds &period);
};
LimitBounds BoundLimitExceedances(
    const LevelCounts &counts, const std::optional<LimitLoads> &limits);

// "at least 2 (Nc at 4.0 g), at most 15 (Nc at 3.4 g)" and the like, for one limit.
QString LimitBoundText(const LimitBound &bound);
// One sentence for both branches, or the top levels without limits; empty when nothing reached
// a limit or a top level.
QString LimitBoundsText(const LimitBounds &bounds);
// "2–15", "≥ 0" (no upper bound), for a table's cell.
QString LimitBoundRange(const LimitBound &bound);

// --- Forecast -----------------------------------------------------------------------------------

struct ForecastPeriod
{
    QDate from; // the read-out before; invalid for the first
    QDate taken;
    double hours = 0;
    PeriodDamage damage;
};

struct ThresholdForecast
{
    double percent = 0; // life used, %
    bool reached = false; // already at or beyond it
    std::optional<double> hoursToGo; // (percent / (100 SF) - ΣD) / rate; none at a rate of 0
    std::optional<double> atHours; // total flight hours then
    std::optional<QDate> date; // last read-out + hours to go / hours per day
};

struct EstimateForecast
{
    Estimate estimate = Estimate::Counted;
    bool available = false;
    QString reason; // why not, when not available
    double damageToDate = 0; // ΣD of every period, with the prior hours' part
    double lifeUsedPercent = 0;
    double damageInWindow = 0; // ΣD of the window's periods
    double ratePerHour = 0; // ΣD / ΣT over the window
    std::vector<ThresholdForecast> thresholds;
};

// Hours flown before the recorder was fitted, at an assumed damage per 1000 h (the upper
// estimate's, where it differs; none: as the counted one).
struct PriorHours
{
    double hours = 0;
    double damagePer1000h = 0;
    std::optional<double> upperDamagePer1000h;
    double damage(Estimate estimate = Estimate::Counted) const
    {
        const double per1000h = estimate == Estimate::Upper
            ? upperDamagePer1000h.value_or(damagePer1000h)
            : damagePer1000h;
        return hours * per1000h / 1000;
    }
};

struct ForecastInput
{
    std::vector<ForecastPeriod> periods; // in order taken
    double scatterFactor = 8;
    int windowDays = 365;
    std::vector<double> thresholds = {50, 80, 100}; // life used, %
    std::optional<PriorHours> prior;
};

struct Forecast
{
    bool available = false;
    QString reason; // why there is none, when not available
    int windowDays = 0; // as asked
    QDate windowStart; // the earliest start of a period in the window
    QDate windowEnd; // the last read-out
    int days = 0; // windowEnd - windowStart
    int periods = 0; // in the window
    double hoursInWindow = 0; // ΣT
    double hoursPerDay = 0; // ΣT / days
    double hoursToDate = 0; // every period's, with the prior hours
    std::optional<PriorHours> prior; // counted in the hours and damage to date
    std::array<EstimateForecast, 2> estimates; // counted, upper
};

// The damage rate and the flight hours per day over the periods that lie wholly within the last
// `windowDays` days up to the last read-out (the whole history when it is shorter), and from
// them the hours and dates at which the life used reaches each threshold. None from fewer than
// two read-outs, a window without a day or without flight hours (the reason says which).
Forecast ComputeForecast(const ForecastInput &input);

// What a forecast is made from, summed: the fleet sums its periods in the database rather than
// walking them, and gets the same forecast as the history.
struct ForecastSums
{
    qint64 readouts = 0; // in the whole history
    QDate lastTaken;
    QDate windowStart; // the earliest start of a period in the window; invalid: none in it
    qint64 periods = 0; // in the window
    double hoursInWindow = 0;
    double hoursToDate = 0; // every period's, without prior hours
    struct Damage
    {
        std::optional<double> toDate; // none: a period has no such damage (`reason` says why)
        double inWindow = 0;
        QString reason;
    };
    std::array<Damage, 2> damage; // counted, upper
};
// The sums of a forecast's periods over its window.
ForecastSums SumForecastPeriods(const ForecastInput &input);
// The forecast from sums, with the settings of `input` (its periods are not read).
Forecast ForecastFromSums(const ForecastSums &sums, const ForecastInput &settings);
// The first threshold not reached yet of an estimate's forecast; none when every one is.
const ThresholdForecast *NextThreshold(const EstimateForecast &estimate);

// The formulas and the figures they give, a line each, for people.
QStringList ForecastText(const Forecast &forecast, double scatterFactor);
