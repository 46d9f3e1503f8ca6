#include "ReferenceSpectrum.h"

#include <QTest>

#include <cmath>

namespace {
// Made-up numbers for the format only, not real data.
const QByteArray Header = "name,Trial spectrum\nsource,\"Notes, rev. \"\"B\"\"\"\nfigure,Fig. 2\n"
                          "page,7\nnormalisation,per 1000 h\n";

QByteArray file(const QByteArray &axis, const QByteArray &rows)
{
    return Header + "axis," + axis + "\nbranch,value,exceedances per 1000 h\n" + rows;
}
} // namespace

class TestReferenceSpectrum : public QObject
{
    Q_OBJECT
private slots:
    void parse();
    void malformed_data();
    void malformed();
    void interpolation_data();
    void interpolation();
    void comparison();
};

void TestReferenceSpectrum::parse()
{
    // The negative branch given from the outside in comes back from 1 g outward.
    const ReferenceReadResult read = ParseReferenceSpectrum("\xEF\xBB\xBF# comment\r\n"
            + file("n", "positive,1.5,900\r\n\r\nnegative,-1,5\nnegative,0.5,80\n"),
        "r.csv");
    QVERIFY2(read.ok(), qPrintable(read.message()));
    const ReferenceSpectrum &r = read.spectrum;
    QCOMPARE((QStringList {r.name, r.source, r.tableOrFigure, r.page}),
        (QStringList {"Trial spectrum", "Notes, rev. \"B\"", "Fig. 2", "7"}));
    QCOMPARE(r.axis, Axis::LoadFactor);
    QCOMPARE(r.positive.size(), 1u);
    const auto point = [](const ReferencePoint &p) { return std::pair(p.axisValue, p.per1000h); };
    QCOMPARE((QList {point(r.negative[0]), point(r.negative[1])}),
        (QList {std::pair(0.5, 80.0), std::pair(-1.0, 5.0)}));
}

void TestReferenceSpectrum::malformed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("what");

    // Header lines 1-6, the column heading line 7, the rows from line 8.
    QTest::addRow("value not a number")
        << file("n", "positive,2.x,10\n") << 8 << "\"2.x\" is not a number";
    QTest::addRow("exceedances not a number")
        << file("n", "positive,2,1e\n") << 8 << "\"1e\" are not a number";
    QTest::addRow("exceedances zero")
        << file("n", "positive,2,10\npositive,3,0\n") << 9 << "positive, not 0";
    QTest::addRow("not monotone") << file("n", "positive,2,10\npositive,3,5\npositive,2.5,1\n")
                                  << 10 << "2.5 after 3";
    QTest::addRow("repeated value")
        << file("a", "positive,0.5,10\nnegative,0.5,10\nnegative,0.5,1\n") << 10 << "0.5 after 0.5";
    QTest::addRow("wrong side") << file("dn", "negative,0.2,10\n") << 8 << "(dn below 0)";
    QTest::addRow("two fields") << file("n", "positive,2\n") << 8 << "3 fields";
    QTest::addRow("unknown axis") << file("g", "positive,2,10\n") << 6 << "unknown axis \"g\"";
    QTest::addRow("per hour") << Header.left(Header.indexOf("per")) + "per hour\naxis,n\n"
                              << 5 << "\"per hour\"";
    QTest::addRow("page missing") << QByteArray(Header).replace("page,7\n", "")
            + "axis,n\npositive,2,1\n"
                                  << 6 << "\"page\" is missing";
    QTest::addRow("page empty") << QByteArray(Header).replace("page,7", "page, ") << 4
                                << "\"page\" is empty";
    QTest::addRow("axis missing at end") << Header << 5 << "\"axis\" is missing";
    QTest::addRow("no rows") << file("n", "") << 7 << "no rows";
    QTest::addRow("field twice") << Header + "name,Again\n" << 6 << "again (first on line 1)";
    QTest::addRow("field after rows")
        << file("n", "positive,2,10\npage,8\n") << 9 << "after the rows";
    QTest::addRow("unknown field") << QByteArray("nmae,x\n") << 1 << "unknown field \"nmae\"";
    QTest::addRow("a terminal's title in a name")
        << QByteArray(Header).replace("Trial spectrum", "Trial\x1b]0;title\x07 spectrum") << 1
        << "control character: \"Trial\\x1b]0;title\\x07 spectrum\"";
    QTest::addRow("a tab in the page") << QByteArray(Header).replace("page,7", "page,7\t8") << 4
                                       << "control character: \"7\\x098\"";
}

