#include "Cli.h"
#include "ForecastOutput.h"
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

void historyJson(QByteArray &out, const HistoryResult &history, const Forecast &forecast)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += "{\"registration\":" + JsonString(aircraft.registration) + ",\"type\":"
        + (aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(aircraft.type))
        + ",\"combine\":" + JsonString(CombineModeName(aircraft.mode)) + ",\"location\":"
        + (aircraft.location.isEmpty() ? QByteArrayLiteral("null") : JsonString(aircraft.location))
        + ",\"locations\":[";
    for (size_t i = 0; i < history.locations.size(); ++i)
        out += (i ? ",{\"name\":" : "{\"name\":") + JsonString(history.locations[i].location)
            + ",\"lifeUsedPercent\":" + NumberText(history.locations[i].lifeUsedPercent) + '}';
    out += "],\"levels\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + QByteArray(LoadLevels[level].text);
    out += "],\"periods\":";
    AppendTableJson(out, HistoryTable(history));
    out += ",\"overLimit\":";
    AppendLimitBoundsJson(out, history.overLimit);
    const std::optional<Severity> &severity = history.usage.severity;
    out += ",\"severity\":";
    out += severity ? "{\"counted\":" + NumberText(severity->counted.value)
            + ",\"upper\":" + NumberText(severity->upper.value) + '}'
                    : QByteArrayLiteral("null");
    out += ",\"severityNote\":" + JsonString(history.usage.severityNote);
    out += ",\"forecast\":";
    if (aircraft.structure().damage)
        AppendForecastJson(out, forecast);
    else
        out += "null";
    out += "}\n";
}

void historyText(QByteArray &out, const HistoryResult &history, const Forecast &forecast)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += aircraftText(aircraft).toUtf8() + '\n';
    if (history.periods.empty()) {
        out += "No read-outs.\n";
        return;
    }
    AppendTableText(out, HistoryTable(history));
    for (const QString &line : HistoryLifeLines(history, forecast))
        out += line.toUtf8() + '\n';
}

void addLocationOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("location"),
        QStringLiteral("The structural location whose damage figures to give, of those the "
                       "aircraft's\nstructural data names (default: the one of the largest life "
                       "used)."),
        QStringLiteral("NAME")});
}

void addRateWindowOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("rate-window"),
        QStringLiteral("The days before the last read-out whose periods give the forecast's "
                       "rates (365; the whole history when shorter)."),
        QStringLiteral("DAYS"), QStringLiteral("365")});
}

// Whole days, at most a century.
Stop readRateWindow(const CommandLine &commandLine, int &days)
{
    const QString text = commandLine.parser().value(QStringLiteral("rate-window"));
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < 1 || value > 36500)
        return commandLine.usageError(
            QStringLiteral("--rate-window wants a whole number of days from 1 to 36500, not "
                           "\"%1\".")
                .arg(MessageValue(text)));
    days = value;
    return std::nullopt;
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
    addRateWindowOption(parser);
    addLocationOption(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    int windowDays = 365;
    if (const Stop stop = readRateWindow(commandLine, windowDays))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const HistoryResult history = opened.reg->history(
        parser.value(QStringLiteral("aircraft")), parser.value(QStringLiteral("location")));
    if (!history.ok())
        return Refused(history);
    ForecastInput input = ForecastInputOf(history);
    input.windowDays = windowDays;
    const Forecast forecast = ComputeForecast(input);

    Output output;
    if (format == TableFormat::Csv)
        AppendTableCsv(output.buffer(), HistoryTable(history));
    else if (format == TableFormat::Json)
        historyJson(output.buffer(), history, forecast);
    else
        historyText(output.buffer(), history, forecast);
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
