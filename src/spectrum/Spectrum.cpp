#include "Spectrum.h"

#include "FormatReal.h"

SpectrumCells ComputeSpectrum(const RecordValues &values)
{
    SpectrumCells cells;
    for (int level = 0; level < LevelCount; ++level) {
        cells.counts[level] = FormatReal(double(values[level]));
        const float frequency = CrossingFrequency(values, level);
        cells.frequencies[level] = FormatReal(frequency);
        const auto logarithm = LogFrequency(frequency);
        cells.logarithms[level]
            = logarithm ? FormatReal(static_cast<float>(*logarithm)) : QStringLiteral(" ");
    }
    cells.activeWorkTime = FormatReal(static_cast<float>(ActiveWorkTime(values)));
    return cells;
}
