#include "Bench.h"
#include "CounterRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// Open File of a 100 MB file: the spectrum window's copy of the chosen file to the working
// copy, each run in a process of its own (bench/probes/probe_copy.cpp) that reports the time
// taken and its peak resident set before and after the copy. Source and copy live in one
// temporary folder on the disk that holds the system's temporary files.
namespace {
constexpr qint64 FileBytes = 100'000'000;
constexpr int Runs = 7;
constexpr double TargetMbPerSecond = 300;
constexpr double TargetExtraKb = 4 * 1024;

struct Copy
{
    bool ok = false;
    double nanoseconds = 0;
    double extraKb = 0;
};

Copy copyOnce(const QString &source, const QString &folder)
{
    QProcess probe;
    probe.setStandardErrorFile(QProcess::nullDevice());
    probe.start(QStringLiteral(ZEMRA_PROBE_COPY), {source, folder});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return {};
    const QList<QByteArray> fields = probe.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3)
        return {};
    return {true, fields[0].toDouble(), fields[2].toDouble() - fields[1].toDouble()};
}

// Writes the file back and drops it from the page cache, so the next copy reads the disk.
bool dropFromCache(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool dropped = ::fsync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

double megabytesPerSecond(double nanoseconds)
{
    return FileBytes / 1e6 / (nanoseconds / 1e9);
}
} // namespace

ZEMRA_BENCHMARK(openFile)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zemra-bench-XXXXXX"));
    const QString source = dir.filePath(QStringLiteral("big.dat"));
    const QString folder = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(folder);
    {
        // The demonstration record over and over: the text of a real (if oversized) file.
        const QByteArray record = RecordFileBytes(DemonstrationRecord);
        QByteArray block;
        while (block.size() < 1 << 20)
            block += record;
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        for (qint64 left = FileBytes; left > 0; left -= block.size())
            file.write(block.constData(), std::min<qint64>(left, block.size()));
    }
    const QString target = QStringLiteral("at least %1 MB/s and at most %2 MB extra")
                               .arg(TargetMbPerSecond)
                               .arg(TargetExtraKb / 1024);

    // Warm: the source was just written, so it is in the page cache, as a file freshly made
    // or read is. The first copy is not counted.
    std::vector<double> times;
    std::vector<double> extras;
    for (int i = 0; i < Runs + 1; ++i) {
        const Copy copy = copyOnce(source, folder);
        if (!copy.ok || QFileInfo(folder + QStringLiteral("/bufor.txt")).size() != FileBytes) {
            bench::Report(QStringLiteral("Open File 100 MB"), QStringLiteral("the copy failed"),
                target, false);
            return;
        }
        if (i > 0) {
            times.push_back(copy.nanoseconds);
            extras.push_back(copy.extraKb);
        }
    }
    // Cold: the source dropped from the page cache before each copy (the copy is still written
    // through the cache and made durable by the copy's own sync). For information only.
    std::vector<double> coldTimes;
    for (int i = 0; i < 3; ++i) {
        if (!dropFromCache(source))
            break;
        const Copy copy = copyOnce(source, folder);
        if (copy.ok)
            coldTimes.push_back(copy.nanoseconds);
    }

    const bench::Stats time = bench::Summarise(times);
    const bench::Stats extra = bench::Summarise(extras);
    const double worstExtra = *std::max_element(extras.begin(), extras.end());
    if (!coldTimes.empty()) {
        const bench::Stats cold = bench::Summarise(coldTimes);
        std::printf("  %-32s %s, %.0f MB/s\n", "source not in the page cache",
            qPrintable(bench::Describe(cold)), megabytesPerSecond(cold.median));
    }
    bench::Report(QStringLiteral("Open File 100 MB (warm cache)"),
        QStringLiteral("%1 MB/s (p10 %2, p90 %3; %4); extra peak memory median %5 kB, at most "
                       "%6 kB")
            .arg(megabytesPerSecond(time.median), 0, 'f', 0)
            .arg(megabytesPerSecond(time.p90), 0, 'f', 0)
            .arg(megabytesPerSecond(time.p10), 0, 'f', 0)
            .arg(bench::Describe(time))
            .arg(extra.median, 0, 'f', 0)
            .arg(worstExtra, 0, 'f', 0),
        target,
        megabytesPerSecond(time.median) >= TargetMbPerSecond && worstExtra <= TargetExtraKb);
}
