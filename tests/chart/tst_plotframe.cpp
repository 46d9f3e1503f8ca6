#include "Canvas.h"
#include "FormBase.h"
#include "Pixels.h"
#include "PlotFrame.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <functional>
#include <set>

namespace {
const QColor Green {0, 255, 0};
const QColor Red {255, 0, 0};
const QColor Black {0, 0, 0};
const QColor Yellow {255, 255, 0};
constexpr QRgb White = 0xFFFFFFFF;

// A white image of the given size drawn on through the real surface.
QImage drawn(int width, int height, const std::function<void(Canvas &)> &draw)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(White);
    QPainter painter(&image);
    Canvas canvas(painter, width, height);
    canvas.setBrushColor(Qt::white);
    draw(canvas);
    return image;
}

QImage drawnOnChart(const std::function<void(PlotFrame &)> &draw)
{
    return drawn(520, 519, [&](Canvas &canvas) {
        PlotFrame frame(0, 0, 520, 519, 0, 0, 20, 20, canvas);
        draw(frame);
    });
}

QList<int> columnsOf(const QImage &image, int row, const QColor &colour)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        if (is(image, x, row, colour))
            columns << x;
    }
    return columns;
}

QList<int> rowsOf(const QImage &image, int column, const QColor &colour)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (is(image, column, y, colour))
            rows << y;
    }
    return rows;
}

QList<int> range(int first, int last)
{
    QList<int> values;
    for (int v = first; v <= last; ++v)
        values << v;
    return values;
}

Points box(int left, int top, int right, int bottom)
{
    Points points;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            points.insert({x, y});
    }
    return points;
}

Points unite(Points a, const Points &b)
{
    a.insert(b.begin(), b.end());
    return a;
}

Points rows(const QList<std::tuple<int, int, int>> &spans)
{
    Points points;
    for (const auto &[y, left, right] : spans) {
        for (int x = left; x <= right; ++x)
            points.insert({x, y});
    }
    return points;
}
} // namespace

Q_DECLARE_METATYPE(Points)
using Operation = std::function<void(PlotFrame &)>;
Q_DECLARE_METATYPE(Operation)

class TestPlotFrame : public QObject
{
    Q_OBJECT
private slots:
    void mapping_data();
    void mapping();
    void truncationTowardZero_data();
    void truncationTowardZero();

    void linesLeaveTheirEndPixel_data();
    void linesLeaveTheirEndPixel();
    void linesStayWithinHalfAPixel();
    void linesFromFarOutsideAreClipped();
    void shapesKeepRightAndBottomEdgesOutside();
    void textOnOpaqueCell();

    void chartGrid();
    void gridSweepsByRepeatedAddition();
    void fineStepsReachTheBound_data();
    void fineStepsReachTheBound();
    void axesAndTicks_data();
    void axesAndTicks();
    void markers_data();
    void markers();
    void coloursRestored_data();
    void coloursRestored();
    void degenerateFramesDrawNothing_data();
    void degenerateFramesDrawNothing();
};

void TestPlotFrame::mapping_data()
{
    QTest::addColumn<QRect>("device");
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<QSizeF>("world");
    QTest::addColumn<QList<double>>("fields"); // scaleX, offsetX, scaleY, offsetY, inverse four
    QTest::addColumn<QList<QPointF>>("worldPoints");
    QTest::addColumn<QList<QPoint>>("devicePoints");

    QTest::newRow("chart 520 x 519")
        << QRect(0, 0, 520, 519) << QPointF(0, 0) << QSizeF(20, 20)
        << QList<double> {26, 260, -25.95, 259.5, 20.0 / 520, -10, -20.0 / 519, 10}
        << QList<QPointF> {{-10, 10}, {10, -10}, {-9, -3}, {0, 0}}
        << QList<QPoint> {{0, 0}, {520, 519}, {26, 337}, {260, 259}};
    QTest::newRow("offset rectangle, off-centre window")
        << QRect(100, 50, 200, 100) << QPointF(5, 1) << QSizeF(10, 4)
        << QList<double> {20, 100, -25, 125, 0.5 / 10, -5, -0.04, 5}
        << QList<QPointF> {{0, 3}, {10, -1}, {5, 1}}
        << QList<QPoint> {{100, 50}, {300, 150}, {200, 100}};
}

