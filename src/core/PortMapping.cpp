#include "PortMapping.h"

#include "RegularFile.h"
#include "TextFields.h"

#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <optional>

#include <fcntl.h>

namespace {
// Large enough for any hand-written settings, small enough to read whole.
constexpr qint64 MaxSettingsBytes = 1024 * 1024;

QString unusable(const QString &fileName, const QString &reason)
{
    return QStringLiteral("The settings file \"%1\" cannot be used: %2. No port was opened.")
        .arg(fileName, reason);
}

// The [ports] keys of the settings file: none when it is not there; a refusal when it is there
// but is not a settings file.
Result readPortSettings(std::optional<QSettings> &settings)
{
    const QString path = SettingsFilePath();
    RegularFile file;
    if (!file.open(path, O_RDONLY)) {
        if (!file.refused() && file.error() == ENOENT)
            return {};
        return {Result::Invalid, unusable(path, file.errorString())};
    }
    if (file.sizeAtOpen() > MaxSettingsBytes)
        return {Result::Invalid,
            unusable(path,
                QStringLiteral("it holds %1 bytes, far more than settings take")
                    .arg(file.sizeAtOpen()))};
    QByteArray bytes;
    if (!file.readAll(bytes))
        return {Result::Invalid, unusable(path, file.errorString())};
    if (!IsText(bytes))
        return {Result::Invalid, unusable(path, QStringLiteral("it is not a text file"))};
    settings.emplace(path, QSettings::IniFormat);
    if (settings->status() != QSettings::NoError)
        return {Result::Invalid,
            unusable(path,
                QStringLiteral("it is not in the settings format (\"[ports]\", then "
                               "lines \"COM1=device\")"))};
    settings->beginGroup(QStringLiteral("ports"));
    return {};
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

PortMapping ConfiguredPortDevices()
{
    PortMapping mapping;
    PortDevices devices = DefaultPortDevices();
    std::optional<QSettings> settings;
    bool settingsRead = false;
    for (const QString &port : {FirstPortName, SecondPortName}) {
        const QByteArray variable = "ZEMRA_" + port.toLatin1();
        if (qEnvironmentVariableIsSet(variable.constData())) {
            devices[port] = qEnvironmentVariable(variable.constData());
            if (devices[port].isEmpty()) {
                mapping.setFailure(Result::Invalid,
                    QStringLiteral("The environment variable %1 is set but empty: it names no "
                                   "device for %2. Unset it or name a device. No port was "
                                   "opened.")
                        .arg(QString::fromLatin1(variable), port));
                return mapping;
            }
            continue;
        }
        if (!settingsRead) {
            settingsRead = true;
            if (const Result read = readPortSettings(settings); !read.ok()) {
                mapping.setFailure(read.failure(), read.message());
                return mapping;
            }
        }
        if (!settings || !settings->contains(port))
            continue;
        devices[port] = settings->value(port).toString();
        if (devices[port].isEmpty()) {
            mapping.setFailure(Result::Invalid,
                unusable(SettingsFilePath(),
                    QStringLiteral("its key %1 in [ports] is empty and names no device")
                        .arg(port)));
            return mapping;
        }
    }
    mapping.devices = devices;
    return mapping;
}

QString SettingsFilePath()
{
#ifdef Q_OS_WIN
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zemra"),
        QStringLiteral("zemra"))
        .fileName();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/zemra/zemra.conf");
#endif
}
