#include "ExceedanceChartPainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace ExceedanceDrawing {

bool onAxis(const QPointF &p)
{
    return std::isfinite(p.x()) && std::abs(p.x()) <= AxisLimit && std::isfinite(p.y())
        && p.y() >= 0;
}

bool shown(const QPointF &p)
{
    return onAxis(p) && p.y() > 0;
}

// 10^e, to correct floor(log10(v)) and ceil(log10(v)), which rounding can put one decade off
// near the powers of ten.
double powerOfTen(int exponent)
{
    return std::pow(10.0, exponent);
}

// 1, 2 or 5 x 10^k, the smallest not below the value (> 0).
double niceAtLeast(double value)
{
    const double magnitude = powerOfTen(int(std::floor(std::log10(value))));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * magnitude >= value * (1 - 1e-12))
            return factor * magnitude;
    }
    return 10 * magnitude;
}

int floorMod(int value, int divisor)
{
    const int r = value % divisor;
    return r < 0 ? r + divisor : r;
}

QFont chartFont(double pixels, double dpi, bool italic)
{
    QFont font(ChartFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(std::max(pixels * 72 / dpi, 0.5));
    font.setItalic(italic);
    return font;
}

QString withMinus(QString text)
{
    if (text.startsWith(QLatin1Char('-')))
        text[0] = QChar(0x2212);
    return text;
}

// The shown points of a branch in runs: a point not shown ends a run.
QList<QList<QPointF>> runsOf(const QList<QPointF> &points)
{
    QList<QList<QPointF>> runs(1);
    for (const QPointF &p : points) {
        if (shown(p))
            runs.last() << p;
        else if (!runs.last().isEmpty())
            runs.append(QList<QPointF> {});
    }
    if (runs.last().isEmpty())
        runs.removeLast();
    return runs;
}

void drawMarker(QPainter &painter, QPointF c, double r, int shape, const QColor &colour,
    bool hollow, double outline)
{
    painter.setPen(hollow ? QPen(colour, outline) : QPen(Qt::NoPen));
    painter.setBrush(hollow ? QBrush(Qt::white) : QBrush(colour));
    switch (shape) {
    case Circle:
        painter.drawEllipse(c, r, r);
        break;
    case Square: {
        const double s = r * 0.9;
        painter.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
        break;
    }
    case Triangle: {
        const double s = r * 1.25;
        painter.drawPolygon(QPolygonF {{c.x(), c.y() - s}, {c.x() + s * 0.87, c.y() + s * 0.5},
            {c.x() - s * 0.87, c.y() + s * 0.5}});
        break;
    }
    default: {
        const double s = r * 1.25;
        painter.drawPolygon(QPolygonF {
            {c.x(), c.y() - s}, {c.x() + s, c.y()}, {c.x(), c.y() + s}, {c.x() - s, c.y()}});
        break;
    }
    }
}
QList<SeriesLook> looksOf(const QList<ExceedanceSeries> &series)
{
    QList<SeriesLook> looks;
    int measured = 0, references = 0;
    for (const ExceedanceSeries &s : series) {
        if (s.measured) {
            looks.append(
                {MeasuredColour(measured), (measured + measured / 4) % 4, Qt::SolidLine, true});
            ++measured;
        } else {
            looks.append({ReferenceColour(references), Circle,
                ReferenceStyles[references % ReferenceStyles.size()].dash, false});
            ++references;
        }
    }
    return looks;
}

void ChartPainter::drawText(
    const QFont &font, const QColor &colour, QPointF baseline, const QString &text)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(baseline, text);
}

QSizeF ChartPainter::decadeLabelSize(int exponent) const
{
    const DecadeLabelText text = DecadeLabel(exponent, decades);
    const QFontMetricsF label(z.label, p.device());
    const QFontMetricsF raised(z.exponent, p.device());
    return {label.horizontalAdvance(text.base) + raised.horizontalAdvance(text.exponent),
        label.height()};
}

