#include "RegisterKnownRecords.h"

#include <QTest>

// The table `register add` finds records already given in: every record it was given is found
// again, whatever the order of growth, and a record that differs in any word is not.
namespace {
// Record i: every word differs from record to record, or, when `onlyWord` is given, only that
// one.
CounterRecord record(int i, int onlyWord)
{
    CounterRecord words {};
    for (int word = 0; word < RecordWords; ++word)
        words[word] = onlyWord < 0 ? std::uint16_t(i * 7 + word * 31) : 0x1234;
    if (onlyWord >= 0)
        words[onlyWord] = std::uint16_t(i);
    return words;
}
} // namespace

class TestKnownRecords : public QObject
{
    Q_OBJECT

private slots:
    void foundAgain_data();
    void foundAgain();
};

void TestKnownRecords::foundAgain_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("onlyWord"); // -1: records differ in many words
    QTest::addColumn<int>("reserve"); // 0: none; 1: all first; 2: two more before each
    QTest::newRow("grown from empty") << 50000 << -1 << 0;
    QTest::newRow("room made first") << 50000 << -1 << 1;
    QTest::newRow("room made a record at a time") << 3000 << -1 << 2;
    QTest::newRow("differ in the first word only") << 20000 << 0 << 0;
    QTest::newRow("differ in the last word only") << 20000 << RecordWords - 1 << 0;
    QTest::newRow("differ in a middle word only") << 20000 << 11 << 1;
}

void TestKnownRecords::foundAgain()
{
    QFETCH(int, count);
    QFETCH(int, onlyWord);
    QFETCH(int, reserve);
    KnownRecords known;
    if (reserve == 1)
        known.reserve(size_t(count));
    // The even records first, then all: the odd ones are new, the even ones found again.
    for (int i = 0; i < count; i += 2) {
        if (reserve == 2)
            known.reserve(known.size() + 2);
        QVERIFY2(known.insert(record(i, onlyWord)), qPrintable(QString::number(i)));
    }
    QCOMPARE(known.size(), size_t((count + 1) / 2));
    int foundAgain = 0;
    for (int i = 0; i < count; ++i) {
        const bool added = known.insert(record(i, onlyWord));
        QCOMPARE(added, i % 2 == 1);
        foundAgain += added ? 0 : 1;
    }
    QCOMPARE(foundAgain, (count + 1) / 2);
    QCOMPARE(known.size(), size_t(count));
}

QTEST_APPLESS_MAIN(TestKnownRecords)
#include "tst_knownrecords.moc"
