#pragma once

#include "Result.h"

#include "CounterRecord.h"
#include "NameTable.h"
#include "TextFields.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Exit statuses of every subcommand.
enum ExitStatus {
    ExitOk = 0,
    ExitRefused = 1, // a data file refused, an output not written, a device failure
    ExitUsage = 2,
    ExitAttention = 3, // fleet --check: an aircraft needs attention
};
// What a step of a command that may end it gives: the status to end with, or none to go on.
using Stop = std::optional<ExitStatus>;

// Standard output in large blocks; a failed write is remembered.
class Output
{
public:
    ~Output() { flush(); }
    QByteArray &buffer() { return m_buffer; }
    // Writes the buffer out once it has grown; call after each piece.
    void written()
    {
        if (m_buffer.size() >= 64 * 1024)
            flush();
    }
    bool flush();

private:
    QByteArray m_buffer;
    bool m_failed = false;
};

// Ends a command whose standard output could not be written: quietly when it was closed or its
// reader has gone (a pipe to `head`), else saying why. Always ExitRefused.
ExitStatus StandardOutputFailed();
// Standard output checked once more at the end of a command that gave `status`.
ExitStatus FinishStandardOutput(ExitStatus status);

// "zemra-cli: <text>" on standard error, its control characters escaped; nothing for an empty
// text (a failure that ends the command quietly).
void PrintMessage(const QString &text);
// A failure's message said; always ExitRefused.
ExitStatus Refused(const Result &result);
// Why a data file could not be opened: "Cannot open "FILE": reason", or the refusal of a file
// that is not a regular file, which names the file itself.
QString OpenFailureText(const QString &fileName, const Result &opened);

// One subcommand's options and arguments. `arguments` holds the program name and what followed
// the subcommand's name.
class CommandLine
{
public:
    CommandLine(const QString &command, const QString &description, const QString &syntax);
    QCommandLineParser &parser() { return m_parser; }
    const QCommandLineParser &parser() const { return m_parser; }
    // Parses; on --help prints the subcommand's help and gives ExitOk, on a mistake prints it
    // with a hint and gives ExitUsage; otherwise gives none and the caller goes on.
    Stop parse(const QStringList &arguments);
    // Reports a usage mistake found after parsing.
    ExitStatus usageError(const QString &text) const;

private:
    QString m_command;
    QCommandLineParser m_parser;
};

// `text`, the value of --`option`, as the value `table` names: ExitUsage, saying which values the
// option wants, for any other text; none otherwise.
template<typename E, std::size_t N>
Stop ReadNamedValue(const CommandLine &commandLine, const QString &option, const QString &text,
    const NamedValue<E> (&table)[N], E &value)
{
    if (const std::optional<E> named = ValueNamed(table, text)) {
        value = *named;
        return std::nullopt;
    }
    return commandLine.usageError(QStringLiteral("--%1 wants %2, not \"%3\".")
                                      .arg(option, NameChoices(table), MessageValue(text)));
}

// An option's value when it was given, even as "", and none when it was not.
std::optional<QString> GivenValue(const QCommandLineParser &parser, const QString &name);

// Which records of a file a subcommand reads: --record N (1 without it) or --all.
struct RecordChoice
{
    qint64 record = 1;
    bool all = false;
    bool recordGiven = false; // --record N, not the default record 1
};
void AddRecordOptions(QCommandLineParser &parser, bool allowAll);
// ExitUsage when the options make no sense, after saying why; none otherwise.
Stop ReadRecordOptions(const CommandLine &commandLine, RecordChoice &choice);

// Reads the chosen records of a data file in turn and hands each to `take` with its number.
// Reports a refusal (file not opened, record damaged or missing) and returns ExitRefused;
// ExitOk when every chosen record was read. With `held`, one chosen record is followed by a
// count of the records the file holds in all (the count stops at a damaged one).
ExitStatus ForEachRecord(const QString &fileName, const RecordChoice &choice,
    const std::function<void(qint64, const RecordValues &)> &take, qint64 *held = nullptr);

ExitStatus RunCheck(const QStringList &arguments);
ExitStatus RunSpectrum(const QStringList &arguments);
ExitStatus RunTimers(const QStringList &arguments);
ExitStatus RunChart(const QStringList &arguments);
ExitStatus RunReset(const QStringList &arguments);
ExitStatus RunExceedance(const QStringList &arguments);
ExitStatus RunDamage(const QStringList &arguments);
ExitStatus RunReport(const QStringList &arguments);
// The register of read-outs: `register add|aircraft|list|history|remove`, `fleet`, `export`,
// `import` (RegisterCommands.cpp).
ExitStatus RunRegister(const QStringList &arguments);
ExitStatus RunFleet(const QStringList &arguments);
ExitStatus RunExport(const QStringList &arguments);
ExitStatus RunImport(const QStringList &arguments);
