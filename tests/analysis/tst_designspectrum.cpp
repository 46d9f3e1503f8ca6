#include "DesignSpectrum.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(DamageParameters)
Q_DECLARE_METATYPE(std::optional<LimitLoads>)

namespace {
// σ₁ 100 MPa, k 3, S_D 100 MPa, N_D 1e6, elementary, SF 8, then the row's change.
DamageParameters with(void (*change)(DamageParameters &) = nullptr)
{
    DamageParameters p;
    p.stressPerG = 100, p.slope = 3, p.enduranceStress = 100, p.enduranceCycles = 1e6;
    if (change)
        change(p);
    return p;
}

const LimitLoads Normal {3.8, -1.52};

// Made-up provenance, NOT real data.
QByteArray header(const char *axis)
{
    return QByteArray("name,Made-up design\nsource,Test\ntable,1\npage,1\n"
                      "normalisation,per 1000 h\naxis,")
        + axis + '\n';
}

// A reference with a point at each level where `counts` is positive, on `axis`: the counts of a
// record flown exactly as it.
ReferenceSpectrum referenceAtLevels(const LevelCounts &counts, Axis axis)
{
    ReferenceSpectrum r;
    r.fileName = QStringLiteral("made-up.csv");
    r.name = QStringLiteral("Made-up design");
    r.axis = axis;
    const AxisChoice choice {axis, Normal};
    for (Branch branch : {Branch::Negative, Branch::Positive}) {
        for (int level : OutwardLevels(branch)) {
            if (counts[level] > 0)
                (branch == Branch::Positive ? r.positive : r.negative)
                    .push_back(
                        {AxisValue(LoadLevels[level].n, branch, choice), double(counts[level])});
        }
    }
    return r;
}

ReferenceSpectrum parsed(const QByteArray &text)
{
    const ReferenceReadResult read = ParseReferenceSpectrum(text, QStringLiteral("d.csv"));
    if (!read.ok())
        qFatal("%s", qPrintable(read.message()));
    return read.spectrum;
}
} // namespace

class TestDesignSpectrum : public QObject
{
    Q_OBJECT
private slots:
    void flownAsDesigned_data();
    void flownAsDesigned();
    void handWorked_data();
    void handWorked();
    void sampling_data();
    void sampling();
    void noSeverity_data();
    void noSeverity();
};

void TestDesignSpectrum::flownAsDesigned_data()
{
    QTest::addColumn<LevelCounts>("counts");
    QTest::addColumn<int>("axis");
    QTest::addColumn<DamageParameters>("parameters");

    // Non-increasing outward, every level reached: each level a point of the reference.
    const LevelCounts busy {1, 2, 4, 9, 30, 120, 400, 260, 150, 80, 41, 20, 11, 6, 3, 2, 1, 1};
    // Whole numbers only at some levels; the others fall between points or outside.
    const LevelCounts sparse {0, 0, 0, 3, 3, 17, 250, 250, 90, 40, 40, 12, 0, 0, 0, 0, 0, 0};
    QTest::addRow("n, elementary, bounded")
        << busy << int(Axis::LoadFactor)
        << with([](DamageParameters &p) { p.maxLoadPositive = 5.7, p.maxLoadNegative = -3; });
    QTest::addRow("dn, haibach, goodman")
        << busy << int(Axis::Increment) << with([](DamageParameters &p) {
               p.belowEndurance = BelowEndurance::Haibach;
               p.ultimateStrength = 900;
               p.maxLoadPositive = 5.7, p.maxLoadNegative = -3;
           });
    QTest::addRow("a, original") << busy << int(Axis::Fraction) << with([](DamageParameters &p) {
        p.belowEndurance = BelowEndurance::Original;
        p.maxLoadPositive = 5.7, p.maxLoadNegative = -3;
    });
    QTest::addRow("n, sparse, no maximum loads") << sparse << int(Axis::LoadFactor) << with();
    QTest::addRow("a, sparse, k 5")
        << sparse << int(Axis::Fraction) << with([](DamageParameters &p) { p.slope = 5; });
}

