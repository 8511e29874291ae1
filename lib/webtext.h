#pragma once
// Percent-encoding for web requests.
#include <QString>

namespace vek {

// Letters, digits and the blank stay (the blank as "+" or "%20"); with
// `keepreserved` also ! # $ & ' ( ) * + , / : ; = ? @ [ ]. Any other character
// below 256 becomes "%XX"; a wider one "%HH%LL" (high byte, low byte).
QString urlencode(const QString& text, bool spaceasplus, bool keepreserved);
// Undoes "%XX" escapes, each into the character of that code (bytes are not
// combined into UTF-8 characters); "+" stays "+". A text with a line feed or
// a double quote is not encoded and comes back unchanged.
QString urldecode(const QString& text);
// The value of hexadecimal digits in either case, with an optional trailing
// "H"; 0 when any other character is found or the text is empty.
qint64 hextoint64(const QString& text);

}  // namespace vek