void TestPlotFrame::mapping()
{
    QFETCH(QRect, device);
    QFETCH(QPointF, centre);
    QFETCH(QSizeF, world);
    QFETCH(QList<double>, fields);
    QFETCH(QList<QPointF>, worldPoints);
    QFETCH(QList<QPoint>, devicePoints);

    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    Canvas canvas(painter, 1, 1);
    const PlotFrame frame(device.left(), device.top(), device.width(), device.height(), centre.x(),
        centre.y(), world.width(), world.height(), canvas);

    const QList<double> actual {frame.scaleX, frame.offsetX, frame.scaleY, frame.offsetY,
        frame.invScaleX, frame.invOffsetX, frame.invScaleY, frame.invOffsetY};
    for (int i = 0; i < fields.size(); ++i) {
        if (!qFuzzyCompare(1 + actual[i], 1 + fields[i]))
            QFAIL(qPrintable(QStringLiteral("field %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(actual[i], 0, 'g', 17)
                                 .arg(fields[i], 0, 'g', 17)));
    }
    QCOMPARE(&frame.canvas, &canvas);
    QCOMPARE(QPointF(frame.centerX, frame.centerY), centre);
    QCOMPARE(QSizeF(frame.worldWidth, frame.worldHeight), world);
    for (int i = 0; i < worldPoints.size(); ++i) {
        const QPoint mapped(
            frame.toDeviceX(worldPoints[i].x()), frame.toDeviceY(worldPoints[i].y()));
        QCOMPARE(mapped, devicePoints[i]);
    }
}

void TestPlotFrame::truncationTowardZero_data()
{
    QTest::addColumn<double>("deviceValue"); // scaleX * x + offsetX on the 520-pixel chart
    QTest::addColumn<int>("expected");
    QTest::newRow("259.5") << 259.5 << 259;
    QTest::newRow("-0.5 gives 0, not -1") << -0.5 << 0;
    QTest::newRow("-1.5 gives -1, not -2") << -1.5 << -1;
    QTest::newRow("0.999") << 0.999 << 0;
    QTest::newRow("far beyond int") << 1e300 << (1 << 29);
    QTest::newRow("far below int") << -1e300 << -(1 << 29);
}

void TestPlotFrame::truncationTowardZero()
{
    QFETCH(double, deviceValue);
    QFETCH(int, expected);
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    Canvas canvas(painter, 1, 1);
    const PlotFrame frame(0, 0, 520, 519, 0, 0, 20, 20, canvas);
    QCOMPARE(frame.toDeviceX((deviceValue - 260) / 26), expected);
}

void TestPlotFrame::linesLeaveTheirEndPixel_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<Points>("expected");
    QTest::newRow("rightwards") << QPoint(2, 3) << QPoint(6, 3) << rows({{3, 2, 5}});
    QTest::newRow("leftwards") << QPoint(6, 3) << QPoint(2, 3) << rows({{3, 3, 6}});
    QTest::newRow("downwards") << QPoint(4, 1) << QPoint(4, 4) << box(4, 1, 4, 3);
    QTest::newRow("upwards") << QPoint(4, 4) << QPoint(4, 1) << box(4, 2, 4, 4);
    QTest::newRow("diagonal") << QPoint(1, 1) << QPoint(4, 4) << Points {{1, 1}, {2, 2}, {3, 3}};
    QTest::newRow("shallow") << QPoint(0, 0) << QPoint(4, 1)
                             << Points {{0, 0}, {1, 0}, {2, 1}, {3, 1}};
    QTest::newRow("steep, backwards")
        << QPoint(5, 6) << QPoint(4, 2) << Points {{5, 6}, {5, 5}, {4, 4}, {4, 3}};
    QTest::newRow("zero length") << QPoint(3, 3) << QPoint(3, 3) << Points {};
}

void TestPlotFrame::linesLeaveTheirEndPixel()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(Points, expected);
    QPoint after;
    const QImage image = drawn(10, 10, [&](Canvas &canvas) {
        canvas.setPenColor(Red);
        canvas.moveTo(from.x(), from.y());
        canvas.lineTo(to.x(), to.y());
        after = canvas.penPos();
    });
    QCOMPARE(pixelsOf(image, Red), expected);
    QCOMPARE(after, to);
}

