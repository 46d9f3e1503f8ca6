#include "CombineRecords.h"

#include <QStringList>

const QString CombineModeChoices = QStringLiteral(
    "Several records are combined only when you say whether the recorder was reset between "
    "read-outs: \"separate\" when each record counts from a reset (counts and hours are "
    "summed), \"running\" when the records are running totals in file order (each period is "
    "the difference from the record before it).");

std::int64_t ActiveSeconds(const RecordValues &values)
{
    return std::int64_t(values[ActiveSecondsWord])
        + 43200 * std::int64_t(values[ActivePeriodsWord]);
}

namespace {

CombinedPeriod wholeRecord(int index, const RecordValues &values)
{
    CombinedPeriod period {index, false, {}, ActiveSeconds(values)};
    for (int level = 0; level < LevelCount; ++level)
        period.counts[level] = values[level];
    return period;
}

} // namespace

QString ResetFoundText(
    const RecorderResetFound &found, const QString &previous, const QString &current)
{
    const RunningStep &step = found.step;
    switch (found.kind) {
    case RunningKind::Wrap:
        return QStringLiteral("Wrap before %1: %2 since %3; each counter that fell is taken past "
                              "65535 and the running totals go on.")
            .arg(current, step.facts(), previous);
    case RunningKind::Inconsistent:
        return QStringLiteral("Inconsistent fall before %1: %2 since %3; it counts as a period "
                              "of its own.")
            .arg(current, step.facts(), previous);
    default:
        return QStringLiteral("%1 before %2: %3 since %4; it counts as a period of its own.")
            .arg(found.declared ? QStringLiteral("Declared reset") : QStringLiteral("Reset"),
                current, step.facts(), previous);
    }
}

CombinedCounts SplitIntoPeriods(
    const std::vector<LabelledRecord> &records, CombineMode mode, InconsistentFall inconsistent)
{
    CombinedCounts combined;
    if (records.empty()) {
        combined.setFailure(Result::Invalid, QStringLiteral("No record to analyse."));
        return combined;
    }
    if (records.size() > 1 && mode == CombineMode::NotGiven) {
        combined.setFailure(Result::Invalid, CombineModeChoices);
        return combined;
    }

    // A register add splits blocks of thousands: one allocation, not a growing vector's many.
    combined.periods.reserve(records.size());
    for (int index = 0; index < int(records.size()); ++index) {
        const LabelledRecord &record = records[index];
        if (index == 0 || mode == CombineMode::Separate) {
            combined.periods.push_back(wholeRecord(index, record.values));
            continue;
        }
        const LabelledRecord &previous = records[index - 1];
        const RunningStep step = ClassifyRunning(previous.values, record.values);
        RunningKind kind = step.kind;
        const bool declared = kind == RunningKind::Inconsistent && record.declaredReset;
        if (declared)
            kind = RunningKind::Reset;
        if (kind == RunningKind::Inconsistent && inconsistent == InconsistentFall::Refuse) {
            CombinedCounts refused;
            refused.setFailure(
                Result::Invalid, InconsistentFallText(step, previous.label, record.label));
            return refused;
        }
        const bool whole = kind == RunningKind::Reset || kind == RunningKind::Inconsistent;
        combined.periods.push_back({index, whole, step.counts, step.seconds, kind});
        if (kind != RunningKind::Running) {
            RecorderResetFound found {index, kind, declared, step, {}};
            found.text = ResetFoundText(found, previous.label, record.label);
            combined.resets.push_back(std::move(found));
        }
    }

    for (const CombinedPeriod &period : combined.periods) {
        for (int level = 0; level < LevelCount; ++level)
            combined.counts[level] += period.counts[level];
        combined.seconds += period.seconds;
    }
    combined.hours = double(combined.seconds) / 3600.0;
    return combined;
}

CombinedCounts CombineRecords(const std::vector<LabelledRecord> &records, CombineMode mode)
{
    CombinedCounts combined = SplitIntoPeriods(records, mode);
    if (combined.ok() && combined.seconds == 0) {
        QStringList labels;
        for (const LabelledRecord &record : records)
            labels.append(record.label);
        combined = CombinedCounts();
        combined.setFailure(Result::Invalid,
            QStringLiteral("No active work time in %1: exceedances per hour cannot be computed "
                           "(T = 0).")
                .arg(labels.join(QStringLiteral(", "))));
    }
    return combined;
}
