#pragma once

#include "Result.h"

#include <QString>

#include <functional>

#include <sys/stat.h>

// Called before each piece of a copy with the bytes copied so far and the whole; returning
// false stops the copy.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// A file the program reads or writes, opened by name. Opening never waits (a FIFO without a
// writer, a device), and only a regular file is kept open: anything else is refused with a
// reason that says what it is. A directory counts as a file that cannot be opened. Every
// failure keeps the system's reason of the call that failed.
class RegularFile
{
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    RegularFile(RegularFile &&other) noexcept;
    RegularFile &operator=(RegularFile &&other) noexcept;

    // `flags` as for open(2): O_RDONLY, O_WRONLY or O_RDWR, with O_APPEND or O_CREAT as needed.
    bool open(const QString &name, int flags);
    // A new file that must not exist yet, not even as a link.
    bool create(const QString &name);
    // A new empty file with a fresh name in the folder of `path`, for new content that is
    // renamed over `path` once complete. Refused when `path` is there but not a regular file.
    bool createBeside(const QString &path);
    void close();
    // Gives up the descriptor without closing it.
    int release();

    bool isOpen() const { return m_fd >= 0; }
    int handle() const { return m_fd; }
    QString fileName() const { return m_name; }
    // Device, inode, mode and length as they were when the file was opened.
    const struct stat &status() const { return m_status; }
    qint64 sizeAtOpen() const { return m_status.st_size; }
    // True when the last open refused a file that is not a regular file.
    bool refused() const { return m_refused; }
    int error() const { return m_error; } // errno of the call that failed
    QString errorString() const;

    qint64 size();
    qint64 read(char *data, qint64 maxSize); // -1 on failure
    bool write(const char *data, qint64 size); // all of it, or a failure
    bool resize(qint64 size);
    bool sync();
    // An exclusive lock against other openers; false only when another opener holds one.
    bool lockAgainstOthers();

private:
    bool fail(int error);
    bool adopt(int fd);

    int m_fd = -1;
    QString m_name;
    struct stat m_status
    {
    };
    int m_error = 0;
    bool m_refused = false;
    QString m_refusal;
};

// Opens `name` for reading. A file that is there but not a regular file is Invalid, "Cannot read
// "name": it is ..."; one that cannot be opened is CannotOpen with the system's reason.
Result OpenForReading(RegularFile &file, const QString &name);

// "it is a FIFO, not a regular file", and so on for the kind the mode says.
QString NotRegularReason(mode_t mode);

bool SameFile(const struct stat &a, const struct stat &b);

// Whether `name` now refers to the file whose status is given.
bool NameRefersTo(const QString &name, const struct stat &status);

// Where new content for `name` is written beside and renamed to: the file a symbolic link
// leads to (even one not made yet), otherwise the name itself.
QString ReplacementPath(const QString &name);

// Copies `source` into `target` from the current positions: at most the length the source had
// when it was opened, however much it grows meanwhile. Messages name `sourceName` and
// `targetName`.
Result CopyContent(RegularFile &source, RegularFile &target, const QString &sourceName,
    const QString &targetName, const CopyProgress &progress);

// Makes the complete content of `temporary` the file `path` names: flushed to the disk, then
// renamed over it. On failure the temporary is removed. Messages name `targetName`.
Result CommitReplacement(RegularFile &temporary, const QString &path, const QString &targetName);
