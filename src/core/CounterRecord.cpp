#include "CounterRecord.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

const std::array<LoadLevel, LevelCount> LoadLevels = {{
    {-2.0, "-2.0"},
    {-1.4, "-1.4"},
    {-1.2, "-1.2"},
    {-1.0, "-1.0"},
    {-0.8, "-0.8"},
    {-0.6, "-0.6"},
    {1.4, "1.4"},
    {1.6, "1.6"},
    {1.8, "1.8"},
    {2.0, "2.0"},
    {2.2, "2.2"},
    {2.4, "2.4"},
    {2.6, "2.6"},
    {2.8, "2.8"},
    {3.0, "3.0"},
    {3.2, "3.2"},
    {3.4, "3.4"},
    {4.0, "4.0"},
}};

std::optional<int> LevelAt(double n)
{
    for (int level = 0; level < LevelCount; ++level) {
        if (LoadLevels[level].n == n)
            return level;
    }
    return std::nullopt;
}

const CounterRecord DemonstrationRecord = {1, 2, 10, 80, 640, 2480, 2533, 1244, 755, 457, 321, 234,
    154, 96, 27, 3, 2, 1, 600, 21, 789, 41};

double ActiveWorkTime(const RecordValues &values)
{
    return double(values[ActiveSecondsWord]) / 3600 + 12.0 * values[ActivePeriodsWord];
}

double BatteryTime(const RecordValues &values)
{
    return double(values[BatterySecondsWord]) / 3600 + 12.0 * values[BatteryPeriodsWord];
}

int BatteryLeftDays(const RecordValues &values)
{
    return static_cast<int>(std::trunc(365 - BatteryTime(values) / 24));
}

double FrequencyTime(const RecordValues &values)
{
    return ActiveWorkTime(values) + 0.001;
}

float CrossingFrequency(const RecordValues &values, int level)
{
    const float time = static_cast<float>(FrequencyTime(values));
    return static_cast<float>(values[level]) / time;
}

std::optional<double> LogFrequency(float frequency)
{
    if (frequency == 0)
        return std::nullopt;
    return std::log10(double(frequency));
}

RecordValues ToValues(const CounterRecord &record)
{
    RecordValues values {};
    for (int i = 0; i < RecordWords; ++i)
        values[i] = record[i];
    return values;
}

