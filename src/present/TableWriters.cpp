#include "TableWriters.h"

#include "TableText.h"
#include "TextFields.h"

#include <charconv>
#include <cmath>

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

void appendNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

void appendInteger(QByteArray &out, qint64 value)
{
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

// A text cell's CSV bytes, kept while the same string comes again (a table's source on every
// row), so that a long table encodes each text once. Within one call every cell is alive, so
// the same data pointer is the same text.
class CsvTextCache
{
public:
    const QByteArray &bytes(const TableColumn &column, const QString &text)
    {
        if (text.constData() != m_data || text.size() != m_size) {
            m_data = text.constData();
            m_size = text.size();
            if (column.kind == CellKind::Decimal)
                m_bytes = text.toLatin1();
            else
                m_bytes = CsvField(column.outsideText ? VisibleControls(text) : text);
        }
        return m_bytes;
    }

private:
    const QChar *m_data = nullptr;
    qsizetype m_size = -1;
    QByteArray m_bytes;
};

void appendCsvCell(QByteArray &out, const TableColumn &column, const TableCell &cell,
    qsizetype elements, CsvTextCache &cache)
{
    const CellValue &value = cell.value;
    if (const auto *text = std::get_if<QString>(&value))
        out += cache.bytes(column, *text);
    else if (const auto *number = std::get_if<double>(&value))
        appendNumber(out, *number);
    else if (const auto *integer = std::get_if<qint64>(&value))
        appendInteger(out, *integer);
    else if (const auto *counts = std::get_if<QList<qint64>>(&value))
        out += countsText(*counts);
    else if (column.kind == CellKind::Counts)
        out += QByteArray(elements > 0 ? elements - 1 : 0, ',');
    else if (const auto *flag = std::get_if<bool>(&value))
        out += *flag ? CsvField(CsvKey(column)) : QByteArray();
    else if (const auto *date = std::get_if<QDate>(&value))
        out += date->toString(Qt::ISODate).toLatin1();
}

void appendJsonCell(QByteArray &out, const TableColumn &column, const CellValue &value)
{
    if (const auto *counts = std::get_if<QList<qint64>>(&value))
        out += '[' + countsText(*counts) + ']';
    else if (const auto *text = std::get_if<QString>(&value))
        out += column.kind == CellKind::Decimal ? text->toLatin1() : JsonString(*text);
    else if (const auto *integer = std::get_if<qint64>(&value))
        appendInteger(out, *integer);
    else if (const auto *number = std::get_if<double>(&value))
        appendNumber(out, *number);
    else if (const auto *flag = std::get_if<bool>(&value))
        out += *flag ? "true" : "false";
    else if (const auto *date = std::get_if<QDate>(&value))
        out += JsonString(date->toString(Qt::ISODate));
    else
        out += "null";
}

// One row as a JSON object: the columns outside groups in order, then each group as an array
// of its members' objects.
class JsonRowWriter
{
public:
    explicit JsonRowWriter(const Table &table)
        : m_table(table)
    {
        const QList<qsizetype> shown = shownColumns(table, ForJson);
        m_members.resize(table.groups.size());
        for (const qsizetype i : shown) {
            const TableColumn &column = table.columns[i];
            const QByteArray key = JsonString(JsonKey(column)) + ':';
            if (column.group < 0) {
                m_plain.push_back({i, key});
                continue;
            }
            auto &members = m_members[column.group];
            if (qsizetype(members.size()) <= column.member)
                members.resize(column.member + 1);
            members[column.member].push_back({i, key});
        }
        for (const QString &group : table.groups)
            m_groupKeys << JsonString(group) + ':';
    }

    void append(QByteArray &out, const QList<TableCell> &row) const
    {
        out += '{';
        bool first = true;
        for (const Keyed &column : m_plain) {
            out += first ? "" : ",";
            first = false;
            appendKeyed(out, row, column);
        }
        for (qsizetype g = 0; g < m_groupKeys.size(); ++g) {
            out += first ? "" : ",";
            first = false;
            out += m_groupKeys[g] + '[';
            for (size_t m = 0; m < m_members[g].size(); ++m) {
                out += m ? ",{" : "{";
                for (size_t c = 0; c < m_members[g][m].size(); ++c) {
                    out += c ? "," : "";
                    appendKeyed(out, row, m_members[g][m][c]);
                }
                out += '}';
            }
            out += ']';
        }
        out += '}';
    }

private:
    struct Keyed
    {
        qsizetype column;
        QByteArray key;
    };

    void appendKeyed(QByteArray &out, const QList<TableCell> &row, const Keyed &keyed) const
    {
        out += keyed.key;
        appendJsonCell(out, m_table.columns[keyed.column], cellAt(row, keyed.column).value);
    }

    const Table &m_table;
    std::vector<Keyed> m_plain;
    std::vector<std::vector<std::vector<Keyed>>> m_members;
    QList<QByteArray> m_groupKeys;
};
} // namespace

void AppendTableText(QByteArray &out, const Table &table)
{
    QList<bool> left;
    const QList<QStringList> rows = peopleRows(table, left);
    AppendAligned(out, rows, left);
}

void AppendCsvHeader(QByteArray &out, const Table &table)
{
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

void AppendTableCsv(QByteArray &out, const Table &table, bool header)
{
    if (header)
        AppendCsvHeader(out, table);
    const qsizetype elements = table.elementNames.size();
    const QList<qsizetype> shown = shownColumns(table, ForCsv);
    std::vector<CsvTextCache> caches(shown.size());
    for (const QList<TableCell> &row : table.rows) {
        for (qsizetype at = 0; at < shown.size(); ++at) {
            if (at > 0)
                out += ',';
            appendCsvCell(
                out, table.columns[shown[at]], cellAt(row, shown[at]), elements, caches[at]);
        }
        out += "\r\n";
    }
}

void AppendTableJson(QByteArray &out, const Table &table, JsonLayout layout)
{
    const JsonRowWriter writer(table);
    const char *const between = layout == JsonLayout::LinePerRow ? ",\n" : ",";
    out += layout == JsonLayout::LinePerRow ? "[\n" : "[";
    for (size_t r = 0; r < table.rows.size(); ++r) {
        if (r > 0)
            out += between;
        writer.append(out, table.rows[r]);
    }
    out += layout == JsonLayout::LinePerRow ? "\n]" : "]";
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
