#include "ExceedanceChart.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include <cmath>
#include <limits>

// Every spectrum here is made up: round numbers chosen for the geometry, not real data.

Q_DECLARE_METATYPE(DecadeRange)
Q_DECLARE_METATYPE(ExceedanceChartData)

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

ExceedanceSeries series(
    bool measured, QList<QPointF> positive, QList<QPointF> negative = {}, const QString &label = {})
{
    return {label, positive, negative, measured};
}

ExceedanceChartData chartOf(const QList<ExceedanceSeries> &list)
{
    return {QStringLiteral("Load factor n [g]"), QStringLiteral("Exceedances per 1000 h"),
        QStringLiteral("made-up data, 100.00 h"), list, {}};
}

// A made-up spectrum on both branches of the n axis, with a reference beside it.
ExceedanceChartData twoBranches()
{
    return chartOf({series(true, {{1.4, 5000}, {2, 300}, {3, 20}, {4, 2}},
                        {{-0.6, 4000}, {-1, 100}, {-2, 1}}, QStringLiteral("measured")),
        series(false, {{1.2, 9000}, {4.4, 0.5}}, {{-0.4, 8000}, {-2.4, 0.3}},
            QStringLiteral("reference"))});
}

// The plot frame: the dark lines that run across most of the image.
QRect frameOf(const QImage &image)
{
    QList<int> rows, columns;
    const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 0x80 ? 1 : 0; };
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += dark(x, y);
        if (count > image.width() / 2)
            rows << y;
    }
    for (int x = 0; x < image.width(); ++x) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            count += dark(x, y);
        if (count > image.height() / 2)
            columns << x;
    }
    return rows.isEmpty() || columns.isEmpty()
        ? QRect()
        : QRect(QPoint(columns.first(), rows.first()), QPoint(columns.last(), rows.last()));
}

// How much of a pixel a shape in the colour covers, where the pixel lies on the way from the
// white background to the colour; -1 where it does not (text, grid, other colours).
double coverage(const QColor &pixel, const QColor &colour)
{
    const double r = (255.0 - pixel.red()) / (255 - colour.red());
    const double g = (255.0 - pixel.green()) / (255 - colour.green());
    const double b = (255.0 - pixel.blue()) / (255 - colour.blue());
    return std::abs(r - g) < 0.08 && std::abs(r - b) < 0.08 ? r : -1;
}

// The pixels at least a quarter covered in the colour, within the columns.
QList<QPoint> inkOf(const QImage &image, const QColor &colour, int left = 0, int right = 1 << 30)
{
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(left, 0); x <= std::min(right, image.width() - 1); ++x) {
            if (coverage(image.pixelColor(x, y), colour) > 0.25)
                points << QPoint(x, y);
        }
    }
    return points;
}

// The centre of a marker in the colour, found roughly by its pixels, then each pixel around
// them weighted by how much of it the marker covers, so that the centre of an antialiased ring
// is as exact as that of a disc (the faint edges of text nearby would count too); and its area.
std::pair<QPointF, double> centreOf(const QImage &image, const QColor &colour)
{
    QPointF sum;
    const QList<QPoint> ink = inkOf(image, colour);
    for (const QPoint &p : ink)
        sum += p;
    const QPoint rough = (sum / std::max<qsizetype>(ink.size(), 1)).toPoint();
    sum = {};
    double area = 0;
    const QRect window = QRect(rough - QPoint(10, 10), QSize(21, 21)) & image.rect();
    for (int y = window.top(); y <= window.bottom(); ++y) {
        for (int x = window.left(); x <= window.right(); ++x) {
            const double covered = coverage(image.pixelColor(x, y), colour);
            if (covered > 0.02) {
                sum += QPointF(x + 0.5, y + 0.5) * covered;
                area += covered;
            }
        }
    }
    return {sum / std::max(area, 1e-9), area};
}
} // namespace

