#include "FleetTable.h"

#include "DesignTables.h"
#include "HistoryTable.h"
#include "TextFields.h"

#include <algorithm>

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

// The next threshold of each estimate: its percent and date, the counted one's hours to go, or
// why there is none.
QList<TableCell> forecastCells(const std::optional<Forecast> &forecast)
{
    QList<TableCell> cells;
    const ThresholdForecast *next[2] = {nullptr, nullptr};
    QString note = forecast ? QString() : QStringLiteral("no damage figure");
    if (forecast) {
        for (int estimate = 0; estimate < 2; ++estimate) {
            const EstimateForecast &figures = forecast->estimates[size_t(estimate)];
            next[estimate] = figures.available ? NextThreshold(figures) : nullptr;
        }
        const EstimateForecast &counted = forecast->estimates[0];
        note = !counted.available ? counted.reason
            : !next[0]            ? QStringLiteral("every threshold reached")
            : !next[0]->hoursToGo ? QStringLiteral("not reached at a rate of 0")
            : !next[0]->date      ? QStringLiteral("after the year 9999")
                                  : QString();
    }
    const QString percent = QStringLiteral(" %");
    const auto date = [](const ThresholdForecast *threshold) {
        return threshold && threshold->date ? TableCell(*threshold->date) : TableCell::empty(Dash);
    };
    cells << optionalNumber(next[0] ? std::optional(next[0]->percent) : std::nullopt, percent)
          << date(next[0]) << optionalNumber(next[0] ? next[0]->hoursToGo : std::nullopt)
          << optionalNumber(next[1] ? std::optional(next[1]->percent) : std::nullopt, percent)
          << date(next[1]) << optionalText(note);
    return cells;
}

} // namespace

QString LocationsLifeUsedText(const std::vector<LocationLifeUsed> &locations)
{
    QStringList parts;
    for (const LocationLifeUsed &location : locations)
        parts << QStringLiteral("%1 %2").arg(location.location,
            location.lifeUsedPercent ? ShortNumber(*location.lifeUsedPercent) + QStringLiteral(" %")
                                     : QString(Dash));
    return parts.join(QStringLiteral("; "));
}

namespace {
QList<TableColumn> usageColumns(bool fleet, bool since, bool located)
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
            << column("hours left", CellKind::Number, "hours left");
    if (fleet)
        columns << column("status", CellKind::Text, "status").alignedLeft(true)
                << column("status reasons", CellKind::Text).in(files)
                << column("last inspection", CellKind::Date).in(files)
                << column("next threshold percent", CellKind::Number, "next")
                << column("next threshold date", CellKind::Date, "on").alignedLeft(false)
                << column("next threshold hours", CellKind::Number).in(files)
                << column("upper next threshold percent", CellKind::Number).in(files)
                << column("upper next threshold date", CellKind::Date).in(files)
                << column("forecast note", CellKind::Text).in(files);
    columns << column("exhausted", CellKind::Flag).in(files)
            << column("upper life used percent", CellKind::Number).in(files)
            << column("prior hours", CellKind::Number).in(files)
            << column("prior note", CellKind::Text).in(files)
            << column("damage note", CellKind::Text).in(files)
            << column("over limit", CellKind::Text, "over limit +/−").in(ForText)
            << column("over limit positive at least", CellKind::Integer).in(files)
            << column("over limit positive at most", CellKind::Integer).in(files)
            << column("over limit negative at least", CellKind::Integer).in(files)
            << column("over limit negative at most", CellKind::Integer).in(files)
            // The damage figures are at this location, of the largest life used; shown as text
            // only where a type has named locations.
            << column("location", CellKind::Text, "location").in(located ? ForAll : files)
            << column("locations life used", CellKind::Text).in(files);
    return columns;
}

QList<TableCell> usageRow(const AircraftUsage &row, bool fleet)
{
    const UsageFigures &usage = row.usage;
    const SummedDamage *summed = usage.summed ? &*usage.summed : nullptr;
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
          << optionalNumber(summed ? std::optional(summed->damagePer1000h) : std::nullopt)
          << optionalNumber(
                 summed ? std::optional(summed->lifeUsedPercent) : std::nullopt, percent);
    if (fleet)
        cells << optionalNumber(row.lifeUsedToDatePercent, percent);
    cells << optionalNumber(summed ? summed->designLifeRate : std::nullopt);
    const std::optional<Severity> &severity = usage.severity;
    cells << optionalNumber(severity ? severity->counted.value : std::nullopt)
          << optionalNumber(severity ? severity->upper.value : std::nullopt)
          << optionalText(severity ? QStringList(SeverityNotes(*severity)).join(QLatin1Char(' '))
                                   : usage.severityNote);
    if (row.exhausted)
        cells << TableCell::empty(QStringLiteral("exhausted"));
    else
        cells << optionalNumber(row.hoursLeft);
    if (fleet)
        cells << TableCell(CheckStatusName(row.check.status)) << optionalText(row.check.text())
              << (row.check.lastInspection ? TableCell(*row.check.lastInspection)
                                           : TableCell::empty(Dash))
              << forecastCells(row.forecast);
    cells << TableCell(row.exhausted)
          << optionalNumber(summed ? summed->upperLifeUsedPercent : std::nullopt, percent)
          << optionalNumber(summed ? summed->priorHours : std::nullopt)
          << optionalText(row.priorNote) << optionalText(usage.damageNote);
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
    // The location whose figures these are: none without a figure.
    cells << optionalText(summed ? row.aircraft.location : QString())
          << optionalText(LocationsLifeUsedText(row.locations));
    return cells;
}
} // namespace

Table UsageListTable(const UsageListResult &list, bool fleet)
{
    Table table;
    const bool located = std::any_of(list.aircraft.begin(), list.aircraft.end(),
        [](const AircraftUsage &row) { return !row.aircraft.location.isEmpty(); });
    table.columns = usageColumns(fleet, list.since.has_value(), located);
    table.elementNames = LevelNames();
    for (const AircraftUsage &row : list.aircraft)
        table.rows.push_back(usageRow(row, fleet));
    return table;
}
