#include "CombineRecords.h"
#include "Exceedance.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(RecordValues)
Q_DECLARE_METATYPE(CombineMode)
Q_DECLARE_METATYPE(Result)

namespace {
// Counts (level + 1) * scale: -2.0 g holds scale, 4.0 g 18 * scale.
RecordValues counts(int scale, int seconds, int periods = 0)
{
    RecordValues values {};
    for (int level = 0; level < LevelCount; ++level)
        values[level] = (level + 1) * scale;
    values[ActiveSecondsWord] = seconds;
    values[ActivePeriodsWord] = periods;
    return values;
}

std::vector<LabelledRecord> labelled(const QList<RecordValues> &records)
{
    std::vector<LabelledRecord> list;
    for (const RecordValues &values : records)
        list.push_back({QStringLiteral("\"f.dat\" record %1").arg(list.size() + 1), values});
    return list;
}

} // namespace

class TestExceedance : public QObject
{
    Q_OBJECT
private slots:
    void combine_data();
    void combine();
    void axes_data();
    void axes();
    void table_data();
    void table();
    void refusals_data();
    void refusals();
};

void TestExceedance::combine_data()
{
    QTest::addColumn<QList<RecordValues>>("records");
    QTest::addColumn<CombineMode>("mode");
    QTest::addColumn<RecordValues>("expected"); // the counts
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("reset"); // before record 2, what fell; empty: none

    // 600 s + 21 * 43200 s = 907800 s = 252.1666... h.
    QTest::addRow("one record") << QList {ToValues(DemonstrationRecord)} << CombineMode::NotGiven
                                << ToValues(DemonstrationRecord) << 907800 / 3600.0 << QString();
    // Demo + (level + 1); 907800 + 1800 + 43200 s = 264.666... h.
    QTest::addRow("separate") << QList {ToValues(DemonstrationRecord), counts(1, 1800, 1)}
                              << CombineMode::Separate
                              << RecordValues {2, 4, 13, 84, 645, 2486, 2540, 1252, 764, 467, 332,
                                     246, 167, 110, 42, 19, 19, 19}
                              << 952800 / 3600.0 << QString();
    // No reset: the last running total is the whole.
    QTest::addRow("running") << QList {counts(1, 100), counts(3, 3700)} << CombineMode::Running
                             << counts(3, 0) << 3700 / 3600.0 << QString();
    // 2 (level + 1) in 3600 s; after the reset record 2 whole, (level + 1) in 1800 s; then
    // 3 - 1 = 2 (level + 1) in 3600 s: 5 (level + 1) in 2.5 h.
    QTest::addRow("running, counters fall")
        << QList {counts(2, 3600), counts(1, 1800), counts(3, 5400)} << CombineMode::Running
        << counts(5, 0) << 2.5 << "the count at -2.0 g falls from 2 to 1";
}

void TestExceedance::combine()
{
    QFETCH(QList<RecordValues>, records);
    QFETCH(CombineMode, mode);
    QFETCH(RecordValues, expected);
    QFETCH(double, hours);
    QFETCH(QString, reset);

    std::vector<LabelledRecord> labelled;
    for (const RecordValues &values : records)
        labelled.push_back(
            {QStringLiteral("\"f.dat\" record %1").arg(labelled.size() + 1), values});
    const CombinedCounts combined = CombineRecords(labelled, mode);
    QVERIFY2(combined.ok(), qPrintable(combined.message()));
    for (int level = 0; level < LevelCount; ++level)
        QCOMPARE(combined.counts[level], expected[level]);
    QCOMPARE(combined.hours, hours);
    QCOMPARE(combined.resets.size(), std::size_t(reset.isEmpty() ? 0 : 1));
    if (!reset.isEmpty()) {
        QCOMPARE(combined.resets[0].record, 1);
        QVERIFY(combined.periods[1].afterReset);
        QVERIFY2(combined.resets[0].text.contains(reset)
                && combined.resets[0].text.contains("\"f.dat\" record 2"),
            qPrintable(combined.resets[0].text));
    }
}

void TestExceedance::axes_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("axis");
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("expected");

    // Level 10 is 2.2 g (Δn 1.2), level 3 is -1.0 g (Δn -2). a = Δn / (n_LL - 1) with
    // n_LL - 1 = 3.8 - 1, -1.52 - 1; 4.4 - 1, -1.76 - 1; 6 - 1, -3 - 1.
    const std::tuple<const char *, double, double> categories[]
        = {{"normal", 2.8, -2.52}, {"utility", 3.4, -2.76}, {"aerobatic", 5, -4}};
    for (const auto &[category, positive, negative] : categories) {
        QTest::addRow("%s n 2.2", category) << category << "n" << 10 << 2.2;
        QTest::addRow("%s dn 2.2", category) << category << "dn" << 10 << 1.2;
        QTest::addRow("%s dn -1.0", category) << category << "dn" << 3 << -2.0;
        QTest::addRow("%s a 2.2", category) << category << "a" << 10 << 1.2 / positive;
        QTest::addRow("%s a -1.0", category) << category << "a" << 3 << -2 / negative;
    }
}

