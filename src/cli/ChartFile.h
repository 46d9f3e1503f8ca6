#pragma once

#include "ChartPicture.h"
#include "Result.h"

#include <QIODevice>
#include <QString>

#include <functional>

// The chart window's drawing of a record written to a file: PNG (the window's pixels), PDF (one
// page of the chart's size, one pixel to the point, drawn as vector shapes and text) or SVG,
// chosen by the file name's extension.
enum class ChartFormat { Png, Pdf, Svg, Unknown };
ChartFormat ChartFormatOf(const QString &fileName);
// "png", "pdf" or "svg", in any case.
ChartFormat ChartFormatNamed(const QString &name);

// Writes an output file of the command line as a whole: new content beside it, renamed into
// place, so it is never left half-written, and only ever over a regular file (a device, FIFO or
// directory there, or a link to one, is refused). "-" is standard output, written as a stream.
// A failure names the file and the reason.
Result WriteOutputFile(
    const QString &fileName, const std::function<Result(QIODevice &device)> &write);

Result WriteChartFile(const QString &fileName, ChartFormat format, QSize size,
    const ChartLook &look, const Spectrum &spectrum);
