#pragma once

#include "Cli.h"
#include "Register.h"
#include "UsageReports.h"

#include <QDate>
#include <QSet>

#include <optional>

// The usage report fed from the register, written to `output`: one aircraft's history (the
// read-outs in the window), or the fleet's ranking. Each gives the exit status after saying what
// went wrong.
// `location`: the named structural location (empty: the one of the largest life used).
ExitStatus WriteAircraftReport(Register &reg, const QString &registration, const QString &location,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &output);
ExitStatus WriteFleetReport(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references,
    const QString &output);

// One report an aircraft, each to a PDF of its own in the folder `folder`, named after its
// registration made safe for a file name (and told apart where two would meet); progress on
// standard error. An aircraft without read-outs in the window is passed over and said; one whose
// report fails is said and the others go on. ExitRefused when any failed, naming them; none
// is written over one of `inputs`.
ExitStatus WriteEachAircraftReport(Register &reg, const ReportWindow &window,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references, const QString &folder,
    const QStringList &inputs);

// The file name of an aircraft's report: letters, digits, '-' and '_' of the registration kept,
// anything else '_', ".pdf" after; "-2", "-3" ... before it when `taken` (lower case) already
// holds the name, which is added to it.
QString ReportFileName(const QString &registration, QSet<QString> &taken);

// The report as a PDF at `output` ("-": standard output).
ExitStatus WriteReportFile(const QString &output, const ReportDocument &document);
