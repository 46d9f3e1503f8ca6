#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

QString cannotRead(const QString &name, const QString &reason)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(name, reason);
}

QString cannotWrite(const QString &name, const QString &reason)
{
    return QStringLiteral("Cannot write \"%1\": %2").arg(name, reason);
}
} // namespace

QString NotRegularReason(mode_t mode)
{
    QString kind = QStringLiteral("a special file");
    if (S_ISFIFO(mode))
        kind = QStringLiteral("a FIFO");
    else if (S_ISCHR(mode))
        kind = QStringLiteral("a character device");
    else if (S_ISBLK(mode))
        kind = QStringLiteral("a block device");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("a socket");
    return QStringLiteral("it is %1, not a regular file").arg(kind);
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool NameRefersTo(const QString &name, const struct stat &status)
{
    struct stat now
    {
    };
    return ::stat(encoded(name).constData(), &now) == 0 && SameFile(now, status);
}

RegularFile::~RegularFile()
{
    close();
}

RegularFile::RegularFile(RegularFile &&other) noexcept
{
    *this = std::move(other);
}

RegularFile &RegularFile::operator=(RegularFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_name = std::move(other.m_name);
        m_status = other.m_status;
        m_error = other.m_error;
        m_refused = other.m_refused;
        m_refusal = std::move(other.m_refusal);
    }
    return *this;
}

bool RegularFile::fail(int error)
{
    m_error = error;
    return false;
}

bool RegularFile::adopt(int fd)
{
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (S_ISDIR(status.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        m_refused = true;
        m_refusal = NotRegularReason(status.st_mode);
        return false;
    }
    // The descriptor was opened without waiting; reads and writes of a regular file wait as
    // usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    m_fd = fd;
    m_status = status;
    return true;
}

bool RegularFile::open(const QString &name, int flags)
{
    close();
    m_name = name;
    m_error = 0;
    m_refused = false;
    const QByteArray path = encoded(name);
    // A device or FIFO is refused by its kind before it is opened: opening some devices
    // already acts on them. The descriptor's own status below decides in the end.
    struct stat status
    {
    };
    if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode)) {
        m_refused = true;
        m_refusal = NotRegularReason(status.st_mode);
        return false;
    }
    const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return fail(errno);
    return adopt(fd);
}

bool RegularFile::create(const QString &name)
{
    close();
    m_name = name;
    m_error = 0;
    m_refused = false;
    const int fd = ::open(encoded(name).constData(),
        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return fail(errno);
    return adopt(fd);
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int RegularFile::release()
{
    return std::exchange(m_fd, -1);
}

QString RegularFile::errorString() const
{
    if (m_refused)
        return m_refusal;
    return systemReason(m_error);
}

qint64 RegularFile::size()
{
    struct stat status
    {
    };
    if (::fstat(m_fd, &status) != 0) {
        fail(errno);
        return -1;
    }
    return status.st_size;
}

qint64 RegularFile::read(char *data, qint64 maxSize)
{
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size_t(maxSize));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            fail(errno);
            return -1;
        }
    }
}

bool RegularFile::readAll(QByteArray &bytes)
{
    bytes.resize(m_status.st_size);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 got = read(bytes.data() + done, bytes.size() - done);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return true;
}

bool RegularFile::write(const char *data, qint64 size)
{
    // A short write is followed by another, whose failure gives the true reason (a full disk
    // fails the second write with ENOSPC).
    while (size > 0) {
        const ssize_t put = ::write(m_fd, data, size_t(size));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (put == 0)
            return fail(EIO);
        data += put;
        size -= put;
    }
    return true;
}

bool RegularFile::resize(qint64 size)
{
    return ::ftruncate(m_fd, size) == 0 || fail(errno);
}

bool RegularFile::sync()
{
    return ::fsync(m_fd) == 0 || fail(errno);
}

