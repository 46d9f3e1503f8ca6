#include "AboutBox.h"
#include "BevelPanel.h"
#include "MainWindow.h"
#include "Memo.h"
#include "PictureBox.h"
#include "TechInfoWindow.h"
#include "TestSupport.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {
using Window = FormBase *;

QPushButton *closeButtonOf(FormBase *form)
{
    const std::pair<FormBase *, QPushButton *> buttons[] = {
        {&programWindows().aboutBox(),
            Control<QPushButton>(&programWindows().aboutBox(), "closeButton")},
        {&programWindows().techInfoWindow(),
            Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton")},
        {&programWindows().infoPage(InfoPage::Application),
            Control<QPushButton>(&programWindows().infoPage(InfoPage::Application), "closeButton")},
        {&programWindows().infoPage(InfoPage::GeneralView),
            Control<QPushButton>(&programWindows().infoPage(InfoPage::GeneralView), "closeButton")},
        {&programWindows().infoPage(InfoPage::Dimension),
            Control<QPushButton>(&programWindows().infoPage(InfoPage::Dimension), "closeButton")},
        {&programWindows().infoPage(InfoPage::SignalClassification),
            Control<QPushButton>(
                &programWindows().infoPage(InfoPage::SignalClassification), "closeButton")},
        {&programWindows().infoPage(InfoPage::TechnicalData),
            Control<QPushButton>(
                &programWindows().infoPage(InfoPage::TechnicalData), "closeButton")},
        {&programWindows().infoPage(InfoPage::Contact),
            Control<QPushButton>(&programWindows().infoPage(InfoPage::Contact), "closeButton")}};
    for (const auto &[owner, button] : buttons) {
        if (owner == form)
            return button;
    }
    return nullptr;
}

// Shows `form` modally and runs `inModal` once it is the active modal window. Returns false
// when the form was still open two seconds later (then it is closed by force).
bool runModal(FormBase *form, std::function<void()> inModal)
{
    bool forced = false;
    OnModal(form, std::move(inModal));
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, form, [&] {
        forced = true;
        form->close();
    });
    guard.start(2000);
    form->showModal();
    return !forced;
}

// A mouse click delivered as the window system delivers it, so that modality applies.
void systemClick(QWidget *widget)
{
    QWidget *window = widget->window();
    const QPoint at = widget->mapTo(window, widget->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    QCoreApplication::processEvents();
}
} // namespace

class TestPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void captionsAndSizes_data();
    void captionsAndSizes();
    void closeButtons_data();
    void closeButtons();
    void memoLines_data();
    void memoLines();
    void memoRules_data();
    void memoRules();
    void technicalDataDotLeaders();
    void contactMemo();
    void contactMemoKeepsTab();
    void pageControls_data();
    void pageControls();
    void aboutBoxLayout();
    void technicalInformationLayout();
    void menuItems();
    void checkMarkIsDrawn();
    void menuItemOpensItsPageAtOnce_data();
    void menuItemOpensItsPageAtOnce();
    void windowsBehindAPageTakeNoInput();
    void enterClosesOnOpening_data();
    void enterClosesOnOpening();
    void escapeClosesNothing_data();
    void escapeClosesNothing();
    void aboutBoxEnterPressesDefaultButton();

private:
    MainWindow *m_main = nullptr;
};

void TestPages::initTestCase()
{
    DropWindows(); // made afresh, with safe ports, on first use
    m_main = &programWindows().mainWindow();
    // Made now, so that each is there for the data functions.
    programWindows().aboutBox();
    programWindows().techInfoWindow();
    for (const InfoPage::Page page :
        {InfoPage::Application, InfoPage::GeneralView, InfoPage::Dimension,
            InfoPage::SignalClassification, InfoPage::TechnicalData, InfoPage::Contact})
        programWindows().infoPage(page);
}

void TestPages::cleanupTestCase()
{
    DropWindows();
}

