#pragma once

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>

#include <functional>

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

// The demonstration record's data file: 22 lines "%04x" with CR LF.
QByteArray DemonstrationFileBytes();

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

// A test main that runs the test object under the program's own application class, so that
// fonts, the error box and the title are those of the program.
#define ZEMRA_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        ZemraApplication app(argc, argv);                                                          \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
