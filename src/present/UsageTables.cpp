#include "UsageTables.h"

#include "DamageTables.h"
#include "ExceedanceTable.h"
#include "ForecastOutput.h"
#include "TableWriters.h"

QString FirstAboveText(const ReferenceComparison &comparison)
{
    const auto level = [](const std::optional<int> &first) {
        return first ? LevelName(*first) : QStringLiteral("none");
    };
    return QStringLiteral("first level above it: %1 on the positive branch, %2 on the negative")
        .arg(level(comparison.firstAbovePositive), level(comparison.firstAboveNegative));
}

ExceedanceWriter::ExceedanceWriter(
    TableFormat format, Axis axis, const std::vector<ReferenceSpectrum> &references)
    : m_format(format)
    , m_references(references)
    , m_levels(ExceedanceColumns(axis, references, ExceedanceLayout::Stream))
    , m_csv(m_levels)
    , m_json(m_levels)
    , m_compared(ReferenceComparisonTable(references))
    , m_comparedJson(m_compared)
{ }

void ExceedanceWriter::begin(QByteArray &out)
{
    if (m_format == TableFormat::Json)
        out += '[';
    else if (m_format == TableFormat::Csv)
        AppendCsvHeader(out, m_levels);
}

void ExceedanceWriter::addJson(
    const ExceedanceAnalysis &analysis, const Table &levels, QByteArray &out)
{
    const ExceedanceTable &table = analysis.table;
    if (m_added > 0)
        out += ',';
    out += "\n{\"source\":" + JsonString(analysis.period.source);
    out += ",\"hours\":" + NumberText(table.hours);
    out += ",\"axis\":" + JsonString(AxisName(table.axis.axis));
    out += ",\"limitLoads\":";
    if (table.axis.limits)
        out += "{\"positive\":" + NumberText(table.axis.limits->positive)
            + ",\"negative\":" + NumberText(table.axis.limits->negative) + '}';
    else
        out += "null";
    out += ",\"resets\":[";
    for (size_t i = 0; i < analysis.period.combined.resets.size(); ++i)
        out += (i ? "," : "") + JsonString(analysis.period.combined.resets[i].text);
    out += "],\"levels\":";
    m_json.append(out, levels, JsonLayout::Compact);
    out += ",\"references\":";
    FillFirstAbove(m_compared, analysis.comparisons);
    m_comparedJson.append(out, m_compared, JsonLayout::Compact);
    out += ",\"overLimit\":";
    AppendLimitBoundsJson(out, analysis.overLimit);
    out += '}';
}

void ExceedanceWriter::addText(
    const ExceedanceAnalysis &analysis, const Table &levels, QByteArray &out) const
{
    if (m_added > 0)
        out += '\n';
    out += QStringLiteral("%1: T = %2 h\n")
               .arg(analysis.period.source, ShortNumber(analysis.table.hours))
               .toUtf8();
    AppendTableText(out, levels);
    for (size_t i = 0; i < m_references.size(); ++i)
        out += QStringLiteral("ref %1: %2 (%3, %4, page %5); %6\n")
                   .arg(i + 1)
                   .arg(m_references[i].name, m_references[i].source, m_references[i].tableOrFigure,
                       m_references[i].page, FirstAboveText(analysis.comparisons[i]))
                   .toUtf8();
    if (const QString over = LimitBoundsText(analysis.overLimit); !over.isEmpty())
        out += over.toUtf8() + '\n';
}

void ExceedanceWriter::add(const ExceedanceAnalysis &analysis, QByteArray &out)
{
    FillExceedanceRows(m_levels, analysis, ExceedanceLayout::Stream);
    if (m_format == TableFormat::Csv)
        m_csv.append(out, m_levels);
    else if (m_format == TableFormat::Json)
        addJson(analysis, m_levels, out);
    else
        addText(analysis, m_levels, out);
    ++m_added;
}

void ExceedanceWriter::end(QByteArray &out)
{
    if (m_format == TableFormat::Json)
        out += "\n]\n";
}

