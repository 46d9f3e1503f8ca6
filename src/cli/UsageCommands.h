#pragma once

#include "ExceedanceChart.h"
#include "UsageTables.h"

// The exceedance table of a period on the axis, compared with each reference.
ExceedanceAnalysis AnalyseExceedances(const UsagePeriod &period, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references);

// The chart of an analysis: the measured branches, and each reference's own points moved onto
// the table's axis.
ExceedanceChartData ExceedanceChartOf(
    const ExceedanceAnalysis &analysis, const std::vector<ReferenceSpectrum> &references);

// The one analysis a chart or a report shows: the records read and combined as selected,
// compared with the references. ExitOk, or the exit status after saying why not.
ExitStatus AnalyseOnePeriod(const UsageSelection &selection, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, std::optional<ExceedanceAnalysis> &analysis);
