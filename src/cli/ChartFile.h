#pragma once

#include "ChartPicture.h"
#include "Result.h"

#include <QString>

// The chart window's drawing of a record written to a file: PNG (the window's pixels), PDF (one
// page of the chart's size, one pixel to the point, drawn as vector shapes and text) or SVG,
// chosen by the file name's extension.
enum class ChartFormat { Png, Pdf, Svg, Unknown };
ChartFormat ChartFormatOf(const QString &fileName);

// The file is written beside and renamed into place, so it is never left half-written. A
// failure names the file and the reason.
Result WriteChartFile(
    const QString &fileName, QSize size, const ChartLook &look, const Spectrum &spectrum);
