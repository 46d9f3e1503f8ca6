#include "DataCopy.h"
#include "FolderLock.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

// Files the program may not write are left alone, whoever runs it: checked as an unprivileged
// user, since root may write anywhere.
class TestFileSafety : public QObject
{
    Q_OBJECT
private slots:
    void dataFileIsEmptiedOnlyWhenItCanBeReplaced_data();
    void dataFileIsEmptiedOnlyWhenItCanBeReplaced();
    void folderThatCannotBeLockedIsNamed();
    void interruptedCopyIsTakenBackAtStart_data();
    void interruptedCopyIsTakenBackAtStart();
};

void TestFileSafety::dataFileIsEmptiedOnlyWhenItCanBeReplaced_data()
{
    QTest::addColumn<QString>("name"); // in a folder of nobody's own, or in "locked"
    QTest::addColumn<QString>("refusal"); // empty when FileOpen and DataCopy succeed
    QTest::newRow("folder that nobody may write")
        << "locked/flight.dat"
        << "Cannot create \"locked/flight.dat\": DataCopy could not replace it in its folder "
           "(Permission denied), so it was left as it was";
    QTest::newRow("250-character name") << QString(246, QLatin1Char('f')) + ".dat" << QString();
}

void TestFileSafety::dataFileIsEmptiedOnlyWhenItCanBeReplaced()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    TempWorkDir dir;
    // The working folder is nobody's; "locked" belongs to root, who alone may write it, and
    // holds a data file that nobody may write.
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(::chown(".", 65534, 65534) == 0);
    QVERIFY(QDir().mkdir(QStringLiteral("locked")));
    WriteFile(name, "earlier read-out");
    QVERIFY(::chown(QFile::encodeName(name).constData(), 65534, 65534) == 0);

    const int status = RunAsNobody([&] {
        DataCopy copy;
        const Result opened = copy.openDataFile(name);
        if (opened.message() != refusal)
            return 10;
        if (!refusal.isEmpty())
            return ReadAll(name) == "earlier read-out" ? 0 : 11;
        if (!copy.copy(DemonstrationRecord, {}).ok())
            return 12;
        return ReadAll(name) == DemonstrationFileBytes() ? 0 : 13;
    });
    QCOMPARE(status, 0);
    // Nothing left beside it.
    QCOMPARE(QDir(QStringLiteral("locked")).entryList(QDir::Files | QDir::Hidden).size(),
        name.startsWith(QLatin1String("locked/")) ? 1 : 0);
}

void TestFileSafety::folderThatCannotBeLockedIsNamed()
{
    // Writable and searchable, but not readable: the folder's lock cannot be taken.
    TempWorkDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(QDir().mkdir(QStringLiteral("work")));
    QVERIFY(::chown("work", 65534, 65534) == 0);
    QVERIFY(::chmod("work", 0300) == 0);
    const int status = RunAsNobody([] {
        if (!QDir::setCurrent(QStringLiteral("work")))
            return 10;
        const FolderLock lock;
        if (lock.heldByAnotherCopy())
            return 11;
        return lock.failure()
                == QStringLiteral("the folder cannot be opened for reading: Permission denied")
            ? 0
            : 12;
    });
    QCOMPARE(status, 0);
}

void TestFileSafety::interruptedCopyIsTakenBackAtStart_data()
{
    const QByteArray one = DemonstrationFileBytes();
    const QByteArray two = one + one;
    const QByteArray three = two + one;
    QTest::addColumn<QByteArray>("intermediate"); // "dane.txt" as the kill left it
    QTest::addColumn<QByteArray>("data"); // the data file as the kill left it
    QTest::addColumn<qint64>("before"); // the journal's length before the append, -1: none
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("after"); // "dane.txt" after the start; empty: removed

    const qint64 size = one.size();
    QTest::newRow("killed before the rename")
        << three << QByteArray() << 2 * size << int(InterruptedCopy::TakenBack) << two;
    QTest::newRow("killed at the sync of the first copy")
        << one << QByteArray() << qint64(-1) << int(InterruptedCopy::TakenBack) << QByteArray();
    QTest::newRow("killed after the rename")
        << three << three << 2 * size << int(InterruptedCopy::Finished) << three;
    QTest::newRow("killed before the append")
        << two << QByteArray() << 2 * size << int(InterruptedCopy::LeftAlone) << two;
    QTest::newRow("changed since by another program")
        << three + one << QByteArray() << 2 * size << int(InterruptedCopy::LeftAlone)
        << three + one;
}

void TestFileSafety::interruptedCopyIsTakenBackAtStart()
{
    QFETCH(QByteArray, intermediate);
    QFETCH(QByteArray, data);
    QFETCH(qint64, before);
    QFETCH(int, outcome);
    QFETCH(QByteArray, after);
    TempWorkDir dir;
    const qint64 recordBytes = DemonstrationFileBytes().size();
    const QString dataFile = QDir(dir.path()).filePath(QStringLiteral("data.dat"));
    WriteFile(IntermediateFileName, intermediate);
    WriteFile(dataFile, data);
    WriteFile(CopyJournalName,
        QByteArray::number(before) + '\n'
            + QByteArray::number(std::max<qint64>(before, 0) + recordBytes) + '\n'
            + QFile::encodeName(dataFile) + '\n');

    QCOMPARE(int(RecoverInterruptedCopy()), outcome);
    QCOMPARE(QFile::exists(IntermediateFileName), !after.isEmpty());
    if (!after.isEmpty())
        QCOMPARE(ReadAll(IntermediateFileName), after);
    QCOMPARE(ReadAll(dataFile), data);
    QVERIFY(!QFile::exists(CopyJournalName));
    QCOMPARE(int(RecoverInterruptedCopy()), int(InterruptedCopy::None));
}

ZEMRA_TEST_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
