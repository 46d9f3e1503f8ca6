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

    // `flags` as for open(2): O_RDONLY, O_WRONLY or O_RDWR, with O_APPEND, O_CREAT or O_NOFOLLOW
    // as needed.
    bool open(const QString &name, int flags);
    // A new file that must not exist yet, not even as a link.
    bool create(const QString &name);
    // A new empty file with a short fresh name (TemporaryPrefix, six letters, TemporarySuffix) in
    // the folder of `path`, locked while it is open, so that a kill leaves a temporary that the
    // next start can tell from one still being written.
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
    // From the current position up to the length the file had when it was opened, however the
    // reads come; false on a read error.
    bool readAll(QByteArray &bytes);
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

// Every temporary file the program writes beside a file it replaces is named
// ".zemra-XXXXXX.tmp": short, so that a name as long as the folder allows can still be replaced.
inline constexpr char TemporaryPrefix[] = ".zemra-";
inline constexpr char TemporarySuffix[] = ".tmp";

// Removes the temporaries in `folder` that nobody is writing any more (a kill left them): those
// whose writer's lock is gone. Gives how many were removed.
int RemoveStaleTemporaries(const QString &folder);

// Why a file of the program's own must not be used through `name`: it is a symbolic link, or it
// has other names (hard links). Empty otherwise (a file that is not there, or not a regular
// file, is for the open to refuse).
QString OwnFileRefusal(const QString &name);

// Opens a file that only the program writes, never through a symbolic link and never one that
// other names share. A refusal is Invalid with OwnFileRefusal's reason; a file that cannot be
// opened, or is not a regular file (file.refused()), is CannotOpen with the reason.
Result OpenOwnFile(RegularFile &file, const QString &name, int flags);

// Replaces a file as a whole: the new content is written to a temporary file beside it, flushed
// to the disk and renamed over it, so that the name holds either the old content or all of the
// new. A target that is there but not a regular file (a device, a FIFO, a directory, or a link
// to one) is never replaced. With OwnFileOnly the target must also be the program's own file
// (OwnFileRefusal). An uncommitted temporary is removed when the object goes.
class FileReplacement
{
public:
    enum Links {
        FollowLinks, // a symbolic link is followed and the file it leads to replaced
        OwnFileOnly, // a symbolic link or a file with other names is refused
    };

    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Checks the target and creates the temporary. Invalid when the target may not be replaced,
    // Failed when the temporary cannot be made; messages name `target`.
    Result begin(const QString &target, Links links = FollowLinks);
    // The temporary, to write the new content into; after the commit, the file under the
    // target's name, still open and locked, for a caller that holds it on (move it out).
    RegularFile &file() { return m_temporary; }
    // Flushes and renames; on failure the temporary is removed and the target left as it was.
    Result commit();
    // Removes an uncommitted temporary; the target stays as it was.
    void abandon();

private:
    QString m_target; // as the user named it
    QString m_path; // where the rename goes
    RegularFile m_temporary;
    bool m_committed = false;
};

// Copies `source` into `target` from the current positions: at most the length the source had
// when it was opened, however much it grows meanwhile. Messages name `sourceName` and
// `targetName`.
Result CopyContent(RegularFile &source, RegularFile &target, const QString &sourceName,
    const QString &targetName, const CopyProgress &progress);
