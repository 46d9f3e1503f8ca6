#include "CombineRecords.h"

#include <QTest>

// Running totals that fall: a reset, a wrap of a 16-bit counter, or a fall nothing explains.
namespace {
// Every counter at `count`, the 1.4 g counter (level 9) at `at14`, the clock at `seconds`.
RecordValues totals(int count, int at14, int seconds)
{
    RecordValues values {};
    for (int level = 0; level < LevelCount; ++level)
        values[level] = count;
    values[6] = at14;
    values[ActiveSecondsWord] = seconds;
    return values;
}

constexpr int At14 = 6;
} // namespace

class TestRunningTotals : public QObject
{
    Q_OBJECT
private slots:
    void classes_data();
    void classes();
    void wordsAbove16Bits_data();
    void wordsAbove16Bits();
};

void TestRunningTotals::classes_data()
{
    QTest::addColumn<QList<RecordValues>>("records");
    QTest::addColumn<bool>("declared"); // the last record was declared after a reset
    QTest::addColumn<QString>("refusal"); // words of the refusal; empty: combined
    QTest::addColumn<qint64>("at14"); // the 1.4 g count over all periods
    QTest::addColumn<qint64>("others"); // each other count over all periods
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("said"); // words of the note on the last record; empty: none

    // 64,900 to 564 while the others and the clock rise: 636 + 564 = 1200 more, not a reset.
    QTest::newRow("wrap") << QList {totals(100, 64900, 1000), totals(110, 564, 2000)} << false
                          << QString() << 66100ll << 110ll << 2000ll
                          << "Wrap before \"f.dat\" record 2";
    // Compared with the raw words each time: the second wrap is found as the first was.
    QTest::newRow("two wraps") << QList {totals(100, 64900, 1000), totals(110, 564, 2000),
        totals(120, 60000, 3000), totals(130, 100, 4000)}
                               << false << QString() << 131172ll << 130ll << 4000ll
                               << "Wrap before \"f.dat\" record 4";
    QTest::newRow("reset") << QList {totals(100, 900, 1000), totals(5, 9, 50)} << false << QString()
                           << 909ll << 105ll << 1050ll << "Reset before";
    // No counter smaller: not a reset, whatever the clock says.
    QTest::newRow("clock alone falls")
        << QList {totals(100, 900, 1000), totals(100, 900, 500)} << false
        << "the active work time falls from 1000 s to 500 s" << 0ll << 0ll << 0ll << "";
    QTest::newRow("nothing changed") << QList {totals(100, 900, 1000), totals(100, 900, 1000)}
                                     << false << QString() << 900ll << 100ll << 1000ll << "";
    // A counter falls, the others rise, but the clock falls: nothing explains it.
    QTest::newRow("fall with the clock back")
        << QList {totals(100, 900, 1000), totals(110, 500, 800)} << false
        << "counts that fall: 1.4 g from 900 to 500; counts that rise: -2.0 g from 100 to 110"
        << 0ll << 0ll << 0ll << "";
    QTest::newRow("fall with the clock still")
        << QList {totals(100, 900, 1000), totals(110, 500, 1000)} << false
        << "counts that rise: -2.0 g from 100 to 110" << 0ll << 0ll << 0ll << "";
    QTest::newRow("counts rise, clock falls")
        << QList {totals(100, 900, 1000), totals(110, 950, 10)} << false
        << "the active work time falls from 1000 s to 10 s" << 0ll << 0ll << 0ll << "";
    // Declared: the record counts whole, as after a reset.
    QTest::newRow("declared reset")
        << QList {totals(100, 900, 1000), totals(110, 500, 800)} << true << QString() << 1400ll
        << 210ll << 1800ll << "Declared reset before \"f.dat\" record 2";
}

void TestRunningTotals::classes()
{
    QFETCH(QList<RecordValues>, records);
    QFETCH(bool, declared);
    QFETCH(QString, refusal);
    QFETCH(qint64, at14);
    QFETCH(qint64, others);
    QFETCH(qint64, seconds);
    QFETCH(QString, said);

    std::vector<LabelledRecord> labelled;
    for (const RecordValues &values : records)
        labelled.push_back(
            {QStringLiteral("\"f.dat\" record %1").arg(labelled.size() + 1), values});
    labelled.back().declaredReset = declared;
    const CombinedCounts combined = CombineRecords(labelled, CombineMode::Running);
    if (!refusal.isEmpty()) {
        QVERIFY(!combined.ok());
        QCOMPARE(combined.failure(), Result::Invalid);
        QVERIFY2(combined.message().contains(refusal)
                && combined.message().contains(
                    "The running totals of \"f.dat\" record 2 do not follow from \"f.dat\" "
                    "record 1"),
            qPrintable(combined.message()));
        return;
    }
    QVERIFY2(combined.ok(), qPrintable(combined.message()));
    QCOMPARE(combined.counts[At14], at14);
    QCOMPARE(combined.counts[0], others);
    QCOMPARE(combined.counts[LevelCount - 1], others);
    QCOMPARE(combined.seconds, seconds);
    if (said.isEmpty()) {
        QVERIFY(combined.resets.empty());
        return;
    }
    QVERIFY(!combined.resets.empty());
    const RecorderResetFound &last = combined.resets.back();
    QCOMPARE(last.record, int(records.size()) - 1);
    QVERIFY2(last.text.contains(said), qPrintable(last.text));
    // A wrap goes on from the record before; a reset starts over.
    QCOMPARE(combined.periods.back().afterReset, !said.startsWith(QLatin1String("Wrap")));
    // The facts alone word it again under other names, as the register does.
    QCOMPARE(
        last.kind, said.startsWith(QLatin1String("Wrap")) ? RunningKind::Wrap : RunningKind::Reset);
    QCOMPARE(last.declared, declared);
    QVERIFY(!last.step.fell.empty());
    QString renamed = last.text;
    renamed.replace(labelled[last.record].label, QStringLiteral("B"));
    renamed.replace(labelled[last.record - 1].label, QStringLiteral("A"));
    QCOMPARE(ResetFoundText(last, QStringLiteral("A"), QStringLiteral("B")), renamed);
}

void TestRunningTotals::wordsAbove16Bits_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("said"); // empty: the record fits
    QTest::newRow("largest count") << 0 << 65535 << QString();
    QTest::newRow("count at -2.0 g") << 0 << 65536 << "word 1 (the count at -2.0 g) is 65536";
    QTest::newRow("count at 2.2 g") << 10 << 70000 << "word 11 (the count at 2.2 g) is 70000";
    QTest::newRow("active periods") << ActivePeriodsWord << 0x10000
                                    << "word 20 (the active 12-hour periods) is 65536 (10000 hex)";
    QTest::newRow("battery periods") << BatteryPeriodsWord << 2147483647
                                     << "word 22 (the battery 12-hour periods) is 2147483647";
}

void TestRunningTotals::wordsAbove16Bits()
{
    QFETCH(int, word);
    QFETCH(int, value);
    QFETCH(QString, said);
    RecordValues values = totals(1, 1, 1);
    values[word] = value;
    // Records of more than one file go to the register and the analysis alike: the first word
    // above 16 bits refuses a combination of them.
    const QString text = WordAbove16Bits(values, QStringLiteral("\"f.dat\" record 2"));
    if (said.isEmpty()) {
        QVERIFY2(text.isEmpty(), qPrintable(text));
        return;
    }
    QVERIFY2(text.startsWith(QLatin1String("\"f.dat\" record 2: ")) && text.contains(said),
        qPrintable(text));
}

QTEST_GUILESS_MAIN(TestRunningTotals)
#include "tst_runningtotals.moc"
