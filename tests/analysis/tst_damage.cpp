#include "Damage.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

Q_DECLARE_METATYPE(LevelCounts)
Q_DECLARE_METATYPE(DamageParameters)

namespace {
constexpr int InnerPositiveLevel = NegativeLevelCount; // 1.4 g
constexpr double none = std::numeric_limits<double>::quiet_NaN();

LevelCounts levels(std::initializer_list<std::pair<int, qint64>> counts)
{
    LevelCounts result {};
    for (const auto &[level, count] : counts)
        result[level] = count;
    return result;
}

const LevelCounts Demo = [] {
    LevelCounts counts {};
    std::copy_n(DemonstrationRecord.begin(), LevelCount, counts.begin());
    return counts;
}();
// Peaks 2 at 1.4 g and 1 at 1.6 g, 1 valley at -0.6 g.
const LevelCounts Small = levels({{6, 3}, {7, 1}, {5, 1}});
// One cycle (-0.6, 1.4): S_a = 100 * 2 / 2 = 100, S_m = 100 * 0.8 / 2 = 40.
const LevelCounts OneCycle = levels({{6, 1}, {5, 1}});

// σ₁ 100 MPa, k 3, S_D 100 MPa, N_D 1e6, elementary, SF 8, then the row's change.
DamageParameters with(void (*change)(DamageParameters &) = nullptr)
{
    DamageParameters p;
    p.stressPerG = 100, p.slope = 3, p.enduranceStress = 100, p.enduranceCycles = 1e6;
    if (change)
        change(p);
    return p;
}

// Counts of a record whose peaks and valleys are at these levels (-1: none).
LevelCounts fromEnds(const QList<int> &peakLevels, const QList<int> &valleyLevels)
{
    LevelCounts counts {};
    for (int peak : peakLevels)
        for (int level = NegativeLevelCount; level <= peak; ++level)
            ++counts[level];
    for (int valley : valleyLevels)
        for (int level = NegativeLevelCount - 1; level >= 0 && valley >= 0 && level >= valley;
             --level)
            ++counts[level];
    return counts;
}

// The most upper-bound damage any pairing gives, every one tried: the highest peak with the
// lowest valley, then each permutation of the other valleys (the shorter side filled up with
// the inner boundary, -1) against the other peaks. A cycle's damage is that of a record with
// that one cycle, where there is nothing to choose.
double bestPairing(QList<int> peaks, QList<int> valleys, const DamageParameters &parameters)
{
    std::map<std::pair<int, int>, double> known;
    const auto cycle = [&](int peak, int valley) {
        const auto [at, added] = known.try_emplace({peak, valley}, 0.0);
        if (added) {
            const DamageResult one = ComputeDamage(fromEnds({peak}, {valley}), 1, parameters);
            at->second = one.upper.damage;
        }
        return at->second;
    };
    std::sort(peaks.begin(), peaks.end(), std::greater<int>());
    std::sort(valleys.begin(), valleys.end());
    double fixed = 0;
    if (!peaks.isEmpty() && !valleys.isEmpty())
        fixed = cycle(peaks.takeFirst(), valleys.takeFirst());
    while (peaks.size() < valleys.size())
        peaks.append(-1);
    while (valleys.size() < peaks.size())
        valleys.append(-1);
    std::sort(valleys.begin(), valleys.end());
    double best = 0;
    do {
        double sum = fixed;
        for (int i = 0; i < peaks.size(); ++i)
            sum += cycle(peaks[i], valleys[i]);
        best = std::max(best, sum);
    } while (std::next_permutation(valleys.begin(), valleys.end()));
    return best;
}

void compareOptional(const std::optional<double> &actual, double expected)
{
    QCOMPARE(actual.has_value(), !std::isnan(expected));
    if (actual)
        QCOMPARE(*actual, expected);
}
} // namespace

class TestDamage : public QObject
{
    Q_OBJECT
private slots:
    void estimates_data();
    void estimates();
    void cycleTables();
    void life_data();
    void life();
    void countedBack_data();
    void countedBack();
    void refusals_data();
    void refusals();
    void upperBound_data();
    void upperBound();
    void kneeTie_data();
    void kneeTie();
};

