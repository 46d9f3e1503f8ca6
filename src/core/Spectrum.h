#pragma once

#include "CounterRecord.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The load spectrum of one record, computed once for the table, the chart and any export.
// Times and frequencies are held in single precision, as the table and the chart show them.
struct Spectrum
{
    std::array<std::int32_t, LevelCount> counts {}; // Nc
    std::array<float, LevelCount> frequencies {}; // E per hour
    std::array<std::optional<double>, LevelCount> logarithms {}; // log E; none where E is 0
    float activeWorkTime = 0; // hours, without the 0.001 of the divisor
};

Spectrum ComputeSpectrum(const RecordValues &values);

// The texts of the spectrum table.
struct SpectrumCells
{
    std::array<QString, LevelCount> counts; // row 1: Nc
    std::array<QString, LevelCount> frequencies; // row 2: E per hour
    std::array<QString, LevelCount> logarithms; // row 3: log E, one blank where E is 0
    QString activeWorkTime;
};

SpectrumCells SpectrumTexts(const Spectrum &spectrum);
