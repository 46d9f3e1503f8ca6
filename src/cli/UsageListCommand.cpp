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
// --- register list and fleet ----------------------------------------------------------------

void usageCsvHeader(QByteArray &out, bool fleet)
{
    if (fleet)
        out += "rank,";
    out += "registration,type,combine,structure,readouts,first_taken,last_taken,hours,"
           "per_1000h_3g,per_1000h_minus1g,damage_per_1000h,life_used_percent,";
    if (fleet)
        out += "life_used_to_date_percent,";
    out += "hours_left,severity,upper_life_used_percent,damage_note\r\n";
}

void usageCsvRow(QByteArray &out, const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const DamageEstimate *estimate = counted(usage);
    const DamageEstimate *upper
        = usage.damage && usage.damage->upper.available ? &usage.damage->upper : nullptr;
    if (fleet)
        out += (row.rank ? QByteArray::number(row.rank) : QByteArray()) + ',';
    out += CsvField(row.aircraft.registration) + ',' + CsvField(row.aircraft.type) + ','
        + CombineModeName(row.aircraft.mode).toUtf8() + ','
        + StructureSourceName(row.aircraft.structureSource()).toUtf8() + ','
        + QByteArray::number(usage.readouts) + ',' + dateText(usage.firstTaken).toUtf8() + ','
        + dateText(usage.lastTaken).toUtf8() + ',' + NumberText(usage.hours) + ','
        + csvNumber(usage.per1000hAt3g) + ',' + csvNumber(usage.per1000hAtMinus1g) + ','
        + (estimate ? NumberText(estimate->damagePer1000h) : QByteArray()) + ','
        + (estimate ? NumberText(estimate->life.usedPercent) : QByteArray()) + ',';
    if (fleet)
        out += csvNumber(row.lifeUsedToDatePercent) + ',';
    out += (row.exhausted ? QByteArrayLiteral("exhausted") : csvNumber(row.hoursLeft)) + ','
        + (estimate ? csvNumber(estimate->life.severity) : QByteArray()) + ','
        + (upper ? NumberText(upper->life.usedPercent) : QByteArray()) + ','
        + CsvField(usage.damageNote) + "\r\n";
}

void usageJson(QByteArray &out, const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const DamageEstimate *estimate = counted(usage);
    const DamageEstimate *upper
        = usage.damage && usage.damage->upper.available ? &usage.damage->upper : nullptr;
    out += '{';
    if (fleet)
        out += "\"rank\":" + (row.rank ? QByteArray::number(row.rank) : QByteArrayLiteral("null"))
            + ',';
    out += "\"registration\":" + JsonString(row.aircraft.registration) + ",\"type\":"
        + (row.aircraft.type.isEmpty() ? QByteArrayLiteral("null") : JsonString(row.aircraft.type))
        + ",\"combine\":" + JsonString(CombineModeName(row.aircraft.mode))
        + ",\"structure\":" + JsonString(StructureSourceName(row.aircraft.structureSource()))
        + ",\"readouts\":" + QByteArray::number(usage.readouts) + ",\"firstTaken\":"
        + jsonDate(usage.firstTaken) + ",\"lastTaken\":" + jsonDate(usage.lastTaken)
        + ",\"hours\":" + NumberText(usage.hours) + ",\"counts\":[";
    for (int level = 0; level < LevelCount; ++level)
        out += (level ? "," : "") + QByteArray::number(usage.counts[level]);
    out += "],\"per1000hAt3g\":" + NumberText(usage.per1000hAt3g)
        + ",\"per1000hAtMinus1g\":" + NumberText(usage.per1000hAtMinus1g) + ",\"damagePer1000h\":"
        + (estimate ? NumberText(estimate->damagePer1000h) : QByteArrayLiteral("null"))
        + ",\"lifeUsedPercent\":"
        + (estimate ? NumberText(estimate->life.usedPercent) : QByteArrayLiteral("null"));
    if (fleet)
        out += ",\"lifeUsedToDatePercent\":" + NumberText(row.lifeUsedToDatePercent);
    out += ",\"hoursLeft\":" + NumberText(row.hoursLeft)
        + ",\"exhausted\":" + (row.exhausted ? "true" : "false") + ",\"severity\":"
        + (estimate ? NumberText(estimate->life.severity) : QByteArrayLiteral("null"))
        + ",\"upperLifeUsedPercent\":"
        + (upper ? NumberText(upper->life.usedPercent) : QByteArrayLiteral("null"))
        + ",\"damageNote\":"
        + (usage.damageNote.isEmpty() ? QByteArrayLiteral("null") : JsonString(usage.damageNote))
        + '}';
}