void TestDamage::estimates_data()
{
    QTest::addColumn<LevelCounts>("counts");
    QTest::addColumn<DamageParameters>("parameters");
    QTest::addColumn<double>("counted");
    QTest::addColumn<double>("upper"); // NaN: not available

    // Small, counted: (-0.6, 1.6) x 1, S_a 110, N = 1e6 / 1.1^3; (1.0, 1.4) x 2, S_a 20.
    // Upper: (-0.8, 1.8) x 1, S_a 130; (-0.6, 1.6) x 2, S_a 110: 2.197e-6 + 2 * 1.331e-6.
    // Elementary: 1.331e-6 + 2 / (1e6 * 0.2^-3); haibach: 1.331e-6 + 2 / (1e6 * 0.2^-5).
    QTest::addRow("elementary") << Small << with() << 1.347e-6 << 4.859e-6;
    QTest::addRow("haibach") << Small
                             << with([](auto &p) { p.belowEndurance = BelowEndurance::Haibach; })
                             << 1.33164e-6 << 4.859e-6;
    QTest::addRow("original") << Small
                              << with([](auto &p) { p.belowEndurance = BelowEndurance::Original; })
                              << 1.331e-6 << 4.859e-6;
    // S_u 200: S_a,eq = 100 / (1 - 40 / 200) = 125; upper (-0.8, 1.6): 120 / 0.8 = 150.
    QTest::addRow("goodman") << OneCycle << with([](auto &p) { p.ultimateStrength = 200; })
                             << 1.25 * 1.25 * 1.25e-6 << 1.5 * 1.5 * 1.5e-6;
    // k 1: D = Σ n (n_p - n_v) * 50 / 1e8 whatever the pairing. Counted: Σ n n_p = 1.4*1289
    // + 1.6*489 + 1.8*298 + 2*136 + 2.2*87 + 2.4*80 + 2.6*58 + 2.8*69 + 3*24 + 3.2 + 3.4 + 4
    // = 4205.4; Σ n n_v = -(0.6*1840 + 0.8*560 + 70 + 1.2*8 + 1.4 + 2) + 53 * 1.0 = -1582.
    // Upper, bounds 6 and -3 g: Σ n n_p = 4205.4 + 0.2 * 2531 + 0.6 + 2 = 4714.2;
    // Σ n n_v = -(1635 + 0.2 * 2478 + 0.6 + 1) - 53 * 0.6 = -2164.
    QTest::addRow("demonstration, bounded")
        << Demo << with([](auto &p) { p.slope = 1, p.maxLoadPositive = 6, p.maxLoadNegative = -3; })
        << 50 * 5787.4 / 1e8 << 50 * 6878.2 / 1e8;
    QTest::addRow("demonstration, unbounded")
        << Demo << with([](auto &p) { p.slope = 1, p.maxLoadPositive = 6; }) << 50 * 5787.4 / 1e8
        << none;
}

void TestDamage::estimates()
{
    QFETCH(LevelCounts, counts);
    QFETCH(DamageParameters, parameters);
    QFETCH(double, counted);
    QFETCH(double, upper);

    const DamageResult result = ComputeDamage(counts, 10, parameters);
    QVERIFY2(result.ok() && result.counted.available, qPrintable(result.message()));
    QCOMPARE(result.counted.damage, counted);
    QCOMPARE(result.counted.damagePer1000h, 100 * counted); // 1000 D / 10 h
    QCOMPARE(result.upper.available, !std::isnan(upper));
    if (result.upper.available)
        QCOMPARE(result.upper.damage, upper);
    else // The valley beyond -2.0 g has no bound.
        QVERIFY2(result.upper.unavailableReason.contains("1 valley beyond -2.0 g"),
            qPrintable(result.upper.unavailableReason));
}