void TestPages::cleanup()
{
    for (QWidget *w :
        std::initializer_list<QWidget *> {&programWindows().infoPage(InfoPage::Contact),
            &programWindows().infoPage(InfoPage::TechnicalData),
            &programWindows().infoPage(InfoPage::SignalClassification),
            &programWindows().infoPage(InfoPage::Dimension),
            &programWindows().infoPage(InfoPage::GeneralView),
            &programWindows().infoPage(InfoPage::Application), &programWindows().techInfoWindow(),
            &programWindows().aboutBox(), m_main})
        w->hide();
}

void TestPages::captionsAndSizes_data()
{
    QTest::addColumn<FormBase *>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("outer");
    QTest::newRow("applicationPage") << Window(&programWindows().infoPage(InfoPage::Application))
                                     << "   Application" << QSize(544, 375);
    QTest::newRow("generalViewPage") << Window(&programWindows().infoPage(InfoPage::GeneralView))
                                     << "   ZEMRA General View" << QSize(644, 475);
    QTest::newRow("dimensionPage") << Window(&programWindows().infoPage(InfoPage::Dimension))
                                   << "  ZEMRA Dimension" << QSize(671, 517);
    QTest::newRow("signalClassificationPage")
        << Window(&programWindows().infoPage(InfoPage::SignalClassification))
        << "  Signal Classification" << QSize(544, 375);
    QTest::newRow("technicalDataPage")
        << Window(&programWindows().infoPage(InfoPage::TechnicalData))
        << " ZEMRA Basic Technical Data" << QSize(544, 375);
    QTest::newRow("contactPage") << Window(&programWindows().infoPage(InfoPage::Contact))
                                 << "   CONTACT" << QSize(559, 330);
}

void TestPages::captionsAndSizes()
{
    QFETCH(FormBase *, window);
    QFETCH(QString, caption);
    QFETCH(QSize, outer);
    QCOMPARE(window->windowTitle(), caption);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->frameGeometry().size(), outer);
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowSystemMenuHint);
}

void TestPages::closeButtons_data()
{
    QTest::addColumn<FormBase *>("window");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("aboutBox") << Window(&programWindows().aboutBox()) << QPoint(272, 160);
    QTest::newRow("techInfoWindow")
        << Window(&programWindows().techInfoWindow()) << QPoint(304, 80);
    QTest::newRow("applicationPage")
        << Window(&programWindows().infoPage(InfoPage::Application)) << QPoint(440, 304);
    QTest::newRow("generalViewPage")
        << Window(&programWindows().infoPage(InfoPage::GeneralView)) << QPoint(544, 384);
    QTest::newRow("dimensionPage")
        << Window(&programWindows().infoPage(InfoPage::Dimension)) << QPoint(536, 432);
    QTest::newRow("signalClassificationPage")
        << Window(&programWindows().infoPage(InfoPage::SignalClassification)) << QPoint(424, 304);
    QTest::newRow("technicalDataPage")
        << Window(&programWindows().infoPage(InfoPage::TechnicalData)) << QPoint(432, 296);
    QTest::newRow("contactPage") << Window(&programWindows().infoPage(InfoPage::Contact))
                                 << QPoint(456, 256);
}

