#include "RunningTotals.h"

#include "CombineRecords.h"

#include <QStringList>

#include <algorithm>

namespace {
// A recorder's counter holds 16 bits: one more count past 65535 reads 0.
constexpr std::int64_t CounterRange = 65536;

QString changesText(const std::vector<CounterChange> &changes)
{
    QStringList parts;
    for (const CounterChange &change : changes)
        parts << QStringLiteral("%1 from %2 to %3")
                     .arg(LevelName(change.level))
                     .arg(change.from)
                     .arg(change.to);
    return parts.join(QStringLiteral(", "));
}

QString timeText(const RunningStep &step)
{
    const char *verb = step.secondsAfter < step.secondsBefore
        ? "falls"
        : (step.secondsAfter > step.secondsBefore ? "rises" : "stays");
    return QStringLiteral("the active work time %1 from %2 s to %3 s")
        .arg(QLatin1String(verb))
        .arg(step.secondsBefore)
        .arg(step.secondsAfter);
}

QString wordName(int word)
{
    if (word < LevelCount)
        return QStringLiteral("the count at %1").arg(LevelName(word));
    switch (word) {
    case ActiveSecondsWord:
        return QStringLiteral("the active seconds");
    case ActivePeriodsWord:
        return QStringLiteral("the active 12-hour periods");
    case BatterySecondsWord:
        return QStringLiteral("the battery seconds");
    default:
        return QStringLiteral("the battery 12-hour periods");
    }
}
} // namespace

QString RunningKindName(RunningKind kind)
{
    switch (kind) {
    case RunningKind::Wrap:
        return QStringLiteral("wrap");
    case RunningKind::Reset:
        return QStringLiteral("reset");
    case RunningKind::Inconsistent:
        return QStringLiteral("inconsistent");
    case RunningKind::Running:
        break;
    }
    return QStringLiteral("running");
}

RunningStep ClassifyRunning(const RecordValues &previous, const RecordValues &current)
{
    RunningStep step;
    step.secondsBefore = ActiveSeconds(previous);
    step.secondsAfter = ActiveSeconds(current);
    for (int level = 0; level < LevelCount; ++level) {
        const CounterChange change {level, previous[level], current[level]};
        if (change.to < change.from)
            step.fell.push_back(change);
        else if (change.to > change.from)
            step.rose.push_back(change);
    }
    const bool timeFell = step.secondsAfter < step.secondsBefore;
    if (step.fell.empty() && !timeFell)
        step.kind = RunningKind::Running;
    // A reset zeroes the counters: a clock that falls with no counter smaller is not one.
    else if (step.rose.empty() && !step.fell.empty())
        step.kind = RunningKind::Reset;
    else if (!step.fell.empty() && step.secondsAfter > step.secondsBefore
        && std::all_of(step.fell.begin(), step.fell.end(),
            [](const CounterChange &c) { return c.to + CounterRange >= c.from; }))
        step.kind = RunningKind::Wrap;
    else
        step.kind = RunningKind::Inconsistent;

    const bool whole = step.kind == RunningKind::Reset || step.kind == RunningKind::Inconsistent;
    for (int level = 0; level < LevelCount; ++level) {
        std::int64_t count
            = whole ? current[level] : std::int64_t(current[level]) - previous[level];
        if (step.kind == RunningKind::Wrap && count < 0)
            count += CounterRange;
        step.counts[level] = count;
    }
    step.seconds = whole ? step.secondsAfter : step.secondsAfter - step.secondsBefore;
    return step;
}

QString RunningStep::facts() const
{
    QStringList parts;
    // A reset makes every counter fall: the first few name it well enough.
    constexpr size_t Named = 3;
    QStringList falls;
    for (size_t i = 0; i < fell.size() && i < Named; ++i)
        falls << QStringLiteral("the count at %1 falls from %2 to %3")
                     .arg(LevelName(fell[i].level))
                     .arg(fell[i].from)
                     .arg(fell[i].to);
    if (fell.size() > Named)
        falls << QStringLiteral("%1 other count(s) fall").arg(qsizetype(fell.size() - Named));
    if (!falls.isEmpty())
        parts << falls.join(QStringLiteral(", "));
    if (!rose.empty() && !fell.empty())
        parts << QStringLiteral("%1 count(s) rise").arg(qsizetype(rose.size()));
    parts << timeText(*this);
    return parts.join(QStringLiteral("; "));
}

QString InconsistentFallText(
    const RunningStep &step, const QString &previous, const QString &current)
{
    QStringList parts;
    if (!step.fell.empty())
        parts << QStringLiteral("counts that fall: %1").arg(changesText(step.fell));
    if (!step.rose.empty())
        parts << QStringLiteral("counts that rise: %1").arg(changesText(step.rose));
    parts << timeText(step);
    return QStringLiteral(
        "The running totals of %1 do not follow from %2: %3. Neither a reset "
        "(no count larger, one smaller) nor a wrap of a 16-bit counter (the other counts "
        "and the work time larger) explains it.")
        .arg(current, previous, parts.join(QStringLiteral("; ")));
}

QString WordAbove16Bits(const RecordValues &values, const QString &label)
{
    for (int word = 0; word < RecordWords; ++word) {
        if (values[word] < CounterRange)
            continue;
        return QStringLiteral("%1: word %2 (%3) is %4 (%5 hex), more than the 16 bits a "
                              "recorder word holds.")
            .arg(label)
            .arg(word + 1)
            .arg(wordName(word))
            .arg(values[word])
            .arg(QString::number(values[word], 16));
    }
    return {};
}
