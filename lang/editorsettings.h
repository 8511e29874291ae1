#pragma once
// The language editor's own settings file (Updlangsettings.ini): the language
// it last showed and the two codes of its machine translation.
#include <QString>

namespace vek {

// Section "Config", key "Language": also the caption of the editor's code box.
inline const QString kEditorLanguageKey = QStringLiteral("Language");

struct EditorSettings {
    QString language;  // the language code last shown
    QString fromcode;  // the translation's source language
    QString tocode;  // the translation's target language
};

// The settings stored in `path`; a key that is missing (or a file that is)
// keeps the value of `defaults`.
EditorSettings readeditorsettings(const QString& path, const EditorSettings& defaults);

// Writes the three settings into `path`, one key at a time, keeping its other
// lines. False when a key could not be written; it and the keys after it keep
// what the file had.
[[nodiscard]] bool writeeditorsettings(const QString& path, const EditorSettings& settings);

}  // namespace vek
