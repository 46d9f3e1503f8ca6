#include "MaxDamagePairing.h"

#include <algorithm>
#include <limits>

// A min-cost flow by successive shortest paths on the network s → row i (capacity supply[i]) →
// column j (unbounded, cost −weight[i][j]) → t (capacity demand[j]); a unit sent back from
// column j to row i (capacity x[i][j], cost +weight[i][j]) moves one pairing elsewhere.
//
// Why the plan is the best one:
// - Potentials π keep every residual arc's reduced cost c + π(u) − π(v) at or above zero, so
//   Dijkstra finds a cheapest s–t path; adding the distances to π keeps them so afterwards.
// - A flow grown only along cheapest paths is the cheapest flow of its value (no residual cycle
//   of negative cost ever appears), so once every supply is sent the plan has the least
//   −Σ w x, the most damage, of all plans.
// - With whole-number supplies and demands every bottleneck, and with it every x[i][j], is a
//   whole number (exact in doubles below 2^53); the transport polytope has integral vertices,
//   so no fractional plan does better either. Fractional ones (a design spectrum) give
//   fractional bottlenecks by the same steps.
// - What is left of each arc is kept, not recomputed from sums, and the bottleneck's own value
//   is subtracted from it: that arc is left at exactly zero, the others at or above zero, so
//   each augmentation closes an arc and rounding cannot leave a sliver of flow to chase. It
//   works on groups, not on single cycles, and in practice takes a few dozen paths on the
//   13 × 7 groups of a record.
// The weights are scaled to at most 1 so that the path sums stay far from overflow; rounding
// can only make a reduced cost a few ulps negative, which is read as zero.
namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();
constexpr double Unbounded = std::numeric_limits<double>::infinity();

// The residual network of a plan. Nodes: 0 = s, 1..rows, then the columns, then t.
class Network
{
public:
    Network(const std::vector<double> &supply, const std::vector<double> &demand,
        const std::vector<std::vector<double>> &weight)
        : supplyLeft(supply)
        , demandLeft(demand)
        , rows(int(supply.size()))
        , columns(int(demand.size()))
        , sink(rows + columns + 1)
        , plan(rows, std::vector<double>(columns, 0))
        , cost(rows, std::vector<double>(columns, 0))
        , potential(sink + 1, 0)
        , distance(sink + 1)
        , previous(sink + 1)
        , done(sink + 1)
    {
        double largest = 0;
        for (const std::vector<double> &row : weight)
            for (double w : row)
                largest = std::max(largest, w);
        const double scale = largest > 0 ? largest : 1;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j)
                cost[i][j] = -weight[i][j] / scale;
        // Reduced costs start at or above zero: a column at its cheapest arc, t below them all.
        for (int j = 0; j < columns; ++j) {
            for (int i = 0; i < rows; ++i)
                potential[column(j)] = std::min(potential[column(j)], cost[i][j]);
            potential[sink] = std::min(potential[sink], potential[column(j)]);
        }
    }

    // Sends along cheapest paths until every supply is sent.
    TransportPlan solve()
    {
        while (std::any_of(supplyLeft.begin(), supplyLeft.end(), [](double s) { return s > 0; })) {
            cheapestPaths();
            if (previous[sink] < 0)
                break; // cannot happen with equal sums: a row with supply left reaches t
            augment();
        }
        return plan;
    }

private:
    int column(int j) const { return 1 + rows + j; }

    // Calls arc(v, capacity, cost) for every residual arc leaving u.
    template<typename Arc> void forEachArc(int u, Arc &&arc) const
    {
        if (u == 0) {
            for (int i = 0; i < rows; ++i)
                arc(1 + i, supplyLeft[i], 0.0);
        } else if (u <= rows) {
            for (int j = 0; j < columns; ++j)
                arc(column(j), Unbounded, cost[u - 1][j]);
        } else if (u < sink) {
            const int j = u - 1 - rows;
            for (int i = 0; i < rows; ++i)
                arc(1 + i, plan[i][j], -cost[i][j]);
            arc(sink, demandLeft[j], 0.0);
        }
    }

    // Dijkstra on the reduced costs: each node's predecessor on a cheapest path from s, and the
    // potentials moved on.
    void cheapestPaths()
    {
        std::fill(distance.begin(), distance.end(), Unreached);
        std::fill(previous.begin(), previous.end(), -1);
        std::fill(done.begin(), done.end(), false);
        distance[0] = 0;
        for (;;) {
            int u = -1;
            for (int v = 0; v <= sink; ++v) {
                if (!done[v] && distance[v] < Unreached && (u < 0 || distance[v] < distance[u]))
                    u = v;
            }
            if (u < 0)
                break;
            done[u] = true;
            forEachArc(u, [&](int v, double capacity, double c) {
                const double reduced = std::max(0.0, c + potential[u] - potential[v]);
                if (capacity > 0 && distance[u] + reduced < distance[v]) {
                    distance[v] = distance[u] + reduced;
                    previous[v] = u;
                }
            });
        }
        // Nodes not reached move by the farthest distance, so arcs into the reached ones keep
        // a reduced cost at or above zero.
        double farthest = 0;
        for (double d : distance)
            if (d < Unreached)
                farthest = std::max(farthest, d);
        for (int v = 0; v <= sink; ++v)
            potential[v] += distance[v] < Unreached ? distance[v] : farthest;
    }

    // Sends the bottleneck of the cheapest path to t along it.
    void augment()
    {
        double push = Unbounded;
        for (int v = sink; v != 0; v = previous[v]) {
            const int u = previous[v];
            if (u == 0)
                push = std::min(push, supplyLeft[v - 1]);
            else if (v == sink)
                push = std::min(push, demandLeft[u - 1 - rows]);
            else if (u > rows) // back from a column to a row
                push = std::min(push, plan[v - 1][u - 1 - rows]);
        }
        for (int v = sink; v != 0; v = previous[v]) {
            const int u = previous[v];
            if (u == 0)
                supplyLeft[v - 1] -= push;
            else if (v == sink)
                demandLeft[u - 1 - rows] -= push;
            else if (u <= rows)
                plan[u - 1][v - 1 - rows] += push;
            else
                plan[v - 1][u - 1 - rows] -= push;
        }
    }

    std::vector<double> supplyLeft;
    std::vector<double> demandLeft;
    const int rows;
    const int columns;
    const int sink;
    TransportPlan plan;
    std::vector<std::vector<double>> cost; // −weight, scaled to at most 1
    std::vector<double> potential;
    // Dijkstra's work space, kept from one path to the next.
    std::vector<double> distance;
    std::vector<int> previous;
    std::vector<char> done;
};

} // namespace

TransportPlan MaxWeightTransport(const std::vector<double> &supply,
    const std::vector<double> &demand, const std::vector<std::vector<double>> &weight)
{
    return Network(supply, demand, weight).solve();
}
