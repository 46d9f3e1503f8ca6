#pragma once

#include "Branches.h"
#include "NameTable.h"
#include "Result.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Fatigue damage by Miner's rule from level-crossing counts. A counter knows only that a peak
// went beyond a level, not how far, nor which valley belongs to which peak, so the cycles are
// rebuilt from the counts twice: the counted estimate pairs the highest peak with the lowest
// valley, then inward, each end where it was counted; the upper bound puts each end at the next
// level out, which it did not reach, and takes the pairing of most damage that a load history
// with these crossings can give. Cycles inside the dead band (-0.6 g to 1.4 g) are not counted
// and are in neither.

// The S-N curve below the endurance limit S_D.
enum class BelowEndurance {
    Elementary, // the same slope k
    Haibach, // slope 2k - 1
    Original, // no damage
};
inline constexpr NamedValue<BelowEndurance> BelowEnduranceNames[] = {
    {BelowEndurance::Elementary, "elementary", "same slope"},
    {BelowEndurance::Haibach, "haibach", "2k - 1"},
    {BelowEndurance::Original, "original"},
};
inline std::optional<BelowEndurance> BelowEnduranceFromName(const QString &name)
{
    return ValueNamed(BelowEnduranceNames, name);
}
inline QString BelowEnduranceName(BelowEndurance variant)
{
    return NameOf(BelowEnduranceNames, variant);
}

struct DamageParameters
{
    double stressPerG = 0; // σ₁: stress at 1 g at the location, MPa
    double slope = 0; // k of the Basquin curve N = N_D (S_a / S_D)^-k
    double enduranceStress = 0; // S_D, an amplitude in MPa
    double enduranceCycles = 0; // N_D
    BelowEndurance belowEndurance = BelowEndurance::Elementary;
    std::optional<double> ultimateStrength; // S_u in MPa: the Goodman correction when given
    double scatterFactor = 8; // SF
    std::optional<double> designLife; // L in hours: equivalent hours and design-life rate
    // Bounds for the peaks beyond 4.0 g and the valleys beyond -2.0 g, in g (e.g. the ultimate
    // load factors); without them the upper bound is not available when such peaks occurred.
    std::optional<double> maxLoadPositive;
    std::optional<double> maxLoadNegative;
};

// Invalid, with a message naming the parameter, for k <= 0 (or k <= 0.5 with haibach, whose
// slope 2k - 1 must be positive), S_D <= 0, N_D <= 0, σ₁ <= 0, SF < 1, S_u <= 0, L <= 0, a
// positive maximum load not above 4.0 g or a negative one not below -2.0 g, any value not
// finite, or S-N data under which one cycle's N, damage, life used or equivalent hours overflow
// (the Goodman correction left out: whether it applies depends on the record).
Result CheckDamageParameters(const DamageParameters &parameters);
// The same without the overflow of figures: each value in its range. Structural data kept by an
// older version is read with this, so that such an aircraft says why it has no damage figure
// instead of making its whole register unreadable.
Result CheckDamageParameterValues(const DamageParameters &parameters);

// A named place on the structure (a wing root, a fin attachment) with its own σ₁ and S-N data
// (σ₁, k, S_D, N_D, the curve below S_D, S_u); the scatter factor, design life and load bounds
// are the aircraft's, the same at every location.
struct StructuralLocation
{
    QString name;
    DamageParameters parameters;
};
// The parts of a location's parameters that are its own, copied from `from` onto `shared`.
DamageParameters LocationParameters(const DamageParameters &shared, const DamageParameters &from);
// Invalid, naming the location, for a name that is empty, longer than 100 characters, holds a
// control character or is given twice (case ignored), or parameters that CheckDamageParameters
// refuses.
Result CheckStructuralLocations(const std::vector<StructuralLocation> &locations);

// A level whose count was below a count further out: it was raised to that count.
struct RaisedLevel
{
    int level = 0;
    std::int64_t counted = 0;
    std::int64_t raisedTo = 0;
    QString text; // one line for standard error and the report
};

// Cycles of one kind: `count` cycles from `valley` to `peak`.
struct CycleGroup
{
    double valley = 0; // g
    double peak = 0; // g
    double count = 0; // a whole number from a record; a fraction from a design spectrum
    double amplitude = 0; // S_a, MPa
    double mean = 0; // S_m, MPa
    double equivalentAmplitude = 0; // S_a,eq with the Goodman correction, otherwise S_a
    std::optional<double> cyclesToFailure; // N; none below S_D with `original`: no damage
    double damage = 0; // count / N
};

struct LifeFigures
{
    double usedPercent = 0; // 100 % SF D
    // (1/SF - D) T / D; none when D = 0. Negative when exhausted: shown as "exhausted".
    std::optional<double> hoursLeft;
    bool exhausted = false;
    std::optional<double> equivalentHours; // SF D L, with a design life
    // Equivalent hours / T, with a design life: how fast life is used against L (1.0 uses it up
    // at L hours). Not the severity against a design spectrum (DesignSpectrum.h).
    std::optional<double> designLifeRate;
};

struct DamageEstimate
{
    bool available = false;
    QString unavailableReason; // why not, when not available
    // The pairing used: from the highest peak inward, then the unpaired peaks and valleys.
    std::vector<CycleGroup> cycles;
    double damage = 0; // D
    double damagePer1000h = 0; // 1000 D / T
    LifeFigures life;
};

struct DamageResult : Result
{
    double hours = 0; // T
    LevelCounts consistentCounts {}; // P′: non-increasing outward on each branch
    std::vector<RaisedLevel> raised; // the levels P′ raised, outward on each branch
    // Peaks at the positive levels and valleys at the negative levels: how many reached the
    // level but not the next one out.
    LevelCounts peaksAndValleys {};
    std::int64_t peaks = 0; // P′(1.4 g)
    std::int64_t valleys = 0; // P′(-0.6 g)
    std::int64_t unpairedPeaks = 0;
    std::int64_t unpairedValleys = 0;
    DamageEstimate counted; // D_counted: always available in a success
    DamageEstimate upper; // D_upper
};

// Both estimates from counts Nc over T hours. Refused (Invalid): parameters that fail
// CheckDamageParameters, T not positive, with the Goodman correction a cycle whose mean stress
// reaches S_u or whose peak stress is above it (the message names the estimate and the cycle),
// or an N, damage, life used or hours that are not finite (the message names the figure).
DamageResult ComputeDamage(
    const LevelCounts &counts, double hours, const DamageParameters &parameters);
