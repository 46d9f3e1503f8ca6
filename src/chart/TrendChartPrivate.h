#pragma once

// What the trend chart's painter (TrendChart.cpp) and its layout (TrendChartLayout.cpp) share.
// Private to the chart library.

#include "TrendChart.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

namespace TrendDrawing {
// The sizes of one drawing, all following the base text size u.
struct TrendSizes
{
    double u = 0, pad = 0, line = 0, frame = 0, marker = 0;
    QFont label, title, legend, note;
};

TrendSizes sizesOf(const QPaintDevice *device, const QRectF &area);
double widestOf(const QFontMetricsF &metrics, const QStringList &texts);
// The percent axis' tick texts.
QStringList percentLabels(const QList<double> &ticks);
} // namespace TrendDrawing
