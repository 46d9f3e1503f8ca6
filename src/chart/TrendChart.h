#pragma once

#include <QColor>
#include <QDate>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QPaintDevice;
class QPainter;

// Life used against flight hours (upper panel) and against the date (lower panel): the counted
// estimate and the upper bound read-out by read-out, the thresholds as dashed lines, the forecast
// as a dashed continuation to each threshold. Plain data in, so that the chart knows nothing of
// the register or of the analysis that filled it.

enum class TrendLine { Counted, Upper };

// One read-out: the totals up to it.
struct TrendPoint
{
    double hours = 0;
    QDate date;
    double counted = 0; // life used, %
    std::optional<double> upper; // none: no upper bound up to here
};

struct TrendThreshold
{
    double percent = 0;
    QString label; // right of the plot at the line's height
};

// From the last read-out of the line's estimate to the threshold it reaches.
struct TrendForecast
{
    TrendLine line = TrendLine::Counted;
    double percent = 0; // the threshold
    double hours = 0; // total flight hours then
    QDate date; // invalid: beyond the dates that can be written; the lower panel leaves it out
};

struct TrendChartData
{
    QString caption; // one line above the plots: which aircraft, how many read-outs
    QStringList notes; // lines under it: what is not drawn and why
    QList<TrendPoint> points; // in order taken
    QList<TrendThreshold> thresholds;
    QList<TrendForecast> forecasts;
};

// Where the plots lie and what their axes span, as the chart is drawn on the device.
struct TrendChartLayout
{
    QRectF hoursPlot; // upper panel
    QRectF datePlot; // lower panel
    double hoursFirst = 0, hoursLast = 1;
    QDate dateFirst, dateLast;
    double percentLast = 100; // both panels run from 0 %
    QList<double> hourTicks, percentTicks;
    QList<QDate> dateTicks;
    bool valid() const { return hoursPlot.isValid() && datePlot.isValid(); }
    QPointF atHours(double hours, double percent) const;
    QPointF atDate(const QDate &date, double percent) const;
};
// Empty (not valid) where the area is too small for two plots.
TrendChartLayout LayOutTrendChart(
    const QPaintDevice *device, const QRectF &area, const TrendChartData &data);

// Dates about `intervals` apart on whole days, months or years, from the last at or before
// `first` to the first at or after `last`: the ends of the axis. Invalid dates give none.
QList<QDate> DateTicks(const QDate &first, const QDate &last, int intervals = 6);
// A date tick's text as fine as the ticks' step: "2026", "2026-03" or "2026-03-15".
QString DateTickLabel(const QDate &date, const QList<QDate> &ticks);

QColor TrendColour(TrendLine line);
QColor ThresholdColour();

// The whole chart within the area, filled white first; the painter is left as it was found.
void PaintTrendChart(QPainter &painter, const QRectF &area, const TrendChartData &data);
// The chart as an image of that size, on white; a null image for an empty size.
QImage RenderTrendChart(QSize size, const TrendChartData &data);
