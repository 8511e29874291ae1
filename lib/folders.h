#pragma once
// The family's standard folders. Every folder returned here ends with a path
// separator, so callers append file names directly.
#include "platform/fileapi.h"

#include <QString>

namespace vek {

inline constexpr QChar pathsep = platform::kPathSep;

// The company word in the data and temporary folder names.
inline const QString kCompanyFolder = QStringLiteral("Quorvane");
inline const QString kConfigFolderName = QStringLiteral("Config_files");
inline const QString kFilesFolderName = QStringLiteral("files");
inline const QString kRedirectionFileName = QStringLiteral("filesdir.txt");
inline const QString kStartIniName = QStringLiteral("TessarineStart.ini");

// Adds `separator` unless the path is empty or already ends with "/" or "\";
// a path holding "/" anywhere gets "/" (web addresses keep their own separator).
QString addslash(const QString& path, QChar separator = pathsep);

// Shell folder numbers the family asks for.
inline constexpr int CSIDL_PERSONAL = 5;
inline constexpr int CSIDL_COMMON_DOCUMENTS = 46;
// The folder's path without separator, empty when it can't be resolved.
QString specialfolder(int csidl);

QString exefolder();
QString allusersfolder();
QString datafolder();
QString configfolder();
QString systemtempfolder();
QString tempfolder();
// The "files" folder beside the program, or the folder that line 1 of its
// redirection file names when that folder exists. The answer is kept for the
// rest of the run, except when the redirection file is there but could not
// be read: the default then stands until a later call reads it.
QString filesfolder();
// Creates the family temporary folder; runs once when the library starts.
void maketempfolder();

// Forgets the cached files folder (tests, and nothing else).
void resetfilesfoldercache();

}  // namespace vek
