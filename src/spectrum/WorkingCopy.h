#pragma once

#include "record/CounterRecord.h"

#include <optional>

// Reads the record from the working copy "bufor.txt" for the table and the timers. A missing
// copy gives "Please open file first", a malformed one the reader's message, both in a box
// captioned "Mistake"; the caller then changes nothing.
std::optional<RecordValues> ReadWorkingCopy();
