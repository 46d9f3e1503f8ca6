#include "RecordTables.h"

#include "FormatReal.h"
#include "Spectrum.h"

#include <QList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
// The window's text of a computed value, with the decimal separator asked for.
void appendReal(QByteArray &out, double value, const QByteArray &separator)
{
    char chars[FormatRealMaxChars];
    const int length = FormatRealTo(value, chars);
    if (separator == ".") {
        out.append(chars, length);
        return;
    }
    for (int i = 0; i < length; ++i) {
        if (chars[i] == '.')
            out.append(separator);
        else
            out.append(chars[i]);
    }
}

QByteArray realText(double value, const QByteArray &separator)
{
    QByteArray text;
    appendReal(text, value, separator);
    return text;
}

void appendInteger(QByteArray &out, qint64 value)
{
    char chars[24];
    out.append(chars, std::to_chars(chars, chars + sizeof chars, value).ptr - chars);
}

// One record's text built in place: the CSV and JSON of a long file are written a record at a
// time, and small appends to a QByteArray would cost more than the numbers.
class Text
{
public:
    void put(char c) { *m_end++ = c; }
    void put(const char *text) { put(text, std::strlen(text)); }
    void put(const char *text, size_t length)
    {
        std::memcpy(m_end, text, length);
        m_end += length;
    }
    void put(const QByteArray &text) { put(text.constData(), size_t(text.size())); }
    void real(double value) { m_end += FormatRealTo(value, m_end); }
    void integer(qint64 value) { m_end = std::to_chars(m_end, m_end + 24, value).ptr; }
    // The shortest text that reads back as the same double; null for what JSON cannot hold.
    void jsonNumber(double value)
    {
        if (std::isfinite(value))
            m_end = std::to_chars(m_end, m_end + 32, value).ptr;
        else
            put("null", 4);
    }
    void appendTo(QByteArray &out) const { out.append(m_text, m_end - m_text); }

private:
    // The largest record's text, JSON of 18 levels with their longest numbers, is under 2 kB.
    char m_text[4096];
    char *m_end = m_text;
};

// A level's log E as the window holds it, in single precision; none where E is 0.
std::optional<float> heldLogarithm(const Spectrum &spectrum, int level)
{
    const std::optional<double> &logarithm = spectrum.logarithms[level];
    if (!logarithm)
        return std::nullopt;
    return static_cast<float>(*logarithm);
}

// Rows of cells laid out in columns two blanks apart, each line without trailing blanks.
void appendAligned(QByteArray &out, const QList<QList<QByteArray>> &rows)
{
    QList<qsizetype> widths;
    for (const QList<QByteArray> &row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column) {
            // Widths in characters: a separator of several UTF-8 bytes is still one.
            const qsizetype width = QString::fromUtf8(row[column]).size();
            if (column >= widths.size())
                widths.append(width);
            else
                widths[column] = std::max(widths[column], width);
        }
    }
    for (const QList<QByteArray> &row : rows) {
        QByteArray line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            line.append(row[column]);
            if (column + 1 < row.size())
                line.append(
                    QByteArray(widths[column] - QString::fromUtf8(row[column]).size() + 2, ' '));
        }
        while (line.endsWith(' '))
            line.chop(1);
        out.append(line);
        out.append('\n');
    }
}
} // namespace

RecordTableWriter::RecordTableWriter(
    TableKind kind, TableFormat format, const QString &decimalSeparator, bool headings)
    : m_kind(kind)
    , m_format(format)
    , m_separator(decimalSeparator.toUtf8())
    , m_headings(headings)
{ }

void RecordTableWriter::begin(QByteArray &out)
{
    if (m_format == TableFormat::Csv) {
        out.append(m_kind == TableKind::Spectrum
                ? "record,level,nc,e,log_e,active_work_time_h\r\n"
                : "record,active_work_time_h,battery_left_days\r\n");
    } else if (m_format == TableFormat::Json) {
        out.append("[\n");
    }
}

void RecordTableWriter::add(qint64 record, const RecordValues &values, QByteArray &out)
{
    const bool spectrum = m_kind == TableKind::Spectrum;
    switch (m_format) {
    case TableFormat::Text:
        if (m_added > 0)
            out.append('\n');
        if (m_headings)
            out.append("Record ").append(QByteArray::number(record)).append('\n');
        spectrum ? addSpectrumText(record, values, out) : addTimersText(record, values, out);
        break;
    case TableFormat::Csv:
        spectrum ? addSpectrumCsv(record, values, out) : addTimersCsv(record, values, out);
        break;
    case TableFormat::Json:
        if (m_added > 0)
            out.append(",\n");
        spectrum ? addSpectrumJson(record, values, out) : addTimersJson(record, values, out);
        break;
    }
    ++m_added;
}

