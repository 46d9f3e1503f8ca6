#include "../cli/CliRun.h"
#include "ExceedancePage.h"
#include "FleetRegister.h"
#include "FleetWork.h"

#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>

// The aircraft page's exceedance chart of a period against zemra-cli's exceedances of the same
// read-outs, and the page's dates choosing the period.
class TestExceedancePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void periodAsTheCommandLine_data();
    void periodAsTheCommandLine();
    void datesChooseThePeriod();

private:
    FleetRegisters m_registers;
    QString m_sqlite;
};

namespace {
// zemra-cli exceedance's per 1000 h of each level, by the level's load factor.
QMap<double, double> commandLinePer1000h(const QStringList &arguments)
{
    const CliRun run = RunCli(QStringList {QStringLiteral("exceedance"), QStringLiteral("--format"),
                                  QStringLiteral("json")}
        + arguments);
    QMap<double, double> rates;
    const QJsonArray periods = QJsonDocument::fromJson(run.out).array();
    for (const QJsonValue &row : periods.at(0)[QStringLiteral("levels")].toArray())
        rates.insert(row[QStringLiteral("axisValue")].toDouble(),
            row[QStringLiteral("per1000h")].toDouble());
    return rates;
}

QMap<double, double> measured(const ExceedanceChartData &data)
{
    QMap<double, double> rates;
    for (const ExceedanceSeries &series : data.series) {
        if (!series.measured)
            continue;
        for (const QList<QPointF> *branch : {&series.positive, &series.negative})
            for (const QPointF &point : *branch)
                rates.insert(point.x(), point.y());
    }
    return rates;
}
} // namespace

void TestExceedancePage::initTestCase()
{
    QString reason;
    QVERIFY2(m_registers.start(reason), qPrintable(reason));
    m_sqlite = m_registers.fleet(QStringLiteral("sqlite"));
    QVERIFY(!m_sqlite.isEmpty());
}

void TestExceedancePage::periodAsTheCommandLine_data()
{
    QTest::addColumn<QDate>("since");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<bool>("drawn");
    // D-EAAA's read-outs were taken on the first of January, February and March 2024.
    QTest::newRow("the whole history") << QDate(2024, 1, 1) << QDate(2024, 3, 1) << true;
    QTest::newRow("from the second read-out") << QDate(2024, 2, 1) << QDate(2024, 3, 1) << true;
    QTest::newRow("the last read-out alone") << QDate(2024, 2, 2) << QDate(2024, 12, 31) << true;
    QTest::newRow("the first read-out alone") << QDate(2023, 1, 1) << QDate(2024, 1, 31) << true;
    QTest::newRow("no read-out") << QDate(2024, 1, 2) << QDate(2024, 1, 31) << false;
}

void TestExceedancePage::periodAsTheCommandLine()
{
    QFETCH(QDate, since);
    QFETCH(QDate, until);
    QFETCH(bool, drawn);
    const AircraftLoad load
        = LoadAircraft(ParseRegisterLocation(m_sqlite).location, QStringLiteral("D-EAAA"));
    QVERIFY2(load.ok(), qPrintable(load.message()));
    QString why;
    const std::optional<ExceedanceChartData> chart
        = PeriodExceedanceChart(load.history, since, until, why);
    QCOMPARE(chart.has_value(), drawn);
    if (!drawn) {
        QVERIFY2(why.contains(QLatin1String("no read-outs")), qPrintable(why));
        return;
    }
    const QMap<double, double> expected
        = commandLinePer1000h({QStringLiteral("--aircraft"), QStringLiteral("D-EAAA"),
            QStringLiteral("--since"), since.toString(Qt::ISODate), QStringLiteral("--until"),
            until.toString(Qt::ISODate), QStringLiteral("--register"), m_sqlite});
    QVERIFY(!expected.isEmpty());
    const QMap<double, double> shown = measured(*chart);
    for (auto level = shown.cbegin(); level != shown.cend(); ++level) {
        QVERIFY2(expected.contains(level.key()), qPrintable(QString::number(level.key())));
        QCOMPARE(level.value(), expected.value(level.key()));
    }
    QVERIFY(!shown.isEmpty());
}

// The page draws the whole history first; a period without read-outs says so and draws nothing.
void TestExceedancePage::datesChooseThePeriod()
{
    const AircraftLoad load
        = LoadAircraft(ParseRegisterLocation(m_sqlite).location, QStringLiteral("D-EAAA"));
    QVERIFY(load.ok());
    ExceedancePage page(load.history);
    auto *since = page.findChild<QDateEdit *>(QStringLiteral("sinceEdit"));
    auto *until = page.findChild<QDateEdit *>(QStringLiteral("untilEdit"));
    auto *chart = page.findChild<ExceedanceChartWidget *>(QStringLiteral("exceedanceChart"));
    auto *note = page.findChild<QLabel *>(QStringLiteral("exceedanceNote"));
    QVERIFY(since && until && chart && note);
    QCOMPARE(since->date(), QDate(2024, 1, 1));
    QCOMPARE(until->date(), QDate(2024, 3, 1));
    QVERIFY(chart->chartData());
    const QMap<double, double> whole = measured(*chart->chartData());
    since->setDate(QDate(2024, 2, 1));
    QVERIFY(chart->chartData());
    QVERIFY(measured(*chart->chartData()) != whole);
    until->setDate(QDate(2024, 2, 15));
    since->setDate(QDate(2024, 2, 2));
    QVERIFY(!chart->chartData());
    QVERIFY(!note->text().isEmpty());
}

QTEST_MAIN(TestExceedancePage)
#include "tst_exceedancepage.moc"
