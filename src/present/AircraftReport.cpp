#include "ForecastOutput.h"
#include "Formulas.h"
#include "HistoryTable.h"
#include "HistoryWindow.h"
#include "TableWriters.h"
#include "TextFields.h"
#include "UsageReports.h"

namespace {
QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : Dash;
}

// The history as the report shows it: the read-outs in the window, each with its sums to date.
HistoryResult shownHistory(const HistoryResult &history, const ReportWindow &window)
{
    HistoryResult shown = history;
    std::erase_if(shown.periods,
        [&window](const HistoryPeriod &period) { return !window.holds(period.taken); });
    return shown;
}

// What the chart and the tables count: the whole history, or the window's read-outs summed.
UsagePeriod shownPeriod(const HistoryResult &history, const ReportWindow &window)
{
    const AircraftInfo &aircraft = history.aircraft;
    if (window.given())
        return HistoryWindowPeriod(history, window.since, window.until);
    UsagePeriod period {
        QStringLiteral("%1, %2 read-out(s)").arg(aircraft.registration).arg(history.usage.readouts),
        CombinedOf(history.usage)};
    if (!period.combined.ok())
        period.combined.setFailure(period.combined.failure(),
            QStringLiteral("%1: %2").arg(aircraft.registration, period.combined.message()));
    return period;
}

QStringList subtitle(const HistoryResult &history, const HistoryResult &shown,
    const UsagePeriod &period, const QString &registerText, Axis axis)
{
    const AircraftInfo &aircraft = history.aircraft;
    const QDate first = shown.periods.empty() ? QDate() : shown.periods.front().taken;
    const QDate last = shown.periods.empty() ? QDate() : shown.periods.back().taken;
    return {QStringLiteral("Aircraft %1%2; read-outs %3 (%4) from %5 to %6")
                .arg(aircraft.registration,
                    aircraft.type.isEmpty() ? QString() : QStringLiteral(", type ") + aircraft.type)
                .arg(shown.periods.size())
                .arg(CombineModeName(aircraft.mode), dateText(first), dateText(last)),
        QStringLiteral("Active work time T = %1 h; register %2")
            .arg(ShortNumber(period.combined.hours), registerText),
        QStringLiteral("Axis: %1").arg(AxisTitle(axis))};
}

// The damage of what is shown: the whole history's, or that of the window's summed counts.
QList<ReportBlock> damageBlocks(const HistoryResult &history, const UsagePeriod &period,
    const ReportWindow &window, QStringList &notes)
{
    const UsageFigures &usage = history.usage;
    const std::optional<DamageParameters> &parameters = history.aircraft.structure().damage;
    std::optional<DamageResult> damage = usage.damage;
    if (parameters && window.given())
        damage = ComputeDamage(period.combined.counts, period.combined.hours, *parameters);
    if (!parameters || !damage)
        return {ReportBlock::paragraph(QStringLiteral("Fatigue damage: %1").arg(usage.damageNote))};
    if (!damage->ok())
        return {ReportBlock::paragraph(
            QStringLiteral("Fatigue damage: none, %1").arg(damage->message()))};
    notes << DamageFormulaLines(*parameters);
    if (usage.severity)
        notes << DesignFormulaLines();
    return DamageReportBlocks(*parameters, *damage, history.aircraft.location);
}
} // namespace

namespace {
QStringList standingLines(const FleetStanding &standing)
{
    const AircraftCheck &check = standing.check;
    return {
        QStringLiteral("Status on %1: %2%3")
            .arg(dateText(standing.day), CheckStatusName(check.status),
                check.findings.empty() ? QStringLiteral(".") : QStringLiteral(": ") + check.text()),
        standing.rank > 0 ? QStringLiteral("Rank in the fleet by life used (counted estimate): %1 "
                                           "of %2.")
                                .arg(standing.rank)
                                .arg(standing.ranked)
                          : QStringLiteral("Not ranked in the fleet: no damage figure.")};
}
} // namespace

