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
// The design spectrum's damage, worked once for every period; ExitUsage after saying why the
// S-N data do not fit it.
Stop designDamage(const std::optional<ReferenceSpectrum> &design,
    const std::optional<LimitLoads> &limits, const DamageParameters &parameters,
    std::optional<DesignDamage> &damage)
{
    if (!design)
        return std::nullopt;
    damage = ComputeDesignDamage(*design, limits, parameters);
    if (damage->ok())
        return std::nullopt;
    PrintMessage(damage->message());
    return ExitUsage;
}

void appendFormulas(QByteArray &out, const DamageParameters &parameters, bool design)
{
    out += "\nFormulas:\n";
    for (const QString &line :
        DamageFormulaLines(parameters) + (design ? DesignFormulaLines() : QStringList()))
        out += "  " + line.toUtf8() + '\n';
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
               "refused (exit 2).")
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
    if (const Stop stop = commandLine.parse(arguments))
        return *stop;
    UsageSelection selection;
    DamageParameters parameters;
    bool given = false;
    TableFormat format = TableFormat::Text;
    std::optional<LimitLoads> limits;
    std::optional<ReferenceSpectrum> design;
    std::optional<DesignDamage> designed;
    for (const Stop &stop : {ReadSelection(commandLine, false, selection),
             ReadDamageParameters(commandLine, true, parameters, given),
             ReadTableFormat(commandLine, format), ReadLimitLoads(commandLine, limits)}) {
        if (stop)
            return *stop;
    }
    if (const Stop stop = ReadDesignSpectrum(commandLine, limits, design))
        return *stop;
    if (const Stop stop = designDamage(design, limits, parameters, designed))
        return *stop;
    std::optional<DesignComparison> comparison;
    if (design)
        comparison.emplace(DesignComparison {*design, *designed});

    Output output;
    bool first = true;
    bool refused = false;
    const ExitStatus status = ForEachPeriod(selection, [&](const UsagePeriod &period) {
        if (refused)
            return;
        const DamageResult damage
            = ComputeDamage(period.combined.counts, period.combined.hours, parameters);
        if (!damage.ok()) {
            // The counts are fine; the parameters do not fit them (a mean stress at S_u).
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, damage.message()));
            refused = true;
            return;
        }
        for (const RaisedLevel &raised : damage.raised)
            PrintMessage(QStringLiteral("%1: %2").arg(period.source, raised.text));
        output.buffer() += DamageText(
            period, parameters, damage, format, first, comparison ? &*comparison : nullptr);
        first = false;
        output.written();
    });
    if (status == ExitOk && !refused && format == TableFormat::Json)
        output.buffer() += "\n]\n";
    if (status == ExitOk && !refused && format == TableFormat::Text) {
        if (comparison) {
            output.buffer() += '\n';
            for (const QString &line : DesignDamageLines(*comparison))
                output.buffer() += line.toUtf8() + '\n';
        }
        appendFormulas(output.buffer(), parameters, comparison.has_value());
    }
    return FinishOutput(output, refused ? ExitUsage : status);
}
