#include "TrendChart.h"

#include "ExceedanceChartPainter.h"
#include "TrendChartPrivate.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ExceedanceDrawing;

namespace TrendDrawing {
TrendSizes sizesOf(const QPaintDevice *device, const QRectF &area)
{
    const double dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    TrendSizes z;
    z.u = std::max({0.02 * area.height(), 0.017 * area.width(), MinimumPoints * dpi / 72});
    z.pad = 0.5 * z.u;
    z.line = std::max(1.0, 0.13 * z.u);
    z.frame = std::max(1.0, 0.07 * z.u);
    z.marker = 0.3 * z.u;
    z.label = chartFont(0.9 * z.u, dpi);
    z.title = chartFont(z.u, dpi);
    z.legend = chartFont(0.85 * z.u, dpi);
    z.note = chartFont(0.85 * z.u, dpi, true);
    return z;
}

double widestOf(const QFontMetricsF &metrics, const QStringList &texts)
{
    double width = 0;
    for (const QString &text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    return width;
}

QStringList percentLabels(const QList<double> &ticks)
{
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1;
    QStringList labels;
    for (const double t : ticks)
        labels << TickLabel(t, step);
    return labels;
}
} // namespace TrendDrawing

using namespace TrendDrawing;

namespace {
// A forecast far beyond the read-outs would squeeze them into a corner: the axes reach at most
// this many times the span of the history, and the line runs on out of the plot.
constexpr double ForecastReach = 10;
constexpr int MinimumForecastDays = 120;

// What the axes must hold: hours from 0, the read-outs' dates, life used from 0 to the highest
// value or threshold; the forecast's ends within the reach.
struct Span
{
    double hoursMax = 0;
    QDate first, last;
    double percentMax = 0;
};

Span spanOf(const TrendChartData &data)
{
    Span s;
    const auto percent = [&s](double value) {
        if (std::isfinite(value))
            s.percentMax = std::max(s.percentMax, value);
    };
    for (const TrendPoint &point : data.points) {
        if (std::isfinite(point.hours))
            s.hoursMax = std::max(s.hoursMax, point.hours);
        if (point.date.isValid()) {
            s.first = s.first.isValid() ? std::min(s.first, point.date) : point.date;
            s.last = s.last.isValid() ? std::max(s.last, point.date) : point.date;
        }
        percent(point.counted);
        percent(point.upper.value_or(0));
    }
    for (const TrendThreshold &threshold : data.thresholds)
        percent(threshold.percent);
    const double hoursReach = ForecastReach * s.hoursMax;
    const QDate dateReach = s.first.isValid()
        ? s.first.addDays(
            std::max<qint64>(qint64(ForecastReach * s.first.daysTo(s.last)), MinimumForecastDays))
        : QDate();
    for (const TrendForecast &forecast : data.forecasts) {
        if (std::isfinite(forecast.hours))
            s.hoursMax = std::max(s.hoursMax, std::min(forecast.hours, hoursReach));
        if (forecast.date.isValid() && s.last.isValid())
            s.last = std::max(s.last, std::min(forecast.date, dateReach));
        percent(forecast.percent);
    }
    return s;
}
} // namespace

QPointF TrendChartLayout::atHours(double hours, double percent) const
{
    return {hoursPlot.left() + (hours - hoursFirst) / (hoursLast - hoursFirst) * hoursPlot.width(),
        hoursPlot.bottom() - percent / percentLast * hoursPlot.height()};
}

QPointF TrendChartLayout::atDate(const QDate &date, double percent) const
{
    const double span = double(dateFirst.daysTo(dateLast));
    const double x = date.isValid() && span > 0
        ? datePlot.left() + double(dateFirst.daysTo(date)) / span * datePlot.width()
        : std::numeric_limits<double>::quiet_NaN();
    return {x, datePlot.bottom() - percent / percentLast * datePlot.height()};
}

TrendChartLayout LayOutTrendChart(
    const QPaintDevice *device, const QRectF &area, const TrendChartData &data)
{
    TrendChartLayout layout;
    for (const double v : {area.left(), area.top(), area.width(), area.height()}) {
        if (!std::isfinite(v))
            return layout;
    }
    const TrendSizes z = sizesOf(device, area);
    const QFontMetricsF label(z.label, device), title(z.title, device), note(z.note, device);
    const Span s = spanOf(data);
    // Headroom above the highest threshold, so that its line is not the frame's.
    layout.percentTicks = NiceTicks(0, std::max(s.percentMax * 1.08, 1.0), 6);
    layout.percentLast = layout.percentTicks.last();
    QStringList thresholdLabels;
    for (const TrendThreshold &threshold : data.thresholds)
        thresholdLabels << threshold.label;

    const double top = z.pad + (data.caption.isEmpty() ? 0 : title.height())
        + data.notes.size() * note.height() + z.pad + label.height() / 2;
    const double below = 0.35 * z.u + label.height() + 0.35 * z.u + title.height() + z.pad;
    const double panel = std::floor((area.height() - top - 2 * below) / 2);
    const double left = z.pad + title.height() + 0.4 * z.u
        + widestOf(label, percentLabels(layout.percentTicks)) + 0.4 * z.u;
    const double right = z.pad + std::max(1.5 * z.u, 0.4 * z.u + widestOf(label, thresholdLabels));
    const double width = std::round(area.width() - left - right);
    if (!(panel >= 2 * z.u) || !(width >= 4 * z.u))
        return layout;
    const int intervals = std::clamp(int(width / (5 * z.u)), 2, 10);
    layout.hourTicks = NiceTicks(0, std::max(s.hoursMax, 1.0), intervals);
    layout.hoursFirst = layout.hourTicks.first();
    layout.hoursLast = layout.hourTicks.last();
    layout.dateTicks = DateTicks(s.first, s.last, intervals);
    if (!layout.dateTicks.isEmpty()) {
        layout.dateFirst = layout.dateTicks.first();
        layout.dateLast = layout.dateTicks.last();
    }
    layout.hoursPlot
        = QRectF(std::round(area.left() + left), std::round(area.top() + top), width, panel);
    layout.datePlot
        = layout.hoursPlot.translated(0, std::round(panel + below + label.height() / 2));
    return layout;
}

QList<QDate> DateTicks(const QDate &first, const QDate &last, int intervals)
{
    if (!first.isValid() || !last.isValid())
        return {};
    const QDate from = std::min(first, last), to = std::max(first, last);
    const qint64 span = std::max<qint64>(from.daysTo(to), 1);
    intervals = std::max(intervals, 1);
    const auto run = [&](QDate start, const auto &next) {
        QList<QDate> ticks {start};
        while (ticks.size() < 1000 && ticks.last().isValid()
            && (ticks.size() < 2 || ticks.last() < to))
            ticks << next(ticks.last());
        return ticks.last().isValid() ? ticks : QList<QDate>();
    };
    for (const int days : {1, 2, 7, 14}) {
        if ((span + days - 1) / days <= intervals) {
            // Weeks start on Mondays.
            const QDate start = days >= 7 ? from.addDays(1 - from.dayOfWeek()) : from;
            return run(start, [days](QDate d) { return d.addDays(days); });
        }
    }
    for (const int months : {1, 2, 3, 6}) {
        if (span / (30.44 * months) <= intervals - 1) {
            const QDate start(from.year(), from.month() - (from.month() - 1) % months, 1);
            return run(start, [months](QDate d) { return d.addMonths(months); });
        }
    }
    const int years = int(niceAtLeast(std::max(1.0, span / 365.25 / (intervals - 0.5))));
    const QDate start(from.year() - floorMod(from.year(), years), 1, 1);
    return run(start, [years](QDate d) { return d.addYears(years); });
}

QString DateTickLabel(const QDate &date, const QList<QDate> &ticks)
{
    const bool months = ticks.size() > 1 && ticks[0].daysTo(ticks[1]) >= 28
        && std::all_of(ticks.cbegin(), ticks.cend(), [](QDate d) { return d.day() == 1; });
    const bool years = months && ticks[0].daysTo(ticks[1]) >= 365
        && std::all_of(ticks.cbegin(), ticks.cend(), [](QDate d) { return d.month() == 1; });
    return date.toString(years ? QStringLiteral("yyyy")
            : months           ? QStringLiteral("yyyy-MM")
                               : QStringLiteral("yyyy-MM-dd"));
}
