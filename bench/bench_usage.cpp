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
