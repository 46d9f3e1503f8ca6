#include "PortMapping.h"

#include <QSettings>

#include <memory>

namespace {
std::unique_ptr<QSettings> programSettings()
{
    // An INI file on every platform, so that the ports are set the same way everywhere.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
        QStringLiteral("zemra"), QStringLiteral("zemra"));
}
} // namespace

PortDevices DefaultPortDevices()
{
#ifdef Q_OS_WIN
    return {{FirstPortName, FirstPortName}, {SecondPortName, SecondPortName}};
#else
    return {{FirstPortName, QStringLiteral("/dev/ttyS0")},
        {SecondPortName, QStringLiteral("/dev/ttyS1")}};
#endif
}

PortDevices ConfiguredPortDevices()
{
    PortDevices devices = DefaultPortDevices();
    const std::unique_ptr<QSettings> settings = programSettings();
    settings->beginGroup(QStringLiteral("ports"));
    for (const QString &port : {FirstPortName, SecondPortName}) {
        const QString fromEnvironment
            = qEnvironmentVariable(qPrintable(QStringLiteral("ZEMRA_") + port));
        const QString fromSettings = settings->value(port).toString();
        if (!fromEnvironment.isEmpty())
            devices[port] = fromEnvironment;
        else if (!fromSettings.isEmpty())
            devices[port] = fromSettings;
    }
    return devices;
}

QString SettingsFilePath()
{
    return programSettings()->fileName();
}
