// The main window's outputs: the register's JSON and the PDF reports, each written on the worker
// through the one replacement.
#include "FleetWindow.h"

#include "ReportDialog.h"
#include "Worker.h"

#include <QFileDialog>

void FleetWindow::askExport()
{
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Export Register"),
        QStringLiteral("register.json"), QStringLiteral("JSON (*.json);;All files (*)"));
    if (!file.isEmpty())
        exportTo(file);
}

void FleetWindow::exportTo(const QString &fileName)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    write(fileName, QStringLiteral("Exporting to %1…"), QStringLiteral("Exported to %1."),
        [location, fileName] { return ExportRegister(location, fileName); });
}

void FleetWindow::write(const QString &fileName, const QString &doing, const QString &done,
    std::function<Result()> work)
{
    say(doing.arg(fileName));
    m_worker->run<Result>(std::move(work), [this, fileName, done](const Result &written) {
        say(written.ok() ? done.arg(fileName) : QString());
        if (!written.ok())
            refuse(written.message());
    });
}

void FleetWindow::askReport()
{
    ReportDialog dialog(ReportDialog::Kind::Fleet, QStringLiteral("Fleet Report"), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Fleet Report"),
        QStringLiteral("fleet.pdf"), QStringLiteral("PDF (*.pdf);;All files (*)"));
    if (!file.isEmpty())
        reportTo(file, dialog.period().since);
}

void FleetWindow::reportTo(const QString &fileName, const std::optional<QDate> &since)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    write(fileName, QStringLiteral("Writing the report %1…"),
        QStringLiteral("Report written to %1."),
        [location, since, fileName] { return WriteFleetReport(location, since, fileName); });
}

void FleetWindow::askAircraftReport(const QString &registration)
{
    const QString title = QStringLiteral("Report of %1").arg(registration);
    ReportDialog dialog(ReportDialog::Kind::Aircraft, title, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = QFileDialog::getSaveFileName(this, title,
        registration + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf);;All files (*)"));
    if (!file.isEmpty())
        reportAircraftTo(file, registration, dialog.period());
}

void FleetWindow::reportAircraftTo(
    const QString &fileName, const QString &registration, const ReportWindow &period)
{
    if (!m_location)
        return;
    const RegisterLocation location = *m_location;
    write(fileName, QStringLiteral("Writing the report %1…"),
        QStringLiteral("Report written to %1."), [location, registration, period, fileName] {
            return WriteAircraftReport(location, registration, period, fileName);
        });
}
