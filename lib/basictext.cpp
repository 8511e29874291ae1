#include "lib/basictext.h"

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

QString trimtext(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

}  // namespace vek