class TestExceedanceChart : public QObject
{
    Q_OBJECT
private slots:
    void logDecades_data();
    void logDecades();
    void niceTicks_data();
    void niceTicks();
    void labels_data();
    void labels();
    void pointLandsOnItsPixel_data();
    void pointLandsOnItsPixel();
    void linesCutWhereValuesAreMissing_data();
    void linesCutWhereValuesAreMissing();
    void oddPointsChangeNothing_data();
    void oddPointsChangeNothing();
    void oddDataDrawsWhatItCan_data();
    void oddDataDrawsWhatItCan();
    void limitLines_data();
    void limitLines();
};

void TestExceedanceChart::logDecades_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<DecadeRange>("expected");
    QTest::newRow("1 ... 1000") << 1.0 << 1000.0 << DecadeRange {0, 3};
    QTest::newRow("within one decade") << 2.0 << 9.0 << DecadeRange {0, 1};
    QTest::newRow("one value") << 5.0 << 5.0 << DecadeRange {0, 1};
    QTest::newRow("one power of ten") << 100.0 << 100.0 << DecadeRange {2, 3};
    QTest::newRow("0.05 ... 7") << 0.05 << 7.0 << DecadeRange {-2, 1};
    QTest::newRow("1e-6 ... 1e9") << 1e-6 << 1e9 << DecadeRange {-6, 9};
    QTest::newRow("3e-7 ... 2e9") << 3e-7 << 2e9 << DecadeRange {-7, 10};
    QTest::newRow("just past powers") << 0.0010000001 << 1000.0001 << DecadeRange {-3, 4};
    QTest::newRow("smallest double") << 5e-324 << 1.0 << DecadeRange {-324, 0};
    QTest::newRow("zero minimum") << 0.0 << 10.0 << DecadeRange {0, 1};
    QTest::newRow("reversed") << 10.0 << 1.0 << DecadeRange {0, 1};
    QTest::newRow("NaN") << NaN << 10.0 << DecadeRange {0, 1};
    QTest::newRow("infinite maximum") << 1.0 << Inf << DecadeRange {0, 1};
}

void TestExceedanceChart::logDecades()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(DecadeRange, expected);
    const DecadeRange actual = LogDecades(minimum, maximum);
    QCOMPARE(QPair(actual.first, actual.last), QPair(expected.first, expected.last));
}

void TestExceedanceChart::niceTicks_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("n, both branches") << -2.0 << 4.0 << 6 << QList<double> {-2, -1, 0, 1, 2, 3, 4};
    QTest::newRow("n, positive branch")
        << 1.4 << 4.0 << 6 << QList<double> {1, 1.5, 2, 2.5, 3, 3.5, 4};
    QTest::newRow("a, rounded outward")
        << 0.143 << 1.19 << 6 << QList<double> {0, 0.2, 0.4, 0.6, 0.8, 1.0, 1.2};
    QTest::newRow("fewer intervals") << 0.4 << 3.0 << 5 << QList<double> {0, 1, 2, 3};
    QTest::newRow("one value widened")
        << 5.0 << 5.0 << 6 << QList<double> {4.4, 4.6, 4.8, 5.0, 5.2, 5.4, 5.6};
    QTest::newRow("negative only") << -2.0 << -0.6 << 4 << QList<double> {-2, -1.5, -1, -0.5};
    QTest::newRow("reversed") << 4.0 << -2.0 << 6 << QList<double> {-2, -1, 0, 1, 2, 3, 4};
    QTest::newRow("NaN") << NaN << 3.0 << 6 << QList<double> {0, 0.2, 0.4, 0.6, 0.8, 1};
    QTest::newRow("tiny") << 1e-9 << 3e-9 << 4 << QList<double> {1e-9, 1.5e-9, 2e-9, 2.5e-9, 3e-9};
    QTest::newRow("wider than a double") << -1e308 << 1e308 << 6 << QList<double> {-1e308, 1e308};
}

