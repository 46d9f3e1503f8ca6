#include "TestSupport.h"
#include "app/Forms.h"
#include "app/MessageBox.h"
#include "app/ZemraApplication.h"
#include "app/uZemra1_1.h"
#include "pages/uAbout1_1.h"
#include "pages/uApplication.h"
#include "pages/uContact.h"
#include "pages/uDimension.h"
#include "pages/uGeneralView.h"
#include "pages/uSignalClas.h"
#include "pages/uTechData.h"
#include "pages/uTechInf.h"
#include "plot/uGraphicSpectrum1_1.h"
#include "record/uDataCopy1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"

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

    void createsFourteenHiddenWindows();
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
    CreateForms();
}

void TestMainWindow::cleanup()
{
    DestroyForms();
    delete m_dir;
}

void TestMainWindow::createsFourteenHiddenWindows()
{
    const QList<QPair<TFormBase *, QString>> windows = {
        {Form1, "    ZEMRA  DEMO1"},
        {Form2, "     DATA COPY"},
        {Form3, "    SPECTRUM"},
        {Form4, "  GRAPHIC  SPECTRUM"},
        {Form5, "    RECORDER RESET"},
        {Form6, "   TIMERS"},
        {AboutBox, "About"},
        {Form8, "   TECHNICAL INFORMATION"},
        {Form9, "   Application"},
        {Form10, "   ZEMRA General View"},
        {Form11, "  ZEMRA Dimension"},
        {Form12, "  Signal Classification"},
        {Form13, " ZEMRA Basic Technical Data"},
        {Form7, "   CONTACT"},
    };
    QSet<TFormBase *> distinct;
    for (const auto &[window, caption] : windows) {
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), caption);
        QVERIFY2(!window->isVisible(), qPrintable(caption));
        distinct.insert(window);
    }
    QCOMPARE(distinct.size(), 14);
    // Creation handlers ran: the spectrum table has its level row.
    QCOMPARE(Form3->Cells(17, 0), QStringLiteral("4.0"));
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Button2") << "Button2"
                             << "&DataCopy" << QRect(8, 8, 65, 25);
    QTest::newRow("Button3") << "Button3"
                             << "&Spectrum" << QRect(96, 8, 65, 25);
    QTest::newRow("Button5") << "Button5"
                             << "Counter&Reset" << QRect(184, 8, 81, 25);
    QTest::newRow("Button6") << "Button6"
                             << "&Timers" << QRect(288, 8, 65, 25);
    QTest::newRow("Button7") << "Button7"
                             << "&About" << QRect(376, 8, 65, 25);
    QTest::newRow("Button8") << "Button8"
                             << "C&ontact" << QRect(464, 8, 75, 25);
    QTest::newRow("Button1") << "Button1"
                             << "&Close" << QRect(496, 304, 75, 25);
}

void TestMainWindow::layout()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    const QMap<QString, QPushButton *> buttons = {{"Button1", Form1->Button1},
        {"Button2", Form1->Button2}, {"Button3", Form1->Button3}, {"Button5", Form1->Button5},
        {"Button6", Form1->Button6}, {"Button7", Form1->Button7}, {"Button8", Form1->Button8}};
    QPushButton *button = buttons.value(control);
    QCOMPARE(button->text(), text);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->parentWidget(),
        control == "Button1" ? static_cast<QWidget *>(Form1) : Form1->Panel1);
    QCOMPARE(Form1->Panel1->geometry(), QRect(24, 8, 545, 41));
    QCOMPARE(Form1->Label1->pos(), QPoint(240, 112));
    QCOMPARE(Form1->Label1->font().pixelSize(), 32);
    QVERIFY(Form1->Label1->font().bold() && Form1->Label1->font().italic());
    QCOMPARE(Form1->Label2->text(), QStringLiteral("AUTONOMOUS FATIGUE LOADS RECORDER"));
    QCOMPARE(Form1->Label3->text(), QStringLiteral("V. DEMO"));
}

void TestMainWindow::frame()
{
    const Qt::WindowFlags flags = Form1->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(Form1->outerSize(), QSize(601, 375));
    Form1->show();
    QCOMPARE(Form1->frameGeometry().size(), QSize(601, 375));
    // Resizing the frame moves no control.
    Form1->resize(800, 500);
    QCOMPARE(Form1->Button1->geometry(), QRect(496, 304, 75, 25));
}

void TestMainWindow::centredOnFirstShowThenReopensWhereLeft()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Form6->show();
    QCOMPARE(Form6->frameGeometry().topLeft(),
        QPoint((screen.width() - 424) / 2, (screen.height() - 277) / 2));
    Form6->move(10, 20);
    Form6->close();
    QVERIFY(!Form6->isVisible());
    Form6->show();
    QCOMPARE(Form6->pos(), QPoint(10, 20));
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
    TFormBase *window = QList<TFormBase *> {Form4, AboutBox, Form8, Form1, Form3}.at(index);
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
    for (TFormBase *window : {static_cast<TFormBase *>(Form1), static_cast<TFormBase *>(Form3)}) {
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
        = {{2, {Form1->Button2, Form2}}, {3, {Form1->Button3, Form3}}, {5, {Form1->Button5, Form5}},
            {6, {Form1->Button6, Form6}}, {8, {Form1->Button8, Form7}}};
    const auto [pushed, window] = targets.value(button);
    Form1->show();
    bool shownModally = false;
    bool mainDisabled = false;
    OnModal(window, [&, window = window] {
        shownModally = window->isVisible() && window->isModal();
        mainDisabled = !Form1->isEnabled() || QApplication::activeModalWidget() != Form1;
        window->close();
    });
    QTest::mouseClick(pushed, Qt::LeftButton);
    QVERIFY(shownModally);
    QVERIFY(mainDisabled);
    QVERIFY(!window->isVisible());
    QVERIFY(Form1->isVisible());
}

void TestMainWindow::enterOpensDataCopyOnOpening()
{
    Form1->show();
    QApplication::setActiveWindow(Form1);
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    QCOMPARE(QApplication::focusWidget(), Form1->Button2);
    bool opened = false;
    OnModal(Form2, [&] {
        opened = true;
        Form2->close();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(opened);
}

void TestMainWindow::aboutBoxIsNotModal()
{
    Form1->show();
    QTest::mouseClick(Form1->Button7, Qt::LeftButton);
    QVERIFY(AboutBox->isVisible());
    QVERIFY(!AboutBox->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    const QPoint where = AboutBox->pos();
    QTest::mouseClick(Form1->Button7, Qt::LeftButton);
    QVERIFY(AboutBox->isVisible());
    QCOMPARE(AboutBox->pos(), where);

    // A function window opens modally beside it; the About box stays visible behind it.
    bool aboutStillVisible = false;
    OnModal(Form6, [&] {
        aboutStillVisible = AboutBox->isVisible();
        Form6->close();
    });
    QTest::mouseClick(Form1->Button6, Qt::LeftButton);
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
    Form1->show();

    QList<SeenMessageBox> boxes;
    const bool ended = runUntilQuit([&boxes] {
        boxes = CollectMessageBoxes([] { QTest::mouseClick(Form1->Button1, Qt::LeftButton); });
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
    Form1->show();
    if (aboutVisible)
        AboutBox->show();
    QVERIFY(runUntilQuit([] { Form1->close(); }));
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
