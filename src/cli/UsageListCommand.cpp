#include "Cli.h"
#include "FleetTable.h"
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
// --- register list and fleet ----------------------------------------------------------------

void usageText(QByteArray &out, const UsageListResult &list, bool fleet)
{
    AppendTableText(out, UsageListTable(list, fleet));
    for (const AircraftUsage &row : list.aircraft) {
        if (!row.usage.damage && row.usage.readouts > 0)
            out += QStringLiteral("%1: no damage figure: %2\n")
                       .arg(row.aircraft.registration, row.usage.damageNote)
                       .toUtf8();
        else if (row.usage.damage && !row.usage.severity)
            out += QStringLiteral("%1: no severity: %2\n")
                       .arg(row.aircraft.registration, row.usage.severityNote)
                       .toUtf8();
    }
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
        AppendTableCsv(out, UsageListTable(list, fleet));
        break;
    case TableFormat::Json:
        AppendTableJson(out, UsageListTable(list, fleet));
        out += '\n';
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
