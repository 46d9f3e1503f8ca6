#include "Cli.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegularFile.h"
#include "TableOptions.h"
#include "UsageInput.h"
#include "UsageTables.h"

#include <QFile>
#include <QFileInfo>

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
    bool damageGiven = false;
    AxisChoice limits;
    std::optional<CombineMode> mode;
    bool designGiven = false; // --design-spectrum: a file, or "" to remove the type's
    std::optional<DesignSpectrumFile> design;
};

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

    for (const Stop &stop :
        {ReadDamageParameters(commandLine, false, request.parameters, request.damageGiven),
            ReadAxis(commandLine, request.limits)}) {
        if (stop)
            return *stop;
    }
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

    if (!request.forAircraft && !request.clear && !request.damageGiven && !request.limits.limits
        && !request.designGiven)
        return commandLine.usageError(QStringLiteral(
            "give the type's structural data (--sigma1 ..., --parameters, --category), "
            "--no-structure, or --design-spectrum."));
    request.show = request.forAircraft && !request.mode && !parser.isSet(QStringLiteral("type"))
        && !request.clear && !request.damageGiven && !request.limits.limits;
    return std::nullopt;
}

ExitStatus setTypeData(
    Register &reg, const QCommandLineParser &parser, const AircraftRequest &request)
{
    Output output;
    const QString type = parser.value(QStringLiteral("type"));
    TypeResult set;
    // The structural data only when given, so that a design spectrum alone keeps it.
    if (request.clear || request.damageGiven || request.limits.limits) {
        StructuralData structure;
        if (request.damageGiven)
            structure.damage = request.parameters;
        structure.limits = request.limits.limits;
        set = reg.setType(type, structure);
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
            structure.damage = request.parameters;
        if (request.limits.limits)
            structure.limits = request.limits.limits;
        change.structure = structure;
    }
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
