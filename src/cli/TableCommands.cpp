#include "Cli.h"
#include "FormatReal.h"
#include "RecordTables.h"
#include "TableOptions.h"
#include "UsageTables.h"

#include <QLocale>

namespace {
ExitStatus runTable(TableKind kind, const QStringList &arguments)
{
    const bool spectrum = kind == TableKind::Spectrum;
    CommandLine commandLine(spectrum ? QStringLiteral("spectrum") : QStringLiteral("timers"),
        spectrum ? QStringLiteral("The spectrum table of a record as the spectrum window shows it: "
                                  "per level Nc, E per hour\nand log E, and the active work time.")
                 : QStringLiteral("The active work time in hours and the battery time left in "
                                  "days, as the timers\nwindow shows them."),
        QStringLiteral("FILE"));
    QCommandLineParser &parser = commandLine.parser();
    AddRecordOptions(parser, true);
    parser.addOption({QStringLiteral("format"),
        QStringLiteral("text (the windows' texts, default), csv (RFC 4180) or json."),
        QStringLiteral("FORMAT"), QStringLiteral("text")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    RecordChoice choice;
    if (const Stop stop = ReadRecordOptions(commandLine, choice))
        return *stop;
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return commandLine.usageError(QStringLiteral("give exactly one FILE."));

    // The decimal symbol of the user's regional settings, as the windows read it at start-up.
    RecordTableWriter writer(kind, format, QLocale::system().decimalPoint(), choice.all);
    Output output;
    writer.begin(output.buffer());
    const ExitStatus status
        = ForEachRecord(files.first(), choice, [&](qint64 number, const RecordValues &values) {
              writer.add(number, values, output.buffer());
              output.written();
          });
    // A refused record leaves the output unfinished, as its exit status says.
    if (status == ExitOk)
        writer.end(output.buffer());
    return FinishOutput(output, status);
}
} // namespace

ExitStatus RunSpectrum(const QStringList &arguments)
{
    return runTable(TableKind::Spectrum, arguments);
}

ExitStatus RunTimers(const QStringList &arguments)
{
    return runTable(TableKind::Timers, arguments);
}
