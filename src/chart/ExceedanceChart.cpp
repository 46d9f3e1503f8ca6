#include "ExceedanceChart.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
// Axis values beyond this are no load factor or fraction; leaving them out like NaN keeps the
// axis arithmetic far from overflow.
constexpr double AxisLimit = 1e15;
// Decades that read best as plain numbers.
constexpr int PlainFirst = -2;
constexpr int PlainLast = 4;
// Text is never set smaller than this on the device, however small the area.
constexpr double MinimumPoints = 7;
// Points along the lines that the legend is kept clear of.
constexpr qsizetype InkSamples = 20000;
constexpr double Infinity = std::numeric_limits<double>::infinity();

const QColor TextColour(0x20, 0x20, 0x20);
const QColor FrameColour(0x40, 0x40, 0x40);
const QColor DecadeGridColour(0xBE, 0xBE, 0xBE);
const QColor MinorGridColour(0xE8, 0xE8, 0xE8);
const QColor TickGridColour(0xDC, 0xDC, 0xDC);
const QColor LegendBorderColour(0x9A, 0x9A, 0x9A);
const QColor HintColour(0x60, 0x60, 0x60);

const std::array<QColor, 4> MeasuredColours {QColor(0xD3, 0x2F, 0x2F), QColor(0x19, 0x76, 0xD2),
    QColor(0x38, 0x8E, 0x3C), QColor(0x7B, 0x1F, 0xA2)};
struct ReferenceStyle
{
    QColor colour;
    Qt::PenStyle dash;
};
const std::array<ReferenceStyle, 6> ReferenceStyles {{
    {QColor(0x30, 0x30, 0x30), Qt::DashLine},
    {QColor(0xE6, 0x7E, 0x00), Qt::DashDotLine},
    {QColor(0x00, 0x89, 0x7B), Qt::DotLine},
    {QColor(0x79, 0x55, 0x48), Qt::DashDotDotLine},
    {QColor(0x5C, 0x6B, 0xC0), Qt::DashLine},
    {QColor(0x9E, 0x9D, 0x24), Qt::DashDotLine},
}};

enum Marker { Circle, Square, Triangle, Diamond };

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

QFont chartFont(double pixels, double dpi, bool italic = false)
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

// How a series is drawn: its colour, a marker for measured ones, a dash for references.
struct SeriesLook
{
    QColor colour;
    int marker = Circle;
    Qt::PenStyle dash = Qt::SolidLine;
    bool measured = false;
};

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
    void drawLegend();
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
    drawLegend();
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

void ChartPainter::drawLegend()
{
    struct Entry
    {
        QString text;
        int series = -1; // -1: the key to the open markers
    };
    QList<Entry> entries;
    // Open markers need a key only where the branches share the axis (the fraction a).
    double positiveMin = Infinity, positiveMax = -Infinity;
    double negativeMin = Infinity, negativeMax = -Infinity;
    for (qsizetype i = 0; i < data.series.size(); ++i) {
        const ExceedanceSeries &s = data.series[i];
        if (!s.label.isEmpty())
            entries.append({s.label, int(i)});
        if (!s.measured)
            continue;
        for (const QPointF &v : s.positive) {
            if (shown(v)) {
                positiveMin = std::min(positiveMin, v.x());
                positiveMax = std::max(positiveMax, v.x());
            }
        }
        for (const QPointF &v : s.negative) {
            if (shown(v)) {
                negativeMin = std::min(negativeMin, v.x());
                negativeMax = std::max(negativeMax, v.x());
            }
        }
    }
    const bool key = positiveMin <= negativeMax && negativeMin <= positiveMax;

    const QFontMetricsF metrics(z.legend, p.device());
    const double row = metrics.height() * 1.2;
    const double sample = 2.4 * z.u;
    const double inset = 0.5 * z.u;
    // Rows beyond the plot's height are told by their number; the key to the markers stays.
    const qsizetype fitting = qsizetype((plot.height() - 2 * inset - 2 * z.pad) / row);
    const qsizetype room = fitting - (key ? 1 : 0);
    if (entries.size() > room) {
        const qsizetype kept = std::max<qsizetype>(room - 1, 0);
        const qsizetype hidden = entries.size() - kept;
        entries.resize(kept);
        entries.append({QStringLiteral("… and %1 more").arg(hidden), -2});
    }
    if (key)
        entries.append({QStringLiteral("open markers: negative branch"), -1});
    if (entries.isEmpty() || entries.size() > fitting)
        return;
    const double maxText = std::max(0.0, plot.width() * 0.6 - sample - 2 * z.pad - 0.5 * z.u);
    double textWidth = 0;
    for (Entry &entry : entries) {
        entry.text = metrics.elidedText(entry.text, Qt::ElideRight, maxText);
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.text));
    }
    const QSizeF box(
        2 * z.pad + sample + 0.5 * z.u + textWidth, 2 * z.pad * 0.8 + entries.size() * row);
    if (box.width() > plot.width() - 2 * inset)
        return;

    // The corner that covers the least of the data; on a tie the first in this order.
    const std::array<QPointF, 4> corners {
        QPointF(plot.right() - inset - box.width(), plot.top() + inset),
        QPointF(plot.left() + inset, plot.top() + inset),
        QPointF(plot.right() - inset - box.width(), plot.bottom() - inset - box.height()),
        QPointF(plot.left() + inset, plot.bottom() - inset - box.height())};
    QRectF legend;
    qsizetype best = -1;
    for (const QPointF &corner : corners) {
        const QRectF candidate(corner, box);
        const QRectF near = candidate.adjusted(-z.marker, -z.marker, z.marker, z.marker);
        const qsizetype covered
            = std::count_if(ink.begin(), ink.end(), [&](QPointF v) { return near.contains(v); });
        if (best < 0 || covered < best) {
            best = covered;
            legend = candidate;
        }
    }

    p.setPen(QPen(LegendBorderColour, z.frame * 0.8));
    p.setBrush(Qt::white);
    p.drawRect(legend);
    double y = legend.top() + z.pad * 0.8 + row / 2;
    for (const Entry &entry : entries) {
        const QPointF from(legend.left() + z.pad, y);
        const QPointF to = from + QPointF(sample, 0);
        const QPointF middle = (from + to) / 2;
        if (entry.series >= 0) {
            const SeriesLook &look = looks[entry.series];
            p.setPen(QPen(look.colour, z.line, look.dash, Qt::FlatCap));
            p.drawLine(from, to);
            if (look.measured)
                drawMarker(p, middle, z.marker, look.marker, look.colour, false, z.line);
        } else if (entry.series == -1) {
            drawMarker(p, middle, z.marker, Circle, HintColour, true, z.line);
        }
        drawText(
            z.legend, TextColour, {to.x() + 0.5 * z.u, y + metrics.capHeight() / 2}, entry.text);
        y += row;
    }
}
} // namespace

