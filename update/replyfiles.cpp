#include "update/replyfiles.h"

#include "lib/fields.h"
#include "lib/texts.h"

#include <QRegularExpression>

#include <algorithm>

namespace vek {
namespace {

bool hascontrolcharacter(const QString& s)
{
    return std::any_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

}  // namespace

QStringList replylines(QString reply)
{
    reply.replace(u'"', QStringLiteral("\r\n"));
    static const QRegularExpression kLineBreak(QStringLiteral("\r\n|\n|\r"));
    return reply.split(kLineBreak, Qt::SkipEmptyParts);
}

bool isplainfilename(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(u'/')
        && !name.contains(u'\\') && !name.contains(QChar(0));
}

std::optional<ReplyFile> replyfile(const QString& line)
{
    ReplyFile file{namepart(line), {}};
    splitfields(valuepart(line), file.fields, u'|');
    if (file.fields.size() < 2 || !isplainfilename(file.name))
        return std::nullopt;
    // A control character has no place in a file name or its date, size or
    // version: such a line was not written by the service.
    if (hascontrolcharacter(file.name) || std::any_of(file.fields.cbegin(), file.fields.cend(), [](const QString& f) {
            return hascontrolcharacter(f);
        }))
        return std::nullopt;
    return file;
}

std::optional<QString> sidefiledigest(const QString& text)
{
    static const QRegularExpression kDigest(QStringLiteral("^[0-9A-Fa-f]{32}$"));
    const QString digest = text.section(u'\n', 0, 0).trimmed().section(u' ', 0, 0);
    if (!kDigest.match(digest).hasMatch())
        return std::nullopt;
    return digest;
}

}  // namespace vek
