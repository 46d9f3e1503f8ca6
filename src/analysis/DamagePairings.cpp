#include "DamagePrivate.h"
#include "MaxDamagePairing.h"

#include <algorithm>

namespace DamageDetail {

std::vector<Pairing> NestedPairings(const LevelAmounts &peaksAndValleys)
{
    // Both lists run from the outermost level inward, so the runs of equal ends merge in one
    // pass.
    std::vector<Pairing> pairings;
    pairings.reserve(LevelCount + 1);
    int peakLevel = TopPositive;
    int valleyLevel = TopNegative;
    double peaksLeft = peaksAndValleys[peakLevel];
    double valleysLeft = peaksAndValleys[valleyLevel];
    for (;;) {
        while (peaksLeft == 0 && peakLevel > InnerPositive)
            peaksLeft = peaksAndValleys[--peakLevel];
        while (valleysLeft == 0 && valleyLevel < InnerNegative)
            valleysLeft = peaksAndValleys[++valleyLevel];
        const double paired = std::min(peaksLeft, valleysLeft);
        if (paired == 0)
            break;
        pairings.push_back({valleyLevel, peakLevel, paired});
        peaksLeft -= paired;
        valleysLeft -= paired;
    }
    // What is left is on one branch only: the current run's remainder and every run inward.
    for (;;) {
        if (peaksLeft > 0)
            pairings.push_back({-1, peakLevel, peaksLeft});
        if (peakLevel == InnerPositive)
            break;
        peaksLeft = peaksAndValleys[--peakLevel];
    }
    for (;;) {
        if (valleysLeft > 0)
            pairings.push_back({valleyLevel, -1, valleysLeft});
        if (valleyLevel == InnerNegative)
            break;
        valleysLeft = peaksAndValleys[++valleyLevel];
    }
    return pairings;
}

// Any load history with these crossings closes its highest peak with its lowest valley; every
// other peak can close with any valley, and the surplus of the larger branch with the other
// branch's inner boundary (its cycles through the dead band are not counted). With each end at
// the outer end of its interval a cycle's damage rises with its range there (with Goodman while
// the peak stress is not above S_u), so the most damaging such pairing bounds every history.
// Which valley group each peak group closes with is a transport problem on the groups: rows the
// peak levels from the top inward and the boundary peak of surplus valleys, columns the valley
// levels from the bottom inward and the boundary valley of surplus peaks.
QString MostDamagingPairings(const LevelAmounts &peaksAndValleys,
    const DamageParameters &parameters, std::vector<Pairing> &pairings)
{
    std::vector<int> peakLevels, valleyLevels;
    std::vector<double> supply, demand;
    double peaks = 0, valleys = 0;
    for (int level = TopPositive; level >= InnerPositive; --level) {
        peakLevels.push_back(level);
        supply.push_back(peaksAndValleys[level]);
        peaks += supply.back();
    }
    for (int level = TopNegative; level <= InnerNegative; ++level) {
        valleyLevels.push_back(level);
        demand.push_back(peaksAndValleys[level]);
        valleys += demand.back();
    }
    // One cycle, or what there is of the outermost groups when a design spectrum's are
    // fractions of one.
    int fixedRow = -1, fixedColumn = -1;
    double fixed = 0;
    if (peaks > 0 && valleys > 0) {
        fixedRow = int(std::find_if(supply.begin(), supply.end(), [](auto n) { return n > 0; })
            - supply.begin());
        fixedColumn = int(std::find_if(demand.begin(), demand.end(), [](auto n) { return n > 0; })
            - demand.begin());
        fixed = std::min({1.0, supply[fixedRow], demand[fixedColumn]});
        supply[fixedRow] -= fixed, demand[fixedColumn] -= fixed, peaks -= fixed, valleys -= fixed;
    }
    peakLevels.push_back(-1);
    supply.push_back(std::max(0.0, valleys - peaks));
    valleyLevels.push_back(-1);
    demand.push_back(std::max(0.0, peaks - valleys));

    // One cycle's damage per pair of groups; the fixed cycle first, so that a refusal names a
    // cycle every history has when it can.
    const int rows = int(supply.size()), columns = int(demand.size());
    std::vector<std::vector<double>> weight(rows, std::vector<double>(columns, 0));
    const auto weigh = [&](int i, int j) {
        CycleGroup cycle;
        cycle.count = 1;
        QString refusal = FillCycle(cycle, ValleyEnd(valleyLevels[j], true, parameters),
            PeakEnd(peakLevels[i], true, parameters), QStringLiteral("in the upper bound"),
            parameters);
        weight[i][j] = cycle.damage;
        return refusal;
    };
    if (fixedRow >= 0) {
        if (QString refusal = weigh(fixedRow, fixedColumn); !refusal.isEmpty())
            return refusal;
    }
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns && supply[i] > 0; ++j) {
            if (demand[j] == 0)
                continue;
            if (QString refusal = weigh(i, j); !refusal.isEmpty())
                return refusal;
        }
    }
    TransportPlan plan = MaxWeightTransport(supply, demand, weight);
    if (fixedRow >= 0)
        plan[fixedRow][fixedColumn] += fixed;

    // Paired cycles from the highest peak down, then the unpaired peaks, then the valleys.
    pairings.clear();
    for (int i = 0; i + 1 < rows; ++i)
        for (int j = 0; j + 1 < columns; ++j)
            if (plan[i][j] > 0)
                pairings.push_back({valleyLevels[j], peakLevels[i], plan[i][j]});
    for (int i = 0; i + 1 < rows; ++i)
        if (plan[i][columns - 1] > 0)
            pairings.push_back({-1, peakLevels[i], plan[i][columns - 1]});
    for (int j = 0; j + 1 < columns; ++j)
        if (plan[rows - 1][j] > 0)
            pairings.push_back({valleyLevels[j], -1, plan[rows - 1][j]});
    return {};
}

} // namespace DamageDetail
