#include "RegisterReport.h"

#include "OutputFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
ExitStatus writeDocument(const DocumentResult &made, const QString &output)
{
    if (!made.ok()) {
        PrintMessage(made.message());
        return ExitRefused;
    }
    return WriteReportFile(output, made.document);
}

// One aircraft's report into the folder; false when it failed, after saying why.
bool writeOneReport(Register &reg, const QString &registration, const ReportWindow &window,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references, const QString &path,
    const QStringList &inputs, const std::optional<FleetStanding> &standing)
{
    const HistoryResult history = reg.history(registration);
    if (!history.ok()) {
        PrintMessage(QStringLiteral("%1: %2").arg(registration, history.message()));
        return false;
    }
    if (window.given()
        && std::none_of(history.periods.cbegin(), history.periods.cend(),
            [&window](const HistoryPeriod &period) { return window.holds(period.taken); })) {
        PrintMessage(QStringLiteral("%1 has no read-outs taken %2: no report.")
                         .arg(registration, window.text()));
        return true;
    }
    if (const Result apart = CheckOutputIsNoInput(path, inputs); !apart.ok()) {
        PrintMessage(apart.message());
        return false;
    }
    return writeDocument(AircraftReportDocument(
                             history, reg.location().text, window, axis, references, standing),
               path)
        == ExitOk;
}
} // namespace

QString ReportFileName(const QString &registration, QSet<QString> &taken)
{
    QString base;
    for (const QChar c : registration) {
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
            || c == QLatin1Char('_');
        base += kept ? c : QLatin1Char('_');
    }
    if (base.isEmpty())
        base = QStringLiteral("aircraft");
    QString name = base + QStringLiteral(".pdf");
    // Registrations that differ only in what was replaced, or in case, would meet in one file.
    for (int n = 2; taken.contains(name.toLower()); ++n)
        name = QStringLiteral("%1-%2.pdf").arg(base).arg(n);
    taken.insert(name.toLower());
    return name;
}

ExitStatus WriteAircraftReport(Register &reg, const QString &registration, const QString &location,
    const ReportWindow &window, const AxisChoice &axis,
    const std::vector<ReferenceSpectrum> &references, const QString &output)
{
    return writeDocument(
        AircraftReportDocument(reg, registration, window, axis, references, location), output);
}

ExitStatus WriteEachAircraftReport(Register &reg, const ReportWindow &window,
    const AxisChoice &axis, const std::vector<ReferenceSpectrum> &references, const QString &folder,
    const QStringList &inputs)
{
    if (!QFileInfo(folder).isDir()) {
        PrintMessage(QStringLiteral("Cannot write into \"%1\": not a folder.").arg(folder));
        return ExitRefused;
    }
    // The fleet once, for every report's rank and status.
    const QDate today = QDate::currentDate();
    UsageListResult list = reg.fleet(std::nullopt, 365, today);
    if (!list.ok())
        return Refused(list);
    std::sort(list.aircraft.begin(), list.aircraft.end(),
        [](const AircraftUsage &a, const AircraftUsage &b) {
            return a.aircraft.registration.toCaseFolded() < b.aircraft.registration.toCaseFolded();
        });
    QSet<QString> taken;
    QStringList failed;
    const qsizetype count = list.aircraft.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QString registration = list.aircraft[i].aircraft.registration;
        const QString path = QDir(folder).filePath(ReportFileName(registration, taken));
        PrintMessage(QStringLiteral("%1/%2 %3").arg(i + 1).arg(count).arg(registration));
        if (!writeOneReport(reg, registration, window, axis, references, path, inputs,
                StandingOf(list, registration, today)))
            failed << registration;
    }
    if (failed.isEmpty())
        return ExitOk;
    PrintMessage(QStringLiteral("%1 of %2 report(s) not written: %3.")
                     .arg(failed.size())
                     .arg(count)
                     .arg(failed.join(QStringLiteral(", "))));
    return ExitRefused;
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
