#pragma once

#include "Register.h"
#include "Report.h"
#include "UsageTables.h"

#include <QDate>

#include <optional>

// The usage report fed from the register: one aircraft's whole history, or the fleet's ranking
// with the exceedances of every aircraft in one chart. Each gives the exit status after saying
// what went wrong.
ExitStatus WriteAircraftReport(Register &reg, const QString &registration, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &output);
ExitStatus WriteFleetReport(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const QString &output);

// A report's document with its title and subtitle, and the program and date in its footer.
ReportDocument NewReportDocument(const QString &title, const QStringList &subtitle);

// The report as a PDF at `output` ("-": standard output).
ExitStatus WriteReportFile(const QString &output, const ReportDocument &document);

// Blocks shared with the report of data files.
ReportBlock ExceedanceReportTable(const ExceedanceAnalysis &analysis);
QList<ReportBlock> DamageReportBlocks(
    const DamageParameters &parameters, const DamageResult &damage);
