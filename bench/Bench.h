#pragma once

#include <QString>

#include <functional>
#include <vector>

// A tiny benchmark harness: each benchmark registers itself and prints its figures, with the
// target it is held to, as one block of lines.
namespace bench {

struct Stats
{
    double median = 0; // nanoseconds per run
    double p10 = 0;
    double p90 = 0;
    int runs = 0;
};

// Runs `body` `warmup` times unmeasured, then `runs` times, each timed on its own.
Stats Measure(const std::function<void()> &body, int runs, int warmup = 10);

// Median, p10 and p90 of samples taken elsewhere (any unit).
Stats Summarise(std::vector<double> samples);

QString FormatDuration(double nanoseconds);
QString Describe(const Stats &stats); // "median 12.3 us (p10 11.9 us, p90 13.0 us, 200 runs)"

// Prints one figure line and records whether its target was met.
void Report(const QString &name, const QString &figure, const QString &target, bool met);

using Function = void (*)();
struct Registrar
{
    Registrar(const char *name, Function function);
};
const std::vector<std::pair<const char *, Function>> &Registered();
bool AllTargetsMet();

} // namespace bench

#define ZEMRA_BENCHMARK(name)                                                                      \
    static void name();                                                                            \
    static const bench::Registrar name##_registrar(#name, name);                                   \
    static void name()
