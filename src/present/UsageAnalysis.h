#pragma once

#include "CombineRecords.h"
#include "Exceedance.h"
#include "ExceedanceChart.h"
#include "LifeOverTime.h"
#include "ReferenceSpectrum.h"
#include "Table.h"

#include <QString>

#include <vector>

// The counts and hours of one analysis with the words that say where they come from.
struct UsagePeriod
{
    QString source; // "f.dat" record 1; "f.dat" records 1–3 (running)
    CombinedCounts combined;
    // The same apart, for CSV's columns: the data files' bare names ("; " between several), the
    // records read of the one file (none of several, whose numbers each start at 1), or the
    // register's aircraft in place of files.
    QString file;
    qint64 firstRecord = 0; // 0: none
    qint64 lastRecord = 0;
    QString aircraft;
    // The structural location whose S-N data the damage figures take; empty without named
    // locations.
    QString location;
};

// The CSV columns of where a period's counts come from (file, first record, last record,
// aircraft) and their cells; after every other column, so that the columns before keep their
// places.
inline constexpr qsizetype PeriodOriginColumnCount = 4;
QList<TableColumn> PeriodOriginColumns();
QList<TableCell> PeriodOriginCells(const UsagePeriod &period);
// The same cells set in place, the first of them at `cells`: nothing allocated for a table
// refilled record by record.
void AssignPeriodOrigin(TableCell *cells, const UsagePeriod &period);

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
