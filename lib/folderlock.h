#pragma once
// Holds an advisory lock on a folder for as long as the object lives, so that
// two installs writing into the same program folder (the installer's and
// the updater's) take turns.
#include <QString>

namespace vek {

class FolderLock {
public:
    // Waits for the lock; a folder that cannot be opened is simply not locked.
    explicit FolderLock(const QString& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace vek
