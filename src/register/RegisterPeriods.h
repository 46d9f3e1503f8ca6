#pragma once

#include "CombineRecords.h"
#include "RegisterRows.h"

#include <functional>
#include <optional>
#include <vector>

// The period of each read-out by the rules of CombineRecords (internal to the register library):
// separate, each record whole; running, the difference from the read-out before it, or the whole
// record where a running total fell (a reset).
struct DerivedPeriods
{
    std::vector<StoredPeriod> periods; // one per record given
    std::vector<std::pair<int, QString>> resets; // index into the records, and what fell
};

// The periods of `records` (in the order taken), the first of which follows `previous` (none:
// the aircraft's first read-out, which counts whole). `label` names a record for the text of a
// reset: label(i) the i-th of `records`, label(-1) `previous`; it is called for resets only.
DerivedPeriods DerivePeriods(CombineMode mode, const std::optional<RecordValues> &previous,
    const std::vector<RecordValues> &records, const std::function<QString(int)> &label);
