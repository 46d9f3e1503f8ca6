#include "AboutBox.h"
#include "BevelPanel.h"
#include "ChartWindow.h"
#include "DataCopyWindow.h"
#include "MainWindow.h"
#include "PseudoTerminal.h"
#include "RecorderResetWindow.h"
#include "SpectrumWindow.h"
#include "TechInfoWindow.h"
#include "TestSupport.h"
#include "TimersWindow.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
int redPixels(const QImage &image, bool aboveAxis)
{
    int count = 0;
    // The horizontal axis (n = 0) lies at device y 337 in a 520 x 519 client area.
    for (int y = aboveAxis ? 0 : 338; y < (aboveAxis ? 337 : image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == QColor(255, 0, 0);
    }
    return count;
}
} // namespace

// The typical use, end to end, through the real windows started as main() starts them.
class TestScenario : public QObject
{
    Q_OBJECT
private slots:
    void typicalUse();
    void portsAsTheUserMappedThem();
};

void TestScenario::typicalUse()
{
    TempWorkDir dir;
    PseudoTerminal com1;
    StartupOptions options;
    options.ports.devices = {{QStringLiteral("COM1"), com1.path()},
        {QStringLiteral("COM2"), dir.filePath(QStringLiteral("no-such-port"))}};

    QStringList steps;
    QList<SeenMessageBox> boxes;
    bool timedOut = false;
    QTimer::singleShot(120000, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    QTimer::singleShot(0, [&] {
        boxes = CollectMessageBoxes([&] {
            // 1. Data copy to a file typed by name.
            OnModal(&programWindows().dataCopyWindow(), [&] {
                QTest::mouseClick(
                    Control<QLineEdit>(&programWindows().dataCopyWindow(), "fileNameEdit"),
                    Qt::LeftButton);
                QTest::keyClicks(
                    Control<QLineEdit>(&programWindows().dataCopyWindow(), "fileNameEdit"),
                    QStringLiteral("flight.dat"));
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().dataCopyWindow(), "fileOpenButton"),
                    Qt::LeftButton);
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().dataCopyWindow(), "dataCopyButton"),
                    Qt::LeftButton);
                if (ReadAll(QStringLiteral("flight.dat")) == DemonstrationFileBytes()
                    && Control<QLineEdit>(&programWindows().dataCopyWindow(), "recordEdit")
                           ->text()
                           .endsWith(QLatin1String("|0315|0029"))
                    && Control<QLineEdit>(&programWindows().dataCopyWindow(), "dateEdit")->text()
                        == QLatin1String("2002-10-30 08:37:38"))
                    steps << QStringLiteral("data copy");
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().dataCopyWindow(), "closeButton"),
                    Qt::LeftButton);
            });
            QTest::mouseClick(
                Control<QPushButton>(&programWindows().mainWindow(), "dataCopyButton"),
                Qt::LeftButton);

            // 2 and 3. Spectrum of that file, then its chart.
            OnModal(&programWindows().spectrumWindow(), [&] {
                programWindows().spectrumWindow().setFileChooser(
                    [](QWidget *) { return QStringLiteral("flight.dat"); });
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().spectrumWindow(), "openFileButton"),
                    Qt::LeftButton);
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().spectrumWindow(), "spectrumButton"),
                    Qt::LeftButton);
                if (Control<QLineEdit>(&programWindows().spectrumWindow(), "workTimeEdit")->text()
                        == QLatin1String("252.16667175293")
                    && programWindows().spectrumWindow().cell(0, 2)
                        == QLatin1String("0.00396561529487371")
                    && programWindows().spectrumWindow().cell(6, 3)
                        == QLatin1String("1.00194573402405"))
                    steps << QStringLiteral("spectrum");
                OnModal(&programWindows().chartWindow(), [&] {
                    const QImage chart = programWindows().chartWindow().grab().toImage();
                    if (chart.size() == QSize(520, 519) && redPixels(chart, true) > 0
                        && redPixels(chart, false) > 0)
                        steps << QStringLiteral("chart");
                    QTest::mouseClick(
                        Control<QPushButton>(&programWindows().chartWindow(), "closeButton"),
                        Qt::LeftButton);
                });
                QTest::mouseClick(Control<QPushButton>(
                                      &programWindows().spectrumWindow(), "graphicSpectrumButton"),
                    Qt::LeftButton);
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().spectrumWindow(), "closeButton"),
                    Qt::LeftButton);
            });
            QTest::mouseClick(
                Control<QPushButton>(&programWindows().mainWindow(), "spectrumButton"),
                Qt::LeftButton);

            // 4. Timers.
            OnModal(&programWindows().timersWindow(), [&] {
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().timersWindow(), "timeButton"),
                    Qt::LeftButton);
                if (Control<QLineEdit>(&programWindows().timersWindow(), "workTimeEdit")->text()
                        == QLatin1String("252.166666666667")
                    && Control<QLineEdit>(&programWindows().timersWindow(), "daysLeftEdit")->text()
                        == QLatin1String("344"))
                    steps << QStringLiteral("timers");
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().timersWindow(), "closeButton"),
                    Qt::LeftButton);
            });
            QTest::mouseClick(Control<QPushButton>(&programWindows().mainWindow(), "timersButton"),
                Qt::LeftButton);

            // About, the technical information and each of its pages.
            QTest::mouseClick(Control<QPushButton>(&programWindows().mainWindow(), "aboutButton"),
                Qt::LeftButton);
            if (programWindows().aboutBox().isVisible() && !programWindows().aboutBox().isModal())
                steps << QStringLiteral("about");
            OnModal(&programWindows().techInfoWindow(), [&] {
                const QList<QPair<QAction *, FormBase *>> pages
                    = {{Control<QAction>(&programWindows().techInfoWindow(), "applicationItem"),
                           &programWindows().infoPage(InfoPage::Application)},
                        {Control<QAction>(
                             &programWindows().techInfoWindow(), "signalClassificationItem"),
                            &programWindows().infoPage(InfoPage::SignalClassification)},
                        {Control<QAction>(&programWindows().techInfoWindow(), "generalViewItem"),
                            &programWindows().infoPage(InfoPage::GeneralView)},
                        {Control<QAction>(&programWindows().techInfoWindow(), "dimensionItem"),
                            &programWindows().infoPage(InfoPage::Dimension)},
                        {Control<QAction>(&programWindows().techInfoWindow(), "technicalDataItem"),
                            &programWindows().infoPage(InfoPage::TechnicalData)}};
                int opened = 0;
                for (const auto &[item, page] : pages) {
                    OnModal(page, [&opened, page = page] {
                        ++opened;
                        page->close();
                    });
                    item->trigger();
                }
                if (opened == 5)
                    steps << QStringLiteral("pages");
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton"),
                    Qt::LeftButton);
            });
            QTest::mouseClick(Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton"),
                Qt::LeftButton);
            QTest::mouseClick(
                Control<QPushButton>(&programWindows().aboutBox(), "closeButton"), Qt::LeftButton);

            // Counter reset on the first port.
            OnModal(&programWindows().recorderResetWindow(), [&] {
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().recorderResetWindow(), "yesButton"),
                    Qt::LeftButton);
                if (com1.received() == QByteArray("5"))
                    steps << QStringLiteral("reset");
                QTest::mouseClick(
                    Control<QPushButton>(&programWindows().recorderResetWindow(), "closeButton"),
                    Qt::LeftButton);
            });
            QTest::mouseClick(
                Control<QPushButton>(&programWindows().mainWindow(), "counterResetButton"),
                Qt::LeftButton);

            // 5. Close.
            QTest::mouseClick(Control<QPushButton>(&programWindows().mainWindow(), "closeButton"),
                Qt::LeftButton);
        });
    });

    ZemraApplication *app = qobject_cast<ZemraApplication *>(QCoreApplication::instance());
    MakeWindows(options);
    QCOMPARE(RunApplication(*app, programWindows()), 0);
    // Every window the run opened was made once, on first use; the contact page never was.
    const int made = int(programWindows().windows().size());
    DropWindows();
    QVERIFY(!timedOut);
    QVERIFY2(boxes.isEmpty(), boxes.isEmpty() ? "" : qPrintable(boxes[0].text));
    QCOMPARE(steps,
        QStringList({"data copy", "spectrum", "chart", "timers", "about", "pages", "reset"}));
    QCOMPARE(made, 13);
    QVERIFY(!QFile::exists(QStringLiteral("bufor.txt")));
    QVERIFY(!QFile::exists(QStringLiteral("dane.txt")));
    QCOMPARE(ReadAll(QStringLiteral("flight.dat")), DemonstrationFileBytes());
}

// The program's windows, made as main() makes them, take COM1 and COM2 from the user's mapping.
void TestScenario::portsAsTheUserMappedThem()
{
    TempWorkDir dir;
    PseudoTerminal com1;
    qputenv("ZEMRA_COM1", com1.path().toUtf8());
    WindowOwner windows;
    KeepOffRealPorts();
    RecorderResetWindow &reset = windows.recorderResetWindow();
    QStringList asked;
    reset.setPortFactory([&](const QString &device) {
        asked << device;
        // Only the test's own terminal is ever opened.
        return DeviceSerialPort::create(
            device == com1.path() ? device : dir.filePath(QStringLiteral("no-port")));
    });
    const QList<SeenMessageBox> boxes = CollectMessageBoxes([&] { reset.sendReset(); });
    QVERIFY(boxes.isEmpty());
    QCOMPARE(asked, QStringList {com1.path()});
    QCOMPARE(com1.received(), QByteArray("5"));
}

ZEMRA_TEST_MAIN(TestScenario)
#include "tst_scenario.moc"
