#pragma once
// The smallest text helpers, used throughout the library.
#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vek {

// The text in upper case by the locale's rules for every letter.
QString uppertext(const QString& text);
// The first / last character; the character 0 for an empty text.
QChar firstchar(const QString& text);
QChar lastchar(const QString& text);
// Removes blanks and control characters at both ends (characters up to U+0020).
QString trimtext(const QString& text);
QString trimtext(QStringView text);

// Upper-cases the letters a to z only; every other character stays.
QString asciiupper(QString text);
// Equal texts when the letters a to z are compared without regard to case.
bool sameasciinocase(const QString& a, const QString& b);
// The value of a hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
int hexnibble(QChar c);
// Whether the character is one of the digits 0-9 or the letters A-Z and a-z.
bool isasciialnum(QChar c);
// The text with every character other than those replaced by "_": a name
// made of anything that is safe in a file name or a search.
QString underscoredname(const QString& text);
// The lines of a text: CR LF, LF or CR end a line, and one final line break
// ends the last line rather than starting an empty one.
QStringList splitlines(QStringView text);

}  // namespace vek
