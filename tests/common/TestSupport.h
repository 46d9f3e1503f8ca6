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

// A test main that runs the test object under the program's own application class, so that
// fonts, the error box and the title are those of the program.
#define ZEMRA_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        ZemraApplication app(argc, argv);                                                          \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