void TestExceedanceChart::niceTicks()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, intervals);
    QFETCH(QList<double>, expected);
    const QList<double> actual = NiceTicks(minimum, maximum, intervals);
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const double tolerance = 1e-9 * std::max(std::abs(expected[i]), std::abs(expected[1]));
        if (!(std::abs(actual[i] - expected[i]) <= tolerance))
            QFAIL(qPrintable(QStringLiteral("tick %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(actual[i], 0, 'g', 17)
                                 .arg(expected[i])));
    }
}

void TestExceedanceChart::labels_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const auto decade = [](int exponent, DecadeRange axis) {
        const DecadeLabelText text = DecadeLabel(exponent, axis);
        return text.base + u'^' + text.exponent;
    };
    QTest::newRow("0.1 plain") << decade(-1, {-1, 3}) << "0.1^";
    QTest::newRow("10000 plain") << decade(4, {0, 4}) << "10000^";
    QTest::newRow("10^5: the axis goes past 10^4") << decade(5, {0, 5}) << "10^5";
    QTest::newRow("1 as 10^0 on a wide axis") << decade(0, {-6, 9}) << "10^0";
    QTest::newRow("10^-3 with a true minus") << decade(-3, {-3, 2}) << "10^\u22123";
    QTest::newRow("tick -2") << TickLabel(-2, 1) << "\u22122";
    QTest::newRow("tick 1.5") << TickLabel(1.5, 0.5) << "1.5";
    QTest::newRow("tick 0.05") << TickLabel(0.05, 0.05) << "0.05";
    QTest::newRow("tick near zero, no minus") << TickLabel(-1e-17, 0.2) << "0.0";
    QTest::newRow("tick far out") << TickLabel(3e7, 1e7) << "3e+07";
}

void TestExceedanceChart::labels()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestExceedanceChart::pointLandsOnItsPixel_data()
{
    QTest::addColumn<QPointF>("value");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<QPointF>("fraction"); // of the frame, from its bottom-left corner
    QTest::newRow("centre") << QPointF(0.5, 10) << false << QPointF(0.5, 0.5);
    QTest::newRow("top decade") << QPointF(0.25, 1000) << false << QPointF(0.25, 1);
    QTest::newRow("bottom decade") << QPointF(0.8, 0.1) << false << QPointF(0.8, 0);
    QTest::newRow("half a decade") << QPointF(0.1, std::sqrt(10.0)) << false << QPointF(0.1, 0.375);
    QTest::newRow("open marker, negative branch")
        << QPointF(0.7, 100) << true << QPointF(0.7, 0.75);
}

void TestExceedanceChart::pointLandsOnItsPixel()
{
    QFETCH(QPointF, value);
    QFETCH(bool, negative);
    QFETCH(QPointF, fraction);
    // Two lone reference points span the axes: 0 ... 1 across, 10^-1 ... 10^3 up.
    const QImage image = RenderExceedanceChart(QSize(800, 600),
        chartOf({series(false, {{0, 0.1}}), series(false, {{1, 1000}}),
            negative ? series(true, {}, {value}) : series(true, {value})}));
    const QRect frame = frameOf(image);
    QVERIFY(frame.width() > 400 && frame.height() > 300);
    const auto [actual, area] = centreOf(image, MeasuredColour(0));
    QVERIFY(area >= 10);
    // The one-pixel frame line at coordinate x fills column x, which covers x ... x + 1.
    const QPointF expected(frame.left() + fraction.x() * (frame.right() - frame.left()),
        frame.bottom() - fraction.y() * (frame.bottom() - frame.top()));
    QVERIFY2(std::abs(actual.x() - expected.x()) <= 1 && std::abs(actual.y() - expected.y()) <= 1,
        qPrintable(QStringLiteral("at (%1, %2), expected (%3, %4)")
                       .arg(actual.x())
                       .arg(actual.y())
                       .arg(expected.x())
                       .arg(expected.y())));
}

