#include "TrendChart.h"

#include "ExceedanceChartPainter.h"
#include "TrendChartPrivate.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using namespace ExceedanceDrawing;
using namespace TrendDrawing;

namespace {
const QColor CountedColour(0x19, 0x76, 0xD2);
const QColor UpperColour(0xE6, 0x7E, 0x00);
const QColor ThresholdLineColour(0xB7, 0x1C, 0x1C);
const QColor ForecastKeyColour(0x60, 0x60, 0x60);
} // namespace

QColor TrendColour(TrendLine line)
{
    return line == TrendLine::Counted ? CountedColour : UpperColour;
}

QColor ThresholdColour()
{
    return ThresholdLineColour;
}

namespace {
class TrendPainter
{
public:
    TrendPainter(QPainter &painter, const QRectF &area, const TrendChartData &data)
        : p(painter)
        , area(area)
        , data(data)
        , z(sizesOf(painter.device(), area))
        , layout(LayOutTrendChart(painter.device(), area, data))
    { }

    void paint();

private:
    // A value's place in the upper (by hours) or lower (by date) panel.
    QPointF place(bool byDate, double hours, const QDate &date, double percent) const
    {
        return byDate ? layout.atDate(date, percent) : layout.atHours(hours, percent);
    }
    // The ticks of the panel's horizontal axis: where they lie and their texts.
    QList<std::pair<double, QString>> ticksAlong(bool byDate) const;
    void drawFrame(bool byDate);
    void drawTickTexts(bool byDate);
    void drawThresholds(bool byDate);
    void drawLine(bool byDate, TrendLine line);
    void drawForecasts(bool byDate);
    void drawCaption();
    void drawLegend();
    void drawText(const QFont &font, const QColor &colour, QPointF baseline, const QString &text)
    {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(baseline, text);
    }