void TestReferenceSpectrum::malformed()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, what);

    const ReferenceReadResult read = ParseReferenceSpectrum(text, QStringLiteral("bad.csv"));
    QCOMPARE(read.failure(), Result::Invalid);
    const QString where = QStringLiteral("in \"bad.csv\" (line %1): ").arg(line);
    QVERIFY2(read.message().contains(where) && read.message().contains(what),
        qPrintable(read.message()));
    // Nothing of a half-read file is handed back.
    QVERIFY(read.spectrum.name.isEmpty() && read.spectrum.positive.empty());
}

void TestReferenceSpectrum::interpolation_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("expected"); // NaN: none

    // Points (2, 1000) and (3, 10): log10 falls from 3 to 1 across the unit interval.
    QTest::addRow("midway") << 2.5 << 100.0; // 10^2
    QTest::addRow("a quarter in") << 2.25 << 316.22776601683796; // 10^2.5
    QTest::addRow("at the first point") << 2.0 << 1000.0;
    QTest::addRow("at the last point") << 3.0 << 10.0;
    QTest::addRow("below the range") << 1.99 << qQNaN();
    QTest::addRow("above the range") << 3.01 << qQNaN();
}

void TestReferenceSpectrum::interpolation()
{
    QFETCH(double, at);
    QFETCH(double, expected);

    for (const std::vector<ReferencePoint> &points :
        {std::vector<ReferencePoint> {{2, 1000}, {3, 10}},
            std::vector<ReferencePoint> {{3, 10}, {2, 1000}}}) {
        const std::optional<double> value = ReferenceAt(points, at);
        QCOMPARE(value.has_value(), !std::isnan(expected));
        if (value)
            QCOMPARE(*value, expected);
    }
}

void TestReferenceSpectrum::comparison()
{
    // T = 1 h: 10, 5, 1, 1 exceedances at 1.4 ... 2.0 g are 10000, 5000, 1000, 1000 per 1000 h.
    LevelCounts counts {};
    counts[6] = 10, counts[7] = 5, counts[8] = 1, counts[9] = 1;
    const ExceedanceTable table = ComputeExceedances(counts, 1.0, {});
    const ReferenceReadResult read = ParseReferenceSpectrum(
        file("dn", "positive,0.4,20000\npositive,0.6,6000\npositive,1.0,100\n"), "r.csv");
    QVERIFY(read.ok());

    const ReferenceComparison compared = CompareWithReference(table, read.spectrum);
    QVERIFY(compared.ok());
    // 1.4 g is Δn 0.39999999999999991: still the point 0.4. 1.8 g (Δn 0.8) lies halfway from
    // 6000 to 100: 10^((log 6000 + log 100) / 2) = sqrt(600000) = 774.597; 2.2 g is outside.
    const std::array<double, 5> reference {20000, 6000, 774.59666924148337, 100, qQNaN()};
    const std::array<double, 5> ratio {0.5, 5000.0 / 6000, 1.2909944487358056, 10, qQNaN()};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(compared.reference[6 + i].has_value(), !std::isnan(reference[i]));
        if (compared.reference[6 + i]) {
            QCOMPARE(*compared.reference[6 + i], reference[i]);
            QCOMPARE(*compared.ratio[6 + i], ratio[i]);
        }
    }
    // Outward from 1.4 g the measured is first above the reference at 1.8 g; no negative rows.
    QCOMPARE(compared.firstAbovePositive, std::optional<int>(8));
    QCOMPARE(compared.firstAboveNegative, std::nullopt);

    // The same reference read on the fraction axis needs the table's limit loads.
    ReferenceSpectrum onFraction = read.spectrum;
    onFraction.axis = Axis::Fraction;
    const std::vector<ReferenceComparison> both
        = CompareWithReferences(table, {read.spectrum, onFraction});
    QVERIFY(both[0].ok());
    QCOMPARE(both[1].failure(), Result::Invalid);
    QVERIFY2(
        both[1].message().contains("\"Trial spectrum\" (r.csv)"), qPrintable(both[1].message()));
}

QTEST_APPLESS_MAIN(TestReferenceSpectrum)
#include "tst_referencespectrum.moc"
