#include "RegisterPeriods.h"

DerivedPeriods DerivePeriods(CombineMode mode, const std::optional<RecordValues> &previous,
    const std::vector<RecordValues> &records, const std::function<QString(int)> &label)
{
    DerivedPeriods derived;
    if (records.empty())
        return derived;
    // Labels only matter where a reset is found; naming every record of a large file would cost
    // more than the combination itself.
    std::vector<LabelledRecord> chain;
    chain.reserve(records.size() + 1);
    if (previous)
        chain.push_back({QString(), *previous});
    for (const RecordValues &values : records)
        chain.push_back({QString(), values});
    const CombinedCounts combined = SplitIntoPeriods(chain, mode);
    const int offset = previous ? 1 : 0;
    derived.periods.resize(records.size());
    for (const CombinedPeriod &period : combined.periods) {
        const int index = period.record - offset;
        if (index >= 0 && index < int(records.size()))
            derived.periods[index] = {period.counts, period.seconds, period.afterReset};
    }
    for (const RecorderResetFound &reset : combined.resets) {
        const int index = reset.record - offset;
        if (index < 0 || index >= int(records.size()))
            continue;
        // The same rule on the two records alone, named this time, words the reset.
        const CombinedCounts named = SplitIntoPeriods(
            {{label(index - 1), chain[reset.record - 1].values}, {label(index), records[index]}},
            CombineMode::Running);
        derived.resets.emplace_back(
            index, named.resets.empty() ? reset.text : named.resets.front().text);
    }
    return derived;
}
