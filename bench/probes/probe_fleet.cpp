// zemra-fleet's own start-up path, as its main() goes: the application, the settings of the
// recent registers (a file of the probe's own, so that the user's list is left alone), the fleet
// window shown and the register of --register read on its worker, up to the first paint of the
// fleet's table once the fleet is in it (with --window: the window's first paint, before the
// register is read).
#include "FleetStyle.h"
#include "FleetWindow.h"
#include "MessageBox.h"
#include "Probe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <QTableView>

int main(int argc, char **argv)
{
    StartProbeClock();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zemra-fleet"));
    QApplication::setOrganizationName(QStringLiteral("zemra"));
    SetApplicationTitle(QStringLiteral("ZEMRA Fleet"));
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("register"), QStringLiteral("The register."), QStringLiteral("LOCATION")});
    parser.addOption(
        {QStringLiteral("settings"), QStringLiteral("The settings file."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("stay"), QStringLiteral("Keep the window open.")});
    parser.addOption({QStringLiteral("window"),
        QStringLiteral("End at the window's first paint, before the register is read.")});
    parser.process(application);
    UseFleetStyle();

    QSettings settings(parser.value(QStringLiteral("settings")), QSettings::IniFormat);
    FleetWindow window(settings);
    if (parser.isSet(QStringLiteral("window")))
        EndAfterFirstPaint(&window, argc, argv);
    QObject::connect(&window, &FleetWindow::fleetShown, &window, [&] {
        auto *table = window.findChild<QTableView *>(QStringLiteral("fleetTable"));
        EndAfterFirstPaint(table->viewport(), argc, argv);
    });
    const std::optional<QString> given = parser.isSet(QStringLiteral("register"))
        ? std::optional(parser.value(QStringLiteral("register")))
        : std::nullopt;
    // Read on the worker while the window is shown: an empty or small fleet is then there at
    // the first paint.
    RunGuarded([&] { window.openChosen(given); });
    window.show();
    return application.exec();
}
