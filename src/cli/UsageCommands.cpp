#include "UsageCommands.h"

#include "Cli.h"
#include "DesignSpectrum.h"
#include "ExceedanceChart.h"
#include "Formulas.h"
#include "RegisterInput.h"
#include "TableOptions.h"
#include "UsageTables.h"

#include <QDateTime>
#include <QLocale>

namespace {
// The formulas printed under each command's help, so every figure can be worked by hand.
QString formulaHelp(const QStringList &lines)
{
    QString text = QStringLiteral("\n\nFormulas and assumptions:");
    for (const QString &line : lines)
        text += QStringLiteral("\n  ") + line;
    return text;
}

// The damage lines with all three S-N variants where the elementary one stands.
QStringList everyVariant(QStringList lines)
{
    const qsizetype at = lines.indexOf(Formulas::Elementary) + 1;
    lines.insert(at, Formulas::Original);
    lines.insert(at, Formulas::Haibach);
    return lines;
}

} // namespace

ExitStatus AnalyseOnePeriod(const UsageSelection &selection, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, std::optional<ExceedanceAnalysis> &analysis)
{
    if (const ExitStatus status = ForEachPeriod(selection,
            [&](const UsagePeriod &period) {
                analysis = AnalyseExceedances(period, axis, references);
            });
        status != ExitOk)
        return status;
    if (!analysis->table.ok()) {
        PrintMessage(analysis->table.message());
        return ExitRefused;
    }
    return ExitOk;
}

ExitStatus RunExceedance(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("exceedance"),
        QStringLiteral("Exceedances per 1000 flight hours per level, on the axis chosen, beside "
                       "reference spectra.\nOne record (--record N, default 1), each record "
                       "(--all), or records combined\n(--combine; needed for several records or "
                       "files).")
            + formulaHelp(ExceedanceFormulaLines(Axis::Fraction, true)),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    AddSelectionOptions(parser);
    AddAxisOptions(parser);
    AddReferenceOption(parser);
    AddParametersOption(parser);
    AddTableFormatOption(parser);
    AddRegisterInputOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    const bool fromRegister = RegisterInputGiven(parser);
    UsageSelection selection;
    AxisChoice axis;
    TableFormat format = TableFormat::Text;
    std::vector<ReferenceSpectrum> references;
    for (const Stop &stop : {fromRegister ? Stop() : ReadSelection(commandLine, false, selection),
             ReadAxis(commandLine, axis), ReadTableFormat(commandLine, format)}) {
        if (stop)
            return *stop;
    }
    if (const Stop stop = ReadReferences(commandLine, axis, references))
        return *stop;

    ExceedanceWriter writer(format, axis.axis, references);
    Output output;
    writer.begin(output.buffer());
    bool refused = false;
    const auto analyse = [&](const UsagePeriod &period, const AxisChoice &periodAxis) {
        if (refused)
            return;
        const ExceedanceAnalysis analysis = AnalyseExceedances(period, periodAxis, references);
        if (!analysis.table.ok()) {
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, analysis.table.message()));
            refused = true;
            return;
        }
        writer.add(analysis, output.buffer());
        output.written();
    };
    // From the register, an aircraft's own limit loads stand where none are given.
    const ExitStatus status = fromRegister
        ? ForEachRegisterPeriod(commandLine,
            [&](const UsagePeriod &period, const AircraftInfo &aircraft) {
                AxisChoice own = axis;
                if (!own.limits)
                    own.limits = aircraft.structure().limits;
                analyse(period, own);
            })
        : ForEachPeriod(selection, [&](const UsagePeriod &period) { analyse(period, axis); });
    if (status == ExitOk && !refused)
        writer.end(output.buffer());
    return FinishOutput(output, refused ? ExitRefused : status);
}

