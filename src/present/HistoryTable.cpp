#include "HistoryTable.h"

#include "CounterRecord.h"
#include "TextFields.h"

namespace {
QList<qint64> countsCell(const LevelCounts &counts)
{
    return QList<qint64>(counts.begin(), counts.end());
}

// Life used over time and the limit-load bounds; the bounds' text columns only when the
// aircraft has limit loads, the files' always.
QList<TableColumn> lifeColumns(bool limits)
{
    const auto column = [](const char *name, CellKind kind, const char *heading = "") {
        return TableColumn(QString::fromLatin1(name), kind, QString::fromUtf8(heading));
    };
    const unsigned files = ForCsv | ForJson;
    QList<TableColumn> columns = {
        column("hours per 30 days", CellKind::Number, "h/30 d"),
        column("damage counted", CellKind::Number, "D"),
        column("damage upper", CellKind::Number, "D upper"),
        column("total damage counted", CellKind::Number).in(files),
        column("total damage upper", CellKind::Number).in(files),
        column("life used counted", CellKind::Number, "life used")
            .withUnit(QStringLiteral("percent")),
        column("life used upper", CellKind::Number, "upper").withUnit(QStringLiteral("percent")),
        column("over limit positive at least", CellKind::Integer).in(files),
        column("over limit positive at most", CellKind::Integer).in(files),
        column("over limit negative at least", CellKind::Integer).in(files),
        column("over limit negative at most", CellKind::Integer).in(files),
    };
    if (limits) {
        columns << column("over limit positive", CellKind::Text, "over n+")
                       .in(ForText)
                       .alignedLeft(false);
        columns << column("over limit negative", CellKind::Text, "over n−")
                       .in(ForText)
                       .alignedLeft(false);
    }
    return columns;
}

TableCell optionalNumber(const std::optional<double> &value)
{
    return value ? TableCell(*value) : TableCell::empty(Dash);
}

TableCell percentCell(const std::optional<double> &value)
{
    if (!value)
        return TableCell::empty(Dash);
    return TableCell(*value, QString::number(*value, 'g', 6) + QStringLiteral(" %"));
}

void addBoundCells(QList<TableCell> &row, const std::optional<LimitBound> &bound)
{
    if (!bound) {
        row << TableCell::empty(Dash) << TableCell::empty(Dash);
        return;
    }
    row << CellValue(qint64(bound->atLeast));
    row << (bound->atMost ? TableCell(qint64(*bound->atMost)) : TableCell::empty(Dash));
}

// The life and limit cells of a period, in the order of lifeColumns, appended to its row.
void appendLifeCells(
    QList<TableCell> &row, const HistoryPeriod &period, const StructuralData &structure)
{
    row << optionalNumber(period.hoursPer30Days);
    const bool damaged = period.damage && period.damage->ok();
    row << optionalNumber(damaged ? std::optional(period.damage->counted) : std::nullopt);
    row << optionalNumber(damaged ? period.damage->upper : std::nullopt);
    const std::optional<DamageSums> &sums = period.totalDamage;
    row << optionalNumber(sums ? std::optional(sums->counted) : std::nullopt);
    row << optionalNumber(sums ? sums->upper : std::nullopt);
    const double sf = structure.damage ? structure.damage->scatterFactor : 0;
    const auto life = [&](const std::optional<double> &damage) {
        return damage ? std::optional(LifeUsedPercent(*damage, sf)) : std::nullopt;
    };
    row << percentCell(life(sums ? std::optional(sums->counted) : std::nullopt));
    row << percentCell(life(sums ? sums->upper : std::nullopt));
    addBoundCells(row, period.overLimit.positive);
    addBoundCells(row, period.overLimit.negative);
    if (structure.limits) {
        row << CellValue(LimitBoundRange(*period.overLimit.positive));
        row << CellValue(LimitBoundRange(*period.overLimit.negative));
    }
}

QList<TableColumn> historyColumns(bool limits)
{
    const auto column = [](const char *name, CellKind kind, const char *heading = "") {
        return TableColumn(QString::fromLatin1(name), kind, QString::fromLatin1(heading));
    };
    const unsigned files = ForCsv | ForJson;
    QList<TableColumn> columns = {
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
    };
    columns << lifeColumns(limits);
    columns << column("counts", CellKind::Counts).ofElements(QStringLiteral("count"));
    columns
        << column("total counts", CellKind::Counts).ofElements(QStringLiteral("total")).in(files);
    columns << column("class", CellKind::Text, "class").alignedLeft(false);
    return columns;
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
    const StructuralData &structure = history.aircraft.structure();
    table.columns = historyColumns(structure.limits.has_value());
    table.elementNames = LevelNames();
    for (const HistoryPeriod &period : history.periods) {
        const QString periodClass = PeriodClass(period);
        // Made at its full size once: a large history has a row per read-out.
        QList<TableCell> row;
        row.reserve(table.columns.size());
        row << CellValue(history.aircraft.registration) << CellValue(period.readout)
            << (period.from.isValid() ? TableCell(period.from) : TableCell::empty(Dash))
            << CellValue(period.taken) << CellValue(period.fileName) << CellValue(period.record)
            << CellValue(period.added) << CellValue(period.addedBy) << CellValue(period.afterReset)
            << CellValue(qint64(period.seconds)) << CellValue(period.hours)
            << CellValue(qint64(period.totalSeconds)) << CellValue(period.totalHours);
        appendLifeCells(row, period, structure);
        row << CellValue(countsCell(period.counts)) << CellValue(countsCell(period.totalCounts))
            << TableCell(
                   periodClass, period.kind == RunningKind::Running ? QString() : periodClass);
        table.rows.push_back(std::move(row));
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
    // Thousands of lines would make the report hundreds of pages; a year a line stays readable.
    if (history.periods.size() > PrintedReadoutsAtMost)
        return PrintedYearlyTable(history);
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

namespace {
// One year of a history's periods, summed.
struct HistoryYear
{
    int year = 0;
    qint64 readouts = 0;
    QDate first;
    QDate last;
    double hours = 0;
    qint64 at3g = 0;
    qint64 atMinus1g = 0;
    const HistoryPeriod *end = nullptr; // the year's last period, for the totals
    double damage = 0; // ΣD of its periods, counted estimate
    bool damaged = true; // every period of it has a damage
};

std::vector<HistoryYear> historyYears(const HistoryResult &history)
{
    static const int at3g = *LevelAt(3.0);
    static const int atMinus1g = *LevelAt(-1.0);
    std::vector<HistoryYear> years;
    for (const HistoryPeriod &period : history.periods) {
        if (years.empty() || years.back().year != period.taken.year())
            years.push_back({period.taken.year(), 0, period.taken});
        HistoryYear &year = years.back();
        ++year.readouts;
        year.last = period.taken;
        year.hours += period.hours;
        year.at3g += period.counts[at3g];
        year.atMinus1g += period.counts[atMinus1g];
        year.end = &period;
        year.damaged = year.damaged && period.damage && period.damage->ok();
        if (year.damaged)
            year.damage += period.damage->counted;
    }
    return years;
}
} // namespace

Table PrintedYearlyTable(const HistoryResult &history)
{
    static const int at3g = *LevelAt(3.0);
    static const int atMinus1g = *LevelAt(-1.0);
    const auto column = [](const char *name, CellKind kind, const QString &heading) {
        return TableColumn(QString::fromLatin1(name), kind, heading).in(ForText);
    };
    Table table;
    table.columns = {column("year", CellKind::Integer, QStringLiteral("year")),
        column("readouts", CellKind::Integer, QStringLiteral("read-outs")),
        column("first", CellKind::Date, QStringLiteral("first taken")),
        column("last", CellKind::Date, QStringLiteral("last taken")),
        column("hours", CellKind::Number, QStringLiteral("hours")),
        column("nc at 3g", CellKind::Integer, QStringLiteral("Nc 3.0 g")),
        column("nc at minus 1g", CellKind::Integer, QStringLiteral("Nc −1.0 g")),
        column("total hours", CellKind::Number, QStringLiteral("total hours")),
        column("total nc at 3g", CellKind::Integer, QStringLiteral("total Nc 3.0 g")),
        column("total nc at minus 1g", CellKind::Integer, QStringLiteral("total Nc −1.0 g")),
        column("damage", CellKind::Number, QStringLiteral("ΣD of the year")),
        column("life used", CellKind::Number, QStringLiteral("life used at its end"))};
    const std::optional<DamageParameters> &damage = history.aircraft.structure().damage;
    for (const HistoryYear &year : historyYears(history)) {
        const HistoryPeriod &end = *year.end;
        const std::optional<DamageSums> &sums = end.totalDamage;
        const std::optional<double> lifeUsed = sums && damage
            ? std::optional(LifeUsedPercent(sums->counted, damage->scatterFactor))
            : std::nullopt;
        table.rows.push_back({TableCell(CellValue(qint64(year.year))),
            TableCell(CellValue(year.readouts)), TableCell(year.first), TableCell(year.last),
            TableCell(CellValue(year.hours)), TableCell(CellValue(year.at3g)),
            TableCell(CellValue(year.atMinus1g)), TableCell(CellValue(end.totalHours)),
            TableCell(CellValue(qint64(end.totalCounts[at3g]))),
            TableCell(CellValue(qint64(end.totalCounts[atMinus1g]))),
            year.damaged && damage ? TableCell(CellValue(year.damage)) : TableCell::empty(Dash),
            lifeUsed ? TableCell(*lifeUsed, ShortNumber(*lifeUsed) + QStringLiteral(" %"))
                     : TableCell::empty(Dash)});
    }
    return table;
}