// The axis values of every point on the axis and of the limit lines, and the positive values
// shown; a range with nothing in it runs from +inf to -inf.
DataSpan ChartPainter::dataSpan() const
{
    double xMin = Infinity, xMax = -Infinity, yMin = Infinity, yMax = -Infinity;
    for (const ExceedanceSeries &s : data.series) {
        for (const QList<QPointF> *branch : {&s.positive, &s.negative}) {
            for (const QPointF &v : *branch) {
                if (!onAxis(v))
                    continue;
                xMin = std::min(xMin, v.x());
                xMax = std::max(xMax, v.x());
                if (v.y() > 0) {
                    yMin = std::min(yMin, v.y());
                    yMax = std::max(yMax, v.y());
                }
            }
        }
    }
    for (const ChartLimitLine &line : data.limitLines) {
        if (std::isfinite(line.axisValue) && std::abs(line.axisValue) < AxisLimit) {
            xMin = std::min(xMin, line.axisValue);
            xMax = std::max(xMax, line.axisValue);
        }
    }
    return {xMin, xMax, yMin, yMax};
}

void ChartPainter::paint()
{
    QPaintDevice *device = p.device();
    const double dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    const double floorU = MinimumPoints * dpi / 72;
    const double u = std::max({0.0225 * area.height(), 0.017 * area.width(), floorU});
    z.u = u;
    z.pad = 0.5 * u;
    z.line = std::max(1.0, 0.13 * u);
    z.frame = std::max(1.0, 0.07 * u);
    z.marker = 0.32 * u;
    z.label = chartFont(0.9 * u, dpi);
    z.exponent = chartFont(0.62 * u, dpi);
    z.title = chartFont(u, dpi);
    z.legend = chartFont(0.85 * u, dpi);
    z.message = chartFont(u, dpi, true);
    const QFontMetricsF label(z.label, device), title(z.title, device);

    // What the data spans: every point on the axis widens it, the shown ones set the decades.
    const auto [xMin, xMax, yMin, yMax] = dataSpan();
    hasData = yMin <= yMax;
    decades = hasData ? LogDecades(yMin, yMax) : DecadeRange {};

    // Margins round the plot: caption above, tick labels and titles below and to the left.
    const double top
        = z.pad + (data.caption.isEmpty() ? 0 : title.height() + z.pad) + label.height() / 2;
    const double bottom = 0.35 * u + label.height()
        + (data.axisTitle.isEmpty() ? 0 : 0.35 * u + title.height()) + z.pad;
    const double plotHeight = std::round(area.height() - top - bottom);
    if (!(plotHeight >= 2 * u))
        return;
    const double decadePx = plotHeight / (decades.last - decades.first);
    decadeStride = int(niceAtLeast(std::max(1.0, 1.3 * label.height() / decadePx)));
    double labelWidth = 0;
    for (int e = decades.first; e <= decades.last; ++e) {
        if (floorMod(e, decadeStride) == 0)
            labelWidth = std::max(labelWidth, decadeLabelSize(e).width());
    }
    const double left
        = z.pad + (data.valueTitle.isEmpty() ? 0 : title.height() + 0.4 * u) + labelWidth + 0.4 * u;
    const double estimatedWidth = area.width() - left - 1.5 * u;
    const int intervals = std::clamp(int(estimatedWidth / (5 * u)), 2, 10);
    ticks = xMin <= xMax ? NiceTicks(xMin, xMax, intervals) : NiceTicks(0, 1, intervals);
    x0 = ticks.first();
    x1 = ticks.last();
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1;
    const double right
        = z.pad + std::max(0.3 * u, label.horizontalAdvance(TickLabel(x1, step)) / 2);
    plot = QRectF(std::round(area.left() + left), std::round(area.top() + top),
        std::round(area.width() - left - right), plotHeight);
    if (!(plot.width() >= 2 * u) || !(x1 > x0))
        return;
    double tickWidth = 0;
    for (const double t : ticks)
        tickWidth = std::max(tickWidth, label.horizontalAdvance(TickLabel(t, step)));
    const double tickPx = plot.width() / std::max<qsizetype>(1, ticks.size() - 1);
    tickStride = int(niceAtLeast(std::max(1.0, (tickWidth + 0.8 * u) / tickPx)));

    drawGrid();
    drawScaleTexts();
    drawSeries();
    drawLimitLines();
    drawLegend();
}

