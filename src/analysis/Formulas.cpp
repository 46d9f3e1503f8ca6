#include "Formulas.h"

namespace Formulas {
const QString Hours
    = QStringLiteral("T = (active seconds + 43200 · active 12-hour periods) / 3600 h");
const QString PerHour = QStringLiteral("E = Nc / T per hour");
const QString Per1000h = QStringLiteral("E₁₀₀₀ = 1000 · Nc / T per 1000 h");
const QString Logarithm = QStringLiteral("log E₁₀₀₀ = log₁₀ E₁₀₀₀, blank where Nc = 0");
const QString Branches = QStringLiteral("positive branch: exceedances above 1.4 … 4.0 g; "
                                        "negative branch: below −0.6 … −2.0 g");
const QString Increment = QStringLiteral("Δn = n − 1");
const QString Fraction = QStringLiteral("a = Δn / Δn_LL, Δn_LL = n_LL+ − 1 (positive branch), "
                                        "n_LL− − 1 (negative branch)");
const QString Interpolation = QStringLiteral("reference: log₁₀ E₁₀₀₀ linear in the axis value "
                                             "between neighbouring points, none outside them");
const QString Ratio = QStringLiteral("ratio = measured E₁₀₀₀ / reference E₁₀₀₀");
const QString FirstAbove = QStringLiteral("first above: the first level, from 1 g outward, "
                                          "where measured > reference");

const QString Consistent = QStringLiteral("P′(nⱼ) = max of Nc at nⱼ and every level beyond it");
const QString PeaksAndValleys = QStringLiteral(
    "peaks at pⱼ = P′(pⱼ) − P′(pⱼ₊₁), at 4.0 g P′(4.0 g); valleys likewise below −0.6 g");
const QString Pairing = QStringLiteral("D_counted pairs the highest peak with the lowest valley, "
                                       "then inward; ends left over pair with the other "
                                       "branch's inner boundary");
const QString UpperPairing = QStringLiteral(
    "D_upper takes the pairing of most damage a load history with these crossings can give: "
    "the highest peak with the lowest valley, every other peak with any valley, the surplus of "
    "one branch with the other branch's inner boundary");
const QString DeadBand = QStringLiteral("cycles inside the dead band between −0.6 g and 1.4 g "
                                        "are not counted by the recorder and are in neither "
                                        "estimate");
const QString CountedPositions
    = QStringLiteral("D_counted: peaks and valleys at the level reached, unpaired ends at 1.0 g");
const QString UpperPositions = QStringLiteral(
    "D_upper: peaks and valleys at the next level out (beyond 4.0 g and −2.0 g the maximum "
    "loads given), unpaired peaks with a valley at −0.6 g, unpaired valleys with a peak at 1.4 g");
const QString Stress = QStringLiteral("σ = σ₁ · n");
const QString AmplitudeAndMean = QStringLiteral(
    "Sₐ = σ₁ (n_p − n_v) / 2, Sₘ = σ₁ (n_p + n_v) / 2, with the levels in exact tenths of g");
const QString Basquin = QStringLiteral("N(Sₐ) = N_D · (Sₐ / S_D)^(−k)");
const QString Elementary = QStringLiteral("below S_D: the same slope k (elementary)");
const QString Haibach = QStringLiteral("below S_D: N(Sₐ) = N_D · (Sₐ / S_D)^(−(2k − 1)) (haibach)");
const QString Original = QStringLiteral("below S_D: no damage (original)");
const QString Goodman = QStringLiteral("Sₐ,eq = Sₐ / (1 − Sₘ / S_u), used for Sₐ in N; refused "
                                       "where Sₘ ≥ S_u or the peak stress σ₁ n_p > S_u");
const QString Miner = QStringLiteral("D = Σ nᵢ / N(Sₐ,ᵢ)");
const QString Overflow = QStringLiteral("an N, damage, life used or hours that overflow the "
                                        "range of numbers are refused");
const QString DamagePer1000h = QStringLiteral("D₁₀₀₀ = 1000 · D / T");
const QString LifeUsed = QStringLiteral("life used = 100 % · SF · D");
const QString HoursLeft = QStringLiteral("hours left = (1/SF − D) · T / D");
const QString EquivalentHours = QStringLiteral("equivalent hours = SF · D · L");
const QString DesignLifeRate
    = QStringLiteral("design-life rate = equivalent hours / T (1.0 uses life up in L hours; not "
                     "the severity against a design spectrum)");
const QString DesignSampling = QStringLiteral(
    "design spectrum at each level: E₁₀₀₀ from its points, log₁₀ E₁₀₀₀ linear in the axis value "
    "between neighbouring points, 0 outside them; P′ as for counts");
const QString DesignDamage = QStringLiteral(
    "D₁₀₀₀,design: those E₁₀₀₀ taken as the counts of T = 1000 h, paired and damaged as above, "
    "each estimate by its own rule (the fixed cycle of D_upper at most 1)");
const QString Severity = QStringLiteral(
    "severity = D₁₀₀₀ / D₁₀₀₀,design per estimate (1.0 = flown as the design spectrum)");
} // namespace Formulas

QStringList ExceedanceFormulaLines(Axis axis, bool withReferences)
{
    using namespace Formulas;
    QStringList lines {Hours, PerHour, Per1000h, Logarithm, Branches};
    if (axis != Axis::LoadFactor)
        lines.append(Increment);
    if (axis == Axis::Fraction)
        lines.append(Fraction);
    if (withReferences)
        lines.append({Interpolation, Ratio, FirstAbove});
    return lines;
}

QStringList DamageFormulaLines(const DamageParameters &parameters)
{
    using namespace Formulas;
    QStringList lines {Hours, Consistent, PeaksAndValleys, Pairing, UpperPairing, CountedPositions,
        UpperPositions, DeadBand, Stress, AmplitudeAndMean, Basquin};
    switch (parameters.belowEndurance) {
    case BelowEndurance::Elementary:
        lines.append(Elementary);
        break;
    case BelowEndurance::Haibach:
        lines.append(Haibach);
        break;
    case BelowEndurance::Original:
        lines.append(Original);
        break;
    }
    if (parameters.ultimateStrength)
        lines.append(Goodman);
    lines.append({Miner, DamagePer1000h, LifeUsed, HoursLeft});
    if (parameters.designLife)
        lines.append({EquivalentHours, DesignLifeRate});
    lines.append(Overflow);
    return lines;
}

QStringList DesignFormulaLines()
{
    using namespace Formulas;
    return {DesignSampling, DesignDamage, Severity};
}
