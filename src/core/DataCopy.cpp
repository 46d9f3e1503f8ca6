#include "DataCopy.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>

namespace {
// Takes the record just appended back out, so that a failed copy leaves no trace; says what
// became of the file. Only a file that still has the length the append left is cut back (or
// removed, when the append created it): one that changed meanwhile is someone else's now.
QString takeBackAppend(const AppendResult &appended)
{
    RegularFile file;
    bool changed = false;
    bool restored = false;
    if (OpenOwnFile(file, IntermediateFileName, O_WRONLY).ok()) {
        changed = file.size() != appended.sizeAfter;
        if (!changed && appended.created) {
            file.close();
            restored = QFile::remove(IntermediateFileName);
        } else if (!changed) {
            restored = file.resize(appended.sizeBefore);
        }
    }
    if (restored)
        return QStringLiteral("\"%1\" was left as it was.").arg(IntermediateFileName);
    if (changed)
        return QStringLiteral("\"%1\" was changed meanwhile by another program and was left as "
                              "it is.")
            .arg(IntermediateFileName);
    return QStringLiteral("\"%1\" still holds the record just appended.").arg(IntermediateFileName);
}
// The journal: the length of "dane.txt" before the append (-1: it was not there), its length
// after, and the data file that is to receive it.
struct Journal
{
    qint64 before = -1;
    qint64 after = 0;
    QString dataFile;
};

qint64 fileSize(const QString &name)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(name).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return -1;
    return status.st_size;
}

Result writeJournal(const Journal &journal)
{
    RegularFile file;
    Result opened = OpenOwnFile(file, CopyJournalName, O_WRONLY | O_CREAT | O_TRUNC);
    const QByteArray text = QByteArray::number(journal.before) + '\n'
        + QByteArray::number(journal.after) + '\n' + QFile::encodeName(journal.dataFile) + '\n';
    if (opened.ok() && !file.write(text.constData(), text.size()))
        opened = {Result::Failed, file.errorString()};
    if (opened.ok())
        return {};
    file.close();
    QFile::remove(CopyJournalName);
    return {Result::Failed,
        QStringLiteral("Cannot write \"%1\": %2").arg(CopyJournalName, opened.message())};
}

bool readJournal(Journal &journal)
{
    RegularFile file;
    QByteArray text;
    if (!OpenOwnFile(file, CopyJournalName, O_RDONLY).ok() || file.sizeAtOpen() > 65536
        || !file.readAll(text))
        return false;
    const QList<QByteArray> lines = text.split('\n');
    bool beforeOk = false;
    bool afterOk = false;
    if (lines.size() != 4 || !lines[3].isEmpty())
        return false;
    journal.before = lines[0].toLongLong(&beforeOk);
    journal.after = lines[1].toLongLong(&afterOk);
    journal.dataFile = QFile::decodeName(lines[2]);
    return beforeOk && afterOk && journal.after > journal.before && !journal.dataFile.isEmpty();
}

// The copy is over, whole or taken back: nothing is left to recover.
void dropJournal()
{
    QFile::remove(CopyJournalName);
}

} // namespace

InterruptedCopy RecoverInterruptedCopy()
{
    if (const QFileInfo journalFile(CopyJournalName);
        !journalFile.exists() && !journalFile.isSymLink())
        return InterruptedCopy::None;
    Journal journal;
    InterruptedCopy outcome = InterruptedCopy::LeftAlone;
    if (readJournal(journal) && fileSize(IntermediateFileName) == journal.after) {
        // The rename is the copy's last step: a data file that holds all of "dane.txt" got it.
        if (fileSize(journal.dataFile) == journal.after) {
            outcome = InterruptedCopy::Finished;
        } else {
            AppendResult appended;
            appended.created = journal.before < 0;
            appended.sizeBefore = std::max<qint64>(journal.before, 0);
            appended.sizeAfter = journal.after;
            takeBackAppend(appended);
            if (fileSize(IntermediateFileName) == journal.before)
                outcome = InterruptedCopy::TakenBack;
        }
    }
    dropJournal();
    return outcome;
}

Result DataCopy::openDataFile(const QString &name)
{
    closeDataFile();
    const QString reason = m_dataFile.open(name);
    if (reason.isEmpty())
        return {};
    closeDataFile();
    return {Result::CannotOpen, QStringLiteral("Cannot create \"%1\": %2").arg(name, reason)};
}

void DataCopy::closeDataFile()
{
    m_dataFile.close(); // releases the lock too
}

Result DataCopy::copy(const CounterRecord &record, const CopyProgress &progress)
{
    if (!m_dataFile.isOpen())
        return {Result::CannotOpen, QStringLiteral("Please open file first")};
    // A data file deleted or replaced since FileOpen would take the copy where no one sees it.
    const QString gone = m_dataFile.whatBecameOfIt();
    if (!gone.isEmpty()) {
        const QString name = m_dataFile.fileName();
        closeDataFile();
        return {Result::Failed,
            QStringLiteral("Cannot write \"%1\": %2.\nPress FileOpen to create it again.")
                .arg(name, gone)};
    }

    // Noted before the append, so that a kill anywhere before the data file is whole leaves
    // what the next start needs to take the read-out back.
    const qint64 before = fileSize(IntermediateFileName);
    const qint64 recordBytes = RecordFileBytes(record).size();
    if (const Result noted = writeJournal({before, std::max<qint64>(before, 0) + recordBytes,
            QFileInfo(m_dataFile.fileName()).absoluteFilePath()});
        !noted.ok())
        return noted;
    const AppendResult appended = AppendCounterRecord(IntermediateFileName, record);
    if (!appended.ok()) {
        dropJournal();
        return {appended.failure() == Result::Invalid ? Result::Invalid : Result::Failed,
            appended.message()};
    }

    const Result copied = m_dataFile.copyFrom(IntermediateFileName, appended.sizeAfter, progress);
    if (!copied.ok()) {
        const QString takenBack = takeBackAppend(appended);
        dropJournal();
        return {Result::Failed, copied.message() + QLatin1Char('\n') + takenBack};
    }
    dropJournal();
    closeDataFile();
    return {};
}
