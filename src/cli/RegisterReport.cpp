#include "RegisterReport.h"

#include "OutputFile.h"

namespace {
ExitStatus writeDocument(const DocumentResult &made, const QString &output)
{
    if (!made.ok()) {
        PrintMessage(made.message());
        return ExitRefused;
    }
    return WriteReportFile(output, made.document);
}
} // namespace

ExitStatus WriteAircraftReport(Register &reg, const QString &registration, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &output)
{
    return writeDocument(AircraftReportDocument(reg, registration, axis, references), output);
}

ExitStatus WriteFleetReport(Register &reg, const std::optional<QDate> &since,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references, const QString &output)
{
    return writeDocument(FleetReportDocument(reg, since, axis, references), output);
}

ExitStatus WriteReportFile(const QString &output, const ReportDocument &document)
{
    const Result written = WriteOutputFile(output, [&](QIODevice &device) {
        return WriteReportPdf(device, document, document.title, QStringLiteral("zemra-cli"));
    });
    if (!written.ok()) {
        PrintMessage(written.message());
        return ExitRefused;
    }
    return ExitOk;
}
