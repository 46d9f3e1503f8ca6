#pragma once

#include "LifeTrend.h"
#include "Register.h"
#include "UsageReports.h"

#include <QDate>
#include <QString>

#include <optional>

// What the fleet window asks of the register, each a whole piece of work that opens the register
// itself (a register's connection is its thread's) and returns a result: nothing here shows a box.

struct FleetLoad : Result
{
    RegisterLocation location;
    UsageListResult list;
    std::optional<int> upgradedFrom;
};
// The fleet as `zemra-cli fleet` computes it: the whole history, the rates of 365 days, checked
// as of `today`.
FleetLoad LoadFleet(const RegisterLocation &location, const QDate &today);

// One aircraft's page: its history, and the trend of its life used when it has S-N data and
// read-outs (`trendMissing` says why there is no trend, or what the chart leaves out).
struct AircraftLoad : Result
{
    HistoryResult history;
    std::optional<TrendChartData> trend;
    QStringList trendMissing;
};
AircraftLoad LoadAircraft(const RegisterLocation &location, const QString &registration);

// The register's JSON export (Register::exportJson) into `fileName`, whole or not at all, never
// over the register's own files.
Result ExportRegister(const RegisterLocation &location, const QString &fileName);

// The fleet's PDF report of the read-outs since `since` (all without), made by the report code of
// `zemra-cli report --fleet` (FleetReportDocument), into `fileName` in the same way.
Result WriteFleetReport(
    const RegisterLocation &location, const std::optional<QDate> &since, const QString &fileName);

// One aircraft's PDF report of the read-outs in `window`, made as `zemra-cli report --aircraft`
// makes it (AircraftReportDocument), into `fileName` in the same way.
Result WriteAircraftReport(const RegisterLocation &location, const QString &registration,
    const ReportWindow &window, const QString &fileName);

// A new aircraft that an add of read-outs makes first.
struct NewAircraft
{
    QString type; // none when empty
    CombineMode mode = CombineMode::Running;
};

// What the register would do with each record of the files (Register::previewAdd); nothing is
// written.
AddPreviewResult PreviewReadouts(const RegisterLocation &location, const QString &registration,
    const std::vector<AddFile> &files, bool declaredReset,
    const std::optional<NewAircraft> &newAircraft);

// Adds the files to the aircraft (made first when `newAircraft`), `progress` asked between blocks.
AddResult AddReadouts(const RegisterLocation &location, const QString &registration,
    const std::vector<AddFile> &files, bool declaredReset,
    const std::optional<NewAircraft> &newAircraft, const AddProgress &progress);

// Changes the aircraft's structural data or check settings (Register::setAircraft).
AircraftResult ChangeAircraft(const RegisterLocation &location, const AircraftChange &change);
