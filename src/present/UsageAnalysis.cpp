#include "UsageAnalysis.h"

#include "TextFields.h"

#include <functional>
#include <utility>

namespace {
QList<QPointF> branchPoints(const ExceedanceTable &table, Branch branch,
    const std::function<std::optional<double>(int level)> &value)
{
    QList<QPointF> points;
    for (const int level : OutwardLevels(branch)) {
        if (const std::optional<double> y = value(level))
            points << QPointF(table.rows[level].axisValue, *y);
    }
    return points;
}
} // namespace

ExceedanceAnalysis AnalyseExceedances(const UsagePeriod &period, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references)
{
    ExceedanceAnalysis analysis {
        period, ComputeExceedances(period.combined.counts, period.combined.hours, axis), {}, {}};
    if (analysis.table.ok())
        analysis.comparisons = CompareWithReferences(analysis.table, references);
    analysis.overLimit = BoundLimitExceedances(LevelCounts {}, axis.limits);
    for (const CombinedPeriod &combined : period.combined.periods)
        analysis.overLimit.add(BoundLimitExceedances(combined.counts, axis.limits));
    return analysis;
}

QList<ExceedanceSeries> ReferenceSeries(
    const std::vector<ReferenceSpectrum> &references, const AxisChoice &axis)
{
    QList<ExceedanceSeries> list;
    for (const ReferenceSpectrum &reference : references) {
        ExceedanceSeries series;
        series.label = reference.name;
        // The reference's own points, on the chart's axis.
        for (const Branch branch : {Branch::Positive, Branch::Negative}) {
            QList<QPointF> &points = branch == Branch::Positive ? series.positive : series.negative;
            for (const ReferencePoint &point : reference.branch(branch)) {
                const double n = LoadFactorAt(
                    point.axisValue, branch, AxisChoice {reference.axis, axis.limits});
                points << QPointF(AxisValue(n, branch, axis), point.per1000h);
            }
        }
        list << series;
    }
    return list;
}

QList<ChartLimitLine> LimitLines(const AxisChoice &axis)
{
    if (!axis.limits)
        return {};
    // On the fraction axis both limits lie at 1, and one line names both.
    const double positive = AxisValue(axis.limits->positive, Branch::Positive, axis);
    const double negative = AxisValue(axis.limits->negative, Branch::Negative, axis);
    const QString positiveLabel
        = QStringLiteral("n_LL+ %1 g").arg(ShortNumber(axis.limits->positive));
    const QString negativeLabel
        = QStringLiteral("n_LL− %1 g").arg(ShortNumber(axis.limits->negative));
    if (positive == negative)
        return {{positive, positiveLabel + QStringLiteral(", ") + negativeLabel}};
    return {{positive, positiveLabel}, {negative, negativeLabel}};
}

ExceedanceChartData ExceedanceChartOf(
    const ExceedanceAnalysis &analysis, const std::vector<ReferenceSpectrum> &references)
{
    const ExceedanceTable &table = analysis.table;
    ExceedanceChartData data;
    data.axisTitle = AxisTitle(table.axis.axis);
    data.valueTitle = QStringLiteral("Exceedances per 1000 h");
    data.caption
        = QStringLiteral("%1, T = %2 h").arg(analysis.period.source, ShortNumber(table.hours));
    ExceedanceSeries measured;
    measured.label = QStringLiteral("measured");
    measured.measured = true;
    const auto per1000h = [&table](int level) -> std::optional<double> {
        if (table.rows[level].count <= 0)
            return std::nullopt;
        return table.rows[level].per1000h;
    };
    measured.positive = branchPoints(table, Branch::Positive, per1000h);
    measured.negative = branchPoints(table, Branch::Negative, per1000h);
    data.series << measured;
    data.series << ReferenceSeries(references, table.axis);
    data.limitLines = LimitLines(table.axis);
    return data;
}

QList<TableColumn> PeriodOriginColumns()
{
    QList<TableColumn> columns;
    for (const auto &[name, kind] :
        {std::pair {"file", CellKind::Text}, std::pair {"first record", CellKind::Integer},
            std::pair {"last record", CellKind::Integer}, std::pair {"aircraft", CellKind::Text}})
        columns << TableColumn(QString::fromLatin1(name), kind, {}).in(ForCsv).repeatingDown();
    return columns;
}

void AssignPeriodOrigin(TableCell *cells, const UsagePeriod &period)
{
    const auto text
        = [](const QString &value) { return value.isEmpty() ? CellValue() : CellValue(value); };
    const auto record = [](qint64 number) { return number > 0 ? CellValue(number) : CellValue(); };
    cells[0].value = text(period.file);
    cells[1].value = record(period.firstRecord);
    cells[2].value = record(period.lastRecord);
    cells[3].value = text(period.aircraft);
}

QList<TableCell> PeriodOriginCells(const UsagePeriod &period)
{
    QList<TableCell> cells(PeriodOriginColumnCount);
    AssignPeriodOrigin(cells.data(), period);
    return cells;
}