// Every Close button: caption, place, 75 x 25, first in the tab order so it has the focus on
// opening, and its click closes (hides) its own window.
void TestPages::closeButtons()
{
    QFETCH(FormBase *, window);
    QFETCH(QPoint, position);
    QPushButton *button = closeButtonOf(window);
    QCOMPARE(button->text(), QStringLiteral("&Close"));
    QCOMPARE(button->geometry(), QRect(position, QSize(75, 25)));
    // First of the window's tab stops.
    QWidget *first = window->nextInFocusChain();
    while (first != window && !(first->focusPolicy() & Qt::TabFocus))
        first = first->nextInFocusChain();
    QCOMPARE(first, button);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->focusWidget(), button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

void TestPages::memoLines_data()
{
    QTest::addColumn<FormBase *>("window");
    QTest::addColumn<QStringList>("lines");
    // clang-format off
    QTest::newRow("Application") << Window(&programWindows().infoPage(InfoPage::Application)) << QStringList {
        "Recorder ZEMRA is intended to measure, analyse and classify random course of ",
        "linear acceleration.",
        "The results are gathered as the spectrum of aircraft's loads.",
        "Application:",
        "      - estimation of exploitation loads during flight as spectrum of aircraft's loads,",
        "      - estimation of fatigue wear of aircraft's carrier structure,",
        "      - estimation of intensity and safety of aircraft's exploitation,",
        "      - estimation of individual, safe period of aircraft's use,",
        "      - other analysis of static and fatigue strength of carrier structure.",
        "Conditions of Building-In:",
        "      - the recorder should be placed near the center of gravity, while turn and ",
        "direction of measurement axis (marked on the casing) should be compatible and ",
        "parallel to vertical axis of aircraft.",
        "Enduser Data Presentation:",
        "      - recorded by ZEMRA data are transmitted to PC through the serial RS 232C ",
        "interface. Software packed, compatible with Windows 9X and Windows XP ",
        "platforms, converts raw data to numerical and graphical user's results."};
    QTest::newRow("Signal classification") << Window(&programWindows().infoPage(InfoPage::SignalClassification)) << QStringList {
        "Exceeding of given levels of loads' coefficient is ",
        "recorded by method of counting the exceeding of ",
        "pairs of levels.",
        "It is possible establish values of recorder's ",
        "parameters according to user's requirements."};
    QTest::newRow("Technical data") << Window(&programWindows().infoPage(InfoPage::TechnicalData)) << QStringList {
        "Dimensions:",
        "        - length...............88 mm",
        "        - width.................47 mm",
        "        - height...............64 mm",
        "Weight:",
        "        - weight..............250 g",
        "Supply:",
        "        - autonomous batteries 3.6 V",
        "        - one year continuous operation without battery replace",
        "Working modes:",
        "        - economical",
        "        - active"};
    // clang-format on
}

void TestPages::memoLines()
{
    QFETCH(FormBase *, window);
    QFETCH(QStringList, lines);
    const QStringList shown = window->findChild<Memo *>()->lines();
    QCOMPARE(shown.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(shown.at(i), lines.at(i));
}

void TestPages::memoRules_data()
{
    QTest::addColumn<FormBase *>("window");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("tabStop");
    QTest::newRow("Application") << Window(&programWindows().infoPage(InfoPage::Application))
                                 << QRect(24, 16, 489, 281) << false << true;
    QTest::newRow("Signal classification")
        << Window(&programWindows().infoPage(InfoPage::SignalClassification))
        << QRect(112, 224, 297, 97) << false << true;
    QTest::newRow("Technical data") << Window(&programWindows().infoPage(InfoPage::TechnicalData))
                                    << QRect(104, 40, 369, 201) << false << true;
    QTest::newRow("Contact") << Window(&programWindows().infoPage(InfoPage::Contact))
                             << QRect(96, 48, 369, 177) << true << false;
}

// Read-only, word-wrapped, no scroll bars, 13-pixel "MS Sans Serif", and every line of text
// inside the memo: nothing is cut off at its bottom or right edge.
void TestPages::memoRules()
{
    QFETCH(FormBase *, window);
    QFETCH(QRect, geometry);
    QFETCH(bool, bold);
    QFETCH(bool, tabStop);
    Memo *memo = window->findChild<Memo *>();
    QCOMPARE(memo->geometry(), geometry);
    QVERIFY(memo->isReadOnly());
    QVERIFY(memo->textInteractionFlags() & Qt::TextSelectableByMouse);
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->font().family(), FormBase::layoutFont(13).family());
    QCOMPARE(memo->font().pixelSize(), 13);
    QCOMPARE(memo->font().bold(), bold);
    QCOMPARE(bool(memo->focusPolicy() & Qt::TabFocus), tabStop);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    qreal textHeight = 2 * memo->document()->documentMargin();
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next())
        textHeight += memo->document()->documentLayout()->blockBoundingRect(block).height();
    QVERIFY2(textHeight <= memo->viewport()->height(),
        qPrintable(QStringLiteral("text needs %1 pixels, memo shows %2")
                       .arg(textHeight)
                       .arg(memo->viewport()->height())));
    QCOMPARE(memo->verticalScrollBar()->maximum(), 0);

    // Typing changes nothing.
    const QStringList before = memo->lines();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(memo->lines(), before);
}

