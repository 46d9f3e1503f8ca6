#include "UsageTables.h"

#include "DamageTables.h"
#include "TableWriters.h"

#include <QList>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {
QByteArray branchName(Branch branch)
{
    return branch == Branch::Positive ? QByteArrayLiteral("positive")
                                      : QByteArrayLiteral("negative");
}

QString axisColumn(Axis axis)
{
    switch (axis) {
    case Axis::LoadFactor:
        return QStringLiteral("n [g]");
    case Axis::Increment:
        return QStringLiteral("Δn [g]");
    case Axis::Fraction:
        return QStringLiteral("a");
    }
    return {};
}

QString textNumber(const std::optional<double> &value)
{
    return value ? ShortNumber(*value) : QString();
}

QString levelName(int level)
{
    return QString::fromLatin1(LoadLevels[level].text);
}
} // namespace

QString FirstAboveText(const ReferenceComparison &comparison)
{
    const auto level = [](const std::optional<int> &first) {
        return first ? LevelName(*first) : QStringLiteral("none");
    };
    return QStringLiteral("first level above it: %1 on the positive branch, %2 on the negative")
        .arg(level(comparison.firstAbovePositive), level(comparison.firstAboveNegative));
}

ExceedanceWriter::ExceedanceWriter(
    TableFormat format, const std::vector<ReferenceSpectrum> &references)
    : m_format(format)
    , m_references(references)
{ }

void ExceedanceWriter::begin(QByteArray &out)
{
    if (m_format == TableFormat::Json) {
        out += '[';
    } else if (m_format == TableFormat::Csv) {
        out += "source,hours,level_g,branch,axis,axis_value,nc,per_hour,per_1000h,"
               "log10_per_1000h";
        for (const ReferenceSpectrum &reference : m_references) {
            out += ',' + CsvField(reference.name + QStringLiteral(": reference per_1000h"));
            out += ',' + CsvField(reference.name + QStringLiteral(": ratio"));
        }
        out += "\r\n";
    }
}

void ExceedanceWriter::addCsv(const ExceedanceAnalysis &analysis, QByteArray &out) const
{
    const ExceedanceTable &table = analysis.table;
    const QByteArray axisName = AxisName(table.axis.axis).toLatin1();
    // The hot path of --all over a large file: each row is put together in place and
    // appended whole. A row takes at most 24 bytes of fixed text, 20 for the count and 24
    // for each of its numbers.
    const QByteArray lead = CsvField(analysis.period.source) + ',' + NumberText(table.hours) + ',';
    QByteArray row(
        lead.size() + 192 + 64 * qsizetype(analysis.comparisons.size()), Qt::Uninitialized);
    std::memcpy(row.data(), lead.constData(), lead.size());
    char *const start = row.data() + lead.size();
    const auto put = [](char *at, const char *text) {
        const size_t length = std::strlen(text);
        std::memcpy(at, text, length);
        return at + length;
    };
    const auto number
        = [](char *at, double value) { return std::to_chars(at, at + 32, value).ptr; };
    for (const ExceedanceRow &level : table.rows) {
        char *at = put(start, LoadLevels[level.level].text);
        at = put(at, level.branch == Branch::Positive ? ",positive," : ",negative,");
        at = put(at, axisName.constData());
        *at++ = ',';
        at = number(at, level.axisValue);
        *at++ = ',';
        at = std::to_chars(at, at + 24, level.count).ptr;
        *at++ = ',';
        at = number(at, level.perHour);
        *at++ = ',';
        at = number(at, level.per1000h);
        *at++ = ',';
        if (level.log10Per1000h)
            at = number(at, *level.log10Per1000h);
        for (const ReferenceComparison &comparison : analysis.comparisons) {
            *at++ = ',';
            if (comparison.reference[level.level])
                at = number(at, *comparison.reference[level.level]);
            *at++ = ',';
            if (comparison.ratio[level.level])
                at = number(at, *comparison.ratio[level.level]);
        }
        *at++ = '\r';
        *at++ = '\n';
        out.append(row.constData(), at - row.constData());
    }
}

