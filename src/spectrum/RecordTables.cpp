#include "RecordTables.h"

#include "FormatReal.h"

#include <QList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

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

// The shortest text that reads back as the same double; null for what JSON cannot hold.
void appendJsonNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    char chars[32];
    out.append(chars, std::to_chars(chars, chars + sizeof chars, value).ptr - chars);
}

// The values the spectrum window holds for one record.
struct SpectrumValues
{
    std::array<float, LevelCount> frequencies;
    std::array<std::optional<float>, LevelCount> logarithms;
    float activeWorkTime;
};

SpectrumValues spectrumValues(const RecordValues &values)
{
    SpectrumValues spectrum;
    for (int level = 0; level < LevelCount; ++level) {
        spectrum.frequencies[level] = CrossingFrequency(values, level);
        const std::optional<double> logarithm = LogFrequency(spectrum.frequencies[level]);
        if (logarithm)
            spectrum.logarithms[level] = static_cast<float>(*logarithm);
    }
    spectrum.activeWorkTime = static_cast<float>(ActiveWorkTime(values));
    return spectrum;
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
    const SpectrumValues spectrum = spectrumValues(values);
    // The window's rows (n, Nc, E, log E) become columns, one line per level.
    QList<QList<QByteArray>> rows {{"n", "Nc", "E", "log E"}};
    for (int level = 0; level < LevelCount; ++level) {
        rows.append({LoadLevels[level].text, realText(values[level], m_separator),
            realText(spectrum.frequencies[level], m_separator),
            spectrum.logarithms[level] ? realText(*spectrum.logarithms[level], m_separator)
                                       : QByteArray()});
    }
    appendAligned(out, rows);
    out.append("Active Work Time [h]  ");
    appendReal(out, spectrum.activeWorkTime, m_separator);
    out.append('\n');
}

void RecordTableWriter::addSpectrumCsv(qint64 record, const RecordValues &values, QByteArray &out)
{
    const SpectrumValues spectrum = spectrumValues(values);
    QByteArray time;
    appendReal(time, spectrum.activeWorkTime, ".");
    for (int level = 0; level < LevelCount; ++level) {
        appendInteger(out, record);
        out.append(',').append(LoadLevels[level].text).append(',');
        appendReal(out, values[level], ".");
        out.append(',');
        appendReal(out, spectrum.frequencies[level], ".");
        out.append(',');
        if (spectrum.logarithms[level])
            appendReal(out, *spectrum.logarithms[level], ".");
        out.append(',').append(time).append("\r\n");
    }
}

void RecordTableWriter::addSpectrumJson(qint64 record, const RecordValues &values, QByteArray &out)
{
    const SpectrumValues spectrum = spectrumValues(values);
    const auto list = [&out](const char *name, auto element) {
        out.append(",\"").append(name).append("\":[");
        for (int level = 0; level < LevelCount; ++level) {
            if (level > 0)
                out.append(',');
            element(level);
        }
        out.append(']');
    };
    out.append("{\"record\":");
    appendInteger(out, record);
    // The level texts are numbers as they stand.
    list("levels", [&](int level) { out.append(LoadLevels[level].text); });
    list("nc", [&](int level) { appendInteger(out, values[level]); });
    list("e", [&](int level) { appendJsonNumber(out, spectrum.frequencies[level]); });
    list("log_e", [&](int level) {
        if (spectrum.logarithms[level])
            appendJsonNumber(out, *spectrum.logarithms[level]);
        else
            out.append("null");
    });
    out.append(",\"active_work_time_h\":");
    appendJsonNumber(out, spectrum.activeWorkTime);
    out.append('}');
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
    out.append("{\"record\":");
    appendInteger(out, record);
    out.append(",\"active_work_time_h\":");
    appendJsonNumber(out, ActiveWorkTime(values));
    out.append(",\"battery_left_days\":");
    appendInteger(out, BatteryLeftDays(values));
    out.append('}');
}
