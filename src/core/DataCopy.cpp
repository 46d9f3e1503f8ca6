#include "DataCopy.h"

#include <QFile>

#include <fcntl.h>

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
} // namespace

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

    const AppendResult appended = AppendCounterRecord(IntermediateFileName, record);
    if (!appended.ok())
        return {appended.failure() == Result::Invalid ? Result::Invalid : Result::Failed,
            appended.message()};

    const Result copied = m_dataFile.copyFrom(IntermediateFileName, appended.sizeAfter, progress);
    if (!copied.ok())
        return {Result::Failed, copied.message() + QLatin1Char('\n') + takeBackAppend(appended)};
    closeDataFile();
    return {};
}
