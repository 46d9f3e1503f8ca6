#pragma once

#include "CounterRecord.h"
#include "NameTable.h"

#include <QByteArray>
#include <QString>

// The spectrum table and the timers of records as text for people or for other programs:
// - Text: the windows' own texts (FormatReal with the given decimal separator), one line per
//   level in aligned columns; each record under a "Record N" heading when headings are asked for;
// - Csv: RFC 4180 (CR LF line ends), a header row, the windows' 15-digit texts with a full stop;
//   the spectrum has one row per level, with the record's active work time repeated in the last
//   column of each of its rows, so every row stands alone;
// - Json: one array holding one object per record, every number in the shortest text that reads
//   back to the value the window holds (its single-precision values widened to double), null
//   where the window shows a blank.
// Output is UTF-8, appended to `out` a record at a time so that any number of records streams.
enum class TableFormat { Text, Csv, Json };
inline constexpr NamedValue<TableFormat> TableFormatNames[] = {
    {TableFormat::Text, "text"},
    {TableFormat::Csv, "csv", "RFC 4180"},
    {TableFormat::Json, "json"},
};
enum class TableKind { Spectrum, Timers };

class RecordTableWriter
{
public:
    RecordTableWriter(
        TableKind kind, TableFormat format, const QString &decimalSeparator, bool headings);

    void begin(QByteArray &out);
    void add(qint64 record, const RecordValues &values, QByteArray &out);
    void end(QByteArray &out);

private:
    void addSpectrumText(qint64 record, const RecordValues &values, QByteArray &out);
    void addSpectrumCsv(qint64 record, const RecordValues &values, QByteArray &out);
    void addSpectrumJson(qint64 record, const RecordValues &values, QByteArray &out);
    void addTimersText(qint64 record, const RecordValues &values, QByteArray &out);
    void addTimersCsv(qint64 record, const RecordValues &values, QByteArray &out);
    void addTimersJson(qint64 record, const RecordValues &values, QByteArray &out);

    TableKind m_kind;
    TableFormat m_format;
    QByteArray m_separator; // UTF-8
    bool m_headings;
    qint64 m_added = 0;
};
