#pragma once

#include "Report.h"
#include "Table.h"

#include <QByteArray>

#include <string>
#include <utility>
#include <vector>

// The writers of every table (Table.h), appended to `out`; UTF-8.

// Aligned columns, two spaces apart, headed by the columns' headings, footer rows last.
void AppendTableText(QByteArray &out, const Table &table);
// RFC 4180 with CR LF: a header row of keys when `header`, then a row per table row.
void AppendTableCsv(QByteArray &out, const Table &table, bool header = true);
// The header row alone, for a stream of tables of the same columns.
void AppendCsvHeader(QByteArray &out, const Table &table);

// The CSV rows of tables of the same columns, the columns looked at once: a stream of many small
// tables (the exceedance of each record) stays as fast as a row put together by hand.
class CsvRowWriter
{
public:
    explicit CsvRowWriter(const Table &columns);
    void append(QByteArray &out, const Table &table);

    struct Shown
    {
        qsizetype index;
        CellKind kind;
        bool outside;
        bool repeated;
        QByteArray flagKey;
    };
    struct TextCache
    {
        QString held; // kept alive, so that no other text can come at its address
        std::string bytes;
    };

private:
    std::vector<Shown> m_shown;
    qsizetype m_elements;
    std::vector<TextCache> m_caches; // a row's text columns, row after row
    std::string m_line; // the table being put together, kept for its capacity
    // A repeated column's bytes in the row above: where they start in m_line, and how many.
    std::vector<std::pair<size_t, size_t>> m_above;
};

enum class JsonLayout {
    LinePerRow, // "[\n{...},\n{...}\n]"
    Compact, // "[{...},{...}]", for rows nested in another object
};
// The rows as a JSON array of objects: the columns outside groups in order, then each group as
// an array of one object per member.
void AppendTableJson(
    QByteArray &out, const Table &table, JsonLayout layout = JsonLayout::LinePerRow);

// The same for a stream of tables of the same columns, the keys made once.
class JsonRowWriter
{
public:
    explicit JsonRowWriter(const Table &columns);
    void append(QByteArray &out, const Table &table, JsonLayout layout) const;

private:
    struct Keyed
    {
        qsizetype column;
        CellKind kind;
        std::string key; // "\"name\":"
    };
    void appendRow(std::string &out, const QList<TableCell> &row) const;
    void appendKeyed(std::string &out, const QList<TableCell> &row, const Keyed &keyed) const;

    std::vector<Keyed> m_plain;
    std::vector<std::vector<std::vector<Keyed>>> m_members;
    std::vector<std::string> m_groupKeys; // "\"name\":["
};
// The same columns as AppendTableText, for a printed report.
ReportTable TableForReport(const Table &table);
