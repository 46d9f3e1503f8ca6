#include "RegisterPeriods.h"

DerivedPeriods DerivePeriods(CombineMode mode, const std::optional<RecordValues> &previous,
    const std::vector<RecordValues> &records, const std::vector<bool> &declared,
    InconsistentFall inconsistent, const std::function<QString(int)> &label)
{
    DerivedPeriods derived;
    if (records.empty())
        return derived;
    // Labels only matter where something fell; naming every record of a large file would cost
    // more than the combination itself.
    std::vector<LabelledRecord> chain;
    chain.reserve(records.size() + 1);
    if (previous)
        chain.push_back({QString(), *previous});
    for (size_t i = 0; i < records.size(); ++i)
        chain.push_back({QString(), records[i], i < declared.size() && declared[i]});
    const CombinedCounts combined = SplitIntoPeriods(chain, mode, InconsistentFall::Keep);
    const int offset = previous ? 1 : 0;
    derived.periods.resize(records.size());
    for (const CombinedPeriod &period : combined.periods) {
        const int index = period.record - offset;
        if (index >= 0 && index < int(records.size()))
            derived.periods[index]
                = {period.counts, period.seconds, period.afterReset, period.kind};
    }
    for (const RecorderResetFound &reset : combined.resets) {
        const int index = reset.record - offset;
        if (index < 0 || index >= int(records.size()))
            continue;
        // The same rule on the two records alone, named this time, words it.
        LabelledRecord before {label(index - 1), chain[reset.record - 1].values};
        LabelledRecord after = chain[reset.record];
        after.label = label(index);
        if (reset.kind == RunningKind::Inconsistent && inconsistent == InconsistentFall::Refuse) {
            derived.setFailure(Result::Invalid,
                InconsistentFallText(
                    ClassifyRunning(before.values, after.values), before.label, after.label));
            return derived;
        }
        const CombinedCounts named
            = SplitIntoPeriods({before, after}, CombineMode::Running, InconsistentFall::Keep);
        derived.resets.emplace_back(
            index, named.resets.empty() ? reset.text : named.resets.front().text);
    }
    return derived;
}
