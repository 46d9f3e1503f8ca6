#include "FolderLock.h"

#include <QDir>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock()
    : m_path(QDir::currentPath())
{
    // A folder that cannot be opened or a file system without locks leaves the program
    // unguarded rather than unable to start.
    m_fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_busy = errno == EWOULDBLOCK;
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
