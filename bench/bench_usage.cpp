#include "Bench.h"

#include "CombineRecords.h"
#include "Damage.h"

// The damage of one record, both estimates, with every option that adds work: the Goodman
// correction, a design life and the bounds beyond the top levels.
ZEMRA_BENCHMARK(damageOfOneRecord)
{
    constexpr double TargetNs = 20'000;
    const CombinedCounts combined = CombineRecords(
        {{QStringLiteral("demonstration"), ToValues(DemonstrationRecord)}}, CombineMode::NotGiven);
    DamageParameters parameters;
    parameters.stressPerG = 50;
    parameters.slope = 5;
    parameters.enduranceStress = 60;
    parameters.enduranceCycles = 2e6;
    parameters.ultimateStrength = 450;
    parameters.designLife = 5000;
    parameters.maxLoadPositive = 5.7;
    parameters.maxLoadNegative = -2.28;
    double sink = 0;
    const bench::Stats stats = bench::Measure(
        [&] {
            const DamageResult damage = ComputeDamage(combined.counts, combined.hours, parameters);
            sink += damage.counted.damage + damage.upper.damage;
        },
        20000, 1000);
    bench::Report(QStringLiteral("damage of one record (both)"),
        bench::Describe(stats) + QStringLiteral(" [D sum %1]").arg(sink > 0 ? "ok" : "zero"),
        QStringLiteral("median at most 20 us"), stats.median <= TargetNs && sink > 0);
}

// The upper bound's pairing where it works hardest: counts of a fleet's worth of records
// (1.2 million peaks at 1.4 g), each level's count put a little off the demonstration's shape,
// and Goodman near S_u, so that the nested pairing is far from the most damaging one.
ZEMRA_BENCHMARK(damageOfLargeCounts)
{
    constexpr double TargetNs = 100'000;
    LevelCounts counts {};
    for (int level = 0; level < LevelCount; ++level)
        counts[level] = std::int64_t(DemonstrationRecord[level]) * (480 + 7 * level);
    DamageParameters parameters;
    parameters.stressPerG = 50;
    parameters.slope = 5;
    parameters.enduranceStress = 90;
    parameters.enduranceCycles = 2e6;
    parameters.belowEndurance = BelowEndurance::Original;
    parameters.ultimateStrength = 290;
    parameters.maxLoadPositive = 5.7;
    parameters.maxLoadNegative = -2.28;
    double sink = 0;
    const bench::Stats stats = bench::Measure(
        [&] {
            const DamageResult damage = ComputeDamage(counts, 120'000, parameters);
            sink += damage.upper.damage;
        },
        5000, 200);
    bench::Report(QStringLiteral("damage of a fleet's counts (upper bound, Goodman)"),
        bench::Describe(stats) + QStringLiteral(" [D sum %1]").arg(sink > 0 ? "ok" : "zero"),
        QStringLiteral("median at most 100 us"), stats.median <= TargetNs && sink > 0);
}