void TestPlotFrame::linesStayWithinHalfAPixel()
{
    // Any line: one pixel per step along its longer direction, the first pixel at the start,
    // none at the end, each within half a pixel of the ideal line.
    QRandomGenerator random(20240);
    for (int n = 0; n < 300; ++n) {
        const QPoint from(random.bounded(60), random.bounded(60));
        const QPoint to(random.bounded(60), random.bounded(60));
        const QImage image = drawn(60, 60, [&](Canvas &canvas) {
            canvas.setPenColor(Black);
            canvas.moveTo(from.x(), from.y());
            canvas.lineTo(to.x(), to.y());
        });
        const Points pixels = pixelsOf(image, Black);
        const int dx = to.x() - from.x(), dy = to.y() - from.y();
        const int steps = std::max(std::abs(dx), std::abs(dy));
        QCOMPARE(int(pixels.size()), steps);
        if (steps == 0)
            continue;
        QVERIFY(pixels.count({from.x(), from.y()}));
        QVERIFY(!pixels.count({to.x(), to.y()}));
        for (const auto &[x, y] : pixels) {
            const double t = std::abs(dx) >= std::abs(dy) ? double(x - from.x()) / dx
                                                          : double(y - from.y()) / dy;
            QVERIFY(t >= 0 && t < 1);
            const double ideal
                = std::abs(dx) >= std::abs(dy) ? from.y() + t * dy : from.x() + t * dx;
            const double actual = std::abs(dx) >= std::abs(dy) ? y : x;
            if (std::abs(actual - ideal) > 0.5 + 1e-9)
                QFAIL(qPrintable(QStringLiteral("(%1,%2)-(%3,%4): pixel (%5,%6) is off the line")
                                     .arg(from.x())
                                     .arg(from.y())
                                     .arg(to.x())
                                     .arg(to.y())
                                     .arg(x)
                                     .arg(y)));
        }
    }
}

void TestPlotFrame::linesFromFarOutsideAreClipped()
{
    QElapsedTimer timer;
    timer.start();
    const QImage image = drawn(100, 100, [](Canvas &canvas) {
        canvas.setPenColor(Red);
        canvas.moveTo(-1000000000, -1000000000);
        canvas.lineTo(1000000000, 1000000000);
        canvas.moveTo(-2000000000, 50);
        canvas.lineTo(2000000000, 50);
        canvas.moveTo(-5000, -7000); // wholly outside
        canvas.lineTo(-10, 9000);
    });
    Points expected = rows({{50, 0, 99}});
    for (int i = 0; i < 100; ++i)
        expected.insert({i, i});
    QCOMPARE(pixelsOf(image, Red), expected);
    QVERIFY2(timer.elapsed() < 2000, "clipped lines should not walk their whole length");
}

void TestPlotFrame::shapesKeepRightAndBottomEdgesOutside()
{
    const QImage image = drawn(30, 30, [](Canvas &canvas) {
        canvas.setPenColor(Red);
        canvas.setBrushColor(Green);
        canvas.moveTo(7, 8);
        canvas.rectangle(2, 2, 7, 6);
        canvas.ellipse(10, 10, 17, 17);
        QCOMPARE(canvas.penPos(), QPoint(7, 8));
    });
    // Rectangle: pixels 2..6 by 2..5, a one-pixel red outline round a green inside.
    Points rectangle = box(2, 2, 6, 5);
    Points rectangleInside = box(3, 3, 5, 4);
    // Ellipse: within 10..16 both ways, touching all four sides, green at the centre.
    Points red = pixelsOf(image, Red), green = pixelsOf(image, Green);
    Points rectangleRed, ellipse;
    for (const auto &p : red) {
        (p.first < 8 ? rectangleRed : ellipse).insert(p);
    }
    for (const auto &p : green) {
        if (p.first >= 8)
            ellipse.insert(p);
    }
    Points outline;
    for (const auto &p : rectangle) {
        if (!rectangleInside.count(p))
            outline.insert(p);
    }
    QCOMPARE(rectangleRed, outline);
    for (const auto &p : rectangleInside)
        QVERIFY(green.count(p));
    QCOMPARE(image.pixel(7, 3), White);
    QCOMPARE(image.pixel(3, 6), White);

    int left = 99, right = -1, top = 99, bottom = -1;
    for (const auto &[x, y] : ellipse) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    QCOMPARE(QRect(QPoint(left, top), QPoint(right, bottom)), QRect(10, 10, 7, 7));
    QVERIFY(is(image, 13, 13, Green));
    QVERIFY(is(image, 10, 13, Red) && is(image, 16, 13, Red));
    QVERIFY(is(image, 13, 10, Red) && is(image, 13, 16, Red));
    QCOMPARE(image.pixel(10, 10), White); // corners are not part of a circle
}

