#include "Report.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace {
const QColor Ink(0x1A, 0x1A, 0x1A);
const QColor Muted(0x50, 0x50, 0x50);
const QColor Stripe(0xF0, 0xF0, 0xF0);

// Type sizes in points.
constexpr double TitleSize = 15;
constexpr double SubtitleSize = 9;
constexpr double HeadingSize = 10.5;
constexpr double BodySize = 9;
constexpr double TableSize = 8.5;
constexpr double SmallestTableSize = 6.5; // a wide table shrinks to this before it is cut
constexpr double NoteSize = 7.5;
constexpr double FooterSize = 7.5;
// A chart's height to its width, and the scales it is tried at when the report runs over a page.
constexpr double ChartAspect = 0.5;
constexpr std::array<double, 5> ChartScales {1.0, 0.92, 0.84, 0.76, 0.68};

QFont reportFont(double points, bool bold = false)
{
    QFont font(ChartFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A header's words in lines no wider than the width where they can be (a longer word stands
// alone on its line).
QStringList wordLines(const QString &text, const QFontMetricsF &metrics, double width)
{
    QStringList lines;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString joined = lines.isEmpty() ? QString() : lines.last() + u' ' + word;
        if (!lines.isEmpty() && metrics.horizontalAdvance(joined) <= width * (1 + 1e-9))
            lines.last() = joined;
        else
            lines << word;
    }
    return lines;
}

// The narrowest width at which the text takes no more than that many lines: the width of one of
// its runs of words. Long texts try their longest word and their whole width alone.
double narrowest(const QString &text, const QFontMetricsF &metrics, qsizetype lines)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    QList<double> runs {metrics.horizontalAdvance(words.join(u' '))};
    for (qsizetype i = 0; i < words.size(); ++i) {
        for (qsizetype j = i; j < (words.size() > 24 ? i + 1 : words.size()); ++j)
            runs << metrics.horizontalAdvance(words.mid(i, j - i + 1).join(u' '));
    }
    std::sort(runs.begin(), runs.end());
    for (const double width : runs) {
        if (wordLines(text, metrics, width).size() <= lines)
            return width;
    }
    return runs.last();
}

// One thing painted at a place on a page.
struct Item
{
    enum Kind { Text, Rule, Fill, Chart };
    explicit Item(Kind kind)
        : kind(kind)
    { }

    Kind kind;
    QPointF at; // Text: the start of the baseline
    QRectF rect; // Fill, Chart; Rule: along the top edge
    QString text;
    QFont font;
    QColor colour = Ink;
    double width = 0; // Rule
    const ExceedanceChartData *chart = nullptr;
};
using Page = QList<Item>;

// The document placed on pages, in device units from the top-left of the printable area.
class Layout
{
public:
    Layout(const QPaintDevice &device, const ReportDocument &document, double chartScale);

    QList<Page> pages {Page {}};
    double footerTop = 0;

private:
    double mm(double millimetres) const { return millimetres * m_dpi / 25.4; }
    double pt(double points) const { return points * m_dpi / 72; }
    QFontMetricsF metrics(const QFont &font) const { return QFontMetricsF(font, &m_device); }
    QStringList wrap(const QString &text, const QFont &font, double width) const;

    bool fits(double height) const { return m_y + height <= footerTop; }
    // A new page unless the height fits below, or the page is still empty.
    void keep(double height);
    void text(const QFont &font, const QColor &colour, double x, double top, const QString &text);
    void rule(double width, double length);
    void lines(const QString &text, const QFont &font, const QColor &colour, double indent = 0,
        const QString &label = {});
    double leadHeight(const ReportBlock &block) const;
    void table(const ReportTable &table);

    const QPaintDevice &m_device;
    double m_dpi = 72;
    double m_width = 0;
    double m_chartScale = 1;
    double m_y = 0;
};

