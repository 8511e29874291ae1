#include "web/protectstrings.h"

#include "lib/basictext.h"
#include "lib/messagehook.h"
#include "web/hbox.h"

#include <algorithm>

namespace vek {
namespace {

// The key every protected text of the family is enciphered under, and the
// working key size it is expanded to.
const QString kFixedKey = QStringLiteral("Tern Brook Fables");
constexpr quint16 kFixedKeySize = 32;

// A fresh box per call: the working key is expanded through the table a box
// holds, so only a new box gives the key the stored texts were made with.
bool keyedbox(THBox& box)
{
    return box.Init(false, false, strtobytes(kFixedKey), kFixedKeySize);
}

}  // namespace

QString protectstring(const QString& text)
{
    const QByteArray plain = strtobytes(text);
    THBox box;
    if (!keyedbox(box))
        return kProtectFailed;
    QByteArray cipher;
    box.Encrypt(plain, cipher);
    return strtohex(bytestostr(cipher));
}

QString unprotectstring(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QByteArray cipher = strtobytes(hextostr(text));
    THBox box;
    if (!keyedbox(box))
        return {};
    QByteArray plain;
    box.Decrypt(cipher, plain);
    return bytestostr(plain);
}

std::optional<QString> decodeprotectedstring(const QString& text)
{
    if (text.size() % 2 != 0 || std::any_of(text.cbegin(), text.cend(), [](QChar c) { return hexnibble(c) < 0; }))
        return std::nullopt;
    return unprotectstring(text);
}

QByteArray strtobytes(const QString& text)
{
    QByteArray bytes(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(text[i].unicode() & 0xFF);
    return bytes;
}

QString bytestostr(const QByteArray& bytes)
{
    QString text(bytes.size(), QChar());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<quint8>(bytes[i])));
    return text;
}

QString strtohex(const QString& text)
{
    QString hex;
    hex.reserve(text.size() * 2);
    for (const QChar c : text) {
        hex += hexdigit((c.unicode() >> 4) & 0xF);
        hex += hexdigit(c.unicode() & 0xF);
    }
    return hex;
}

QString hextostr(const QString& text)
{
    QString result;
    result.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        result += QChar(static_cast<char16_t>(16 * hexdigitvalue(text[i]) + hexdigitvalue(text[i + 1])));
    return result;
}

QChar hexdigit(int value)
{
    if (value >= 0 && value <= 9)
        return QChar(static_cast<char16_t>(u'0' + value));
    if (value >= 10 && value <= 15)
        return QChar(static_cast<char16_t>(u'A' + value - 10));
    libwarning(kHexCharError);
    return u'0';
}

int hexdigitvalue(QChar c)
{
    return std::max(hexnibble(c), 0);  // any other character counts as 0
}

}  // namespace vek
