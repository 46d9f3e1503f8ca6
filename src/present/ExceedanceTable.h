#pragma once

#include "ReferenceSpectrum.h"
#include "Table.h"
#include "UsageAnalysis.h"

#include <vector>

enum class ExceedanceLayout {
    Stream, // the levels in order with the branch; CSV rows carry the source and hours
    Printed, // outward from 1 g on each branch, the positive branch first; printed headings
};

// The exceedance table of one analysis, a row per level: the axis value, Nc, per hour, per
// 1000 h and its log10, and for each reference its value per 1000 h and the ratio (JSON: the
// group "references").
Table ExceedanceLevelsTable(const ExceedanceAnalysis &analysis,
    const std::vector<ReferenceSpectrum> &references,
    ExceedanceLayout layout = ExceedanceLayout::Stream);
// The same columns without rows, for a CSV header before any record is read.
Table ExceedanceColumns(
    Axis axis, const std::vector<ReferenceSpectrum> &references, ExceedanceLayout layout);
// Fills a table of those columns with the analysis, its rows reused where it has them already
// (a stream refills one table for each record).
void FillExceedanceRows(Table &table, const ExceedanceAnalysis &analysis, ExceedanceLayout layout);
// The references beside a run's analyses, a row each, for JSON: the file, name, source, table
// or figure, page and axis, and the first level above each on either branch (FillFirstAbove;
// none: null).
Table ReferenceComparisonTable(const std::vector<ReferenceSpectrum> &references);
// Sets one analysis's first levels above into that table, the rest of it kept.
void FillFirstAbove(Table &table, const std::vector<ReferenceComparison> &comparisons);