void TestExceedanceChart::linesCutWhereValuesAreMissing_data()
{
    QTest::addColumn<ExceedanceChartData>("data"); // axis -1 ... 3
    QTest::addColumn<QList<double>>("marks"); // marker columns, in axis values
    QTest::addColumn<QList<double>>("gaps"); // columns nothing of the series crosses
    QTest::newRow("zero between two points")
        << chartOf({series(true, {{1, 100}, {2, 0}, {3, 100}}, {{-1, 100}})})
        << QList<double> {-1, 1, 3} << QList<double> {0, 2};
    QTest::newRow("NaN between two points")
        << chartOf({series(true, {{-1, 10}, {1, NaN}, {3, 10}})}) << QList<double> {-1, 3}
        << QList<double> {0, 1, 2};
    QTest::newRow("branches side by side")
        << chartOf({series(true, {{1, 50}, {3, 5}}, {{0, 40}, {-1, 4}})})
        << QList<double> {-1, 0, 1, 3} << QList<double> {0.5};
}

void TestExceedanceChart::linesCutWhereValuesAreMissing()
{
    QFETCH(ExceedanceChartData, data);
    QFETCH(QList<double>, marks);
    QFETCH(QList<double>, gaps);
    const QImage image = RenderExceedanceChart(QSize(800, 600), data);
    const QRect frame = frameOf(image);
    QVERIFY(frame.width() > 400);
    const auto column = [&](double v) {
        return int(frame.left() + (v + 1) / 4 * (frame.right() - frame.left()));
    };
    for (const double v : marks)
        QVERIFY2(!inkOf(image, MeasuredColour(0), column(v) - 1, column(v) + 1).isEmpty(),
            qPrintable(QStringLiteral("no marker at %1").arg(v)));
    for (const double v : gaps)
        QVERIFY2(inkOf(image, MeasuredColour(0), column(v) - 2, column(v) + 2).isEmpty(),
            qPrintable(QStringLiteral("a line crosses %1").arg(v)));
}

void TestExceedanceChart::oddPointsChangeNothing_data()
{
    QTest::addColumn<QList<QPointF>>("added"); // after the last positive point
    QTest::newRow("NaN value") << QList<QPointF> {{4.5, NaN}};
    QTest::newRow("infinite value") << QList<QPointF> {{3.5, Inf}};
    QTest::newRow("negative value") << QList<QPointF> {{3.5, -5}};
    QTest::newRow("NaN axis value") << QList<QPointF> {{NaN, 100}};
    QTest::newRow("infinite axis value") << QList<QPointF> {{-Inf, 100}, {Inf, 0}};
    QTest::newRow("axis value beyond any load") << QList<QPointF> {{1e300, 5}};
    QTest::newRow("zero within the axis") << QList<QPointF> {{4.2, 0}};
}

void TestExceedanceChart::oddPointsChangeNothing()
{
    QFETCH(QList<QPointF>, added);
    ExceedanceChartData odd = twoBranches();
    odd.series[0].positive << added;
    odd.series.append(series(true, added)); // and a series of them alone, without a label
    QCOMPARE(RenderExceedanceChart(QSize(640, 480), odd),
        RenderExceedanceChart(QSize(640, 480), twoBranches()));
}

