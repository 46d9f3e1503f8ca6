#include "Cli.h"
#include "FleetTable.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "TableWriters.h"
#include "TextFields.h"
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
        if (row.usage.summed && row.usage.summed->priorHours)
            out += QStringLiteral("%1: life used counts %2 h flown before the recorder\n")
                       .arg(row.aircraft.registration, ShortNumber(*row.usage.summed->priorHours))
                       .toUtf8();
        if (!row.priorNote.isEmpty())
            out += QStringLiteral("%1: %2\n")
                       .arg(row.aircraft.registration, row.priorNote)
                       .toUtf8();
        if (!row.usage.summed && row.usage.readouts > 0)
            out += QStringLiteral("%1: no damage figure: %2\n")
                       .arg(row.aircraft.registration, row.usage.damageNote)
                       .toUtf8();
        else if (row.usage.damage && !row.usage.severity)
            out += QStringLiteral("%1: no severity: %2\n")
                       .arg(row.aircraft.registration, row.usage.severityNote)
                       .toUtf8();
    }
}

namespace {
void addFleetOptions(QCommandLineParser &parser)
{
    parser.addOption(
        {QStringLiteral("since"), QStringLiteral("Only the read-outs taken on or after this date."),
            QStringLiteral("YYYY-MM-DD")});
    addRateWindowOption(parser);
    parser.addOption({QStringLiteral("check"),
        QStringLiteral("Only the aircraft whose status is not ok, a line each, and exit 3 when "
                       "there is any\n(0 when there is none): for a scheduled job.")});
    parser.addOption({QStringLiteral("on"),
        QStringLiteral("The day the check is made for (today): the days since the last "
                       "inspection and the\nbattery days left count to it."),
        QStringLiteral("YYYY-MM-DD")});
}

// What fleet was asked for besides the format.
struct FleetRequest
{
    std::optional<QDate> since;
    int windowDays = 365;
    QDate today = QDate::currentDate();
    bool check = false;
};

Stop readFleetRequest(const CommandLine &commandLine, TableFormat format, FleetRequest &request)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (parser.isSet(QStringLiteral("since"))) {
        QDate date;
        if (const Stop stop = readDate(commandLine, QStringLiteral("since"), date))
            return stop;
        request.since = date;
    }
    if (const Stop stop = readRateWindow(commandLine, request.windowDays))
        return stop;
    if (parser.isSet(QStringLiteral("on"))) {
        if (const Stop stop = readDate(commandLine, QStringLiteral("on"), request.today))
            return stop;
    }
    request.check = parser.isSet(QStringLiteral("check"));
    if (request.check && (request.since || format != TableFormat::Text))
        return commandLine.usageError(
            QStringLiteral("--check prints lines of its own: without --since and --format."));
    return std::nullopt;
}

void usageTable(QByteArray &out, const UsageListResult &list, bool fleet, TableFormat format)
{
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
            out += (list.since ? QStringLiteral("Fleet ranked by life used over the read-outs "
                                                "taken since %1:\n")
                                     .arg(dateText(*list.since))
                               : QStringLiteral("Fleet ranked by life used:\n"))
                       .toUtf8();
        usageText(out, list, fleet);
        break;
    }
}
} // namespace

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
        addFleetOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    TableFormat format = TableFormat::Text;
    if (const Stop stop = ReadTableFormat(commandLine, format))
        return *stop;
    FleetRequest request;
    if (fleet) {
        if (const Stop stop = readFleetRequest(commandLine, format, request))
            return *stop;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    const UsageListResult list = fleet
        ? opened.reg->fleet(request.since, request.windowDays, request.today)
        : opened.reg->list();
    if (!list.ok())
        return Refused(list);
    if (request.check)
        return fleetCheck(list, request.today);
    Output output;
    usageTable(output.buffer(), list, fleet, format);
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli
