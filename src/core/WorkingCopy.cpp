#include "WorkingCopy.h"

#include <QFile>
#include <QFileInfo>

namespace {
// Deleting a directory entry ignores the file's own write permission on Linux; a working file
// whose owner may not write it is read-only and stays, as a read-only file would elsewhere.
void deleteUnlessReadOnly(const QString &name)
{
    const QFileInfo file(name);
    if (file.exists() && !file.permissions().testFlag(QFileDevice::WriteOwner))
        return;
    QFile::remove(name);
}
} // namespace

ReadResult ReadWorkingCopy()
{
    ReadResult record = ReadCounterRecord(WorkingCopyName);
    if (record.failure() == Result::CannotOpen)
        record.setFailure(Result::CannotOpen, QStringLiteral("Please open file first"));
    return record;
}

void DeleteWorkingFiles()
{
    deleteUnlessReadOnly(WorkingCopyName);
    deleteUnlessReadOnly(IntermediateFileName);
}
