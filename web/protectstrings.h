#pragma once
// Protected text: how the family keeps a password in a settings file. The
// password is enciphered with the table cipher under a key fixed in the
// library and written as upper-case hexadecimal digits, two per byte. Texts
// already stored by the family's programs must read back, so nothing here may
// change its output.
#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

namespace vek {

// What protectstring gives when the text cannot be protected.
inline const QString kProtectFailed = QStringLiteral("@~@~@#");
// The message shown when hexdigit is given a value that is no hexadecimal digit.
inline const QString kHexCharError = QStringLiteral("hex char error");

// The protected text of `text`: twice as long, digits 0-9 and A-F only; the
// empty text for the empty text; kProtectFailed when the cipher could not be
// set up. Characters above 255 lose their high byte, so only texts of 8-bit
// characters come back whole from unprotectstring.
QString protectstring(const QString& text);
// The text that protectstring made `text` from; the empty text for the empty
// text. Characters that are no hexadecimal digits count as 0, an odd last
// character is left out.
QString unprotectstring(const QString& text);

// The same for a text read from a file, which may be anything: none when it
// is not protected text (an odd number of characters, or a character that is
// no hexadecimal digit), so that the caller can report it instead of using
// what the digits read as 0 would give.
std::optional<QString> decodeprotectedstring(const QString& text);

// One byte per character: the low 8 bits of its code.
QByteArray strtobytes(const QString& text);
// One character per byte, with that code.
QString bytestostr(const QByteArray& bytes);
// Two hexadecimal digits per character, of bits 4-7 and 0-3 of its code.
QString strtohex(const QString& text);
// One character per pair of hexadecimal digits (an odd last digit is left out).
QString hextostr(const QString& text);
// "0"-"9" and "A"-"F" for 0-15; any other value shows "hex char error" through
// the library's message call and gives "0".
QChar hexdigit(int value);
// 0-15 for "0"-"9", "A"-"F" and "a"-"f"; 0 for any other character.
int hexdigitvalue(QChar c);

}  // namespace vek
