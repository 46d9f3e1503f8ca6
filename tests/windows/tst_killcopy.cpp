#include "CounterRecord.h"
#include "DataCopyWindow.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "WindowOwner.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {
const QString DataFileName = QStringLiteral("data.dat");

// The program through its real start-up, with the data copy window open and a DataCopy into
// "data.dat" after another for as long as it runs; "copied" is printed after each.
int runCopies(int argc, char **argv)
{
    ZemraApplication app(argc, argv);
    QTimer copier;
    copier.setInterval(0);
    QObject::connect(&copier, &QTimer::timeout, [] {
        if (!programWindows().dataCopyWindow().isVisible())
            return;
        Control<QLineEdit>(&programWindows().dataCopyWindow(), "fileNameEdit")
            ->setText(DataFileName);
        programWindows().dataCopyWindow().openDataFile();
        programWindows().dataCopyWindow().copyData();
        if (!Control<QLineEdit>(&programWindows().dataCopyWindow(), "dateEdit")->text().isEmpty()) {
            Control<QLineEdit>(&programWindows().dataCopyWindow(), "dateEdit")->clear();
            std::puts("copied");
            std::fflush(stdout);
        }
    });
    copier.start();
    QTimer::singleShot(
        0, [] { Control<QPushButton>(&programWindows().mainWindow(), "dataCopyButton")->click(); });
    return RunApplication(app, programWindows());
}
} // namespace

// Whatever ends the program in the middle of a DataCopy, the data file holds whole records:
// none (as FileOpen left it) or all of "dane.txt".
class TestKillCopy : public QObject
{
    Q_OBJECT
private slots:
    void signalDuringDataCopy_data();
    void signalDuringDataCopy();
};

void TestKillCopy::signalDuringDataCopy_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGKILL") << int(SIGKILL);
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestKillCopy::signalDuringDataCopy()
{
    QFETCH(int, signal);
    constexpr int RecordBytes = 132;
    // Large enough that a copy takes a while, so that most signals land in one.
    const QByteArray records = DemonstrationFileBytes().repeated(100000);
    // The signal lands at a different point of a copy in each round.
    for (const int delay : {0, 7, 19, 31}) {
        TempWorkDir dir;
        WriteFile(IntermediateFileName, records);
        QProcess program;
        program.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--copies")});
        QVERIFY(program.waitForStarted(20000));
        QVERIFY2(program.waitForReadyRead(60000), "the program made no copy");
        QThread::msleep(delay);
        ::kill(program.processId(), signal);
        QVERIFY2(program.waitForFinished(60000), "the program did not end");
        if (signal == SIGKILL) {
            QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        } else {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }

        const QByteArray intermediate = ReadAll(IntermediateFileName);
        const QByteArray data = ReadAll(DataFileName);
        QCOMPARE(intermediate.size() % RecordBytes, 0);
        QVERIFY(intermediate.startsWith(records));
        QVERIFY2(data.size() % RecordBytes == 0,
            qPrintable(QStringLiteral("a data file of %1 bytes").arg(data.size())));
        QVERIFY(intermediate.startsWith(data));
        if (signal != SIGKILL) {
            // Ended between two writes: the copy under way was taken back whole.
            QVERIFY(data.isEmpty() || data == intermediate);
            QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
                QStringList({IntermediateFileName, DataFileName}));
        }
    }
}

int main(int argc, char **argv)
{
    KeepOffRealPorts();
    if (argc > 1 && std::strcmp(argv[1], "--copies") == 0)
        return runCopies(argc, argv);
    ZemraApplication app(argc, argv);
    TestKillCopy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killcopy.moc"
