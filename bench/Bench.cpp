#include "Bench.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {
std::vector<std::pair<const char *, Function>> &registry()
{
    static std::vector<std::pair<const char *, Function>> functions;
    return functions;
}
bool g_allMet = true;
} // namespace

Stats Measure(const std::function<void()> &body, int runs, int warmup)
{
    for (int i = 0; i < warmup; ++i)
        body();
    std::vector<double> samples;
    samples.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        body();
        samples.push_back(double(timer.nsecsElapsed()));
    }
    return Summarise(std::move(samples));
}

Stats Summarise(std::vector<double> samples)
{
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    auto at = [&samples](double q) { return samples[std::size_t(q * (samples.size() - 1))]; };
    return {at(0.5), at(0.1), at(0.9), int(samples.size())};
}

QString FormatDuration(double ns)
{
    if (ns >= 1e9)
        return QStringLiteral("%1 s").arg(ns / 1e9, 0, 'f', 3);
    if (ns >= 1e6)
        return QStringLiteral("%1 ms").arg(ns / 1e6, 0, 'f', 3);
    if (ns >= 1e3)
        return QStringLiteral("%1 us").arg(ns / 1e3, 0, 'f', 2);
    return QStringLiteral("%1 ns").arg(ns, 0, 'f', 0);
}

QString Describe(const Stats &stats)
{
    return QStringLiteral("median %1 (p10 %2, p90 %3, %4 runs)")
        .arg(FormatDuration(stats.median), FormatDuration(stats.p10), FormatDuration(stats.p90))
        .arg(stats.runs);
}

void Report(const QString &name, const QString &figure, const QString &target, bool met)
{
    g_allMet = g_allMet && met;
    std::printf("%-34s %s\n%-34s target: %s [%s]\n", qPrintable(name), qPrintable(figure), "",
                qPrintable(target), met ? "met" : "MISSED");
    std::fflush(stdout);
}

Registrar::Registrar(const char *name, Function function)
{
    registry().emplace_back(name, function);
}

const std::vector<std::pair<const char *, Function>> &Registered()
{
    return registry();
}

bool AllTargetsMet()
{
    return g_allMet;
}

} // namespace bench