void TestExceedanceChart::oddDataDrawsWhatItCan_data()
{
    QTest::addColumn<ExceedanceChartData>("data");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("points");
    const QSize size(800, 600);
    QList<ExceedanceSeries> many;
    for (int i = 0; i < 60; ++i)
        many << series(i % 2 == 0, {{1.4, 100.0 + i}, {4, 1}}, {}, QStringLiteral("s%1").arg(i));
    QTest::newRow("no series") << chartOf({}) << size << true << false;
    QTest::newRow("empty series") << chartOf({series(true, {}, {})}) << size << true << false;
    QTest::newRow("all zeros") << chartOf({series(true, {{1.4, 0}, {2, 0}}, {{-1, 0}})}) << size
                               << true << false;
    QTest::newRow("only NaN and inf")
        << chartOf({series(true, {{NaN, 1}, {2, Inf}}, {{-Inf, NaN}})}) << size << true << false;
    QTest::newRow("single point") << chartOf({series(true, {{2, 7}})}) << size << true << true;
    QTest::newRow("1e-6 ... 1e9") << chartOf({series(true, {{1.4, 1e9}, {4, 1e-6}})}) << size
                                  << true << true;
    QTest::newRow("1e-300 ... 1e300")
        << chartOf({series(true, {{1.4, 1e300}, {4, 1e-300}})}) << size << true << true;
    QTest::newRow("axis +-1e15") << chartOf({series(true, {{-1e15, 3}, {1e15, 30}})}) << size
                                 << true << true;
    QTest::newRow("60 series in the legend") << chartOf(many) << size << true << true;
    QTest::newRow("no room") << twoBranches() << QSize(40, 30) << false << false;
    QTest::newRow("one pixel") << twoBranches() << QSize(1, 1) << false << false;
}

void TestExceedanceChart::oddDataDrawsWhatItCan()
{
    QFETCH(ExceedanceChartData, data);
    QFETCH(QSize, size);
    QFETCH(bool, frame);
    QFETCH(bool, points);
    QElapsedTimer timer;
    timer.start();
    const QImage image = RenderExceedanceChart(size, data);
    QVERIFY2(timer.elapsed() < 5000, "odd data must not make the chart crawl");
    QCOMPARE(image.size(), size);
    QCOMPARE(frameOf(image).isValid(), frame);
    QCOMPARE(inkOf(image, MeasuredColour(0)).size() > 0, points);
}

void TestExceedanceChart::limitLines_data()
{
    QTest::addColumn<double>("limit");
    QTest::newRow("3.8 g, inside the data") << 3.8;
    QTest::newRow("6.0 g, beyond the top level: the axis widens") << 6.0;
}

// A limit load is a dashed vertical line across the plot, in its own colour, the axis widened
// to hold it; the measured 4.0 g point stays left of a limit beyond it.
void TestExceedanceChart::limitLines()
{
    QFETCH(double, limit);
    const QColor lineColour(0xB7, 0x1C, 0x1C);
    ExceedanceChartData data = chartOf(
        {series(true, {{1.4, 5000}, {2, 300}, {3, 20}, {4, 2}}, {}, QStringLiteral("m"))});
    // The column with the most of the line's colour, and how much of it it holds.
    const auto fullest = [&](const QImage &image) {
        QMap<int, int> columns;
        for (const QPoint &p : inkOf(image, lineColour))
            ++columns[p.x()];
        std::pair<int, int> best {-1, 0};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
            if (it.value() > best.second)
                best = {it.key(), it.value()};
        }
        return best;
    };
    const QImage without = RenderExceedanceChart(QSize(800, 600), data);
    const QRect frame = frameOf(without);
    QVERIFY(frame.isValid());
    QVERIFY(fullest(without).second < frame.height() / 10);
    data.limitLines << ChartLimitLine {limit, QStringLiteral("n_LL+")};
    const QImage image = RenderExceedanceChart(QSize(800, 600), data);
    const auto [column, most] = fullest(image);
    // Dashed, over the whole height of the plot.
    QVERIFY2(most > frame.height() / 3, qPrintable(QString::number(most)));
    QVERIFY(column > frame.left() && column <= frameOf(image).right());
    // The 4.0 g marker is the measured series' rightmost ink.
    int at4 = 0;
    for (const QPoint &p : inkOf(image, MeasuredColour(0)))
        at4 = std::max(at4, p.x());
    QCOMPARE(column > at4, limit > 4);
}

ZEMRA_TEST_MAIN(TestExceedanceChart)

#include "tst_exceedancechart.moc"
