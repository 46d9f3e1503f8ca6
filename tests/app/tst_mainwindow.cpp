#include "AboutBox.h"
#include "ChartWindow.h"
#include "DataCopyWindow.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SpectrumWindow.h"
#include "TechInfoWindow.h"
#include "TestSupport.h"
#include "TimersWindow.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {
// Runs the event loop as the program does until the program ends; false if it never ends.
bool runUntilQuit(const std::function<void()> &userAction)
{
    bool timedOut = false;
    QTimer::singleShot(0, userAction);
    QTimer::singleShot(10000, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    QCoreApplication::exec();
    return !timedOut;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowsAreMadeOnFirstUseAndKept();
    void layout_data();
    void layout();
    void frame();
    void centredOnFirstShowThenReopensWhereLeft();
    void centredOnOuterSize_data();
    void centredOnOuterSize();
    void escapeClosesNothing();
    void functionButtonsOpenTheirWindowsModally_data();
    void functionButtonsOpenTheirWindowsModally();
    void enterOpensDataCopyOnOpening();
    void aboutBoxIsNotModal();
    void closeDeletesWorkingFiles_data();
    void closeDeletesWorkingFiles();
    void frameCloseKeepsWorkingFiles_data();
    void frameCloseKeepsWorkingFiles();
    void errorBoxFullStopRule_data();
    void errorBoxFullStopRule();
    void applicationTitle_data();
    void applicationTitle();

private:
    TempWorkDir *m_dir = nullptr;
};

void TestMainWindow::init()
{
    m_dir = new TempWorkDir;
    DropWindows(); // made afresh, with safe ports, on first use
}

void TestMainWindow::cleanup()
{
    DropWindows();
    delete m_dir;
}

void TestMainWindow::windowsAreMadeOnFirstUseAndKept()
{
    // Start-up makes the main window alone.
    programWindows().mainWindow();
    QCOMPARE(programWindows().windows().size(), 1);
    const QList<QPair<FormBase *, QString>> windows = {
        {&programWindows().mainWindow(), "    ZEMRA  DEMO1"},
        {&programWindows().dataCopyWindow(), "     DATA COPY"},
        {&programWindows().spectrumWindow(), "    SPECTRUM"},
        {&programWindows().chartWindow(), "  GRAPHIC  SPECTRUM"},
        {&programWindows().recorderResetWindow(), "    RECORDER RESET"},
        {&programWindows().timersWindow(), "   TIMERS"},
        {&programWindows().aboutBox(), "About"},
        {&programWindows().techInfoWindow(), "   TECHNICAL INFORMATION"},
        {&programWindows().infoPage(InfoPage::Application), "   Application"},
        {&programWindows().infoPage(InfoPage::GeneralView), "   ZEMRA General View"},
        {&programWindows().infoPage(InfoPage::Dimension), "  ZEMRA Dimension"},
        {&programWindows().infoPage(InfoPage::SignalClassification), "  Signal Classification"},
        {&programWindows().infoPage(InfoPage::TechnicalData), " ZEMRA Basic Technical Data"},
        {&programWindows().infoPage(InfoPage::Contact), "   CONTACT"},
    };
    QSet<FormBase *> distinct;
    for (const auto &[window, caption] : windows) {
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), caption);
        QVERIFY2(!window->isVisible(), qPrintable(caption));
        distinct.insert(window);
    }
    QCOMPARE(distinct.size(), 14);
    QCOMPARE(programWindows().windows().size(), 14);
    // Asked for again, each is the window made first, not a new one.
    QCOMPARE(&programWindows().dataCopyWindow(), windows[1].first);
    QCOMPARE(&programWindows().infoPage(InfoPage::Contact), windows[13].first);
    QCOMPARE(programWindows().windows().size(), 14);
    // Creation handlers ran: the spectrum table has its level row.
    QCOMPARE(programWindows().spectrumWindow().cell(17, 0), QStringLiteral("4.0"));
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("dataCopyButton") << "dataCopyButton"
                                    << "&DataCopy" << QRect(8, 8, 65, 25);
    QTest::newRow("spectrumButton") << "spectrumButton"
                                    << "&Spectrum" << QRect(96, 8, 65, 25);
    QTest::newRow("counterResetButton") << "counterResetButton"
                                        << "Counter&Reset" << QRect(184, 8, 81, 25);
    QTest::newRow("timersButton") << "timersButton"
                                  << "&Timers" << QRect(288, 8, 65, 25);
    QTest::newRow("aboutButton") << "aboutButton"
                                 << "&About" << QRect(376, 8, 65, 25);
    QTest::newRow("contactButton") << "contactButton"
                                   << "C&ontact" << QRect(464, 8, 75, 25);
    QTest::newRow("closeButton") << "closeButton"
                                 << "&Close" << QRect(496, 304, 75, 25);
}

