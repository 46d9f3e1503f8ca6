#pragma once

#include "Cli.h"
#include "Register.h"
#include "UsageReports.h"

#include <QDate>

#include <optional>

// The usage report fed from the register, written to `output`: one aircraft's whole history, or
// the fleet's ranking. Each gives the exit status after saying what went wrong.
ExitStatus WriteAircraftReport(Register &reg, const QString &registration, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &output);
ExitStatus WriteFleetReport(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references,
    const QString &output);

// The report as a PDF at `output` ("-": standard output).
ExitStatus WriteReportFile(const QString &output, const ReportDocument &document);
