#include "TestSupport.h"
#include "TrendChart.h"
#include "ZemraApplication.h"

#include <QImage>
#include <QMap>
#include <QTest>

#include <cmath>

// Every history here is made up: round numbers chosen for the geometry, not real data.

namespace {
const QSize Size(800, 800);

// Four read-outs 60 days and 100 h apart: the counted estimate 5 % a read-out, the upper 8 %.
TrendChartData history(bool upper = true)
{
    TrendChartData data;
    data.caption = QStringLiteral("made-up aircraft");
    for (int i = 1; i <= 4; ++i) {
        TrendPoint point {100.0 * i, QDate(2025, 1, 1).addDays(60 * (i - 1)), 5.0 * i, {}};
        if (upper)
            point.upper = 8.0 * i;
        data.points << point;
    }
    for (const double percent : {50.0, 80.0, 100.0})
        data.thresholds << TrendThreshold {
            percent, QString::number(percent) + QStringLiteral(" %")};
    return data;
}

// How much of a pixel a shape in the colour covers, where the pixel lies on the way from the
// white background to the colour; -1 where it does not.
double coverage(const QColor &pixel, const QColor &colour)
{
    const double r = (255.0 - pixel.red()) / std::max(1, 255 - colour.red());
    const double g = (255.0 - pixel.green()) / std::max(1, 255 - colour.green());
    const double b = (255.0 - pixel.blue()) / std::max(1, 255 - colour.blue());
    return std::abs(r - g) < 0.1 && std::abs(r - b) < 0.1 ? r : -1;
}

bool inked(const QImage &image, int x, int y, const QColor &colour)
{
    return image.rect().contains(x, y) && coverage(image.pixelColor(x, y), colour) > 0.4;
}

// Ink of the colour within `radius` pixels of the point.
bool inkNear(const QImage &image, QPointF at, const QColor &colour, int radius = 2)
{
    if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
        return false;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (inked(image, int(std::floor(at.x())) + dx, int(std::floor(at.y())) + dy, colour))
                return true;
        }
    }
    return false;
}

// The share of points along a to b, ends left out by `margin` pixels, with ink near them.
double inkAlong(const QImage &image, QPointF a, QPointF b, const QColor &colour, double margin)
{
    const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
    int samples = 0, found = 0;
    for (double s = margin; s <= length - margin; s += 1) {
        ++samples;
        found += inkNear(image, a + (b - a) * (s / length), colour, 1) ? 1 : 0;
    }
    return samples ? double(found) / samples : 0;
}

QList<QPoint> inkIn(const QImage &image, const QRectF &area, const QColor &colour)
{
    QList<QPoint> points;
    const QRect box = area.toAlignedRect() & image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (inked(image, x, y, colour))
                points << QPoint(x, y);
        }
    }
    return points;
}

// The plot's height of a value, from the plot's rectangle and the top of the axis alone.
double heightOf(const QRectF &plot, double percent, double top)
{
    return plot.bottom() - percent / top * plot.height();
}
} // namespace

class TestTrendChart : public QObject
{
    Q_OBJECT
private slots:
    void dateTicks_data();
    void dateTicks();
    void linesRise_data();
    void linesRise();
    void thresholdAtItsHeight_data();
    void thresholdAtItsHeight();
    void forecastEndsAtThreshold_data();
    void forecastEndsAtThreshold();
    void upperBoundOnlyWhereGiven();
};

void TestTrendChart::dateTicks_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QDate>("firstTick");
    QTest::addColumn<QDate>("lastTick");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("label");
    const QDate jan15(2025, 1, 15);
    QTest::newRow("54 days: fortnights from a Monday")
        << jan15 << QDate(2025, 3, 10) << QDate(2025, 1, 13) << QDate(2025, 3, 10) << 5
        << QStringLiteral("2025-01-13");
    QTest::newRow("301 days: two months") << jan15 << QDate(2025, 11, 12) << QDate(2025, 1, 1)
                                          << QDate(2026, 1, 1) << 7 << QStringLiteral("2025-01");
    QTest::newRow("seven years: two years") << jan15 << QDate(2032, 4, 12) << QDate(2024, 1, 1)
                                            << QDate(2034, 1, 1) << 6 << QStringLiteral("2024");
    QTest::newRow("one day: the day and the next")
        << jan15 << jan15 << jan15 << QDate(2025, 1, 16) << 2 << QStringLiteral("2025-01-15");
    QTest::newRow("ends swapped") << QDate(2025, 11, 12) << jan15 << QDate(2025, 1, 1)
                                  << QDate(2026, 1, 1) << 7 << QStringLiteral("2025-01");
    QTest::newRow("no date") << QDate() << jan15 << QDate() << QDate() << 0 << QString();
}

