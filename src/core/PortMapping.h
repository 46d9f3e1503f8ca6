#pragma once

#include <QMap>
#include <QString>

// The serial devices that stand for the port names "COM1" and "COM2".
using PortDevices = QMap<QString, QString>;

inline const QString FirstPortName = QStringLiteral("COM1");
inline const QString SecondPortName = QStringLiteral("COM2");

// The devices the program used before they could be chosen: /dev/ttyS0 and /dev/ttyS1 (COM1
// and COM2 themselves on Windows).
PortDevices DefaultPortDevices();

// Each port name's device, chosen by the user: the environment variable ZEMRA_COM1 or ZEMRA_COM2
// when set and not empty, else the key of that name in the [ports] section of the settings
// file, else the default device.
PortDevices ConfiguredPortDevices();

// The settings file the ports are read from: zemra/zemra.conf in the user's configuration
// folder ($XDG_CONFIG_HOME, by default ~/.config), zemra\zemra.ini under %APPDATA% on Windows.
QString SettingsFilePath();
