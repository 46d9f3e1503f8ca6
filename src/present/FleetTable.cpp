#include "FleetTable.h"

#include "DesignTables.h"
#include "HistoryTable.h"
#include "TextFields.h"

namespace {
TableCell optionalNumber(const std::optional<double> &value, const QString &suffix = {})
{
    if (!value)
        return TableCell::empty(Dash);
    return TableCell(*value, ShortNumber(*value) + suffix);
}

TableCell optionalText(const QString &text, const QString &people = Dash)
{
    return text.isEmpty() ? TableCell::empty(people) : TableCell(text);
}

TableCell optionalDate(const QDate &date)
{
    return date.isValid() ? TableCell(date) : TableCell::empty(Dash);
}

QList<TableColumn> usageColumns(bool fleet, bool since)
{
    const auto column = [](const char *name, CellKind kind, const char *heading = "") {
        return TableColumn(QString::fromLatin1(name), kind, QString::fromUtf8(heading));
    };
    const unsigned files = ForCsv | ForJson;
    QList<TableColumn> columns;
    if (fleet)
        columns << column("rank", CellKind::Integer, "rank").alignedLeft(true);
    columns << column("registration", CellKind::Text, "registration")
            << column("type", CellKind::Text, "type") << column("combine", CellKind::Text).in(files)
            << column("structure", CellKind::Text).in(files)
            << column("readouts", CellKind::Integer, "read-outs")
            << column("first taken", CellKind::Date).in(files)
            << column("last taken", CellKind::Date, "last taken").alignedLeft(false)
            << column("hours", CellKind::Number, "hours")
            << column("counts", CellKind::Counts).in(ForJson)
            << column("per 1000h at 3g", CellKind::Number, "3.0 g/1000 h")
            << column("per 1000h at minus1g", CellKind::Number, "-1.0 g/1000 h")
            << column("damage per 1000h", CellKind::Number, "D/1000 h")
            << column("life used percent", CellKind::Number, "life used");
    if (fleet)
        columns << column("life used to date percent", CellKind::Number, "to date")
                       .in(since ? ForAll : files);
    columns << column("design life rate", CellKind::Number, "design-life rate")
            << column("severity", CellKind::Number, "severity")
            << column("upper severity", CellKind::Number).in(files)
            << column("severity note", CellKind::Text).in(files)
            << column("hours left", CellKind::Number, "hours left")
            << column("exhausted", CellKind::Flag).in(files)
            << column("upper life used percent", CellKind::Number).in(files)
            << column("damage note", CellKind::Text).in(files)
            << column("over limit", CellKind::Text, "over limit +/−").in(ForText)
            << column("over limit positive at least", CellKind::Integer).in(files)
            << column("over limit positive at most", CellKind::Integer).in(files)
            << column("over limit negative at least", CellKind::Integer).in(files)
            << column("over limit negative at most", CellKind::Integer).in(files);
    return columns;
}

QList<TableCell> usageRow(const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const DamageEstimate *estimate = usage.damage ? &usage.damage->counted : nullptr;
    const DamageEstimate *upper
        = usage.damage && usage.damage->upper.available ? &usage.damage->upper : nullptr;
    const QString percent = QStringLiteral(" %");
    QList<TableCell> cells;
    if (fleet)
        cells << (row.rank ? TableCell(qint64(row.rank)) : TableCell::empty(Dash));
    cells << TableCell(row.aircraft.registration) << optionalText(row.aircraft.type)
          << optionalText(CombineModeName(row.aircraft.mode))
          << TableCell(StructureSourceName(row.aircraft.structureSource()))
          << TableCell(usage.readouts) << optionalDate(usage.firstTaken)
          << optionalDate(usage.lastTaken) << TableCell(usage.hours)
          << TableCell(QList<qint64>(usage.counts.begin(), usage.counts.end()))
          << optionalNumber(usage.per1000hAt3g) << optionalNumber(usage.per1000hAtMinus1g)
          << optionalNumber(estimate ? std::optional(estimate->damagePer1000h) : std::nullopt)
          << optionalNumber(
                 estimate ? std::optional(estimate->life.usedPercent) : std::nullopt, percent);
    if (fleet)
        cells << optionalNumber(row.lifeUsedToDatePercent, percent);
    cells << optionalNumber(estimate ? estimate->life.designLifeRate : std::nullopt);
    const std::optional<Severity> &severity = usage.severity;
    cells << optionalNumber(severity ? severity->counted.value : std::nullopt)
          << optionalNumber(severity ? severity->upper.value : std::nullopt)
          << optionalText(severity ? QStringList(SeverityNotes(*severity)).join(QLatin1Char(' '))
                                   : usage.severityNote);
    if (row.exhausted)
        cells << TableCell::empty(QStringLiteral("exhausted"));
    else
        cells << optionalNumber(row.hoursLeft);
    cells << TableCell(row.exhausted)
          << optionalNumber(upper ? std::optional(upper->life.usedPercent) : std::nullopt)
          << optionalText(usage.damageNote);
    const LimitBounds &over = usage.overLimit;
    if (over.positive && over.negative)
        cells << TableCell(LimitBoundRange(*over.positive) + QStringLiteral(" / ")
            + LimitBoundRange(*over.negative));
    else
        cells << TableCell::empty(Dash);
    for (const std::optional<LimitBound> &bound : {over.positive, over.negative}) {
        cells << (bound ? TableCell(qint64(bound->atLeast)) : TableCell::empty(Dash));
        cells << (bound && bound->atMost ? TableCell(qint64(*bound->atMost))
                                         : TableCell::empty(Dash));
    }
    return cells;
}
} // namespace

Table UsageListTable(const UsageListResult &list, bool fleet)
{
    Table table;
    table.columns = usageColumns(fleet, list.since.has_value());
    table.elementNames = LevelNames();
    for (const AircraftUsage &row : list.aircraft)
        table.rows.push_back(usageRow(row, fleet));
    return table;
}