bool ReportWindow::holds(const QDate &taken) const
{
    return !(since && taken < *since) && !(until && taken > *until);
}

DocumentResult AircraftReportDocument(Register &reg, const QString &registration,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &location)
{
    const HistoryResult history = reg.history(registration, location);
    if (!history.ok())
        return failed<DocumentResult>(history);
    const QDate today = QDate::currentDate();
    const UsageListResult fleet = reg.fleet(std::nullopt, 365, today);
    if (!fleet.ok())
        return failed<DocumentResult>(fleet);
    return AircraftReportDocument(history, reg.location().text, window, axis, references,
        StandingOf(fleet, history.aircraft.registration, today));
}

std::optional<FleetStanding> StandingOf(
    const UsageListResult &fleet, const QString &registration, const QDate &day)
{
    std::optional<FleetStanding> standing;
    int ranked = 0;
    for (const AircraftUsage &row : fleet.aircraft) {
        ranked += row.rank > 0 ? 1 : 0;
        if (row.aircraft.registration == registration)
            standing = FleetStanding {row.rank, 0, row.check, day};
    }
    if (standing)
        standing->ranked = ranked;
    return standing;
}

DocumentResult AircraftReportDocument(const HistoryResult &history, const QString &registerText,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const std::optional<FleetStanding> &standing)
{
    const AircraftInfo &aircraft = history.aircraft;
    const UsagePeriod period = shownPeriod(history, window);
    if (!period.combined.ok())
        return failed<DocumentResult>(period.combined);
    // The aircraft's own limit loads stand where none are given: the chart draws them.
    AxisChoice own = axis;
    if (!own.limits)
        own.limits = aircraft.structure().limits;
    const ExceedanceAnalysis analysis = AnalyseExceedances(period, own, references);
    if (!analysis.table.ok())
        return failed<DocumentResult>(analysis.table);
    const HistoryResult shown = shownHistory(history, window);

    DocumentResult result;
    ReportDocument &document = result.document;
    document
        = NewReportDocument(QStringLiteral("ZEMRA usage report: %1").arg(aircraft.registration),
            subtitle(history, shown, period, registerText, axis.axis));
    // The summary is of the life used to date, whatever the window.
    QStringList summary = HistorySummaryLines(history, ComputeForecast(ForecastInputOf(history)));
    if (standing)
        summary << standingLines(*standing);
    if (window.given())
        summary.prepend(QStringLiteral("Life used to date, of all %1 read-out(s); the history, "
                                       "chart and tables below: the %2 taken %3.")
                            .arg(history.periods.size())
                            .arg(shown.periods.size())
                            .arg(window.text()));
    const QString span = window.given() ? QStringLiteral("read-outs taken ") + window.text()
                                        : QStringLiteral("whole history");
    document.blocks << ReportBlock::heading(QStringLiteral("Summary"))
                    << ReportBlock::paragraph(summary.join(QLatin1Char('\n')));
    document.blocks << ReportBlock::ofChart(ExceedanceChartOf(analysis, references));
    document.blocks << ReportBlock::heading(shown.periods.size() > PrintedReadoutsAtMost
            ? QStringLiteral("History, a line a year (%1 read-outs)").arg(shown.periods.size())
            : QStringLiteral("History"))
                    << ReportBlock::ofTable(TableForReport(PrintedHistoryTable(shown)))
                    << ReportBlock::heading(QStringLiteral("Exceedances per 1000 h, ") + span)
                    << ExceedanceReportTable(analysis, references);
    QStringList notes = ExceedanceFormulaLines(axis.axis, !references.empty());
    document.blocks << damageBlocks(history, period, window, notes);
    document.blocks << ReportBlock::ofNotes(notes);
    return result;
}

QString ReportWindow::text() const
{
    if (since && until)
        return QStringLiteral("from %1 to %2").arg(dateText(*since), dateText(*until));
    if (since)
        return QStringLiteral("since %1").arg(dateText(*since));
    if (until)
        return QStringLiteral("until %1").arg(dateText(*until));
    return {};
}
