#include "UsageReports.h"

#include "ExceedanceTable.h"
#include "Formulas.h"
#include "Table.h"
#include "TableWriters.h"
#include "UsageTables.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {
QString optionalText(const std::optional<double> &value)
{
    return value ? ShortNumber(*value) : QString();
}
} // namespace

ReportDocument NewReportDocument(const QString &title, const QStringList &subtitle)
{
    ReportDocument document;
    document.title = title;
    document.subtitle = subtitle;
    document.footer
        = QStringLiteral("%1 %2, %3")
              .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
                  QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return document;
}

// The report of data files: what was read, the chart, the table, the damage, the formulas.
ReportDocument FilesReportDocument(const ExceedanceAnalysis &analysis, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const DamageParameters &parameters,
    const std::optional<DamageResult> &damage)
{
    const UsagePeriod &period = analysis.period;
    ReportDocument document = NewReportDocument(QStringLiteral("ZEMRA usage report"), {});
    document.subtitle << QStringLiteral("Read: %1").arg(period.source)
                      << QStringLiteral("Active work time T = %1 h over %2 period(s)%3")
                             .arg(ShortNumber(period.combined.hours))
                             .arg(period.combined.periods.size())
                             .arg(period.combined.resets.empty()
                                     ? QString()
                                     : QStringLiteral(", %1 reset(s) or wrap(s) found in the "
                                                      "running totals")
                                           .arg(period.combined.resets.size()));
    QString axisLine = QStringLiteral("Axis: %1").arg(AxisTitle(axis.axis));
    if (axis.limits)
        axisLine
            += QStringLiteral("; limit load factors %1 / %2 g")
                   .arg(ShortNumber(axis.limits->positive), ShortNumber(axis.limits->negative));
    document.subtitle << axisLine;
    for (const RecorderResetFound &reset : period.combined.resets)
        document.subtitle << reset.text;

    document.blocks << ReportBlock::ofChart(ExceedanceChartOf(analysis, references));
    document.blocks << ReportBlock::heading(QStringLiteral("Exceedances per 1000 h"));
    document.blocks << ExceedanceReportTable(analysis, references);
    document.blocks << ReferenceParagraph(references, &analysis.comparisons);
    if (const QString over = LimitBoundsText(analysis.overLimit); !over.isEmpty())
        document.blocks << ReportBlock::paragraph(over);
    if (damage)
        document.blocks << DamageReportBlocks(parameters, *damage, period.location);
    else
        document.blocks << ReportBlock::paragraph(
            QStringLiteral("Fatigue damage: not computed, no S-N data given (--sigma1, --k, --sd, "
                           "--nd, or --parameters)."));
    QStringList notes = ExceedanceFormulaLines(axis.axis, !references.empty());
    if (damage)
        notes << DamageFormulaLines(parameters);
    notes << QStringLiteral("The recorder counts crossings of 18 fixed levels; it does not "
                            "record how far a peak went beyond a level, nor which valley "
                            "belongs to which peak.");
    document.blocks << ReportBlock::ofNotes(notes);
    return document;
}

QList<ReportBlock> ReferenceParagraph(const std::vector<ReferenceSpectrum> &references,
    const std::vector<ReferenceComparison> *comparisons)
{
    QStringList lines;
    for (size_t i = 0; i < references.size(); ++i)
        lines << QStringLiteral("ref %1: %2 — %3, %4, page %5 (\"%6\")%7.")
                     .arg(i + 1)
                     .arg(references[i].name, references[i].source, references[i].tableOrFigure,
                         references[i].page, references[i].fileName,
                         comparisons ? QStringLiteral("; ") + FirstAboveText((*comparisons)[i])
                                     : QString());
    if (lines.isEmpty())
        return {};
    return {ReportBlock::paragraph(lines.join(QLatin1Char('\n')))};
}

ReportBlock ExceedanceReportTable(
    const ExceedanceAnalysis &analysis, const std::vector<ReferenceSpectrum> &references)
{
    return ReportBlock::ofTable(
        TableForReport(ExceedanceLevelsTable(analysis, references, ExceedanceLayout::Printed)));
}

QList<ReportBlock> DamageReportBlocks(
    const DamageParameters &parameters, const DamageResult &damage, const QString &location)
{
    QList<ReportBlock> blocks;
    blocks << ReportBlock::heading(location.isEmpty()
            ? QStringLiteral("Fatigue damage by Miner's rule")
            : QStringLiteral("Fatigue damage by Miner's rule at the location \"%1\"")
                  .arg(location));
    QString facts = QStringLiteral("Inputs: %1.\nPeaks %2, valleys %3; %4 peaks and %5 valleys "
                                   "pair with the other branch's inner boundary.")
                        .arg(DamageInputsText(parameters))
                        .arg(damage.peaks)
                        .arg(damage.valleys)
                        .arg(damage.unpairedPeaks)
                        .arg(damage.unpairedValleys);
    for (const RaisedLevel &raised : damage.raised)
        facts += QStringLiteral("\nInconsistent counts: %1.").arg(raised.text);
    blocks << ReportBlock::paragraph(facts);
    ReportBlock summary;
    summary.kind = ReportBlock::Table;
    summary.table.header = {QStringLiteral("estimate"), QStringLiteral("D"),
        QStringLiteral("D per 1000 h"), QStringLiteral("life used"), QStringLiteral("hours left"),
        QStringLiteral("equivalent hours"), QStringLiteral("design-life rate")};
    summary.table.rightAligned = {1, 2, 3, 4, 5, 6};
    QStringList remarks;
    for (const auto &[name, estimate] :
        {std::pair<QString, const DamageEstimate *> {QStringLiteral("D_counted"), &damage.counted},
            {QStringLiteral("D_upper"), &damage.upper}}) {
        if (!estimate->available) {
            summary.table.rows << QStringList {name, QStringLiteral("not available")};
            remarks << estimate->unavailableReason;
            continue;
        }
        summary.table.rows << QStringList {name, ShortNumber(estimate->damage),
            ShortNumber(estimate->damagePer1000h),
            ShortNumber(estimate->life.usedPercent) + QStringLiteral(" %"),
            HoursLeftText(estimate->life), optionalText(estimate->life.equivalentHours),
            optionalText(estimate->life.designLifeRate)};
    }
    blocks << summary;
    remarks << Formulas::UpperPairing + QLatin1Char('.')
            << QStringLiteral("D_counted and D_upper: ") + Formulas::DeadBand + QLatin1Char('.');
    blocks << ReportBlock::paragraph(remarks.join(QLatin1Char('\n')));
    return blocks;
}
