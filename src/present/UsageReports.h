#pragma once

#include "Damage.h"
#include "Register.h"
#include "Report.h"
#include "UsageAnalysis.h"

#include <QDate>

#include <optional>
#include <vector>

// The usage reports as documents, ready to be written as PDF: of data files, of one aircraft's
// whole history from the register, and of the fleet's ranking with the exceedances of every
// aircraft in one chart.

struct DocumentResult : Result
{
    ReportDocument document;
};

// A report's document with its title and subtitle, and the program and date in its footer.
ReportDocument NewReportDocument(const QString &title, const QStringList &subtitle);

// The report of data files: what was read, the chart, the table, the damage, the formulas.
ReportDocument FilesReportDocument(const ExceedanceAnalysis &analysis, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const DamageParameters &parameters,
    const std::optional<DamageResult> &damage);

// The read-outs an aircraft's report shows: those taken from `since` to `until`, each day
// included, either end open; all of them when neither is given.
struct ReportWindow
{
    std::optional<QDate> since;
    std::optional<QDate> until;
    bool given() const { return since || until; }
    bool holds(const QDate &taken) const;
    QString text() const; // "from 2025-01-01 to 2025-12-31", "since 2025-01-01"; empty: none
};

// Where an aircraft stands in the fleet on the day of a report: its rank by life used (0: not
// ranked) among how many, and its status.
struct FleetStanding
{
    int rank = 0;
    int ranked = 0;
    AircraftCheck check;
    QDate day;
};
// The aircraft's standing in a fleet as Register::fleet gives it; none when it is not there.
std::optional<FleetStanding> StandingOf(
    const UsageListResult &fleet, const QString &registration, const QDate &day);

// From the register; a failure says why (no such aircraft, no read-outs in the window, no hours,
// the register's own). The history, chart and tables show the window's read-outs; the summary
// the life used to date, the status and the rank in the fleet today.
// `location`: the named structural location to give the figures at (default: the one of the
// largest life used).
DocumentResult AircraftReportDocument(Register &reg, const QString &registration,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &location = QString());
// The same from a history already read; `registerText` names the register.
DocumentResult AircraftReportDocument(const HistoryResult &history, const QString &registerText,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references,
    const std::optional<FleetStanding> &standing = std::nullopt);
DocumentResult FleetReportDocument(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references);

// The blocks every report shares.
// A paragraph naming each reference, "ref 1: name — source, table, page 3 ("file")", with the
// first levels above it when the comparisons are given; none without references.
QList<ReportBlock> ReferenceParagraph(const std::vector<ReferenceSpectrum> &references,
    const std::vector<ReferenceComparison> *comparisons);
ReportBlock ExceedanceReportTable(
    const ExceedanceAnalysis &analysis, const std::vector<ReferenceSpectrum> &references);
// `location`: the named structural location the S-N data is of, said in the heading.
QList<ReportBlock> DamageReportBlocks(const DamageParameters &parameters,
    const DamageResult &damage, const QString &location = QString());
