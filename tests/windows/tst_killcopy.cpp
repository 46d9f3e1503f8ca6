#include "CounterRecord.h"
#include "DataCopy.h"
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
#include <cstdlib>
#include <cstring>

namespace {
const QString DataFileName = QStringLiteral("data.dat");

void startProgram(QProcess &program, const QString &folder, const QStringList &arguments)
{
    program.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(), arguments);
}

// The program through its real start-up, with the data copy window open and a DataCopy into
// "data.dat" after another for as long as it runs; "copied" is printed after each. With `once`,
// the program ends after the first copy.
int runCopies(int argc, char **argv, bool once)
{
    ZemraApplication app(argc, argv);
    QTimer copier;
    copier.setInterval(0);
    QObject::connect(&copier, &QTimer::timeout, [once] {
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
            // The copy is whole and closed: nothing is left to finish.
            if (once)
                std::_Exit(0);
        }
    });
    copier.start();
    QTimer::singleShot(
        0, [] { Control<QPushButton>(&programWindows().mainWindow(), "dataCopyButton")->click(); });
    return RunApplication(app, programWindows());
}

// A DataCopy into "data.dat" that SIGKILL ends at a chosen piece of the data file's content:
// after the append to "dane.txt", before the data file is renamed into place.
int killInCopy(const char *where)
{
    DataCopy copy;
    if (!copy.openDataFile(DataFileName).ok())
        return 3;
    const QByteArray at(where);
    copy.copy(DemonstrationRecord, [at](qint64 done, qint64 total) {
        constexpr qint64 Piece = 64 * 1024;
        if (at == "first" || (at == "middle" && done >= total / 2)
            || (at == "last" && done + Piece >= total))
            ::raise(SIGKILL);
        return true;
    });
    return 4;
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
    void retryAfterAKillHoldsTheReadOutOnce_data();
    void retryAfterAKillHoldsTheReadOutOnce();
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
        startProgram(program, dir.path(), {QStringLiteral("--copies")});
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

void TestKillCopy::retryAfterAKillHoldsTheReadOutOnce_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("first piece") << QStringLiteral("first");
    QTest::newRow("middle piece") << QStringLiteral("middle");
    QTest::newRow("last piece, before the sync and rename") << QStringLiteral("last");
}

void TestKillCopy::retryAfterAKillHoldsTheReadOutOnce()
{
    QFETCH(QString, where);
    const QByteArray record = DemonstrationFileBytes();
    const QByteArray records = record.repeated(2000);
    TempWorkDir dir;
    WriteFile(IntermediateFileName, records);
    QProcess killed;
    startProgram(killed, dir.path(), {QStringLiteral("--kill-in-copy"), where});
    QVERIFY(killed.waitForFinished(60000));
    QCOMPARE(killed.exitStatus(), QProcess::CrashExit);
    QCOMPARE(ReadAll(IntermediateFileName), records + record);
    QVERIFY(ReadAll(DataFileName).isEmpty());

    // The next start takes the killed copy's read-out back; the retry appends it once.
    QProcess retry;
    startProgram(retry, dir.path(), {QStringLiteral("--copy-once")});
    QVERIFY(retry.waitForFinished(120000));
    QCOMPARE(retry.exitStatus(), QProcess::NormalExit);
    QCOMPARE(retry.readAllStandardOutput(), QByteArray("copied\n"));
    const QByteArray data = ReadAll(DataFileName);
    QCOMPARE(data.size() / record.size(), records.size() / record.size() + 1);
    QCOMPARE(data, records + record);
    QCOMPARE(ReadAll(IntermediateFileName), data);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
        QStringList({IntermediateFileName, DataFileName}));
}

int main(int argc, char **argv)
{
    KeepOffRealPorts();
    if (argc > 1 && std::strcmp(argv[1], "--copies") == 0)
        return runCopies(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--copy-once") == 0)
        return runCopies(argc, argv, true);
    if (argc > 2 && std::strcmp(argv[1], "--kill-in-copy") == 0)
        return killInCopy(argv[2]);
    ZemraApplication app(argc, argv);
    TestKillCopy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killcopy.moc"