// Ticks on whole days, months or years, the axis from one at or before the first date to one at
// or after the last.
void TestTrendChart::dateTicks()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QDate, firstTick);
    QFETCH(QDate, lastTick);
    QFETCH(int, count);
    QFETCH(QString, label);
    const QList<QDate> ticks = DateTicks(first, last, 6);
    QCOMPARE(ticks.size(), count);
    if (count == 0)
        return;
    QCOMPARE(ticks.first(), firstTick);
    QCOMPARE(ticks.last(), lastTick);
    QCOMPARE(DateTickLabel(ticks.first(), ticks), label);
    for (qsizetype i = 1; i < ticks.size(); ++i)
        QCOMPARE(ticks[i - 1].daysTo(ticks[i]) > 0, true);
}

void TestTrendChart::linesRise_data()
{
    QTest::addColumn<int>("line");
    QTest::newRow("counted") << int(TrendLine::Counted);
    QTest::newRow("upper bound") << int(TrendLine::Upper);
}

// Each read-out's life used lies on its line in both panels, and the line rises from left to
// right: the ink of later columns lies higher.
void TestTrendChart::linesRise()
{
    QFETCH(int, line);
    const TrendLine which = TrendLine(line);
    const TrendChartData data = history();
    const QImage image = RenderTrendChart(Size, data);
    const TrendChartLayout layout = LayOutTrendChart(&image, QRectF(QPointF(), Size), data);
    QVERIFY(layout.valid());
    const QColor colour = TrendColour(which);
    for (const TrendPoint &point : data.points) {
        const double value = which == TrendLine::Counted ? point.counted : *point.upper;
        QVERIFY(inkNear(image, layout.atHours(point.hours, value), colour));
        QVERIFY(inkNear(image, layout.atDate(point.date, value), colour));
    }
    for (const QRectF &plot : {layout.hoursPlot, layout.datePlot}) {
        // The mean height of the ink in each column, left to right over the plot's lower part,
        // where the legend is not.
        QMap<int, std::pair<double, int>> columns;
        for (const QPoint &p : inkIn(image, plot.adjusted(0, plot.height() / 2, 0, 0), colour)) {
            columns[p.x()].first += p.y();
            ++columns[p.x()].second;
        }
        QVERIFY2(columns.size() > 20, qPrintable(QString::number(columns.size())));
        const double firstY = columns.first().first / columns.first().second;
        const double lastY = columns.last().first / columns.last().second;
        QVERIFY2(lastY < firstY - 20, qPrintable(QStringLiteral("%1 %2").arg(firstY).arg(lastY)));
        double previous = firstY + 1;
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
            const double y = it->first / it->second;
            QVERIFY2(y <= previous + 3, qPrintable(QStringLiteral("column %1").arg(it.key())));
            previous = y;
        }
    }
}

void TestTrendChart::thresholdAtItsHeight_data()
{
    QTest::addColumn<double>("percent");
    QTest::newRow("50 %") << 50.0;
    QTest::newRow("80 %") << 80.0;
    QTest::newRow("100 %") << 100.0;
    QTest::newRow("37.5 %") << 37.5;
    QTest::newRow("150 %, above the data: the axis reaches it") << 150.0;
}

// A threshold is a dashed line across each plot at its height, its label right of the plot.
void TestTrendChart::thresholdAtItsHeight()
{
    QFETCH(double, percent);
    TrendChartData data = history();
    data.thresholds = {TrendThreshold {percent, QStringLiteral("T")}};
    const QImage image = RenderTrendChart(Size, data);
    const TrendChartLayout layout = LayOutTrendChart(&image, QRectF(QPointF(), Size), data);
    QVERIFY(layout.valid());
    QVERIFY(layout.percentLast >= percent);
    for (const QRectF &plot : {layout.hoursPlot, layout.datePlot}) {
        QMap<int, int> rows;
        for (const QPoint &p : inkIn(image, plot, ThresholdColour()))
            ++rows[p.y()];
        int row = -1, most = 0;
        for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
            if (it.value() > most) {
                row = it.key();
                most = it.value();
            }
        }
        // Dashed: about half of the plot's width.
        QVERIFY2(most > plot.width() / 3, qPrintable(QString::number(most)));
        QVERIFY2(std::abs(row + 0.5 - heightOf(plot, percent, layout.percentLast)) <= 1.5,
            qPrintable(QStringLiteral("row %1, expected %2")
                           .arg(row)
                           .arg(heightOf(plot, percent, layout.percentLast))));
        const QRectF label(plot.right() + 1, row - 8, 40, 16);
        QVERIFY(!inkIn(image, label, ThresholdColour()).isEmpty());
    }
}

