#pragma once

#include "ExceedanceChart.h"
#include "Result.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;
class QPagedPaintDevice;

// A printable report as plain data: headings, paragraphs, tables, exceedance charts and small
// print, laid out top to bottom on as few pages as they fit.

struct ReportTable
{
    QStringList header; // may be empty; a long header wraps at its spaces
    QList<QStringList> rows;
    QList<int> rightAligned; // column indexes: numbers
};

struct ReportBlock
{
    enum Kind { Heading, Paragraph, Table, Chart, Notes } kind = Paragraph;
    QString text; // Heading, Paragraph; a line feed starts a new line
    ReportTable table; // Table
    ExceedanceChartData chart; // Chart
    QStringList notes; // Notes: numbered small print (formulas, assumptions)

    static ReportBlock heading(const QString &text) { return {Heading, text, {}, {}, {}}; }
    static ReportBlock paragraph(const QString &text) { return {Paragraph, text, {}, {}, {}}; }
    static ReportBlock ofTable(const ReportTable &table) { return {Table, {}, table, {}, {}}; }
    static ReportBlock ofChart(const ExceedanceChartData &chart)
    {
        return {Chart, {}, {}, chart, {}};
    }
    // Each line once, in the order first given.
    static ReportBlock ofNotes(QStringList lines)
    {
        lines.removeDuplicates();
        return {Notes, {}, {}, {}, lines};
    }
};

struct ReportDocument
{
    QString title;
    QStringList subtitle; // lines under the title: what was read, how it was combined
    QList<ReportBlock> blocks;
    QString footer; // on every page beside "page i of n": program, version, date
};

// Lays the document out on the device's pages and paints it: the title on the first page, the
// blocks in order, the footer at the foot of every page. A table that goes over a page end goes
// on with its header repeated; a chart is never split, and is drawn smaller (down to about two
// thirds) where that saves a page; a heading stays with what follows it. False when the device
// could not be painted on, or its printable area is under 20 x 40 mm.
bool PaintReport(QPagedPaintDevice &device, const ReportDocument &document);

// The report as a PDF on A4 portrait pages with 15 mm margins: vector shapes, text as text, the
// fonts embedded. `title` and `creator` go into the document information. The device must be open
// for writing.
Result WriteReportPdf(QIODevice &device, const ReportDocument &document, const QString &title,
    const QString &creator);
