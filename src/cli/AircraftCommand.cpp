#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <limits>

namespace RegisterCli {
// --- register aircraft ----------------------------------------------------------------------

// What `register aircraft` was asked to do, from its options.
struct AircraftRequest
{
    bool forAircraft = false;
    bool clear = false;
    bool show = false; // only --aircraft: what is kept is shown
    DamageParameters parameters;
    std::vector<StructuralLocation> locations; // named, from a parameters file
    bool damageGiven = false;
    AxisChoice limits;
    std::optional<CombineMode> mode;
    CheckSettings checks;
    bool checksGiven = false;
    bool clearChecks = false;
    std::optional<AircraftChange::Prior> prior;
    bool designGiven = false; // --design-spectrum: a file, or "" to remove the type's
    std::optional<DesignSpectrumFile> design;
};

// The S-N data given, at each named location when the parameters file has them.
void setDamage(StructuralData &structure, const AircraftRequest &request)
{
    if (request.locations.empty()) {
        structure.damage = request.parameters;
        structure.locations.clear();
        return;
    }
    const StructuralData located
        = WithLocations(request.parameters, structure.limits, request.locations);
    structure.damage = located.damage;
    structure.locations = located.locations;
}

// The design spectrum file read whole and checked, as the register keeps it.
Stop readDesignFile(const CommandLine &commandLine, AircraftRequest &request)
{
    const QString name = commandLine.parser().value(QStringLiteral("design-spectrum"));
    if (name.isEmpty())
        return std::nullopt;
    QByteArray bytes;
    QString error;
    if (!ReadInputFile(name, MaxTextInputBytes, bytes, error)) {
        PrintMessage(error);
        return ExitRefused;
    }
    if (!IsText(bytes))
        return commandLine.usageError(
            QStringLiteral("the design spectrum \"%1\" is not a text file.").arg(name));
    // Read now, so that a malformed file is refused before the register is opened.
    const ReferenceReadResult read = ParseReferenceSpectrum(bytes, name);
    if (!read.ok()) {
        PrintMessage(read.message());
        return ExitRefused;
    }
    request.design = DesignSpectrumFile {QFileInfo(name).fileName(), QString::fromUtf8(bytes)};
    return std::nullopt;
}

// --prior-hours H --prior-severity S, both or neither, of an aircraft.
Stop readPrior(const CommandLine &commandLine, AircraftRequest &request)
{
    const QCommandLineParser &parser = commandLine.parser();
    const bool hours = parser.isSet(QStringLiteral("prior-hours"));
    if (!hours && !parser.isSet(QStringLiteral("prior-severity")))
        return std::nullopt;
    if (!request.forAircraft)
        return commandLine.usageError(QStringLiteral(
            "--prior-hours and --prior-severity belong to an aircraft: give --aircraft REG."));
    AircraftChange::Prior prior;
    bool ok = false;
    prior.hours = parser.value(QStringLiteral("prior-hours")).toDouble(&ok);
    if (!hours || !ok || !std::isfinite(prior.hours) || prior.hours < 0)
        return commandLine.usageError(
            QStringLiteral("--prior-hours wants the flight hours before the recorder, 0 or more "
                           "(0 removes them), not \"%1\".")
                .arg(MessageValue(parser.value(QStringLiteral("prior-hours")))));
    prior.severity = parser.value(QStringLiteral("prior-severity")).toDouble(&ok);
    if (prior.hours > 0 && (!ok || !std::isfinite(prior.severity) || prior.severity < 0))
        return commandLine.usageError(
            QStringLiteral("--prior-severity wants how hard those hours were flown against the "
                           "design spectrum (1: as designed), not \"%1\".")
                .arg(MessageValue(parser.value(QStringLiteral("prior-severity")))));
    request.prior = prior;
    return std::nullopt;
}

Stop readAircraftRequest(const CommandLine &commandLine, AircraftRequest &request)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral("it takes no file."));
    if (parser.isSet(QStringLiteral("axis")))
        return commandLine.usageError(
            QStringLiteral("--axis is chosen by each command that draws, not kept."));
    request.forAircraft = parser.isSet(QStringLiteral("aircraft"));
    if (!request.forAircraft && !parser.isSet(QStringLiteral("type")))
        return commandLine.usageError(QStringLiteral("give --aircraft REG, or --type TYPE."));

    for (const Stop &stop : {ReadDamageParameters(commandLine, false, request.parameters,
                                 request.damageGiven, &request.locations),
             ReadAxis(commandLine, request.limits),
             readCheckSettings(commandLine, request.checks, request.checksGiven)}) {
        if (stop)
            return *stop;
    }
    if (const Stop stop = readPrior(commandLine, request))
        return stop;
    request.clearChecks = parser.isSet(QStringLiteral("no-checks"));
    if (request.clearChecks && request.checksGiven)
        return commandLine.usageError(
            QStringLiteral("--no-checks and check settings exclude each other."));
    request.designGiven = parser.isSet(QStringLiteral("design-spectrum"));
    if (request.designGiven && request.forAircraft)
        return commandLine.usageError(QStringLiteral(
            "--design-spectrum belongs to a type: give --type TYPE without --aircraft."));
    if (request.designGiven) {
        if (const Stop stop = readDesignFile(commandLine, request))
            return stop;
    }
    request.clear = parser.isSet(QStringLiteral("no-structure"));
    if (request.clear && (request.damageGiven || request.limits.limits))
        return commandLine.usageError(
            QStringLiteral("--no-structure and structural data exclude each other."));
    if (parser.isSet(QStringLiteral("combine"))) {
        CombineMode mode = CombineMode::NotGiven;
        if (const Stop stop = ReadNamedValue(commandLine, QStringLiteral("combine"),
                parser.value(QStringLiteral("combine")), CombineModeNames, mode))
            return stop;
        request.mode = mode;
        if (!request.forAircraft)
            return commandLine.usageError(
                QStringLiteral("--combine belongs to an aircraft: give --aircraft REG."));
    }

    const bool checks = request.checksGiven || request.clearChecks;
    if (!request.forAircraft && !request.clear && !request.damageGiven && !request.limits.limits
        && !checks && !request.designGiven)
        return commandLine.usageError(QStringLiteral(
            "give the type's structural data (--sigma1 ..., --parameters, --category), "
            "--no-structure, check settings (--thresholds ...) or --design-spectrum."));
    request.show = request.forAircraft && !request.mode && !parser.isSet(QStringLiteral("type"))
        && !request.clear && !request.damageGiven && !request.limits.limits && !checks
        && !request.prior;
    return std::nullopt;
}