DecadeRange LogDecades(double minimum, double maximum)
{
    if (!(minimum > 0 && minimum <= maximum && std::isfinite(maximum)))
        return {};
    int first = int(std::floor(std::log10(minimum)));
    if (powerOfTen(first) > minimum)
        --first;
    else if (powerOfTen(first + 1) <= minimum)
        ++first;
    int last = int(std::ceil(std::log10(maximum)));
    if (powerOfTen(last) < maximum)
        ++last;
    else if (powerOfTen(last - 1) >= maximum)
        --last;
    return {first, std::max(last, first + 1)};
}

DecadeLabelText DecadeLabel(int exponent, DecadeRange axis)
{
    if (axis.first >= PlainFirst && axis.last <= PlainLast && exponent >= PlainFirst
        && exponent <= PlainLast)
        return {QString::number(powerOfTen(exponent), 'f', std::max(0, -exponent)), {}};
    return {QStringLiteral("10"), withMinus(QString::number(exponent))};
}

QList<double> NiceTicks(double minimum, double maximum, int intervals)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        minimum = 0;
        maximum = 1;
    }
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (minimum == maximum) {
        const double pad = std::max(0.5, std::abs(minimum) * 0.05);
        minimum -= pad;
        maximum += pad;
    }
    const double range = maximum - minimum;
    if (!std::isfinite(range))
        return {minimum, maximum};
    const double step = niceAtLeast(range / std::max(intervals, 1));
    // A bound within rounding of a tick is that tick, not one beyond it.
    const double first = std::floor(minimum / step + 1e-9) * step;
    const double last = std::ceil(maximum / step - 1e-9) * step;
    const double count = std::round((last - first) / step);
    if (!(count >= 1 && count <= 1000) || first + step == first)
        return {minimum, maximum};
    QList<double> ticks;
    for (int i = 0; i <= int(count); ++i) {
        const double t = first + i * step;
        ticks << (std::abs(t) < step * 1e-9 ? 0.0 : t);
    }
    return ticks;
}

QString TickLabel(double value, double step)
{
    const bool stepped = step > 0 && std::isfinite(step);
    if (stepped && std::abs(value) < step * 1e-6)
        value = 0; // a zero reached by adding steps: no "-0.0" nor "1e-17"
    if (std::abs(value) >= 1e7 || (value != 0 && std::abs(value) < 1e-6))
        return withMinus(QString::number(value, 'g', 6));
    const int decimals = stepped ? std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 12) : 0;
    return withMinus(QString::number(value, 'f', decimals));
}

QString ChartFontFamily()
{
    static const QString family = [] {
        const QString liberation = QStringLiteral("Liberation Sans");
        return QFontDatabase::hasFamily(liberation) ? liberation : QStringLiteral("Sans Serif");
    }();
    return family;
}

QColor MeasuredColour(int index)
{
    return MeasuredColours[std::max(index, 0) % MeasuredColours.size()];
}

QColor ReferenceColour(int index)
{
    return ReferenceStyles[std::max(index, 0) % ReferenceStyles.size()].colour;
}

void PaintExceedanceChart(QPainter &painter, const QRectF &area, const ExceedanceChartData &data)
{
    if (!painter.isActive())
        return;
    for (const double v : {area.left(), area.top(), area.width(), area.height()}) {
        if (!std::isfinite(v))
            return;
    }
    if (!(area.width() >= 1 && area.height() >= 1))
        return;
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(area, Qt::IntersectClip);
    ChartPainter(painter, area, data).paint();
    painter.restore();
}

QImage RenderExceedanceChart(QSize size, const ExceedanceChartData &data)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintExceedanceChart(painter, QRectF(QPointF(0, 0), size), data);
    painter.end();
    return image;
}
