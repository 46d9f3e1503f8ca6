#pragma once

#include "ExceedanceChart.h"
#include "UsageInput.h"
#include "UsageTables.h"

// The one analysis a chart or a report shows: the records read and combined as selected,
// compared with the references. ExitOk, or the exit status after saying why not.
ExitStatus AnalyseOnePeriod(const UsageSelection &selection, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, std::optional<ExceedanceAnalysis> &analysis);
