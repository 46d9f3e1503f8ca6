#include "AboutBox.h"
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

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {
QList<FormBase *> windows()
{
    return {&programWindows().mainWindow(), &programWindows().dataCopyWindow(),
        &programWindows().spectrumWindow(), &programWindows().chartWindow(),
        &programWindows().recorderResetWindow(), &programWindows().timersWindow(),
        &programWindows().aboutBox(), &programWindows().techInfoWindow(),
        &programWindows().infoPage(InfoPage::Application),
        &programWindows().infoPage(InfoPage::GeneralView),
        &programWindows().infoPage(InfoPage::Dimension),
        &programWindows().infoPage(InfoPage::SignalClassification),
        &programWindows().infoPage(InfoPage::TechnicalData),
        &programWindows().infoPage(InfoPage::Contact)};
}

// Everything a handler could leave behind: files, field texts, grid cells.
struct Snapshot
{
    QMap<QString, QByteArray> files;
    QStringList texts;
    QStringList cells;

    explicit Snapshot(FormBase *window)
    {
        for (const QString &name : QDir::current().entryList(QDir::Files))
            files.insert(name, ReadAll(name));
        for (const QLineEdit *edit : window->findChildren<QLineEdit *>())
            texts << edit->text();
        for (const QTableWidget *grid : window->findChildren<QTableWidget *>()) {
            for (int row = 0; row < grid->rowCount(); ++row) {
                for (int column = 0; column < grid->columnCount(); ++column)
                    cells << grid->item(row, column)->text();
            }
        }
    }
};

QStringList defaultButtons(FormBase *window)
{
    QStringList captions;
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->isDefault())
            captions << button->text();
    }
    return captions;
}
} // namespace

// Every window of the program as start-up builds it: Enter in a field, a grid or a memo presses
// no button; Enter on a button presses that one.
class TestEnterKey : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void enterPressesOnlyTheFocusedButton_data();
    void enterPressesOnlyTheFocusedButton();
    void buttonThatEnterPressesIsMarkedOnOpening();

private:
    // Sends `keys` to the focus widget and names what happened: a modal window (dismissed),
    // another window shown, this one hidden, files or fields changed, bytes on a port.
    QStringList effectsOf(FormBase *window, const std::function<void()> &keys);

    TempWorkDir *m_dir = nullptr;
    PseudoTerminal *m_com1 = nullptr;
    PseudoTerminal *m_com2 = nullptr;
};

void TestEnterKey::initTestCase()
{
    m_dir = new TempWorkDir;
    m_com1 = new PseudoTerminal;
    m_com2 = new PseudoTerminal;
    // A working copy, so that the chart paints without a message.
    WriteFile(QStringLiteral("bufor.txt"), DemonstrationFileBytes());
    StartupOptions options;
    options.ports.devices
        = {{QStringLiteral("COM1"), m_com1->path()}, {QStringLiteral("COM2"), m_com2->path()}};
    MakeWindows(options);
}

void TestEnterKey::cleanupTestCase()
{
    DropWindows();
    delete m_com2;
    delete m_com1;
    delete m_dir;
}

QStringList TestEnterKey::effectsOf(FormBase *window, const std::function<void()> &keys)
{
    const Snapshot before(window);
    QSet<QWidget *> shownBefore;
    for (FormBase *form : windows()) {
        if (form->isVisible())
            shownBefore.insert(form);
    }

    QStringList effects;
    QTimer dismiss;
    dismiss.setInterval(5);
    connect(&dismiss, &QTimer::timeout, [&effects] {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible())
            return;
        auto *box = qobject_cast<QMessageBox *>(modal);
        effects << (box ? QStringLiteral("box ") + box->text()
                        : QStringLiteral("modal ") + modal->metaObject()->className());
        modal->reject();
    });
    dismiss.start();
    keys();
    QCoreApplication::processEvents(); // what a handler posted runs now, while watched
    dismiss.stop();

    if (!window->isVisible())
        effects << QStringLiteral("hidden");
    for (FormBase *form : windows()) {
        if (form->isVisible() && !shownBefore.contains(form))
            effects << QStringLiteral("shown ") + form->metaObject()->className();
    }
    const Snapshot after(window);
    for (const QString &name : before.files.keys() + after.files.keys()) {
        if (before.files.value(name, "none") != after.files.value(name, "none"))
            effects << QStringLiteral("file ") + name;
    }
    for (int i = 0; i < after.texts.size(); ++i) {
        if (after.texts[i] != before.texts.value(i))
            effects << QStringLiteral("text ") + after.texts[i];
    }
    if (after.cells != before.cells)
        effects << QStringLiteral("grid");
    for (PseudoTerminal *port : {m_com1, m_com2}) {
        const QByteArray sent = port->received();
        if (!sent.isEmpty())
            effects << QStringLiteral("port ") + QString::fromLatin1(sent);
    }
    effects.removeDuplicates();
    return effects;
}

