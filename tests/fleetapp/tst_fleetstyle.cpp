#include "FleetStyle.h"
#include "FleetWindow.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QSettings>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

// The standard icons the main window needs at once, drawn by the program: the window shows
// without any image-format plugin loaded, and the icons are drawn the right way round at every
// size and scale.
class TestFleetStyle : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    // First, while this process has read no image yet.
    void windowLoadsNoImagePlugin();
    void iconsDrawn_data();
    void iconsDrawn();
};

namespace {
// The most ink near `point` (a fraction of the box the icon draws in, which is the middle 60% of
// its square), within a pixel or so of it at this size.
int inkNear(const QImage &image, QPointF point)
{
    const qreal side = image.width();
    const QPointF at = QPointF(side, side) * 0.2 + point * side * 0.6;
    const int reach = qMax(1, int(side / 16));
    int most = 0;
    const QPoint pixel(qFloor(at.x()), qFloor(at.y()));
    for (int y = pixel.y() - reach; y <= pixel.y() + reach; ++y) {
        for (int x = pixel.x() - reach; x <= pixel.x() + reach; ++x) {
            if (image.rect().contains(x, y))
                most = qMax(most, qAlpha(image.pixel(x, y)));
        }
    }
    return most;
}
} // namespace

void TestFleetStyle::initTestCase()
{
    UseFleetStyle();
}

void TestFleetStyle::windowLoadsNoImagePlugin()
{
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    FleetWindow window(settings);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50); // the first paint, with the filter's clear button and the overflow buttons
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY2(!mapped.contains("/imageformats/"),
        "an image-format plugin was loaded to show the main window");
    // The clear button is there and has its icon.
    QVERIFY(!QApplication::style()->standardIcon(QStyle::SP_LineEditClearButton).isNull());
}

void TestFleetStyle::iconsDrawn_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    // Where a line must be drawn and where none may be, as fractions of the box.
    QTest::addColumn<QPointF>("inked");
    QTest::addColumn<QPointF>("blank");
    const QPointF centre(0.5, 0.5), topMiddle(0.5, 0.0), rightMiddle(1.0, 0.5), rightTop(1.0, 0.0),
        bottomMiddle(0.5, 1.0), bottomLeft(0.0, 1.0);
    QTest::newRow("clear") << int(QStyle::SP_LineEditClearButton) << Qt::LeftToRight << centre
                           << topMiddle;
    QTest::newRow("more, to the right") << int(QStyle::SP_ToolBarHorizontalExtensionButton)
                                        << Qt::LeftToRight << rightMiddle << rightTop;
    QTest::newRow("more, to the left") << int(QStyle::SP_ToolBarHorizontalExtensionButton)
                                       << Qt::RightToLeft << rightTop << rightMiddle;
    QTest::newRow("more, below") << int(QStyle::SP_ToolBarVerticalExtensionButton)
                                 << Qt::LeftToRight << bottomMiddle << bottomLeft;
}

void TestFleetStyle::iconsDrawn()
{
    QFETCH(int, icon);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(QPointF, inked);
    QFETCH(QPointF, blank);
    QStyleOption option;
    option.direction = direction;
    const QIcon drawn
        = QApplication::style()->standardIcon(QStyle::StandardPixmap(icon), &option, nullptr);
    QVERIFY(!drawn.isNull());
    for (const int side : {16, 24, 32}) {
        for (const qreal scale : {1.0, 2.0}) {
            const QPixmap pixmap = drawn.pixmap(QSize(side, side), scale);
            // Drawn at the pixels of the screen, not a small picture enlarged.
            QCOMPARE(pixmap.width(), qRound(side * scale));
            const QImage image = pixmap.toImage();
            const QString where = QStringLiteral("%1 px at %2x").arg(side).arg(scale);
            QVERIFY2(inkNear(image, inked) > 128, qPrintable(where));
            // At most the soft edge of a line nearby.
            QVERIFY2(inkNear(image, blank) < 64, qPrintable(where));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            // Greyed out when disabled.
            const QImage disabled
                = drawn.pixmap(QSize(side, side), scale, QIcon::Disabled).toImage();
            QVERIFY2(inkNear(disabled, inked) < inkNear(image, inked), qPrintable(where));
        }
    }
}

QTEST_MAIN(TestFleetStyle)
#include "tst_fleetstyle.moc"
