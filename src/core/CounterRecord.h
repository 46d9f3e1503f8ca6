#pragma once

#include "RegularFile.h"

#include "Result.h"

#include <QFile>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QIODevice;

// One read-out of the recorder: 22 unsigned 16-bit words, 18 level counters followed by
// the active and battery times (seconds part and whole 12-hour periods of each).
constexpr int RecordWords = 22;
constexpr int LevelCount = 18;
constexpr int ActiveSecondsWord = 18;
constexpr int ActivePeriodsWord = 19;
constexpr int BatterySecondsWord = 20;
constexpr int BatteryPeriodsWord = 21;

using CounterRecord = std::array<std::uint16_t, RecordWords>;

// A record as read back from a file: each value held as a 32-bit signed integer.
using RecordValues = std::array<std::int32_t, RecordWords>;

struct LoadLevel
{
    double n; // load factor in g
    const char *text; // shown with a full stop whatever the locale
};

extern const std::array<LoadLevel, LevelCount> LoadLevels;
// The index of the level at load factor n, found by value; none when no level is there.
std::optional<int> LevelAt(double n);

// The read-out the demonstration edition writes.
extern const CounterRecord DemonstrationRecord;

// The working files, bare names resolved in the current directory at each use.
inline const QString WorkingCopyName = QStringLiteral("bufor.txt");
inline const QString IntermediateFileName = QStringLiteral("dane.txt");

// Derived quantities, in hours unless stated otherwise.
double ActiveWorkTime(const RecordValues &values);
double BatteryTime(const RecordValues &values);
int BatteryLeftDays(const RecordValues &values); // whole days, truncated toward zero
double FrequencyTime(const RecordValues &values); // ActiveWorkTime + 0.001, never displayed
// Crossings per hour at a level, in single precision as the table and the chart hold it.
float CrossingFrequency(const RecordValues &values, int level);
// Decimal logarithm of E; none where E is zero.
std::optional<double> LogFrequency(float frequency);

RecordValues ToValues(const CounterRecord &record);

// The record as one text: 22 groups of four upper-case hexadecimal digits joined by "|".
QString RecordText(const CounterRecord &record);

// The record in its file form: 22 lines "%04x" each ended by CR LF, 132 bytes.
QByteArray RecordFileBytes(const CounterRecord &record);

// A record as read, or why it could not be: CannotOpen, the reason the file cannot be opened;
// Invalid, which value is wrong and why, or why the file cannot be read (a read error, not a
// regular file).
struct ReadResult : Result
{
    RecordValues values {};
};

// Reads the first 22 values with the rules of the "%x" conversion: white space of any kind
// skipped, an optional sign, an optional "0x"/"0X", hexadecimal digits of either case.
// Anything after the 22nd value is ignored. A file with fewer than 22 values, text that is not a
// number before the 22nd value, a negative or out-of-range value, a read error or a file that is
// not a regular file is refused as Invalid, with a message that names the value (position and
// line) or the reason.
ReadResult ReadCounterRecord(const QString &fileName);

// Opens a record file for reading as the program opens every file it reads: without waiting
// (a FIFO, a device), and only a regular file. CannotOpen with the system's reason, or Invalid
// naming the file and what it is instead.
Result OpenRecordFile(const QString &fileName, QFile &file);
ReadResult ParseCounterRecord(const QByteArray &bytes, const QString &fileName);

// Reads the records of one device in turn, each by the rules of ReadCounterRecord, in bounded
// memory. The first record is refused with exactly ReadCounterRecord's messages; the messages
// about later records name the record as well: "Not a valid record in "f.dat" (record 2): ...".
// Lines are counted from the device's start.
class RecordReader
{
public:
    RecordReader(QIODevice &device, const QString &fileName);
    ~RecordReader();
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    // Skips white space; true when nothing else is left, false when more text (or a read
    // error, which next() then reports) follows.
    bool atEnd();
    // The next record. Anything but white space after the last whole record is the start of
    // another one, so a partial or damaged trailer is refused like a damaged first record.
    ReadResult next();
    // The number of the record the next call to next() reads, counted from 1.
    qint64 nextRecord() const { return m_record; }

private:
    struct Input;
    std::unique_ptr<Input> m_input;
    QString m_fileName;
    qint64 m_record = 1;
};

struct AppendResult : Result
{
    bool created = false; // the append created the file
    qint64 sizeBefore = 0; // the length just before the appended bytes ...
    qint64 sizeAfter = 0; // ... and just after them
};

// Appends the record's 22 lines to the file, creating it when missing. A failed append leaves
// the file as it was. The file is the program's own: a symbolic link or a file with other names
// is refused (Invalid, OwnFileRefusal's reason) and left alone.
AppendResult AppendCounterRecord(const QString &fileName, const CounterRecord &record);

// Copies a regular file byte for byte in bounded memory: at most the length the source had when
// it was opened. The target is written to a temporary file beside it and renamed into place, so
// no reader ever sees a partial copy. `progress` may stop the copy (Cancelled). The target is
// the program's own working copy unless `links` says otherwise: a symbolic link or a file with
// other names there is refused (Invalid) before anything is read or written.
Result CopyFileReplacing(const QString &source, const QString &target,
    const CopyProgress &progress = {}, FileReplacement::Links links = FileReplacement::OwnFileOnly);