void ChartPainter::drawLimitLines()
{
    p.save();
    p.setClipRect(plot, Qt::IntersectClip);
    const QFontMetricsF metrics(z.legend, p.device());
    for (const ChartLimitLine &line : data.limitLines) {
        if (!std::isfinite(line.axisValue))
            continue;
        const double x = xOf(line.axisValue);
        p.setPen(QPen(LimitLineColour, z.line, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        // The legend keeps clear of the line and its label.
        for (int k = 0; k <= 40; ++k)
            ink << QPointF(x, plot.top() + plot.height() * k / 40);
        if (line.label.isEmpty())
            continue;
        // Beside the line, inside the plot: to its left where the right side has no room.
        const double width = metrics.horizontalAdvance(line.label);
        const double left
            = x + 0.3 * z.u + width <= plot.right() ? x + 0.3 * z.u : x - 0.3 * z.u - width;
        const QPointF baseline(left, plot.top() + 0.3 * z.u + metrics.ascent());
        drawText(z.legend, LimitLineColour, baseline, line.label);
        for (int k = 0; k <= 10; ++k)
            ink << baseline + QPointF(width * k / 10, -metrics.ascent() / 2);
    }
    p.restore();
}

void ChartPainter::drawGrid()
{
    p.setRenderHint(QPainter::Antialiasing, false);
    const double decadePx = plot.height() / (decades.last - decades.first);
    const auto horizontal = [&](double y, const QColor &colour) {
        p.setPen(QPen(colour, z.frame * 0.8));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    };
    if (decadePx >= 2.5 * z.u) {
        for (int e = decades.first; e < decades.last; ++e) {
            for (int m = 2; m <= 9; ++m)
                horizontal(yOfLog(e + std::log10(m)), MinorGridColour);
        }
    }
    for (const double t : ticks) {
        p.setPen(QPen(TickGridColour, z.frame * 0.8));
        p.drawLine(QPointF(xOf(t), plot.top()), QPointF(xOf(t), plot.bottom()));
    }
    for (int e = decades.first; e <= decades.last; ++e) {
        if (decadePx >= 0.3 * z.u || floorMod(e, decadeStride) == 0)
            horizontal(std::round(yOfLog(e)), DecadeGridColour);
    }
    p.setPen(QPen(FrameColour, z.frame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    for (int e = decades.first; e <= decades.last; ++e) {
        if (floorMod(e, decadeStride) == 0) {
            const double y = std::round(yOfLog(e));
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.left() + 0.35 * z.u, y));
        }
    }
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const double x = std::round(xOf(ticks[i]));
        const double length = i % tickStride == 0 ? 0.35 * z.u : 0.2 * z.u;
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() - length));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
}

