#pragma once

#include "Result.h"

#include <QMap>
#include <QString>

// The serial devices that stand for the port names "COM1" and "COM2".
using PortDevices = QMap<QString, QString>;

inline const QString FirstPortName = QStringLiteral("COM1");
inline const QString SecondPortName = QStringLiteral("COM2");

// The devices the program used before they could be chosen: /dev/ttyS0 and /dev/ttyS1 (COM1
// and COM2 themselves on Windows).
PortDevices DefaultPortDevices();

// The ports as the user mapped them, or why the mapping cannot be used. A reset must not go to
// a port the user never named, so a failure carries no devices to fall back on.
struct PortMapping : Result
{
    PortDevices devices;
};

// Each port name's device, chosen by the user: the environment variable ZEMRA_COM1 or ZEMRA_COM2
// when set, else the key of that name in the [ports] section of the settings file, else the
// default device. Invalid, naming the variable or the file and the reason, when a variable or a
// key is empty, or when the settings file is there but cannot be read as settings (unreadable,
// not a regular file, not text, not in the settings format). The settings file is opened
// without waiting, so a FIFO there cannot hold the program up.
PortMapping ConfiguredPortDevices();

// The settings file the ports are read from: zemra/zemra.conf in the user's configuration
// folder ($XDG_CONFIG_HOME, by default ~/.config), zemra\zemra.ini under %APPDATA% on Windows.
// Naming it reads nothing.
QString SettingsFilePath();
