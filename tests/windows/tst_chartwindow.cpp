#include "Canvas.h"
#include "ChartWindow.h"
#include "CounterRecord.h"
#include "MessageBox.h"
#include "Pixels.h"
#include "SpectrumChart.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <map>
#include <set>

namespace {
const QColor Red {255, 0, 0};
const QColor Black {0, 0, 0};

using Words = std::map<int, int>;

CounterRecord recordWith(const Words &words)
{
    CounterRecord record {};
    for (const auto &[index, value] : words)
        record[index] = std::uint16_t(value);
    return record;
}

void writeWorkingCopy(const Words &words)
{
    WriteFile(WorkingCopyName, RecordFileBytes(recordWith(words)));
}

Points minus(const Points &a, const Points &b)
{
    Points result;
    for (const auto &p : a) {
        if (!b.count(p))
            result.insert(p);
    }
    return result;
}

// The size-5 marker's pixels around its device point.
Points markerAt(int x, int y)
{
    Points points;
    const int spans[4][3] = {{-2, -1, 0}, {-1, -2, 1}, {0, -2, 1}, {1, -1, 0}};
    for (const auto &span : spans) {
        for (int dx = span[1]; dx <= span[2]; ++dx)
            points.insert({x + dx, y + span[0]});
    }
    return points;
}

// Colour near a point in a rasterised printout: some pixel within one of (x, y) close to it.
bool near(const QImage &image, int x, int y, QColor colour)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QColor c = image.pixelColor(x + dx, y + dy);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                    + std::abs(c.blue() - colour.blue())
                < 90)
                return true;
        }
    }
    return false;
}

bool anyDark(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() < 200)
                return true;
        }
    }
    return false;
}

int pdfPages(const QByteArray &pdf)
{
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
         at = pdf.indexOf("/Type /Page", at + 1)) {
        if (pdf.mid(at + 11, 1) != "s")
            ++pages;
    }
    return pages;
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &fileName, int resolution = 1200)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fileName);
    printer->setResolution(resolution);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return printer;
}
} // namespace

Q_DECLARE_METATYPE(Words)
Q_DECLARE_METATYPE(Points)

class TestGraphicSpectrum : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void closeComesFirstInTabOrder();
    void markersWithoutLines_data();
    void markersWithoutLines();
    void allZeroRecordShowsTheScaleOnly();
    void skippedLevelsGiveOneStraightLine();
    void pointsOffTheWindowAreClipped_data();
    void pointsOffTheWindowAreClipped();
    void everyPaintReadsTheWorkingCopy();
    void resizedWindowMapsTheSameWorld();

    void boxOncePerShowing_data();
    void boxOncePerShowing();

    void printsOnePageAtTopLeft_data();
    void printsOnePageAtTopLeft();
    void printWithoutWorkingCopyReportsOnce();
    void printButtonPrintsOnTheDefaultPrinter();

private:
    QImage paint(); // one FormPaint into an image of the client size
    QImage scaleOnly();
    QList<SeenMessageBox> showAndRepaint(int repaints);
    QList<SeenMessageBox> clickPrint();

    WindowFixture<ChartWindow> m_form;
};

void TestGraphicSpectrum::init()
{
    m_form.make();
}

void TestGraphicSpectrum::cleanup()
{
    m_form.reset();
}

QImage TestGraphicSpectrum::paint()
{
    QImage image(m_form->size(), QImage::Format_RGB32);
    image.fill(m_form->backgroundColour());
    QPainter painter(&image);
    m_form->paintChart(painter, image.width(), image.height());
    return image;
}

QImage TestGraphicSpectrum::scaleOnly()
{
    QFile::remove(WorkingCopyName);
    return paint();
}

QList<SeenMessageBox> TestGraphicSpectrum::showAndRepaint(int repaints)
{
    return CollectMessageBoxes([&] {
        OnModal(m_form, [&] {
            for (int i = 0; i < repaints; ++i) {
                m_form->repaint();
                QTest::qWait(20);
            }
            m_form->closeWindow();
        });
        m_form->showModal();
        QTest::qWait(30);
    });
}

QList<SeenMessageBox> TestGraphicSpectrum::clickPrint()
{
    m_form->show();
    if (!QTest::qWaitForWindowExposed(m_form))
        qWarning("the window was not exposed");
    const QList<SeenMessageBox> seen = CollectMessageBoxes([&] {
        QTest::mouseClick(Control<QPushButton>(m_form, "printButton"), Qt::LeftButton);
        QTest::qWait(30);
    });
    m_form->hide();
    return seen;
}

