#include "Cli.h"
#include "Formulas.h"
#include "OutputFile.h"
#include "RegisterCli.h"
#include "RegisterInput.h"
#include "RegisterLocation.h"
#include "RegisterReport.h"
#include "Report.h"
#include "UsageCommands.h"
#include "UsageReports.h"

#include <QDateTime>

namespace {
// ExitUsage for a missing OUT or one that is not .pdf, ExitRefused (after saying why) for one
// that is one of `inputs`, none otherwise.
Stop checkOutput(const CommandLine &commandLine, const QString &output, const QStringList &inputs)
{
    if (output.isEmpty())
        return commandLine.usageError(QStringLiteral("-o OUT is missing."));
    if (output != QLatin1String("-")
        && !output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return commandLine.usageError(
            QStringLiteral("\"%1\": the extension must be .pdf.").arg(MessageValue(output)));
    if (const Result apart = CheckOutputIsNoInput(output, inputs); !apart.ok()) {
        PrintMessage(apart.message());
        return ExitRefused;
    }
    return std::nullopt;
}

// ExitUsage for options that do not go with a report from the register.
Stop checkRegisterReport(const CommandLine &commandLine, int chosen, bool fleet)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (chosen > 1)
        return commandLine.usageError(
            QStringLiteral("--aircraft, --each-aircraft and --fleet exclude each other."));
    if (!parser.positionalArguments().isEmpty())
        return commandLine.usageError(QStringLiteral(
            "FILE goes without --aircraft, --each-aircraft or --fleet: the register is read."));
    for (const QString &name : {QStringLiteral("record"), QStringLiteral("all"),
             QStringLiteral("combine"), QStringLiteral("sigma1"), QStringLiteral("k"),
             QStringLiteral("sd"), QStringLiteral("nd"), QStringLiteral("parameters")}) {
        if (parser.isSet(name))
            return commandLine.usageError(
                QStringLiteral("--%1 does not go with the register: it keeps each aircraft's "
                               "read-outs and structural data.")
                    .arg(name));
    }
    if (fleet && parser.isSet(QStringLiteral("until")))
        return commandLine.usageError(
            QStringLiteral("--until goes with --aircraft or --each-aircraft."));
    return std::nullopt;
}

// The register the options name, opened for reading, after checking that `output` (a file, or
// with --each-aircraft a folder) is none of its files.
Stop openReportRegister(
    const CommandLine &commandLine, const QString &output, bool folder, OpenedRegister &opened)
{
    const QCommandLineParser &parser = commandLine.parser();
    const LocationResult location
        = ChooseRegisterLocation(GivenValue(parser, QStringLiteral("register")));
    // A mistaken option is wrong usage; an environment that names no register is not.
    if (!location.ok() && location.failure() == Result::CannotOpen) {
        PrintMessage(location.message());
        return ExitRefused;
    }
    if (!location.ok())
        return commandLine.usageError(location.message());
    if (!folder) {
        if (const Stop stop = checkOutput(commandLine, output, RegisterFiles(location.location)))
            return *stop;
    }
    opened = Register::open(location.location, Register::Access::Read);
    if (!opened.ok()) {
        PrintMessage(opened.message());
        return ExitRefused;
    }
    return std::nullopt;
}

// The report of an aircraft, of each aircraft or of the fleet, from the register.
ExitStatus runRegisterReport(const CommandLine &commandLine, bool aircraft, bool each, bool fleet)
{
    const QCommandLineParser &parser = commandLine.parser();
    if (const Stop stop = checkRegisterReport(commandLine, aircraft + each + fleet, fleet))
        return *stop;
    ReportWindow window;
    if (const Stop stop = ReadRegisterWindow(commandLine, window.since, window.until))
        return *stop;
    AxisChoice axis;
    if (const Stop stop = ReadAxis(commandLine, axis))
        return *stop;
    const QString output = parser.value(QStringLiteral("output"));
    if (each) {
        if (output.isEmpty() || output == QLatin1String("-"))
            return commandLine.usageError(
                QStringLiteral("--each-aircraft needs -o DIR, the folder to write into."));
    } else if (const Stop stop = checkOutput(commandLine, output, UsageInputFiles(commandLine))) {
        return *stop;
    }
    std::vector<ReferenceSpectrum> references;
    if (const Stop stop = ReadReferences(commandLine, axis, references))
        return *stop;
    OpenedRegister opened;
    if (const Stop stop = openReportRegister(commandLine, output, each, opened))
        return *stop;
    if (fleet)
        return WriteFleetReport(*opened.reg, window.since, axis, references, output);
    if (each) {
        QStringList inputs = UsageInputFiles(commandLine) + RegisterFiles(opened.reg->location());
        return WriteEachAircraftReport(*opened.reg, window, axis, references, output, inputs);
    }
    return WriteAircraftReport(*opened.reg, parser.value(QStringLiteral("aircraft")),
        parser.value(QStringLiteral("location")), window, axis, references, output);
}

// With named locations, the S-N data of --location, else of the location of the largest life
// used (counted estimate); the period takes its name.
Stop chooseLocation(const CommandLine &commandLine, UsagePeriod &period,
    const std::vector<StructuralLocation> &locations, DamageParameters &parameters)
{
    const QString asked = commandLine.parser().value(QStringLiteral("location"));
    if (locations.empty()) {
        if (asked.isEmpty())
            return std::nullopt;
        return commandLine.usageError(
            QStringLiteral("--location wants a parameters file with [location] sections."));
    }
    std::optional<size_t> chosen;
    std::optional<double> most;
    QStringList names;
    for (size_t i = 0; i < locations.size(); ++i) {
        names << QLatin1Char('"') + locations[i].name + QLatin1Char('"');
        if (!asked.isEmpty()) {
            if (locations[i].name.compare(asked.trimmed(), Qt::CaseInsensitive) == 0)
                chosen = i;
            continue;
        }
        const DamageResult damage
            = ComputeDamage(period.combined.counts, period.combined.hours, locations[i].parameters);
        if (damage.ok() && (!most || damage.counted.life.usedPercent > *most)) {
            most = damage.counted.life.usedPercent;
            chosen = i;
        }
    }
    if (!chosen && !asked.isEmpty())
        return commandLine.usageError(
            QStringLiteral("no location \"%1\"; the locations are %2.")
                .arg(MessageValue(asked), names.join(QStringLiteral(", "))));
    const size_t at = chosen.value_or(0);
    parameters = locations[at].parameters;
    period.location = locations[at].name;
    return std::nullopt;
}

// The formulas of every figure the report may show, for its help.
QString reportFormulas()
{
    DamageParameters all;
    all.ultimateStrength = 1;
    all.designLife = 1;
    QStringList lines = ExceedanceFormulaLines(Axis::Fraction, true) + DamageFormulaLines(all);
    lines.removeDuplicates();
    return lines.join(QStringLiteral("\n  "));
}

void addReportOptions(QCommandLineParser &parser)
{
    AddSelectionOptions(parser);
    AddAxisOptions(parser);
    AddReferenceOption(parser);
    AddDamageOptions(parser);
    AddParametersOption(parser);
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("The PDF file to write, OUT.pdf, never one of the inputs; - for standard "
                       "output."),
        QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("aircraft"),
        QStringLiteral("The history of this aircraft of the register, instead of FILE."),
        QStringLiteral("REG")});
    parser.addOption({QStringLiteral("each-aircraft"),
        QStringLiteral(
            "A report of each aircraft of the register, REG.pdf in the folder -o DIR.")});
    parser.addOption({QStringLiteral("fleet"),
        QStringLiteral("The register's fleet ranking with every aircraft's exceedances in one "
                       "chart.")});
    parser.addOption({QStringLiteral("since"),
        QStringLiteral("From the register: only the read-outs taken on or after this day (the "
                       "summary\nof an aircraft still gives its life used to date)."),
        QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("until"),
        QStringLiteral("With --aircraft or --each-aircraft: only the read-outs taken on or "
                       "before this day."),
        QStringLiteral("YYYY-MM-DD")});
    RegisterCli::addLocationOption(parser);
    parser.addOption({QStringLiteral("register"),
        QStringLiteral(
            "The register: an SQLite file or postgresql://user@host:port/database "
            "(default\n$ZEMRA_REGISTER, else $XDG_DATA_HOME/zemra/register.sqlite, else\n"
            "$HOME/.local/share/zemra/register.sqlite; an empty one is an error)."),
        QStringLiteral("REGISTER")});
}

} // namespace

