#pragma once
// Holds a lock on a folder for as long as the object lives, so that two runs
// writing into the same program folder (installs, restores, the updater)
// take turns. The lock is a hidden file of ours in the folder, which needs
// only the right to write the folder: a folder that can be written but not
// read is locked as well as any other. No placement runs without the lock.
// The lock file is there only while a run holds it.
#include "lib/hook.h"

#include <QString>
#include <chrono>

namespace vek {

// The hidden file in a locked folder that holds its lock.
inline const QString kFolderLockName = QStringLiteral(".tessarine.lock");

// How long a run waits for another run's lock before it gives up.
inline constexpr std::chrono::milliseconds kDefaultLockWait = std::chrono::minutes(10);

// The wait of every FolderLock of this process from now on (LOCKWAIT=).
void setfolderlockwait(std::chrono::milliseconds limit);
std::chrono::milliseconds folderlockwait();

// Told every tenth of a second while another run holds the lock and this one
// waits, with the folder and whether it is the first time: the window says so
// on its label and lets its events run, a run without a display writes it to
// the error output once.
Hook<void(const QString& folder, bool first)>& folderlockwaitnotice();

class FolderLock {
public:
    // Takes the lock, waiting at most folderlockwait() for another run to let
    // it go. Look at code() before writing into the folder.
    explicit FolderLock(const QString& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    bool locked() const { return fd_ >= 0; }
    // 0 when locked; winerr::WaitTimeout when another run held the lock
    // throughout the wait; else the code of the lock file that could not be
    // made (a link or something else planted under its name: 183).
    int code() const { return code_; }

private:
    QString path_;
    int fd_ = -1;
    int code_ = 0;
};

}  // namespace vek
