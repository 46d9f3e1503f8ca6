#pragma once

#include <QStringList>

class QSettings;

// The registers opened last, newest first, as the user named them (a file or a URL), kept in the
// settings under "recent/registers".
inline constexpr int RecentRegistersAtMost = 8;
QStringList RecentRegisters(const QSettings &settings);
// Puts `location` first, once, and keeps at most RecentRegistersAtMost.
void RememberRegister(QSettings &settings, const QString &location);
