#pragma once

// The report's page layout, shared by Report.cpp and ReportTableLayout.cpp. Private to the
// report library.

#include "ExceedanceChart.h"
#include "Report.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>

#include <array>

namespace ReportLayout {
inline const QColor Ink(0x1A, 0x1A, 0x1A);
inline const QColor Muted(0x50, 0x50, 0x50);
inline const QColor Stripe(0xF0, 0xF0, 0xF0);

// Type sizes in points.
inline constexpr double TitleSize = 15;
inline constexpr double SubtitleSize = 9;
inline constexpr double HeadingSize = 10.5;
inline constexpr double BodySize = 9;
inline constexpr double TableSize = 8.5;
inline constexpr double SmallestTableSize = 6.5; // a wide table shrinks to this before it is cut
inline constexpr double NoteSize = 7.5;
inline constexpr double FooterSize = 7.5;
// A chart's height to its width, and the scales it is tried at when the report runs over a page.
inline constexpr double ChartAspect = 0.5;
inline constexpr std::array<double, 5> ChartScales {1.0, 0.92, 0.84, 0.76, 0.68};

inline QFont reportFont(double points, bool bold = false)
{
    QFont font(ChartFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A header's words in lines no wider than the width where they can be (a longer word stands
// alone on its line).
inline QStringList wordLines(const QString &text, const QFontMetricsF &metrics, double width)
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
inline double narrowest(const QString &text, const QFontMetricsF &metrics, qsizetype lines)
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

    // A table's type, column widths and header lines, fitted to the line's width.
    struct TableFit
    {
        qsizetype columns = 0;
        double padding = 0;
        QFont body, bold;
        QList<double> widths;
        double width = 0;
        QList<QStringList> headLines;
        qsizetype headerLines = 0;
        double rowHeight = 0;
        double headerHeight = 0;
    };
    TableFit fitTable(const ReportTable &table) const;
    void fitColumns(const ReportTable &table, TableFit &fit) const;
    void tableCell(const TableFit &fit, const ReportTable &table, const QFont &font,
        const QString &content, qsizetype column, double left, double top);
    void tableHeader(const TableFit &fit, const ReportTable &table);

    const QPaintDevice &m_device;
    double m_dpi = 72;
    double m_width = 0;
    double m_chartScale = 1;
    double m_y = 0;
};
} // namespace ReportLayout
