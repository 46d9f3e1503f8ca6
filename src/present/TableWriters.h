#pragma once

#include "Report.h"
#include "Table.h"

#include <QByteArray>

// The writers of every table (Table.h), appended to `out`; UTF-8.

// Aligned columns, two spaces apart, headed by the columns' headings, footer rows last.
void AppendTableText(QByteArray &out, const Table &table);
// RFC 4180 with CR LF: a header row of keys when `header`, then a row per table row.
void AppendTableCsv(QByteArray &out, const Table &table, bool header = true);
// The header row alone, for a stream of tables of the same columns.
void AppendCsvHeader(QByteArray &out, const Table &table);

enum class JsonLayout {
    LinePerRow, // "[\n{...},\n{...}\n]"
    Compact, // "[{...},{...}]", for rows nested in another object
};
// The rows as a JSON array of objects.
void AppendTableJson(
    QByteArray &out, const Table &table, JsonLayout layout = JsonLayout::LinePerRow);
// The same columns as AppendTableText, for a printed report.
ReportTable TableForReport(const Table &table);
