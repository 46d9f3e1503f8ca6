#include "TestSupport.h"
#include "app/Forms.h"
#include "app/ZemraApplication.h"
#include "app/uZemra1_1.h"
#include "pages/uAbout1_1.h"
#include "pages/uApplication.h"
#include "pages/uDimension.h"
#include "pages/uGeneralView.h"
#include "pages/uSignalClas.h"
#include "pages/uTechData.h"
#include "pages/uTechInf.h"
#include "plot/uGraphicSpectrum1_1.h"
#include "record/uDataCopy1_1.h"
#include "record/uRecorderReset1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A pseudo-terminal standing in for a serial port: the program opens the slave by its path,
// the test reads what arrives at the master.
struct PseudoTerminal
{
    int master = -1;
    QString slavePath;

    PseudoTerminal()
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            slavePath = QString::fromLocal8Bit(name);
            // Keep the master raw so the byte arrives as it was sent.
            termios settings {};
            tcgetattr(master, &settings);
            cfmakeraw(&settings);
            tcsetattr(master, TCSANOW, &settings);
            ::close(slave);
            fcntl(master, F_SETFL, O_NONBLOCK);
        }
    }
    ~PseudoTerminal() { ::close(master); }

    QByteArray received() const
    {
        QByteArray bytes;
        char buffer[64];
        for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, got);
        return bytes;
    }
};

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
};

void TestScenario::typicalUse()
{
    TempWorkDir dir;
    PseudoTerminal com1;
    QVERIFY(!com1.slavePath.isEmpty());
    StartupOptions options;
    options.ports = {{QStringLiteral("COM1"), com1.slavePath},
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
            OnModal(Form2, [&] {
                QTest::mouseClick(Form2->Edit2, Qt::LeftButton);
                QTest::keyClicks(Form2->Edit2, QStringLiteral("flight.dat"));
                QTest::mouseClick(Form2->Button5, Qt::LeftButton);
                QTest::mouseClick(Form2->Button3, Qt::LeftButton);
                if (ReadAll(QStringLiteral("flight.dat")) == DemonstrationFileBytes()
                    && Form2->Edit3->text().endsWith(QLatin1String("|0315|0029"))
                    && Form2->Edit4->text() == QLatin1String("2002-10-30 08:37:38"))
                    steps << QStringLiteral("data copy");
                QTest::mouseClick(Form2->Button1, Qt::LeftButton);
            });
            QTest::mouseClick(Form1->Button2, Qt::LeftButton);

            // 2 and 3. Spectrum of that file, then its chart.
            OnModal(Form3, [&] {
                Form3->setFileChooser([](QWidget *) { return QStringLiteral("flight.dat"); });
                QTest::mouseClick(Form3->Button3, Qt::LeftButton);
                QTest::mouseClick(Form3->Button2, Qt::LeftButton);
                if (Form3->Edit1->text() == QLatin1String("252.16667175293")
                    && Form3->Cells(0, 2) == QLatin1String("0.00396561529487371")
                    && Form3->Cells(6, 3) == QLatin1String("1.00194573402405"))
                    steps << QStringLiteral("spectrum");
                OnModal(Form4, [&] {
                    const QImage chart = Form4->grab().toImage();
                    if (chart.size() == QSize(520, 519) && redPixels(chart, true) > 0
                        && redPixels(chart, false) > 0)
                        steps << QStringLiteral("chart");
                    QTest::mouseClick(Form4->Button1, Qt::LeftButton);
                });
                QTest::mouseClick(Form3->Button4, Qt::LeftButton);
                QTest::mouseClick(Form3->Button1, Qt::LeftButton);
            });
            QTest::mouseClick(Form1->Button3, Qt::LeftButton);

            // 4. Timers.
            OnModal(Form6, [&] {
                QTest::mouseClick(Form6->Button2, Qt::LeftButton);
                if (Form6->Edit1->text() == QLatin1String("252.166666666667")
                    && Form6->Edit2->text() == QLatin1String("344"))
                    steps << QStringLiteral("timers");
                QTest::mouseClick(Form6->Button1, Qt::LeftButton);
            });
            QTest::mouseClick(Form1->Button6, Qt::LeftButton);

            // About, the technical information and each of its pages.
            QTest::mouseClick(Form1->Button7, Qt::LeftButton);
            if (AboutBox->isVisible() && !AboutBox->isModal())
                steps << QStringLiteral("about");
            OnModal(Form8, [&] {
                const QList<QPair<QAction *, TFormBase *>> pages = {{Form8->Overview, Form9},
                    {Form8->SignalClassification1, Form12}, {Form8->GeneralView1, Form10},
                    {Form8->Dimension1, Form11}, {Form8->TechnicalData1, Form13}};
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
                QTest::mouseClick(Form8->Button1, Qt::LeftButton);
            });
            QTest::mouseClick(AboutBox->Button2, Qt::LeftButton);
            QTest::mouseClick(AboutBox->Button1, Qt::LeftButton);

            // Counter reset on the first port.
            OnModal(Form5, [&] {
                QTest::mouseClick(Form5->Button2, Qt::LeftButton);
                if (com1.received() == QByteArray("5"))
                    steps << QStringLiteral("reset");
                QTest::mouseClick(Form5->Button1, Qt::LeftButton);
            });
            QTest::mouseClick(Form1->Button5, Qt::LeftButton);

            // 5. Close.
            QTest::mouseClick(Form1->Button1, Qt::LeftButton);
        });
    });

    ZemraApplication *app = qobject_cast<ZemraApplication *>(QCoreApplication::instance());
    QCOMPARE(RunApplication(*app, options), 0);
    QVERIFY(!timedOut);
    QVERIFY2(boxes.isEmpty(), boxes.isEmpty() ? "" : qPrintable(boxes[0].text));
    QCOMPARE(steps,
        QStringList({"data copy", "spectrum", "chart", "timers", "about", "pages", "reset"}));
    QVERIFY(!Form1); // the windows are destroyed when the program ends
    QVERIFY(!QFile::exists(QStringLiteral("bufor.txt")));
    QVERIFY(!QFile::exists(QStringLiteral("dane.txt")));
    QCOMPARE(ReadAll(QStringLiteral("flight.dat")), DemonstrationFileBytes());
}

ZEMRA_TEST_MAIN(TestScenario)
#include "tst_scenario.moc"
