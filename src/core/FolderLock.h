#pragma once

#include <QString>

// One program per working folder: the working files are bare names in the current folder, so
// two copies of the program there would share them. The lock is an exclusive lock on the
// folder itself, held while the object lives; it vanishes with the process however it ends.
class FolderLock
{
public:
    // Locks the current folder.
    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // True when another copy of the program holds the folder.
    bool heldByAnotherCopy() const { return m_busy; }
    // Why the folder could not be locked (it cannot be opened for reading, or its file system
    // has no locks); empty when it is locked or held by another copy. A program that cannot
    // lock its folder does not run unguarded: it says so and ends.
    QString failure() const { return m_failure; }
    QString path() const { return m_path; }

private:
    int m_fd = -1;
    bool m_busy = false;
    QString m_failure;
    QString m_path;
};

// The exit code of a copy that found its folder held by another copy.
constexpr int FolderInUseExitCode = 1;
