#pragma once

// The exceedance chart's painter, split over ExceedanceChartPainter.cpp (frame, grid, scales,
// series) and ExceedanceLegend.cpp (the legend). Private to the chart library.

#include "ExceedanceChart.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>

namespace ExceedanceDrawing {
// Axis values beyond this are no load factor or fraction; leaving them out like NaN keeps the
// axis arithmetic far from overflow.
inline constexpr double AxisLimit = 1e15;
// Decades that read best as plain numbers.
inline constexpr int PlainFirst = -2;
inline constexpr int PlainLast = 4;
// Text is never set smaller than this on the device, however small the area.
inline constexpr double MinimumPoints = 7;
// Points along the lines that the legend is kept clear of.
inline constexpr qsizetype InkSamples = 20000;
// What the charts share around their painters: `paint` run on a white, clipped, antialiased
// `area`, the painter's state kept; and the picture of a chart of `size` that `paint` draws into
// its whole area (a null image for an empty size).
void PaintChartArea(QPainter &painter, const QRectF &area, const std::function<void()> &paint);
QImage RenderChartImage(QSize size, const std::function<void(QPainter &, const QRectF &)> &paint);

inline constexpr double Infinity = std::numeric_limits<double>::infinity();

inline const QColor TextColour(0x20, 0x20, 0x20);
inline const QColor FrameColour(0x40, 0x40, 0x40);
inline const QColor DecadeGridColour(0xBE, 0xBE, 0xBE);
inline const QColor MinorGridColour(0xE8, 0xE8, 0xE8);
inline const QColor TickGridColour(0xDC, 0xDC, 0xDC);
inline const QColor LegendBorderColour(0x9A, 0x9A, 0x9A);
inline const QColor HintColour(0x60, 0x60, 0x60);
inline const QColor LimitLineColour(0xB7, 0x1C, 0x1C);

inline const std::array<QColor, 4> MeasuredColours {QColor(0xD3, 0x2F, 0x2F),
    QColor(0x19, 0x76, 0xD2), QColor(0x38, 0x8E, 0x3C), QColor(0x7B, 0x1F, 0xA2)};
struct ReferenceStyle
{
    QColor colour;
    Qt::PenStyle dash;
};
inline const std::array<ReferenceStyle, 6> ReferenceStyles {{
    {QColor(0x30, 0x30, 0x30), Qt::DashLine},
    {QColor(0xE6, 0x7E, 0x00), Qt::DashDotLine},
    {QColor(0x00, 0x89, 0x7B), Qt::DotLine},
    {QColor(0x79, 0x55, 0x48), Qt::DashDotDotLine},
    {QColor(0x5C, 0x6B, 0xC0), Qt::DashLine},
    {QColor(0x9E, 0x9D, 0x24), Qt::DashDotLine},
}};

enum Marker { Circle, Square, Triangle, Diamond };
// The chart's helpers, shared by the painter's files.
bool onAxis(const QPointF &p);
bool shown(const QPointF &p);
// 10^e, to correct floor(log10(v)) and ceil(log10(v)), which rounding can put one decade off
// near the powers of ten.
double powerOfTen(int exponent);
// 1, 2 or 5 x 10^k, the smallest not below the value (> 0).
double niceAtLeast(double value);
int floorMod(int value, int divisor);
QFont chartFont(double pixels, double dpi, bool italic = false);
QString withMinus(QString text);
// The shown points of a branch in runs: a point not shown ends a run.
QList<QList<QPointF>> runsOf(const QList<QPointF> &points);
void drawMarker(QPainter &painter, QPointF c, double r, int shape, const QColor &colour,
    bool hollow, double outline);

// What the data spans on both axes.
struct DataSpan
{
    double xMin, xMax, yMin, yMax;
};

// How a series is drawn: its colour, a marker for measured ones, a dash for references.
struct SeriesLook
{
    QColor colour;
    int marker = Circle;
    Qt::PenStyle dash = Qt::SolidLine;
    bool measured = false;
};

QList<SeriesLook> looksOf(const QList<ExceedanceSeries> &series);

// One row of the legend: a series' line, the key to the open markers, or the count of the rows
// left out.
struct LegendEntry
{
    enum Kind { Series, MarkerKey, Omitted };
    QString text;
    Kind kind = Series;
    int series = 0;
};

// The sizes of one drawing, all following the base text size u.
struct Sizes
{
    double u = 0;
    double pad = 0;
    double line = 0;
    double frame = 0;
    double marker = 0;
    QFont label, exponent, title, legend, message;
};

class ChartPainter
{
public:
    ChartPainter(QPainter &painter, const QRectF &area, const ExceedanceChartData &data)
        : p(painter)
        , area(area)
        , data(data)
        , looks(looksOf(data.series))
    { }

    void paint();
    DataSpan dataSpan() const;

private:
    QSizeF decadeLabelSize(int exponent) const;
    double xOf(double x) const { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); }
    double yOfLog(double logValue) const
    {
        return plot.bottom()
            - (logValue - decades.first) / (decades.last - decades.first) * plot.height();
    }
    QPointF map(const QPointF &v) const { return {xOf(v.x()), yOfLog(std::log10(v.y()))}; }

    void drawGrid();
    void drawScaleTexts();
    void drawSeries();
    void drawLimitLines();
    void drawLegend();
    bool markerKeyNeeded() const;
    QRectF legendPlace(QSizeF box, double inset) const;
    void drawLegendRows(
        const QList<LegendEntry> &entries, const QRectF &legend, double row, double sample);
    void drawText(const QFont &font, const QColor &colour, QPointF baseline, const QString &text);

    QPainter &p;
    const QRectF area;
    const ExceedanceChartData &data;
    const QList<SeriesLook> looks;
    Sizes z;
    QRectF plot;
    double x0 = 0, x1 = 1;
    QList<double> ticks;
    int tickStride = 1;
    DecadeRange decades;
    int decadeStride = 1;
    bool hasData = false;
    QList<QPointF> ink; // device points the data covers, which the legend keeps clear of
};
} // namespace ExceedanceDrawing