void RecordTableWriter::end(QByteArray &out)
{
    if (m_format == TableFormat::Json)
        out.append("\n]\n");
}

void RecordTableWriter::addSpectrumText(qint64, const RecordValues &values, QByteArray &out)
{
    const Spectrum spectrum = ComputeSpectrum(values);
    // The window's rows (n, Nc, E, log E) become columns, one line per level.
    QList<QList<QByteArray>> rows {{"n", "Nc", "E", "log E"}};
    for (int level = 0; level < LevelCount; ++level) {
        rows.append({LoadLevels[level].text, realText(values[level], m_separator),
            realText(spectrum.frequencies[level], m_separator),
            heldLogarithm(spectrum, level) ? realText(*heldLogarithm(spectrum, level), m_separator)
                                           : QByteArray()});
    }
    appendAligned(out, rows);
    out.append("Active Work Time [h]  ");
    appendReal(out, spectrum.activeWorkTime, m_separator);
    out.append('\n');
}

void RecordTableWriter::addSpectrumCsv(qint64 record, const RecordValues &values, QByteArray &out)
{
    const Spectrum spectrum = ComputeSpectrum(values);
    Text text;
    for (int level = 0; level < LevelCount; ++level) {
        text.integer(record);
        text.put(',');
        text.put(LoadLevels[level].text);
        text.put(',');
        // Whole counts: the same text as FormatReal gives them.
        text.integer(values[level]);
        text.put(',');
        text.real(spectrum.frequencies[level]);
        text.put(',');
        if (const std::optional<float> logarithm = heldLogarithm(spectrum, level))
            text.real(*logarithm);
        text.put(',');
        text.real(spectrum.activeWorkTime);
        text.put("\r\n", 2);
    }
    text.appendTo(out);
}

void RecordTableWriter::addSpectrumJson(qint64 record, const RecordValues &values, QByteArray &out)
{
    const Spectrum spectrum = ComputeSpectrum(values);
    Text text;
    const auto list = [&text](const char *name, auto element) {
        text.put(",\"");
        text.put(name);
        text.put("\":[");
        for (int level = 0; level < LevelCount; ++level) {
            if (level > 0)
                text.put(',');
            element(level);
        }
        text.put(']');
    };
    text.put("{\"record\":");
    text.integer(record);
    // The level texts are numbers as they stand.
    list("levels", [&](int level) { text.put(LoadLevels[level].text); });
    list("nc", [&](int level) { text.integer(values[level]); });
    list("e", [&](int level) { text.jsonNumber(spectrum.frequencies[level]); });
    list("log_e", [&](int level) {
        if (const std::optional<float> logarithm = heldLogarithm(spectrum, level))
            text.jsonNumber(*logarithm);
        else
            text.put("null", 4);
    });
    text.put(",\"active_work_time_h\":");
    text.jsonNumber(spectrum.activeWorkTime);
    text.put('}');
    text.appendTo(out);
}

void RecordTableWriter::addTimersText(qint64, const RecordValues &values, QByteArray &out)
{
    // The timers window's lines, read left to right.
    out.append("Active Work Time: ");
    appendReal(out, ActiveWorkTime(values), m_separator);
    out.append(" hours\nBatery Left Time: ");
    appendInteger(out, BatteryLeftDays(values));
    out.append(" days\n");
}

void RecordTableWriter::addTimersCsv(qint64 record, const RecordValues &values, QByteArray &out)
{
    appendInteger(out, record);
    out.append(',');
    appendReal(out, ActiveWorkTime(values), ".");
    out.append(',');
    appendInteger(out, BatteryLeftDays(values));
    out.append("\r\n");
}

void RecordTableWriter::addTimersJson(qint64 record, const RecordValues &values, QByteArray &out)
{
    Text text;
    text.put("{\"record\":");
    text.integer(record);
    text.put(",\"active_work_time_h\":");
    text.jsonNumber(ActiveWorkTime(values));
    text.put(",\"battery_left_days\":");
    text.integer(BatteryLeftDays(values));
    text.put('}');
    text.appendTo(out);
}
