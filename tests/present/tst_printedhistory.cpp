#include "HistoryTable.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QTest>

// The aircraft report's history: a line a read-out up to 100 of them, a line a year beyond.
namespace {
// `count` read-outs ten days apart from 2024-01-05, each period 2 h with 3 counts at 3.0 g and 1
// at -1.0 g and a counted D of 0.001; SF 8. Made-up round numbers.
HistoryResult history(int count)
{
    HistoryResult history;
    DamageParameters damage;
    damage.scatterFactor = 8;
    history.aircraft.own.damage = damage;
    DamageSums sums;
    for (int i = 0; i < count; ++i) {
        HistoryPeriod period;
        period.readout = i + 1;
        period.taken = QDate(2024, 1, 5).addDays(10 * i);
        period.hours = 2;
        period.totalHours = 2.0 * (i + 1);
        period.counts[*LevelAt(3.0)] = 3;
        period.counts[*LevelAt(-1.0)] = 1;
        period.totalCounts[*LevelAt(3.0)] = 3 * (i + 1);
        period.totalCounts[*LevelAt(-1.0)] = i + 1;
        PeriodDamage d;
        d.counted = 0.001;
        d.upper = 0.002;
        sums.add(d);
        period.damage = d;
        period.totalDamage = sums;
        history.periods.push_back(period);
    }
    return history;
}

QString cellText(const Table &table, int row, const char *column)
{
    for (int c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].name == QLatin1String(column))
            return PeopleText(table.rows[row][c]);
    }
    return QStringLiteral("no column %1").arg(QLatin1String(column));
}
} // namespace

class TestPrintedHistory : public QObject
{
    Q_OBJECT
private slots:
    void rowsOrYears_data();
    void rowsOrYears();
};

void TestPrintedHistory::rowsOrYears_data()
{
    QTest::addColumn<int>("readouts");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastYear"); // the last row's year; empty: a row a read-out
    QTest::addColumn<QString>("lastReadouts");
    QTest::addColumn<QString>("lastHours");
    QTest::addColumn<QString>("lastAt3g");
    QTest::addColumn<QString>("lastTotalHours");
    QTest::addColumn<QString>("lastLifeUsed");
    QTest::newRow("100 read-outs, a row each")
        << 100 << 100 << QString() << QString() << QString() << QString() << QString() << QString();
    // 101 read-outs ten days apart from 2024-01-05: 2024 (a leap year) holds 37 of them, 2025
    // 36, 2026 the other 28; 101 periods of D 0.001 at SF 8 have used 80.8 %.
    QTest::newRow("101 read-outs, a row a year")
        << 101 << 3 << QStringLiteral("2026") << QStringLiteral("28") << QStringLiteral("56")
        << QStringLiteral("84") << QStringLiteral("202") << QStringLiteral("80.8 %");
}

void TestPrintedHistory::rowsOrYears()
{
    QFETCH(int, readouts);
    QFETCH(int, rows);
    QFETCH(QString, lastYear);
    QFETCH(QString, lastReadouts);
    QFETCH(QString, lastHours);
    QFETCH(QString, lastAt3g);
    QFETCH(QString, lastTotalHours);
    QFETCH(QString, lastLifeUsed);
    const Table table = PrintedHistoryTable(history(readouts));
    QCOMPARE(int(table.rows.size()), rows);
    if (lastYear.isEmpty()) {
        QCOMPARE(cellText(table, rows - 1, "readout"), QString::number(readouts));
        return;
    }
    const int last = rows - 1;
    QCOMPARE(cellText(table, last, "year"), lastYear);
    QCOMPARE(cellText(table, last, "readouts"), lastReadouts);
    QCOMPARE(cellText(table, last, "hours"), lastHours);
    QCOMPARE(cellText(table, last, "nc at 3g"), lastAt3g);
    QCOMPARE(cellText(table, last, "total hours"), lastTotalHours);
    QCOMPARE(cellText(table, last, "life used"), lastLifeUsed);
    // The years' read-outs add up to all of them.
    int sum = 0;
    for (int row = 0; row < rows; ++row)
        sum += cellText(table, row, "readouts").toInt();
    QCOMPARE(sum, readouts);
}

ZEMRA_TEST_MAIN(TestPrintedHistory)

#include "tst_printedhistory.moc"
