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
        // The facts found with the chain unlabelled, worded with the two records' names.
        const QString before = label(index - 1);
        const QString after = label(index);
        if (reset.kind == RunningKind::Inconsistent && inconsistent == InconsistentFall::Refuse) {
            derived.setFailure(Result::Invalid, InconsistentFallText(reset.step, before, after));
            return derived;
        }
        derived.resets.emplace_back(index, ResetFoundText(reset, before, after));
    }
    return derived;
}
