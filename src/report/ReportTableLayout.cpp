#include "ReportLayout.h"

#include <algorithm>
#include <numeric>

namespace ReportLayout {
namespace {
QString cellOf(const QStringList &row, qsizetype c)
{
    return c < row.size() ? row[c] : QString();
}

double sumOf(const QList<double> &list)
{
    return std::accumulate(list.begin(), list.end(), 0.0);
}
} // namespace

// Column widths: the widest cell, the header on as few lines as the page width allows (the
// same count for all: the header row is as tall as its tallest cell), then the columns that
// still wrap get one line where the room left allows, cheapest first. When even single words
// do not fit the type shrinks, and at the smallest size the columns are cut.
void Layout::fitColumns(const ReportTable &table, TableFit &fit) const
{
    const qsizetype columns = fit.columns;
    QList<double> &widths = fit.widths;
    widths = QList<double>(columns);
    for (double size = TableSize;; size -= 0.5) {
        fit.body = reportFont(size);
        fit.bold = reportFont(size, true);
        const QFontMetricsF cells = metrics(fit.body), heads = metrics(fit.bold);
        QList<double> need(columns);
        qsizetype mostWords = 1;
        for (qsizetype c = 0; c < columns; ++c) {
            for (const QStringList &row : table.rows)
                need[c] = std::max(need[c], cells.horizontalAdvance(cellOf(row, c)));
            need[c] += 2 * fit.padding;
            mostWords = std::max(mostWords, cellOf(table.header, c).split(u' ').size());
        }
        const auto widthFor = [&](qsizetype c, qsizetype lines) {
            return std::max(
                need[c], narrowest(cellOf(table.header, c), heads, lines) + 2 * fit.padding);
        };
        bool fitted = false;
        for (qsizetype lines = 1; lines <= mostWords && !fitted; ++lines) {
            for (qsizetype c = 0; c < columns; ++c)
                widths[c] = widthFor(c, lines);
            fitted = sumOf(widths) <= m_width;
        }
        if (fitted) {
            QList<qsizetype> order(columns);
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
                return widthFor(a, 1) - widths[a] < widthFor(b, 1) - widths[b];
            });
            double room = m_width - sumOf(widths);
            for (const qsizetype c : order) {
                const double extra = widthFor(c, 1) - widths[c];
                if (extra > 0 && extra <= room) {
                    widths[c] += extra;
                    room -= extra;
                }
            }
            return;
        }
        if (size - 0.5 < SmallestTableSize) {
            const double total = sumOf(widths);
            for (double &w : widths)
                w *= m_width / total;
            return;
        }
    }
}

Layout::TableFit Layout::fitTable(const ReportTable &table) const
{
    TableFit fit;
    fit.columns = table.header.size();
    for (const QStringList &row : table.rows)
        fit.columns = std::max(fit.columns, row.size());
    if (fit.columns == 0)
        return fit;
    fit.padding = mm(1.2);
    fitColumns(table, fit);
    double tableWidth = 0;
    for (const double w : fit.widths)
        tableWidth += w;
    // A table that takes most of the line takes all of it.
    if (tableWidth >= 0.55 * m_width && tableWidth < m_width) {
        for (double &w : fit.widths)
            w += (m_width - tableWidth) / fit.columns;
        tableWidth = m_width;
    }
    fit.width = tableWidth;

    const QFontMetricsF cells = metrics(fit.body), heads = metrics(fit.bold);
    fit.rowHeight = cells.lineSpacing() + mm(1.1);
    fit.headLines = QList<QStringList>(fit.columns);
    if (!table.header.isEmpty()) {
        for (qsizetype c = 0; c < fit.columns; ++c) {
            fit.headLines[c]
                = wordLines(cellOf(table.header, c), heads, fit.widths[c] - 2 * fit.padding);
            fit.headerLines = std::max(fit.headerLines, fit.headLines[c].size());
        }
    }
    fit.headerHeight = fit.headerLines ? fit.headerLines * heads.lineSpacing() + mm(1.4) : 0;
    return fit;
}

void Layout::tableCell(const TableFit &fit, const ReportTable &table, const QFont &font,
    const QString &content, qsizetype column, double left, double top)
{
    const QFontMetricsF m = metrics(font);
    const double width = fit.widths[column];
    const QString shown = m.elidedText(content, Qt::ElideRight, width - 2 * fit.padding);
    const bool right = table.rightAligned.contains(int(column));
    text(font, Ink,
        right ? left + width - fit.padding - m.horizontalAdvance(shown) : left + fit.padding, top,
        shown);
}

void Layout::tableHeader(const TableFit &fit, const ReportTable &table)
{
    rule(pt(0.8), fit.width);
    if (!fit.headerLines)
        return;
    const double lineSpacing = metrics(fit.bold).lineSpacing();
    double left = 0;
    for (qsizetype c = 0; c < fit.columns; ++c) {
        // Bottom-aligned, so that one-line headers sit on the rule like the others.
        const qsizetype offset = fit.headerLines - fit.headLines[c].size();
        for (qsizetype k = 0; k < fit.headLines[c].size(); ++k)
            tableCell(fit, table, fit.bold, fit.headLines[c][k], c, left,
                m_y + mm(0.7) + (offset + k) * lineSpacing);
        left += fit.widths[c];
    }
    m_y += fit.headerHeight;
    rule(pt(0.4), fit.width);
}

void Layout::table(const ReportTable &table)
{
    const TableFit fit = fitTable(table);
    if (fit.columns == 0)
        return;
    const double cellSpacing = metrics(fit.body).lineSpacing();
    keep(fit.headerHeight + (table.rows.isEmpty() ? 0 : fit.rowHeight));
    tableHeader(fit, table);
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        if (!fits(fit.rowHeight) && m_y > 0) {
            rule(pt(0.8), fit.width);
            pages.append(Page {});
            m_y = 0;
            tableHeader(fit, table);
        }
        if (r % 2 == 1) {
            Item stripe {Item::Fill};
            stripe.rect = QRectF(0, m_y, fit.width, fit.rowHeight);
            stripe.colour = Stripe;
            pages.last() << stripe;
        }
        double left = 0;
        for (qsizetype c = 0; c < fit.columns; ++c) {
            tableCell(fit, table, fit.body, cellOf(table.rows[r], c), c, left,
                m_y + (fit.rowHeight - cellSpacing) / 2);
            left += fit.widths[c];
        }
        m_y += fit.rowHeight;
    }
    rule(pt(0.8), fit.width);
}
} // namespace ReportLayout
