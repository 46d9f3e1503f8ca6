#include "DamageTables.h"

#include "TextFields.h"

namespace {
struct NamedEstimate
{
    const char *name;
    const DamageEstimate &estimate;
};

std::vector<NamedEstimate> estimates(const DamageResult &damage)
{
    return {{"counted", damage.counted}, {"upper", damage.upper}};
}

TableCell optional(const std::optional<double> &value)
{
    return value ? TableCell(*value) : TableCell();
}

TableColumn column(const char *name, CellKind kind, const char *heading = "", const char *unit = "")
{
    TableColumn made(QString::fromLatin1(name), kind, QString::fromUtf8(heading));
    made.withUnit(QString::fromLatin1(unit));
    return made;
}

// The cycle group's own cells, from the valley to the damage.
QList<TableCell> cycleCells(const CycleGroup &cycle)
{
    return {TableCell(cycle.valley), TableCell(cycle.peak), TableCell(qint64(cycle.count)),
        TableCell(cycle.amplitude), TableCell(cycle.mean), TableCell(cycle.equivalentAmplitude),
        cycle.cyclesToFailure
            ? TableCell(*cycle.cyclesToFailure, ShortNumber(*cycle.cyclesToFailure))
            : TableCell::empty(QStringLiteral("∞")),
        TableCell(cycle.damage)};
}

QList<TableColumn> cycleColumns()
{
    return {column("valley", CellKind::Number, "valley [g]", "g").alignedLeft(true),
        column("peak", CellKind::Number, "peak [g]", "g"),
        column("count", CellKind::Integer, "count"),
        column("sa", CellKind::Number, "S_a [MPa]", "MPa"),
        column("sm", CellKind::Number, "S_m [MPa]", "MPa"),
        column("sa eq", CellKind::Number, "S_a,eq [MPa]", "MPa"),
        column("n", CellKind::Number, "N", "cycles"), column("damage", CellKind::Number, "damage")};
}
} // namespace

QString HoursLeftText(const LifeFigures &life)
{
    if (life.exhausted)
        return QStringLiteral("exhausted");
    if (!life.hoursLeft)
        return QStringLiteral("none (D = 0)");
    return ShortNumber(*life.hoursLeft) + QStringLiteral(" h");
}

namespace {
// The design's D per 1000 h and the severity of one estimate; none without a design.
QList<TableCell> designCells(const DesignComparison *design, const DamageResult &damage, bool upper)
{
    if (!design)
        return {};
    const DamageEstimate &designed = upper ? design->damage.upper : design->damage.counted;
    const Severity severity = SeverityAgainst(damage, design->damage);
    return {designed.available ? TableCell(designed.damagePer1000h) : TableCell::empty(Dash),
        SeverityCell(upper ? severity.upper : severity.counted),
        TableCell(DesignProvenanceText(design->spectrum))};
}
} // namespace

Table DamageRowsTable(
    const UsagePeriod &period, const DamageResult &damage, const DesignComparison *design)
{
    Table table;
    table.columns << column("source", CellKind::Text) << column("hours", CellKind::Number)
                  << column("estimate", CellKind::Text) << column("row", CellKind::Text);
    table.columns << cycleColumns();
    table.columns << column("damage per 1000h", CellKind::Number)
                  << column("life used percent", CellKind::Number)
                  << column("hours left", CellKind::Number)
                  << column("equivalent hours", CellKind::Number) << DesignLifeRateColumn();
    if (design)
        table.columns << DesignDamageColumn() << SeverityColumn()
                      << column("design spectrum", CellKind::Text).fromOutside();
    table.columns << PeriodOriginColumns();
    QList<TableCell> origin = PeriodOriginCells(period);
    // Named locations only: the columns before keep their places.
    if (!period.location.isEmpty()) {
        table.columns << column("location", CellKind::Text);
        origin << TableCell(period.location);
    }
    const QList<TableCell> none(design ? 8 : 5);
    for (const NamedEstimate &named : estimates(damage)) {
        const DamageEstimate &estimate = named.estimate;
        const QList<TableCell> compared = designCells(design, damage, &estimate == &damage.upper);
        const QList<TableCell> lead {TableCell(period.source), TableCell(damage.hours),
            TableCell(QString::fromLatin1(named.name))};
        if (!estimate.available) {
            // Why not, where the damage would stand.
            table.rows.push_back(lead + QList<TableCell> {TableCell(QStringLiteral("unavailable"))}
                + QList<TableCell>(7) + QList<TableCell> {TableCell(estimate.unavailableReason)}
                + QList<TableCell>(5) + compared + origin);
            continue;
        }
        for (const CycleGroup &cycle : estimate.cycles)
            table.rows.push_back(lead + QList<TableCell> {TableCell(QStringLiteral("cycle"))}
                + cycleCells(cycle) + none + origin);
        const LifeFigures &life = estimate.life;
        table.rows.push_back(lead + QList<TableCell> {TableCell(QStringLiteral("total"))}
            + QList<TableCell>(7)
            + QList<TableCell> {TableCell(estimate.damage), TableCell(estimate.damagePer1000h),
                TableCell(life.usedPercent),
                life.exhausted ? TableCell(QStringLiteral("exhausted")) : optional(life.hoursLeft),
                optional(life.equivalentHours), optional(life.designLifeRate)}
            + compared + origin);
    }
    return table;
}

Table DamageSummaryTable(const DamageResult &damage, const DesignComparison *design)
{
    Table table;
    table.columns << column("estimate", CellKind::Text, "estimate")
                  << column("damage", CellKind::Number, "D")
                  << column("damage per 1000h", CellKind::Number, "D per 1000 h")
                  << column("life used percent", CellKind::Number, "life used")
                  << column("hours left", CellKind::Number, "hours left")
                  << column("equivalent hours", CellKind::Number, "equivalent h")
                  << DesignLifeRateColumn();
    if (design)
        table.columns << DesignDamageColumn() << SeverityColumn();
    for (const NamedEstimate &named : estimates(damage)) {
        const DamageEstimate &estimate = named.estimate;
        const TableCell name(QString::fromLatin1(named.name));
        // The provenance is said once under the table.
        const QList<TableCell> compared
            = designCells(design, damage, &estimate == &damage.upper).mid(0, 2);
        if (!estimate.available) {
            table.rows.push_back(QList<TableCell> {name, TableCell(QStringLiteral("n/a"))}
                + QList<TableCell>(design ? 5 : 0) + compared);
            continue;
        }
        const LifeFigures &life = estimate.life;
        table.rows.push_back(
            QList<TableCell> {name, TableCell(estimate.damage), TableCell(estimate.damagePer1000h),
                TableCell(life.usedPercent, ShortNumber(life.usedPercent) + QStringLiteral(" %")),
                TableCell(
                    life.hoursLeft ? CellValue(*life.hoursLeft) : CellValue(), HoursLeftText(life)),
                optional(life.equivalentHours), optional(life.designLifeRate)}
            + compared);
    }
    return table;
}

Table DamageCycleTable(const DamageEstimate &estimate)
{
    Table table;
    table.columns = cycleColumns();
    for (const CycleGroup &cycle : estimate.cycles)
        table.rows.push_back(cycleCells(cycle));
    return table;
}