ExitStatus setTypeData(
    Register &reg, const QCommandLineParser &parser, const AircraftRequest &request)
{
    Output output;
    const QString type = parser.value(QStringLiteral("type"));
    std::optional<StructuralData> structure;
    if (request.clear || request.damageGiven || request.limits.limits) {
        structure.emplace();
        if (request.damageGiven)
            setDamage(*structure, request);
        structure->limits = request.limits.limits;
    }
    std::optional<CheckSettings> checks;
    if (request.clearChecks)
        checks = CheckSettings();
    else if (request.checksGiven)
        checks = request.checks; // what is given replaces what the type had
    // What is not given is kept: a design spectrum alone keeps the structural data.
    TypeResult set;
    if (structure || checks) {
        set = reg.setType(type, structure, checks);
        if (!set.ok())
            return Refused(set);
    }
    if (request.designGiven) {
        set = reg.setTypeDesign(type, request.design);
        if (!set.ok())
            return Refused(set);
    }
    output.buffer() += QStringLiteral("Type %1 (%2 aircraft): structural data: %3\n  %4\n")
                           .arg(set.type.name, QString::number(set.type.aircraft),
                               structureText(set.type.structure), designText(set.type.design))
                           .toUtf8();
    if (!set.type.checks.isEmpty())
        output.buffer()
            += QStringLiteral("  checks: %1\n").arg(checksText(set.type.checks)).toUtf8();
    return FinishOutput(output, ExitOk);
}

