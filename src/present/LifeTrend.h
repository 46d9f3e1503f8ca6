#pragma once

#include "LifeOverTime.h"
#include "RegisterTypes.h"
#include "TrendChart.h"

#include <vector>

// The trend chart of an aircraft's life used, from its history and the forecast made of it: each
// read-out's life used of both estimates, the thresholds, and the forecast to each threshold not
// yet reached. What is not drawn and why (no forecast, no upper bound) is said in the chart's
// notes and kept apart for standard error. Without a point (the first period's damage refused)
// there is nothing to draw: `missing` says why.
struct LifeTrend
{
    TrendChartData chart;
    QStringList missing;
};
LifeTrend LifeTrendOf(
    const HistoryResult &history, const Forecast &forecast, const std::vector<double> &thresholds);
