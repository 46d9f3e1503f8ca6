#include "TestSupport.h"
#include "app/Forms.h"
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
#include "record/uRecorderReset1_1.h"
#include "spectrum/uSpectrum1_1.h"
#include "spectrum/uTimers1_1.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {
// A pseudo-terminal standing in for a serial port; what the program sends arrives at the master.
struct PseudoTerminal
{
    int master = -1;
    int slave = -1;
    QString path;

    PseudoTerminal()
    {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        ::close(master);
        ::close(slave);
    }
    QByteArray received() const
    {
        QByteArray bytes;
        char buffer[256];
        for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, got);
        return bytes;
    }
};

QList<TFormBase *> windows()
{
    return {Form1, Form2, Form3, Form4, Form5, Form6, AboutBox, Form8, Form9, Form10, Form11,
        Form12, Form13, Form7};
}

// Everything a handler could leave behind: files, field texts, grid cells.
struct Snapshot
{
    QMap<QString, QByteArray> files;
    QStringList texts;
    QStringList cells;

    explicit Snapshot(TFormBase *window)
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

QStringList defaultButtons(TFormBase *window)
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
    QStringList effectsOf(TFormBase *window, const std::function<void()> &keys);

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
    options.ports
        = {{QStringLiteral("COM1"), m_com1->path}, {QStringLiteral("COM2"), m_com2->path}};
    CreateForms(options);
}

void TestEnterKey::cleanupTestCase()
{
    DestroyForms();
    delete m_com2;
    delete m_com1;
    delete m_dir;
}

QStringList TestEnterKey::effectsOf(TFormBase *window, const std::function<void()> &keys)
{
    const Snapshot before(window);
    QSet<QWidget *> shownBefore;
    for (TFormBase *form : windows()) {
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
    for (TFormBase *form : windows()) {
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
    QTest::newRow("main") << 0 << "&DataCopy" << QStringList {"modal TForm2"};
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
    TFormBase *window = windows().at(index);
    const QStringList declaredDefault
        = window == AboutBox ? QStringList {QStringLiteral("&Close")} : QStringList {};

    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
    QVERIFY(button);
    QCOMPARE(button->text(), focused);
    QCOMPARE(defaultButtons(window), declaredDefault);
    if (window == Form2) {
        // A finished data file, which a FileOpen would empty again.
        Form2->Edit2->setText(QStringLiteral("flight.dat"));
        Form2->Button5->click();
        Form2->Button3->click();
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
    const QMap<TFormBase *, int> controls {
        {Form2, 5}, {Form3, 3}, {Form6, 2}, {Form9, 1}, {Form12, 1}, {Form13, 1}, {Form7, 1}};
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
    Form6->show();
    QApplication::setActiveWindow(Form6);
    QVERIFY(QTest::qWaitForWindowActive(Form6));
    QVERIFY(Form6->Button2->hasFocus());
    const QImage focused = Form6->Button2->grab().toImage();
    Form6->Button1->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = Form6->Button2->grab().toImage();
    Form6->hide();
    QVERIFY(focused != unfocused);
}

ZEMRA_TEST_MAIN(TestEnterKey)

#include "tst_enterkey.moc"