void TestMainWindow::layout()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QPushButton *button = Control<QPushButton>(&programWindows().mainWindow(), qPrintable(control));
    QCOMPARE(button->text(), text);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->parentWidget(),
        control == "closeButton"
            ? static_cast<QWidget *>(&programWindows().mainWindow())
            : Control<QFrame>(&programWindows().mainWindow(), "functionPanel"));
    QCOMPARE(Control<QFrame>(&programWindows().mainWindow(), "functionPanel")->geometry(),
        QRect(24, 8, 545, 41));
    QCOMPARE(
        Control<QLabel>(&programWindows().mainWindow(), "titleLabel")->pos(), QPoint(240, 112));
    QCOMPARE(Control<QLabel>(&programWindows().mainWindow(), "titleLabel")->font().pixelSize(), 32);
    QVERIFY(Control<QLabel>(&programWindows().mainWindow(), "titleLabel")->font().bold()
        && Control<QLabel>(&programWindows().mainWindow(), "titleLabel")->font().italic());
    QCOMPARE(Control<QLabel>(&programWindows().mainWindow(), "subtitleLabel")->text(),
        QStringLiteral("AUTONOMOUS FATIGUE LOADS RECORDER"));
    QCOMPARE(Control<QLabel>(&programWindows().mainWindow(), "versionLabel")->text(),
        QStringLiteral("V. DEMO"));
}

void TestMainWindow::frame()
{
    const Qt::WindowFlags flags = programWindows().mainWindow().windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(programWindows().mainWindow().outerSize(), QSize(601, 375));
    programWindows().mainWindow().show();
    QCOMPARE(programWindows().mainWindow().frameGeometry().size(), QSize(601, 375));
    // Resizing the frame moves no control.
    programWindows().mainWindow().resize(800, 500);
    QCOMPARE(Control<QPushButton>(&programWindows().mainWindow(), "closeButton")->geometry(),
        QRect(496, 304, 75, 25));
}

void TestMainWindow::centredOnFirstShowThenReopensWhereLeft()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    programWindows().timersWindow().show();
    QCOMPARE(programWindows().timersWindow().frameGeometry().topLeft(),
        QPoint((screen.width() - 424) / 2, (screen.height() - 277) / 2));
    programWindows().timersWindow().move(10, 20);
    programWindows().timersWindow().close();
    QVERIFY(!programWindows().timersWindow().isVisible());
    programWindows().timersWindow().show();
    QCOMPARE(programWindows().timersWindow().pos(), QPoint(10, 20));
}

void TestMainWindow::centredOnOuterSize_data()
{
    // Windows laid out by their client size as well as those given an outer size.
    QTest::addColumn<int>("index");
    QTest::newRow("graphic spectrum") << 0;
    QTest::newRow("About") << 1;
    QTest::newRow("technical information") << 2;
    QTest::newRow("main") << 3;
    QTest::newRow("spectrum") << 4;
}

