#pragma once
// Language codes and the names of language files. A code becomes part of a
// file name, so only codes that cannot lead out of the language folder are
// taken.
#include "platform/result.h"

#include <QString>

namespace vek {

// The code of the file that holds a screen's own texts, and the code an empty
// one stands for.
inline const QString kDefaultLanguage = QStringLiteral("Default");
// The language folder inside the base folder (the shared files folder).
inline const QString kLangFolderName = QStringLiteral("lang_files");
inline const QString kLangFileExtension = QStringLiteral(".lang");
inline constexpr int kMaxLangCodeLength = 35;

// Refusals, followed by the code as it was given.
inline const QString kBadLangCode
    = QStringLiteral("A language code may hold only the letters A to Z, digits, \"-\" and \"_\": ");
inline const QString kLongLangCode = QStringLiteral("A language code may have at most 35 characters: ");

// Whether `code` can name a language file: an empty code (the default
// language) or up to 35 of the letters A-Z and a-z, digits, "-" and "_".
// Anything else ("../../x", a blank, a separator) is refused: code 123
// (winerr::InvalidName) and kBadLangCode or kLongLangCode followed by the code.
[[nodiscard]] platform::Result<void> checklangcode(const QString& code);

// The code that names files: "Default" for an empty code, else the code.
QString langfilecode(const QString& code);
// The language folder of a base folder: the base, a separator by the rule of
// addslash, and "lang_files" (no separator at the end).
QString langfolderof(const QString& basefolder);
// The file of a screen in a language: the language folder, a separator, the
// code ("Default" when empty), "_", the screen name and ".lang". Codes match
// without regard to letter case ("DE" finds "de_Installfm.lang"): where no
// file of the code as written exists but one whose code differs only in
// letter case does, that file is named, in its own spelling. The code is not
// checked here; callers check it first with checklangcode.
QString langfilepath(const QString& langfolder, const QString& screenname, const QString& code);

}  // namespace vek
