#pragma once
// The family's standard folders. Every folder returned here ends with a path
// separator, so callers append file names directly.
#include "platform/fileapi.h"

#include <QString>

#include <optional>

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
// The base is LOCALFOLDER's value when the parameter is given (also empty),
// else the documents folder; see setdatafolderbase.
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

// The program body reads LOCALFOLDER once with its other run parameters and
// settles the data folder's base here: the value (also empty), or none for
// the documents folder. Until a program settles it (the family's other
// programs), datafolder reads the parameter itself.
void setdatafolderbase(std::optional<QString> base);
// Back to reading the parameter (tests).
void unsettledatafolderbase();
// Whether the base is settled, and to what.
bool datafolderbasesettled();
std::optional<QString> datafolderbase();

// Forgets the cached files folder (tests, and nothing else).
void resetfilesfoldercache();

}  // namespace vek
