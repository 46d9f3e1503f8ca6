#pragma once

#include <cstdint>
#include <vector>

// How many of supply i go to demand j.
using TransportPlan = std::vector<std::vector<std::int64_t>>;

// The integer plan x ≥ 0 with row sums supply[i] and column sums demand[j] that gives the
// largest Σ weight[i][j] · x[i][j]. The supplies and demands are not negative and have equal
// sums; the weights are finite and not negative. Used for the pairing of peaks and valleys that
// does the most damage: rows are peak groups, columns valley groups, weights a cycle's damage.
TransportPlan MaxWeightTransport(const std::vector<std::int64_t> &supply,
    const std::vector<std::int64_t> &demand, const std::vector<std::vector<double>> &weight);