QString RecordText(const CounterRecord &record)
{
    QString text;
    for (int i = 0; i < RecordWords; ++i) {
        if (i > 0)
            text += QLatin1Char('|');
        text += QStringLiteral("%1").arg(record[i], 4, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

QByteArray RecordFileBytes(const CounterRecord &record)
{
    QByteArray bytes;
    bytes.reserve(RecordWords * 6);
    char line[16];
    for (const std::uint16_t word : record) {
        // Text-mode output: every line ends in CR LF on every platform.
        const int length = std::snprintf(line, sizeof line, "%04x\r\n", unsigned(word));
        bytes.append(line, length);
    }
    return bytes;
}

namespace {

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexDigit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Buffered reading of a device one character at a time, with a short look-ahead and
// line counting. Memory stays bounded whatever the file's size.
class CharReader
{
public:
    explicit CharReader(QIODevice &device)
        : m_device(device)
    { }

    int peek(int ahead = 0)
    {
        // Nearly every call finds its byte in the buffer.
        if (m_pos + ahead < m_size) [[likely]]
            return static_cast<unsigned char>(m_data[m_pos + ahead]);
        return peekFilling(ahead);
    }

    void next()
    {
        const int c = peek();
        ++m_pos;
        // CR LF, LF alone and CR alone each end one line.
        if (c == '\n' || (c == '\r' && peek() != '\n'))
            ++m_line;
    }

    // Skips white space, counting its line ends: peek() and next() in one pass over the buffer.
    void skipSpace()
    {
        for (;;) {
            // One byte of look-ahead stays in the buffer, for a CR that may be followed by LF.
            for (; m_pos + 1 < m_size; ++m_pos) {
                const char c = m_data[m_pos];
                if (c == '\n' || (c == '\r' && m_data[m_pos + 1] != '\n'))
                    ++m_line;
                else if (c != '\r' && c != ' ' && c != '\t' && c != '\v' && c != '\f')
                    return;
            }
            if (!isSpace(peek()))
                return;
            next();
        }
    }

    // Takes hexadecimal digits while they last, handing each one's value to `take`; returns
    // how many were taken.
    template<class Take> int takeHexDigits(Take take)
    {
        int count = 0;
        for (;;) {
            for (; m_pos < m_size; ++m_pos, ++count) {
                const int digit = hexDigit(static_cast<unsigned char>(m_data[m_pos]));
                if (digit < 0)
                    return count;
                take(digit);
            }
            if (peek() < 0)
                return count;
        }
    }

    qint64 line() const { return m_line; }
    // True once reading the device failed: the end seen is not the file's end.
    bool failed() const { return m_failed; }

private:
    static constexpr qsizetype Chunk = 64 * 1024;

    // Kept apart so that the common case above stays small enough to inline.
    Q_DECL_COLD_FUNCTION Q_NEVER_INLINE int peekFilling(int ahead)
    {
        while (m_pos + ahead >= m_size) {
            if (!fill())
                return -1;
        }
        return static_cast<unsigned char>(m_data[m_pos + ahead]);
    }

    bool fill()
    {
        // The few bytes not yet taken move to the front; the buffer keeps its size.
        const qsizetype kept = m_size - m_pos;
        if (m_buffer.size() < kept + Chunk)
            m_buffer.resize(kept + Chunk);
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, kept);
        m_pos = 0;
        const qint64 got = m_device.read(m_buffer.data() + kept, Chunk);
        m_size = kept + (got > 0 ? got : 0);
        m_data = m_buffer.constData();
        m_failed = m_failed || got < 0;
        return got > 0;
    }

    QIODevice &m_device;
    QByteArray m_buffer;
    const char *m_data = nullptr;
    qsizetype m_size = 0; // bytes of the buffer that hold data
    qsizetype m_pos = 0;
    qint64 m_line = 1; // a file may hold more than 2^31 line ends before its values
    bool m_failed = false;
};

ReadResult malformed(const QString &fileName, qint64 record, const QString &what)
{
    ReadResult result;
    result.setFailure(Result::Invalid,
        record == 1 ? QStringLiteral("Not a valid record in \"%1\": %2").arg(fileName, what)
                    : QStringLiteral("Not a valid record in \"%1\" (record %2): %3")
                          .arg(fileName)
                          .arg(record)
                          .arg(what));
    return result;
}

// One record from where `in` stands; `record` is its number in the file, counted from 1.
ReadResult parse(CharReader &in, QIODevice &device, const QString &fileName, qint64 record)
{
    ReadResult result;
    for (int position = 0; position < RecordWords; ++position) {
        in.skipSpace();
        const qint64 line = in.line();
        const auto where = [position, line] {
            return QStringLiteral("the value at position %1 (line %2)").arg(position).arg(line);
        };
        if (in.peek() < 0 && in.failed()) {
            ReadResult result;
            result.setFailure(Result::Invalid,
                QStringLiteral("Cannot read \"%1\": %2").arg(fileName, device.errorString()));
            return result;
        }
        if (in.peek() < 0) {
            return malformed(fileName, record,
                QStringLiteral("the file ends after %1 values; %2 is missing.")
                    .arg(position)
                    .arg(where()));
        }
        bool negative = false;
        if (in.peek() == '+' || in.peek() == '-') {
            negative = in.peek() == '-';
            in.next();
        }
        // "0x" counts as a prefix only when a digit follows it; otherwise the "0" is the number.
        if (in.peek() == '0' && (in.peek(1) == 'x' || in.peek(1) == 'X')
            && hexDigit(in.peek(2)) >= 0) {
            in.next();
            in.next();
        }
        constexpr quint64 limit = quint64(std::numeric_limits<std::int32_t>::max());
        quint64 value = 0;
        const int digits = in.takeHexDigits(
            [&value](int digit) { value = std::min(value * 16 + digit, limit + 1); });
        if (digits == 0)
            return malformed(
                fileName, record, where() + QStringLiteral(" is not a hexadecimal number."));
        if (value > limit)
            return malformed(fileName, record, where() + QStringLiteral(" is too large."));
        if (negative && value != 0)
            return malformed(fileName, record, where() + QStringLiteral(" is negative."));
        result.values[position] = static_cast<std::int32_t>(value);
    }
    return result;
}

} // namespace

struct RecordReader::Input
{
    explicit Input(QIODevice &device)
        : device(device)
        , chars(device)
    { }
    QIODevice &device;
    CharReader chars;
};

RecordReader::RecordReader(QIODevice &device, const QString &fileName)
    : m_input(std::make_unique<Input>(device))
    , m_fileName(fileName)
{ }

RecordReader::~RecordReader() = default;

bool RecordReader::atEnd()
{
    CharReader &in = m_input->chars;
    in.skipSpace();
    return in.peek() < 0 && !in.failed();
}

ReadResult RecordReader::next()
{
    ReadResult result = parse(m_input->chars, m_input->device, m_fileName, m_record);
    if (result.ok())
        ++m_record;
    return result;
}

Result OpenRecordFile(const QString &fileName, QFile &file)
{
    RegularFile opened;
    if (const Result result = OpenForReading(opened, fileName); !result.ok())
        return result;
    if (!file.open(opened.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {Result::CannotOpen, file.errorString()};
    opened.release();
    return {};
}

ReadResult ReadCounterRecord(const QString &fileName)
{
    QFile file;
    if (const Result opened = OpenRecordFile(fileName, file); !opened.ok()) {
        ReadResult result;
        result.setFailure(opened.failure(), opened.message());
        return result;
    }
    return RecordReader(file, fileName).next();
}

ReadResult ParseCounterRecord(const QByteArray &bytes, const QString &fileName)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return RecordReader(buffer, fileName).next();
}

AppendResult AppendCounterRecord(const QString &fileName, const CounterRecord &record)
{
    AppendResult result;
    const auto failed = [&result](const QString &error) {
        result.setFailure(Result::Failed, error);
        return result;
    };
    RegularFile file;
    // Created only when missing, so that the caller knows whether taking the record back means
    // removing the file.
    Result opened = OpenOwnFile(file, fileName, O_WRONLY | O_APPEND);
    if (opened.failure() == Result::CannotOpen && file.error() == ENOENT) {
        opened = OpenOwnFile(file, fileName, O_WRONLY | O_APPEND | O_CREAT | O_EXCL);
        result.created = opened.ok();
    }
    if (opened.failure() == Result::Invalid) {
        result.setFailure(Result::Invalid, opened.message());
        return result;
    }
    if (!opened.ok())
        return failed(
            QStringLiteral("Cannot open \"%1\" for appending: %2").arg(fileName, opened.message()));
    result.sizeBefore = file.size();
    const QByteArray bytes = RecordFileBytes(record);
    if (result.sizeBefore < 0 || !file.write(bytes.constData(), bytes.size())) {
        const QString reason = file.errorString();
        // Take back a partial record so that the file still holds whole records only; a file
        // that someone else changed meanwhile is left alone.
        if (result.sizeBefore >= 0 && file.size() > result.sizeBefore
            && file.size() < result.sizeBefore + bytes.size())
            file.resize(result.sizeBefore);
        return failed(QStringLiteral("Cannot write \"%1\": %2").arg(fileName, reason));
    }
    result.sizeAfter = result.sizeBefore + bytes.size();
    return result;
}

Result CopyFileReplacing(const QString &source, const QString &target, const CopyProgress &progress,
    FileReplacement::Links links)
{
    RegularFile in;
    if (const Result opened = OpenForReading(in, source); !opened.ok())
        return opened;
    FileReplacement out;
    if (const Result begun = out.begin(target, links); !begun.ok())
        return begun;
    if (const Result copied = CopyContent(in, out.file(), source, target, progress); !copied.ok())
        return copied;
    return out.commit();
}
