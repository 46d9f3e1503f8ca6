#include "CombineRecords.h"

#include <QStringList>

const QString CombineModeChoices = QStringLiteral(
    "Several records are combined only when you say whether the recorder was reset between "
    "read-outs: \"separate\" when each record counts from a reset (counts and hours are "
    "summed), \"running\" when the records are running totals in file order (each period is "
    "the difference from the record before it).");

std::optional<CombineMode> CombineModeFromName(const QString &name)
{
    if (name == QLatin1String("separate"))
        return CombineMode::Separate;
    if (name == QLatin1String("running"))
        return CombineMode::Running;
    return std::nullopt;
}

QString CombineModeName(CombineMode mode)
{
    switch (mode) {
    case CombineMode::Separate:
        return QStringLiteral("separate");
    case CombineMode::Running:
        return QStringLiteral("running");
    case CombineMode::NotGiven:
        break;
    }
    return {};
}

std::int64_t ActiveSeconds(const RecordValues &values)
{
    return std::int64_t(values[ActiveSecondsWord])
        + 43200 * std::int64_t(values[ActivePeriodsWord]);
}

namespace {

CombinedPeriod wholeRecord(int index, const RecordValues &values, bool afterReset)
{
    CombinedPeriod period {index, afterReset, {}, ActiveSeconds(values)};
    for (int level = 0; level < LevelCount; ++level)
        period.counts[level] = values[level];
    return period;
}

// What fell between two running totals, or nothing when none did.
QString whatFell(const RecordValues &previous, const RecordValues &current)
{
    for (int level = 0; level < LevelCount; ++level) {
        if (current[level] < previous[level])
            return QStringLiteral("the count at %1 falls from %2 to %3")
                .arg(LevelName(level))
                .arg(previous[level])
                .arg(current[level]);
    }
    if (ActiveSeconds(current) < ActiveSeconds(previous))
        return QStringLiteral("the active work time falls from %1 s to %2 s")
            .arg(ActiveSeconds(previous))
            .arg(ActiveSeconds(current));
    return {};
}

} // namespace

CombinedCounts SplitIntoPeriods(const std::vector<LabelledRecord> &records, CombineMode mode)
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

    for (int index = 0; index < int(records.size()); ++index) {
        const RecordValues &values = records[index].values;
        if (index == 0 || mode == CombineMode::Separate) {
            combined.periods.push_back(wholeRecord(index, values, false));
            continue;
        }
        const RecordValues &previous = records[index - 1].values;
        const QString fell = whatFell(previous, values);
        if (!fell.isEmpty()) {
            combined.periods.push_back(wholeRecord(index, values, true));
            combined.resets.push_back({index,
                QStringLiteral("Reset before %1: %2 since %3; it counts as a period of its own.")
                    .arg(records[index].label, fell, records[index - 1].label)});
            continue;
        }
        CombinedPeriod period {index, false, {}, ActiveSeconds(values) - ActiveSeconds(previous)};
        for (int level = 0; level < LevelCount; ++level)
            period.counts[level] = std::int64_t(values[level]) - previous[level];
        combined.periods.push_back(period);
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