void TestGraphicSpectrum::closeComesFirstInTabOrder()
{
    // With two buttons the cycle is the same either way; what differs is where focus starts.
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(m_form, "closeButton"));
    QCOMPARE(Control<QPushButton>(m_form, "closeButton")->nextInFocusChain(),
        Control<QPushButton>(m_form, "printButton"));
    m_form->hide();
}

void TestGraphicSpectrum::markersWithoutLines_data()
{
    QTest::addColumn<Words>("words");
    QTest::addColumn<QList<QPoint>>("points");
    // T = 12.001 h; 60 crossings at n = 1.4: E 4.99958, log E 0.69893, world (2.0968, 1.2).
    QTest::newRow("worked point, positive level")
        << Words {{ActivePeriodsWord, 1}, {6, 60}} << QList<QPoint> {{314, 228}};
    // T = 0.501 h; 3 crossings at n = -1.0: E 5.98802, log E 0.77728, world (2.3319, -6.0).
    QTest::newRow("worked point, negative level")
        << Words {{ActiveSecondsWord, 1800}, {3, 3}} << QList<QPoint> {{320, 415}};
    // The last negative and the first positive level are in different series: not joined.
    QTest::newRow("one level in each series") << Words {{ActivePeriodsWord, 1}, {5, 60}, {6, 60}}
                                              << QList<QPoint> {{314, 384}, {314, 228}};
}

void TestGraphicSpectrum::markersWithoutLines()
{
    QFETCH(Words, words);
    QFETCH(QList<QPoint>, points);
    const QImage scale = scaleOnly();
    writeWorkingCopy(words);
    const QImage chart = paint();

    Points expected;
    for (const QPoint &p : points) {
        QVERIFY(is(chart, p.x(), p.y(), Red));
        const Points marker = markerAt(p.x(), p.y());
        expected.insert(marker.begin(), marker.end());
    }
    QCOMPARE(pixelsOf(chart, Red), expected);
    // No line: nothing black besides the axes, ticks and texts.
    QCOMPARE(minus(pixelsOf(chart, Black), pixelsOf(scale, Black)), Points {});
}

void TestGraphicSpectrum::allZeroRecordShowsTheScaleOnly()
{
    const QImage scale = scaleOnly();
    writeWorkingCopy({{ActiveSecondsWord, 600}, {ActivePeriodsWord, 21}});
    const QImage chart = paint();
    QCOMPARE(chart, scale);
    QVERIFY(pixelsOf(chart, Red).empty());
    // The scale itself is there: green grid, black axes crossing at (26, 337), texts.
    QVERIFY(is(chart, 65, 5, Qt::green));
    QVERIFY(is(chart, 26, 337, Black));
    int logE = 0; // black glyph pixels of "log E", written at device (468, 311)
    for (const auto &[x, y] : pixelsOf(chart, Black))
        logE += x >= 468 && x < 500 && y >= 311 && y < 325;
    QVERIFY(logE > 10);
}

void TestGraphicSpectrum::skippedLevelsGiveOneStraightLine()
{
    // Only n = 1.4 (device (314, 228)) and n = 4.0 (device (236, 25)) were crossed.
    const QImage scale = scaleOnly();
    writeWorkingCopy({{ActivePeriodsWord, 1}, {6, 60}, {17, 6}});
    const QImage chart = paint();
    const QPoint from(314, 228), to(236, 25);

    for (const auto &[x, y] : pixelsOf(chart, Red)) {
        const bool atFrom = std::abs(x - from.x()) <= 2 && std::abs(y - from.y()) <= 2;
        const bool atTo = std::abs(x - to.x()) <= 2 && std::abs(y - to.y()) <= 2;
        QVERIFY2(atFrom || atTo, "only the two crossed levels have markers");
    }
    const Points line = minus(pixelsOf(chart, Black), pixelsOf(scale, Black));
    QVERIFY(line.size() > 150);
    for (const auto &[x, y] : line) {
        const double ideal
            = from.x() + double(y - from.y()) * (to.x() - from.x()) / (to.y() - from.y());
        QVERIFY2(std::abs(x - ideal) <= 1 && y > to.y() - 1 && y <= from.y(),
            qPrintable(QStringLiteral("(%1, %2) is off the straight line").arg(x).arg(y)));
    }
    // Every row between the points is crossed by the line (or by black already there); the
    // end point's own pixel is not drawn.
    for (int y = to.y() + 1; y <= from.y(); ++y) {
        const int ideal = int(std::lround(
            from.x() + double(y - from.y()) * (to.x() - from.x()) / (to.y() - from.y())));
        QVERIFY(is(chart, ideal - 1, y, Black) || is(chart, ideal, y, Black)
            || is(chart, ideal + 1, y, Black));
    }
}

