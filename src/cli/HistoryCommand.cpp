#include "Cli.h"
#include "HistoryTable.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "TableWriters.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>

#include <cstdio>
#include <limits>

namespace RegisterCli {
// --- register history -----------------------------------------------------------------------

void historyJson(QByteArray &out, const HistoryResult &history)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += "{\"registration\":" + JsonString(aircraft.registration) + ",\"type\":"
        + (aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(aircraft.type))
        + ",\"combine\":" + JsonString(CombineModeName(aircraft.mode)) + ",\"levels\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + QByteArray(LoadLevels[level].text);
    out += "],\"periods\":";
    AppendTableJson(out, HistoryTable(history));
    out += "}\n";
}

void historyText(QByteArray &out, const HistoryResult &history)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += aircraftText(aircraft).toUtf8() + '\n';
    if (history.periods.empty()) {
        out += "No read-outs.\n";
        return;
    }
    AppendTableText(out, HistoryTable(history));
}

ExitStatus runHistory(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register history"),
        QStringLiteral("Each period of an aircraft, read-out by read-out: the dates, the hours, "
                       "the counts the read-out\nadds, and the running totals; how each follows "
                       "the one before is marked: wrap, reset,\ndeclared reset, or inconsistent "
                       "(kept from before falls were classified)."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    AddTableFormatOption(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const HistoryResult history = opened.reg->history(parser.value(QStringLiteral("aircraft")));
    if (!history.ok())
        return Refused(history);

    Output output;
    if (format == TableFormat::Csv)
        AppendTableCsv(output.buffer(), HistoryTable(history));
    else if (format == TableFormat::Json)
        historyJson(output.buffer(), history);
    else
        historyText(output.buffer(), history);
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