Layout::Layout(const QPaintDevice &device, const ReportDocument &document, double chartScale)
    : m_device(device)
    , m_dpi(device.logicalDpiY() > 0 ? device.logicalDpiY() : 72)
    , m_width(device.width())
    , m_chartScale(chartScale)
{
    footerTop = device.height() - mm(3) - metrics(reportFont(FooterSize)).height();

    if (!document.title.isEmpty())
        lines(document.title, reportFont(TitleSize, true), Ink);
    for (const QString &line : document.subtitle)
        lines(line, reportFont(SubtitleSize), Muted);
    if (!document.title.isEmpty() || !document.subtitle.isEmpty()) {
        m_y += mm(1.5);
        rule(pt(0.6), m_width);
        m_y += mm(2.5);
    }

    for (qsizetype i = 0; i < document.blocks.size(); ++i) {
        const ReportBlock &block = document.blocks[i];
        switch (block.kind) {
        case ReportBlock::Heading: {
            const QFont font = reportFont(HeadingSize, true);
            if (m_y > 0)
                m_y += mm(2.5);
            // A heading stays with the start of what it heads.
            const double next
                = i + 1 < document.blocks.size() ? leadHeight(document.blocks[i + 1]) : 0;
            keep(metrics(font).lineSpacing() + mm(1.2) + next);
            lines(block.text, font, Ink);
            m_y += mm(1.2);
            break;
        }
        case ReportBlock::Paragraph:
            lines(block.text, reportFont(BodySize), Ink);
            m_y += mm(1.5);
            break;
        case ReportBlock::Table:
            table(block.table);
            m_y += mm(2.5);
            break;
        case ReportBlock::Chart: {
            const double height = leadHeight(block);
            keep(height);
            Item item {Item::Chart};
            item.rect = QRectF(0, m_y, m_width, height);
            item.chart = &block.chart;
            pages.last() << item;
            m_y += height + mm(2);
            break;
        }
        case ReportBlock::Notes: {
            const QFont font = reportFont(NoteSize);
            const double indent = metrics(font).horizontalAdvance(QStringLiteral("00.")) + mm(1);
            for (qsizetype n = 0; n < block.notes.size(); ++n)
                lines(block.notes[n], font, Muted, indent, QStringLiteral("%1.").arg(n + 1));
            m_y += mm(1.5);
            break;
        }
        }
    }
}

QStringList Layout::wrap(const QString &text, const QFont &font, double width) const
{
    QStringList result;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font, &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = result.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1.0));
            result << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (result.size() == before)
            result << QString();
    }
    return result;
}

void Layout::keep(double height)
{
    if (!fits(height) && m_y > 0) {
        pages.append(Page {});
        m_y = 0;
    }
}

void Layout::text(
    const QFont &font, const QColor &colour, double x, double top, const QString &text)
{
    if (text.isEmpty())
        return;
    Item item {Item::Text};
    item.at = QPointF(x, top + metrics(font).ascent());
    item.text = text;
    item.font = font;
    item.colour = colour;
    pages.last() << item;
}

void Layout::rule(double width, double length)
{
    Item item {Item::Rule};
    item.rect = QRectF(0, m_y, length, 0);
    item.width = width;
    item.colour = Ink;
    pages.last() << item;
}

// Text wrapped to the width left after the indent, line by line, so that it may go over a page
// end; the label (a note's number) before the first line.
void Layout::lines(const QString &content, const QFont &font, const QColor &colour, double indent,
    const QString &label)
{
    const double spacing = metrics(font).lineSpacing();
    const QStringList wrapped = wrap(content, font, m_width - indent);
    for (qsizetype i = 0; i < wrapped.size(); ++i) {
        keep(spacing);
        if (i == 0)
            text(font, colour, 0, m_y, label);
        text(font, colour, indent, m_y, wrapped[i]);
        m_y += spacing;
    }
}

double Layout::leadHeight(const ReportBlock &block) const
{
    switch (block.kind) {
    case ReportBlock::Heading:
        return metrics(reportFont(HeadingSize, true)).lineSpacing();
    case ReportBlock::Paragraph:
        return metrics(reportFont(BodySize)).lineSpacing();
    case ReportBlock::Notes:
        return metrics(reportFont(NoteSize)).lineSpacing();
    case ReportBlock::Table:
        return 2 * metrics(reportFont(TableSize, true)).lineSpacing() + mm(1.4)
            + metrics(reportFont(TableSize)).lineSpacing() + mm(1.1);
    case ReportBlock::Chart:
        return std::min(m_width * ChartAspect * m_chartScale, footerTop);
    }
    return 0;
}

