#pragma once

#include "CounterRecord.h"

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class WindowOwner;
struct StartupOptions;

// A fresh temporary directory made the current one for the lifetime of the object.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A window's control by its object name, the name of its role; the test stops when the
// window has no such control.
QObject *FindControl(const QObject *window, const char *name, const QMetaObject &type);
template<class Type = QWidget> Type *Control(const QObject *window, const char *name)
{
    return static_cast<Type *>(FindControl(window, name, Type::staticMetaObject));
}

// One window of a kind in a fresh working folder, made anew for each test function:
// make() in init(), reset() in cleanup().
template<class Window> class WindowFixture
{
public:
    template<class... Arguments> Window *make(Arguments &&...arguments)
    {
        m_dir = std::make_unique<TempWorkDir>();
        m_window = std::make_unique<Window>(std::forward<Arguments>(arguments)...);
        return m_window.get();
    }
    void reset()
    {
        m_window.reset();
        m_dir.reset();
    }
    Window *get() const { return m_window.get(); }
    Window *operator->() const { return m_window.get(); }
    operator Window *() const { return m_window.get(); }
    const TempWorkDir &dir() const { return *m_dir; }

private:
    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<Window> m_window;
};

// The program's windows for tests that need several of them, owned as the program owns them:
// made on first use, kept until DropWindows() (in cleanup()).
WindowOwner &programWindows();
void MakeWindows(const StartupOptions &options);
void DropWindows();

struct SeenMessageBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Runs `action`; every message box that appears meanwhile, in nested loops too, is recorded as
// the user sees it and dismissed with its OK button.
QList<SeenMessageBox> CollectMessageBoxes(const std::function<void()> &action);

// Calls `handler` from the event loop as soon as `widget` is the active modal window. Used
// before the call that shows it modally; the handler is expected to close it.
void OnModal(QWidget *widget, std::function<void()> handler);

QByteArray ReadAll(const QString &fileName);
void WriteFile(const QString &fileName, const QByteArray &bytes);
// A data file holding `records` one after the other, as the program writes them.
void WriteRecordsFile(const QString &fileName, const QList<CounterRecord> &records);

// The demonstration record's data file: 22 lines "%04x" with CR LF.
QByteArray DemonstrationFileBytes();

// Running totals of a made-up spectrum (not real data): `n` counts a weight at each level over
// `hours` of active time. The top levels stay at zero unless `top`, a count at the highest
// level, beyond any limit load.
CounterRecord MadeUpTotals(int n, int hours, bool top = false);

// Ends the test process with a message when `seconds` pass before the object is destroyed, so
// that a call which blocks (a FIFO opened for reading, say) fails the test instead of hanging it.
class Watchdog
{
public:
    explicit Watchdog(unsigned seconds = 20);
    ~Watchdog();
};

// A small RAM disk mounted on a fresh folder, in a mount namespace of the calling thread's own
// (made once per process), so nothing outside the test sees it. Needs the right to mount; when
// that is missing, ready() is false and reason() says why.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    bool ready() const { return m_reason.isEmpty(); }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Takes up every free byte with the file "filler".
    void fill();

private:
    QTemporaryDir m_dir;
    QString m_reason;
};

// A FIFO ("FIFO") or a device node of /dev/zero's own ("/dev/zero") made at `name`: a private
// node, so that a program that wrongly replaced it would not replace the system's. False when
// it cannot be made here (making device nodes needs root).
bool MakeSpecialFile(const QString &kind, const QString &name);

// Runs `body` in a child process as the unprivileged user "nobody", so that permissions hold
// even when the tests run as root; gives the child's exit status (`body`'s result), or -1 when
// the child could not be made or did not end normally. The child touches no window.
int RunAsNobody(const std::function<int()> &body);

// A test main that runs the test object under the program's own application class, so that
// fonts, the error box and the title are those of the program.
// Maps COM1 and COM2 to devices that do not exist and hides the user's settings file, so that
// no test can reach the machine's real serial ports by default. A test that wants a port maps
// it itself.
void KeepOffRealPorts();

#define ZEMRA_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        KeepOffRealPorts();                                                                        \
        ZemraApplication app(argc, argv);                                                          \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