void TestTrendChart::forecastEndsAtThreshold_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("hours");
    QTest::addColumn<QDate>("date");
    // From 20 % at 400 h on 2025-06-30, at 0.05 % per hour (counted), 0.08 % (upper), 1.25 h a day.
    const QDate last(2025, 6, 30);
    QTest::newRow("counted to 50 %")
        << int(TrendLine::Counted) << 50.0 << 1000.0 << last.addDays(480);
    QTest::newRow("counted to 100 %")
        << int(TrendLine::Counted) << 100.0 << 2000.0 << last.addDays(1280);
    QTest::newRow("upper to 80 %") << int(TrendLine::Upper) << 80.0 << 1000.0 << last.addDays(480);
    QTest::newRow("counted to 50 %, no date")
        << int(TrendLine::Counted) << 50.0 << 1000.0 << QDate();
}

// The forecast runs dashed from the last read-out to the threshold, at the forecast's hours and
// date, and no further; without a date the lower panel leaves it out.
void TestTrendChart::forecastEndsAtThreshold()
{
    QFETCH(int, line);
    QFETCH(double, percent);
    QFETCH(double, hours);
    QFETCH(QDate, date);
    const TrendLine which = TrendLine(line);
    TrendChartData data = history();
    data.forecasts << TrendForecast {which, percent, hours, date};
    // Another forecast with a date widens the date axis, so that a line would show.
    if (!date.isValid())
        data.forecasts << TrendForecast {TrendLine::Upper, 80, 1000, QDate(2026, 10, 23)};
    const QImage image = RenderTrendChart(Size, data);
    const TrendChartLayout layout = LayOutTrendChart(&image, QRectF(QPointF(), Size), data);
    QVERIFY(layout.valid());
    const QColor colour = TrendColour(which);
    const TrendPoint &last = data.points.last();
    const double from = which == TrendLine::Counted ? last.counted : *last.upper;
    const auto check = [&](const QRectF &plot, double x0, double x1, bool drawn) {
        const QPointF start(x0, heightOf(plot, from, layout.percentLast));
        const QPointF end(x1, heightOf(plot, percent, layout.percentLast));
        const double along = inkAlong(image, start, end, colour, 10);
        if (!drawn) {
            QCOMPARE(along, 0.0);
            return;
        }
        QVERIFY2(along > 0.4, qPrintable(QString::number(along)));
        QVERIFY(inkNear(image, end, colour, 6));
        // Nothing of it beyond the threshold, on the line's way on.
        const QPointF way = (end - start) / std::hypot(end.x() - start.x(), end.y() - start.y());
        const double beyond = inkAlong(image, end + way * 9, end + way * 60, colour, 0);
        QCOMPARE(beyond, 0.0);
    };
    const QRectF &upper = layout.hoursPlot;
    const auto xOfHours = [&](double h) {
        return upper.left()
            + (h - layout.hoursFirst) / (layout.hoursLast - layout.hoursFirst) * upper.width();
    };
    check(upper, xOfHours(last.hours), xOfHours(hours), true);
    const QRectF &lower = layout.datePlot;
    const double days = layout.dateFirst.daysTo(layout.dateLast);
    const auto xOfDate = [&](const QDate &d) {
        return lower.left() + layout.dateFirst.daysTo(d) / days * lower.width();
    };
    const QDate end = date.isValid() ? date : QDate(2027, 1, 1);
    check(lower, xOfDate(last.date), xOfDate(end), date.isValid());
}

// The upper bound's line and its key are drawn where the read-outs have one, and not otherwise.
void TestTrendChart::upperBoundOnlyWhereGiven()
{
    const QColor colour = TrendColour(TrendLine::Upper);
    const QImage with = RenderTrendChart(Size, history(true));
    const QImage without = RenderTrendChart(Size, history(false));
    QVERIFY(inkIn(with, QRectF(QPointF(), Size), colour).size() > 100);
    QCOMPARE(inkIn(without, QRectF(QPointF(), Size), colour).size(), 0);
    QVERIFY(inkIn(without, QRectF(QPointF(), Size), TrendColour(TrendLine::Counted)).size() > 100);
}

ZEMRA_TEST_MAIN(TestTrendChart)

#include "tst_trendchart.moc"