void TestMainWindow::centredOnOuterSize()
{
    QFETCH(int, index);
    FormBase *window = QList<FormBase *> {&programWindows().chartWindow(),
        &programWindows().aboutBox(), &programWindows().techInfoWindow(),
        &programWindows().mainWindow(), &programWindows().spectrumWindow()}
                           .at(index);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = window->frameGeometry();
    QVERIFY(outer.size() != window->size()); // the frame is known
    QCOMPARE(outer.topLeft(),
        QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
}

void TestMainWindow::escapeClosesNothing()
{
    for (FormBase *window : {static_cast<FormBase *>(&programWindows().mainWindow()),
             static_cast<FormBase *>(&programWindows().spectrumWindow())}) {
        window->show();
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }
}

void TestMainWindow::functionButtonsOpenTheirWindowsModally_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("DataCopy") << 2;
    QTest::newRow("Spectrum") << 3;
    QTest::newRow("CounterReset") << 5;
    QTest::newRow("Timers") << 6;
    QTest::newRow("Contact") << 8;
}

void TestMainWindow::functionButtonsOpenTheirWindowsModally()
{
    QFETCH(int, button);
    const QMap<int, QPair<QPushButton *, QWidget *>> targets
        = {{2,
               {Control<QPushButton>(&programWindows().mainWindow(), "dataCopyButton"),
                   &programWindows().dataCopyWindow()}},
            {3,
                {Control<QPushButton>(&programWindows().mainWindow(), "spectrumButton"),
                    &programWindows().spectrumWindow()}},
            {5,
                {Control<QPushButton>(&programWindows().mainWindow(), "counterResetButton"),
                    &programWindows().recorderResetWindow()}},
            {6,
                {Control<QPushButton>(&programWindows().mainWindow(), "timersButton"),
                    &programWindows().timersWindow()}},
            {8,
                {Control<QPushButton>(&programWindows().mainWindow(), "contactButton"),
                    &programWindows().infoPage(InfoPage::Contact)}}};
    const auto [pushed, window] = targets.value(button);
    programWindows().mainWindow().show();
    bool shownModally = false;
    bool mainDisabled = false;
    OnModal(window, [&, window = window] {
        shownModally = window->isVisible() && window->isModal();
        mainDisabled = !programWindows().mainWindow().isEnabled()
            || QApplication::activeModalWidget() != &programWindows().mainWindow();
        window->close();
    });
    QTest::mouseClick(pushed, Qt::LeftButton);
    QVERIFY(shownModally);
    QVERIFY(mainDisabled);
    QVERIFY(!window->isVisible());
    QVERIFY(programWindows().mainWindow().isVisible());
}

