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