    QPainter &p;
    const QRectF area;
    const TrendChartData &data;
    const TrendSizes z;
    const TrendChartLayout layout;
};

void TrendPainter::paint()
{
    drawCaption();
    if (!layout.valid())
        return;
    for (const bool byDate : {false, true}) {
        drawFrame(byDate);
        drawTickTexts(byDate);
        drawThresholds(byDate);
        drawForecasts(byDate);
        drawLine(byDate, TrendLine::Upper);
        drawLine(byDate, TrendLine::Counted);
    }
    drawLegend();
}

QList<std::pair<double, QString>> TrendPainter::ticksAlong(bool byDate) const
{
    QList<std::pair<double, QString>> ticks;
    if (byDate) {
        for (const QDate &d : layout.dateTicks)
            ticks.append({layout.atDate(d, 0).x(), DateTickLabel(d, layout.dateTicks)});
        return ticks;
    }
    const QList<double> &hours = layout.hourTicks;
    const double step = hours.size() > 1 ? hours[1] - hours[0] : 1;
    for (const double t : hours)
        ticks.append({layout.atHours(t, 0).x(), TickLabel(t, step)});
    return ticks;
}

void TrendPainter::drawFrame(bool byDate)
{
    const QRectF plot = byDate ? layout.datePlot : layout.hoursPlot;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(TickGridColour, z.frame * 0.8));
    for (const double t : layout.percentTicks) {
        const double y = std::round(place(byDate, 0, layout.dateFirst, t).y());
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    QList<double> columns;
    for (const auto &[x, text] : ticksAlong(byDate))
        columns << std::round(x);
    for (const double x : columns)
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.setPen(QPen(FrameColour, z.frame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    for (const double x : columns)
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() - 0.35 * z.u));
    p.setRenderHint(QPainter::Antialiasing, true);
}

void TrendPainter::drawTickTexts(bool byDate)
{
    const QRectF plot = byDate ? layout.datePlot : layout.hoursPlot;
    const QFontMetricsF label(z.label, p.device()), title(z.title, p.device());
    const QStringList percents = percentLabels(layout.percentTicks);
    for (qsizetype i = 0; i < percents.size(); ++i) {
        const double y = place(byDate, 0, layout.dateFirst, layout.percentTicks[i]).y();
        drawText(z.label, TextColour,
            {plot.left() - 0.4 * z.u - label.horizontalAdvance(percents[i]),
                y + label.capHeight() / 2},
            percents[i]);
    }
    QStringList texts;
    QList<double> xs;
    for (const auto &[x, text] : ticksAlong(byDate)) {
        xs << x;
        texts << text;
    }
    // Every n-th label where they would run into each other.
    const double room = plot.width() / std::max<qsizetype>(1, xs.size() - 1);
    const int stride = int(niceAtLeast(std::max(1.0, (widestOf(label, texts) + 0.8 * z.u) / room)));
    const double labelTop = plot.bottom() + 0.35 * z.u;
    for (qsizetype i = 0; i < texts.size(); i += stride)
        drawText(z.label, TextColour,
            {xs[i] - label.horizontalAdvance(texts[i]) / 2, labelTop + label.ascent()}, texts[i]);
    const QString axisTitle
        = byDate ? QStringLiteral("Date of read-out") : QStringLiteral("Flight hours [h]");
    drawText(z.title, TextColour,
        {plot.center().x() - title.horizontalAdvance(axisTitle) / 2,
            labelTop + label.height() + 0.35 * z.u + title.ascent()},
        axisTitle);
    const QString valueTitle
        = title.elidedText(QStringLiteral("Life used [%]"), Qt::ElideRight, plot.height());
    p.save();
    p.translate(area.left() + z.pad + title.ascent(), plot.center().y());
    p.rotate(-90);
    drawText(z.title, TextColour, {-title.horizontalAdvance(valueTitle) / 2, 0}, valueTitle);
    p.restore();
}

void TrendPainter::drawThresholds(bool byDate)
{
    const QRectF plot = byDate ? layout.datePlot : layout.hoursPlot;
    const QFontMetricsF label(z.label, p.device());
    for (const TrendThreshold &threshold : data.thresholds) {
        if (!std::isfinite(threshold.percent) || threshold.percent < 0)
            continue;
        const double y = place(byDate, 0, layout.dateFirst, threshold.percent).y();
        p.setPen(QPen(ThresholdLineColour, z.line, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        drawText(z.label, ThresholdLineColour,
            {plot.right() + 0.4 * z.u, y + label.capHeight() / 2}, threshold.label);
    }
}

void TrendPainter::drawLine(bool byDate, TrendLine line)
{
    const QRectF plot = byDate ? layout.datePlot : layout.hoursPlot;
    const double reach = z.marker + z.line;
    p.save();
    p.setClipRect(plot.adjusted(-reach, -reach, reach, reach), Qt::IntersectClip);
    QList<QPolygonF> runs(1);
    for (const TrendPoint &point : data.points) {
        const std::optional<double> value
            = line == TrendLine::Counted ? std::optional(point.counted) : point.upper;
        const QPointF at = value ? place(byDate, point.hours, point.date, *value) : QPointF();
        if (value && std::isfinite(at.x()) && std::isfinite(at.y()))
            runs.last() << at;
        else if (!runs.last().isEmpty())
            runs << QPolygonF();
    }
    const QColor colour = TrendColour(line);
    for (const QPolygonF &run : runs) {
        p.setPen(QPen(colour, z.line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (run.size() > 1)
            p.drawPolyline(run);
        for (const QPointF &c : run)
            drawMarker(p, c, z.marker, line == TrendLine::Counted ? Circle : Square, colour, false,
                z.line);
    }
    p.restore();
}

// From the last read-out with a value of the estimate to each threshold it reaches.
void TrendPainter::drawForecasts(bool byDate)
{
    const QRectF plot = byDate ? layout.datePlot : layout.hoursPlot;
    p.save();
    p.setClipRect(plot, Qt::IntersectClip);
    for (const TrendForecast &forecast : data.forecasts) {
        const auto last = std::find_if(
            data.points.crbegin(), data.points.crend(), [&](const TrendPoint &point) {
                return forecast.line == TrendLine::Counted || point.upper.has_value();
            });
        if (last == data.points.crend() || (byDate && !forecast.date.isValid()))
            continue;
        const double from = forecast.line == TrendLine::Counted ? last->counted : *last->upper;
        const QPointF start = place(byDate, last->hours, last->date, from);
        const QPointF end = place(byDate, forecast.hours, forecast.date, forecast.percent);
        if (!std::isfinite(start.x()) || !std::isfinite(end.x()) || !std::isfinite(end.y()))
            continue;
        const QColor colour = TrendColour(forecast.line);
        p.setPen(QPen(colour, z.line, Qt::DashLine, Qt::FlatCap));
        p.drawLine(start, end);
        drawMarker(p, end, z.marker, Circle, colour, true, z.line);
    }
    p.restore();
}

void TrendPainter::drawCaption()
{
    const QFontMetricsF title(z.title, p.device()), note(z.note, p.device());
    double y = area.top() + z.pad;
    const auto centred = [&](const QFont &font, const QFontMetricsF &metrics, const QColor &colour,
                             const QString &line) {
        const QString text = metrics.elidedText(line, Qt::ElideRight, area.width() - 2 * z.pad);
        drawText(font, colour,
            {area.center().x() - metrics.horizontalAdvance(text) / 2, y + metrics.ascent()}, text);
        y += metrics.height();
    };
    if (!data.caption.isEmpty())
        centred(z.title, title, TextColour, data.caption);
    for (const QString &line : data.notes)
        centred(z.note, note, HintColour, line);
}

// Top left of the upper panel, where life used that grows from 0 leaves room.
void TrendPainter::drawLegend()
{
    struct Row
    {
        QString text;
        QColor colour;
        Qt::PenStyle dash;
        int marker; // -1: none
    };
    QList<Row> rows {{QStringLiteral("counted"), CountedColour, Qt::SolidLine, Circle}};
    if (std::any_of(data.points.cbegin(), data.points.cend(),
            [](const TrendPoint &point) { return point.upper.has_value(); }))
        rows << Row {QStringLiteral("upper bound"), UpperColour, Qt::SolidLine, Square};
    if (!data.forecasts.isEmpty())
        rows << Row {QStringLiteral("forecast"), ForecastKeyColour, Qt::DashLine, -1};
    if (!data.thresholds.isEmpty())
        rows << Row {QStringLiteral("threshold"), ThresholdLineColour, Qt::DashLine, -1};
    const QFontMetricsF metrics(z.legend, p.device());
    QStringList texts;
    for (const Row &row : rows)
        texts << row.text;
    const double sample = 2.2 * z.u, rowHeight = metrics.height() * 1.15;
    const QRectF box(layout.hoursPlot.topLeft() + QPointF(0.5 * z.u, 0.5 * z.u),
        QSizeF(sample + widestOf(metrics, texts) + 1.4 * z.u, rows.size() * rowHeight + 0.6 * z.u));
    p.setPen(QPen(LegendBorderColour, z.frame * 0.8));
    p.setBrush(Qt::white);
    p.drawRect(box);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const double y = box.top() + 0.3 * z.u + (i + 0.5) * rowHeight;
        const QPointF a(box.left() + 0.4 * z.u, y), b(a.x() + sample, y);
        p.setPen(QPen(rows[i].colour, z.line, rows[i].dash, Qt::FlatCap));
        p.drawLine(a, b);
        if (rows[i].marker >= 0)
            drawMarker(p, (a + b) / 2, z.marker, rows[i].marker, rows[i].colour, false, z.line);
        drawText(
            z.legend, TextColour, {b.x() + 0.5 * z.u, y + metrics.capHeight() / 2}, rows[i].text);
    }
}
} // namespace

void PaintTrendChart(QPainter &painter, const QRectF &area, const TrendChartData &data)
{
    if (!painter.isActive() || !area.isValid() || !std::isfinite(area.width())
        || !std::isfinite(area.height()))
        return;
    PaintChartArea(painter, area, [&] { TrendPainter(painter, area, data).paint(); });
}

QImage RenderTrendChart(QSize size, const TrendChartData &data)
{
    return RenderChartImage(size,
        [&data](QPainter &painter, const QRectF &area) { PaintTrendChart(painter, area, data); });
}
