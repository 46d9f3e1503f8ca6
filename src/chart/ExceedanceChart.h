#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// Exceedances per 1000 flight hours against a load axis: measured spectra as marked lines,
// reference spectra as plain lines, on a logarithmic value scale of whole decades. Plain data in,
// so that the chart knows nothing of records or of the analysis that filled it.

struct ExceedanceSeries
{
    QString label; // legend text; a series without one stays out of the legend
    QList<QPointF> positive; // (axis value, exceedances per 1000 h), level by level outward
    QList<QPointF> negative; // the same for the negative branch
    bool measured = false; // marked points joined by lines; otherwise a line of its own dash
};

// A vertical line across the plot at a value of the load axis: a limit load factor.
struct ChartLimitLine
{
    double axisValue = 0;
    QString label; // set at the top of the line, inside the plot
};

struct ExceedanceChartData
{
    QString axisTitle; // under the horizontal axis, with its unit
    QString valueTitle; // beside the vertical axis
    QString caption; // one line above the plot: what was read, how many hours
    QList<ExceedanceSeries> series;
    QList<ChartLimitLine> limitLines; // the axis is widened to show them
};

// Whole decades 10^first ... 10^last of the value axis.
struct DecadeRange
{
    int first = 0;
    int last = 1;
    bool operator==(const DecadeRange &) const = default;
};

// The whole decades spanning minimum ... maximum, at least one; {0, 1} unless
// 0 < minimum <= maximum < inf.
DecadeRange LogDecades(double minimum, double maximum);

// A decade's label: the plain number ("0.01" ... "10000", exponent empty) when every decade of
// the axis lies within 10^-2 ... 10^4, otherwise "10" with the exponent set raised after it.
struct DecadeLabelText
{
    QString base;
    QString exponent;
};
DecadeLabelText DecadeLabel(int exponent, DecadeRange axis);

// Ticks 1, 2 or 5 x 10^k apart, about `intervals` of them, from the last tick at or below the
// minimum to the first at or above the maximum: the ends of the axis. An empty range is widened
// around its value; NaN or infinite ends give the ticks of 0 ... 1, a range wider than a double
// holds its two ends alone.
QList<double> NiceTicks(double minimum, double maximum, int intervals = 6);

// A tick's text with as many decimals as the step needs, a true minus sign before negatives.
QString TickLabel(double value, double step);

// The colour of the n-th measured series and of the n-th reference, counted apart.
QColor MeasuredColour(int index);
QColor ReferenceColour(int index);

// "Liberation Sans" where installed: the chart and the report are set in it.
QString ChartFontFamily();

// The whole chart within the area, on any paint device: the area is filled white, the text and
// line sizes follow the area's size, never smaller than 7 pt on the device. Points with a NaN or
// infinite coordinate are left out; zero exceedances are not drawn and cut the line there. The
// painter is left as it was found.
void PaintExceedanceChart(QPainter &painter, const QRectF &area, const ExceedanceChartData &data);

// The chart as an image of that size, on white; a null image for an empty size.
QImage RenderExceedanceChart(QSize size, const ExceedanceChartData &data);
