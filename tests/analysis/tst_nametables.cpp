#include "CombineRecords.h"
#include "Damage.h"
#include "Exceedance.h"
#include "RecordTables.h"

#include <QSet>
#include <QtTest>

// Every enum's names table: the parser, the names and the help all come from its rows, so a
// table with a repeated or missing name would make an option accept the wrong value or none.
class TestNameTables : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void choicesAndHelp_data();
    void choicesAndHelp();
};

namespace {
// Each name reads back as its own row's value, no name twice, no value twice.
template<typename E, std::size_t N> QString roundTripFault(const NamedValue<E> (&table)[N])
{
    QSet<QString> names;
    QSet<int> values;
    for (const NamedValue<E> &row : table) {
        const QString name = QString::fromLatin1(row.name);
        if (name.isEmpty() || names.contains(name) || values.contains(int(row.value)))
            return QStringLiteral("repeated or empty: ") + name;
        names.insert(name);
        values.insert(int(row.value));
        if (ValueNamed(table, name) != row.value || NameOf(table, row.value) != name)
            return QStringLiteral("does not read back: ") + name;
        if (ValueNamed(table, name.toUpper() + QLatin1Char('x')))
            return QStringLiteral("reads a name that is not in the table: ") + name;
    }
    return {};
}
} // namespace

void TestNameTables::roundTrip_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("axis") << roundTripFault(AxisNames);
    QTest::newRow("category") << roundTripFault(CategoryNames);
    QTest::newRow("below endurance") << roundTripFault(BelowEnduranceNames);
    QTest::newRow("combine") << roundTripFault(CombineModeNames);
    QTest::newRow("table format") << roundTripFault(TableFormatNames);
}

void TestNameTables::roundTrip()
{
    QFETCH(QString, fault);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestNameTables::choicesAndHelp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three choices") << NameChoices(AxisNames) << "n, dn or a";
    QTest::newRow("two choices") << NameChoices(CombineModeNames) << "separate or running";
    QTest::newRow("a list") << NameChoices(CategoryNames, QStringLiteral(", "))
                            << "normal, utility, aerobatic";
    QTest::newRow("help with default and a bare name")
        << NameChoicesHelp(BelowEnduranceNames, std::optional(BelowEndurance::Elementary))
        << "elementary (same slope, default), haibach (2k - 1) or original";
    QTest::newRow("default without help") << NameChoicesHelp(TableFormatNames,
        std::optional(TableFormat::Text)) << "text (default), csv (RFC 4180) or json";
    QTest::newRow("no default") << NameChoicesHelp(CombineModeNames)
                                << "separate (each counts from a reset: sums) or running "
                                   "(running totals in file order: differences)";
    QTest::newRow("no name for not given") << NameOf(CombineModeNames, CombineMode::NotGiven) << "";
    QTest::newRow("one item") << JoinChoices({QStringLiteral("x")}, QStringLiteral(" or ")) << "x";
}

void TestNameTables::choicesAndHelp()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

QTEST_APPLESS_MAIN(TestNameTables)
#include "tst_nametables.moc"
