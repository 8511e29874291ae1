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

namespace {

// Every character looked at: CR LF, LF or CR end a line.
QStringList splitlinesbychar(QStringView text)
{
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        out.append(text.mid(start).toString());
    return out;
}

}  // namespace

QStringList splitlines(QStringView text)
{
    QStringList out;
    out.reserve(text.size() / 32 + 1);
    // Lines ended by LF or CR LF are found by the fast search for LF; a CR
    // anywhere else (a file of CR line ends) takes the character walk.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        const qsizetype length = end - start - (end > start && text[end - 1] == u'\r' && end < text.size() ? 1 : 0);
        const QStringView line = text.sliced(start, length);
        if (line.contains(u'\r'))
            return splitlinesbychar(text);
        out.append(line.toString());
        start = next;
    }
    return out;
}

}  // namespace vek
