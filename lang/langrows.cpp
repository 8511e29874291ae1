#include "lang/langrows.h"

#include "lang/langlines.h"
#include "lib/basictext.h"

#include <QRegularExpression>

namespace vek {
namespace {

// "/r/n", with the blanks a service may add around its parts, in any case.
const QRegularExpression& markerpattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(\s*/\s*r\s*/\s*n\s*)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The parts trimmed; the empty part after the last marker is no line.
QStringList trimmedlines(QStringList parts)
{
    if (!parts.isEmpty() && trimtext(parts.last()).isEmpty())
        parts.removeLast();
    for (QString& part : parts)
        part = trimtext(part);
    return parts;
}

}  // namespace

std::optional<LangRow> langrowof(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    const QString key = line.left(eq);
    const qsizetype us = key.indexOf(u'_');
    if (us < 0)
        return std::nullopt;
    return LangRow{key.left(us), key.mid(us + 1), line.mid(eq + 1)};
}

QString langrowline(const LangRow& row)
{
    return row.kind + u'_' + row.name + u'=' + langfileline(row.text);
}

bool multilinekind(const QString& kind)
{
    for (const char* multi : {"memo", "listbox", "listview", "text"}) {
        if (kind.compare(QLatin1String(multi), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString removepunctuation(const QString& s)
{
    QString out = s;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        const bool letter = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
        if (u >= 33 && u <= 126 && !letter)
            c = u' ';
    }
    return out.trimmed();
}

QString memorequest(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += removepunctuation(line) + kMemoLineMarker;
    return text;
}

QStringList memoreplylines(const QString& reply)
{
    // Each line ends in "/r/n/": the marker, then the slash that closes it.
    static const QRegularExpression ending(QStringLiteral(R"(\s*/\s*r\s*/\s*n\s*/\s*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return trimmedlines(reply.split(ending));
}

QStringList batchreplylines(const QString& reply)
{
    return trimmedlines(reply.split(markerpattern()));
}

}  // namespace vek
