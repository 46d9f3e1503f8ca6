#pragma once

#include "record/CounterRecord.h"

#include <QString>

#include <array>

// The texts of the spectrum table for one record. Times and frequencies are held in single
// precision, as the table shows them.
struct SpectrumCells
{
    std::array<QString, LevelCount> counts; // row 1: Nc
    std::array<QString, LevelCount> frequencies; // row 2: E per hour
    std::array<QString, LevelCount> logarithms; // row 3: log E, one blank where E is 0
    QString activeWorkTime; // hours, without the 0.001 of the divisor
};

SpectrumCells ComputeSpectrum(const RecordValues &values);
