#include "DataFile.h"

#include "CounterRecord.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

QString DataFile::open(const QString &name)
{
    close();
    m_name = name;
    if (name.isEmpty())
        return QStringLiteral("no file name was given");
    RegularFile file;
    bool created = false;
    // Opened without truncation and emptied only once locked: a file that another program holds
    // is refused with its contents intact.
    if (!file.open(name, O_RDWR)) {
        if (file.refused() || file.error() != ENOENT)
            return file.errorString();
        if (!file.open(name, O_RDWR | O_CREAT))
            return file.errorString();
        created = true;
    }
    // Emptying a working file would destroy what it holds, whatever name leads to it.
    for (const QString &working : {IntermediateFileName, WorkingCopyName}) {
        if (NameRefersTo(working, file.status())) {
            if (created)
                QFile::remove(working);
            return QStringLiteral("it is the working file \"%1\"").arg(working);
        }
    }
    if (!file.lockAgainstOthers())
        return QStringLiteral("the file is in use by another program");
    // Emptying a file that shares its content with other names would empty those too.
    if (file.status().st_nlink > 1)
        return QStringLiteral("it has %1 other name(s) (hard links), and emptying it would empty "
                              "them too")
            .arg(file.status().st_nlink - 1);
    // Emptied only when the copy will be able to replace it: a folder the user cannot write
    // would leave it empty for good.
    const QString path = ReplacementPath(name);
    RemoveStaleTemporaries(QFileInfo(path).absolutePath());
    FileReplacement probe;
    if (const Result begun = probe.begin(name); !begun.ok()) {
        if (created)
            QFile::remove(name);
        return QStringLiteral("DataCopy could not replace it in its folder (%1), so it was left "
                              "as it was")
            .arg(probe.file().errorString());
    }
    probe.abandon();
    if (file.sizeAtOpen() > 0 && !file.resize(0))
        return file.errorString();
    m_file = std::move(file);
    return {};
}

void DataFile::close()
{
    m_file.close(); // releases the lock too
}

QString DataFile::whatBecameOfIt() const
{
    struct stat now
    {
    };
    if (::stat(QFile::encodeName(m_name).constData(), &now) != 0) {
        if (errno == ENOENT)
            return QStringLiteral("it was deleted after FileOpen");
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!SameFile(now, m_file.status()))
        return QStringLiteral("another file took its name after FileOpen");
    return {};
}

Result DataFile::copyFrom(const QString &source, qint64 minimumSize, const CopyProgress &progress)
{
    const auto cannotRead = [&source](const QString &reason) {
        return QStringLiteral("Cannot read \"%1\": %2").arg(source, reason);
    };
    RegularFile in;
    if (const Result opened = OpenOwnFile(in, source, O_RDONLY); !opened.ok()) {
        if (opened.failure() == Result::Invalid)
            return opened;
        return {in.refused() ? Result::Invalid : Result::CannotOpen, cannotRead(opened.message())};
    }
    if (in.sizeAtOpen() < minimumSize)
        return {Result::Invalid,
            cannotRead(QStringLiteral("it holds %1 bytes where at least %2 were written")
                           .arg(in.sizeAtOpen())
                           .arg(minimumSize))};

    FileReplacement out;
    if (const Result begun = out.begin(m_name); !begun.ok())
        return {Result::Failed, begun.message()};
    // The new file takes the old one's permissions and, where allowed, its owner; it is locked
    // from the start.
    const struct stat &old = m_file.status();
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
        (void)!::fchown(out.file().handle(), old.st_uid, old.st_gid);
    ::fchmod(out.file().handle(), old.st_mode & 07777);

    Result copied = CopyContent(in, out.file(), source, m_name, progress);
    if (!copied.ok())
        return copied;
    copied = out.commit();
    if (copied.ok())
        m_file = std::move(out.file());
    return copied;
}