ExitStatus setAircraft(
    Register &reg, const QCommandLineParser &parser, const AircraftRequest &request)
{
    Output output;
    const QString registration = parser.value(QStringLiteral("aircraft"));
    AircraftChange change;
    change.registration = registration;
    change.mode = request.mode;
    if (parser.isSet(QStringLiteral("type")))
        change.type = parser.value(QStringLiteral("type"));
    if (request.clear) {
        change.structure = StructuralData();
    } else if (request.damageGiven || request.limits.limits) {
        // What is given replaces its part; the other part is kept.
        const AircraftResult current = reg.aircraft(registration);
        StructuralData structure = current.ok() ? current.aircraft.own : StructuralData();
        if (request.damageGiven)
            setDamage(structure, request);
        if (request.limits.limits)
            structure.limits = request.limits.limits;
        change.structure = structure;
    }
    if (request.clearChecks) {
        change.checks = CheckSettings();
    } else if (request.checksGiven) {
        // Each part given replaces its own; the others are kept.
        const AircraftResult current = reg.aircraft(registration);
        const CheckSettings kept = current.ok() ? current.aircraft.ownChecks : CheckSettings();
        change.checks = kept.overriddenBy(request.checks);
    }
    change.prior = request.prior;
    if (request.show) {
        const AircraftResult shown = reg.aircraft(registration);
        if (!shown.ok())
            return Refused(shown);
        output.buffer() += aircraftText(shown.aircraft).toUtf8() + '\n';
        return FinishOutput(output, ExitOk);
    }
    const AircraftResult set = reg.setAircraft(change);
    if (!set.ok())
        return Refused(set);
    output.buffer()
        += (set.created ? QStringLiteral("Added ") : QStringLiteral("Changed ")).toUtf8()
        + aircraftText(set.aircraft).toUtf8() + '\n';
    if (set.periodsRecomputed)
        output.buffer() += "  the periods of its read-outs were derived anew\n";
    return FinishOutput(output, ExitOk);
}

ExitStatus runAircraft(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("register aircraft"),
        QStringLiteral("Add an aircraft or change its type, the way its read-outs relate and its "
                       "structural data;\nor, with --type alone, set the structural data of a "
                       "type, used by each aircraft of\nthat type without data of its own. Give "
                       "only --aircraft to show what is kept."),
        QString());
    QCommandLineParser &parser = commandLine.parser();
    addRegisterOptions(parser);
    parser.addOption({QStringLiteral("aircraft"),
        QStringLiteral("The registration, matched whatever its case; invisible, space-like or "
                       "dash-like\ncharacters other than the plain space and hyphen are refused."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("type"),
        QStringLiteral("The aircraft's type (empty: none); alone, the type whose data is set."),
        QStringLiteral("TYPE")});
    parser.addOption({QStringLiteral("combine"),
        QStringLiteral("separate (each read-out counts from a reset) or running (running "
                       "totals): needed for a new aircraft."),
        QStringLiteral("MODE")});
    AddDamageOptions(parser);
    // The limit loads are structural data; the axis is chosen by each command that draws.
    QCommandLineOption axis(
        QStringLiteral("axis"), QString(), QStringLiteral("AXIS"), QStringLiteral("n"));
    axis.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(axis);
    parser.addOption({QStringLiteral("category"),
        QStringLiteral("Limit load factors by category: %1.")
            .arg(NameChoices(CategoryNames, QStringLiteral(", "))),
        QStringLiteral("CATEGORY")});
    parser.addOption({QStringLiteral("limit-loads"),
        QStringLiteral("Limit load factors, positive then negative: 3.8,-1.52."),
        QStringLiteral("P,N")});
    AddParametersOption(parser);
    parser.addOption({QStringLiteral("design-spectrum"),
        QStringLiteral("With --type alone: the type's design spectrum (a reference spectrum "
                       "file), kept\nin the register with its name; \"\" removes it."),
        QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("no-structure"),
        QStringLiteral("Remove the structural data (an aircraft then uses its type's).")});
    addCheckOptions(parser);
    parser.addOption({QStringLiteral("prior-hours"),
        QStringLiteral("Flight hours the aircraft flew before its recorder was fitted (0 removes "
                       "them);\ncounted in its life used at --prior-severity times its type's "
                       "design spectrum."),
        QStringLiteral("H")});
    parser.addOption({QStringLiteral("prior-severity"),
        QStringLiteral("How hard those hours were flown against the design spectrum (1: as "
                       "designed)."),
        QStringLiteral("S")});
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    AircraftRequest request;
    if (const Stop stop = readAircraftRequest(commandLine, request))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openRegister(
            commandLine, request.show ? Register::Access::Read : Register::Access::Write, opened))
        return *stop;
    if (!request.forAircraft)
        return setTypeData(*opened.reg, parser, request);
    return setAircraft(*opened.reg, parser, request);
}
} // namespace RegisterCli
