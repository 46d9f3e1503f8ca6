#include "Cli.h"

#include "TextFields.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Why standard output last failed; 0 while it has not.
int standardOutputError = 0;

bool writeStandardOutput(const char *data, size_t size)
{
    if (standardOutputError != 0)
        return false;
    errno = 0;
    if ((size > 0 && std::fwrite(data, 1, size, stdout) != size) || std::fflush(stdout) != 0) {
        standardOutputError = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}
} // namespace

bool Output::flush()
{
    if (!m_failed)
        m_failed = !writeStandardOutput(m_buffer.constData(), size_t(m_buffer.size()));
    m_buffer.resize(0); // keeps its memory for the next block
    return !m_failed;
}

ExitStatus StandardOutputFailed()
{
    if (standardOutputError != EPIPE && standardOutputError != EBADF)
        PrintMessage(QStringLiteral("cannot write to standard output: %1.")
                         .arg(QString::fromLocal8Bit(std::strerror(standardOutputError))));
    return ExitRefused;
}

ExitStatus FinishStandardOutput(ExitStatus status)
{
    // Help and version texts go through stdio directly; what is still buffered goes now.
    if (std::ferror(stdout) && standardOutputError == 0)
        standardOutputError = EIO;
    if (!writeStandardOutput(nullptr, 0))
        return status == ExitOk ? StandardOutputFailed() : status;
    return status;
}

void PrintMessage(const QString &text)
{
    if (text.isEmpty())
        return; // a failure that ends the command quietly
    // Whatever a message quotes, no control sequence reaches the terminal.
    std::fprintf(stderr, "zemra-cli: %s\n", EscapeControls(text, true).toLocal8Bit().constData());
}

CommandLine::CommandLine(const QString &command, const QString &description, const QString &syntax)
    : m_command(command)
{
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    if (!syntax.isEmpty())
        m_parser.addPositionalArgument(syntax, QString(), syntax);
}

Stop CommandLine::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        // QCommandLineParser names the program as it was started; the subcommand goes after it.
        QString help = m_parser.helpText();
        help.replace(0, help.indexOf(QLatin1String(" [options]")),
            QStringLiteral("Usage: zemra-cli ") + m_command);
        std::fputs(help.toLocal8Bit().constData(), stdout);
        return ExitOk;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        std::printf("zemra-cli %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return ExitOk;
    }
    return std::nullopt;
}

ExitStatus CommandLine::usageError(const QString &text) const
{
    PrintMessage(m_command + QStringLiteral(": ") + text);
    std::fprintf(stderr, "Try 'zemra-cli %s --help'.\n", qPrintable(m_command));
    return ExitUsage;
}

std::optional<QString> GivenValue(const QCommandLineParser &parser, const QString &name)
{
    if (!parser.isSet(name))
        return std::nullopt;
    return parser.value(name);
}

void AddRecordOptions(QCommandLineParser &parser, bool allowAll)
{
    parser.addOption({QStringLiteral("record"),
        QStringLiteral("The record to read, counted from 1 (default 1, the one the windows show)."),
        QStringLiteral("N")});
    if (allowAll)
        parser.addOption(
            {QStringLiteral("all"), QStringLiteral("Every record of the file, in turn.")});
}

Stop ReadRecordOptions(const CommandLine &commandLine, RecordChoice &choice)
{
    const QCommandLineParser &parser = commandLine.parser();
    // The options given, so that a command without --all need not define it.
    choice.all = parser.optionNames().contains(QStringLiteral("all"));
    if (parser.isSet(QStringLiteral("record"))) {
        choice.recordGiven = true;
        if (choice.all)
            return commandLine.usageError(QStringLiteral("--record and --all exclude each other."));
        bool ok = false;
        const QString text = parser.value(QStringLiteral("record"));
        choice.record = text.toLongLong(&ok);
        if (!ok || choice.record < 1 || text.startsWith(QLatin1Char('+')))
            return commandLine.usageError(
                QStringLiteral("--record wants a record number from 1 on, not \"%1\".").arg(text));
    }
    return std::nullopt;
}

QString OpenFailureText(const QString &fileName, const Result &opened)
{
    if (opened.failure() == Result::CannotOpen)
        return QStringLiteral("Cannot open \"%1\": %2").arg(fileName, opened.message());
    return opened.message();
}

ExitStatus ForEachRecord(const QString &fileName, const RecordChoice &choice,
    const std::function<void(qint64, const RecordValues &)> &take, qint64 *held)
{
    QFile file;
    if (const Result opened = OpenRecordFile(fileName, file); !opened.ok()) {
        PrintMessage(OpenFailureText(fileName, opened));
        return ExitRefused;
    }
    RecordReader reader(file, fileName);
    for (;;) {
        const qint64 number = reader.nextRecord();
        // The first record is always read: a file without one is refused as the windows do.
        if (number > 1 && reader.atEnd()) {
            if (choice.all)
                return ExitOk;
            PrintMessage(QStringLiteral("\"%1\" holds %2 record(s); there is no record %3.")
                             .arg(fileName)
                             .arg(number - 1)
                             .arg(choice.record));
            return ExitRefused;
        }
        const ReadResult result = reader.next();
        if (!result.ok()) {
            PrintMessage(result.message());
            return ExitRefused;
        }
        if (choice.all || number == choice.record)
            take(number, result.values);
        if (!choice.all && number == choice.record) {
            if (held) {
                while (!reader.atEnd() && reader.next().ok()) { }
                *held = reader.nextRecord() - 1;
            }
            return ExitOk;
        }
    }
}

ExitStatus Refused(const Result &result)
{
    PrintMessage(result.message());
    return ExitRefused;
}