QString DamageInputsText(const DamageParameters &parameters)
{
    QString text
        = QStringLiteral("σ₁ = %1 MPa, k = %2, S_D = %3 MPa, N_D = %4, below S_D: %5")
              .arg(ShortNumber(parameters.stressPerG), ShortNumber(parameters.slope),
                  ShortNumber(parameters.enduranceStress), ShortNumber(parameters.enduranceCycles),
                  BelowEnduranceName(parameters.belowEndurance));
    if (parameters.ultimateStrength)
        text += QStringLiteral(", Goodman with S_u = %1 MPa")
                    .arg(ShortNumber(*parameters.ultimateStrength));
    text += QStringLiteral(", SF = %1").arg(ShortNumber(parameters.scatterFactor));
    if (parameters.designLife)
        text += QStringLiteral(", L = %1 h").arg(ShortNumber(*parameters.designLife));
    if (parameters.maxLoadPositive)
        text += QStringLiteral(", max loads %1 / %2 g")
                    .arg(ShortNumber(*parameters.maxLoadPositive),
                        ShortNumber(parameters.maxLoadNegative.value_or(0)));
    return text;
}

namespace {
struct NamedEstimate
{
    const char *name;
    const DamageEstimate &estimate;
};

// How the estimate named pairs its peaks and valleys, for the cycle table's heading.
QString pairingName(const char *estimate)
{
    return qstrcmp(estimate, "upper") == 0
        ? QStringLiteral("the pairing of most damage, ends one level out")
        : QStringLiteral("highest peak with lowest valley, then inward");
}

void damageJson(const UsagePeriod &period, const DamageParameters &parameters,
    const DamageResult &damage, const DesignComparison *design, QByteArray &out)
{
    const Severity severity = design ? SeverityAgainst(damage, design->damage) : Severity();
    const QByteArray severityKey = ",\"" + JsonKey(SeverityColumn()).toUtf8() + "\":";
    const auto optional = [](const std::optional<double> &value) { return NumberText(value); };
    out += "\n{\"source\":" + JsonString(period.source);
    if (!period.location.isEmpty())
        out += ",\"location\":" + JsonString(period.location);
    out += ",\"hours\":" + NumberText(damage.hours);
    out += ",\"inputs\":{\"sigma1\":" + NumberText(parameters.stressPerG) + ",\"k\":"
        + NumberText(parameters.slope) + ",\"sd\":" + NumberText(parameters.enduranceStress)
        + ",\"nd\":" + NumberText(parameters.enduranceCycles)
        + ",\"below\":" + JsonString(BelowEnduranceName(parameters.belowEndurance))
        + ",\"su\":" + optional(parameters.ultimateStrength)
        + ",\"scatter\":" + NumberText(parameters.scatterFactor)
        + ",\"designLife\":" + optional(parameters.designLife)
        + ",\"maxLoadPositive\":" + optional(parameters.maxLoadPositive)
        + ",\"maxLoadNegative\":" + optional(parameters.maxLoadNegative) + '}';
    out += ",\"peaks\":" + QByteArray::number(damage.peaks);
    out += ",\"valleys\":" + QByteArray::number(damage.valleys);
    out += ",\"unpairedPeaks\":" + QByteArray::number(damage.unpairedPeaks);
    out += ",\"unpairedValleys\":" + QByteArray::number(damage.unpairedValleys);
    out += ",\"raised\":[";
    for (size_t i = 0; i < damage.raised.size(); ++i) {
        const RaisedLevel &raised = damage.raised[i];
        out += (i ? ",{\"level\":" : "{\"level\":") + QByteArray(LoadLevels[raised.level].text)
            + ",\"counted\":" + QByteArray::number(raised.counted)
            + ",\"raisedTo\":" + QByteArray::number(raised.raisedTo) + '}';
    }
    out += ']';
    if (design)
        out += ",\"designSpectrum\":" + DesignJson(*design);
    for (const NamedEstimate &named :
        {NamedEstimate {"counted", damage.counted}, NamedEstimate {"upper", damage.upper}}) {
        const DamageEstimate &estimate = named.estimate;
        const SeverityFigure &figure
            = &estimate == &damage.upper ? severity.upper : severity.counted;
        const QByteArray severityText = design ? severityKey + optional(figure.value)
                + (figure.value ? QByteArray() : ",\"severityReason\":" + JsonString(figure.reason))
                                               : QByteArray();
        out += ",\"" + QByteArray(named.name) + "\":";
        if (!estimate.available) {
            out += "{\"available\":false,\"reason\":" + JsonString(estimate.unavailableReason)
                + severityText + '}';
            continue;
        }
        const LifeFigures &life = estimate.life;
        out += "{\"available\":true,\"pairing\":" + JsonString(pairingName(named.name))
            + ",\"damage\":" + NumberText(estimate.damage)
            + ",\"damagePer1000h\":" + NumberText(estimate.damagePer1000h) + ",\"lifeUsedPercent\":"
            + NumberText(life.usedPercent) + ",\"hoursLeft\":" + optional(life.hoursLeft)
            + ",\"exhausted\":" + (life.exhausted ? "true" : "false") + ",\"equivalentHours\":"
            + optional(life.equivalentHours) + ",\"" + JsonKey(DesignLifeRateColumn()).toUtf8()
            + "\":" + optional(life.designLifeRate) + severityText + ",\"cycles\":[";
        for (size_t i = 0; i < estimate.cycles.size(); ++i) {
            const CycleGroup &cycle = estimate.cycles[i];
            out += (i ? ",{" : "{");
            out += "\"valley\":" + NumberText(cycle.valley) + ",\"peak\":" + NumberText(cycle.peak)
                + ",\"count\":" + QByteArray::number(qint64(cycle.count))
                + ",\"sa\":" + NumberText(cycle.amplitude) + ",\"sm\":" + NumberText(cycle.mean)
                + ",\"saEq\":" + NumberText(cycle.equivalentAmplitude) + ",\"n\":"
                + optional(cycle.cyclesToFailure) + ",\"damage\":" + NumberText(cycle.damage) + '}';
        }
        out += "]}";
    }
    out += '}';
}

void damageText(const UsagePeriod &period, const DamageParameters &parameters,
    const DamageResult &damage, const DesignComparison *design, QByteArray &out)
{
    const QString where = period.location.isEmpty()
        ? period.source
        : QStringLiteral("%1 at the location \"%2\"").arg(period.source, period.location);
    out += QStringLiteral("%1: T = %2 h\n").arg(where, ShortNumber(damage.hours)).toUtf8();
    out += QStringLiteral("Inputs: %1\n").arg(DamageInputsText(parameters)).toUtf8();
    out += QStringLiteral("Peaks %1, valleys %2, unpaired peaks %3, unpaired valleys %4\n")
               .arg(damage.peaks)
               .arg(damage.valleys)
               .arg(damage.unpairedPeaks)
               .arg(damage.unpairedValleys)
               .toUtf8();
    for (const RaisedLevel &raised : damage.raised)
        out += QStringLiteral("Inconsistent counts: %1\n").arg(raised.text).toUtf8();
    QStringList unavailable;
    for (const NamedEstimate &named :
        {NamedEstimate {"counted", damage.counted}, NamedEstimate {"upper", damage.upper}}) {
        if (!named.estimate.available)
            unavailable << named.estimate.unavailableReason;
    }
    out += '\n';
    AppendTableText(out, DamageSummaryTable(damage, design));
    for (const QString &line : unavailable)
        out += line.toUtf8() + '\n';
    if (design) {
        for (const QString &line : SeverityNotes(SeverityAgainst(damage, design->damage)))
            out += line.toUtf8() + '\n';
    }
    for (const NamedEstimate &named :
        {NamedEstimate {"counted", damage.counted}, NamedEstimate {"upper", damage.upper}}) {
        if (!named.estimate.available)
            continue;
        out += QStringLiteral("\nCycles, %1 estimate (%2):\n")
                   .arg(QString::fromLatin1(named.name), pairingName(named.name))
                   .toUtf8();
        AppendTableText(out, DamageCycleTable(named.estimate));
    }
}
} // namespace

QByteArray DamageText(const UsagePeriod &period, const DamageParameters &parameters,
    const DamageResult &damage, TableFormat format, bool first, const DesignComparison *design)
{
    QByteArray out;
    switch (format) {
    case TableFormat::Csv:
        AppendTableCsv(out, DamageRowsTable(period, damage, design), first);
        break;
    case TableFormat::Json:
        out += first ? "[" : ",";
        damageJson(period, parameters, damage, design, out);
        break;
    case TableFormat::Text:
        if (!first)
            out += '\n';
        damageText(period, parameters, damage, design, out);
        break;
    }
    return out;
}
