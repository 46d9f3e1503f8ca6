#pragma once

#include "Damage.h"
#include "Exceedance.h"
#include "ReferenceSpectrum.h"

#include <array>
#include <optional>
#include <vector>

// A type's design spectrum: a reference spectrum (ReferenceSpectrum.h) taken as the usage the
// structure was designed for. Its damage per 1000 h is worked from the exceedances it gives at
// the recorder's 18 levels, by the same rules and S-N data as a record's counts, so that a
// record flown exactly as the design spectrum scores a severity of 1.

// A level whose sample was below the sample further out: raised to it, as a record's counts are
// (a peak beyond a level also crossed it). Mostly an inner level outside the reference's range.
struct RaisedSample
{
    int level = 0;
    double sampled = 0;
    double raisedTo = 0;
};

struct DesignDamage : Result
{
    // Exceedances per 1000 h at each level: log10 linear in the reference's axis value between
    // its points, 0 outside its range.
    std::array<double, LevelCount> sampled {};
    std::vector<int> outside; // levels outside the reference's range, record order
    std::vector<RaisedSample> raised; // outward on each branch
    std::array<double, LevelCount> consistent {}; // P′ of the samples
    // Both estimates over T = 1000 h, so that D is the damage per 1000 h.
    DamageEstimate counted;
    DamageEstimate upper;
};

// The reference on axis a needs the limit loads (Invalid without them, naming the reference);
// parameters failing CheckDamageParameters, and refusals of the damage itself (Goodman, an
// overflow), are Invalid with their message.
DesignDamage ComputeDesignDamage(const ReferenceSpectrum &design,
    const std::optional<LimitLoads> &limits, const DamageParameters &parameters);

// Measured damage per 1000 h over the design's, for one estimate.
struct SeverityFigure
{
    std::optional<double> value;
    QString reason; // why there is none
};
SeverityFigure SeverityOf(const DamageEstimate &measured, const DamageEstimate &design);

// Both estimates of a record (or period) against the design.
struct Severity
{
    SeverityFigure counted;
    SeverityFigure upper;
};
Severity SeverityAgainst(const DamageResult &measured, const DesignDamage &design);
