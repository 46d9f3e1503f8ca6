#include "RecentRegisters.h"

#include <QSettings>

namespace {
const QString Key = QStringLiteral("recent/registers");
}

QStringList RecentRegisters(const QSettings &settings)
{
    QStringList recent = settings.value(Key).toStringList();
    recent.removeAll(QString());
    return recent.mid(0, RecentRegistersAtMost);
}

void RememberRegister(QSettings &settings, const QString &location)
{
    QStringList recent = RecentRegisters(settings);
    // Opened again, as at most starts: nothing to write.
    if (recent.value(0) == location)
        return;
    recent.removeAll(location);
    recent.prepend(location);
    settings.setValue(Key, recent.mid(0, RecentRegistersAtMost));
    // Kept now, not at exit: a program ended by a signal still remembers it.
    settings.sync();
}
