#pragma once

#include "ChartPicture.h"
#include "NameTable.h"
#include "Result.h"

#include <QString>

#include <functional>

// The chart window's drawing of a record written to a file: PNG (the window's pixels), PDF (one
// page of the chart's size, one pixel to the point, drawn as vector shapes and text) or SVG,
// chosen by the file name's extension.
enum class ChartFormat { Png, Pdf, Svg, Unknown };
inline constexpr NamedValue<ChartFormat> ChartFormatNames[] = {
    {ChartFormat::Png, "png"},
    {ChartFormat::Pdf, "pdf"},
    {ChartFormat::Svg, "svg"},
};
ChartFormat ChartFormatOf(const QString &fileName);
// "png", "pdf" or "svg", in any case.
ChartFormat ChartFormatNamed(const QString &name);

// A chart as the file formats need it: pixels for PNG, painting on a vector device for PDF and
// SVG.
struct ChartDrawing
{
    QString title; // the document's title in PDF and SVG
    std::function<QImage(QSize size)> render;
    std::function<void(QPainter &painter, QSize size)> paint;
};

// The chart window's drawing of a spectrum.
ChartDrawing SpectrumChartDrawing(const ChartLook &look, const Spectrum &spectrum);

Result WriteChartFile(
    const QString &fileName, ChartFormat format, QSize size, const ChartDrawing &drawing);
