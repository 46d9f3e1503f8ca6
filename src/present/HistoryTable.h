#pragma once

#include "RegisterTypes.h"
#include "Table.h"

// How a read-out follows the one before: running, wrap, reset, declared reset, or inconsistent
// (kept from before falls were classified, counted as after a reset).
QString PeriodClass(const HistoryPeriod &period);

// An aircraft's history, a row per read-out: the dates, the file and record, who added it, the
// period's hours and counts, the running totals, and the period's class; a total row for people.
Table HistoryTable(const HistoryResult &history);

// The history as the aircraft's report prints it: a row per read-out with the period's and the
// running totals' hours and counts at 3.0 g and −1.0 g; beyond PrintedReadoutsAtMost read-outs
// a row per year of the days they were taken instead (PrintedYearlyTable).
constexpr size_t PrintedReadoutsAtMost = 100;
Table PrintedHistoryTable(const HistoryResult &history);
// A row per year: its read-outs, the first and last taken, the hours and counts at 3.0 g and
// −1.0 g of its periods, the running totals at its end, its periods' damage summed and the life
// used at its end (counted estimate, without hours before the recorder).
Table PrintedYearlyTable(const HistoryResult &history);

// The names of the 18 levels, for a table's count columns.
QStringList LevelNames();
