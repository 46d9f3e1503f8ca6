#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "TextFields.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>

#include <cstdio>
#include <limits>

// The register from the command line: `register add|aircraft|list|history|remove`, `fleet`,
// `export` and `import`. Every command names its register with --register (else ZEMRA_REGISTER,
// else the default file) and waits up to --wait seconds for another command that holds it.
namespace {
const char RegisterOverview[] = R"(Usage: zemra-cli register SUBCOMMAND [OPTIONS]

The register of every read-out of every aircraft: an SQLite file
($XDG_DATA_HOME/zemra/register.sqlite by default, or --register PATH, or ZEMRA_REGISTER), or a
PostgreSQL database (--register postgresql://user@host:port/database; the password from
PGPASSWORD or ~/.pgpass).

Subcommands:
  aircraft --aircraft REG [--type TYPE] [--combine separate|running] [structural data]
           [check settings]
  aircraft --type TYPE [structural data] [check settings]
                            Add or change an aircraft, or a type's structural data and
                            what the fleet's check holds it to.
  add --aircraft REG [--date YYYY-MM-DD] [--reset] FILE...
                            Add every record of the files, all or nothing.
  list [--format text|csv|json]
                            Each aircraft: read-outs, hours, exceedances, damage, life used.
  history --aircraft REG [--format text|csv|json]
                            Each period of an aircraft: dates, hours, counts, running totals.
  remove --aircraft REG --readout ID --yes
                            Remove one read-out; the period after it is derived anew.
  inspection --aircraft REG --date YYYY-MM-DD
                            Record an inspection, from which the fleet's check counts.

See also: zemra-cli fleet, zemra-cli export, zemra-cli import.
'zemra-cli register SUBCOMMAND --help' for a subcommand's own options.
)";
} // namespace

namespace RegisterCli {
void addRegisterOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("register"),
        QStringLiteral(
            "The register: an SQLite file, or postgresql://user@host:port/database\n"
            "(default: $ZEMRA_REGISTER, else $XDG_DATA_HOME/zemra/register.sqlite, else\n"
            "$HOME/.local/share/zemra/register.sqlite; an empty one is an error)."),
        QStringLiteral("REGISTER")});
    parser.addOption({QStringLiteral("wait"),
        QStringLiteral("Seconds to wait for another command that holds the register (default "
                       "10)."),
        QStringLiteral("SECONDS"), QStringLiteral("10")});
}

Stop readDate(const CommandLine &commandLine, const QString &option, QDate &date)
{
    const QString text = commandLine.parser().value(option);
    date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid() || text.size() != 10)
        return commandLine.usageError(
            QStringLiteral("--%1 wants a date YYYY-MM-DD, not \"%2\"; the years are 0001 to "
                           "9999.")
                .arg(option, text));
    return std::nullopt;
}

Stop openRegister(const CommandLine &commandLine, Register::Access access, OpenedRegister &opened)
{
    const QCommandLineParser &parser = commandLine.parser();
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("wait")).toDouble(&ok);
    if (!ok || !(seconds >= 0 && seconds <= 86400))
        return commandLine.usageError(
            QStringLiteral("--wait wants a number of seconds from 0 to 86400, not \"%1\".")
                .arg(parser.value(QStringLiteral("wait"))));
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    // A mistaken option is wrong usage; an environment that names no register is not.
    if (!location.ok() && location.failure() == Result::CannotOpen) {
        PrintMessage(location.message());
        return ExitRefused;
    }
    if (!location.ok())
        return commandLine.usageError(location.message());
    RegisterOptions options;
    options.waitMilliseconds = int(seconds * 1000);
    opened = Register::open(location.location, access, options);
    if (!opened.ok()) {
        PrintMessage(opened.message());
        return ExitRefused;
    }
    if (opened.upgradedFrom)
        PrintMessage(QStringLiteral("The register \"%1\" was upgraded from schema version %2.")
                         .arg(location.location.text, QString::number(*opened.upgradedFrom)));
    return std::nullopt;
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString structureText(const StructuralData &structure)
{
    QStringList parts;
    if (!structure.locations.empty()) {
        for (const StructuralLocation &location : structure.locations)
            parts << QStringLiteral("at \"%1\": %2")
                         .arg(location.name, DamageInputsText(location.parameters));
    } else if (structure.damage) {
        parts << DamageInputsText(*structure.damage);
    }
    if (structure.limits)
        parts << QStringLiteral("limit loads %1 / %2 g")
                     .arg(ShortNumber(structure.limits->positive),
                         ShortNumber(structure.limits->negative));
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral("; "));
}

