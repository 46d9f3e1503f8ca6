// One Open File copy (the spectrum window's copy of the chosen file to the working copy) in a
// process of its own, so its peak memory is not mixed with anything else. Prints the
// nanoseconds taken and the peak resident set before and after, in kB.
#include "CounterRecord.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {
long long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: probe_copy SOURCE TARGET_FOLDER\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2])))
        return 2;
    const long long before = peakResidentKb();
    QElapsedTimer timer;
    timer.start();
    const Result result = CopyFileReplacing(source, WorkingCopyName);
    const qint64 elapsed = timer.nsecsElapsed();
    const long long after = peakResidentKb();
    if (result.failure() != Result::None) {
        std::fprintf(stderr, "copy failed: %s\n", qPrintable(result.message()));
        return 1;
    }
    std::printf("%lld %lld %lld\n", static_cast<long long>(elapsed), before, after);
    return 0;
}
