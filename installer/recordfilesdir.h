#pragma once
// The recording run: writes the folder named by FILESDIRCONTENTS as line 1 of
// the redirection file named by FILESDIRNAME, above the folders recorded before.
#include <QString>

namespace installer {

// Records `folder` in `fileName`: a folder that is there, or the address of
// a server folder on a web server ("http://", "https://") as written. False
// only when `folder` is empty (the run goes on as usual); true otherwise,
// whatever was found, and the program then ends.
bool recordfilesdir(const QString& folder, const QString& fileName);

}  // namespace installer
