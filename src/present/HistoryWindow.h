#pragma once

#include "RegisterTypes.h"
#include "UsageAnalysis.h"

#include <QDate>

#include <optional>

// The read-outs of an aircraft taken from `since` to `until` (each day included; either open)
// as one period of the usage analysis: their periods' counts and active time summed, each
// period kept, so that the usage commands read the register as they read files. The source
// names the aircraft, how many read-outs and their dates. A failure (Invalid) for a window
// without read-outs or without active time says so.
UsagePeriod HistoryWindowPeriod(const HistoryResult &history, const std::optional<QDate> &since,
    const std::optional<QDate> &until);
