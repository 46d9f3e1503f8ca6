#pragma once

#include "CounterRecord.h"

// The working copy "bufor.txt", read afresh by the table, the chart and the timers.
// A copy that cannot be opened gives "Please open file first"; a malformed one the reader's
// message naming the value at fault.
ReadResult ReadWorkingCopy();

// Deletes "bufor.txt" and "dane.txt", as the main window's Close does. Failures are ignored: a
// missing, locked or read-only file (one whose owner may not write it) stays in place.
void DeleteWorkingFiles();