void Layout::table(const ReportTable &table)
{
    qsizetype columns = table.header.size();
    for (const QStringList &row : table.rows)
        columns = std::max(columns, row.size());
    if (columns == 0)
        return;
    const auto cell
        = [](const QStringList &row, qsizetype c) { return c < row.size() ? row[c] : QString(); };
    const double padding = mm(1.2);

    // Column widths: the widest cell, the header on as few lines as the page width allows (the
    // same count for all: the header row is as tall as its tallest cell), then the columns that
    // still wrap get one line where the room left allows, cheapest first. When even single words
    // do not fit the type shrinks, and at the smallest size the columns are cut.
    QFont body, bold;
    QList<double> widths(columns);
    for (double size = TableSize;; size -= 0.5) {
        body = reportFont(size);
        bold = reportFont(size, true);
        const QFontMetricsF cells = metrics(body), heads = metrics(bold);
        QList<double> need(columns);
        qsizetype mostWords = 1;
        for (qsizetype c = 0; c < columns; ++c) {
            for (const QStringList &row : table.rows)
                need[c] = std::max(need[c], cells.horizontalAdvance(cell(row, c)));
            need[c] += 2 * padding;
            mostWords = std::max(mostWords, cell(table.header, c).split(u' ').size());
        }
        const auto widthFor = [&](qsizetype c, qsizetype lines) {
            return std::max(need[c], narrowest(cell(table.header, c), heads, lines) + 2 * padding);
        };
        const auto sum = [](const QList<double> &list) {
            return std::accumulate(list.begin(), list.end(), 0.0);
        };
        bool fitted = false;
        for (qsizetype lines = 1; lines <= mostWords && !fitted; ++lines) {
            for (qsizetype c = 0; c < columns; ++c)
                widths[c] = widthFor(c, lines);
            fitted = sum(widths) <= m_width;
        }
        if (fitted) {
            QList<qsizetype> order(columns);
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
                return widthFor(a, 1) - widths[a] < widthFor(b, 1) - widths[b];
            });
            double room = m_width - sum(widths);
            for (const qsizetype c : order) {
                const double extra = widthFor(c, 1) - widths[c];
                if (extra > 0 && extra <= room) {
                    widths[c] += extra;
                    room -= extra;
                }
            }
            break;
        }
        if (size - 0.5 < SmallestTableSize) {
            const double total = sum(widths);
            for (double &w : widths)
                w *= m_width / total;
            break;
        }
    }
    double tableWidth = 0;
    for (const double w : widths)
        tableWidth += w;
    // A table that takes most of the line takes all of it.
    if (tableWidth >= 0.55 * m_width && tableWidth < m_width) {
        for (double &w : widths)
            w += (m_width - tableWidth) / columns;
        tableWidth = m_width;
    }

    const QFontMetricsF cells = metrics(body), heads = metrics(bold);
    const double rowHeight = cells.lineSpacing() + mm(1.1);
    QList<QStringList> headLines(columns);
    qsizetype headerLines = 0;
    if (!table.header.isEmpty()) {
        for (qsizetype c = 0; c < columns; ++c) {
            headLines[c] = wordLines(cell(table.header, c), heads, widths[c] - 2 * padding);
            headerLines = std::max(headerLines, headLines[c].size());
        }
    }
    const double headerHeight = headerLines ? headerLines * heads.lineSpacing() + mm(1.4) : 0;
    const auto place
        = [&](const QFont &font, const QString &content, qsizetype c, double left, double top) {
              const QFontMetricsF m = metrics(font);
              const QString shown = m.elidedText(content, Qt::ElideRight, widths[c] - 2 * padding);
              const bool right = table.rightAligned.contains(int(c));
              text(font, Ink,
                  right ? left + widths[c] - padding - m.horizontalAdvance(shown) : left + padding,
                  top, shown);
          };
    const auto header = [&] {
        rule(pt(0.8), tableWidth);
        if (!headerLines)
            return;
        double left = 0;
        for (qsizetype c = 0; c < columns; ++c) {
            // Bottom-aligned, so that one-line headers sit on the rule like the others.
            const qsizetype offset = headerLines - headLines[c].size();
            for (qsizetype k = 0; k < headLines[c].size(); ++k)
                place(bold, headLines[c][k], c, left,
                    m_y + mm(0.7) + (offset + k) * heads.lineSpacing());
            left += widths[c];
        }
        m_y += headerHeight;
        rule(pt(0.4), tableWidth);
    };

    keep(headerHeight + (table.rows.isEmpty() ? 0 : rowHeight));
    header();
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        if (!fits(rowHeight) && m_y > 0) {
            rule(pt(0.8), tableWidth);
            pages.append(Page {});
            m_y = 0;
            header();
        }
        if (r % 2 == 1) {
            Item stripe {Item::Fill};
            stripe.rect = QRectF(0, m_y, tableWidth, rowHeight);
            stripe.colour = Stripe;
            pages.last() << stripe;
        }
        double left = 0;
        for (qsizetype c = 0; c < columns; ++c) {
            place(
                body, cell(table.rows[r], c), c, left, m_y + (rowHeight - cells.lineSpacing()) / 2);
            left += widths[c];
        }
        m_y += rowHeight;
    }
    rule(pt(0.8), tableWidth);
}

