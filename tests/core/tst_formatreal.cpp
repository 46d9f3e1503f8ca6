#include "FormatReal.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestFormatReal : public QObject
{
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void decimalComma_data();
    void decimalComma();
    void defaultSeparatorIsTheOneSetAtStart();
};

void TestFormatReal::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    constexpr double inf = std::numeric_limits<double>::infinity();

    // The worked examples.
    QTest::newRow("2480") << 2480.0 << "2480";
    QTest::newRow("0.5") << 0.5 << "0.5";
    QTest::newRow("0.00012") << 0.00012 << "0.00012";
    QTest::newRow("0.00005") << 0.00005 << "5E-5";
    QTest::newRow("1e15") << 1e15 << "1E15";
    QTest::newRow("1.2345678901234568e18") << 1.2345678901234568e18 << "1.23456789012346E18";
    QTest::newRow("1/3 double") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("1/3 single") << double(1.0f / 3) << "0.333333343267441";
    QTest::newRow("time single") << double(float(600.0 / 3600 + 12 * 21)) << "252.16667175293";
    QTest::newRow("time double") << 600.0 / 3600 + 12 * 21 << "252.166666666667";

    // Rounding at the 15th significant digit, carrying into a new digit.
    QTest::newRow("round down") << 0.1234567890123454 << "0.123456789012345";
    QTest::newRow("round up") << 0.1234567890123456 << "0.123456789012346";
    QTest::newRow("carry to 100000") << 99999.99999999999 << "100000";
    QTest::newRow("carry into scientific") << 999999999999999.9 << "1E15";
    QTest::newRow("trailing zeros dropped") << 10.0 << "10";
    QTest::newRow("integer with zeros") << 1200000.0 << "1200000";

    // Negative values.
    QTest::newRow("-0.5") << -0.5 << "-0.5";
    QTest::newRow("-2.4016895...") << double(-2.40168952941895f) << "-2.40168952941895";
    QTest::newRow("-1e-5") << -1e-5 << "-1E-5";
    QTest::newRow("-1e20") << -1e20 << "-1E20";

    // The boundaries between plain and scientific notation.
    QTest::newRow("0.0001 plain") << 0.0001 << "0.0001";
    QTest::newRow("just under 0.0001") << 0.0000999 << "9.99E-5";
    QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e14 plain") << 1e14 << "100000000000000";
    QTest::newRow("1.5e15") << 1.5e15 << "1.5E15";
    QTest::newRow("1e100") << 1e100 << "1E100";
    QTest::newRow("1e-100") << 1e-100 << "1E-100";
    QTest::newRow("denormal") << 5e-324 << "4.94065645841247E-324";

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("INF") << inf << "INF";
    QTest::newRow("-INF") << -inf << "-INF";
    QTest::newRow("NAN") << std::nan("") << "NAN";
}

void TestFormatReal::format()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatReal(value, QStringLiteral(".")), text);
    // The character form used for bulk output gives the same text.
    char chars[FormatRealMaxChars];
    QCOMPARE(QString::fromLatin1(chars, FormatRealTo(value, chars)), text);
}

void TestFormatReal::decimalComma_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("frequency") << double(1.0f / 252.16766357421875f) << "0,00396561529487371";
    QTest::newRow("time") << 600.0 / 3600 + 12 * 21 << "252,166666666667";
    QTest::newRow("scientific") << 1.5e-5 << "1,5E-5";
    QTest::newRow("integer has no separator") << 2480.0 << "2480";
}

void TestFormatReal::decimalComma()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatReal(value, QStringLiteral(",")), text);
}

void TestFormatReal::defaultSeparatorIsTheOneSetAtStart()
{
    SetDecimalSeparator(QStringLiteral(","));
    QCOMPARE(FormatReal(0.5), QStringLiteral("0,5"));
    SetDecimalSeparator(QString());
    QCOMPARE(FormatReal(0.5), QStringLiteral("0.5"));
}

QTEST_GUILESS_MAIN(TestFormatReal)
#include "tst_formatreal.moc"
