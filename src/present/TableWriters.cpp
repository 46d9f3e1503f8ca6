#include "TableWriters.h"

#include "TableText.h"
#include "TextFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {
// A row may be shorter than the columns: the missing cells are empty.
const TableCell EmptyCell;

const TableCell &cellAt(const QList<TableCell> &row, qsizetype column)
{
    return column < row.size() ? row[column] : EmptyCell;
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
    rows.reserve(1 + qsizetype(table.rows.size() + table.footer.size()));
    const QList<qsizetype> shown = shownColumns(table, ForText);
    for (const auto *part : {&table.rows, &table.footer}) {
        for (const QList<TableCell> &row : *part) {
            QStringList cells;
            cells.reserve(header.size());
            for (const qsizetype i : shown) {
                const TableColumn &column = table.columns[i];
                if (column.kind == CellKind::Counts)
                    cells << PeopleTexts(column, cellAt(row, i), elements);
                else
                    cells << PeopleText(cellAt(row, i));
            }
            rows << cells;
        }
    }
    return rows;
}

// Text of plain ASCII needing no quotes goes straight in; anything else through CsvField.
std::string csvText(const QString &text, bool outside)
{
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u >= 0x7f || u == ',' || u == '"') {
            const QByteArray field = CsvField(outside ? VisibleControls(text) : text);
            return std::string(field.constData(), size_t(field.size()));
        }
        bytes += char(u);
    }
    return bytes;
}

void putBytes(std::string &out, const QByteArray &bytes)
{
    out.append(bytes.constData(), size_t(bytes.size()));
}

// JSON's rows are put together in a std::string and appended once a table: each small append to
// a QByteArray costs more than the bytes it adds.
void appendJsonCell(std::string &out, CellKind kind, const CellValue &value)
{
    char number[32];
    if (const auto *counts = std::get_if<QList<qint64>>(&value)) {
        out += '[';
        putBytes(out, countsText(*counts));
        out += ']';
    } else if (const auto *text = std::get_if<QString>(&value)) {
        putBytes(out, kind == CellKind::Decimal ? text->toLatin1() : JsonString(*text));
    } else if (const auto *integer = std::get_if<qint64>(&value)) {
        out.append(
            number, size_t(std::to_chars(number, number + sizeof number, *integer).ptr - number));
    } else if (const auto *real = std::get_if<double>(&value)) {
        if (std::isfinite(*real))
            out.append(
                number, size_t(std::to_chars(number, number + sizeof number, *real).ptr - number));
        else
            out += "null";
    } else if (const auto *flag = std::get_if<bool>(&value)) {
        out += *flag ? "true" : "false";
    } else if (const auto *date = std::get_if<QDate>(&value)) {
        putBytes(out, JsonString(date->toString(Qt::ISODate)));
    } else {
        out += "null";
    }
}

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

CsvRowWriter::CsvRowWriter(const Table &columns)
    : m_elements(columns.elementNames.size())
{
    for (const qsizetype i : shownColumns(columns, ForCsv)) {
        const TableColumn &column = columns.columns[i];
        m_shown.push_back({i, column.kind, column.outsideText, column.repeatedDown,
            column.kind == CellKind::Flag ? CsvField(CsvKey(column)) : QByteArray()});
    }
}

namespace {
// Where a table's CSV is being put together: a pointer into the line, kept in registers while a
// row is written, with room made before each cell.
struct LineCursor
{
    std::string &line;
    char *at;
    char *end;

    explicit LineCursor(std::string &text)
        : line(text)
        , at(text.data())
        , end(text.data() + text.size())
    { }
    size_t used() const { return size_t(at - line.data()); }
    [[gnu::noinline]] void grow(size_t bytes)
    {
        const size_t before = used();
        line.resize(std::max(2 * line.size(), before + bytes + 4096));
        at = line.data() + before;
        end = line.data() + line.size();
    }
    void room(size_t bytes)
    {
        if (size_t(end - at) < bytes)
            grow(bytes);
    }
    void put(const char *bytes, size_t size)
    {
        room(size);
        // Most cells are a few bytes ("negative", "1.4"): copied here, not by a call.
        if (size <= 16) {
            for (size_t i = 0; i < size; ++i)
                at[i] = bytes[i];
        } else {
            std::memcpy(at, bytes, size);
        }
        at += size;
    }
    void put(char c)
    {
        room(1);
        *at++ = c;
    }
};

[[gnu::always_inline]] inline void putCell(LineCursor &line, const CsvRowWriter::Shown &column,
    const TableCell &cell, CsvRowWriter::TextCache &cache, qsizetype elements)
{
    const CellValue &value = cell.value;
    switch (value.index()) {
    case 1: {
        // A refilled table holds the same strings row for row (the level, the branch): their
        // bytes are kept with the string itself, so the same data is the same text.
        const QString &text = *std::get_if<QString>(&value);
        if (text.constData() != cache.held.constData() || text.size() != cache.held.size()) {
            cache.held = text;
            cache.bytes = csvText(text, column.outside);
        }
        line.put(cache.bytes.data(), cache.bytes.size());
        return;
    }
    case 2:
        line.room(24);
        line.at = std::to_chars(line.at, line.end, *std::get_if<qint64>(&value)).ptr;
        return;
    case 3: {
        const double number = *std::get_if<double>(&value);
        if (!std::isfinite(number))
            return line.put("null", 4);
        line.room(32);
        line.at = std::to_chars(line.at, line.end, number).ptr;
        return;
    }
    case 4:
        if (*std::get_if<bool>(&value))
            line.put(column.flagKey.constData(), size_t(column.flagKey.size()));
        return;
    case 5: {
        const QByteArray iso = std::get_if<QDate>(&value)->toString(Qt::ISODate).toLatin1();
        line.put(iso.constData(), size_t(iso.size()));
        return;
    }
    case 6: {
        const QByteArray joined = countsText(*std::get_if<QList<qint64>>(&value));
        line.put(joined.constData(), size_t(joined.size()));
        return;
    }
    default:
        if (column.kind == CellKind::Counts) {
            for (qsizetype i = 1; i < elements; ++i)
                line.put(',');
        }
    }
}
} // namespace