void paintItem(QPainter &painter, const Item &item)
{
    switch (item.kind) {
    case Item::Text:
        painter.setFont(item.font);
        painter.setPen(item.colour);
        painter.drawText(item.at, item.text);
        break;
    case Item::Rule:
        painter.setPen(QPen(item.colour, item.width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(item.rect.topLeft(), item.rect.topRight());
        break;
    case Item::Fill:
        painter.fillRect(item.rect, item.colour);
        break;
    case Item::Chart:
        PaintExceedanceChart(painter, item.rect, *item.chart);
        break;
    }
}
} // namespace

bool PaintReport(QPagedPaintDevice &device, const ReportDocument &document)
{
    // A page that cannot hold a few lines would take a page for every line.
    const double millimetre = device.logicalDpiY() / 25.4;
    if (!(device.width() >= 20 * millimetre && device.height() >= 40 * millimetre))
        return false;
    // The first chart scale that needs no more pages than the smallest one.
    QList<Page> pages;
    double footerTop = 0;
    const bool anyChart = std::any_of(document.blocks.begin(), document.blocks.end(),
        [](const ReportBlock &block) { return block.kind == ReportBlock::Chart; });
    for (const double scale : ChartScales) {
        const Layout layout(device, document, scale);
        if (pages.isEmpty() || layout.pages.size() < pages.size()) {
            pages = layout.pages;
            footerTop = layout.footerTop;
        }
        if (pages.size() == 1 || !anyChart)
            break;
    }

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont footerFont = reportFont(FooterSize);
    const QFontMetricsF footer(footerFont, &device);
    const qsizetype count = pages.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        for (const Item &item : pages[i])
            paintItem(painter, item);

        const double top = footerTop + millimetre;
        painter.setPen(QPen(Muted, 0.3 * millimetre, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(0, top), QPointF(device.width(), top));
        const QString pageText = QStringLiteral("page %1 of %2").arg(i + 1).arg(count);
        const double pageWidth = footer.horizontalAdvance(pageText);
        const double baseline = top + millimetre + footer.ascent();
        painter.setFont(footerFont);
        painter.setPen(Muted);
        painter.drawText(QPointF(0, baseline),
            footer.elidedText(
                document.footer, Qt::ElideRight, device.width() - pageWidth - 5 * millimetre));
        painter.drawText(QPointF(device.width() - pageWidth, baseline), pageText);
    }
    return painter.end();
}

Result WriteReportPdf(
    QIODevice &device, const ReportDocument &document, const QString &title, const QString &creator)
{
    // The writer would draw into a device it cannot write to and call that success.
    if (!device.isWritable())
        return {Result::Failed, QStringLiteral("the output is not open for writing")};
    QPdfWriter writer(&device);
    writer.setTitle(title);
    writer.setCreator(creator);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    if (!PaintReport(writer, document))
        return {Result::Failed, QStringLiteral("the report could not be written")};
    return {};
}
