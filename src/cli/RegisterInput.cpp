#include "RegisterInput.h"

#include "HistoryWindow.h"
#include "RegisterCli.h"
#include "RegisterLocation.h"

Stop ReadRegisterWindow(
    const CommandLine &commandLine, std::optional<QDate> &since, std::optional<QDate> &until)
{
    for (const auto &[name, end] : {std::pair {QStringLiteral("since"), &since},
             std::pair {QStringLiteral("until"), &until}}) {
        if (!commandLine.parser().isSet(name))
            continue;
        QDate date;
        if (const Stop stop = RegisterCli::readDate(commandLine, name, date))
            return stop;
        *end = date;
    }
    if (since && until && *until < *since)
        return commandLine.usageError(
            QStringLiteral("--until %1 is before --since %2.")
                .arg(until->toString(Qt::ISODate), since->toString(Qt::ISODate)));
    return std::nullopt;
}

namespace {
Stop checkRegisterInput(const CommandLine &commandLine)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (parser.isSet(QStringLiteral("aircraft")) && parser.isSet(QStringLiteral("fleet")))
        return commandLine.usageError(QStringLiteral("--aircraft and --fleet exclude each other."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(
            QStringLiteral("FILE goes without --aircraft or --fleet: the register is read."));
    for (const char *option : {"record", "all", "combine"}) {
        if (parser.isSet(QString::fromLatin1(option)))
            return commandLine.usageError(
                QStringLiteral("--%1 does not go with --aircraft or --fleet: the register keeps "
                               "each aircraft's periods.")
                    .arg(QString::fromLatin1(option)));
    }
    return std::nullopt;
}
} // namespace

void AddRegisterInputOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("aircraft"),
        QStringLiteral("The register's read-outs of this aircraft, summed, instead of FILE."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("fleet"),
        QStringLiteral("The register's read-outs of every aircraft, an aircraft at a time.")});
    parser.addOption({QStringLiteral("since"),
        QStringLiteral("With --aircraft or --fleet: only the read-outs taken on or after this "
                       "day."),
        QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("until"),
        QStringLiteral("With --aircraft or --fleet: only the read-outs taken on or before this "
                       "day."),
        QStringLiteral("YYYY-MM-DD")});
    RegisterCli::addRegisterOptions(parser);
}

QStringList RegisterInputFiles(const QCommandLineParser &parser)
{
    if (!RegisterInputGiven(parser))
        return {};
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    return location.ok() ? RegisterFiles(location.location) : QStringList();
}

bool RegisterInputGiven(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("aircraft")) || parser.isSet(QStringLiteral("fleet"));
}

ExitStatus ForEachRegisterPeriod(const CommandLine &commandLine,
    const std::function<void(const UsagePeriod &, const AircraftInfo &)> &take)
{
    std::optional<QDate> since, until;
    if (const Stop stop = checkRegisterInput(commandLine))
        return *stop;
    if (const Stop stop = ReadRegisterWindow(commandLine, since, until))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = RegisterCli::openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    Register &reg = *opened.reg;
    QStringList registrations;
    const QCommandLineParser &parser = commandLine.parser();
    const bool fleet = parser.isSet(QStringLiteral("fleet"));
    if (fleet) {
        const UsageListResult list = reg.list();
        if (!list.ok())
            return Refused(list);
        for (const AircraftUsage &row : list.aircraft)
            registrations << row.aircraft.registration;
    } else {
        registrations << parser.value(QStringLiteral("aircraft"));
    }
    for (const QString &registration : registrations) {
        const HistoryResult history = reg.history(registration);
        if (!history.ok())
            return Refused(history);
        const UsagePeriod period = HistoryWindowPeriod(history, since, until);
        if (!period.combined.ok()) {
            if (!fleet)
                return Refused(period.combined);
            PrintMessage(period.combined.message() + QStringLiteral(" Passed over."));
            continue;
        }
        take(period, history.aircraft);
    }
    return ExitOk;
}
