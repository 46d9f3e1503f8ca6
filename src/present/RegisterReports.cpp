#include "ExceedanceChart.h"
#include "FleetTable.h"
#include "ForecastOutput.h"
#include "Formulas.h"
#include "HistoryTable.h"
#include "Table.h"
#include "TableWriters.h"
#include "TextFields.h"
#include "UsageReports.h"

namespace {
QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : Dash;
}
} // namespace

DocumentResult AircraftReportDocument(Register &reg, const QString &registration,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references)
{
    const HistoryResult history = reg.history(registration);
    if (!history.ok())
        return failed<DocumentResult>(history);
    const AircraftInfo &aircraft = history.aircraft;
    const UsageFigures &usage = history.usage;
    UsagePeriod period {
        QStringLiteral("%1, %2 read-out(s)").arg(aircraft.registration).arg(usage.readouts),
        CombinedOf(usage)};
    if (!period.combined.ok())
        return failed<DocumentResult>(Result(period.combined.failure(),
            QStringLiteral("%1: %2").arg(aircraft.registration, period.combined.message())));
    // The aircraft's own limit loads stand where none are given: the chart draws them.
    AxisChoice own = axis;
    if (!own.limits)
        own.limits = aircraft.structure().limits;
    const ExceedanceAnalysis analysis = AnalyseExceedances(period, own, references);
    if (!analysis.table.ok())
        return failed<DocumentResult>(analysis.table);

    DocumentResult result;
    ReportDocument &document = result.document;
    document = NewReportDocument(
        QStringLiteral("ZEMRA usage report: %1").arg(aircraft.registration),
        {QStringLiteral("Aircraft %1%2; read-outs %3 (%4) from %5 to %6")
                .arg(aircraft.registration,
                    aircraft.type.isEmpty() ? QString() : QStringLiteral(", type ") + aircraft.type)
                .arg(usage.readouts)
                .arg(CombineModeName(aircraft.mode), dateText(usage.firstTaken),
                    dateText(usage.lastTaken)),
            QStringLiteral("Active work time T = %1 h; register %2")
                .arg(ShortNumber(usage.hours), reg.location().text),
            QStringLiteral("Axis: %1").arg(AxisTitle(axis.axis))});
    ForecastInput input = ForecastInputOf(history);
    const Forecast forecast = ComputeForecast(input);
    document.blocks << ReportBlock::heading(QStringLiteral("Summary"))
                    << ReportBlock::paragraph(
                           HistorySummaryLines(history, forecast).join(QLatin1Char('\n')));
    document.blocks << ReportBlock::ofChart(ExceedanceChartOf(analysis, references));
    document.blocks << ReportBlock::heading(QStringLiteral("History"))
                    << ReportBlock::ofTable(TableForReport(PrintedHistoryTable(history)))
                    << ReportBlock::heading(QStringLiteral("Exceedances per 1000 h, whole history"))
                    << ExceedanceReportTable(analysis, references);
    QStringList notes = ExceedanceFormulaLines(axis.axis, !references.empty());
    const std::optional<DamageParameters> &damage = aircraft.structure().damage;
    if (usage.damage && damage) {
        document.blocks << DamageReportBlocks(*damage, *usage.damage);
        notes << DamageFormulaLines(*damage);
        if (usage.severity)
            notes << DesignFormulaLines();
    } else {
        document.blocks << ReportBlock::paragraph(
            QStringLiteral("Fatigue damage: %1").arg(usage.damageNote));
    }
    document.blocks << ReportBlock::ofNotes(notes);
    return result;
}

DocumentResult FleetReportDocument(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references)
{
    const UsageListResult fleet = reg.fleet(since);
    if (!fleet.ok())
        return failed<DocumentResult>(fleet);
    ExceedanceChartData chart;
    chart.axisTitle = AxisTitle(axis.axis);
    chart.valueTitle = QStringLiteral("Exceedances per 1000 h");
    chart.caption = QStringLiteral("%1 aircraft%2")
                        .arg(fleet.aircraft.size())
                        .arg(since ? QStringLiteral(", read-outs since %1").arg(dateText(*since))
                                   : QString());
    // Aircraft without hours have no exceedances to draw.
    for (const AircraftUsage &row : fleet.aircraft) {
        const UsagePeriod period {row.aircraft.registration, CombinedOf(row.usage)};
        if (!period.combined.ok())
            continue;
        const ExceedanceAnalysis analysis = AnalyseExceedances(period, axis, {});
        if (!analysis.table.ok())
            continue;
        ExceedanceSeries series = ExceedanceChartOf(analysis, {}).series.first();
        series.label = row.aircraft.registration;
        chart.series << series;
    }
    chart.series << ReferenceSeries(references, axis);
    chart.limitLines = LimitLines(axis);
    DocumentResult result;
    ReportDocument &document = result.document;
    document = NewReportDocument(QStringLiteral("ZEMRA fleet report"),
        {QStringLiteral("%1 aircraft ranked by life used (counted estimate), then damage per "
                        "1000 h%2")
                .arg(fleet.aircraft.size())
                .arg(since ? QStringLiteral("; read-outs taken since %1").arg(dateText(*since))
                           : QString()),
            QStringLiteral("Register %1").arg(reg.location().text)});
    document.blocks << ReportBlock::ofChart(chart);
    document.blocks << ReferenceParagraph(references, nullptr);
    document.blocks << ReportBlock::ofTable(TableForReport(UsageListTable(fleet, true)));
    QStringList notes {QStringLiteral("Aircraft without S-N data or without hours are listed after "
                                      "the ranked ones, by registration."),
        Formulas::Per1000h, Formulas::Miner, Formulas::DamagePer1000h, Formulas::LifeUsed,
        Formulas::DesignLifeRate, Formulas::Severity,
        QStringLiteral("hours left = (1/SF − D of the whole history) · T / D at the rate of the "
                       "read-outs shown")};
    document.blocks << ReportBlock::ofNotes(notes);
    return result;
}