void ExceedanceWriter::addJson(const ExceedanceAnalysis &analysis, QByteArray &out) const
{
    const ExceedanceTable &table = analysis.table;
    const QByteArray axisName = AxisName(table.axis.axis).toLatin1();
    if (m_added > 0)
        out += ',';
    out += "\n{\"source\":" + JsonString(analysis.period.source);
    out += ",\"hours\":" + NumberText(table.hours);
    out += ",\"axis\":\"" + axisName + '"';
    out += ",\"limitLoads\":";
    if (table.axis.limits)
        out += "{\"positive\":" + NumberText(table.axis.limits->positive)
            + ",\"negative\":" + NumberText(table.axis.limits->negative) + '}';
    else
        out += "null";
    out += ",\"resets\":[";
    for (size_t i = 0; i < analysis.period.combined.resets.size(); ++i)
        out += (i ? "," : "") + JsonString(analysis.period.combined.resets[i].text);
    out += "],\"levels\":[";
    for (const ExceedanceRow &row : table.rows) {
        if (row.level > 0)
            out += ',';
        out += "{\"level\":";
        out += LoadLevels[row.level].text;
        out += ",\"branch\":\"" + branchName(row.branch) + '"';
        out += ",\"axisValue\":" + NumberText(row.axisValue);
        out += ",\"nc\":" + QByteArray::number(row.count);
        out += ",\"perHour\":" + NumberText(row.perHour);
        out += ",\"per1000h\":" + NumberText(row.per1000h);
        out += ",\"log10Per1000h\":" + NumberText(row.log10Per1000h);
        out += ",\"references\":[";
        for (size_t i = 0; i < analysis.comparisons.size(); ++i) {
            out += (i ? ",{\"per1000h\":" : "{\"per1000h\":")
                + NumberText(analysis.comparisons[i].reference[row.level])
                + ",\"ratio\":" + NumberText(analysis.comparisons[i].ratio[row.level]) + '}';
        }
        out += "]}";
    }
    out += "],\"references\":[";
    for (size_t i = 0; i < m_references.size(); ++i) {
        const ReferenceSpectrum &reference = m_references[i];
        const ReferenceComparison &comparison = analysis.comparisons[i];
        const auto level = [](const std::optional<int> &first) {
            return first ? QByteArray(LoadLevels[*first].text) : QByteArrayLiteral("null");
        };
        out += (i ? ",{" : "{");
        out += "\"file\":" + JsonString(reference.fileName);
        out += ",\"name\":" + JsonString(reference.name);
        out += ",\"source\":" + JsonString(reference.source);
        out += ",\"tableOrFigure\":" + JsonString(reference.tableOrFigure);
        out += ",\"page\":" + JsonString(reference.page);
        out += ",\"axis\":\"" + AxisName(reference.axis).toLatin1() + '"';
        out += ",\"firstAbovePositive\":" + level(comparison.firstAbovePositive);
        out += ",\"firstAboveNegative\":" + level(comparison.firstAboveNegative) + '}';
    }
    out += "]}";
}

void ExceedanceWriter::addText(const ExceedanceAnalysis &analysis, QByteArray &out) const
{
    const ExceedanceTable &table = analysis.table;
    if (m_added > 0)
        out += '\n';
    out += QStringLiteral("%1: T = %2 h\n")
               .arg(analysis.period.source, ShortNumber(table.hours))
               .toUtf8();
    QStringList header {QStringLiteral("level"), QStringLiteral("branch"),
        axisColumn(table.axis.axis), QStringLiteral("Nc"), QStringLiteral("per h"),
        QStringLiteral("per 1000 h"), QStringLiteral("log10")};
    for (size_t i = 0; i < analysis.comparisons.size(); ++i)
        header << QStringLiteral("ref %1").arg(i + 1) << QStringLiteral("ratio %1").arg(i + 1);
    QList<QStringList> rows {header};
    for (const ExceedanceRow &row : table.rows) {
        QStringList cells {levelName(row.level), QString::fromLatin1(branchName(row.branch)),
            ShortNumber(row.axisValue), QString::number(row.count), ShortNumber(row.perHour),
            ShortNumber(row.per1000h), textNumber(row.log10Per1000h)};
        for (const ReferenceComparison &comparison : analysis.comparisons)
            cells << textNumber(comparison.reference[row.level])
                  << textNumber(comparison.ratio[row.level]);
        rows << cells;
    }
    AppendAligned(out, rows);
    for (size_t i = 0; i < m_references.size(); ++i)
        out += QStringLiteral("ref %1: %2 (%3, %4, page %5); %6\n")
                   .arg(i + 1)
                   .arg(m_references[i].name, m_references[i].source, m_references[i].tableOrFigure,
                       m_references[i].page, FirstAboveText(analysis.comparisons[i]))
                   .toUtf8();
}