// A record whose counts are the design spectrum's values at the levels over 1000 h scores 1 in
// both estimates.
void TestDesignSpectrum::flownAsDesigned()
{
    QFETCH(LevelCounts, counts);
    QFETCH(int, axis);
    QFETCH(DamageParameters, parameters);
    const ReferenceSpectrum design = referenceAtLevels(counts, Axis(axis));
    const DesignDamage designed = ComputeDesignDamage(design, Normal, parameters);
    QVERIFY2(designed.ok(), qPrintable(designed.message()));
    const DamageResult measured = ComputeDamage(counts, 1000, parameters);
    QVERIFY2(measured.ok(), qPrintable(measured.message()));
    QVERIFY(designed.counted.damage > 0);
    QCOMPARE(designed.upper.available, measured.upper.available);

    const Severity severity = SeverityAgainst(measured, designed);
    QCOMPARE(severity.counted.value, std::optional(1.0));
    if (measured.upper.available)
        QCOMPARE(severity.upper.value, std::optional(1.0));
    else
        QVERIFY(!severity.upper.value && !severity.upper.reason.isEmpty());

    // Twice the counts over the same hours: twice the counted damage per 1000 h.
    LevelCounts doubled = counts;
    for (std::int64_t &count : doubled)
        count *= 2;
    const DamageResult twice = ComputeDamage(doubled, 1000, parameters);
    QCOMPARE(SeverityAgainst(twice, designed).counted.value, std::optional(2.0));
}

void TestDesignSpectrum::handWorked_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<LimitLoads>>("limits");

    // Peaks 2.5 to 1.4 g and 0.5 to 1.6 g, valleys 1.5 to -0.6 g, per 1000 h; the same
    // spectrum on each axis.
    QTest::addRow("n") << header("n") + "positive,1.4,2.5\npositive,1.6,0.5\nnegative,-0.6,1.5\n"
                       << std::optional<LimitLoads>();
    QTest::addRow("dn") << header("dn") + "positive,0.4,2.5\npositive,0.6,0.5\nnegative,-1.6,1.5\n"
                        << std::optional<LimitLoads>();
    // a = Δn / Δn_LL with 3.8 and -1.52: 0.4/2.8, 0.6/2.8, -1.6/-2.52.
    QTest::addRow("a") << header("a")
            + "positive,0.142857142857142857,2.5\npositive,0.214285714285714285,0.5\n"
              "negative,0.634920634920634920,1.5\n"
                       << std::optional(Normal);
}

// σ₁ 100, k 3, S_D 100, N_D 1e6:
// counted: 0.5 × (−0.6, 1.6) S_a 110: 0.5 · 1.1³ / 1e6 = 0.6655e-6; 1 × (−0.6, 1.4) S_a 100:
//   1e-6; 1 × (1.0, 1.4) S_a 20: 0.2³ / 1e6 = 0.008e-6; D = 1.6735e-6.
// upper: the 0.5 top peaks with the valleys (−0.8, 1.8) S_a 130: 0.5 · 1.3³ / 1e6 = 1.0985e-6;
//   1 × (−0.8, 1.6) S_a 120: 1.728e-6; the 1 peak left with −0.6 g, S_a 110: 1.331e-6;
//   D = 4.1575e-6.
void TestDesignSpectrum::handWorked()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<LimitLoads>, limits);
    DamageParameters parameters = with();
    parameters.maxLoadPositive = 5.7, parameters.maxLoadNegative = -3;
    const DesignDamage designed = ComputeDesignDamage(parsed(text), limits, parameters);
    QVERIFY2(designed.ok(), qPrintable(designed.message()));
    QVERIFY(std::abs(designed.counted.damagePer1000h - 1.6735e-6) < 1e-15);
    QVERIFY(std::abs(designed.upper.damagePer1000h - 4.1575e-6) < 1e-15);
    QCOMPARE(designed.counted.cycles.size(), 3u);
    QCOMPARE(designed.counted.cycles[0].count, 0.5);
    QCOMPARE(designed.outside.size(), std::size_t(LevelCount - 3));
    QVERIFY(designed.raised.empty());
}

void TestDesignSpectrum::sampling_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<double>>("expected"); // per level; NaN outside the range
    QTest::addColumn<QList<int>>("raised");

    const double out = std::numeric_limits<double>::quiet_NaN();
    // log10 from 2 at 1.5 g to 0 at 2.5 g: 2 − 2 (n − 1.5) between them.
    const auto between = [](double n) { return std::pow(10.0, 2 - 2 * (n - 1.5)); };
    QList<double> positiveOnly(LevelCount, out);
    for (int level = 7; level <= 11; ++level) // 1.6 ... 2.4 g
        positiveOnly[level] = between(LoadLevels[level].n);
    // 1.4 g is inside the dead band's edge but below the range: 0, raised to 1.6 g's sample.
    QTest::addRow("inner level below the range")
        << header("n") + "positive,1.5,100\npositive,2.5,1\n"
        << positiveOnly << QList<int> {6};

    QList<double> both(LevelCount, out);
    both[5] = 40, both[4] = 10; // -0.6 and -0.8 g at the points
    both[6] = 500;
    QTest::addRow("points at the levels, outer levels outside")
        << header("n") + "positive,1.4,500\nnegative,-0.6,40\nnegative,-0.8,10\n"
        << both << QList<int> {};
}