void TestEnterKey::enterPressesOnlyTheFocusedButton_data()
{
    QTest::addColumn<int>("index"); // into windows()
    QTest::addColumn<QString>("focused"); // the button with the focus on opening
    QTest::addColumn<QStringList>("pressed"); // what Enter on it does
    const QStringList hidden {QStringLiteral("hidden")};
    QTest::newRow("main") << 0 << "&DataCopy" << QStringList {"modal DataCopyWindow"};
    QTest::newRow("data copy") << 1 << "&OpenCom" << QStringList {"text COM1"};
    QTest::newRow("spectrum") << 2 << "&Open File" << QStringList {"modal QFileDialog"};
    QTest::newRow("graphic spectrum") << 3 << "&Close" << hidden;
    QTest::newRow("recorder reset") << 4 << "Yes" << QStringList {"port 5"};
    QTest::newRow("timers") << 5 << "&Time" << QStringList {"text 252.166666666667", "text 344"};
    QTest::newRow("About") << 6 << "&Close" << hidden;
    QTest::newRow("technical information") << 7 << "&Close" << hidden;
    QTest::newRow("Application") << 8 << "&Close" << hidden;
    QTest::newRow("General view") << 9 << "&Close" << hidden;
    QTest::newRow("Dimension") << 10 << "&Close" << hidden;
    QTest::newRow("Signal classification") << 11 << "&Close" << hidden;
    QTest::newRow("Technical data") << 12 << "&Close" << hidden;
    QTest::newRow("contact") << 13 << "&Close" << hidden;
}

void TestEnterKey::enterPressesOnlyTheFocusedButton()
{
    QFETCH(int, index);
    QFETCH(QString, focused);
    QFETCH(QStringList, pressed);
    FormBase *window = windows().at(index);
    const QStringList declaredDefault = window == &programWindows().aboutBox()
        ? QStringList {QStringLiteral("&Close")}
        : QStringList {};

    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
    QVERIFY(button);
    QCOMPARE(button->text(), focused);
    QCOMPARE(defaultButtons(window), declaredDefault);
    if (window == &programWindows().dataCopyWindow()) {
        // A finished data file, which a FileOpen would empty again.
        Control<QLineEdit>(&programWindows().dataCopyWindow(), "fileNameEdit")
            ->setText(QStringLiteral("flight.dat"));
        Control<QPushButton>(&programWindows().dataCopyWindow(), "fileOpenButton")->click();
        Control<QPushButton>(&programWindows().dataCopyWindow(), "dataCopyButton")->click();
        QCOMPARE(ReadAll(QStringLiteral("flight.dat")), DemonstrationFileBytes());
    }

    int swept = 0;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->window() != window || qobject_cast<QPushButton *>(control)
            || control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(window))
            continue;
        control->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), control);
        const QStringList effects = effectsOf(window, [control] {
            QTest::keyClick(control, Qt::Key_Return);
            QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        });
        QVERIFY2(effects.isEmpty(),
            qPrintable(QStringLiteral("Enter in a %1: %2")
                           .arg(control->metaObject()->className(), effects.join(", "))));
        QCOMPARE(defaultButtons(window), declaredDefault);
        ++swept;
    }
    // Fields, grids and memos of the windows that have them were all reached.
    const QMap<FormBase *, int> controls {{&programWindows().dataCopyWindow(), 5},
        {&programWindows().spectrumWindow(), 3}, {&programWindows().timersWindow(), 2},
        {&programWindows().infoPage(InfoPage::Application), 1},
        {&programWindows().infoPage(InfoPage::SignalClassification), 1},
        {&programWindows().infoPage(InfoPage::TechnicalData), 1},
        {&programWindows().infoPage(InfoPage::Contact), 1}};
    QCOMPARE(swept, controls.value(window, 0));
    QCOMPARE(ReadAll(QStringLiteral("bufor.txt")), DemonstrationFileBytes());

    button->setFocus(Qt::TabFocusReason);
    const QStringList effects
        = effectsOf(window, [button] { QTest::keyClick(button, Qt::Key_Return); });
    QCOMPARE(effects, pressed);
    window->hide();
}

// With no default frame on it, the focused button shows its focus frame as the window opens,
// before any Tab.
void TestEnterKey::buttonThatEnterPressesIsMarkedOnOpening()
{
    programWindows().timersWindow().show();
    QApplication::setActiveWindow(&programWindows().timersWindow());
    QVERIFY(QTest::qWaitForWindowActive(&programWindows().timersWindow()));
    QVERIFY(Control<QPushButton>(&programWindows().timersWindow(), "timeButton")->hasFocus());
    const QImage focused
        = Control<QPushButton>(&programWindows().timersWindow(), "timeButton")->grab().toImage();
    Control<QPushButton>(&programWindows().timersWindow(), "closeButton")
        ->setFocus(Qt::OtherFocusReason);
    const QImage unfocused
        = Control<QPushButton>(&programWindows().timersWindow(), "timeButton")->grab().toImage();
    programWindows().timersWindow().hide();
    QVERIFY(focused != unfocused);
}

ZEMRA_TEST_MAIN(TestEnterKey)

#include "tst_enterkey.moc"