void TestPlotFrame::textOnOpaqueCell()
{
    const QFont font = FormBase::layoutFont(11, true);
    const QString text = QStringLiteral("1.0");
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(White);
    {
        QPainter painter(&image);
        painter.setFont(font);
        Canvas canvas(painter, 60, 40);
        canvas.setPenColor(Green);
        canvas.moveTo(0, 15);
        canvas.lineTo(60, 15); // runs under the text
        canvas.setBrushColor(Yellow);
        canvas.setFontColor(Red);
        canvas.textOut(10, 8, text);
    }
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    int glyphPixels = 0;
    for (int y = 8; y < 8 + height; ++y) {
        for (int x = 10; x < 10 + width; ++x) {
            QVERIFY2(!is(image, x, y, Green), "the cell hides what lies under it");
            QVERIFY(is(image, x, y, Yellow) || is(image, x, y, Red));
            glyphPixels += is(image, x, y, Red);
        }
    }
    QVERIFY(glyphPixels > 5);
    QVERIFY(is(image, 10, 8, Yellow)); // top-left corner of the cell
    QCOMPARE(image.pixel(9, 8), White);
    QCOMPARE(image.pixel(10, 7), White);
    QVERIFY(is(image, 9, 15, Green));
    QVERIFY(is(image, 10 + width, 15, Green));
}

void TestPlotFrame::chartGrid()
{
    const QImage image = drawnOnChart(
        [](PlotFrame &frame) { frame.drawGridLines(-9, 0, -10, 10, -10, 10, 1.5, 1.5, Green); });
    const QList<int> vertical {26, 65, 104, 143, 182, 221, 260, 299, 338, 377, 416, 455, 494};
    const QList<int> horizontal {25, 64, 103, 142, 181, 220, 259, 298, 337, 376, 415, 454, 493};
    QCOMPARE(columnsOf(image, 5, Green), vertical);
    QCOMPARE(columnsOf(image, 300, Green), vertical);
    QCOMPARE(rowsOf(image, 5, Green), horizontal);
    // Vertical lines run from the bottom (row 519, outside) up to row 0, which is their end.
    QCOMPARE(rowsOf(image, 26, Green), range(1, 518));
    QCOMPARE(columnsOf(image, 0, Green), QList<int>());
    QCOMPARE(columnsOf(image, 259, Green), range(0, 519));
}

void TestPlotFrame::gridSweepsByRepeatedAddition()
{
    // Ten pixels per world unit, steps of 0.1 from 0: 0.1 added seven times is 0.7999999999999999
    // (pixel 7 again, not 8) and ten times 0.9999999999999999 (pixel 9, not 10).
    const QImage image = drawn(12, 12, [](Canvas &canvas) {
        PlotFrame frame(0, 0, 12, 12, 0.6, 0.6, 1.2, 1.2, canvas);
        frame.drawGridLines(0, 0, 0, 1.0, 0, 1.2, 0.1, 10, Green);
    });
    QCOMPARE(columnsOf(image, 5, Green), (QList<int> {0, 1, 2, 3, 4, 5, 6, 7, 9}));
}

void TestPlotFrame::fineStepsReachTheBound_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("acrossRow"); // pixels along row `line`, or else down column `line`
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<int>>("expected");
    // Every column from the left edge to the right one, every row from the top to the bottom
    // (row 519 is where y = -10 lies, just outside).
    const QList<int> allColumns = range(0, 519);
    const QList<int> allRows = range(0, 518);
    const auto grid = [](double stepX, double stepY) {
        return Operation([stepX, stepY](PlotFrame &f) {
            f.drawGridLines(-9, -3, -10, 10, -10, 10, stepX, stepY, Green);
        });
    };
    QTest::newRow("x step 1e-4") << grid(1e-4, 1.5) << Green << true << 300 << allColumns;
    QTest::newRow("x step 1e-9") << grid(1e-9, 1.5) << Green << true << 300 << allColumns;
    // -9 + 1e-300 is -9 again: the sweep still passes its bound.
    QTest::newRow("x step lost in rounding")
        << grid(1e-300, 1.5) << Green << true << 300 << allColumns;
    QTest::newRow("y step 1e-4") << grid(1.5, 1e-4) << Green << false << 30 << allRows;
    QTest::newRow("ticks every 1e-4") << Operation([](PlotFrame &f) {
        f.drawAxes(-9, -3, -10, 10, -10, 10, 1e-4, 1.5, 5, Black);
    }) << Black << true << 335 << allColumns;
}

