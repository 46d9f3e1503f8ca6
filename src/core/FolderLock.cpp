#include "FolderLock.h"

#include <QDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock()
    : m_path(QDir::currentPath())
{
    // The lock needs a descriptor that flock accepts: one opened for reading (O_PATH is not).
    m_fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        m_failure = QStringLiteral("the folder cannot be opened for reading: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        m_busy = error == EWOULDBLOCK;
        if (!m_busy)
            m_failure = QStringLiteral("the folder cannot be locked: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(error)));
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
