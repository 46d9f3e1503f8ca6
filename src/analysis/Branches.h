#pragma once

#include "CounterRecord.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

// Counts per level in record order (-2.0 g ... 4.0 g). Sums of 16-bit counters stay exact.
using LevelCounts = std::array<std::int64_t, LevelCount>;

// The recorder's levels fall into two branches around 1 g: the positive one counts excursions
// above a level, the negative one excursions below it.
enum class Branch { Negative, Positive };

constexpr int NegativeLevelCount = 6; // -2.0 g ... -0.6 g
constexpr int PositiveLevelCount = 12; // 1.4 g ... 4.0 g

constexpr Branch BranchOf(int level)
{
    return level < NegativeLevelCount ? Branch::Negative : Branch::Positive;
}

// A branch's levels in the order the load reaches them, from 1 g outward:
// -0.6, -0.8, ... -2.0 g and 1.4, 1.6, ... 4.0 g.
std::span<const int> OutwardLevels(Branch branch);

// The levels as the stderr and report texts name them: "2.2 g".
QString LevelName(int level);