void ExceedanceWriter::add(const ExceedanceAnalysis &analysis, QByteArray &out)
{
    if (m_format == TableFormat::Csv)
        addCsv(analysis, out);
    else if (m_format == TableFormat::Json)
        addJson(analysis, out);
    else
        addText(analysis, out);
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
    const DamageResult &damage, QByteArray &out)
{
    const auto optional = [](const std::optional<double> &value) { return NumberText(value); };
    out += "\n{\"source\":" + JsonString(period.source);
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
    for (const NamedEstimate &named :
        {NamedEstimate {"counted", damage.counted}, NamedEstimate {"upper", damage.upper}}) {
        const DamageEstimate &estimate = named.estimate;
        out += ",\"" + QByteArray(named.name) + "\":";
        if (!estimate.available) {
            out += "{\"available\":false,\"reason\":" + JsonString(estimate.unavailableReason)
                + '}';
            continue;
        }
        const LifeFigures &life = estimate.life;
        out += "{\"available\":true,\"pairing\":" + JsonString(pairingName(named.name))
            + ",\"damage\":" + NumberText(estimate.damage)
            + ",\"damagePer1000h\":" + NumberText(estimate.damagePer1000h) + ",\"lifeUsedPercent\":"
            + NumberText(life.usedPercent) + ",\"hoursLeft\":" + optional(life.hoursLeft)
            + ",\"exhausted\":" + (life.exhausted ? "true" : "false")
            + ",\"equivalentHours\":" + optional(life.equivalentHours)
            + ",\"severity\":" + optional(life.severity) + ",\"cycles\":[";
        for (size_t i = 0; i < estimate.cycles.size(); ++i) {
            const CycleGroup &cycle = estimate.cycles[i];
            out += (i ? ",{" : "{");
            out += "\"valley\":" + NumberText(cycle.valley) + ",\"peak\":" + NumberText(cycle.peak)
                + ",\"count\":" + QByteArray::number(cycle.count)
                + ",\"sa\":" + NumberText(cycle.amplitude) + ",\"sm\":" + NumberText(cycle.mean)
                + ",\"saEq\":" + NumberText(cycle.equivalentAmplitude) + ",\"n\":"
                + optional(cycle.cyclesToFailure) + ",\"damage\":" + NumberText(cycle.damage) + '}';
        }
        out += "]}";
    }
    out += '}';
}

void damageText(const UsagePeriod &period, const DamageParameters &parameters,
    const DamageResult &damage, QByteArray &out)
{
    out += QStringLiteral("%1: T = %2 h\n").arg(period.source, ShortNumber(damage.hours)).toUtf8();
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
    AppendTableText(out, DamageSummaryTable(damage));
    for (const QString &line : unavailable)
        out += line.toUtf8() + '\n';
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
    const DamageResult &damage, TableFormat format, bool first)
{
    QByteArray out;
    switch (format) {
    case TableFormat::Csv:
        AppendTableCsv(out, DamageRowsTable(period, damage), first);
        break;
    case TableFormat::Json:
        out += first ? "[" : ",";
        damageJson(period, parameters, damage, out);
        break;
    case TableFormat::Text:
        if (!first)
            out += '\n';
        damageText(period, parameters, damage, out);
        break;
    }
    return out;
}