void CsvRowWriter::append(QByteArray &out, const Table &table)
{
    const size_t width = m_shown.size();
    if (m_caches.size() < table.rows.size() * width)
        m_caches.resize(table.rows.size() * width);
    // The whole table is put together in m_line and appended at once. A repeated column's
    // empty cell is written as the bytes of the cell above: where they stand in m_line.
    constexpr size_t None = size_t(-1);
    m_above.assign(width, {None, 0});
    LineCursor line(m_line);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const QList<TableCell> &row = table.rows[r];
        TextCache *const caches = m_caches.data() + r * width;
        for (size_t at = 0; at < width; ++at) {
            if (at > 0)
                line.put(',');
            const Shown &column = m_shown[at];
            const TableCell &cell = cellAt(row, column.index);
            if (!column.repeated) {
                putCell(line, column, cell, caches[at], m_elements);
                continue;
            }
            auto &[start, size] = m_above[at];
            if (start == None || !std::holds_alternative<std::monostate>(cell.value)) {
                start = line.used();
                putCell(line, column, cell, caches[at], m_elements);
                size = line.used() - start;
            } else {
                line.room(size); // first: it may move the line
                std::memcpy(line.at, m_line.data() + start, size);
                line.at += size;
            }
        }
        line.put('\r');
        line.put('\n');
    }
    out.append(m_line.data(), qsizetype(line.used()));
}

void AppendTableCsv(QByteArray &out, const Table &table, bool header)
{
    if (header)
        AppendCsvHeader(out, table);
    CsvRowWriter(table).append(out, table);
}

JsonRowWriter::JsonRowWriter(const Table &columns)
{
    m_members.resize(columns.groups.size());
    for (const qsizetype i : shownColumns(columns, ForJson)) {
        const TableColumn &column = columns.columns[i];
        const Keyed keyed {i, column.kind, (JsonString(JsonKey(column)) + ':').toStdString()};
        if (column.group < 0) {
            m_plain.push_back(keyed);
            continue;
        }
        auto &members = m_members[size_t(column.group)];
        if (qsizetype(members.size()) <= column.member)
            members.resize(size_t(column.member) + 1);
        members[size_t(column.member)].push_back(keyed);
    }
    for (const QString &group : columns.groups)
        m_groupKeys.push_back((JsonString(group) + ":[").toStdString());
}

void JsonRowWriter::appendKeyed(
    std::string &out, const QList<TableCell> &row, const Keyed &keyed) const
{
    out += keyed.key;
    appendJsonCell(out, keyed.kind, cellAt(row, keyed.column).value);
}

void JsonRowWriter::appendRow(std::string &out, const QList<TableCell> &row) const
{
    out += '{';
    bool first = true;
    for (const Keyed &column : m_plain) {
        if (!first)
            out += ',';
        first = false;
        appendKeyed(out, row, column);
    }
    for (size_t g = 0; g < m_groupKeys.size(); ++g) {
        if (!first)
            out += ',';
        first = false;
        out += m_groupKeys[g];
        const auto &members = m_members[g];
        for (size_t m = 0; m < members.size(); ++m) {
            out += m ? ",{" : "{";
            for (size_t c = 0; c < members[m].size(); ++c) {
                if (c > 0)
                    out += ',';
                appendKeyed(out, row, members[m][c]);
            }
            out += '}';
        }
        out += ']';
    }
    out += '}';
}

void JsonRowWriter::append(QByteArray &out, const Table &table, JsonLayout layout) const
{
    const bool lines = layout == JsonLayout::LinePerRow;
    std::string text = lines ? "[\n" : "[";
    for (size_t r = 0; r < table.rows.size(); ++r) {
        if (r > 0)
            text += lines ? ",\n" : ",";
        appendRow(text, table.rows[r]);
    }
    text += lines ? "\n]" : "]";
    out.append(text.data(), qsizetype(text.size()));
}

void AppendTableJson(QByteArray &out, const Table &table, JsonLayout layout)
{
    JsonRowWriter(table).append(out, table, layout);
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
