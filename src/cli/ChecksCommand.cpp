#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "TableOptions.h"
#include "TextFields.h"
#include "UsageInput.h"

#include <cmath>

// What the fleet checks: the settings `register aircraft` keeps, `register inspection`, and
// `fleet --check`.
namespace RegisterCli {

void addCheckOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("thresholds"),
        QStringLiteral("Life used warning levels in %, rising (50,80,100); the last is the limit."),
        QStringLiteral("P,P,...")});
    parser.addOption({QStringLiteral("inspection-hours"),
        QStringLiteral("Flight hours between inspections."), QStringLiteral("H")});
    parser.addOption({QStringLiteral("inspection-days"),
        QStringLiteral("Days between inspections."), QStringLiteral("DAYS")});
    parser.addOption({QStringLiteral("battery-days"),
        QStringLiteral("The recorder needs attention with fewer battery days left."),
        QStringLiteral("DAYS")});
    parser.addOption({QStringLiteral("no-checks"),
        QStringLiteral("Remove the check settings (an aircraft then uses its type's).")});
}

namespace {
Stop wantsNumber(
    const CommandLine &commandLine, const QString &name, const QString &text, const QString &what)
{
    return commandLine.usageError(
        QStringLiteral("--%1 wants %2, not \"%3\".").arg(name, what, MessageValue(text)));
}

Stop readWholeDays(
    const CommandLine &commandLine, const QString &name, std::optional<int> &days, bool &given)
{
    std::optional<QString> text;
    if (const Stop stop = ReadOptionOrParameter(commandLine, name, text))
        return stop;
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok || value < 1)
        return wantsNumber(
            commandLine, name, *text, QStringLiteral("a whole number of days from 1"));
    days = value;
    given = true;
    return std::nullopt;
}
} // namespace

Stop readCheckSettings(const CommandLine &commandLine, CheckSettings &settings, bool &given)
{
    given = false;
    std::optional<QString> text;
    if (const Stop stop = ReadOptionOrParameter(commandLine, QStringLiteral("thresholds"), text))
        return stop;
    if (text) {
        settings.thresholds = ThresholdsFromText(*text);
        if (!settings.thresholds)
            return wantsNumber(commandLine, QStringLiteral("thresholds"), *text,
                QStringLiteral("percentages separated by commas (50,80,100)"));
        given = true;
    }
    if (const Stop stop
        = ReadOptionOrParameter(commandLine, QStringLiteral("inspection-hours"), text))
        return stop;
    if (text) {
        bool ok = false;
        const double hours = text->trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(hours) || hours <= 0)
            return wantsNumber(commandLine, QStringLiteral("inspection-hours"), *text,
                QStringLiteral("a positive number of flight hours"));
        settings.inspectionHours = hours;
        given = true;
    }
    for (const auto &[name, days] :
        {std::pair {QStringLiteral("inspection-days"), &settings.inspectionDays},
            std::pair {QStringLiteral("battery-days"), &settings.batteryDays}}) {
        if (const Stop stop = readWholeDays(commandLine, name, *days, given))
            return stop;
    }
    if (const Result checked = CheckCheckSettings(settings); !checked.ok())
        return commandLine.usageError(checked.message());
    return std::nullopt;
}

QString checksText(const CheckSettings &settings)
{
    QStringList parts;
    if (settings.thresholds) {
        QStringList levels;
        for (const double level : *settings.thresholds)
            levels << ShortNumber(level) + QStringLiteral(" %");
        parts << QStringLiteral("thresholds ") + levels.join(QStringLiteral(", "));
    }
    if (settings.inspectionHours)
        parts
            << QStringLiteral("inspection every %1 h").arg(ShortNumber(*settings.inspectionHours));
    if (settings.inspectionDays)
        parts << QStringLiteral("inspection every %1 days").arg(*settings.inspectionDays);
    if (settings.batteryDays)
        parts << QStringLiteral("battery attention below %1 days").arg(*settings.batteryDays);
    return parts.join(QStringLiteral(", "));
}

ExitStatus runInspection(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register inspection"),
        QStringLiteral("Record an inspection of an aircraft: the fleet's check counts the flight "
                       "hours, the days and\nthe limit loads from the last one."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("date"), QStringLiteral("The day of the inspection."),
        QStringLiteral("YYYY-MM-DD")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")) || !parser.isSet(QStringLiteral("date")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG and --date YYYY-MM-DD."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    QDate day;
    if (const Stop stop = readDate(commandLine, QStringLiteral("date"), day))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    const InspectionResult recorded
        = opened.reg->recordInspection(parser.value(QStringLiteral("aircraft")), day);
    if (!recorded.ok())
        return Refused(recorded);
    Output output;
    output.buffer() += QStringLiteral("%1: inspection of %2 %3.\n")
                           .arg(recorded.aircraft.registration, dateText(recorded.day),
                               recorded.already ? QStringLiteral("recorded already")
                                                : QStringLiteral("recorded"))
                           .toUtf8();
    return FinishOutput(output, ExitOk);
}

ExitStatus fleetCheck(const UsageListResult &fleet, const QDate &today)
{
    Output output;
    int attention = 0;
    for (const AircraftUsage &row : fleet.aircraft) {
        if (row.check.status == CheckStatus::Ok)
            continue;
        ++attention;
        output.buffer() += QStringLiteral("%1\t%2: %3\n")
                               .arg(row.aircraft.registration, CheckStatusName(row.check.status),
                                   row.check.text())
                               .toUtf8();
    }
    if (attention == 0)
        output.buffer() += QStringLiteral("Nothing needs attention on %1 (%2 aircraft checked).\n")
                               .arg(dateText(today))
                               .arg(fleet.aircraft.size())
                               .toUtf8();
    return FinishOutput(output, attention ? ExitAttention : ExitOk);
}
} // namespace RegisterCli