void TestDamage::cycleTables()
{
    using Row = std::array<double, 7>; // valley, peak, count, S_a, S_m, N, damage
    const auto compare = [](const DamageEstimate &estimate, const QList<Row> &expected) {
        QCOMPARE(estimate.cycles.size(), std::size_t(expected.size()));
        for (int i = 0; i < expected.size(); ++i) {
            const CycleGroup &c = estimate.cycles[i];
            const Row actual {c.valley, c.peak, double(c.count), c.amplitude, c.mean,
                c.cyclesToFailure.value_or(-1), c.damage};
            for (int column = 0; column < 7; ++column) {
                if (expected[i][column] != 0)
                    QCOMPARE(actual[column], expected[i][column]);
            }
        }
    };
    // S_m = 100 (n_p + n_v) / 2, N = 1e6 (S_a / 100)^-3; 0: not compared.
    const DamageResult small = ComputeDamage(Small, 10, with());
    compare(small.counted,
        {{-0.6, 1.6, 1, 110, 50, 1e6 / 1.331, 1.331e-6}, {1.0, 1.4, 2, 20, 120, 1.25e8, 1.6e-8}});
    compare(small.upper,
        {{-0.8, 1.8, 1, 130, 50, 1e6 / 2.197, 2.197e-6},
            {-0.6, 1.6, 2, 110, 50, 1e6 / 1.331, 2.662e-6}});

    // Peaks from 4.0 g inward: 1, 1, 1, 24, 69, 58, 80, 87, 136, 298, 489, 1289; valleys from
    // -2.0 g inward: 1, 1, 8, 70, 560, 1840. 2533 - 2480 = 53 peaks at 1.4 g are left over.
    const DamageResult demo = ComputeDamage(Demo, 10, with());
    QCOMPARE(std::tuple(demo.peaks, demo.valleys, demo.unpairedPeaks), std::tuple(2533, 2480, 53));
    compare(demo.counted,
        {{-2, 4, 1}, {-1.4, 3.4, 1}, {-1.2, 3.2, 1}, {-1.2, 3, 7}, {-1, 3, 17}, {-1, 2.8, 53},
            {-0.8, 2.8, 16}, {-0.8, 2.6, 58}, {-0.8, 2.4, 80}, {-0.8, 2.2, 87}, {-0.8, 2, 136},
            {-0.8, 1.8, 183}, {-0.6, 1.8, 115}, {-0.6, 1.6, 489}, {-0.6, 1.4, 1236}, {1, 1.4, 53}});
    QCOMPARE(demo.upper.available, false);
}

void TestDamage::life_data()
{
    QTest::addColumn<QList<double>>("inputs"); // σ₁, N_D, SF, L (NaN: none)
    QTest::addColumn<QList<double>>(
        "figures"); // used %, hours left, equivalent h, design-life rate

    // OneCycle, T = 10 h. σ₁ 100: S_a = S_D, N = N_D. N_D 1000: D = 0.001, used 100 * 8 * 0.001;
    // left (1/8 - 0.001) * 10 / 0.001; L 5000 h: 8 * 0.001 * 5000 = 40 h, 40 / 10.
    QTest::addRow("SF 8, L 5000 h")
        << QList {100.0, 1e3, 8.0, 5e3} << QList {0.8, 1240.0, 40.0, 4.0};
    // SF 2: (0.5 - 0.001) * 10 / 0.001; L 1000 h: 2 * 0.001 * 1000 = 2 h, 2 / 10.
    QTest::addRow("SF 2, L 1000 h")
        << QList {100.0, 1e3, 2.0, 1e3} << QList {0.2, 4990.0, 2.0, 0.2};
    // N_D 4: D = 0.25 > 1/8: used 200 %, (0.125 - 0.25) * 10 / 0.25 = -5 h: exhausted.
    QTest::addRow("exhausted") << QList {100.0, 4.0, 8.0, none} << QList {200.0, -5.0, none, none};
    // σ₁ 50: S_a 50 below S_D, no damage with original: D = 0, no hours left to give.
    QTest::addRow("no damage") << QList {50.0, 1e3, 8.0, none} << QList {0.0, none, none, none};
}

