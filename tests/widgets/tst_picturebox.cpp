#include "PictureBox.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace {
struct JpegFrame
{
    bool jfif = false;
    QList<int> frameMarkers; // SOFn codes met before the first scan
    QSize size;
};

// Walks the marker segments up to the first scan, independently of the program's loader.
JpegFrame inspect(const QByteArray &bytes)
{
    JpegFrame frame;
    const auto byte = [&](qsizetype i) { return int(static_cast<unsigned char>(bytes.at(i))); };
    if (bytes.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return frame;
    qsizetype pos = 2;
    bool first = true;
    while (pos + 4 <= bytes.size() && byte(pos) == 0xFF) {
        const int code = byte(pos + 1);
        const int length = (byte(pos + 2) << 8) | byte(pos + 3);
        if (first && code == 0xE0 && bytes.mid(pos + 4, 5) == QByteArray("JFIF\0", 5))
            frame.jfif = true;
        first = false;
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            frame.frameMarkers << code;
            frame.size
                = QSize((byte(pos + 7) << 8) | byte(pos + 8), (byte(pos + 5) << 8) | byte(pos + 6));
        }
        if (code == 0xDA)
            break;
        pos += 2 + length;
    }
    return frame;
}

// Mean absolute difference per colour channel of two images of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                + std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}
} // namespace

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void jpegReaderAvailable();
    void committedPictures_data();
    void committedPictures();
    void damagedPictureLeavesEmptyBox_data();
    void damagedPictureLeavesEmptyBox();
    void everyTruncationIsRefused();
    void smallPictureKeepsItsOwnSize();
    void applicationIcon();
};

void TestPictures::jpegReaderAvailable()
{
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    if (!formats.contains("jpeg")) {
        QFAIL("Qt's JPEG image plugin (imageformats/libqjpeg.so, Debian package libqt6gui6) is "
              "missing: the pictures cannot be shown. Run scripts/install-deps.");
    }
}

void TestPictures::committedPictures_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QSize>("box");
    QTest::newRow("logo") << LogoPicture << QSize(409, 415) << QSize(65, 57);
    QTest::newRow("general view") << GeneralViewPicture << QSize(1281, 988) << QSize(500, 400);
    QTest::newRow("dimension") << DimensionPicture << QSize(699, 405) << QSize(650, 400);
    QTest::newRow("signal classification")
        << SignalClassificationPicture << QSize(1379, 883) << QSize(300, 200);
}

void TestPictures::committedPictures()
{
    QFETCH(QString, fileName);
    QFETCH(QSize, pictureSize);
    QFETCH(QSize, box);

    const QByteArray bytes = ReadAll(fileName);
    QVERIFY2(!bytes.isEmpty(), qPrintable(fileName + " is not embedded"));
    const JpegFrame frame = inspect(bytes);
    QVERIFY2(frame.jfif, "no JFIF APP0 segment right after SOI");
    QCOMPARE(frame.frameMarkers, QList<int>({0xC0})); // baseline DCT only
    QCOMPARE(frame.size, pictureSize);
    QVERIFY(IsCompleteJpeg(bytes));

    QWidget window;
    PictureBox image(&window);
    image.loadPicture(fileName, 7, 9, box);
    QCOMPARE(image.geometry(), QRect(QPoint(7, 9), box));
    QVERIFY(!image.isEmpty());
    // Decoded at the size it is shown, not whole.
    const qreal ratio = image.devicePixelRatioF();
    const QSize pixels(qRound(box.width() * ratio), qRound(box.height() * ratio));
    QCOMPARE(image.picture().size(), pixels);

    // What the control paints is the whole picture stretched over the whole box: compare with
    // a full-size decode shrunk to the box without keeping the aspect ratio.
    const QImage shown = image.grab().toImage();
    QCOMPARE(shown.size(), pixels);
    const QImage expected
        = QImage(fileName).scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double difference = meanDifference(shown, expected);
    QVERIFY2(difference < 8, qPrintable(QString::number(difference)));
}

void TestPictures::damagedPictureLeavesEmptyBox_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = ReadAll(GeneralViewPicture);
    QByteArray garbage(20000, Qt::Uninitialized);
    QRandomGenerator random(1234);
    for (char &c : garbage)
        c = char(random.bounded(256));
    QByteArray flipped = good;
    flipped[2] = 0x00; // first marker destroyed

    QTest::newRow("truncated to half") << good.left(good.size() / 2);
    QTest::newRow("end-of-image marker cut off") << good.left(good.size() - 2);
    QTest::newRow("header only") << good.left(600);
    QTest::newRow("garbage") << garbage;
    QTest::newRow("garbage after a JPEG start") << QByteArray("\xFF\xD8\xFF\xE0", 4) + garbage;
    QTest::newRow("broken marker") << flipped;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("PNG, not JPEG") << ReadAll(QStringLiteral(":/MAINICON.png"));
}

void TestPictures::damagedPictureLeavesEmptyBox()
{
    QFETCH(QByteArray, bytes);
    TempWorkDir dir;
    WriteFile(QStringLiteral("picture.jpg"), bytes);

    QWidget window;
    window.resize(640, 480);
    PictureBox image(&window);
    image.loadPicture(QStringLiteral("picture.jpg"), 40, 16, QSize(500, 400));
    QVERIFY(image.isEmpty());
    QCOMPARE(image.geometry(), QRect(40, 16, 500, 400));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The empty box paints nothing: the window's own ground shows through.
    const QImage shown = window.grab().toImage();
    const QColor ground = window.palette().color(window.backgroundRole());
    QCOMPARE(QColor(shown.pixel(290, 216)), ground);
}

void TestPictures::everyTruncationIsRefused()
{
    const QByteArray good = ReadAll(LogoPicture);
    QVERIFY(IsCompleteJpeg(good));
    for (qsizetype length = 0; length < good.size(); length += 97)
        QVERIFY2(!IsCompleteJpeg(good.left(length)), qPrintable(QString::number(length)));
    QVERIFY(DecodePicture(QStringLiteral("no such file.jpg"), QSize(10, 10)).isNull());
}

void TestPictures::smallPictureKeepsItsOwnSize()
{
    // A control sizes itself to its picture when that is smaller than its maximum.
    TempWorkDir dir;
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    QVERIFY(small.save(QStringLiteral("small.jpg"), "jpeg"));
    PictureBox image;
    image.loadPicture(QStringLiteral("small.jpg"), 0, 0, QSize(300, 200));
    QVERIFY(!image.isEmpty());
    QCOMPARE(image.size(), QSize(40, 30));
}

void TestPictures::applicationIcon()
{
    const QImage icon(QStringLiteral(":/MAINICON.png"));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.width(), icon.height());
    QVERIFY(!QApplication::windowIcon().isNull());
}

ZEMRA_TEST_MAIN(TestPictures)
#include "tst_picturebox.moc"
