#pragma once
// The permission bits that a copied file gets.
#include <QString>

#include <sys/types.h>

namespace platform {

// The process's file-creation mask, read on first use and kept. umask(2) can
// only be read by setting it, which would briefly change the mask for files
// other threads create, so the kernel's own report is read instead.
mode_t processUmask();

// The read, write and execute bits of `sourceMode` less those `umask` takes
// away. Set-user-ID, set-group-ID and sticky bits never travel with a copy: an
// installed program must not run with the rights of whoever owned the server file.
mode_t copiedFileMode(mode_t sourceMode, mode_t umask = processUmask());

// The mode a new version of the program `current` gets: that of the file it
// replaces, so that a program stays as runnable as it was, or 0755 for a
// program that is new; as copiedFileMode leaves it.
mode_t replacementFileMode(const QString& current);

}  // namespace platform