void TestDesignSpectrum::sampling()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<double>, expected);
    QFETCH(QList<int>, raised);
    const DesignDamage designed = ComputeDesignDamage(parsed(text), std::nullopt, with());
    QVERIFY2(designed.ok(), qPrintable(designed.message()));
    std::vector<int> outside;
    for (int level = 0; level < LevelCount; ++level) {
        if (std::isnan(expected[level])) {
            outside.push_back(level);
            QCOMPARE(designed.sampled[level], 0.0);
        } else {
            QVERIFY2(std::abs(designed.sampled[level] / expected[level] - 1) < 1e-12,
                qPrintable(QStringLiteral("%1: %2 not %3")
                               .arg(LevelName(level))
                               .arg(designed.sampled[level])
                               .arg(expected[level])));
        }
    }
    QCOMPARE(designed.outside, outside);
    QList<int> raisedLevels;
    for (const RaisedSample &r : designed.raised) {
        raisedLevels << r.level;
        QCOMPARE(r.sampled, designed.sampled[r.level]);
        QCOMPARE(r.raisedTo, designed.consistent[r.level]);
        QVERIFY(r.raisedTo > r.sampled);
    }
    QCOMPARE(raisedLevels, raised);
}

void TestDesignSpectrum::noSeverity_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<DamageParameters>("parameters");
    QTest::addColumn<QString>("refusal"); // of the design damage; empty when it is worked
    QTest::addColumn<QString>("counted"); // why the counted severity is none; empty: it is some
    QTest::addColumn<QString>("upper");

    const QByteArray small = "positive,1.4,20\npositive,1.6,4\nnegative,-0.6,9\n";
    QTest::addRow("axis a without limit loads") << header("a") + "positive,0.2,10\n"
                                                << with() << "\"Made-up design\" (d.csv)"
                                                << ""
                                                << "";
    QTest::addRow("no damage with original")
        << header("n") + small << with([](DamageParameters &p) {
               p.belowEndurance = BelowEndurance::Original, p.enduranceStress = 500;
           })
        << ""
        << "does no damage"
        << "does no damage";
    QTest::addRow("peaks beyond 4.0 g without a bound")
        << header("n") + "positive,1.4,20\npositive,4.2,0.01\n"
        << with() << ""
        << ""
        << "design spectrum's estimate is not available";
    QTest::addRow("parameters refused")
        << header("n") + small << with([](DamageParameters &p) { p.slope = -1; }) << "slope k"
        << ""
        << "";
}

void TestDesignSpectrum::noSeverity()
{
    QFETCH(QByteArray, text);
    QFETCH(DamageParameters, parameters);
    QFETCH(QString, refusal);
    QFETCH(QString, counted);
    QFETCH(QString, upper);
    const DesignDamage designed = ComputeDesignDamage(parsed(text), std::nullopt, parameters);
    QCOMPARE(designed.ok(), refusal.isEmpty());
    if (!designed.ok()) {
        QCOMPARE(designed.failure(), Result::Invalid);
        QVERIFY2(designed.message().contains(refusal), qPrintable(designed.message()));
        return;
    }
    // A measured record with peaks and valleys at every level, bounded beyond the top.
    DamageParameters bounded = parameters;
    bounded.maxLoadPositive = 5.7, bounded.maxLoadNegative = -3;
    const DamageResult measured
        = ComputeDamage({1, 1, 1, 1, 1, 5, 9, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 1000, bounded);
    QVERIFY2(measured.ok(), qPrintable(measured.message()));
    const Severity severity = SeverityAgainst(measured, designed);
    for (const auto &[figure, reason] :
        {std::pair(severity.counted, counted), std::pair(severity.upper, upper)}) {
        QCOMPARE(figure.value.has_value(), reason.isEmpty());
        QVERIFY2(figure.reason.contains(reason), qPrintable(figure.reason));
    }
}

QTEST_APPLESS_MAIN(TestDesignSpectrum)
#include "tst_designspectrum.moc"
