#include "lib/texts.h"

#include "lib/basictext.h"

namespace vek {

QChar namevaluesep = u'=';

namevaluesepscope::namevaluesepscope(QChar separator) : previous_(namevaluesep)
{
    namevaluesep = separator;
}

namevaluesepscope::~namevaluesepscope()
{
    namevaluesep = previous_;
}

namespace {

char16_t foldAZ(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? char16_t(u - (u'a' - u'A')) : u;
}

}  // namespace

int textposnocase(const QString& sub, const QString& text)
{
    if (sub.isEmpty())
        return 0;
    return static_cast<int>(uppertext(text).indexOf(uppertext(sub))) + 1;
}

bool samestart(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (foldAZ(a[i]) != foldAZ(b[i]))
            return false;
    }
    return true;
}

QString namepart(const QString& text)
{
    const qsizetype sep = text.indexOf(namevaluesep);
    return sep < 0 ? text : text.left(sep);
}

QString valuepart(const QString& text)
{
    const qsizetype sep = text.indexOf(namevaluesep);
    return trimtext(sep < 0 ? text : text.mid(sep + 1));
}

QString valuepartupper(const QString& text)
{
    return uppertext(valuepart(text));
}

void replaceall(QString& text, const QString& find, const QString& replacement)
{
    if (!find.isEmpty())
        text.replace(find, replacement, Qt::CaseInsensitive);
}

QString replacedtext(const QString& text, const QString& find, const QString& replacement)
{
    QString out = text;
    replaceall(out, find, replacement);
    return out;
}

QString unquote(const QString& text)
{
    if (firstchar(text) == u'"' && lastchar(text) == u'"')
        return text.size() <= 2 ? QString() : text.mid(1, text.size() - 2);
    return text;
}

QString listitem(const QStringList& list, qsizetype index)
{
    return stringsitem(list, index);
}

QString listitem(const QStringList* list, qsizetype index)
{
    return list ? stringsitem(*list, index) : QString();
}

QByteArray widetobytes(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 256)
            out += '\0';
        out += static_cast<char>(u & 0xFF);
    }
    return out;
}

QString bytestowide(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

}  // namespace vek
