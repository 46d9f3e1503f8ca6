#include "Bench.h"
#include "CounterRecord.h"
#include "FormatReal.h"
#include "Spectrum.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <vector>

// One spectrum computation as the Spectrum button does it: read the working copy, compute,
// format the 54 cells and the time.
ZEMRA_BENCHMARK(spectrumComputation)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("bufor.txt"));
    QFile file(name);
    file.open(QIODevice::WriteOnly);
    file.write(RecordFileBytes(DemonstrationRecord));
    file.close();
    int sink = 0;
    const bench::Stats stats = bench::Measure(
        [&] {
            const ReadResult record = ReadCounterRecord(name);
            const SpectrumCells cells = SpectrumTexts(ComputeSpectrum(record.values));
            sink += cells.activeWorkTime.size();
        },
        2000, 100);
    bench::Report(QStringLiteral("Spectrum computation"), bench::Describe(stats),
        QStringLiteral("median under 0.2 ms"), stats.median < 0.2e6);
    if (sink < 0)
        std::puts("");
}

// FormatReal against the C library's "%.15G" over a million mixed values.
ZEMRA_BENCHMARK(formatReal)
{
    std::vector<double> values;
    values.reserve(1000000);
    std::uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 1000000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const double mantissa = double(state % 1000000007) / 1000000007.0;
        const int exponent = int(state >> 58) - 32; // 1e-32 .. 1e31
        values.push_back((i % 2 ? -1 : 1) * mantissa * std::pow(10.0, exponent));
    }
    std::size_t sink = 0;
    const bench::Stats ours = bench::Measure(
        [&] {
            for (double v : values)
                sink += FormatReal(v, QStringLiteral(".")).size();
        },
        5, 1);
    const bench::Stats libc = bench::Measure(
        [&] {
            char buffer[40];
            for (double v : values)
                sink += std::snprintf(buffer, sizeof buffer, "%.15G", v);
        },
        5, 1);
    bench::Report(QStringLiteral("FormatReal x 1e6"),
        QStringLiteral("%1; snprintf %2; ratio %3")
            .arg(bench::Describe(ours), bench::Describe(libc))
            .arg(ours.median / libc.median, 0, 'f', 2),
        QStringLiteral("no slower than snprintf(\"%.15G\")"), ours.median <= libc.median);
    if (sink == 0)
        std::puts("");
}
