#include "lib/basictext.h"

#include <utility>

namespace vek {

QString uppertext(const QString& text)
{
    return text.toUpper();
}

QChar firstchar(const QString& text)
{
    return text.isEmpty() ? QChar(0) : text.front();
}

QChar lastchar(const QString& text)
{
    return text.isEmpty() ? QChar(0) : text.back();
}

namespace {

// The bounds of a text without blanks and control characters at its ends.
std::pair<qsizetype, qsizetype> trimmedbounds(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return {first, last - first};
}

}  // namespace

QString trimtext(const QString& text)
{
    const auto [first, length] = trimmedbounds(text);
    return text.mid(first, length);
}

QString trimtext(QStringView text)
{
    const auto [first, length] = trimmedbounds(text);
    return text.mid(first, length).toString();
}

QString asciiupper(QString text)
{
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

int hexnibble(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

bool sameasciinocase(const QString& a, const QString& b)
{
    return a.size() == b.size() && asciiupper(a) == asciiupper(b);
}

bool isasciialnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString underscoredname(const QString& text)
{
    QString name = text;
    for (QChar& c : name) {
        if (!isasciialnum(c))
            c = u'_';
    }
    return name;
}

}  // namespace vek
