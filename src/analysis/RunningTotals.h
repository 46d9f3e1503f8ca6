#pragma once

#include "Branches.h"
#include "CounterRecord.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// How a record of running totals follows the one before it. "Counters" are the 18 level
// counters; the work time (seconds word + 43200 s per 12-hour period) decides between a wrap and
// a fall that nothing explains.
enum class RunningKind {
    Running, // no counter and not the work time smaller: the period is the difference
    Wrap, // a 16-bit counter passed 65535 while others and the work time rose: unfolded
    Reset, // no counter larger and at least one smaller: counts from zero
    Inconsistent, // a fall that neither a wrap nor a reset explains
};

// "running", "wrap", "reset", "inconsistent".
QString RunningKindName(RunningKind kind);

// What a counter did between two records.
struct CounterChange
{
    int level = 0;
    std::int64_t from = 0;
    std::int64_t to = 0;
};

struct RunningStep
{
    RunningKind kind = RunningKind::Running;
    std::vector<CounterChange> fell; // the counters smaller than before
    std::vector<CounterChange> rose;
    std::int64_t secondsBefore = 0; // the work time of each record
    std::int64_t secondsAfter = 0;
    // The period the record adds: the difference (each wrapped counter + 65536), or the whole
    // record after a reset or an inconsistent fall.
    LevelCounts counts {};
    std::int64_t seconds = 0;

    // What changed, in words: "the count at 1.4 g falls from 64900 to 564; 17 count(s) rise;
    // the active work time rises from 14400000 s to 14403600 s" (three falls named at most).
    QString facts() const;
};

// A record of running totals against the one just before it (raw words, never unfolded ones,
// so that each wrap is found on its own pair). Records with nothing changed are Running with a
// zero period.
RunningStep ClassifyRunning(const RecordValues &previous, const RecordValues &current);

// The message that refuses an inconsistent fall from `previous` to `current` (labels such as
// "f.dat" record 3), listing the counters that fell and rose and both work times.
QString InconsistentFallText(
    const RunningStep &step, const QString &previous, const QString &current);

// The first word of the record above 16 bits, in words naming `label`, the word's number and
// what it is: "\"f.dat\" record 2: word 3 (the count at -1.0 g) is 65536, more than the 16
// bits ..."; empty when every word fits.
QString WordAbove16Bits(const RecordValues &values, const QString &label);