void TestDamage::life()
{
    QFETCH(QList<double>, inputs);
    QFETCH(QList<double>, figures);

    DamageParameters parameters
        = with([](auto &p) { p.belowEndurance = BelowEndurance::Original; });
    parameters.stressPerG = inputs[0], parameters.enduranceCycles = inputs[1];
    parameters.scatterFactor = inputs[2];
    if (!std::isnan(inputs[3]))
        parameters.designLife = inputs[3];
    const DamageResult result = ComputeDamage(OneCycle, 10, parameters);
    QVERIFY2(result.ok(), qPrintable(result.message()));
    const LifeFigures &life = result.counted.life;
    QCOMPARE(life.usedPercent, figures[0]);
    compareOptional(life.hoursLeft, figures[1]);
    QCOMPARE(life.exhausted, figures[1] < 0);
    compareOptional(life.equivalentHours, figures[2]);
    compareOptional(life.designLifeRate, figures[3]);
}

void TestDamage::countedBack_data()
{
    QTest::addColumn<LevelCounts>("counts");
    QTest::addColumn<LevelCounts>("consistent");
    QTest::addColumn<QList<int>>("raised");

    QTest::addRow("demonstration") << Demo << Demo << QList<int>();
    // 1.6 g: 2 below the 4 at 1.8 g; -0.6 g: 1 below the 3 at -0.8 g.
    QTest::addRow("inconsistent") << levels({{6, 5}, {7, 2}, {8, 4}, {5, 1}, {4, 3}})
                                  << levels({{6, 5}, {7, 4}, {8, 4}, {5, 3}, {4, 3}})
                                  << QList {5, 7};
}

void TestDamage::countedBack()
{
    QFETCH(LevelCounts, counts);
    QFETCH(LevelCounts, consistent);
    QFETCH(QList<int>, raised);

    const DamageResult result = ComputeDamage(counts, 1, with());
    QCOMPARE(result.consistentCounts, consistent);
    QList<int> raisedLevels;
    for (const RaisedLevel &r : result.raised) {
        raisedLevels.append(r.level);
        QCOMPARE(r.raisedTo, consistent[r.level]);
        QVERIFY2(r.text.contains(LoadLevels[r.level].text), qPrintable(r.text));
    }
    QCOMPARE(raisedLevels, raised);

    // A cycle crosses each positive level up to its peak and each negative level down to its
    // valley: counted again level by level, the cycles give back the consistent counts.
    LevelCounts recounted {};
    for (const CycleGroup &cycle : result.counted.cycles) {
        for (int level = 0; level < LevelCount; ++level) {
            const double n = LoadLevels[level].n;
            if ((n > 1 && cycle.peak >= n) || (n < 1 && cycle.valley <= n))
                recounted[level] += std::int64_t(cycle.count);
        }
    }
    QCOMPARE(recounted, consistent);
}