void TestPlotFrame::fineStepsReachTheBound()
{
    QFETCH(Operation, operation);
    QFETCH(QColor, colour);
    QFETCH(bool, acrossRow);
    QFETCH(int, line);
    QFETCH(QList<int>, expected);
    const QImage image = drawnOnChart(operation);
    QCOMPARE(acrossRow ? columnsOf(image, line, colour) : rowsOf(image, line, colour), expected);
}

void TestPlotFrame::axesAndTicks_data()
{
    QTest::addColumn<int>("tickLength");
    QTest::addColumn<int>("before"); // tick pixels on the near side of the axis
    QTest::addColumn<int>("after"); // and on the far side (the end pixel is not drawn)
    QTest::newRow("5") << 5 << 2 << 1;
    QTest::newRow("4") << 4 << 2 << 1;
    QTest::newRow("7") << 7 << 3 << 2;
    QTest::newRow("1: zero-length ticks") << 1 << 0 << 0;
}

void TestPlotFrame::axesAndTicks()
{
    QFETCH(int, tickLength);
    QFETCH(int, before);
    QFETCH(int, after);
    const QImage image = drawnOnChart([&](PlotFrame &frame) {
        frame.drawAxes(-9, -3, -10, 10, -10, 10, 1.5, 1.5, tickLength, Black);
    });
    QVERIFY(is(image, 26, 337, Black));
    QCOMPARE(columnsOf(image, 337, Black), range(0, 519));
    QCOMPARE(rowsOf(image, 26, Black), range(1, 518));

    // Ticks across the horizontal axis at every 1.5 units from x = -9.
    const QList<int> tickColumns {26, 65, 104, 143, 182, 221, 260, 299, 338, 377, 416, 455, 494};
    for (int row = 337 - before; row <= 337 + after; ++row) {
        if (row != 337)
            QCOMPARE(columnsOf(image, row, Black), tickColumns);
    }
    QCOMPARE(columnsOf(image, 337 - before - 1, Black), QList<int> {26});
    QCOMPARE(columnsOf(image, 337 + after + 1, Black), QList<int> {26});

    // Ticks across the vertical axis at every 1.5 units from y = -3.
    const QList<int> tickRows {25, 64, 103, 142, 181, 220, 259, 298, 337, 376, 415, 454, 493};
    for (int column = 26 - before; column <= 26 + after; ++column) {
        if (column != 26)
            QCOMPARE(rowsOf(image, column, Black), tickRows);
    }
    QVERIFY(!rowsOf(image, 26 - before - 1, Black).contains(25));
    QVERIFY(!rowsOf(image, 26 + after + 1, Black).contains(25));
}

void TestPlotFrame::markers_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("shape");
    QTest::addColumn<Points>("expected"); // relative to the marker's device point

    // A size-5 marker has h = 2 and the bounding box (X-2, Y-2)-(X+2, Y+2), whose right and
    // bottom edges lie outside: the shape covers X-2 ... X+1 by Y-2 ... Y+1.
    QTest::newRow("circle 5") << 5 << 0 << rows({{-2, -1, 0}, {-1, -2, 1}, {0, -2, 1}, {1, -1, 0}});
    QTest::newRow("square 5") << 5 << 1 << box(-2, -2, 1, 1);
    QTest::newRow("cross 5") << 5 << 2 << unite(box(-2, 0, 1, 0), box(0, -2, 0, 1));
    QTest::newRow("circle 4, same as 5")
        << 4 << 0 << rows({{-2, -1, 0}, {-1, -2, 1}, {0, -2, 1}, {1, -1, 0}});
    QTest::newRow("circle 1: empty box") << 1 << 0 << Points {};
    QTest::newRow("shape 3") << 5 << 3 << Points {};
    QTest::newRow("shape 7") << 5 << 7 << Points {};
    QTest::newRow("shape 255") << 5 << 255 << Points {};
}

void TestPlotFrame::markers()
{
    QFETCH(int, size);
    QFETCH(int, shape);
    QFETCH(Points, expected);
    const QImage image = drawnOnChart([&](PlotFrame &frame) {
        frame.drawMarker(-9, -3, size, std::uint8_t(shape), Red); // device (26, 337)
    });
    Points relative;
    for (const auto &[x, y] : pixelsOf(image, Red))
        relative.insert({x - 26, y - 337});
    QCOMPARE(relative, expected);
    QCOMPARE(int(pixelsOf(image, Red).size() + pixelsOf(image, 0xFFFFFF).size()),
        image.width() * image.height());
}

