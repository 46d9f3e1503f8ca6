#pragma once

#include "Branches.h"
#include "CounterRecord.h"
#include "NameTable.h"
#include "Result.h"
#include "RunningTotals.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Which read-outs the counts and hours of an analysis come from. Whether the recorder was reset
// between two read-outs is not in the file, so the user says how records combine; nothing is
// guessed.
enum class CombineMode {
    NotGiven, // enough for one record; more than one is refused
    Separate, // each record counts from a reset: the sums
    Running, // running totals in file order: each period is the difference from the previous
};

// Not given has no name.
inline constexpr NamedValue<CombineMode> CombineModeNames[] = {
    {CombineMode::Separate, "separate", "each counts from a reset: sums"},
    {CombineMode::Running, "running", "running totals in file order: differences"},
};
inline std::optional<CombineMode> CombineModeFromName(const QString &name)
{
    return ValueNamed(CombineModeNames, name);
}
// "separate", "running", "" when not given
inline QString CombineModeName(CombineMode mode)
{
    return NameOf(CombineModeNames, mode);
}

// Why several records need a mode, and the two choices: for the usage message.
extern const QString CombineModeChoices;

// A record with the words that name it in messages, e.g. "f.dat" record 3.
struct LabelledRecord
{
    QString label;
    RecordValues values {};
    // The user said the recorder was reset before it: a fall that nothing explains counts as a
    // reset instead of being refused.
    bool declaredReset = false;
};

// The active work time in whole seconds: the seconds word plus 43200 s per 12-hour period.
std::int64_t ActiveSeconds(const RecordValues &values);

// One period the combination is made of: a record, or in running mode the difference between a
// record and the one before it.
struct CombinedPeriod
{
    int record = 0; // index into the records given
    bool afterReset = false; // running mode: the record counts over again from a reset
    LevelCounts counts {};
    std::int64_t seconds = 0;
    RunningKind kind = RunningKind::Running; // running mode: how it follows the one before
};

// Where running totals went down: the record starts over and counts as its own period (a
// reset, declared or found), or a counter wrapped and the record goes on from the one before.
struct RecorderResetFound
{
    int record = 0; // index of the record that starts over
    RunningKind kind = RunningKind::Reset; // Reset, Wrap, or Inconsistent where kept
    bool declared = false; // an inconsistent fall taken as the reset declared with the record
    RunningStep step; // what fell and rose against the record before
    QString text; // ResetFoundText with the records' own labels
};

// The line for standard error where running totals start over or wrap, naming the record
// before (`previous`) and the one that starts over (`current`).
QString ResetFoundText(
    const RecorderResetFound &found, const QString &previous, const QString &current);

struct CombinedCounts : Result
{
    LevelCounts counts {}; // Nc per level over all periods
    std::int64_t seconds = 0; // the active work time over all periods
    double hours = 0; // T = seconds / 3600, never zero in a success
    std::vector<CombinedPeriod> periods;
    std::vector<RecorderResetFound> resets; // running mode only: resets and wraps, in order
};

// What a fall of running totals that neither a wrap nor a reset explains does.
enum class InconsistentFall {
    Refuse, // the combination is refused with InconsistentFallText (unless declared a reset)
    Keep, // counted whole as after a reset, and listed among the resets as Inconsistent
};

// The periods of the records by the mode and their sums, as CombineRecords makes them, but with
// no hours asked for: read-outs with no flying between them make periods of zero hours. In
// running mode each record is classified against the one before it (ClassifyRunning). Refused
// for no record, several without a mode, or (Refuse) an inconsistent fall not declared a reset.
CombinedCounts SplitIntoPeriods(const std::vector<LabelledRecord> &records, CombineMode mode,
    InconsistentFall inconsistent = InconsistentFall::Refuse);

// Combines the records by the mode. Refused (Invalid): no record, more than one record without
// a mode (the message explains the choices), an inconsistent fall of running totals, or a total
// active work time of zero (T = 0 cannot be normalised; the message names the record, or every
// record combined).
CombinedCounts CombineRecords(const std::vector<LabelledRecord> &records, CombineMode mode);