void TestGraphicSpectrum::pointsOffTheWindowAreClipped_data()
{
    QTest::addColumn<Words>("words");
    QTest::addColumn<QPoint>("visiblePoint");
    QTest::addColumn<int>("edgeColumn"); // where the line enters the client area
    // T = 0.001 h: 65535 crossings give log E 7.8, far right; one crossing gives log E 3.
    QTest::newRow("off the right")
        << Words {{6, 0xFFFF}, {7, 1}, {8, 0xFFFF}} << QPoint(493, 212) << 519;
    // T = 786438 h: one crossing gives log E -5.9, far left.
    QTest::newRow("off the left") << Words {{ActiveSecondsWord, 0xFFFF},
        {ActivePeriodsWord, 0xFFFF}, {1, 1}, {3, 0xFFFF}}
                                  << QPoint(175, 415) << 0;
}

void TestGraphicSpectrum::pointsOffTheWindowAreClipped()
{
    QFETCH(Words, words);
    QFETCH(QPoint, visiblePoint);
    QFETCH(int, edgeColumn);
    const QImage scale = scaleOnly();
    writeWorkingCopy(words);
    const QImage chart = paint();
    QCOMPARE(chart.size(), QSize(520, 519));
    // The one visible marker, partly under the lines that end at it.
    const Points red = pixelsOf(chart, Red);
    QVERIFY(red.size() >= 6);
    QCOMPARE(minus(red, markerAt(visiblePoint.x(), visiblePoint.y())), Points {});
    bool lineAtEdge = false;
    for (const auto &[x, y] : minus(pixelsOf(chart, Black), pixelsOf(scale, Black)))
        lineAtEdge = lineAtEdge || x == edgeColumn;
    QVERIFY2(lineAtEdge, "the line to the outside point runs to the edge of the window");
}

void TestGraphicSpectrum::everyPaintReadsTheWorkingCopy()
{
    writeWorkingCopy({{ActivePeriodsWord, 1}, {6, 60}});
    QCOMPARE(pixelsOf(paint(), Red), markerAt(314, 228));
    writeWorkingCopy({{ActiveSecondsWord, 1800}, {3, 3}});
    QCOMPARE(pixelsOf(paint(), Red), markerAt(320, 415));
    QFile::remove(WorkingCopyName);
    QVERIFY(pixelsOf(paint(), Red).empty());
}

void TestGraphicSpectrum::resizedWindowMapsTheSameWorld()
{
    WriteFile(WorkingCopyName, DemonstrationFileBytes());
    m_form->resize(1040, 1038);
    QImage image(m_form->size(), QImage::Format_RGB32);
    m_form->render(&image);
    // Twice the scale: the axes cross at (52, 674), the next grid line right is at 130.
    QVERIFY(is(image, 52, 674, Black));
    QVERIFY(is(image, 300, 674, Black));
    QVERIFY(is(image, 130, 600, Qt::green));
    QVERIFY(is(image, 1038, 600, Qt::green) == false);
    QVERIFY(pixelsOf(image, Red).size() > 18 * 6);
    m_form->resize(520, 519);
}

void TestGraphicSpectrum::boxOncePerShowing_data()
{
    QTest::addColumn<QByteArray>("workingCopy"); // empty: no file
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("Please open file first")
                             << QString();
    QTest::newRow("malformed") << QByteArrayLiteral("0001\r\nzz\r\n") << QString()
                               << MistakeCaption;
    QTest::newRow("all zero: no box")
        << RecordFileBytes(CounterRecord {}) << QString() << QString();
}