void TestDamage::refusals_data()
{
    QTest::addColumn<DamageParameters>("parameters");
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("fragment");

    using P = DamageParameters;
    QTest::addRow("k 0") << with([](P &p) { p.slope = 0; }) << 1.0 << "slope k";
    QTest::addRow("k 0.5, haibach")
        << with([](P &p) { p.slope = 0.5, p.belowEndurance = BelowEndurance::Haibach; }) << 1.0
        << "2k − 1";
    QTest::addRow("S_D 0") << with([](P &p) { p.enduranceStress = 0; }) << 1.0 << "S_D";
    QTest::addRow("N_D -1") << with([](P &p) { p.enduranceCycles = -1; }) << 1.0 << "N_D";
    QTest::addRow("σ₁ 0") << with([](P &p) { p.stressPerG = 0; }) << 1.0 << "σ₁";
    QTest::addRow("σ₁ NaN") << with([](P &p) { p.stressPerG = none; }) << 1.0 << "σ₁";
    QTest::addRow("SF 0.9") << with([](P &p) { p.scatterFactor = 0.9; }) << 1.0 << "SF";
    QTest::addRow("S_u 0") << with([](P &p) { p.ultimateStrength = 0; }) << 1.0 << "S_u";
    QTest::addRow("L 0") << with([](P &p) { p.designLife = 0; }) << 1.0 << "design life";
    QTest::addRow("max 4.0 g") << with([](P &p) { p.maxLoadPositive = 4; }) << 1.0 << "at 4 g";
    QTest::addRow("max -1.9 g") << with([](P &p) { p.maxLoadNegative = -1.9; }) << 1.0 << "-1.9 g";
    QTest::addRow("T 0") << with() << 0.0 << "T = 0";
    // OneCycle's S_m is 40: not below S_u = 40, nor 30.
    QTest::addRow("S_m = S_u") << with([](P &p) { p.ultimateStrength = 40; }) << 1.0
                               << "from -0.6 g to 1.4 g has a mean stress of 40 MPa";
    QTest::addRow("S_m > S_u") << with([](P &p) { p.ultimateStrength = 30; }) << 1.0 << "S_u = 30";
    // S_m 40 is below 130, the peak's 140 MPa above it.
    QTest::addRow("peak above S_u")
        << with([](P &p) { p.ultimateStrength = 130; }) << 1.0
        << "from -0.6 g to 1.4 g has a peak stress of 140 MPa, above S_u = 130 MPa";
    // A single cycle's figures overflow: refused with the S-N data.
    QTest::addRow("σ₁ 1e308") << with([](P &p) { p.stressPerG = 1e308; }) << 1.0 << "overflow";
    QTest::addRow("k 1e300") << with([](P &p) { p.slope = 1e300; }) << 1.0 << "overflow";
    QTest::addRow("N_D 5e-324") << with([](P &p) { p.enduranceCycles = 5e-324; }) << 1.0
                                << "overflow";
    QTest::addRow("SF 1e307") << with([](P &p) {
        p.scatterFactor = 1e307, p.enduranceCycles = 1e-6;
    }) << 1.0 << "life used = inf";
    // Every cycle is fine, the figures of the record are not. S_a = S_D: N = N_D = 1e308,
    // D = 1e-308, hours left 0.125 * 100 h / 1e-308.
    QTest::addRow("hours left") << with([](P &p) {
        p.enduranceCycles = 1e308, p.belowEndurance = BelowEndurance::Original;
    }) << 100.0 << "hours left = inf";
    QTest::addRow("equivalent hours")
        << with([](P &p) { p.enduranceCycles = 1e-300, p.designLife = 1e300; }) << 1.0
        << "equivalent hours = inf";
}

void TestDamage::refusals()
{
    QFETCH(DamageParameters, parameters);
    QFETCH(double, hours);
    QFETCH(QString, fragment);

    const DamageResult result = ComputeDamage(OneCycle, hours, parameters);
    QCOMPARE(result.failure(), Result::Invalid);
    QVERIFY2(result.message().contains(fragment), qPrintable(result.message()));
    QVERIFY(result.counted.cycles.empty() && result.upper.cycles.empty());
}

