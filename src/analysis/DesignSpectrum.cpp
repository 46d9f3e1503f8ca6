#include "DesignSpectrum.h"
#include "DamagePrivate.h"

using namespace DamageDetail;

namespace {

// The design spectrum's damage is per 1000 h by construction: its counts are per 1000 h.
constexpr double DesignHours = 1000;

QString designName(const ReferenceSpectrum &design)
{
    return QStringLiteral("The design spectrum \"%1\" (%2)").arg(design.name, design.fileName);
}

// The samples at the levels, and which levels lie outside the reference's range.
void sample(const ReferenceSpectrum &design, const AxisChoice &axis, DesignDamage &result)
{
    for (int level = 0; level < LevelCount; ++level) {
        const Branch branch = BranchOf(level);
        const std::optional<double> value
            = ReferenceAt(design.branch(branch), AxisValue(LoadLevels[level].n, branch, axis));
        result.sampled[level] = value.value_or(0);
        if (!value)
            result.outside.push_back(level);
    }
}

} // namespace

DesignDamage ComputeDesignDamage(const ReferenceSpectrum &design,
    const std::optional<LimitLoads> &limits, const DamageParameters &parameters)
{
    DesignDamage result;
    const auto refused = [&result, &design](const Result &why) {
        result = DesignDamage();
        result.setFailure(why.failure(), designName(design) + QStringLiteral(": ") + why.message());
        return result;
    };
    if (const Result checked = CheckDamageParameters(parameters); !checked.ok())
        return refused(checked);
    const AxisChoice axis {design.axis, limits};
    if (const Result checked = CheckAxisChoice(axis); !checked.ok())
        return refused(checked);
    sample(design, axis, result);

    LevelAmounts peaksAndValleys {};
    MakeConsistent(result.sampled, result.consistent, peaksAndValleys);
    for (Branch branch : {Branch::Negative, Branch::Positive}) {
        for (int level : OutwardLevels(branch)) {
            if (result.consistent[level] != result.sampled[level])
                result.raised.push_back({level, result.sampled[level], result.consistent[level]});
        }
    }

    if (QString refusal = FillEstimate(
            result.counted, NestedPairings(peaksAndValleys), false, DesignHours, parameters);
        !refusal.isEmpty())
        return refused({Result::Invalid, refusal});
    if (result.upper.unavailableReason = UnboundedReason(peaksAndValleys, parameters);
        !result.upper.unavailableReason.isEmpty())
        return result;
    std::vector<Pairing> pairings;
    QString refusal = MostDamagingPairings(peaksAndValleys, parameters, pairings);
    if (refusal.isEmpty())
        refusal = FillEstimate(result.upper, pairings, true, DesignHours, parameters);
    if (!refusal.isEmpty())
        return refused({Result::Invalid, refusal});
    return result;
}

SeverityFigure SeverityOf(const DamageEstimate &measured, const DamageEstimate &design)
{
    if (!measured.available)
        return {std::nullopt, QStringLiteral("the measured estimate is not available")};
    if (!design.available)
        return {std::nullopt, QStringLiteral("the design spectrum's estimate is not available")};
    // With `original` a design spectrum wholly below S_D does no damage: nothing to divide by.
    if (!(design.damagePer1000h > 0))
        return {std::nullopt, QStringLiteral("the design spectrum does no damage")};
    return {measured.damagePer1000h / design.damagePer1000h, {}};
}

Severity SeverityAgainst(const DamageResult &measured, const DesignDamage &design)
{
    return {SeverityOf(measured.counted, design.counted), SeverityOf(measured.upper, design.upper)};
}
