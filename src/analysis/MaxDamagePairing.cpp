#include "MaxDamagePairing.h"

#include <algorithm>
#include <limits>
#include <numeric>

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
// - Supplies and demands are integers and the column arcs unbounded, so every bottleneck, and
//   with it every x[i][j], is an integer; the transport polytope has integral vertices, so no
//   fractional plan does better either.
// - Each augmentation sends at least one unit, so it ends; it works on groups, not on single
//   cycles, and in practice takes a few dozen paths on the 13 × 7 groups of a record.
// The weights are scaled to at most 1 so that the path sums stay far from overflow; rounding
// can only make a reduced cost a few ulps negative, which is read as zero.
namespace {

constexpr double Unreached = std::numeric_limits<double>::infinity();

// The residual network of a plan. Nodes: 0 = s, 1..rows, then the columns, then t.
class Network
{
public:
    Network(const std::vector<std::int64_t> &supply, const std::vector<std::int64_t> &demand,
        const std::vector<std::vector<double>> &weight)
        : supply(supply)
        , demand(demand)
        , rows(int(supply.size()))
        , columns(int(demand.size()))
        , sink(rows + columns + 1)
        , plan(rows, std::vector<std::int64_t>(columns, 0))
        , sent(rows, 0)
        , received(columns, 0)
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
        total = std::accumulate(supply.begin(), supply.end(), std::int64_t(0));
    }

    // Sends along cheapest paths until every supply is sent.
    TransportPlan solve()
    {
        std::int64_t flow = 0;
        while (flow < total) {
            cheapestPaths();
            if (previous[sink] < 0)
                break; // cannot happen with equal sums: a row with supply left reaches t
            flow += augment(total - flow);
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
                arc(1 + i, supply[i] - sent[i], 0.0);
        } else if (u <= rows) {
            for (int j = 0; j < columns; ++j)
                arc(column(j), total, cost[u - 1][j]);
        } else if (u < sink) {
            const int j = u - 1 - rows;
            for (int i = 0; i < rows; ++i)
                arc(1 + i, plan[i][j], -cost[i][j]);
            arc(sink, demand[j] - received[j], 0.0);
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
            forEachArc(u, [&](int v, std::int64_t capacity, double c) {
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

    // Sends the bottleneck of the cheapest path to t (at most `limit`) along it; gives what was
    // sent.
    std::int64_t augment(std::int64_t limit)
    {
        std::int64_t push = limit;
        for (int v = sink; v != 0; v = previous[v]) {
            const int u = previous[v];
            if (u == 0)
                push = std::min(push, supply[v - 1] - sent[v - 1]);
            else if (v == sink)
                push = std::min(push, demand[u - 1 - rows] - received[u - 1 - rows]);
            else if (u > rows) // back from a column to a row
                push = std::min(push, plan[v - 1][u - 1 - rows]);
        }
        for (int v = sink; v != 0; v = previous[v]) {
            const int u = previous[v];
            if (u == 0)
                sent[v - 1] += push;
            else if (v == sink)
                received[u - 1 - rows] += push;
            else if (u <= rows)
                plan[u - 1][v - 1 - rows] += push;
            else
                plan[v - 1][u - 1 - rows] -= push;
        }
        return push;
    }

    const std::vector<std::int64_t> &supply;
    const std::vector<std::int64_t> &demand;
    const int rows;
    const int columns;
    const int sink;
    TransportPlan plan;
    std::vector<std::int64_t> sent;
    std::vector<std::int64_t> received;
    std::vector<std::vector<double>> cost; // −weight, scaled to at most 1
    std::vector<double> potential;
    std::int64_t total = 0;
    // Dijkstra's work space, kept from one path to the next.
    std::vector<double> distance;
    std::vector<int> previous;
    std::vector<char> done;
};

} // namespace

TransportPlan MaxWeightTransport(const std::vector<std::int64_t> &supply,
    const std::vector<std::int64_t> &demand, const std::vector<std::vector<double>> &weight)
{
    return Network(supply, demand, weight).solve();
}
