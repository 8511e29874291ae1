#pragma once
// The single-byte code page of the family's text files (Windows-1252): bytes
// 0x80-0x9F carry their 1252 characters, the rest are Latin-1. A text file
// that must hold a character the code page lacks is written as UTF-8 behind a
// byte-order mark instead, which every reader of the family's files knows.
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

QString fromCodePage(const QByteArray& bytes);
QString fromCodePage(const char* data, qsizetype size);
// Characters the code page cannot hold become "?".
QByteArray toCodePage(const QString& text);
void appendCodePage(QByteArray& out, const QString& text);
// Whether every character of the text has a byte in the code page.
bool fitsCodePage(QStringView text);
// Writes the text's code-page bytes at `dst`, which has room for text.size()
// bytes. False when a character has no byte there: what `dst` then holds is
// not the text.
[[nodiscard]] bool encodeFittingCodePage(QStringView text, char* dst);

// The byte-order mark that opens a UTF-8 text file.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
inline constexpr qsizetype kUtf8MarkSize = 3;
// UTF-8 text that follows its mark: a further U+FEFF, even at the start, is
// a character of the text (QString::fromUtf8 would drop it).
QString fromUtf8Text(const char* data, qsizetype size);
// Whether the bytes open with a UTF-8 or UTF-16 byte-order mark.
bool startsWithByteOrderMark(QByteArrayView bytes);

// How the lines of one text file are written.
enum class TextEncoding { CodePage, Utf8 };
void appendEncoded(QByteArray& out, const QString& text, TextEncoding encoding);

}  // namespace platform
