#pragma once
// File names on this platform are bytes, and nothing guarantees that they are
// UTF-8: a server folder filled from an old machine may hold "caf\xE9.exe".
// Names must still go from a listing back to the disk byte for byte, so every
// path crosses between bytes and text through this one pair of functions.
#include <QByteArray>
#include <QString>

namespace platform {

// The bytes of a path for the system calls. Each lone surrogate U+DC80..U+DCFF
// that decodePath made from a stray byte becomes that byte again; everything
// else is written as UTF-8.
QByteArray encodePath(const QString& path);

// The text of a file name from the disk. Well-formed UTF-8 decodes as UTF-8;
// each byte of an ill-formed sequence (stray, cut short, overlong, an encoded
// surrogate, beyond U+10FFFF) becomes the lone surrogate U+DC00 + byte, so that
// encodePath gives back the same bytes.
QString decodePath(const char* bytes);
QString decodePath(const QByteArray& bytes);

}  // namespace platform
