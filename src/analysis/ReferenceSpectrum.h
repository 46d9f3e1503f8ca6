#pragma once

#include "Exceedance.h"
#include "Result.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// A reference (design) spectrum the user supplies, as CSV text in UTF-8:
//
//   # Made-up example, NOT real data: for trying the format only.
//   name,Example trainer spectrum
//   source,Example handbook
//   table,Table 9
//   page,12
//   normalisation,per 1000 h
//   axis,n
//   branch,value,exceedances per 1000 h
//   positive,1.5,30000
//   positive,2.5,2000
//   positive,3.5,40
//   negative,0.5,5000
//   negative,-0.5,300
//
// - Lines starting with "#" and blank lines are skipped; lines may end in LF or CR LF.
// - Provenance first, one "field,value" line each, all of them required and not empty: name,
//   source, table or figure (either word as the field), page, normalisation (must read
//   "per 1000 h"), axis (n, dn or a: the load factor, Δn = n - 1, or a = Δn / Δn_LL). A value
//   may hold commas, and may be wrapped in double quotes ("" for a quote inside).
// - An optional column heading whose first field is "branch".
// - Then the rows: branch (positive or negative), axis value, exceedances per 1000 h. A
//   branch's values lie on its side of 1 g (n above 1 on the positive branch, below 1 on the
//   negative; Δn above or below 0; a above 0 on both) and rise or fall strictly throughout;
//   exceedances are positive. At least one row.
struct ReferencePoint
{
    double axisValue = 0;
    double per1000h = 0;
};

struct ReferenceSpectrum
{
    QString fileName;
    QString name;
    QString source;
    QString tableOrFigure; // as given, under the field "table" or "figure"
    QString page;
    Axis axis = Axis::LoadFactor;
    // Each branch from 1 g outward; either may be empty, not both.
    std::vector<ReferencePoint> positive;
    std::vector<ReferencePoint> negative;

    const std::vector<ReferencePoint> &branch(Branch which) const
    {
        return which == Branch::Positive ? positive : negative;
    }
};

struct ReferenceReadResult : Result
{
    ReferenceSpectrum spectrum; // empty unless the whole file was read
};

// Reads a reference from the file's bytes; `fileName` only names it in messages. A malformed
// file is refused (Invalid) with the file, the line and what is wrong.
ReferenceReadResult ParseReferenceSpectrum(const QByteArray &bytes, const QString &fileName);

// The reference at an axis value on one branch: log10 of the exceedances linear in the axis
// value between the two neighbouring points; a point's own value at (or within rounding of) it;
// none outside the branch's range.
std::optional<double> ReferenceAt(const std::vector<ReferencePoint> &branch, double axisValue);

// The measured table beside one reference, level by level.
struct ReferenceComparison : Result
{
    std::array<std::optional<double>, LevelCount> reference {}; // per 1000 h; none outside
    std::array<std::optional<double>, LevelCount> ratio {}; // measured / reference
    // Going outward on each branch, the first level where the measured exceedances are above
    // the reference; none when they are nowhere above it.
    std::optional<int> firstAbovePositive;
    std::optional<int> firstAboveNegative;
};

// The levels are placed on the reference's own axis, whatever axis the table is shown on; a
// reference on the fraction axis needs the table's limit loads (Invalid without them). A table
// that was refused is refused again with its own message.
ReferenceComparison CompareWithReference(
    const ExceedanceTable &table, const ReferenceSpectrum &reference);
std::vector<ReferenceComparison> CompareWithReferences(
    const ExceedanceTable &table, const std::vector<ReferenceSpectrum> &references);
