#pragma once

#include "Damage.h"
#include "DesignTables.h"
#include "Table.h"
#include "UsageAnalysis.h"

// The damage result's tables, built once for every format:
// - DamageRowsTable: a row per cycle group of each estimate and its total (or why it is not
//   available), with the period's source and hours on each row so that each stands alone;
// - DamageSummaryTable: a row per estimate with D, life used, hours left;
// - DamageCycleTable: one estimate's cycle groups.
// With a design spectrum the totals and the summary add its D per 1000 h and the severity.
Table DamageRowsTable(
    const UsagePeriod &period, const DamageResult &damage, const DesignComparison *design);
Table DamageSummaryTable(const DamageResult &damage, const DesignComparison *design);
Table DamageCycleTable(const DamageEstimate &estimate);

// Text for people of the life figures: "2.315 %", "10641 h", "exhausted".
QString HoursLeftText(const LifeFigures &life);
