#pragma once
// The four folders of the desktop that the family's folder logic is built on.
// Each follows the environment (HOME, XDG_*, ALLUSERSPROFILE, TMPDIR), so tests
// and sandboxes never touch the real home. Results carry no trailing separator
// and are empty when the folder cannot be resolved.
#include <QString>

namespace platform {

// The user's documents: the XDG documents folder (normally ~/Documents).
QString documentsFolder();
// The documents shared by every user: the first folder of XDG_DATA_DIRS
// (default /usr/local/share).
QString sharedDocumentsFolder();
// The all-users profile: ALLUSERSPROFILE when set, else the first folder of
// XDG_CONFIG_DIRS (default /etc/xdg).
QString allUsersProfileFolder();
// The system temporary folder (TMPDIR, else /tmp).
QString systemTempFolder();

}  // namespace platform