void TestGraphicSpectrum::boxOncePerShowing()
{
    QFETCH(QByteArray, workingCopy);
    QFETCH(QString, text);
    QFETCH(QString, title);
    if (!workingCopy.isEmpty())
        WriteFile(WorkingCopyName, workingCopy);
    const ReadResult read = ReadCounterRecord(WorkingCopyName);
    if (read.failure() == Result::Invalid)
        text = read.message();
    const int expected = read.ok() ? 0 : 1;

    for (int showing = 0; showing < 2; ++showing) {
        const QList<SeenMessageBox> seen = showAndRepaint(4);
        QCOMPARE(seen.size(), expected);
        if (expected) {
            QCOMPARE(seen[0].text, text);
            QCOMPARE(seen[0].title, title);
            QCOMPARE(seen[0].icon, QMessageBox::NoIcon);
            QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QVERIFY(!m_form->isVisible());
    }
}

void TestGraphicSpectrum::printsOnePageAtTopLeft_data()
{
    QTest::addColumn<int>("resolution");
    QTest::newRow("300 dpi") << 300;
    QTest::newRow("1200 dpi") << 1200;
}

void TestGraphicSpectrum::printsOnePageAtTopLeft()
{
    QFETCH(int, resolution);
    writeWorkingCopy({{ActivePeriodsWord, 1}, {6, 60}, {3, 9}});
    const QString pdf = m_form.dir().filePath(QStringLiteral("chart.pdf"));
    const std::unique_ptr<QPrinter> printer = pdfPrinter(pdf, resolution);
    const QList<SeenMessageBox> seen = CollectMessageBoxes([&] {
        QVERIFY(m_form->printTo(*printer).ok());
        QTest::qWait(20);
    });
    QCOMPARE(seen.size(), 0);
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(pdfPages(ReadAll(pdf)), 1);

    // Rasterised at the window's 96 pixels per inch, the page shows the window pixel for pixel.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm is not installed: the printout's picture is not checked");
    const QString base = m_form.dir().filePath(QStringLiteral("page"));
    QCOMPARE(QProcess::execute(pdftoppm, {"-r", "96", "-png", "-singlefile", pdf, base}), 0);
    const QImage page(base + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    QVERIFY(page.width() > 700 && page.height() > 1000); // A4 portrait
    const QColor green(0, 255, 0), red(255, 0, 0), black(0, 0, 0);
    QVERIFY(near(page, 65, 5, green));
    QVERIFY(near(page, 26, 5, black));
    QVERIFY(near(page, 494, 5, green));
    QVERIFY(near(page, 26, 337, black));
    QVERIFY(near(page, 314, 228, red));
    QVERIFY(near(page, 250, 415, red));
    QVERIFY(!near(page, 540, 5, green)); // nothing beyond the window's width
    QVERIFY(!near(page, 65, 540, green)); // nor below its height
    // The buttons are printed too: the captions' dark glyphs lie inside "&Print" and "&Close".
    QVERIFY(anyDark(page, QRect(320, 468, 60, 17)));
    QVERIFY(anyDark(page, QRect(416, 468, 60, 17)));
    QVERIFY(!anyDark(page, QRect(320, 440, 60, 17)));
}

void TestGraphicSpectrum::printWithoutWorkingCopyReportsOnce()
{
    const QString pdf = m_form.dir().filePath(QStringLiteral("empty.pdf"));
    const std::unique_ptr<QPrinter> printer = pdfPrinter(pdf);
    const QList<SeenMessageBox> seen = CollectMessageBoxes([&] {
        m_form->printTo(*printer);
        QTest::qWait(30);
    });
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].text, QStringLiteral("Please open file first"));
    QCOMPARE(seen[0].title, QString());
    QCOMPARE(pdfPages(ReadAll(pdf)), 1);
}

void TestGraphicSpectrum::printButtonPrintsOnTheDefaultPrinter()
{
    WriteFile(WorkingCopyName, DemonstrationFileBytes());
    const QString pdf = m_form.dir().filePath(QStringLiteral("button.pdf"));
    int asked = 0;
    m_form->setPrinterSource([&] {
        ++asked;
        return pdfPrinter(pdf);
    });
    const QList<SeenMessageBox> seen = clickPrint();
    QCOMPARE(seen.size(), 0);
    QCOMPARE(asked, 1);
    QCOMPARE(pdfPages(ReadAll(pdf)), 1);
}

ZEMRA_TEST_MAIN(TestGraphicSpectrum)

#include "tst_chartwindow.moc"