void TestPages::technicalDataDotLeaders()
{
    const QStringList lines
        = Control<Memo>(&programWindows().infoPage(InfoPage::TechnicalData), "memo")->lines();
    QList<int> dots;
    for (int i : {1, 2, 3, 5}) {
        const QString &line = lines.at(i);
        const int first = line.indexOf(QLatin1Char('.'));
        int n = 0;
        while (first + n < line.size() && line.at(first + n) == QLatin1Char('.'))
            ++n;
        dots << n;
    }
    QCOMPARE(dots, QList<int>({15, 17, 15, 14}));
}

void TestPages::contactMemo()
{
    const QStringList lines
        = Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo")->lines();
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.first(), QString());
    const QString indent(8, QLatin1Char(' '));
    for (int i = 1; i < lines.size(); ++i) {
        QVERIFY2(lines.at(i).startsWith(indent) && lines.at(i).at(8) != QLatin1Char(' '),
            qPrintable(lines.at(i)));
    }
    QCOMPARE(lines.at(1), indent + QStringLiteral("Imaginary Instruments Ltd."));
    for (int i : {6, 8}) {
        const QString line = lines.at(i).mid(8);
        QVERIFY2(line.startsWith(QStringLiteral("e-mail: ")), qPrintable(line));
        QVERIFY2(line.endsWith(QStringLiteral("@example.com"))
                || line.endsWith(QStringLiteral("@example.org")),
            qPrintable(line));
    }
    for (int i : {5, 7}) // the contact persons carry academic titles
        QVERIFY2(lines.at(i).contains(QLatin1Char('.')), qPrintable(lines.at(i)));
    QVERIFY(lines.at(9).mid(8).startsWith(QStringLiteral("fax: ")));
    // A number reserved for fiction: 555-0100 to 555-0199.
    QVERIFY2(lines.at(9).contains(QRegularExpression(QStringLiteral("555 01\\d\\d$"))),
        qPrintable(lines.at(9)));
}