QString aircraftText(const AircraftInfo &aircraft)
{
    QString text = aircraft.registration + QStringLiteral(": ");
    text += aircraft.type.isEmpty() ? QStringLiteral("no type")
                                    : QStringLiteral("type %1").arg(aircraft.type);
    text += aircraft.mode == CombineMode::Running
        ? QStringLiteral(", read-outs are running totals")
        : QStringLiteral(", each read-out counts from a reset (separate)");
    switch (aircraft.structureSource()) {
    case StructureSource::Aircraft:
        text += QStringLiteral("\n  structural data of its own: ") + structureText(aircraft.own);
        break;
    case StructureSource::Type:
        text += QStringLiteral("\n  structural data of its type: ")
            + structureText(aircraft.typeData);
        break;
    case StructureSource::None:
        text += QStringLiteral("\n  no structural data: no damage figures");
        break;
    }
    if (!aircraft.type.isEmpty())
        text += QStringLiteral("\n  ") + designText(aircraft.design);
    if (aircraft.priorHours && aircraft.priorSeverity) {
        QString why;
        const std::optional<PriorHours> prior = PriorOf(aircraft, why);
        text += QStringLiteral("\n  flown before the recorder: %1 h at severity %2")
                    .arg(ShortNumber(*aircraft.priorHours), ShortNumber(*aircraft.priorSeverity));
        if (prior)
            text += QStringLiteral(", D = %1 counted, %2 upper")
                        .arg(ShortNumber(prior->damage(Estimate::Counted)),
                            ShortNumber(prior->damage(Estimate::Upper)));
        else
            text += QStringLiteral("; ") + why;
    }
    if (!aircraft.ownChecks.isEmpty())
        text += QStringLiteral("\n  checks of its own: ") + checksText(aircraft.ownChecks);
    if (!aircraft.typeChecks.isEmpty())
        text += QStringLiteral("\n  checks of its type: ") + checksText(aircraft.typeChecks);
    return text;
}

QString designText(const std::optional<StoredDesignSpectrum> &design)
{
    return design ? QStringLiteral("design spectrum %1").arg(DesignProvenanceText(design->spectrum))
                  : QStringLiteral("no design spectrum: no severity");
}

// --- register remove ------------------------------------------------------------------------

ExitStatus runRemove(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register remove"),
        QStringLiteral("Remove one read-out of an aircraft (its id as history shows it); the "
                       "period after it is\nderived anew. It cannot be undone, so --yes is "
                       "needed."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"), QStringLiteral("The aircraft's registration."),
        QStringLiteral("REG")});
    parser.addOption(
        {QStringLiteral("readout"), QStringLiteral("The read-out's id."), QStringLiteral("ID")});
    parser.addOption({QStringLiteral("yes"), QStringLiteral("Yes, remove it.")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.isSet(QStringLiteral("aircraft")) || !parser.isSet(QStringLiteral("readout")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG and --readout ID."));
    bool ok = false;
    const QString idText = parser.value(QStringLiteral("readout"));
    const qint64 id = idText.toLongLong(&ok);
    if (!ok || id < 1 || idText.startsWith(QLatin1Char('+')))
        return commandLine.usageError(
            QStringLiteral("--readout wants a read-out id from 1 on, not \"%1\".").arg(idText));
    if (!parser.isSet(QStringLiteral("yes")))
        return commandLine.usageError(
            QStringLiteral("removing a read-out cannot be undone: add --yes to remove it."));
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    const QString registration = parser.value(QStringLiteral("aircraft"));
    const RemoveResult removed = opened.reg->remove(registration, id);
    if (!removed.ok())
        return Refused(removed);
    Output output;
    output.buffer()
        += QStringLiteral("Removed read-out %1 of %2 (taken %3, \"%4\" record %5).\n")
               .arg(QString::number(id), registration.trimmed(), dateText(removed.removed.taken),
                   removed.removed.fileName, QString::number(removed.removed.record))
               .toUtf8();
    return FinishOutput(output, ExitOk);
}
} // namespace RegisterCli

using namespace RegisterCli;

ExitStatus RunRegister(const QStringList &arguments)
{
    const QString subcommand = arguments.value(1);
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.value(0));
    if (subcommand == QLatin1String("add"))
        return runAdd(rest);
    if (subcommand == QLatin1String("aircraft"))
        return runAircraft(rest);
    if (subcommand == QLatin1String("list"))
        return runUsageList(rest, false);
    if (subcommand == QLatin1String("history"))
        return runHistory(rest);
    if (subcommand == QLatin1String("remove"))
        return runRemove(rest);
    if (subcommand == QLatin1String("inspection"))
        return runInspection(rest);
    if (subcommand == QLatin1String("--help") || subcommand == QLatin1String("-h")) {
        std::fputs(RegisterOverview, stdout);
        return ExitOk;
    }
    PrintMessage(subcommand.isEmpty()
            ? QStringLiteral("register: no subcommand given.")
            : QStringLiteral("register: unknown subcommand \"%1\".").arg(subcommand));
    std::fputs(RegisterOverview, stderr);
    return ExitUsage;
}

