#include "WorkingCopy.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>

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
    ReadResult record;
    RegularFile opened;
    // Read only as the program's own file: a link would show another file's figures as this
    // one's.
    if (const Result result = OpenOwnFile(opened, WorkingCopyName, O_RDONLY); !result.ok()) {
        if (opened.refused())
            record.setFailure(Result::Invalid,
                QStringLiteral("Cannot read \"%1\": %2").arg(WorkingCopyName, result.message()));
        else if (result.failure() == Result::CannotOpen)
            record.setFailure(Result::CannotOpen, QStringLiteral("Please open file first"));
        else
            record.setFailure(result.failure(), result.message());
        return record;
    }
    QFile file;
    if (!file.open(opened.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        record.setFailure(Result::CannotOpen, QStringLiteral("Please open file first"));
        return record;
    }
    opened.release();
    return RecordReader(file, WorkingCopyName).next();
}

void DeleteWorkingFiles()
{
    deleteUnlessReadOnly(WorkingCopyName);
    deleteUnlessReadOnly(IntermediateFileName);
}
