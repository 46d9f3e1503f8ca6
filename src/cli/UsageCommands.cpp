#include "UsageCommands.h"

#include "Cli.h"
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
// The damage writer shared by files and the register: each period's table after the one before,
// the formulas of every S-N variant used after the last.
class DamageOutput
{
public:
    explicit DamageOutput(TableFormat format)
        : m_format(format)
    { }
    // False, after saying why, when the parameters do not fit the counts (a mean stress at S_u).
    bool add(const UsagePeriod &period, const DamageParameters &parameters)
    {
        const DamageResult damage
            = ComputeDamage(period.combined.counts, period.combined.hours, parameters);
        if (!damage.ok()) {
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, damage.message()));
            return false;
        }
        for (const RaisedLevel &raised : damage.raised)
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, raised.text));
        m_output.buffer() += DamageText(period, parameters, damage, m_format, m_first);
        m_first = false;
        m_formulas << DamageFormulaLines(parameters);
        m_output.written();
        return true;
    }
    ExitStatus finish(ExitStatus status)
    {
        if (status == ExitOk && m_format == TableFormat::Json)
            m_output.buffer() += m_first ? "[\n]\n" : "\n]\n";
        if (status == ExitOk && m_format == TableFormat::Text && !m_first) {
            m_formulas.removeDuplicates();
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
    QStringList m_formulas;
};

// From the register: the S-N data given, else the aircraft's own. An aircraft without any is
// refused alone, passed over (and said) in the fleet.
ExitStatus registerDamage(const CommandLine &commandLine,
    const std::optional<DamageParameters> &given, DamageOutput &output)
{
    const bool fleet = commandLine.parser().isSet(QStringLiteral("fleet"));
    std::optional<ExitStatus> stopped;
    const ExitStatus status = ForEachRegisterPeriod(
        commandLine, [&](const UsagePeriod &period, const AircraftInfo &aircraft) {
            if (stopped)
                return;
            const std::optional<DamageParameters> parameters
                = given ? given : aircraft.structure().damage;
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
            if (!output.add(period, *parameters))
                stopped = ExitUsage;
        });
    return stopped.value_or(status);
}
} // namespace

ExitStatus RunDamage(const QStringList &arguments)
{
    DamageParameters all;
    all.ultimateStrength = 1;
    all.designLife = 1;
    CommandLine commandLine(QStringLiteral("damage"),
        QStringLiteral("Fatigue damage by Miner's rule from the counts, with life used and hours "
                       "left. D_counted\npairs the highest peak with the lowest valley, then "
                       "inward, each end at the level it\nreached. D_upper, a bound for every "
                       "S-N variant and Goodman, puts each end at the next\nlevel out and takes "
                       "the pairing of most damage a load history with these crossings\ncan give. "
                       "Cycles inside the dead band (-0.6 g to 1.4 g) are not counted and are in "
                       "neither.\nA peak stress above S_u and figures that overflow are refused "
                       "(exit 2).\nWith --aircraft or --fleet the register's read-outs in the "
                       "window are summed as\n--combine sums files, and the aircraft's own S-N "
                       "data stands where none is given.")
            + formulaHelp(everyVariant(DamageFormulaLines(all))),
        QStringLiteral("FILE..."));
    QCommandLineParser &parser = commandLine.parser();
    AddSelectionOptions(parser);
    AddDamageOptions(parser);
    AddParametersOption(parser);
    AddTableFormatOption(parser);
    AddRegisterInputOptions(parser);
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    const bool fromRegister = RegisterInputGiven(parser);
    UsageSelection selection;
    DamageParameters parameters;
    bool given = false;
    TableFormat format = TableFormat::Text;
    for (const Stop &stop : {fromRegister ? Stop() : ReadSelection(commandLine, false, selection),
             ReadDamageParameters(commandLine, !fromRegister, parameters, given),
             ReadTableFormat(commandLine, format)}) {
        if (stop)
            return *stop;
    }

    DamageOutput output(format);
    if (fromRegister)
        return output.finish(
            registerDamage(commandLine, given ? std::optional(parameters) : std::nullopt, output));
    bool refused = false;
    const ExitStatus status = ForEachPeriod(selection,
        [&](const UsagePeriod &period) { refused = refused || !output.add(period, parameters); });
    return output.finish(refused ? ExitUsage : status);
}
