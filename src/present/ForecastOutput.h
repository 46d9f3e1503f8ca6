#pragma once

#include "LifeOverTime.h"
#include "RegisterTypes.h"

#include <QByteArray>
#include <QStringList>

// What follows an aircraft's history for people: the limit-load exceedances of its whole history
// and the forecast of its life used, with the formulas.
// "Damage figures at the location ..." with each location's life used; empty without named
// locations.
QString LocationShownLine(const HistoryResult &history);
QStringList HistoryLifeLines(const HistoryResult &history, const Forecast &forecast);

// An aircraft's summary for the first page of its report: the life used of both estimates, the
// hours and date of each threshold, the limit-load exceedances.
QStringList HistorySummaryLines(const HistoryResult &history, const Forecast &forecast);

// The severity of the whole history against its type's design spectrum, or why there is none.
QString HistorySeverityLine(const HistoryResult &history);

// The forecast as a JSON object: the window, the rates and each threshold per estimate.
void AppendForecastJson(QByteArray &out, const Forecast &forecast);
// The limit-load bounds as a JSON object: per branch the limit, the bounds and their levels.
void AppendLimitBoundsJson(QByteArray &out, const LimitBounds &bounds);
