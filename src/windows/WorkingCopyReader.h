#pragma once

#include "CounterRecord.h"

#include <optional>

// The working copy's record for the table and the timers; a copy that cannot be read is
// named in a box captioned "Mistake" and gives nothing, so the caller changes nothing.
std::optional<RecordValues> ReadWorkingCopyOrSayWhy();