void ChartPainter::drawScaleTexts()
{
    const QFontMetricsF label(z.label, p.device()), title(z.title, p.device());
    const QFontMetricsF raised(z.exponent, p.device());
    for (int e = decades.first; e <= decades.last; ++e) {
        if (floorMod(e, decadeStride) != 0)
            continue;
        const DecadeLabelText text = DecadeLabel(e, decades);
        const double baseline = yOfLog(e) + label.capHeight() / 2;
        double x = plot.left() - 0.4 * z.u - decadeLabelSize(e).width();
        drawText(z.label, TextColour, {x, baseline}, text.base);
        x += label.horizontalAdvance(text.base);
        drawText(z.exponent, TextColour, {x, baseline - 0.55 * label.capHeight()}, text.exponent);
    }
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 1;
    const double labelTop = plot.bottom() + 0.35 * z.u;
    for (qsizetype i = 0; i < ticks.size(); i += tickStride) {
        const QString text = TickLabel(ticks[i], step);
        drawText(z.label, TextColour,
            {xOf(ticks[i]) - label.horizontalAdvance(text) / 2, labelTop + label.ascent()}, text);
    }
    if (!data.axisTitle.isEmpty()) {
        const QString text = title.elidedText(data.axisTitle, Qt::ElideRight, area.width());
        const double x = std::clamp(plot.center().x() - title.horizontalAdvance(text) / 2,
            area.left(), area.right() - title.horizontalAdvance(text));
        drawText(z.title, TextColour, {x, labelTop + label.height() + 0.35 * z.u + title.ascent()},
            text);
    }
    if (!data.valueTitle.isEmpty()) {
        const QString text = title.elidedText(data.valueTitle, Qt::ElideRight, plot.height());
        p.save();
        p.translate(area.left() + z.pad + title.ascent(), plot.center().y());
        p.rotate(-90);
        drawText(z.title, TextColour, {-title.horizontalAdvance(text) / 2, 0}, text);
        p.restore();
    }
    if (!data.caption.isEmpty()) {
        const QString text
            = title.elidedText(data.caption, Qt::ElideRight, area.width() - 2 * z.pad);
        const double width = title.horizontalAdvance(text);
        const double x = std::clamp(
            plot.center().x() - width / 2, area.left() + z.pad, area.right() - z.pad - width);
        drawText(z.title, TextColour, {x, area.top() + z.pad + title.ascent()}, text);
    }
    if (!hasData) {
        const QFontMetricsF message(z.message, p.device());
        const QString text = QStringLiteral("No exceedances to show");
        drawText(z.message, HintColour,
            {plot.center().x() - message.horizontalAdvance(text) / 2,
                plot.center().y() + message.capHeight() / 2},
            text);
    }
}

void ChartPainter::drawSeries()
{
    p.save();
    const double reach = z.marker * 1.5 + z.line;
    p.setClipRect(plot.adjusted(-reach, -reach, reach, reach), Qt::IntersectClip);
    // References first, so that the measured points stay on top of them.
    for (const bool measured : {false, true}) {
        for (qsizetype i = 0; i < data.series.size(); ++i) {
            const ExceedanceSeries &s = data.series[i];
            const SeriesLook &look = looks[i];
            if (s.measured != measured)
                continue;
            for (const QList<QPointF> *branch : {&s.positive, &s.negative}) {
                const bool hollow = branch == &s.negative;
                for (const QList<QPointF> &run : runsOf(*branch)) {
                    QPolygonF line;
                    for (const QPointF &v : run)
                        line << map(v);
                    // Enough samples to place the legend by; a huge series gives its points.
                    for (qsizetype k = 1; k < line.size() && ink.size() < InkSamples; ++k) {
                        for (int j = 1; j < 8; ++j)
                            ink << line[k - 1] + (line[k] - line[k - 1]) * (j / 8.0);
                    }
                    ink << line;
                    QPen pen(look.colour, measured ? z.line : z.line * 1.1, look.dash, Qt::FlatCap,
                        Qt::RoundJoin);
                    p.setPen(pen);
                    p.setBrush(Qt::NoBrush);
                    if (line.size() > 1)
                        p.drawPolyline(line);
                    if (measured) {
                        for (const QPointF &c : line)
                            drawMarker(p, c, z.marker, look.marker, look.colour, hollow, z.line);
                    } else if (line.size() == 1) {
                        // A lone reference point would otherwise vanish.
                        drawMarker(p, line[0], z.marker * 0.6, Circle, look.colour, false, 0);
                    }
                }
            }
        }
    }
    p.restore();
}
} // namespace ExceedanceDrawing