void TestPlotFrame::coloursRestored_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::newRow("grid") << Operation(
        [](PlotFrame &f) { f.drawGridLines(-9, 0, -10, 10, -10, 10, 1.5, 1.5, Green); });
    QTest::newRow("axes") << Operation(
        [](PlotFrame &f) { f.drawAxes(-9, -3, -10, 10, -10, 10, 1.5, 1.5, 5, Black); });
    QTest::newRow("label") << Operation([](PlotFrame &f) { f.drawLabel(1, 1, "log E"); });
    for (int shape : {0, 1, 2, 7}) {
        QTest::newRow(qPrintable(QStringLiteral("marker %1").arg(shape)))
            << Operation([shape](PlotFrame &f) { f.drawMarker(1, 1, 5, shape, Red); });
    }
}

void TestPlotFrame::coloursRestored()
{
    QFETCH(Operation, operation);
    drawn(520, 519, [&](Canvas &canvas) {
        PlotFrame frame(0, 0, 520, 519, 0, 0, 20, 20, canvas);
        canvas.setPenColor(QColor(0x56, 0x34, 0x12));
        canvas.setBrushColor(QColor(0x21, 0x43, 0x65));
        canvas.setFontColor(QColor(0xFF, 0, 0));
        operation(frame);
        QCOMPARE(canvas.penColor(), QColor(0x56, 0x34, 0x12));
        QCOMPARE(canvas.brushColor(), QColor(0x21, 0x43, 0x65));
        QCOMPARE(canvas.fontColor(), QColor(0xFF, 0, 0));
    });
}

void TestPlotFrame::degenerateFramesDrawNothing_data()
{
    QTest::addColumn<QRect>("device");
    QTest::addColumn<QSizeF>("world");
    QTest::addColumn<double>("stepX");
    QTest::addColumn<double>("stepY");
    // Green columns on row 300, where no horizontal line runs; the vertical axis is one.
    QTest::addColumn<int>("greenColumns");
    QTest::addColumn<bool>("anyGreen");

    QTest::newRow("zero device width")
        << QRect(0, 0, 0, 519) << QSizeF(20, 20) << 1.5 << 1.5 << 0 << false;
    QTest::newRow("zero device height")
        << QRect(0, 0, 520, 0) << QSizeF(20, 20) << 1.5 << 1.5 << 0 << false;
    QTest::newRow("zero world width")
        << QRect(0, 0, 520, 519) << QSizeF(0, 20) << 1.5 << 1.5 << 0 << false;
    QTest::newRow("zero world height")
        << QRect(0, 0, 520, 519) << QSizeF(20, 0) << 1.5 << 1.5 << 0 << false;
    QTest::newRow("zero x step") << QRect(0, 0, 520, 519) << QSizeF(20, 20) << 0.0 << 1.5 << 1
                                 << true;
    QTest::newRow("negative x step")
        << QRect(0, 0, 520, 519) << QSizeF(20, 20) << -1.5 << 1.5 << 1 << true;
    QTest::newRow("NaN x step") << QRect(0, 0, 520, 519) << QSizeF(20, 20) << qQNaN() << 1.5 << 1
                                << true;
    QTest::newRow("zero y step") << QRect(0, 0, 520, 519) << QSizeF(20, 20) << 1.5 << 0.0 << 13
                                 << true;
}

void TestPlotFrame::degenerateFramesDrawNothing()
{
    QFETCH(QRect, device);
    QFETCH(QSizeF, world);
    QFETCH(double, stepX);
    QFETCH(double, stepY);
    QFETCH(int, greenColumns);
    QFETCH(bool, anyGreen);
    QElapsedTimer timer;
    timer.start();
    const QImage image = drawn(520, 519, [&](Canvas &canvas) {
        PlotFrame frame(device.left(), device.top(), device.width(), device.height(), 0, 0,
            world.width(), world.height(), canvas);
        frame.drawGridLines(-9, 0, -10, 10, -10, 10, stepX, stepY, Green);
        frame.drawAxes(-9, -3, -10, 10, -10, 10, stepX, stepY, 5, Green);
        frame.drawMarker(0, 0, 5, 0, Green);
        frame.drawLabel(0, 0, QStringLiteral("0"));
    });
    QVERIFY2(timer.elapsed() < 5000, "a degenerate frame must not hang");
    QCOMPARE(columnsOf(image, 300, Green).size(), greenColumns);
    QCOMPARE(!pixelsOf(image, Green).empty(), anyGreen);
}

ZEMRA_TEST_MAIN(TestPlotFrame)

#include "tst_plotframe.moc"