ExitStatus RunFleet(const QStringList &arguments)
{
    return runUsageList(arguments, true);
}

ExitStatus RunExport(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("export"),
        QStringLiteral("The whole register as one JSON document (format \"zemra-register\", "
                       "version 1) that\n'zemra-cli import' takes into another register, SQLite "
                       "or PostgreSQL, with nothing lost."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write it to FILE (whole or not at all, never the register itself) "
                       "instead of\nstandard output."),
        QStringLiteral("FILE")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file; use -o FILE."));
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Read, opened))
        return *stop;
    // Standard output as a stream, a file through the one replacement every output takes: never
    // over a device, a FIFO or what a link to one leads to, and whole or not at all.
    const QString name = parser.isSet(QStringLiteral("output"))
        ? parser.value(QStringLiteral("output"))
        : QStringLiteral("-");
    // Never the register itself: it would become its own export.
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    if (const Result apart = CheckOutputIsNoInput(name, RegisterFiles(location.location));
        !apart.ok())
        return Refused(apart);
    const Result written = WriteOutputFile(
        name, [&opened](QIODevice &device) { return opened.reg->exportJson(device); });
    if (!written.ok())
        return Refused(written);
    return ExitOk;
}

ExitStatus RunImport(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("import"),
        QStringLiteral("Take a whole exported register (zemra-cli export) into a register that "
                       "holds nothing yet,\nin one transaction, read a piece at a time. Refused "
                       "whole: a text holding U+0000, a read-out\nid above 2147483645 (the next "
                       "one must fit in 32 bits), \"types\" after \"aircraft\" or an\n"
                       "aircraft's \"readouts\" before its other keys (the export writes them "
                       "the other way)."),
        QStringLiteral("FILE"));
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    if (parser.positionalArguments().size() != 1)
        return commandLine.usageError(QStringLiteral("give one file."));
    const QString name = parser.positionalArguments().first();
    RegularFile file;
    if (const Result readable = OpenForReading(file, name); !readable.ok()) {
        PrintMessage(OpenFailureText(name, readable));
        return ExitRefused;
    }
    // Read through the descriptor opened as a regular file, a piece at a time.
    QFile json;
    if (!json.open(file.handle(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        PrintMessage(QStringLiteral("Cannot read \"%1\": %2").arg(name, json.errorString()));
        return ExitRefused;
    }
    OpenedRegister opened;
    if (const Stop stop = openRegister(commandLine, Register::Access::Write, opened))
        return *stop;
    const ImportResult imported = opened.reg->importJson(json, name);
    if (!imported.ok())
        return Refused(imported);
    Output output;
    output.buffer()
        += QStringLiteral("Imported %1 type(s), %2 aircraft and %3 read-out(s) from "
                          "\"%4\" into \"%5\".\n")
               .arg(QString::number(imported.types), QString::number(imported.aircraft),
                   QString::number(imported.readouts), name, opened.reg->location().text)
               .toUtf8();
    return FinishOutput(output, ExitOk);
}
