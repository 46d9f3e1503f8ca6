#include "FolderLock.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QProcess>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <sys/file.h>

namespace {
// Starts this test's executable as a first copy of the program, through the real start-up, in
// `folder`; it reports "running" once its main window is up and ends as the frame's close ends
// it when a line arrives on its input.
bool startFirstCopy(QProcess &process, const QString &folder)
{
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-copy")});
    return process.waitForStarted(20000) && process.waitForReadyRead(20000)
        && process.readAll().contains("running");
}

int runFirstCopy(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    QSocketNotifier input(fileno(stdin), QSocketNotifier::Read);
    QObject::connect(
        &input, &QSocketNotifier::activated, [] { programWindows().mainWindow().close(); });
    QTimer::singleShot(0, [] {
        std::puts(programWindows().mainWindow().isVisible() ? "running" : "no main window");
        std::fflush(stdout);
    });
    return RunApplication(app, programWindows());
}

struct Run
{
    int result = -1;
    QList<SeenMessageBox> boxes;
    bool mainWindowShown = false;
    qsizetype windowsMade = 0;
};

// The whole program in this process, in the current folder; its main window, if it comes,
// is closed through the frame at once.
Run runProgram()
{
    Run run;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&run] {
        if (!programWindows().windows().isEmpty() && programWindows().mainWindow().isVisible()) {
            run.mainWindowShown = true;
            programWindows().mainWindow().close();
        }
    });
    closer.start();
    auto *app = qobject_cast<ZemraApplication *>(QCoreApplication::instance());
    run.boxes = CollectMessageBoxes([&] { run.result = RunApplication(*app, programWindows()); });
    run.windowsMade = programWindows().windows().size();
    DropWindows();
    return run;
}
} // namespace

// One copy of the program per working folder.
class TestFolderLock : public QObject
{
    Q_OBJECT
private slots:
    void oneCopyPerFolder();
    void staleTemporariesAreRemovedAtStart();
};

void TestFolderLock::oneCopyPerFolder()
{
    TempWorkDir dir;
    WriteFile(QStringLiteral("dane.txt"), DemonstrationFileBytes());
    QProcess first;
    QVERIFY2(startFirstCopy(first, dir.path()), qPrintable(first.readAllStandardError()));

    const Run second = runProgram();
    QCOMPARE(second.result, FolderInUseExitCode);
    QVERIFY(!second.mainWindowShown);
    QCOMPARE(second.windowsMade, 0);
    QCOMPARE(second.boxes.size(), 1);
    QCOMPARE(second.boxes[0].title, ApplicationTitle());
    QCOMPARE(second.boxes[0].text,
        QStringLiteral("Another copy of the program is working in this folder:\n%1\nOnly one copy "
                       "at a time can use a folder's working files; this copy ends.")
            .arg(QDir::toNativeSeparators(QDir::currentPath())));
    QCOMPARE(
        QDir().entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("dane.txt")});
    QCOMPARE(ReadAll(QStringLiteral("dane.txt")), DemonstrationFileBytes());

    // Beside the first copy, one in another folder runs.
    {
        TempWorkDir other;
        const Run elsewhere = runProgram();
        QCOMPARE(elsewhere.result, 0);
        QVERIFY(elsewhere.mainWindowShown);
        QVERIFY(elsewhere.boxes.isEmpty());
    }

    // The first copy went on meanwhile and ends as usual; then the folder is free again.
    QCOMPARE(first.state(), QProcess::Running);
    first.write("end\n");
    first.closeWriteChannel();
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    const Run later = runProgram();
    QCOMPARE(later.result, 0);
    QVERIFY(later.mainWindowShown);
    QVERIFY(later.boxes.isEmpty());
}

void TestFolderLock::staleTemporariesAreRemovedAtStart()
{
    TempWorkDir dir;
    // Left by a killed run: nobody holds their locks.
    WriteFile(QStringLiteral(".zemra-Ab12Cd.tmp"), QByteArray(1000, 'x'));
    WriteFile(QStringLiteral(".zemra-zz99zz.tmp"), "x");
    // One still being written (its writer holds the lock), and files that only look alike.
    WriteFile(QStringLiteral(".zemra-HELD00.tmp"), "x");
    QFile held(QStringLiteral(".zemra-HELD00.tmp"));
    QVERIFY(held.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
    WriteFile(QStringLiteral("zemra-Ab12Cd.tmp"), "mine");
    WriteFile(QStringLiteral(".zemra-notes.txt"), "mine");
    QVERIFY(QDir().mkdir(QStringLiteral(".zemra-dir000.tmp")));

    const Run run = runProgram();
    QCOMPARE(run.result, 0);
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        QStringList(
            {".zemra-HELD00.tmp", ".zemra-dir000.tmp", ".zemra-notes.txt", "zemra-Ab12Cd.tmp"}));
}

int main(int argc, char **argv)
{
    KeepOffRealPorts();
    if (argc > 1 && std::strcmp(argv[1], "--first-copy") == 0)
        return runFirstCopy(argc, argv);
    ZemraApplication app(argc, argv);
    TestFolderLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_folderlock.moc"
