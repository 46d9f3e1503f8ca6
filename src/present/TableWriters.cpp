#include "TableWriters.h"

#include "TableText.h"
#include "TextFields.h"

namespace {
// A row may be shorter than the columns: the missing cells are empty.
const TableCell &cellAt(const QList<TableCell> &row, qsizetype column)
{
    static const TableCell empty;
    return column < row.size() ? row[column] : empty;
}

bool shownFor(const TableColumn &column, TableFormatMask format)
{
    return (column.formats & format) != 0;
}

// The indexes of the columns written in `format`, found once for all rows.
QList<qsizetype> shownColumns(const Table &table, TableFormatMask format)
{
    QList<qsizetype> shown;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (shownFor(table.columns[i], format))
            shown << i;
    }
    return shown;
}

// "3,4,5": a counts cell's elements, comma-separated, for CSV and JSON alike.
QByteArray countsText(const QList<qint64> &counts)
{
    QByteArray text;
    for (qsizetype i = 0; i < counts.size(); ++i)
        text += (i ? "," : "") + QByteArray::number(counts[i]);
    return text;
}

bool leftAligned(const TableColumn &column)
{
    if (column.leftAligned)
        return *column.leftAligned;
    return column.kind == CellKind::Text || column.kind == CellKind::Date;
}

// The people's rows: the header, the rows, the footer; and which columns go to the left.
QList<QStringList> peopleRows(const Table &table, QList<bool> &left)
{
    const qsizetype elements = table.elementNames.size();
    QStringList header;
    left.clear();
    for (const TableColumn &column : table.columns) {
        if (!shownFor(column, ForText))
            continue;
        const QStringList headings
            = column.kind == CellKind::Counts ? table.elementNames : QStringList {column.heading};
        header << headings;
        for (qsizetype i = 0; i < headings.size(); ++i)
            left << leftAligned(column);
    }
    QList<QStringList> rows {header};
    for (const auto *part : {&table.rows, &table.footer}) {
        for (const QList<TableCell> &row : *part) {
            QStringList cells;
            for (qsizetype i = 0; i < table.columns.size(); ++i) {
                if (shownFor(table.columns[i], ForText))
                    cells << PeopleTexts(table.columns[i], cellAt(row, i), elements);
            }
            rows << cells;
        }
    }
    return rows;
}

QByteArray csvCell(const TableColumn &column, const TableCell &cell, qsizetype elements)
{
    const CellValue &value = cell.value;
    if (const auto *counts = std::get_if<QList<qint64>>(&value))
        return countsText(*counts);
    if (column.kind == CellKind::Counts)
        return QByteArray(elements > 0 ? elements - 1 : 0, ',');
    if (const auto *text = std::get_if<QString>(&value))
        return CsvField(column.outsideText ? VisibleControls(*text) : *text);
    if (const auto *integer = std::get_if<qint64>(&value))
        return QByteArray::number(*integer);
    if (const auto *number = std::get_if<double>(&value))
        return NumberText(*number);
    if (const auto *flag = std::get_if<bool>(&value))
        return *flag ? CsvField(CsvKey(column)) : QByteArray();
    if (const auto *date = std::get_if<QDate>(&value))
        return date->toString(Qt::ISODate).toLatin1();
    return {};
}

QByteArray jsonCell(const CellValue &value)
{
    if (const auto *counts = std::get_if<QList<qint64>>(&value))
        return '[' + countsText(*counts) + ']';
    if (const auto *text = std::get_if<QString>(&value))
        return JsonString(*text);
    if (const auto *integer = std::get_if<qint64>(&value))
        return QByteArray::number(*integer);
    if (const auto *number = std::get_if<double>(&value))
        return NumberText(*number);
    if (const auto *flag = std::get_if<bool>(&value))
        return *flag ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    if (const auto *date = std::get_if<QDate>(&value))
        return JsonString(date->toString(Qt::ISODate));
    return QByteArrayLiteral("null");
}
} // namespace

void AppendTableText(QByteArray &out, const Table &table)
{
    QList<bool> left;
    const QList<QStringList> rows = peopleRows(table, left);
    AppendAligned(out, rows, left);
}

void AppendTableCsv(QByteArray &out, const Table &table, bool header)
{
    const qsizetype elements = table.elementNames.size();
    if (header) {
        QByteArray line;
        for (const TableColumn &column : table.columns) {
            if (!shownFor(column, ForCsv))
                continue;
            if (column.kind != CellKind::Counts) {
                line += (line.isEmpty() ? "" : ",") + CsvField(CsvKey(column));
                continue;
            }
            for (const QString &name : table.elementNames)
                line += (line.isEmpty() ? "" : ",") + CsvField(column.element + u'_' + name);
        }
        out += line + "\r\n";
    }
    const QList<qsizetype> shown = shownColumns(table, ForCsv);
    for (const QList<TableCell> &row : table.rows) {
        for (qsizetype at = 0; at < shown.size(); ++at) {
            if (at > 0)
                out += ',';
            out += csvCell(table.columns[shown[at]], cellAt(row, shown[at]), elements);
        }
        out += "\r\n";
    }
}

void AppendTableJson(QByteArray &out, const Table &table)
{
    const QList<qsizetype> shown = shownColumns(table, ForJson);
    QList<QByteArray> keys;
    for (const qsizetype i : shown)
        keys << JsonString(JsonKey(table.columns[i])) + ':';
    out += '[';
    for (size_t r = 0; r < table.rows.size(); ++r) {
        out += r ? ",\n{" : "\n{";
        for (qsizetype at = 0; at < shown.size(); ++at)
            out += (at ? "," : "") + keys[at] + jsonCell(cellAt(table.rows[r], shown[at]).value);
        out += '}';
    }
    out += "\n]";
}

ReportTable TableForReport(const Table &table)
{
    QList<bool> left;
    QList<QStringList> rows = peopleRows(table, left);
    ReportTable report;
    report.header = rows.takeFirst();
    report.rows = rows;
    for (qsizetype i = 0; i < left.size(); ++i) {
        if (!left[i])
            report.rightAligned << int(i);
    }
    return report;
}
