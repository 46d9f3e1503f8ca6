#include "TestSupport.h"
#include "app/Forms.h"
#include "app/ZemraApplication.h"
#include "app/uZemra1_1.h"
#include "pages/Memo.h"
#include "pages/Picture.h"
#include "pages/uAbout1_1.h"
#include "pages/uApplication.h"
#include "pages/uContact.h"
#include "pages/uDimension.h"
#include "pages/uGeneralView.h"
#include "pages/uSignalClas.h"
#include "pages/uTechData.h"
#include "pages/uTechInf.h"

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
using Window = TFormBase *;

QPushButton *closeButtonOf(TFormBase *form)
{
    const std::pair<TFormBase *, QPushButton *> buttons[]
        = {{AboutBox, AboutBox->Button1}, {Form8, Form8->Button1}, {Form9, Form9->Button1},
            {Form10, Form10->Button1}, {Form11, Form11->Button1}, {Form12, Form12->Button1},
            {Form13, Form13->Button1}, {Form7, Form7->Button1}};
    for (const auto &[owner, button] : buttons) {
        if (owner == form)
            return button;
    }
    return nullptr;
}

// Shows `form` modally and runs `inModal` once it is the active modal window. Returns false
// when the form was still open two seconds later (then it is closed by force).
bool runModal(TFormBase *form, std::function<void()> inModal)
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
    form->ShowModal();
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
    TForm1 *m_main = nullptr;
};

void TestPages::initTestCase()
{
    CreateForms();
    m_main = Form1;
    for (auto [window, name] : {std::pair {Window(AboutBox), "AboutBox"}, {Form8, "Form8"},
             {Form9, "Form9"}, {Form10, "Form10"}, {Form11, "Form11"}, {Form12, "Form12"},
             {Form13, "Form13"}, {Form7, "Form7"}})
        window->setObjectName(QLatin1String(name));
}

void TestPages::cleanupTestCase()
{
    DestroyForms();
}

void TestPages::cleanup()
{
    for (QWidget *w : std::initializer_list<QWidget *> {
             Form7, Form13, Form12, Form11, Form10, Form9, Form8, AboutBox, m_main})
        w->hide();
}

void TestPages::captionsAndSizes_data()
{
    QTest::addColumn<TFormBase *>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("outer");
    QTest::newRow("Form9") << Window(Form9) << "   Application" << QSize(544, 375);
    QTest::newRow("Form10") << Window(Form10) << "   ZEMRA General View" << QSize(644, 475);
    QTest::newRow("Form11") << Window(Form11) << "  ZEMRA Dimension" << QSize(671, 517);
    QTest::newRow("Form12") << Window(Form12) << "  Signal Classification" << QSize(544, 375);
    QTest::newRow("Form13") << Window(Form13) << " ZEMRA Basic Technical Data" << QSize(544, 375);
    QTest::newRow("Form7") << Window(Form7) << "   CONTACT" << QSize(559, 330);
}

void TestPages::captionsAndSizes()
{
    QFETCH(TFormBase *, window);
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
    QTest::addColumn<TFormBase *>("window");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("AboutBox") << Window(AboutBox) << QPoint(272, 160);
    QTest::newRow("Form8") << Window(Form8) << QPoint(304, 80);
    QTest::newRow("Form9") << Window(Form9) << QPoint(440, 304);
    QTest::newRow("Form10") << Window(Form10) << QPoint(544, 384);
    QTest::newRow("Form11") << Window(Form11) << QPoint(536, 432);
    QTest::newRow("Form12") << Window(Form12) << QPoint(424, 304);
    QTest::newRow("Form13") << Window(Form13) << QPoint(432, 296);
    QTest::newRow("Form7") << Window(Form7) << QPoint(456, 256);
}

