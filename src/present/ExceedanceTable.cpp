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

// A refilled row mostly holds the same strings (the level, the branch): left as they are, they
// cost no reference counting.
[[gnu::always_inline]] inline void assignText(TableCell &cell, const QString &text)
{
    const auto *held = std::get_if<QString>(&cell.value);
    if (!held || held->constData() != text.constData() || held->size() != text.size())
        cell.value = text;
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
        column("source", CellKind::Text, {}).in(ForCsv).repeatingDown(),
        column("hours", CellKind::Number, {}).in(ForCsv).repeatingDown(),
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
    for (TableColumn &origin : PeriodOriginColumns())
        table.add(std::move(origin));
    return table;
}

void FillExceedanceRows(Table &table, const ExceedanceAnalysis &analysis, ExceedanceLayout layout)
{
    static const QStringList levelNames = LevelNames();
    static const QString branchNames[] = {QStringLiteral("positive"), QStringLiteral("negative")};
    const ExceedanceTable &levels = analysis.table;
    // Made once, so that every row holds the same string and its bytes are kept.
    static const QString axisNames[]
        = {AxisName(Axis::LoadFactor), AxisName(Axis::Increment), AxisName(Axis::Fraction)};
    const QString &axisName = axisNames[int(levels.axis.axis)];
    const auto optional = [](const std::optional<double> &value) {
        return value ? CellValue(*value) : CellValue();
    };
    const qsizetype width = table.columns.size();
    const qsizetype origin = width - PeriodOriginColumnCount;
    table.rows.resize(levels.rows.size());
    // The cells are assigned where they stand, so that a table refilled for each record of a
    // long file allocates nothing new.
    size_t at = 0;
    const auto fill = [&](const ExceedanceRow &row) {
        QList<TableCell> &cells = table.rows[at++];
        cells.resize(width);
        // In the order of ExceedanceColumns; no people's text is ever set here.
        TableCell *cell = cells.data();
        // The source and hours once, in the first row; the rows below repeat them.
        if (at == 1) {
            assignText(cell[0], analysis.period.source);
            cell[1].value = levels.hours;
            AssignPeriodOrigin(cell + origin, analysis.period);
        } else {
            cell[0].value = std::monostate();
            cell[1].value = std::monostate();
            for (qsizetype i = 0; i < PeriodOriginColumnCount; ++i)
                cell[origin + i].value = std::monostate();
        }
        assignText(cell[2], levelNames[row.level]);
        assignText(cell[3], branchNames[row.branch == Branch::Positive ? 0 : 1]);
        assignText(cell[4], axisName);
        cell[5].value = row.axisValue;
        cell[6].value = qint64(row.count);
        cell[7].value = row.perHour;
        cell[8].value = row.per1000h;
        cell[9].value = optional(row.log10Per1000h);
        qsizetype next = 10;
        for (const ReferenceComparison &comparison : analysis.comparisons) {
            if (next + 1 >= origin)
                break;
            cell[next++].value = optional(comparison.reference[row.level]);
            cell[next++].value = optional(comparison.ratio[row.level]);
        }
    };
    if (layout == ExceedanceLayout::Stream) {
        for (const ExceedanceRow &row : levels.rows)
            fill(row);
        return;
    }
    for (const Branch branch : {Branch::Positive, Branch::Negative}) {
        for (const int level : OutwardLevels(branch))
            fill(levels.rows[level]);
    }
}

Table ExceedanceLevelsTable(const ExceedanceAnalysis &analysis,
    const std::vector<ReferenceSpectrum> &references, ExceedanceLayout layout)
{
    Table table = ExceedanceColumns(analysis.table.axis.axis, references, layout);
    FillExceedanceRows(table, analysis, layout);
    return table;
}

Table ReferenceComparisonTable(const std::vector<ReferenceSpectrum> &references)
{
    Table table;
    for (const char *name : {"file", "name", "source", "table or figure", "page", "axis"})
        table.add(TableColumn(QString::fromLatin1(name), CellKind::Text));
    for (const char *name : {"first above positive", "first above negative"})
        table.add(TableColumn(QString::fromLatin1(name), CellKind::Decimal));
    for (const ReferenceSpectrum &reference : references)
        table.rows.push_back({CellValue(reference.fileName), CellValue(reference.name),
            CellValue(reference.source), CellValue(reference.tableOrFigure),
            CellValue(reference.page), CellValue(AxisName(reference.axis)), {}, {}});
    return table;
}

void FillFirstAbove(Table &table, const std::vector<ReferenceComparison> &comparisons)
{
    static const QStringList levelNames = LevelNames();
    const auto level = [](const std::optional<int> &first) {
        return first ? CellValue(levelNames[*first]) : CellValue();
    };
    for (size_t i = 0; i < table.rows.size() && i < comparisons.size(); ++i) {
        table.rows[i][6].value = level(comparisons[i].firstAbovePositive);
        table.rows[i][7].value = level(comparisons[i].firstAboveNegative);
    }
}
