#include "Report.h"
#include "ReportLayout.h"

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

namespace ReportLayout {
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
} // namespace ReportLayout

using namespace ReportLayout;

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
