#pragma once

#include "RegisterTypes.h"
#include "Table.h"

// The aircraft of `register list`, or of `fleet` in the ranking with the rank and, over a
// window, life used to date: a row each with the read-outs, hours, exceedances per 1000 h at
// 3.0 g and -1.0 g, and the counted estimate's damage, life used, design-life rate, severity
// against the type's design spectrum and hours left (the upper estimate's life used and
// severity, and why there is no damage figure or severity, for files).
Table UsageListTable(const UsageListResult &list, bool fleet);

// Each named location's life used: "wing root 12.5 %; fin 3.1 %"; empty without locations.
QString LocationsLifeUsedText(const std::vector<LocationLifeUsed> &locations);
