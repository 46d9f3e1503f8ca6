#include "ExceedanceChartPainter.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>

namespace ExceedanceDrawing {
// Open markers need a key only where the branches share the axis (the fraction a).
bool ChartPainter::markerKeyNeeded() const
{
    double positiveMin = Infinity, positiveMax = -Infinity;
    double negativeMin = Infinity, negativeMax = -Infinity;
    for (const ExceedanceSeries &s : data.series) {
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
    return positiveMin <= negativeMax && negativeMin <= positiveMax;
}

// The corner that covers the least of the data; on a tie the first in this order.
QRectF ChartPainter::legendPlace(QSizeF box, double inset) const
{
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
    return legend;
}

void ChartPainter::drawLegendRows(
    const QList<LegendEntry> &entries, const QRectF &legend, double row, double sample)
{
    const QFontMetricsF metrics(z.legend, p.device());
    p.setPen(QPen(LegendBorderColour, z.frame * 0.8));
    p.setBrush(Qt::white);
    p.drawRect(legend);
    double y = legend.top() + z.pad * 0.8 + row / 2;
    for (const LegendEntry &entry : entries) {
        const QPointF from(legend.left() + z.pad, y);
        const QPointF to = from + QPointF(sample, 0);
        const QPointF middle = (from + to) / 2;
        if (entry.kind == LegendEntry::Series) {
            const SeriesLook &look = looks[entry.series];
            p.setPen(QPen(look.colour, z.line, look.dash, Qt::FlatCap));
            p.drawLine(from, to);
            if (look.measured)
                drawMarker(p, middle, z.marker, look.marker, look.colour, false, z.line);
        } else if (entry.kind == LegendEntry::MarkerKey) {
            drawMarker(p, middle, z.marker, Circle, HintColour, true, z.line);
        }
        drawText(
            z.legend, TextColour, {to.x() + 0.5 * z.u, y + metrics.capHeight() / 2}, entry.text);
        y += row;
    }
}

void ChartPainter::drawLegend()
{
    QList<LegendEntry> entries;
    for (qsizetype i = 0; i < data.series.size(); ++i) {
        if (!data.series[i].label.isEmpty())
            entries.append({data.series[i].label, LegendEntry::Series, int(i)});
    }
    const bool key = markerKeyNeeded();

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
        entries.append({QStringLiteral("… and %1 more").arg(hidden), LegendEntry::Omitted});
    }
    if (key)
        entries.append({QStringLiteral("open markers: negative branch"), LegendEntry::MarkerKey});
    if (entries.isEmpty() || entries.size() > fitting)
        return;
    const double maxText = std::max(0.0, plot.width() * 0.6 - sample - 2 * z.pad - 0.5 * z.u);
    double textWidth = 0;
    for (LegendEntry &entry : entries) {
        entry.text = metrics.elidedText(entry.text, Qt::ElideRight, maxText);
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.text));
    }
    const QSizeF box(
        2 * z.pad + sample + 0.5 * z.u + textWidth, 2 * z.pad * 0.8 + entries.size() * row);
    if (box.width() > plot.width() - 2 * inset)
        return;
    drawLegendRows(entries, legendPlace(box, inset), row, sample);
}
} // namespace ExceedanceDrawing
