// zemra-fleet: the register of every aircraft's read-outs in a desktop window.

#include "FleetStyle.h"
#include "FleetWindow.h"
#include "MessageBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zemra-fleet"));
    QApplication::setOrganizationName(QStringLiteral("zemra"));
    QApplication::setApplicationVersion(QStringLiteral(ZEMRA_VERSION));
    SetApplicationTitle(QStringLiteral("ZEMRA Fleet"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The register's fleet ranked by life used, each aircraft's history and "
                       "trend, in a window."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("register"),
        QStringLiteral("The register: an SQLite file or a postgresql:// URL (else "
                       "$ZEMRA_REGISTER, else the default file, as zemra-cli chooses)."),
        QStringLiteral("LOCATION")});
    parser.process(application);
    UseFleetStyle();

    // The recent registers in the user's settings folder, zemra/zemra-fleet.ini.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zemra"),
        QStringLiteral("zemra-fleet"));
    FleetWindow window(settings);
    const std::optional<QString> given = parser.isSet(QStringLiteral("register"))
        ? std::optional(parser.value(QStringLiteral("register")))
        : std::nullopt;
    // Read on the worker while the window is shown: an empty or small fleet is then there at
    // the first paint.
    RunGuarded([&] { window.openChosen(given); });
    window.show();
    return application.exec();
}