bool RegularFile::lockAgainstOthers()
{
    // A file system without locks leaves the file unlocked rather than unusable.
    return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

QString ReplacementPath(const QString &name)
{
    const QFileInfo info(name);
    if (!info.isSymLink())
        return name;
    // A link that leads nowhere yet is followed too: the file is made where it points.
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

bool RegularFile::createBeside(const QString &path)
{
    close();
    m_name = path;
    m_error = 0;
    m_refused = false;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : path.left(slash + 1);
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = folder + QLatin1String(TemporaryPrefix);
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        name += QLatin1String(TemporarySuffix);
        if (create(name) || m_error != EEXIST)
            break;
    }
    // Locked from birth: a temporary whose lock is free was left by a writer that is gone.
    if (isOpen())
        ::flock(m_fd, LOCK_EX | LOCK_NB);
    return isOpen();
}

int RemoveStaleTemporaries(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList(
        {QLatin1String(TemporaryPrefix) + QLatin1Char('*') + QLatin1String(TemporarySuffix)},
        QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : names) {
        const QByteArray path = encoded(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status
        {
        };
        // Only a plain file that no writer holds locked, and that the name still leads to.
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && NameRefersTo(dir.filePath(name), status)
            && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

QString OwnFileRefusal(const QString &name)
{
    struct stat status
    {
    };
    if (::lstat(encoded(name).constData(), &status) != 0)
        return {};
    const QFileInfo info(name);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    const QString remedy = QStringLiteral("Remove or rename \"%1\" in %2, then try again.")
                               .arg(info.fileName(), folder);
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("\"%1\" is a symbolic link to \"%2\", not a file of this program's "
                              "own; it is never followed. %3")
            .arg(name, info.symLinkTarget(), remedy);
    // Anything else that is not a regular file is refused by the open, as for any file.
    if (!S_ISREG(status.st_mode))
        return {};
    if (status.st_nlink > 1)
        return QStringLiteral("\"%1\" has %2 other name(s) (hard links): it is shared with "
                              "another file, not this program's own. %3")
            .arg(name)
            .arg(status.st_nlink - 1)
            .arg(remedy);
    return {};
}

Result OpenOwnFile(RegularFile &file, const QString &name, int flags)
{
    if (const QString refusal = OwnFileRefusal(name); !refusal.isEmpty())
        return {Result::Invalid, refusal};
    if (!file.open(name, flags | O_NOFOLLOW)) {
        // ELOOP: a link took the name after the check.
        if (file.error() == ELOOP && !file.refused())
            return {Result::Invalid, OwnFileRefusal(name)};
        return {Result::CannotOpen, file.errorString()};
    }
    if (file.status().st_nlink > 1) {
        file.close();
        return {Result::Invalid, OwnFileRefusal(name)};
    }
    return {};
}

FileReplacement::~FileReplacement()
{
    abandon();
}

Result FileReplacement::begin(const QString &target, Links links)
{
    abandon();
    m_target = target;
    const auto refused = [&target](const QString &reason) {
        return Result(Result::Invalid, cannotWrite(target, reason));
    };
    if (links == OwnFileOnly) {
        if (const QString refusal = OwnFileRefusal(target); !refusal.isEmpty())
            return {Result::Invalid, refusal};
        m_path = target;
    } else {
        m_path = ReplacementPath(target);
    }
    // Only a regular file is replaced: never a device, FIFO or directory, nor one a link leads
    // to.
    struct stat status
    {
    };
    if (::stat(encoded(m_path).constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return {Result::Failed, cannotWrite(target, systemReason(EISDIR))};
        if (!S_ISREG(status.st_mode)) {
            const QString reason = NotRegularReason(status.st_mode);
            return refused(m_path == target
                    ? reason
                    : QStringLiteral("it leads to \"%1\": %2").arg(m_path, reason));
        }
    }
    if (!m_temporary.createBeside(m_path))
        return {Result::Failed, cannotWrite(target, m_temporary.errorString())};
    return {};
}

Result FileReplacement::commit()
{
    Result result;
    if (!m_temporary.sync()) {
        result = {Result::Failed, cannotWrite(m_target, m_temporary.errorString())};
    } else if (::rename(encoded(m_temporary.fileName()).constData(), encoded(m_path).constData())
        != 0) {
        result = {Result::Failed, cannotWrite(m_target, systemReason(errno))};
    }
    if (!result.ok()) {
        abandon();
        return result;
    }
    // The file now carries the target's name: nothing to remove any more.
    m_committed = true;
    return result;
}

void FileReplacement::abandon()
{
    if (m_temporary.isOpen() && !m_committed)
        ::unlink(encoded(m_temporary.fileName()).constData());
    m_temporary.close();
    m_committed = false;
}

Result CopyContent(RegularFile &source, RegularFile &target, const QString &sourceName,
    const QString &targetName, const CopyProgress &progress)
{
    const qint64 total = source.sizeAtOpen();
    qint64 left = total;
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    // At least one read, so that a file that reports no length but fails to read says so.
    do {
        if (progress && !progress(total - left, total))
            return {Result::Cancelled,
                QStringLiteral("The copy of \"%1\" to \"%2\" was cancelled.")
                    .arg(sourceName, targetName)};
        const qint64 got = source.read(chunk.data(), chunk.size());
        if (got < 0)
            return {Result::Invalid, cannotRead(sourceName, source.errorString())};
        if (got == 0) {
            if (left > 0)
                return {Result::Invalid,
                    cannotRead(sourceName,
                        QStringLiteral("it became %1 bytes shorter while it was read").arg(left))};
            break;
        }
        // What was added after the open is not copied.
        const qint64 take = std::min(got, left);
        if (!target.write(chunk.constData(), take))
            return {Result::Failed, cannotWrite(targetName, target.errorString())};
        left -= take;
    } while (left > 0);
    return {};
}

Result OpenForReading(RegularFile &file, const QString &name)
{
    if (file.open(name, O_RDONLY))
        return {};
    if (file.refused())
        return {Result::Invalid,
            QStringLiteral("Cannot read \"%1\": %2").arg(name, file.errorString())};
    return {Result::CannotOpen, file.errorString()};
}
