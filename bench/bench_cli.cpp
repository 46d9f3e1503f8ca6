#include "Bench.h"
#include "CounterRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

// zemra-cli as the user starts it: each run a process of its own, timed from its start to its
// exit; peak memory is measured in separate runs under /usr/bin/time. The data file is the
// demonstration record repeated to 100 MB, in the page cache (it has just been written and read).
namespace {
constexpr qint64 FileBytes = 100'000'000;
constexpr int Runs = 7;
constexpr double CheckTargetMbPerSecond = 300;
constexpr double CheckTargetExtraKb = 4 * 1024;
constexpr double SpectrumTargetMbPerSecond = 10;
constexpr int ChartRuns = 30;
constexpr double ChartTargetRatio = 1.5;

struct Run
{
    bool ok = false;
    double nanoseconds = 0;
};

// Runs the program with its output thrown away (or into `output`).
Run runProcess(const QStringList &command, const QString &output = QStringLiteral("/dev/null"))
{
    QList<QByteArray> arguments;
    for (const QString &argument : command)
        arguments << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(
        &actions, 1, QFile::encodeName(output).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    timespec start {};
    timespec end {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return {};
    clock_gettime(CLOCK_MONOTONIC, &end);
    Run run;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.nanoseconds = (end.tv_sec - start.tv_sec) * 1e9 + double(end.tv_nsec - start.tv_nsec);
    return run;
}

double megabytesPerSecond(double nanoseconds)
{
    return FileBytes / 1e6 / (nanoseconds / 1e9);
}

// Peak resident set of one run in kB, by /usr/bin/time: a process spawned from this one would
// report this process's own peak, which its start shares. 0 when that cannot be measured.
double peakKb(const QStringList &command, const QString &folder)
{
    const QString report = folder + QStringLiteral("/time.txt");
    const Run run = runProcess(QStringList {QStringLiteral("/usr/bin/time"), QStringLiteral("-f"),
                                   QStringLiteral("%M"), QStringLiteral("-o"), report}
        + command);
    QFile file(report);
    if (!run.ok || !file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().toDouble();
}

// The largest peak of `runs` runs of `command` above the smallest of `base`.
double worstExtraKb(const QStringList &command, const QStringList &base, const QString &folder,
    int runs, double *commandPeak = nullptr, double *basePeak = nullptr)
{
    double worst = 0;
    double lowest = 0;
    for (int i = 0; i < runs; ++i) {
        worst = std::max(worst, peakKb(command, folder));
        const double peak = peakKb(base, folder);
        lowest = i == 0 ? peak : std::min(lowest, peak);
    }
    if (commandPeak)
        *commandPeak = worst;
    if (basePeak)
        *basePeak = lowest;
    return worst - lowest;
}

// The big file and a one-record file, kept for the three benchmarks of one bench run.
struct Files
{
    QTemporaryDir dir {QDir::tempPath() + QStringLiteral("/zemra-bench-XXXXXX")};
    QString big = dir.filePath(QStringLiteral("big.dat"));
    QString small = dir.filePath(QStringLiteral("small.dat"));
    qint64 records = 0;

    Files()
    {
        const QByteArray record = RecordFileBytes(DemonstrationRecord);
        QByteArray block;
        while (block.size() < 1 << 20)
            block += record;
        QFile file(big);
        file.open(QIODevice::WriteOnly);
        // Whole records only, as close to 100 MB as they come.
        const qint64 wanted = FileBytes / record.size() * record.size();
        for (qint64 left = wanted; left > 0; left -= block.size())
            file.write(block.constData(), std::min<qint64>(left, block.size()));
        file.close();
        records = wanted / record.size();
        QFile one(small);
        one.open(QIODevice::WriteOnly);
        one.write(record);
    }
};

Files &files()
{
    static Files made;
    return made;
}

// Alternate runs of two commands; the first round is not counted.
bool measurePair(const QStringList &first, const QStringList &second, int runs,
    std::vector<Run> &firstRuns, std::vector<Run> &secondRuns)
{
    for (int i = 0; i < runs + 1; ++i) {
        const Run a = runProcess(first);
        const Run b = runProcess(second);
        if (!a.ok || !b.ok)
            return false;
        if (i > 0) {
            firstRuns.push_back(a);
            secondRuns.push_back(b);
        }
    }
    return true;
}

std::vector<double> times(const std::vector<Run> &runs)
{
    std::vector<double> values;
    for (const Run &run : runs)
        values.push_back(run.nanoseconds);
    return values;
}
} // namespace

ZEMRA_BENCHMARK(cliCheck)
{
    const QString cli = QStringLiteral(ZEMRA_CLI);
    const QString target = QStringLiteral("at least %1 MB/s and at most %2 MB extra")
                               .arg(CheckTargetMbPerSecond)
                               .arg(CheckTargetExtraKb / 1024);
    std::vector<Run> big;
    std::vector<Run> small;
    if (!measurePair(
            {cli, "check", files().big}, {cli, "check", files().small}, Runs, big, small)) {
        bench::Report(QStringLiteral("zemra-cli check 100 MB"), QStringLiteral("a run failed"),
            target, false);
        return;
    }
    const bench::Stats time = bench::Summarise(times(big));
    double bigPeak = 0;
    double smallPeak = 0;
    const double worstExtra = worstExtraKb({cli, "check", files().big},
        {cli, "check", files().small}, files().dir.path(), 3, &bigPeak, &smallPeak);
    std::printf("  %-32s peak %.0f kB at most, against %.0f kB for one record\n", "memory", bigPeak,
        smallPeak);
    bench::Report(QStringLiteral("zemra-cli check 100 MB (warm cache)"),
        QStringLiteral("%1 MB/s (p10 %2, p90 %3; %4); extra peak memory at most %5 kB")
            .arg(megabytesPerSecond(time.median), 0, 'f', 0)
            .arg(megabytesPerSecond(time.p90), 0, 'f', 0)
            .arg(megabytesPerSecond(time.p10), 0, 'f', 0)
            .arg(bench::Describe(time))
            .arg(worstExtra, 0, 'f', 0),
        target,
        megabytesPerSecond(time.median) >= CheckTargetMbPerSecond
            && worstExtra <= CheckTargetExtraKb);
}

namespace {
// A command that writes a CSV row per level of every record of the 100 MB file, against the
// same command on one record.
void measureCsvThroughput(const QString &command)
{
    const QString cli = QStringLiteral(ZEMRA_CLI);
    const QString name = QStringLiteral("zemra-cli %1 --all --format csv 100 MB").arg(command);
    const QString target = QStringLiteral("at least %1 MB/s of input, bounded memory")
                               .arg(SpectrumTargetMbPerSecond);
    const QStringList run {cli, command, "--all", "--format", "csv"};
    std::vector<Run> big;
    std::vector<Run> small;
    if (!measurePair(
            run + QStringList {files().big}, run + QStringList {files().small}, 3, big, small)) {
        bench::Report(name, QStringLiteral("a run failed"), target, false);
        return;
    }
    const bench::Stats time = bench::Summarise(times(big));
    const double worstExtra = worstExtraKb(
        run + QStringList {files().big}, run + QStringList {files().small}, files().dir.path(), 2);
    bench::Report(name,
        QStringLiteral("%1 MB/s, %2 records/s (%3); extra peak memory at most %4 kB")
            .arg(megabytesPerSecond(time.median), 0, 'f', 1)
            .arg(files().records / (time.median / 1e9), 0, 'f', 0)
            .arg(bench::Describe(time))
            .arg(worstExtra, 0, 'f', 0),
        target,
        megabytesPerSecond(time.median) >= SpectrumTargetMbPerSecond
            && worstExtra <= CheckTargetExtraKb);
}
} // namespace

ZEMRA_BENCHMARK(cliSpectrumCsv)
{
    measureCsvThroughput(QStringLiteral("spectrum"));
}

ZEMRA_BENCHMARK(cliChart)
{
    const QString cli = QStringLiteral(ZEMRA_CLI);
    const QString target = QStringLiteral("at most %1x the blank PNG").arg(ChartTargetRatio);
    // Both draw off-screen, with a runtime folder of their own so Qt has nothing to warn about.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<Run> chart;
    std::vector<Run> blank;
    const bool ok = measurePair(
        {cli, "chart", "-o", files().dir.filePath(QStringLiteral("chart.png")), files().small},
        {QStringLiteral(ZEMRA_PROBE_BLANKPNG), files().dir.filePath(QStringLiteral("blank.png"))},
        ChartRuns, chart, blank);
    if (!ok) {
        bench::Report(QStringLiteral("zemra-cli chart -o x.png"), QStringLiteral("a run failed"),
            target, false);
        return;
    }
    const bench::Stats chartTime = bench::Summarise(times(chart));
    const bench::Stats blankTime = bench::Summarise(times(blank));
    std::printf("  %-32s %s\n", "blank PNG", qPrintable(bench::Describe(blankTime)));
    std::printf("  %-32s %s\n", "chart PNG", qPrintable(bench::Describe(chartTime)));
    const double ratio = chartTime.median / blankTime.median;
    bench::Report(QStringLiteral("zemra-cli chart -o x.png 520 x 519"),
        QStringLiteral("%1 against %2: ratio %3")
            .arg(bench::FormatDuration(chartTime.median), bench::FormatDuration(blankTime.median))
            .arg(ratio, 0, 'f', 2),
        target, ratio <= ChartTargetRatio);
}

ZEMRA_BENCHMARK(cliExceedanceCsv)
{
    measureCsvThroughput(QStringLiteral("exceedance"));
}

ZEMRA_BENCHMARK(cliReport)
{
    constexpr double ReportTargetRatio = 3;
    const QString cli = QStringLiteral(ZEMRA_CLI);
    const QString target = QStringLiteral("at most %1x chart -o x.png").arg(ReportTargetRatio);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<Run> report;
    std::vector<Run> chart;
    const bool ok = measurePair(
        {cli, "report", "--sigma1", "100", "--k", "5", "--sd", "60", "--nd", "2e6", "--max-load",
            "5.7,-2.28", "-o", files().dir.filePath(QStringLiteral("usage.pdf")), files().small},
        {cli, "chart", "-o", files().dir.filePath(QStringLiteral("chart.png")), files().small},
        ChartRuns / 2, report, chart);
    if (!ok) {
        bench::Report(
            QStringLiteral("zemra-cli report"), QStringLiteral("a run failed"), target, false);
        return;
    }
    const bench::Stats reportTime = bench::Summarise(times(report));
    const bench::Stats chartTime = bench::Summarise(times(chart));
    std::printf("  %-32s %s\n", "chart PNG", qPrintable(bench::Describe(chartTime)));
    std::printf("  %-32s %s\n", "report PDF", qPrintable(bench::Describe(reportTime)));
    const double ratio = reportTime.median / chartTime.median;
    bench::Report(QStringLiteral("zemra-cli report of one record"),
        QStringLiteral("%1 against %2: ratio %3")
            .arg(bench::FormatDuration(reportTime.median), bench::FormatDuration(chartTime.median))
            .arg(ratio, 0, 'f', 2),
        target, ratio <= ReportTargetRatio);
}