void TestPages::contactMemoKeepsTab()
{
    programWindows().infoPage(InfoPage::Contact).show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().infoPage(InfoPage::Contact)));
    // Not a tab stop: Tab from the Close button does not reach it.
    QCOMPARE(programWindows().infoPage(InfoPage::Contact).focusWidget(),
        Control<QPushButton>(&programWindows().infoPage(InfoPage::Contact), "closeButton"));
    QTest::keyClick(
        Control<QPushButton>(&programWindows().infoPage(InfoPage::Contact), "closeButton"),
        Qt::Key_Tab);
    QVERIFY(programWindows().infoPage(InfoPage::Contact).focusWidget()
        != Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"));
    // Reached by the mouse, it keeps Tab and Shift+Tab.
    QTest::mouseClick(
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo")->viewport(),
        Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(programWindows().infoPage(InfoPage::Contact).focusWidget(),
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"));
    QTest::keyClick(
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"), Qt::Key_Tab);
    QCOMPARE(programWindows().infoPage(InfoPage::Contact).focusWidget(),
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"));
    QTest::keyClick(Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"),
        Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(programWindows().infoPage(InfoPage::Contact).focusWidget(),
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo"));
    QCOMPARE(
        Control<Memo>(&programWindows().infoPage(InfoPage::Contact), "memo")->lines().size(), 10);
    // The other memos are tab stops that pass Tab on.
    programWindows().infoPage(InfoPage::Application).show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().infoPage(InfoPage::Application)));
    Control<Memo>(&programWindows().infoPage(InfoPage::Application), "memo")->setFocus();
    QTest::keyClick(
        Control<Memo>(&programWindows().infoPage(InfoPage::Application), "memo"), Qt::Key_Tab);
    QCOMPARE(programWindows().infoPage(InfoPage::Application).focusWidget(),
        Control<QPushButton>(&programWindows().infoPage(InfoPage::Application), "closeButton"));
}

void TestPages::pageControls_data()
{
    QTest::addColumn<FormBase *>("window");
    QTest::addColumn<QRect>("image");
    QTest::newRow("General view") << Window(&programWindows().infoPage(InfoPage::GeneralView))
                                  << QRect(40, 16, 500, 400);
    QTest::newRow("Dimension") << Window(&programWindows().infoPage(InfoPage::Dimension))
                               << QRect(16, 8, 650, 400);
    QTest::newRow("Signal classification")
        << Window(&programWindows().infoPage(InfoPage::SignalClassification))
        << QRect(112, 16, 300, 200);
}

void TestPages::pageControls()
{
    QFETCH(FormBase *, window);
    QFETCH(QRect, image);
    auto *control = window->findChild<PictureBox *>();
    QVERIFY(control);
    QCOMPARE(control->geometry(), image);
    QVERIFY(!control->isEmpty());
    // Controls keep their places when the frame is resized.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(window->size() + QSize(60, 40));
    QCoreApplication::processEvents();
    QCOMPARE(control->geometry(), image);
}

void TestPages::aboutBoxLayout()
{
    QCOMPARE(programWindows().aboutBox().windowTitle(), QStringLiteral("About"));
    // Fixed dialog frame: not resizable, no minimise or maximise box.
    const Qt::WindowFlags flags = programWindows().aboutBox().windowFlags();
    QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(programWindows().aboutBox().minimumSize(), QSize(380, 190));
    QCOMPARE(programWindows().aboutBox().maximumSize(), QSize(380, 190));
    programWindows().aboutBox().show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().aboutBox()));
    QCOMPARE(programWindows().aboutBox().size(), QSize(380, 190));
    programWindows().aboutBox().resize(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(programWindows().aboutBox().size(), QSize(380, 190));

    QCOMPARE(Control<BevelPanel>(&programWindows().aboutBox(), "panel")->geometry(),
        QRect(8, 8, 369, 137));
    QCOMPARE(
        Control<BevelPanel>(&programWindows().aboutBox(), "panel")->focusPolicy(), Qt::NoFocus);
    QCOMPARE(Control<PictureBox>(&programWindows().aboutBox(), "programIcon")->parentWidget(),
        Control<BevelPanel>(&programWindows().aboutBox(), "panel"));
    QCOMPARE(Control<PictureBox>(&programWindows().aboutBox(), "programIcon")->geometry(),
        QRect(8, 8, 65, 57));
    QVERIFY(!Control<PictureBox>(&programWindows().aboutBox(), "programIcon")->isEmpty());
    const struct
    {
        QLabel *label;
        QPoint at;
        QString text;
    } labels[] = {
        {Control<QLabel>(&programWindows().aboutBox(), "productNameLabel"), {88, 16},
            QStringLiteral(">ZEMRA< AUTONOMOUS FATIGUE LOADS RECORDER")},
        {Control<QLabel>(&programWindows().aboutBox(), "versionLabel"), {88, 40},
            QStringLiteral("Version 1.2.")},
        {Control<QLabel>(&programWindows().aboutBox(), "copyrightLabel"), {88, 80},
            QStringLiteral("Copyright (C) 2002 Imaginary Instruments Ltd.")},
        {Control<QLabel>(&programWindows().aboutBox(), "commentsLabel"), {88, 104},
            QStringLiteral("Imaginary Instruments Ltd.")},
    };
    for (const auto &[label, at, text] : labels) {
        QCOMPARE(label->parentWidget(), Control<BevelPanel>(&programWindows().aboutBox(), "panel"));
        QCOMPARE(label->pos(), at);
        QCOMPARE(label->text(), text);
        // The whole text fits on the panel.
        QVERIFY2(label->geometry().right()
                < Control<BevelPanel>(&programWindows().aboutBox(), "panel")->width() - 2,
            qPrintable(text));
        QVERIFY(label->width() >= label->sizeHint().width() || label->wordWrap());
    }
    QVERIFY(Control<QLabel>(&programWindows().aboutBox(), "commentsLabel")->wordWrap());

    QVERIFY(Control<QPushButton>(&programWindows().aboutBox(), "closeButton")->isDefault());
    QCOMPARE(Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton")->text(),
        QStringLiteral("&Tech_Information"));
    QCOMPARE(Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton")->geometry(),
        QRect(48, 160, 97, 25));
    QCOMPARE(programWindows().aboutBox().focusWidget(),
        Control<QPushButton>(&programWindows().aboutBox(), "closeButton"));
    QCOMPARE(Control<QPushButton>(&programWindows().aboutBox(), "closeButton")->nextInFocusChain(),
        Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton"));
}

void TestPages::technicalInformationLayout()
{
    QCOMPARE(programWindows().techInfoWindow().windowTitle(),
        QStringLiteral("   TECHNICAL INFORMATION"));
    programWindows().techInfoWindow().show();
    QVERIFY(QTest::qWaitForWindowExposed(&programWindows().techInfoWindow()));
    const int bar = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->height();
    QVERIFY(bar > 0);
    QCOMPARE(Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->geometry(),
        QRect(0, 0, 398, bar));
    // The client area of 398 x 121 lies below the menu bar; the button is placed in it.
    QCOMPARE(programWindows().techInfoWindow().size(), QSize(398, bar + 121));
    QCOMPARE(programWindows().techInfoWindow().clientArea()->geometry(), QRect(0, bar, 398, 121));
    QCOMPARE(Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton")
                 ->mapTo(&programWindows().techInfoWindow(), QPoint(0, 0)),
        QPoint(304, bar + 80));
    // All five items fit on one row of the bar.
    for (QAction *action :
        Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->actions())
        QVERIFY(Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")
                    ->actionGeometry(action)
                    .bottom()
            < bar);

    programWindows().techInfoWindow().resize(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->width(), 500);
    QCOMPARE(Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton")
                 ->mapTo(&programWindows().techInfoWindow(), QPoint(0, 0)),
        QPoint(
            304, Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->height() + 80));
    programWindows().techInfoWindow().resize(398, bar + 121);
}

void TestPages::menuItems()
{
    const QList<QAction *> actions
        = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->actions();
    QCOMPARE(actions,
        QList<QAction *>({Control<QAction>(&programWindows().techInfoWindow(), "applicationItem"),
            Control<QAction>(&programWindows().techInfoWindow(), "signalClassificationItem"),
            Control<QAction>(&programWindows().techInfoWindow(), "generalViewItem"),
            Control<QAction>(&programWindows().techInfoWindow(), "dimensionItem"),
            Control<QAction>(&programWindows().techInfoWindow(), "technicalDataItem")}));
    QStringList captions;
    for (QAction *action : actions) {
        captions << action->text();
        QVERIFY(!action->menu());
    }
    QCOMPARE(captions,
        QStringList({"&Application", "&Signal Classification", "&GeneralView", "&Dimension",
            "&Technical Data"}));
    QVERIFY(Control<QAction>(&programWindows().techInfoWindow(), "applicationItem")->isCheckable());
    QVERIFY(Control<QAction>(&programWindows().techInfoWindow(), "applicationItem")->isChecked());
    for (QAction *action : actions.mid(1))
        QVERIFY(!action->isChecked());
}

void TestPages::checkMarkIsDrawn()
{
    programWindows().techInfoWindow().show();
    const QRect checkedItem = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")
                                  ->actionGeometry(Control<QAction>(
                                      &programWindows().techInfoWindow(), "applicationItem"));
    const QImage checked
        = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->grab().toImage();
    Control<QAction>(&programWindows().techInfoWindow(), "applicationItem")->setChecked(false);
    const QRect plainItem = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")
                                ->actionGeometry(Control<QAction>(
                                    &programWindows().techInfoWindow(), "applicationItem"));
    const QImage plain
        = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->grab().toImage();
    Control<QAction>(&programWindows().techInfoWindow(), "applicationItem")->setChecked(true);
    // The checked item makes room for its mark, and the mark is drawn in it.
    QVERIFY(checkedItem.width() > plainItem.width());
    QVERIFY(checked.copy(checkedItem) != plain.copy(plainItem));
}

void TestPages::menuItemOpensItsPageAtOnce_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<FormBase *>("expected");
    QTest::newRow("Application") << 0 << Window(&programWindows().infoPage(InfoPage::Application));
    QTest::newRow("Signal Classification")
        << 1 << Window(&programWindows().infoPage(InfoPage::SignalClassification));
    QTest::newRow("GeneralView") << 2 << Window(&programWindows().infoPage(InfoPage::GeneralView));
    QTest::newRow("Dimension") << 3 << Window(&programWindows().infoPage(InfoPage::Dimension));
    QTest::newRow("Technical Data")
        << 4 << Window(&programWindows().infoPage(InfoPage::TechnicalData));
}

// One click on the bar opens the page modally, with no drop-down list on the way.
void TestPages::menuItemOpensItsPageAtOnce()
{
    QFETCH(int, item);
    QFETCH(FormBase *, expected);
    QWidget *opened = nullptr;
    const bool closed = runModal(&programWindows().techInfoWindow(), [&] {
        QAction *action
            = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")->actions().at(item);
        const QRect place = Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar")
                                ->actionGeometry(action);
        OnModal(expected, [&] {
            opened = QApplication::activeModalWidget();
            QVERIFY(!QApplication::activePopupWidget());
            closeButtonOf(expected)->click();
        });
        QTest::mouseClick(Control<QMenuBar>(&programWindows().techInfoWindow(), "menuBar"),
            Qt::LeftButton, {}, place.center());
        // Back from the page's modal loop: the technical information is modal again.
        QCOMPARE(QApplication::activeModalWidget(), &programWindows().techInfoWindow());
        Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton")->click();
    });
    QVERIFY(closed);
    QCOMPARE(opened, expected);
    QVERIFY(!expected->isVisible());
    QVERIFY(Control<QAction>(&programWindows().techInfoWindow(), "applicationItem")->isChecked());
}

// Main window, About box (non-modal), technical information (modal), a page (modal): while the
// page is open, clicks on the windows behind it do nothing.
void TestPages::windowsBehindAPageTakeNoInput()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    programWindows().aboutBox().show();
    QVERIFY(QTest::qWaitForWindowExposed(&programWindows().aboutBox()));

    QSignalSpy mainClicks(Control<QPushButton>(m_main, "aboutButton"), &QPushButton::clicked);
    QSignalSpy aboutClicks(
        Control<QPushButton>(&programWindows().aboutBox(), "closeButton"), &QPushButton::clicked);
    QSignalSpy techClicks(Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton"),
        &QPushButton::clicked);
    QSignalSpy pageClicks(
        Control<QPushButton>(
            &programWindows().infoPage(InfoPage::SignalClassification), "closeButton"),
        &QPushButton::clicked);
    bool pageWasModal = false;

    OnModal(&programWindows().techInfoWindow(), [&] {
        OnModal(&programWindows().infoPage(InfoPage::SignalClassification), [&] {
            pageWasModal = QApplication::activeModalWidget()
                == &programWindows().infoPage(InfoPage::SignalClassification);
            systemClick(Control<QPushButton>(m_main, "aboutButton"));
            systemClick(Control<QPushButton>(&programWindows().aboutBox(), "closeButton"));
            systemClick(Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton"));
            QTest::keyClick(
                programWindows().techInfoWindow().windowHandle(), Qt::Key_C, Qt::AltModifier);
            QCOMPARE(mainClicks.count(), 0);
            QCOMPARE(aboutClicks.count(), 0);
            QCOMPARE(techClicks.count(), 0);
            QVERIFY(programWindows().techInfoWindow().isVisible());
            QVERIFY(programWindows().aboutBox().isVisible());
            // The same kind of click reaches the page itself.
            systemClick(Control<QPushButton>(
                &programWindows().infoPage(InfoPage::SignalClassification), "closeButton"));
        });
        Control<QAction>(&programWindows().techInfoWindow(), "signalClassificationItem")->trigger();
        Control<QPushButton>(&programWindows().techInfoWindow(), "closeButton")->click();
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, this, [] {
        programWindows().infoPage(InfoPage::SignalClassification).close();
        programWindows().techInfoWindow().close();
    });
    guard.start(3000);
    Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton")->click();
    guard.stop();

    QVERIFY(pageWasModal);
    QCOMPARE(pageClicks.count(), 1);
    QVERIFY(!programWindows().techInfoWindow().isVisible());
    QVERIFY(programWindows().aboutBox().isVisible()); // it stays open until its own Close
    QCOMPARE(techClicks.count(), 1);
    // With the modal windows gone, the About box takes clicks again.
    QVERIFY(programWindows().aboutBox().isEnabled());
    systemClick(Control<QPushButton>(&programWindows().aboutBox(), "closeButton"));
    QCOMPARE(aboutClicks.count(), 1);
    QVERIFY(!programWindows().aboutBox().isVisible());
}

void TestPages::enterClosesOnOpening_data()
{
    QTest::addColumn<FormBase *>("window");
    for (FormBase *window : {Window(&programWindows().techInfoWindow()),
             Window(&programWindows().infoPage(InfoPage::Application)),
             Window(&programWindows().infoPage(InfoPage::GeneralView)),
             Window(&programWindows().infoPage(InfoPage::Dimension)),
             Window(&programWindows().infoPage(InfoPage::SignalClassification)),
             Window(&programWindows().infoPage(InfoPage::TechnicalData)),
             Window(&programWindows().infoPage(InfoPage::Contact))})
        QTest::newRow(qPrintable(window->objectName())) << window;
}

void TestPages::enterClosesOnOpening()
{
    QFETCH(FormBase *, window);
    QWidget *focused = nullptr;
    const bool closed = runModal(window, [&] {
        focused = window->focusWidget();
        QTest::keyClick(focused, Qt::Key_Return);
    });
    QCOMPARE(focused, closeButtonOf(window));
    QVERIFY(closed);
    QVERIFY(!window->isVisible());

    // The About box, shown without a modal loop.
    programWindows().aboutBox().show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().aboutBox()));
    QTest::keyClick(programWindows().aboutBox().focusWidget(), Qt::Key_Enter);
    QVERIFY(!programWindows().aboutBox().isVisible());
}

void TestPages::escapeClosesNothing_data()
{
    enterClosesOnOpening_data();
    QTest::newRow("aboutBox") << Window(&programWindows().aboutBox());
}

void TestPages::escapeClosesNothing()
{
    QFETCH(FormBase *, window);
    bool stillOpen = false;
    const auto pressEscape = [&] {
        // Pressed once the window is active: before that the key would go to whichever widget
        // had the focus, and a slow start (a sanitizer build) let it land elsewhere.
        if (!QTest::qWaitForWindowActive(window))
            return;
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::processEvents();
        stillOpen = window->isVisible();
        window->close();
    };
    if (window == &programWindows().aboutBox()) {
        programWindows().aboutBox().show();
        QVERIFY(QTest::qWaitForWindowActive(&programWindows().aboutBox()));
        pressEscape();
    } else {
        QVERIFY(runModal(window, pressEscape));
    }
    QVERIFY(stillOpen);
}

// Enter reaches the default button of the About box when no button has the focus, and presses
// the Tech_Information button when that one has it.
void TestPages::aboutBoxEnterPressesDefaultButton()
{
    programWindows().aboutBox().show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().aboutBox()));
    QTest::keyClick(Control<BevelPanel>(&programWindows().aboutBox(), "panel"), Qt::Key_Return);
    QVERIFY(!programWindows().aboutBox().isVisible());

    programWindows().aboutBox().show();
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().aboutBox()));
    Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton")->setFocus();
    bool techOpened = false;
    OnModal(&programWindows().techInfoWindow(), [&] {
        techOpened = true;
        programWindows().techInfoWindow().close();
    });
    QTest::keyClick(
        Control<QPushButton>(&programWindows().aboutBox(), "techInfoButton"), Qt::Key_Return);
    QVERIFY(techOpened);
    QVERIFY(programWindows().aboutBox().isVisible());
    Control<QPushButton>(&programWindows().aboutBox(), "closeButton")->setFocus();
}

ZEMRA_TEST_MAIN(TestPages)
#include "tst_infopages.moc"