ExitStatus RunReport(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("report"),
        QStringLiteral("An A4 PDF usage report of one record or a combination: what was read, "
                       "the exceedance\nchart and table beside the references, the damage "
                       "summary with its inputs (when\nthe S-N data is given), the formulas and "
                       "assumptions, the program version and date.\n\nFormulas and "
                       "assumptions:\n  ")
            + reportFormulas(),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    addReportOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    const bool aircraft = parser.isSet(QStringLiteral("aircraft"));
    const bool each = parser.isSet(QStringLiteral("each-aircraft"));
    const bool fleet = parser.isSet(QStringLiteral("fleet"));
    if (parser.isSet(QStringLiteral("location")) && (each || fleet))
        return commandLine.usageError(
            QStringLiteral("--location goes with --aircraft or with files."));
    if (aircraft || each || fleet)
        return runRegisterReport(commandLine, aircraft, each, fleet);
    for (const QString &name :
        {QStringLiteral("since"), QStringLiteral("until"), QStringLiteral("register")}) {
        if (parser.isSet(name))
            return commandLine.usageError(
                QStringLiteral("--%1 goes with --aircraft, --each-aircraft or --fleet.").arg(name));
    }
    UsageSelection selection;
    AxisChoice axis;
    DamageParameters parameters;
    std::vector<StructuralLocation> locations;
    bool damageGiven = false;
    for (const Stop &stop :
        {ReadSelection(commandLine, true, selection), ReadAxis(commandLine, axis),
            ReadDamageParameters(commandLine, false, parameters, damageGiven, &locations)}) {
        if (stop)
            return *stop;
    }
    const QString output = parser.value(QStringLiteral("output"));
    if (const Stop stop = checkOutput(commandLine, output, UsageInputFiles(commandLine)))
        return *stop;
    std::vector<ReferenceSpectrum> references;
    if (const Stop stop = ReadReferences(commandLine, axis, references))
        return *stop;

    std::optional<ExceedanceAnalysis> analysis;
    if (const ExitStatus status = AnalyseOnePeriod(selection, axis, references, analysis);
        status != ExitOk)
        return status;
    UsagePeriod &period = analysis->period;
    if (const Stop stop = chooseLocation(commandLine, period, locations, parameters))
        return *stop;
    std::optional<DamageResult> damage;
    if (damageGiven) {
        damage = ComputeDamage(period.combined.counts, period.combined.hours, parameters);
        if (!damage->ok()) {
            PrintMessage(damage->message());
            return ExitUsage;
        }
        for (const RaisedLevel &raised : damage->raised)
            PrintMessage(raised.text);
    }

    return WriteReportFile(
        output, FilesReportDocument(*analysis, axis, references, parameters, damage));
}
