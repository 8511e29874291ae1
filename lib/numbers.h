#pragma once
// Numbers and Booleans to and from text. Reading never fails visibly: text that
// is not a number gives 0. Formatting follows the locale snapshot.
#include <QString>

namespace vek {

QString inttotext(int value);
QString int64totext(qint64 value);

// Lets a number typed with the "other" decimal separator read under the
// locale's: under "," a text without "," has its first "." turned into ",",
// under "." a text without "." has its first "," turned into ".". Anything
// else (e.g. "1,234.5") is returned unchanged.
QString fixdecimalpoint(const QString& text);

// The number in the text (after fixdecimalpoint), 0 when it is not one.
double texttofloat(const QString& text);
// The trimmed text as a decimal 32-bit integer, 0 when it is not one.
int texttoint(const QString& text);
// texttofloat rounded to the nearest integer, halves to the even neighbour;
// 0 when the text is not a number or the result does not fit.
int texttoroundint(const QString& text);

// Fixed-point text with `decimals` decimals, the value rounded to at most
// `significant` significant digits; the locale's decimal separator, no
// thousands separators. A value with more integer digits than `significant`
// comes out in exponent form ("1.5E12"). Infinities and NaN give "".
QString floattotext(double value, int decimals, int significant);
// floattotext(value, 2, 10), trimmed.
QString floattotrimmed(double value);
// floattotext(value, 2, 10) right-aligned in at least 10 characters.
QString floattopadded(double value);

// "TRUE" or "FALSE".
QString booltotext(bool value);

// True for a trimmed text of digits with at most one "," or "." and an
// optional leading sign; the blank text counts as a number (callers that
// need a value use isnumeric).
bool isnumbertext(const QString& text);
// isnumbertext, but false for the empty text.
bool isnumeric(const QString& text);

// The trimmed text with "0" prepended up to `width` characters.
QString zeropad(const QString& text, int width);
// Two digits for stamps: 5 -> "05", 2024 -> "24", 100 -> "00"; a negative
// value of one digit keeps its sign ("-5").
QString twodigits(int value);

}  // namespace vek