namespace {
// The design spectrum's damage with `parameters`; ExitUsage after saying why the S-N data do not
// fit it.
Stop designDamage(const ReferenceSpectrum &design, const std::optional<LimitLoads> &limits,
    const DamageParameters &parameters, std::optional<DesignDamage> &damage)
{
    damage = ComputeDesignDamage(design, limits, parameters);
    if (damage->ok())
        return std::nullopt;
    PrintMessage(damage->message());
    return ExitUsage;
}

// The damage writer shared by files and the register: each period's table after the one before,
// the design spectrums' lines and the formulas of every S-N variant used after the last.
class DamageOutput
{
public:
    explicit DamageOutput(TableFormat format)
        : m_format(format)
    { }
    // False, after saying why, when the parameters do not fit the counts (a mean stress at S_u).
    bool add(const UsagePeriod &period, const DamageParameters &parameters,
        const DesignComparison *design = nullptr)
    {
        const DamageResult damage
            = ComputeDamage(period.combined.counts, period.combined.hours, parameters);
        if (!damage.ok()) {
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, damage.message()));
            return false;
        }
        for (const RaisedLevel &raised : damage.raised)
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, raised.text));
        m_output.buffer() += DamageText(period, parameters, damage, m_format, m_first, design);
        m_first = false;
        m_formulas << DamageFormulaLines(parameters);
        if (design) {
            m_designLines << DesignDamageLines(*design);
            m_design = true;
        }
        m_output.written();
        return true;
    }
    ExitStatus finish(ExitStatus status)
    {
        if (status == ExitOk && m_format == TableFormat::Json)
            m_output.buffer() += m_first ? "[\n]\n" : "\n]\n";
        if (status == ExitOk && m_format == TableFormat::Text && !m_first) {
            m_designLines.removeDuplicates();
            if (!m_designLines.isEmpty())
                m_output.buffer() += '\n' + m_designLines.join(QLatin1Char('\n')).toUtf8() + '\n';
            m_formulas.removeDuplicates();
            if (m_design)
                m_formulas << DesignFormulaLines();
            m_output.buffer() += "\nFormulas:\n";
            for (const QString &line : std::as_const(m_formulas))
                m_output.buffer() += "  " + line.toUtf8() + '\n';
        }
        return FinishOutput(m_output, status);
    }

private:
    TableFormat m_format;
    Output m_output;
    bool m_first = true;
    bool m_design = false;
    QStringList m_formulas;
    QStringList m_designLines;
};

// What `damage` takes from the command line besides the input.
struct DamageRequest
{
    DamageParameters parameters;
    std::vector<StructuralLocation> locations; // named ones, from the parameters file
    bool given = false; // S-N data given
    std::optional<LimitLoads> limits;
    std::optional<ReferenceSpectrum> design;
};

// The damage of one period at each named location, or with `parameters` alone without them,
// with the severity against `design` when there is one. A stop when refused.
Stop addAtLocations(DamageOutput &output, const UsagePeriod &period,
    const DamageParameters &parameters, const std::vector<StructuralLocation> &locations,
    const std::optional<ReferenceSpectrum> &design, const std::optional<LimitLoads> &limits)
{
    std::vector<StructuralLocation> each = locations;
    if (each.empty())
        each.push_back({QString(), parameters});
    for (const StructuralLocation &location : each) {
        std::optional<DesignDamage> designed;
        if (design) {
            if (const Stop stop = designDamage(*design, limits, location.parameters, designed))
                return stop;
        }
        const std::optional<DesignComparison> comparison = design
            ? std::optional<DesignComparison>(DesignComparison {*design, *designed})
            : std::nullopt;
        UsagePeriod at = period;
        at.location = location.name;
        if (!output.add(at, location.parameters, comparison ? &*comparison : nullptr))
            return ExitUsage;
    }
    return std::nullopt;
}

