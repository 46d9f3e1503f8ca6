#include "ExceedanceTable.h"

#include "Branches.h"
#include "HistoryTable.h"

namespace {
QString axisHeading(Axis axis, ExceedanceLayout layout)
{
    if (layout == ExceedanceLayout::Printed)
        return AxisTitle(axis);
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

TableCell optionalCell(const std::optional<double> &value)
{
    return value ? TableCell(*value) : TableCell();
}
} // namespace

Table ExceedanceColumns(
    Axis axis, const std::vector<ReferenceSpectrum> &references, ExceedanceLayout layout)
{
    const bool printed = layout == ExceedanceLayout::Printed;
    const auto text = [](const char *words) { return QString::fromLatin1(words); };
    const auto column = [&](const char *name, CellKind kind, const QString &heading) {
        return TableColumn(text(name), kind, heading);
    };
    Table table;
    table.columns = {
        column("source", CellKind::Text, {}).in(ForCsv),
        column("hours", CellKind::Number, {}).in(ForCsv),
        column("level", CellKind::Decimal, printed ? text("level [g]") : text("level"))
            .withUnit(text("g"))
            .alignedLeft(true),
        column("branch", CellKind::Text, text("branch"))
            .alignedLeft(false)
            .in(printed ? ForCsv | ForJson : ForAll),
        column("axis", CellKind::Text, {}).in(ForCsv),
        column("axis value", CellKind::Number, axisHeading(axis, layout)),
        column("nc", CellKind::Integer, text("Nc")),
        column("per hour", CellKind::Number, text("per h")),
        column("per 1000h", CellKind::Number, text("per 1000 h")),
        column("log10 per 1000h", CellKind::Number,
            printed ? QStringLiteral("log₁₀ per 1000 h") : text("log10")),
    };
    table.groups = {QStringLiteral("references")};
    for (int i = 0; i < int(references.size()); ++i) {
        const QString &name = references[size_t(i)].name;
        const QString number = QString::number(i + 1);
        table.add(column("per 1000h", CellKind::Number,
            (printed ? text("ref %1 per 1000 h") : text("ref %1")).arg(number))
                      .keyedInCsv(name + QStringLiteral(": reference per_1000h"))
                      .inGroup(0, i));
        table.add(column("ratio", CellKind::Number, text("ratio %1").arg(number))
                      .keyedInCsv(name + QStringLiteral(": ratio"))
                      .inGroup(0, i));
    }
    return table;
}

Table ExceedanceLevelsTable(const ExceedanceAnalysis &analysis,
    const std::vector<ReferenceSpectrum> &references, ExceedanceLayout layout)
{
    const ExceedanceTable &levels = analysis.table;
    Table table = ExceedanceColumns(levels.axis.axis, references, layout);
    static const QStringList levelNames = LevelNames();
    static const QString branchNames[] = {QStringLiteral("positive"), QStringLiteral("negative")};
    const QString axisName = AxisName(levels.axis.axis);
    const auto addRow = [&](const ExceedanceRow &row) {
        QList<TableCell> cells;
        cells.reserve(table.columns.size());
        cells << TableCell(analysis.period.source) << TableCell(levels.hours)
              << TableCell(levelNames[row.level])
              << TableCell(branchNames[row.branch == Branch::Positive ? 0 : 1])
              << TableCell(axisName) << TableCell(row.axisValue) << TableCell(qint64(row.count))
              << TableCell(row.perHour) << TableCell(row.per1000h)
              << optionalCell(row.log10Per1000h);
        for (const ReferenceComparison &comparison : analysis.comparisons)
            cells << optionalCell(comparison.reference[row.level])
                  << optionalCell(comparison.ratio[row.level]);
        table.rows.push_back(std::move(cells));
    };
    table.rows.reserve(levels.rows.size());
    if (layout == ExceedanceLayout::Stream) {
        for (const ExceedanceRow &row : levels.rows)
            addRow(row);
        return table;
    }
    for (const Branch branch : {Branch::Positive, Branch::Negative}) {
        for (const int level : OutwardLevels(branch))
            addRow(levels.rows[level]);
    }
    return table;
}
