#pragma once

#include "CombineRecords.h"
#include "RegisterRows.h"

#include <functional>
#include <optional>
#include <vector>

// The period of each read-out by the rules of CombineRecords (internal to the register library):
// separate, each record whole; running, each record classified against the read-out before it
// (ClassifyRunning): the difference, a wrap unfolded, or the whole record after a reset.
struct DerivedPeriods : Result
{
    std::vector<StoredPeriod> periods; // one per record given
    // Index into the records, and what fell: resets, wraps, and inconsistent falls kept.
    std::vector<std::pair<int, QString>> resets;
};

// The periods of `records` (in the order taken), the first of which follows `previous` (none:
// the aircraft's first read-out, which counts whole). `declared[i]` (when given): the i-th
// record was added as after a reset. `label` names a record for the texts: label(i) the i-th of
// `records`, label(-1) `previous`; it is called only where something fell. With
// InconsistentFall::Refuse a fall that nothing explains is refused, naming both records.
DerivedPeriods DerivePeriods(CombineMode mode, const std::optional<RecordValues> &previous,
    const std::vector<RecordValues> &records, const std::vector<bool> &declared,
    InconsistentFall inconsistent, const std::function<QString(int)> &label);
