#pragma once

#include <vector>

// How many of supply i go to demand j.
using TransportPlan = std::vector<std::vector<double>>;

// The plan x ≥ 0 with row sums supply[i] and column sums demand[j] that gives the largest
// Σ weight[i][j] · x[i][j]. The supplies and demands are finite, not negative and have equal
// sums; the weights are finite and not negative. Whole-number supplies and demands (below 2^53)
// give a whole-number plan, worked exactly; fractional ones (a design spectrum sampled at the
// levels) a plan of the same optimum. Used for the pairing of peaks and valleys that does the
// most damage: rows are peak groups, columns valley groups, weights a cycle's damage.
TransportPlan MaxWeightTransport(const std::vector<double> &supply,
    const std::vector<double> &demand, const std::vector<std::vector<double>> &weight);