void TestMainWindow::enterOpensDataCopyOnOpening()
{
    programWindows().mainWindow().show();
    QApplication::setActiveWindow(&programWindows().mainWindow());
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().mainWindow()));
    QCOMPARE(QApplication::focusWidget(),
        Control<QPushButton>(&programWindows().mainWindow(), "dataCopyButton"));
    bool opened = false;
    OnModal(&programWindows().dataCopyWindow(), [&] {
        opened = true;
        programWindows().dataCopyWindow().close();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(opened);
}

void TestMainWindow::aboutBoxIsNotModal()
{
    programWindows().mainWindow().show();
    QTest::mouseClick(
        Control<QPushButton>(&programWindows().mainWindow(), "aboutButton"), Qt::LeftButton);
    QVERIFY(programWindows().aboutBox().isVisible());
    QVERIFY(!programWindows().aboutBox().isModal());
    QVERIFY(!QApplication::activeModalWidget());
    const QPoint where = programWindows().aboutBox().pos();
    QTest::mouseClick(
        Control<QPushButton>(&programWindows().mainWindow(), "aboutButton"), Qt::LeftButton);
    QVERIFY(programWindows().aboutBox().isVisible());
    QCOMPARE(programWindows().aboutBox().pos(), where);

    // A function window opens modally beside it; the About box stays visible behind it.
    bool aboutStillVisible = false;
    OnModal(&programWindows().timersWindow(), [&] {
        aboutStillVisible = programWindows().aboutBox().isVisible();
        programWindows().timersWindow().close();
    });
    QTest::mouseClick(
        Control<QPushButton>(&programWindows().mainWindow(), "timersButton"), Qt::LeftButton);
    QVERIFY(aboutStillVisible);
}

void TestMainWindow::closeDeletesWorkingFiles_data()
{
    QTest::addColumn<bool>("bufor");
    QTest::addColumn<bool>("dane");
    QTest::addColumn<QString>("readOnly"); // the file its owner may not write, which stays
    QTest::addColumn<bool>("buforUndeletable");
    QTest::newRow("both") << true << true << QString() << false;
    QTest::newRow("only bufor.txt") << true << false << QString() << false;
    QTest::newRow("only dane.txt") << false << true << QString() << false;
    QTest::newRow("neither") << false << false << QString() << false;
    QTest::newRow("bufor.txt cannot be deleted") << false << true << QString() << true;
    QTest::newRow("bufor.txt read-only") << true << true << "bufor.txt" << false;
    QTest::newRow("dane.txt read-only") << true << true << "dane.txt" << false;
}

void TestMainWindow::closeDeletesWorkingFiles()
{
    QFETCH(bool, bufor);
    QFETCH(bool, dane);
    QFETCH(QString, readOnly);
    QFETCH(bool, buforUndeletable);
    if (bufor)
        WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    if (dane)
        WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes());
    if (!readOnly.isEmpty()) {
        QVERIFY(QFile::setPermissions(
            readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    }
    if (buforUndeletable) {
        // A non-empty directory of that name resists deletion even for root.
        QDir().mkpath(QStringLiteral("bufor.txt/inside"));
    }
    WriteFile(QStringLiteral("other.dat"), "kept");
    programWindows().mainWindow().show();

    QList<SeenMessageBox> boxes;
    const bool ended = runUntilQuit([&boxes] {
        boxes = CollectMessageBoxes([] {
            QTest::mouseClick(Control<QPushButton>(&programWindows().mainWindow(), "closeButton"),
                Qt::LeftButton);
        });
    });
    QVERIFY(ended);
    QVERIFY(boxes.isEmpty());
    QCOMPARE(QFileInfo::exists(QStringLiteral("dane.txt")), readOnly == "dane.txt");
    QCOMPARE(QFileInfo::exists(QStringLiteral("bufor.txt")),
        buforUndeletable || readOnly == "bufor.txt");
    if (!readOnly.isEmpty())
        QCOMPARE(ReadAll(readOnly), DemonstrationFileBytes());
    QVERIFY(QFile::exists(QStringLiteral("other.dat")));
}

void TestMainWindow::frameCloseKeepsWorkingFiles_data()
{
    QTest::addColumn<bool>("aboutVisible");
    QTest::newRow("main window alone") << false;
    QTest::newRow("About box visible") << true;
}

void TestMainWindow::frameCloseKeepsWorkingFiles()
{
    QFETCH(bool, aboutVisible);
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes());
    programWindows().mainWindow().show();
    if (aboutVisible)
        programWindows().aboutBox().show();
    QVERIFY(runUntilQuit([] { programWindows().mainWindow().close(); }));
    QVERIFY(QFile::exists(QStringLiteral("bufor.txt")));
    QVERIFY(QFile::exists(QStringLiteral("dane.txt")));
}

void TestMainWindow::errorBoxFullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "No default printer is installed"
                            << "No default printer is installed.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("digit sorts after") << "Error 5"
                                       << "Error 5.";
    QTest::newRow("exclamation sorts before") << "Stop!"
                                              << "Stop!";
    QTest::newRow("closing bracket sorts before") << "(none)"
                                                  << "(none)";
    QTest::newRow("colon sorts after") << "Reason:"
                                       << "Reason:.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMainWindow::errorBoxFullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void TestMainWindow::applicationTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("installed binary") << "/usr/bin/zemra"
                                      << "Zemra";
    QTest::newRow("upper case with extension") << "C:/Programs/ZEMRA.EXE"
                                               << "Zemra";
    QTest::newRow("mixed case") << "build/zEmRa1_1"
                                << "Zemra1_1";
}

void TestMainWindow::applicationTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(ApplicationTitleFor(path), title);
}

ZEMRA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
