#include "../cli/CliRun.h"
#include "FleetModel.h"
#include "FleetRegister.h"
#include "FleetWork.h"
#include "HistoryTable.h"
#include "ModelText.h"
#include "TableWriters.h"

#include <QRegularExpression>

// The fleet's model against zemra-cli fleet's own output for the same register, on both engines;
// the filter; sorting by value. The model adapter is also checked on the history, with its count
// columns and total row.
class TestFleetModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rankingAsTheCommandLine_data();
    void rankingAsTheCommandLine();
    void historyAsTheCommandLine_data();
    void historyAsTheCommandLine();
    void filter_data();
    void filter();
    void sortByValue_data();
    void sortByValue();
    void statusByColourAndText();

private:
    void engines();
    UsageListResult fleetOf(const QString &location);

    FleetRegisters m_registers;
    QString m_sqlite; // a register of the fleet for the cases that read only
};

void TestFleetModel::initTestCase()
{
    QString reason;
    QVERIFY2(m_registers.start(reason), qPrintable(reason));
    m_sqlite = m_registers.fleet(QStringLiteral("sqlite"));
    QVERIFY(!m_sqlite.isEmpty());
}

void TestFleetModel::engines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

UsageListResult TestFleetModel::fleetOf(const QString &location)
{
    const FleetLoad load
        = LoadFleet(ParseRegisterLocation(location).location, QDate::currentDate());
    if (!load.ok())
        qWarning("%s", qPrintable(load.message()));
    return load.list;
}

void TestFleetModel::rankingAsTheCommandLine_data()
{
    engines();
}

void TestFleetModel::rankingAsTheCommandLine()
{
    QFETCH(QString, engine);
    const QString location = m_registers.fleet(engine);
    QVERIFY(!location.isEmpty());
    FleetModel model;
    model.setFleet(fleetOf(location));
    QCOMPARE(model.rowCount(), 4);
    // Unsorted, as the window first shows it.
    FleetFilter view;
    view.setSourceModel(&model);
    view.sort(-1);
    const CliRun run = RunCli({QStringLiteral("fleet"), QStringLiteral("--register"), location});
    QCOMPARE(run.exitCode, 0);
    const QByteArray printed = run.out;
    const QByteArray shown = "Fleet ranked by life used:\n" + ModelText(view);
    QVERIFY2(printed.startsWith(shown),
        qPrintable(QStringLiteral("printed:\n%1\nshown:\n%2")
                       .arg(QString::fromUtf8(printed), QString::fromUtf8(shown))));
    // The unranked aircraft last; the lead first.
    QCOMPARE(model.registration(3), QStringLiteral("SP-CCC"));
    QCOMPARE(model.registration(0), QStringLiteral("D-EBBB"));
}

void TestFleetModel::historyAsTheCommandLine_data()
{
    QTest::addColumn<QString>("registration");
    QTest::newRow("ranked") << QStringLiteral("D-EAAA");
    QTest::newRow("without structural data") << QStringLiteral("SP-CCC");
    QTest::newRow("over a limit") << QStringLiteral("OK-DDD");
}

void TestFleetModel::historyAsTheCommandLine()
{
    QFETCH(QString, registration);
    const AircraftLoad load = LoadAircraft(ParseRegisterLocation(m_sqlite).location, registration);
    QVERIFY2(load.ok(), qPrintable(load.message()));
    TableModel model;
    model.setTable(HistoryTable(load.history));
    QByteArray printed;
    AppendTableText(printed, HistoryTable(load.history));
    QCOMPARE(QString::fromUtf8(ModelText(model)), QString::fromUtf8(printed));
    // A column without a heading cannot be told apart on the screen or by a screen reader.
    for (int column = 0; column < model.columnCount(); ++column)
        QVERIFY2(!model.headerData(column, Qt::Horizontal).toString().isEmpty(),
            qPrintable(QStringLiteral("column %1").arg(column)));
    // 18 level columns of counts and the total row after the read-outs.
    QCOMPARE(model.rowCount(), int(load.history.periods.size()) + 1);
}

void TestFleetModel::filter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("none") << QString() << QStringList {"D-EBBB", "D-EAAA", "OK-DDD", "SP-CCC"};
    QTest::newRow("registration, other case")
        << QStringLiteral("d-e") << QStringList {"D-EBBB", "D-EAAA"};
    QTest::newRow("type") << QStringLiteral("birch") << QStringList {"OK-DDD", "SP-CCC"};
    QTest::newRow("type with a digit")
        << QStringLiteral(" Alder 2 ") << QStringList {"D-EBBB", "D-EAAA"};
    QTest::newRow("no such") << QStringLiteral("G-") << QStringList();
    // Only registration and type: "ok" is a status, and "OK-DDD" a registration.
    QTest::newRow("not the status") << QStringLiteral("ok") << QStringList {"OK-DDD"};
}

void TestFleetModel::filter()
{
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    FleetModel model;
    model.setFleet(fleetOf(m_sqlite));
    FleetFilter view;
    view.setSourceModel(&model);
    view.setText(text);
    QStringList seen;
    for (int row = 0; row < view.rowCount(); ++row)
        seen << model.registration(view.mapToSource(view.index(row, 0)).row());
    QCOMPARE(seen, shown);
}

void TestFleetModel::sortByValue_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("hours") << QStringLiteral("hours") << Qt::AscendingOrder
                           << QStringList {"SP-CCC", "OK-DDD", "D-EAAA", "D-EBBB"};
    QTest::newRow("hours, down") << QStringLiteral("hours") << Qt::DescendingOrder
                                 << QStringList {"D-EBBB", "D-EAAA", "OK-DDD", "SP-CCC"};
    // The aircraft without a rank has none: last.
    QTest::newRow("rank") << QStringLiteral("rank") << Qt::AscendingOrder
                          << QStringList {"D-EBBB", "D-EAAA", "OK-DDD", "SP-CCC"};
    QTest::newRow("registration") << QStringLiteral("registration") << Qt::AscendingOrder
                                  << QStringList {"D-EAAA", "D-EBBB", "OK-DDD", "SP-CCC"};
}

void TestFleetModel::sortByValue()
{
    QFETCH(QString, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, sorted);
    FleetModel model;
    model.setFleet(fleetOf(m_sqlite));
    FleetFilter view;
    view.setSourceModel(&model);
    view.sort(model.viewColumn(column), order);
    QStringList seen;
    for (int row = 0; row < view.rowCount(); ++row)
        seen << model.registration(view.mapToSource(view.index(row, 0)).row());
    QCOMPARE(seen, sorted);
}

// Each status its word in the cell and its colour behind it, the reasons in the tool tip.
void TestFleetModel::statusByColourAndText()
{
    FleetModel model;
    const UsageListResult list = fleetOf(m_sqlite);
    model.setFleet(list);
    const int status = model.viewColumn(QStringLiteral("status"));
    QVERIFY(status >= 0);
    QSet<QString> seen;
    for (int row = 0; row < model.rowCount(); ++row) {
        const AircraftCheck &check = list.aircraft[size_t(row)].check;
        const QModelIndex cell = model.index(row, status);
        QCOMPARE(cell.data().toString(), CheckStatusName(check.status));
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(), StatusColour(check.status));
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(), check.text());
        seen << cell.data().toString();
    }
    // The fleet holds an aircraft in order, one due, one over a limit.
    QCOMPARE(seen.size(), 3);
}

QTEST_MAIN(TestFleetModel)
#include "tst_fleetmodel.moc"