// From the register: the S-N data given, else the aircraft's own; the design spectrum given, else
// its type's. An aircraft without S-N data is refused alone, passed over (and said) in the fleet.
ExitStatus registerDamage(
    const CommandLine &commandLine, const DamageRequest &request, DamageOutput &output)
{
    const bool fleet = commandLine.parser().isSet(QStringLiteral("fleet"));
    std::optional<ExitStatus> stopped;
    const ExitStatus status = ForEachRegisterPeriod(
        commandLine, [&](const UsagePeriod &period, const AircraftInfo &aircraft) {
            if (stopped)
                return;
            const std::optional<DamageParameters> parameters
                = request.given ? request.parameters : aircraft.structure().damage;
            if (!parameters) {
                const QString why = QStringLiteral("%1 has no S-N data in the register: give "
                                                   "--sigma1, --k, --sd and --nd (or "
                                                   "--parameters), or keep them with register "
                                                   "aircraft.")
                                        .arg(aircraft.registration);
                PrintMessage(fleet ? why + QStringLiteral(" Passed over.") : why);
                if (!fleet)
                    stopped = ExitRefused;
                return;
            }
            const std::optional<ReferenceSpectrum> design = request.design ? request.design
                : aircraft.design ? std::optional(aircraft.design->spectrum)
                                  : std::nullopt;
            stopped = addAtLocations(output, period, *parameters,
                request.given ? request.locations : aircraft.structure().locations, design,
                request.limits ? request.limits : aircraft.structure().limits);
        });
    return stopped.value_or(status);
}

// The help of `damage`: what it does and every formula behind it.
QString damageHelp()
{
    DamageParameters all;
    all.ultimateStrength = 1;
    all.designLife = 1;
    return QStringLiteral(
               "Fatigue damage by Miner's rule from the counts, with life used and hours "
               "left. D_counted\npairs the highest peak with the lowest valley, then "
               "inward, each end at the level it\nreached. D_upper, a bound for every "
               "S-N variant and Goodman, puts each end at the next\nlevel out and takes "
               "the pairing of most damage a load history with these crossings\ncan give. "
               "Cycles inside the dead band (-0.6 g to 1.4 g) are not counted and are in "
               "neither.\nWith --design-spectrum, the severity: D per 1000 h over the "
               "design spectrum's.\nA peak stress above S_u and figures that overflow are "
               "refused (exit 2).\nWith --aircraft or --fleet the register's read-outs in the "
               "window are summed as\n--combine sums files, and the aircraft's own S-N data "
               "(and its type's design spectrum)\nstand where none is given.")
        + formulaHelp(everyVariant(DamageFormulaLines(all)) + DesignFormulaLines());
}
} // namespace

ExitStatus RunDamage(const QStringList &arguments)
{
    CommandLine commandLine(QStringLiteral("damage"), damageHelp(), QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    AddSelectionOptions(parser);
    AddDamageOptions(parser);
    AddDesignSpectrumOption(parser);
    AddLimitLoadOptions(parser);
    AddParametersOption(parser);
    AddTableFormatOption(parser);
    AddRegisterInputOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    const bool fromRegister = RegisterInputGiven(parser);
    UsageSelection selection;
    DamageRequest request;
    TableFormat format = TableFormat::Text;
    for (const Stop &stop : {fromRegister ? Stop() : ReadSelection(commandLine, false, selection),
             ReadDamageParameters(
                 commandLine, !fromRegister, request.parameters, request.given, &request.locations),
             ReadTableFormat(commandLine, format), ReadLimitLoads(commandLine, request.limits)}) {
        if (stop)
            return *stop;
    }
    if (const Stop stop = ReadDesignSpectrum(commandLine, request.limits, request.design))
        return *stop;
    DamageOutput output(format);
    if (fromRegister)
        return output.finish(registerDamage(commandLine, request, output));
    Stop stopped;
    const ExitStatus status = ForEachPeriod(selection, [&](const UsagePeriod &period) {
        if (!stopped)
            stopped = addAtLocations(output, period, request.parameters, request.locations,
                request.design, request.limits);
    });
    return output.finish(stopped.value_or(status));
}
