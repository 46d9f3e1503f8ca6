#include "DataCopy.h"
#include "FolderLock.h"
#include "TestSupport.h"
#include "ZemraApplication.h"

#include <QDir>
#include <QFile>
#include <QTest>

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

ZEMRA_TEST_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