void TestDamage::upperBound_data()
{
    QTest::addColumn<QList<int>>("peaks"); // levels
    QTest::addColumn<QList<int>>("valleys");
    QTest::addColumn<DamageParameters>("parameters");

    using P = DamageParameters;
    // Peaks at 3.0, 2.6, 2.2 g and valleys at -1.0, -0.8, -0.6 g, at 3.2, 2.8, 2.4 and -1.2,
    // -1.0, -0.8 g in the upper bound: besides the fixed outer cycle, the nested pairing gives
    // ranges 4.0 and 3.2 g, the crossed one 3.6 and 3.6 g.
    const QList<int> three {14, 12, 10}, threeValleys {3, 4, 5};
    // Two more peaks than valleys: the surplus closes with -0.6 g.
    const QList<int> five {15, 13, 11, 9, 7}, fewer {2, 4, 5};
    const DamageParameters knee
        = with([](P &p) { p.stressPerG = 50, p.enduranceStress = 85, p.maxLoadNegative = -2.5; });
    const auto variant = [&](const char *name, void (*change)(P &)) {
        DamageParameters parameters = knee;
        change(parameters);
        QTest::addRow("%s, 3 and 3", name) << three << threeValleys << parameters;
        QTest::addRow("%s, 5 and 3", name) << five << fewer << parameters;
        QTest::addRow("%s, 3 and 5", name)
            << QList {13, 11, 9} << QList {0, 1, 3, 4, 5} << parameters;
        // Up to 5 peaks and 5 valleys anywhere below 4.0 g, the same draws for each variant.
        std::mt19937 draw(22);
        for (int row = 0; row < 12; ++row) {
            QList<int> peaks(1 + draw() % 5), valleys(draw() % 6);
            for (int &level : peaks)
                level = InnerPositiveLevel + int(draw() % (PositiveLevelCount - 1));
            for (int &level : valleys)
                level = int(draw() % NegativeLevelCount);
            QTest::addRow("%s, drawn %d", name, row) << peaks << valleys << parameters;
        }
    };
    variant("elementary k 3", [](P &) {});
    variant("elementary k 0.8", [](P &p) { p.slope = 0.8; });
    variant("haibach", [](P &p) { p.belowEndurance = BelowEndurance::Haibach; });
    variant("original", [](P &p) { p.belowEndurance = BelowEndurance::Original; });
    // Peaks up to 4.0 g in the upper bound: 200 MPa, so S_u 205 lets every cycle through.
    variant("goodman", [](P &p) { p.ultimateStrength = 205; });
}

void TestDamage::upperBound()
{
    QFETCH(QList<int>, peaks);
    QFETCH(QList<int>, valleys);
    QFETCH(DamageParameters, parameters);

    const DamageResult result = ComputeDamage(fromEnds(peaks, valleys), 1, parameters);
    QVERIFY2(result.ok() && result.upper.available, qPrintable(result.message()));
    QCOMPARE(result.upper.damage, bestPairing(peaks, valleys, parameters));
    // The pairing shown adds up to the damage and uses every peak and valley once.
    double sum = 0;
    std::int64_t cycles = 0;
    for (const CycleGroup &cycle : result.upper.cycles)
        sum += cycle.damage, cycles += std::int64_t(cycle.count);
    QCOMPARE(sum, result.upper.damage);
    QCOMPARE(cycles, std::max(peaks.size(), valleys.size()));
}

void TestDamage::kneeTie_data()
{
    QTest::addColumn<int>("peak"); // level
    QTest::addColumn<int>("valley");
    QTest::addColumn<double>("stressPerG");
    QTest::addColumn<double>("amplitude"); // S_D too

    // In binary 2.8 − (−0.8) is 3.5999…, 1.4 − (−1.2) 2.5999…, 2.4 − (−1.2) 3.5999….
    QTest::addRow("2.8 / -0.8 g") << 13 << 4 << 50.0 << 90.0;
    QTest::addRow("1.4 / -1.2 g") << 6 << 2 << 50.0 << 65.0;
    QTest::addRow("2.4 / -1.2 g") << 11 << 2 << 100.0 << 180.0;
}

void TestDamage::kneeTie()
{
    QFETCH(int, peak);
    QFETCH(int, valley);
    QFETCH(double, stressPerG);
    QFETCH(double, amplitude);

    // A cycle exactly at S_D does damage 1 / N_D with `original`, not none.
    DamageParameters parameters
        = with([](auto &p) { p.belowEndurance = BelowEndurance::Original; });
    parameters.stressPerG = stressPerG, parameters.enduranceStress = amplitude;
    const DamageResult result = ComputeDamage(fromEnds({peak}, {valley}), 1, parameters);
    QVERIFY2(result.ok(), qPrintable(result.message()));
    QCOMPARE(result.counted.cycles.size(), std::size_t(1));
    QVERIFY(result.counted.cycles[0].amplitude == amplitude);
    QVERIFY(result.counted.damage == 1e-6);
}

QTEST_APPLESS_MAIN(TestDamage)
#include "tst_damage.moc"
