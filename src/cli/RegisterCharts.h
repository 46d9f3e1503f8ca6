#pragma once

// The charts drawn from the register: the exceedances of an aircraft's read-outs in a window
// (or of every aircraft's, a series each), and the trend of an aircraft's life used.

#include "ChartFile.h"
#include "Cli.h"

// The exceedance chart of `--aircraft REG` or `--fleet` in the window. The exit status after
// saying why not: as `exceedance` refuses; with --fleet, no aircraft with anything to draw.
Stop RegisterExceedanceDrawing(const CommandLine &commandLine, ChartDrawing &drawing);

// The trend chart of `--aircraft REG`: its life used over its whole history with the forecast at
// the rates of `--rate-window` days. ExitUsage for --fleet or a FILE beside it, or without
// --aircraft; ExitRefused for an aircraft the register does not know, or one without S-N data or
// read-outs, or whose first period's damage is refused. What the chart cannot draw (no forecast, no
// upper bound) is said on standard error.
Stop RegisterTrendDrawing(const CommandLine &commandLine, ChartDrawing &drawing);
