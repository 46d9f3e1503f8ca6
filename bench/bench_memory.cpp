#include "Bench.h"

#include <QProcess>

#include <cstdio>

// Peak resident memory of the real program and of the bare dialog, both started under Xvfb and
// ended from outside once their windows show (bench/memory.sh, /usr/bin/time -v).
ZEMRA_BENCHMARK(peakMemory)
{
    constexpr int Runs = 5;
    constexpr double TargetMb = 15;
    QProcess script;
    script.setStandardErrorFile(QProcess::nullDevice());
    script.start(QStringLiteral("bash"),
        {QStringLiteral(ZEMRA_MEMORY_SCRIPT), QStringLiteral(ZEMRA_PROGRAM),
            QStringLiteral(ZEMRA_PROBE_BARE), QString::number(Runs)});
    const bool finished = script.waitForFinished(180000);
    std::vector<double> bare;
    std::vector<double> program;
    for (const QByteArray &line : script.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 2)
            continue;
        const double mb = fields[1].toDouble() / 1024;
        (fields[0] == "bare" ? bare : program).push_back(mb);
    }
    const QString target = QStringLiteral("at most %1 MB above the bare dialog").arg(TargetMb);
    if (!finished || script.exitCode() != 0 || bare.size() != Runs || program.size() != Runs) {
        script.kill();
        bench::Report(QStringLiteral("Peak memory under Xvfb"),
            QStringLiteral("not measured: bench/memory.sh failed (xvfb-run, xdotool, time?)"),
            target, false);
        return;
    }
    const bench::Stats bareStats = bench::Summarise(bare);
    const bench::Stats programStats = bench::Summarise(program);
    const auto describe = [](const bench::Stats &stats) {
        return QStringLiteral("median %1 MB (p10 %2, p90 %3, %4 runs)")
            .arg(stats.median, 0, 'f', 1)
            .arg(stats.p10, 0, 'f', 1)
            .arg(stats.p90, 0, 'f', 1)
            .arg(stats.runs);
    };
    const double above = programStats.median - bareStats.median;
    std::printf("  %-32s %s\n", "bare dialog", qPrintable(describe(bareStats)));
    std::printf("  %-32s %s\n", "zemra", qPrintable(describe(programStats)));
    bench::Report(QStringLiteral("Peak memory under Xvfb"),
        QStringLiteral("%1 MB above the bare dialog (ratio %2)")
            .arg(above, 0, 'f', 1)
            .arg(programStats.median / bareStats.median, 0, 'f', 2),
        target, above <= TargetMb);
}
