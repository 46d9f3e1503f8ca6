#pragma once

#include "CounterRecord.h"

// The working copy "bufor.txt", read afresh by the table, the chart and the timers.
// A copy that cannot be opened gives "Please open file first"; a malformed one the reader's
// message naming the value at fault.
ReadResult ReadWorkingCopy();
