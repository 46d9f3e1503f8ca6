#include "Spectrum.h"

#include "FormatReal.h"

Spectrum ComputeSpectrum(const RecordValues &values)
{
    Spectrum spectrum;
    for (int level = 0; level < LevelCount; ++level) {
        spectrum.counts[level] = values[level];
        spectrum.frequencies[level] = CrossingFrequency(values, level);
        spectrum.logarithms[level] = LogFrequency(spectrum.frequencies[level]);
    }
    spectrum.activeWorkTime = static_cast<float>(ActiveWorkTime(values));
    return spectrum;
}

SpectrumCells SpectrumTexts(const Spectrum &spectrum)
{
    SpectrumCells cells;
    for (int level = 0; level < LevelCount; ++level) {
        cells.counts[level] = FormatReal(double(spectrum.counts[level]));
        cells.frequencies[level] = FormatReal(spectrum.frequencies[level]);
        const std::optional<double> &logarithm = spectrum.logarithms[level];
        cells.logarithms[level]
            = logarithm ? FormatReal(static_cast<float>(*logarithm)) : QStringLiteral(" ");
    }
    cells.activeWorkTime = FormatReal(spectrum.activeWorkTime);
    return cells;
}
