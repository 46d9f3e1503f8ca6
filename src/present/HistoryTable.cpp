#include "HistoryTable.h"

#include "CounterRecord.h"

namespace {
QList<qint64> countsCell(const LevelCounts &counts)
{
    return QList<qint64>(counts.begin(), counts.end());
}

QList<TableColumn> historyColumns()
{
    const auto column = [](const char *name, CellKind kind, const char *heading = "") {
        return TableColumn(QString::fromLatin1(name), kind, QString::fromLatin1(heading));
    };
    const unsigned files = ForCsv | ForJson;
    return {
        column("registration", CellKind::Text).in(ForCsv),
        column("readout", CellKind::Integer, "read-out").alignedLeft(true),
        column("from", CellKind::Date, "from"),
        column("taken", CellKind::Date, "taken"),
        column("file", CellKind::Text, "file"),
        column("record", CellKind::Integer, "record"),
        column("added", CellKind::Text).in(files),
        column("added by", CellKind::Text).in(files).fromOutside(),
        column("reset", CellKind::Flag).in(files),
        column("seconds", CellKind::Integer).in(files),
        column("hours", CellKind::Number, "hours"),
        column("total seconds", CellKind::Integer).in(files),
        column("total hours", CellKind::Number, "total h"),
        column("counts", CellKind::Counts).ofElements(QStringLiteral("count")),
        column("total counts", CellKind::Counts).ofElements(QStringLiteral("total")).in(files),
        column("class", CellKind::Text).alignedLeft(false),
    };
}
} // namespace

QString PeriodClass(const HistoryPeriod &period)
{
    if (period.kind == RunningKind::Reset && period.declaredReset)
        return QStringLiteral("declared reset");
    return RunningKindName(period.kind);
}

QStringList LevelNames()
{
    QStringList names;
    for (const LoadLevel &level : LoadLevels)
        names << QString::fromLatin1(level.text);
    return names;
}

Table HistoryTable(const HistoryResult &history)
{
    Table table;
    table.columns = historyColumns();
    table.elementNames = LevelNames();
    for (const HistoryPeriod &period : history.periods) {
        const QString periodClass = PeriodClass(period);
        table.rows.push_back({
            CellValue(history.aircraft.registration),
            CellValue(period.readout),
            period.from.isValid() ? TableCell(period.from) : TableCell::empty(Dash),
            CellValue(period.taken),
            CellValue(period.fileName),
            CellValue(period.record),
            CellValue(period.added),
            CellValue(period.addedBy),
            CellValue(period.afterReset),
            CellValue(qint64(period.seconds)),
            CellValue(period.hours),
            CellValue(qint64(period.totalSeconds)),
            CellValue(period.totalHours),
            CellValue(countsCell(period.counts)),
            CellValue(countsCell(period.totalCounts)),
            TableCell(periodClass, period.kind == RunningKind::Running ? QString() : periodClass),
        });
    }
    QList<TableCell> total(table.columns.size());
    total[table.columnNamed(QStringLiteral("readout"))] = TableCell(QStringLiteral("total"));
    total[table.columnNamed(QStringLiteral("hours"))] = TableCell(history.usage.hours);
    total[table.columnNamed(QStringLiteral("counts"))]
        = TableCell(countsCell(history.usage.counts));
    table.footer.push_back(total);
    return table;
}

Table PrintedHistoryTable(const HistoryResult &history)
{
    static const int at3g = *LevelAt(3.0);
    static const int atMinus1g = *LevelAt(-1.0);
    const auto column = [](const char *name, CellKind kind, const QString &heading) {
        return TableColumn(QString::fromLatin1(name), kind, heading).in(ForText);
    };
    Table table;
    table.columns = {
        column("readout", CellKind::Integer, QStringLiteral("read-out")),
        column("from", CellKind::Date, QStringLiteral("from")),
        column("taken", CellKind::Date, QStringLiteral("taken")),
        column("source", CellKind::Text, QStringLiteral("file, record")),
        column("hours", CellKind::Number, QStringLiteral("hours")),
        column("nc at 3g", CellKind::Integer, QStringLiteral("Nc 3.0 g")),
        column("nc at minus 1g", CellKind::Integer, QStringLiteral("Nc −1.0 g")),
        column("total hours", CellKind::Number, QStringLiteral("total hours")),
        column("total nc at 3g", CellKind::Integer, QStringLiteral("total Nc 3.0 g")),
        column("total nc at minus 1g", CellKind::Integer, QStringLiteral("total Nc −1.0 g")),
    };
    for (const HistoryPeriod &period : history.periods) {
        QString source = QStringLiteral("%1, %2").arg(period.fileName).arg(period.record);
        if (period.afterReset)
            source += QStringLiteral(" (reset)");
        table.rows.push_back({
            CellValue(period.readout),
            period.from.isValid() ? TableCell(period.from) : TableCell::empty(Dash),
            period.taken.isValid() ? TableCell(period.taken) : TableCell::empty(Dash),
            CellValue(source),
            CellValue(period.hours),
            CellValue(qint64(period.counts[at3g])),
            CellValue(qint64(period.counts[atMinus1g])),
            CellValue(period.totalHours),
            CellValue(qint64(period.totalCounts[at3g])),
            CellValue(qint64(period.totalCounts[atMinus1g])),
        });
    }
    return table;
}
