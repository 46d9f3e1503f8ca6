#include "PortMapping.h"

#include <QSettings>

#include <memory>

namespace {
std::unique_ptr<QSettings> programSettings()
{
    // A text file everywhere, also on Windows where native settings would go to the registry.
#ifdef Q_OS_WIN
    constexpr QSettings::Format format = QSettings::IniFormat;
#else
    constexpr QSettings::Format format = QSettings::NativeFormat;
#endif
    return std::make_unique<QSettings>(
        format, QSettings::UserScope, QStringLiteral("zemra"), QStringLiteral("zemra"));
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