// Every Close button: caption, place, 75 x 25, first in the tab order so it has the focus on
// opening, and its click closes (hides) its own window.
void TestPages::closeButtons()
{
    QFETCH(TFormBase *, window);
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
    QTest::addColumn<TFormBase *>("window");
    QTest::addColumn<QStringList>("lines");
    // clang-format off
    QTest::newRow("Application") << Window(Form9) << QStringList {
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
    QTest::newRow("Signal classification") << Window(Form12) << QStringList {
        "Exceeding of given levels of loads' coefficient is ",
        "recorded by method of counting the exceeding of ",
        "pairs of levels.",
        "It is possible establish values of recorder's ",
        "parameters according to user's requirements."};
    QTest::newRow("Technical data") << Window(Form13) << QStringList {
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
    QFETCH(TFormBase *, window);
    QFETCH(QStringList, lines);
    const QStringList shown = window->findChild<TMemo *>()->Lines();
    QCOMPARE(shown.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(shown.at(i), lines.at(i));
}

void TestPages::memoRules_data()
{
    QTest::addColumn<TFormBase *>("window");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("tabStop");
    QTest::newRow("Application") << Window(Form9) << QRect(24, 16, 489, 281) << false << true;
    QTest::newRow("Signal classification")
        << Window(Form12) << QRect(112, 224, 297, 97) << false << true;
    QTest::newRow("Technical data") << Window(Form13) << QRect(104, 40, 369, 201) << false << true;
    QTest::newRow("Contact") << Window(Form7) << QRect(96, 48, 369, 177) << true << false;
}

// Read-only, word-wrapped, no scroll bars, 13-pixel "MS Sans Serif", and every line of text
// inside the memo: nothing is cut off at its bottom or right edge.
void TestPages::memoRules()
{
    QFETCH(TFormBase *, window);
    QFETCH(QRect, geometry);
    QFETCH(bool, bold);
    QFETCH(bool, tabStop);
    TMemo *memo = window->findChild<TMemo *>();
    QCOMPARE(memo->geometry(), geometry);
    QVERIFY(memo->isReadOnly());
    QVERIFY(memo->textInteractionFlags() & Qt::TextSelectableByMouse);
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(memo->font().family(), TFormBase::MsSansSerif(13).family());
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
    const QStringList before = memo->Lines();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("xyz"));
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(memo->Lines(), before);
}

void TestPages::technicalDataDotLeaders()
{
    const QStringList lines = Form13->Memo1->Lines();
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
    const QStringList lines = Form7->Memo1->Lines();
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
    Form7->show();
    QVERIFY(QTest::qWaitForWindowActive(Form7));
    // Not a tab stop: Tab from the Close button does not reach it.
    QCOMPARE(Form7->focusWidget(), Form7->Button1);
    QTest::keyClick(Form7->Button1, Qt::Key_Tab);
    QVERIFY(Form7->focusWidget() != Form7->Memo1);
    // Reached by the mouse, it keeps Tab and Shift+Tab.
    QTest::mouseClick(Form7->Memo1->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(Form7->focusWidget(), Form7->Memo1);
    QTest::keyClick(Form7->Memo1, Qt::Key_Tab);
    QCOMPARE(Form7->focusWidget(), Form7->Memo1);
    QTest::keyClick(Form7->Memo1, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Form7->focusWidget(), Form7->Memo1);
    QCOMPARE(Form7->Memo1->Lines().size(), 10);
    // The other memos are tab stops that pass Tab on.
    Form9->show();
    QVERIFY(QTest::qWaitForWindowActive(Form9));
    Form9->Memo1->setFocus();
    QTest::keyClick(Form9->Memo1, Qt::Key_Tab);
    QCOMPARE(Form9->focusWidget(), Form9->Button1);
}

void TestPages::pageControls_data()
{
    QTest::addColumn<TFormBase *>("window");
    QTest::addColumn<QRect>("image");
    QTest::newRow("General view") << Window(Form10) << QRect(40, 16, 500, 400);
    QTest::newRow("Dimension") << Window(Form11) << QRect(16, 8, 650, 400);
    QTest::newRow("Signal classification") << Window(Form12) << QRect(112, 16, 300, 200);
}

void TestPages::pageControls()
{
    QFETCH(TFormBase *, window);
    QFETCH(QRect, image);
    auto *control = window->findChild<TImage *>();
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
    QCOMPARE(AboutBox->windowTitle(), QStringLiteral("About"));
    // Fixed dialog frame: not resizable, no minimise or maximise box.
    const Qt::WindowFlags flags = AboutBox->windowFlags();
    QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(AboutBox->minimumSize(), QSize(380, 190));
    QCOMPARE(AboutBox->maximumSize(), QSize(380, 190));
    AboutBox->show();
    QVERIFY(QTest::qWaitForWindowActive(AboutBox));
    QCOMPARE(AboutBox->size(), QSize(380, 190));
    AboutBox->resize(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(AboutBox->size(), QSize(380, 190));

    QCOMPARE(AboutBox->Panel1->geometry(), QRect(8, 8, 369, 137));
    QCOMPARE(AboutBox->Panel1->focusPolicy(), Qt::NoFocus);
    QCOMPARE(AboutBox->ProgramIcon->parentWidget(), AboutBox->Panel1);
    QCOMPARE(AboutBox->ProgramIcon->geometry(), QRect(8, 8, 65, 57));
    QVERIFY(!AboutBox->ProgramIcon->isEmpty());
    const struct
    {
        QLabel *label;
        QPoint at;
        QString text;
    } labels[] = {
        {AboutBox->ProductName, {88, 16},
            QStringLiteral(">ZEMRA< AUTONOMOUS FATIGUE LOADS RECORDER")},
        {AboutBox->Version, {88, 40}, QStringLiteral("Version 1.2.")},
        {AboutBox->Copyright, {88, 80},
            QStringLiteral("Copyright (C) 2002 Imaginary Instruments Ltd.")},
        {AboutBox->Comments, {88, 104}, QStringLiteral("Imaginary Instruments Ltd.")},
    };
    for (const auto &[label, at, text] : labels) {
        QCOMPARE(label->parentWidget(), AboutBox->Panel1);
        QCOMPARE(label->pos(), at);
        QCOMPARE(label->text(), text);
        // The whole text fits on the panel.
        QVERIFY2(label->geometry().right() < AboutBox->Panel1->width() - 2, qPrintable(text));
        QVERIFY(label->width() >= label->sizeHint().width() || label->wordWrap());
    }
    QVERIFY(AboutBox->Comments->wordWrap());

    QVERIFY(AboutBox->Button1->isDefault());
    QCOMPARE(AboutBox->Button2->text(), QStringLiteral("&Tech_Information"));
    QCOMPARE(AboutBox->Button2->geometry(), QRect(48, 160, 97, 25));
    QCOMPARE(AboutBox->focusWidget(), AboutBox->Button1);
    QCOMPARE(AboutBox->Button1->nextInFocusChain(), AboutBox->Button2);
}

void TestPages::technicalInformationLayout()
{
    QCOMPARE(Form8->windowTitle(), QStringLiteral("   TECHNICAL INFORMATION"));
    Form8->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form8));
    const int bar = Form8->MainMenu1->height();
    QVERIFY(bar > 0);
    QCOMPARE(Form8->MainMenu1->geometry(), QRect(0, 0, 398, bar));
    // The client area of 398 x 121 lies below the menu bar; the button is placed in it.
    QCOMPARE(Form8->size(), QSize(398, bar + 121));
    QCOMPARE(Form8->clientArea()->geometry(), QRect(0, bar, 398, 121));
    QCOMPARE(Form8->Button1->mapTo(Form8, QPoint(0, 0)), QPoint(304, bar + 80));
    // All five items fit on one row of the bar.
    for (QAction *action : Form8->MainMenu1->actions())
        QVERIFY(Form8->MainMenu1->actionGeometry(action).bottom() < bar);

    Form8->resize(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(Form8->MainMenu1->width(), 500);
    QCOMPARE(
        Form8->Button1->mapTo(Form8, QPoint(0, 0)), QPoint(304, Form8->MainMenu1->height() + 80));
    Form8->resize(398, bar + 121);
}

void TestPages::menuItems()
{
    const QList<QAction *> actions = Form8->MainMenu1->actions();
    QCOMPARE(actions,
        QList<QAction *>({Form8->Overview, Form8->SignalClassification1, Form8->GeneralView1,
            Form8->Dimension1, Form8->TechnicalData1}));
    QStringList captions;
    for (QAction *action : actions) {
        captions << action->text();
        QVERIFY(!action->menu());
    }
    QCOMPARE(captions,
        QStringList({"&Application", "&Signal Classification", "&GeneralView", "&Dimension",
            "&Technical Data"}));
    QVERIFY(Form8->Overview->isCheckable());
    QVERIFY(Form8->Overview->isChecked());
    for (QAction *action : actions.mid(1))
        QVERIFY(!action->isChecked());
}

void TestPages::checkMarkIsDrawn()
{
    Form8->show();
    const QRect checkedItem = Form8->MainMenu1->actionGeometry(Form8->Overview);
    const QImage checked = Form8->MainMenu1->grab().toImage();
    Form8->Overview->setChecked(false);
    const QRect plainItem = Form8->MainMenu1->actionGeometry(Form8->Overview);
    const QImage plain = Form8->MainMenu1->grab().toImage();
    Form8->Overview->setChecked(true);
    // The checked item makes room for its mark, and the mark is drawn in it.
    QVERIFY(checkedItem.width() > plainItem.width());
    QVERIFY(checked.copy(checkedItem) != plain.copy(plainItem));
}

void TestPages::menuItemOpensItsPageAtOnce_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<TFormBase *>("expected");
    QTest::newRow("Application") << 0 << Window(Form9);
    QTest::newRow("Signal Classification") << 1 << Window(Form12);
    QTest::newRow("GeneralView") << 2 << Window(Form10);
    QTest::newRow("Dimension") << 3 << Window(Form11);
    QTest::newRow("Technical Data") << 4 << Window(Form13);
}

// One click on the bar opens the page modally, with no drop-down list on the way.
void TestPages::menuItemOpensItsPageAtOnce()
{
    QFETCH(int, item);
    QFETCH(TFormBase *, expected);
    QWidget *opened = nullptr;
    const bool closed = runModal(Form8, [&] {
        QAction *action = Form8->MainMenu1->actions().at(item);
        const QRect place = Form8->MainMenu1->actionGeometry(action);
        OnModal(expected, [&] {
            opened = QApplication::activeModalWidget();
            QVERIFY(!QApplication::activePopupWidget());
            closeButtonOf(expected)->click();
        });
        QTest::mouseClick(Form8->MainMenu1, Qt::LeftButton, {}, place.center());
        // Back from the page's modal loop: the technical information is modal again.
        QCOMPARE(QApplication::activeModalWidget(), Form8);
        Form8->Button1->click();
    });
    QVERIFY(closed);
    QCOMPARE(opened, expected);
    QVERIFY(!expected->isVisible());
    QVERIFY(Form8->Overview->isChecked());
}

// Main window, About box (non-modal), technical information (modal), a page (modal): while the
// page is open, clicks on the windows behind it do nothing.
void TestPages::windowsBehindAPageTakeNoInput()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    AboutBox->show();
    QVERIFY(QTest::qWaitForWindowExposed(AboutBox));

    QSignalSpy mainClicks(m_main->Button7, &QPushButton::clicked);
    QSignalSpy aboutClicks(AboutBox->Button1, &QPushButton::clicked);
    QSignalSpy techClicks(Form8->Button1, &QPushButton::clicked);
    QSignalSpy pageClicks(Form12->Button1, &QPushButton::clicked);
    bool pageWasModal = false;

    OnModal(Form8, [&] {
        OnModal(Form12, [&] {
            pageWasModal = QApplication::activeModalWidget() == Form12;
            systemClick(m_main->Button7);
            systemClick(AboutBox->Button1);
            systemClick(Form8->Button1);
            QTest::keyClick(Form8->windowHandle(), Qt::Key_C, Qt::AltModifier);
            QCOMPARE(mainClicks.count(), 0);
            QCOMPARE(aboutClicks.count(), 0);
            QCOMPARE(techClicks.count(), 0);
            QVERIFY(Form8->isVisible());
            QVERIFY(AboutBox->isVisible());
            // The same kind of click reaches the page itself.
            systemClick(Form12->Button1);
        });
        Form8->SignalClassification1->trigger();
        Form8->Button1->click();
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, this, [] {
        Form12->close();
        Form8->close();
    });
    guard.start(3000);
    AboutBox->Button2->click();
    guard.stop();

    QVERIFY(pageWasModal);
    QCOMPARE(pageClicks.count(), 1);
    QVERIFY(!Form8->isVisible());
    QVERIFY(AboutBox->isVisible()); // it stays open until its own Close
    QCOMPARE(techClicks.count(), 1);
    // With the modal windows gone, the About box takes clicks again.
    QVERIFY(AboutBox->isEnabled());
    systemClick(AboutBox->Button1);
    QCOMPARE(aboutClicks.count(), 1);
    QVERIFY(!AboutBox->isVisible());
}

void TestPages::enterClosesOnOpening_data()
{
    QTest::addColumn<TFormBase *>("window");
    for (TFormBase *window : {Window(Form8), Window(Form9), Window(Form10), Window(Form11),
             Window(Form12), Window(Form13), Window(Form7)})
        QTest::newRow(qPrintable(window->objectName())) << window;
}

void TestPages::enterClosesOnOpening()
{
    QFETCH(TFormBase *, window);
    QWidget *focused = nullptr;
    const bool closed = runModal(window, [&] {
        focused = window->focusWidget();
        QTest::keyClick(focused, Qt::Key_Return);
    });
    QCOMPARE(focused, closeButtonOf(window));
    QVERIFY(closed);
    QVERIFY(!window->isVisible());

    // The About box, shown without a modal loop.
    AboutBox->show();
    QVERIFY(QTest::qWaitForWindowActive(AboutBox));
    QTest::keyClick(AboutBox->focusWidget(), Qt::Key_Enter);
    QVERIFY(!AboutBox->isVisible());
}

void TestPages::escapeClosesNothing_data()
{
    enterClosesOnOpening_data();
    QTest::newRow("AboutBox") << Window(AboutBox);
}

void TestPages::escapeClosesNothing()
{
    QFETCH(TFormBase *, window);
    bool stillOpen = false;
    const auto pressEscape = [&] {
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Escape);
        QCoreApplication::processEvents();
        stillOpen = window->isVisible();
        window->close();
    };
    if (window == AboutBox) {
        AboutBox->show();
        QVERIFY(QTest::qWaitForWindowActive(AboutBox));
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
    AboutBox->show();
    QVERIFY(QTest::qWaitForWindowActive(AboutBox));
    QTest::keyClick(AboutBox->Panel1, Qt::Key_Return);
    QVERIFY(!AboutBox->isVisible());

    AboutBox->show();
    QVERIFY(QTest::qWaitForWindowActive(AboutBox));
    AboutBox->Button2->setFocus();
    bool techOpened = false;
    OnModal(Form8, [&] {
        techOpened = true;
        Form8->close();
    });
    QTest::keyClick(AboutBox->Button2, Qt::Key_Return);
    QVERIFY(techOpened);
    QVERIFY(AboutBox->isVisible());
    AboutBox->Button1->setFocus();
}

ZEMRA_TEST_MAIN(TestPages)
#include "tst_pages.moc"
