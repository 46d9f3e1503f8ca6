#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>

#include <cstdio>
#include <limits>

namespace RegisterCli {
// --- register history -----------------------------------------------------------------------

// How the read-out follows the one before: running, wrap, reset, declared reset, or
// inconsistent (kept from before falls were classified, counted as after a reset).
QString periodClass(const HistoryPeriod &period)
{
    if (period.kind == RunningKind::Reset && period.declaredReset)
        return QStringLiteral("declared reset");
    return RunningKindName(period.kind);
}

void historyCsv(QByteArray &out, const HistoryResult &history)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += "registration,readout,from,taken,file,record,added,added_by,reset,class,seconds,"
           "hours,"
           "total_seconds,total_hours";
    for (const char *prefix : {"count_", "total_"}) {
        for (const LoadLevel &level : LoadLevels)
            out += QByteArray(",") + prefix + level.text;
    }
    out += "\r\n";
    for (const HistoryPeriod &period : history.periods) {
        out += CsvField(aircraft.registration) + ',' + QByteArray::number(period.readout) + ','
            + dateText(period.from).toUtf8() + ',' + dateText(period.taken).toUtf8() + ','
            + CsvField(period.fileName) + ',' + QByteArray::number(period.record) + ','
            + period.added.toUtf8() + ',' + CsvField(VisibleControls(period.addedBy)) + ','
            + (period.afterReset ? "reset" : "") + ',' + periodClass(period).toUtf8() + ','
            + QByteArray::number(period.seconds) + ',' + NumberText(period.hours) + ','
            + QByteArray::number(period.totalSeconds) + ',' + NumberText(period.totalHours);
        for (const LevelCounts *counts : {&period.counts, &period.totalCounts}) {
            for (const std::int64_t count : *counts)
                out += ',' + QByteArray::number(count);
        }
        out += "\r\n";
    }
}

void historyJson(QByteArray &out, const HistoryResult &history)
{
    const AircraftInfo &aircraft = history.aircraft;
    const auto counts = [](const LevelCounts &values) {
        QByteArray text("[");
        for (int level = 0; level < LevelCount; ++level)
            text += (level ? "," : "") + QByteArray::number(values[level]);
        return text + ']';
    };
    out += "{\"registration\":" + JsonString(aircraft.registration) + ",\"type\":"
        + (aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(aircraft.type))
        + ",\"combine\":" + JsonString(CombineModeName(aircraft.mode)) + ",\"levels\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + QByteArray(LoadLevels[level].text);
    out += "],\"periods\":[";
    for (size_t i = 0; i < history.periods.size(); ++i) {
        const HistoryPeriod &period = history.periods[i];
        out += (i ? ",\n" : "\n");
        out += "{\"readout\":" + QByteArray::number(period.readout)
            + ",\"from\":" + jsonDate(period.from) + ",\"taken\":" + jsonDate(period.taken)
            + ",\"file\":" + JsonString(period.fileName) + ",\"record\":"
            + QByteArray::number(period.record) + ",\"added\":" + JsonString(period.added)
            + ",\"addedBy\":" + JsonString(period.addedBy)
            + ",\"reset\":" + (period.afterReset ? "true" : "false") + ",\"class\":"
            + JsonString(periodClass(period)) + ",\"seconds\":" + QByteArray::number(period.seconds)
            + ",\"hours\":" + NumberText(period.hours) + ",\"counts\":" + counts(period.counts)
            + ",\"totalSeconds\":" + QByteArray::number(period.totalSeconds)
            + ",\"totalHours\":" + NumberText(period.totalHours)
            + ",\"totalCounts\":" + counts(period.totalCounts) + '}';
    }
    out += "\n]}\n";
}

void historyText(QByteArray &out, const HistoryResult &history)
{
    const AircraftInfo &aircraft = history.aircraft;
    out += aircraftText(aircraft).toUtf8() + '\n';
    if (history.periods.empty()) {
        out += "No read-outs.\n";
        return;
    }
    QList<QStringList> rows;
    QStringList header {QStringLiteral("read-out"), QStringLiteral("from"), QStringLiteral("taken"),
        QStringLiteral("file"), QStringLiteral("record"), QStringLiteral("hours"),
        QStringLiteral("total h")};
    for (const LoadLevel &level : LoadLevels)
        header << QString::fromLatin1(level.text);
    header << QString();
    rows << header;
    for (const HistoryPeriod &period : history.periods) {
        QStringList cells {QString::number(period.readout),
            period.from.isValid() ? dateText(period.from) : Dash, dateText(period.taken),
            period.fileName, QString::number(period.record), ShortNumber(period.hours),
            ShortNumber(period.totalHours)};
        for (const std::int64_t count : period.counts)
            cells << QString::number(count);
        cells << (period.kind == RunningKind::Running ? QString() : periodClass(period));
        rows << cells;
    }
    QStringList totals {QStringLiteral("total"), QString(), QString(), QString(), QString(),
        ShortNumber(history.usage.hours), QString()};
    for (const std::int64_t count : history.usage.counts)
        totals << QString::number(count);
    rows << totals;
    AppendAligned(out, rows, 4);
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
        historyCsv(output.buffer(), history);
    else if (format == TableFormat::Json)
        historyJson(output.buffer(), history);
    else
        historyText(output.buffer(), history);
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