void TestExceedance::axes()
{
    QFETCH(QString, category);
    QFETCH(QString, axis);
    QFETCH(int, level);
    QFETCH(double, expected);

    const AxisChoice choice {*AxisFromName(axis), CategoryLimitLoads(*CategoryFromName(category))};
    const ExceedanceTable table = ComputeExceedances(LevelCounts {}, 1.0, choice);
    QVERIFY(table.ok());
    QCOMPARE(table.rows[level].axisValue, expected);
    QCOMPARE(LoadFactorAt(expected, BranchOf(level), choice), LoadLevels[level].n);
}

void TestExceedance::table_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("per1000h");
    QTest::addColumn<double>("log"); // NaN: none

    // 1000 * 2533 / (907800 / 3600) = 9118800000 / 907800.
    QTest::addRow("demonstration 1.4 g")
        << 6 << qint64(2533) << 907800 / 3600.0 << 10044.943820224719 << 4.0019475121510054;
    QTest::addRow("-2.0 g, 2 h") << 0 << qint64(1) << 2.0 << 500.0 << 2.6989700043360187;
    QTest::addRow("4.0 g, beyond 16 bits")
        << 17 << qint64(70000) << 2.0 << 35e6 << 7.544068044350276;
    QTest::addRow("no exceedance") << 12 << qint64(0) << 2.0 << 0.0 << qQNaN();
}

void TestExceedance::table()
{
    QFETCH(int, level);
    QFETCH(qint64, count);
    QFETCH(double, hours);
    QFETCH(double, per1000h);
    QFETCH(double, log);

    LevelCounts counts {};
    counts[level] = count;
    const ExceedanceRow row = ComputeExceedances(counts, hours, {}).rows[level];
    QCOMPARE(row.count, count);
    QCOMPARE(row.branch, level < 6 ? Branch::Negative : Branch::Positive);
    QCOMPARE(row.per1000h, per1000h);
    QCOMPARE(row.perHour, per1000h / 1000);
    QCOMPARE(row.log10Per1000h.has_value(), !std::isnan(log));
    if (row.log10Per1000h)
        QCOMPARE(*row.log10Per1000h, log);
}

void TestExceedance::refusals_data()
{
    QTest::addColumn<Result>("result");
    QTest::addColumn<QStringList>("fragments");

    QTest::addRow("no record") << Result(CombineRecords({}, CombineMode::Separate))
                               << QStringList {"No record"};
    QTest::addRow("two records, no mode")
        << Result(CombineRecords(labelled({counts(1, 10), counts(2, 10)}), CombineMode::NotGiven))
        << QStringList {"\"separate\"", "\"running\""};
    QTest::addRow("T = 0") << Result(
        CombineRecords(labelled({counts(1, 0)}), CombineMode::NotGiven))
                           << QStringList {"\"f.dat\" record 1", "T = 0"};
    QTest::addRow("T = 0 over two")
        << Result(CombineRecords(labelled({counts(1, 0), counts(2, 0)}), CombineMode::Separate))
        << QStringList {"record 1", "\"f.dat\" record 2"};
    QTest::addRow("a without limits") << Result(ComputeExceedances({}, 1, {Axis::Fraction, {}}))
                                      << QStringList {"needs the limit"};
    QTest::addRow("positive limit 1 g")
        << Result(ComputeExceedances({}, 1, {Axis::Fraction, LimitLoads {1, -1}}))
        << QStringList {"above 1 g, not 1"};
    QTest::addRow("negative limit 0 g")
        << Result(ComputeExceedances({}, 1, {Axis::LoadFactor, LimitLoads {3.8, 0}}))
        << QStringList {"below 0 g, not 0"};
    QTest::addRow("table, T = 0") << Result(ComputeExceedances({}, 0, {})) << QStringList {"T = 0"};
}

void TestExceedance::refusals()
{
    QFETCH(Result, result);
    QFETCH(QStringList, fragments);

    QCOMPARE(result.failure(), Result::Invalid);
    for (const QString &fragment : fragments)
        QVERIFY2(result.message().contains(fragment), qPrintable(result.message()));
}

QTEST_APPLESS_MAIN(TestExceedance)
#include "tst_exceedance.moc"