void usageText(QByteArray &out, const UsageListResult &list, bool fleet)
{
    QList<QStringList> rows;
    QStringList header;
    if (fleet)
        header << QStringLiteral("rank");
    header << QStringLiteral("registration") << QStringLiteral("type")
           << QStringLiteral("read-outs") << QStringLiteral("last taken") << QStringLiteral("hours")
           << QStringLiteral("3.0 g/1000 h") << QStringLiteral("-1.0 g/1000 h")
           << QStringLiteral("D/1000 h") << QStringLiteral("life used");
    if (fleet && list.since)
        header << QStringLiteral("to date");
    header << QStringLiteral("severity") << QStringLiteral("hours left");
    rows << header;
    QStringList notes;
    for (const AircraftUsage &row : list.aircraft) {
        const UsageFigures &usage = row.usage;
        const DamageEstimate *estimate = counted(usage);
        QStringList cells;
        if (fleet)
            cells << (row.rank ? QString::number(row.rank) : Dash);
        cells << row.aircraft.registration
              << (row.aircraft.type.isEmpty() ? Dash : row.aircraft.type)
              << QString::number(usage.readouts)
              << (usage.lastTaken.isValid() ? dateText(usage.lastTaken) : Dash)
              << ShortNumber(usage.hours) << optionalNumber(usage.per1000hAt3g)
              << optionalNumber(usage.per1000hAtMinus1g)
              << (estimate ? ShortNumber(estimate->damagePer1000h) : Dash)
              << (estimate ? ShortNumber(estimate->life.usedPercent) + QStringLiteral(" %") : Dash);
        if (fleet && list.since)
            cells << (row.lifeUsedToDatePercent
                    ? ShortNumber(*row.lifeUsedToDatePercent) + QStringLiteral(" %")
                    : Dash);
        cells << (estimate ? optionalNumber(estimate->life.severity) : Dash) << hoursLeftText(row);
        rows << cells;
        if (!estimate && usage.readouts > 0)
            notes << QStringLiteral("%1: no damage figure: %2")
                         .arg(row.aircraft.registration, usage.damageNote);
    }
    AppendAligned(out, rows, fleet ? 3 : 2);
    for (const QString &note : notes)
        out += note.toUtf8() + '\n';
}

ExitStatus runUsageList(const QStringList &arguments, bool fleet)
{
    CommandLine commandLine(fleet ? QStringLiteral("fleet") : QStringLiteral("register list"),
        fleet ? QStringLiteral("Every aircraft of the register ranked by life used (counted "
                               "estimate of the damage), then by\ndamage per 1000 h: the lead of "
                               "the fleet first. Aircraft without structural data follow.\nWith "
                               "--since, only the read-outs taken on or after the date count; "
                               "hours left are then\nwhat the whole history leaves, at the rate "
                               "of that window.")
              : QStringLiteral("Each aircraft of the register: read-outs, hours, the last "
                               "read-out, exceedances per 1000 h\nat 3.0 g and -1.0 g, damage per "
                               "1000 h and life used where structural data is set."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    AddTableFormatOption(parser);
    if (fleet)
        parser.addOption({QStringLiteral("since"),
            QStringLiteral("Only the read-outs taken on or after this date."),
            QStringLiteral("YYYY-MM-DD")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    std::optional<QDate> since;
    if (fleet && parser.isSet(QStringLiteral("since"))) {
        QDate date;
        if (const Stop stop = readDate(commandLine, QStringLiteral("since"), date))
            return *stop;
        since = date;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const UsageListResult list = fleet ? opened.reg->fleet(since) : opened.reg->list();
    if (!list.ok())
        return Refused(list);
    Output output;
    QByteArray &out = output.buffer();
    switch (format) {
    case TableFormat::Csv:
        usageCsvHeader(out, fleet);
        for (const AircraftUsage &row : list.aircraft)
            usageCsvRow(out, row, fleet);
        break;
    case TableFormat::Json:
        out += '[';
        for (size_t i = 0; i < list.aircraft.size(); ++i) {
            out += i ? ",\n" : "\n";
            usageJson(out, list.aircraft[i], fleet);
        }
        out += "\n]\n";
        break;
    case TableFormat::Text:
        if (list.aircraft.empty()) {
            out += "No aircraft in the register.\n";
            break;
        }
        if (fleet)
            out += (since ? QStringLiteral("Fleet ranked by life used over the read-outs taken "
                                           "since %1:\n")
                                .arg(dateText(*since))
                          : QStringLiteral("Fleet ranked by life used:\n"))
                       .toUtf8();
        usageText(out, list, fleet);
        break;
    }
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
