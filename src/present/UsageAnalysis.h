#pragma once

#include "CombineRecords.h"
#include "Exceedance.h"
#include "ExceedanceChart.h"
#include "LifeOverTime.h"
#include "ReferenceSpectrum.h"

#include <QString>

#include <vector>

// The counts and hours of one analysis with the words that say where they come from.
struct UsagePeriod
{
    QString source; // "f.dat" record 1; "f.dat" records 1–3 (running)
    CombinedCounts combined;
};

// One exceedance table with its comparisons against the reference spectra.
struct ExceedanceAnalysis
{
    UsagePeriod period;
    ExceedanceTable table;
    std::vector<ReferenceComparison> comparisons; // one per reference, in the order given
    // Exceedances of the axis's limit loads, the sums of the periods' bounds.
    LimitBounds overLimit;
};

// The exceedance table of a period on the axis, compared with each reference.
ExceedanceAnalysis AnalyseExceedances(const UsagePeriod &period, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references);

// Each reference's own points moved onto the axis, a line each.
QList<ExceedanceSeries> ReferenceSeries(
    const std::vector<ReferenceSpectrum> &references, const AxisChoice &axis);

// The axis's limit loads as lines across the chart; none without limits.
QList<ChartLimitLine> LimitLines(const AxisChoice &axis);

// The chart of an analysis: the measured branches, and each reference's own points moved onto
// the table's axis.
ExceedanceChartData ExceedanceChartOf(
    const ExceedanceAnalysis &analysis, const std::vector<ReferenceSpectrum> &references);
