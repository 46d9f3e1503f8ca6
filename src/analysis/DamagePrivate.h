#pragma once

// The parts of ComputeDamage shared by its files; not for use outside them.

#include "Damage.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace DamageDetail {

constexpr int TopPositive = LevelCount - 1; // 4.0 g
constexpr int TopNegative = 0; // -2.0 g
constexpr int InnerPositive = NegativeLevelCount; // 1.4 g
constexpr int InnerNegative = NegativeLevelCount - 1; // -0.6 g

// A cycle end, in g for the tables and in tenths of g for the range and mean: the levels are
// whole tenths, so their differences and sums are exact (2.8 − (−0.8) is 36 tenths, not
// 35.999…). A maximum load the user gives need not be a whole tenth.
struct CycleEnd
{
    double g = 0;
    double tenths = 0;
};
CycleEnd LevelEnd(int level);
CycleEnd LoadEnd(double g);

// A peak and a valley paired from the counts, by level; -1 for an unpaired end.
struct Pairing
{
    int valleyLevel;
    int peakLevel;
    double count;
};

// Peaks and valleys per level as the pairing takes them: whole numbers from a record, fractions
// from a design spectrum sampled at the levels.
using LevelAmounts = std::array<double, LevelCount>;
LevelAmounts ToAmounts(const LevelCounts &counts);

// P′ from the outermost level inward on each branch: each level at least the count further out
// (a peak beyond a level also crossed it), and the ends between neighbouring levels.
template<typename Count>
void MakeConsistent(const std::array<Count, LevelCount> &counts,
    std::array<Count, LevelCount> &consistent, std::array<Count, LevelCount> &peaksAndValleys)
{
    for (Branch branch : {Branch::Negative, Branch::Positive}) {
        const std::span<const int> outward = OutwardLevels(branch);
        Count beyond = 0;
        for (auto level = outward.rbegin(); level != outward.rend(); ++level) {
            const Count held = std::max(counts[*level], beyond);
            peaksAndValleys[*level] = held - beyond;
            consistent[*level] = held;
            beyond = held;
        }
    }
}

// Why D_upper is not available: peaks or valleys beyond the top levels without a bound; empty
// when it is.
QString UnboundedReason(const LevelAmounts &peaksAndValleys, const DamageParameters &parameters);

// Where an estimate puts an end counted at `level` (-1: unpaired, the other end's partner):
// the counted estimate at the level, or 1.0 g; the upper bound at the next level out (the
// maximum load beyond the top level), or the other branch's inner boundary.
CycleEnd PeakEnd(int level, bool upper, const DamageParameters &parameters);
CycleEnd ValleyEnd(int level, bool upper, const DamageParameters &parameters);

// Stresses, N and damage of `cycle.count` cycles from `valley` to `peak`. Gives the refusal,
// naming the cycle after `where` ("in the upper bound"), when the Goodman correction cannot be
// applied (a mean stress at S_u or a peak stress above it) or N or the damage overflow; empty
// otherwise.
QString FillCycle(CycleGroup &cycle, CycleEnd valley, CycleEnd peak, const QString &where,
    const DamageParameters &parameters);

// The estimate's cycles, sums and life figures; the refusal (FillCycle's, or a sum or life
// figure that overflows) or empty.
QString FillEstimate(DamageEstimate &estimate, const std::vector<Pairing> &pairings, bool upper,
    double hours, const DamageParameters &parameters);

// Highest peak with lowest valley, then inward; what is left pairs with -1.
std::vector<Pairing> NestedPairings(const LevelAmounts &peaksAndValleys);

// The pairing a load history with these peaks and valleys can give that does the most damage
// with every end at the next level out; the refusal of a cycle it would need, or empty.
QString MostDamagingPairings(const LevelAmounts &peaksAndValleys,
    const DamageParameters &parameters, std::vector<Pairing> &pairings);

} // namespace DamageDetail
