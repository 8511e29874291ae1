#include "lib/fields.h"

#include "lib/texts.h"
#include "platform/libformat.h"

namespace vek {
namespace {

constexpr QChar kQuote = u'"';

bool isKnownDelimiter(QChar c)
{
    return c == u'\t' || c == u',' || c == u';';
}

QString quoted(const QString& s)
{
    return kQuote + s + kQuote;
}

}  // namespace

void splitfields(const QString& line, QStringList* list, QChar delimiter)
{
    if (!list)
        return;
    list->clear();
    QString field;
    bool inQuotes = false;
    for (const QChar c : line) {
        if (c == delimiter && !inQuotes) {
            list->append(unquote(field));
            field.clear();
            continue;
        }
        // A quote opens a quoted field only at its start; any later quote
        // closes it, so doubled quotes inside a field stay as they are.
        if (c == kQuote)
            inQuotes = field.isEmpty();
        field += c;
    }
    if (!field.isEmpty())
        list->append(unquote(field));
}

void splitfields(const QString& line, QStringList& list, QChar delimiter)
{
    splitfields(line, &list, delimiter);
}

QString joinfields(const QStringList& items, QChar delimiter)
{
    QString out;
    for (const QString& item : items) {
        const QString s = (item.contains(delimiter) && !item.startsWith(kQuote)) ? quoted(item) : item;
        if (!out.isEmpty())
            out += delimiter + s;
        else
            out = s.isEmpty() ? QString(2, kQuote) : s;
    }
    return out;
}

QString joinstrings(const QStringList& items, QChar delimiter)
{
    QString out;
    for (const QString& item : items) {
        const QString s = item.contains(delimiter) ? quoted(item) : item;
        if (out.isEmpty())
            out = s;
        else
            out += delimiter + s;
    }
    return out;
}

void appendfield(QString& line, const QString& field, QChar delimiter)
{
    QString s = (field.size() == 1 && field[0].unicode() == 0) ? QString() : field;
    if (s.contains(delimiter))
        s = quoted(s);
    if (!line.isEmpty())
        line += delimiter + s;
    else
        line = s.isEmpty() ? QStringLiteral(" ") : s;
}

void detectdelimiter(const QStringList& lines, QChar& delimiter)
{
    if (lines.isEmpty())
        return;
    if (!isKnownDelimiter(delimiter))
        delimiter = platform::libformat().listSeparator;
    const QString& first = lines.first();
    if (first.contains(delimiter))
        return;
    for (qsizetype i = 0; i + 1 < first.size(); ++i) {
        if (isKnownDelimiter(first[i])) {
            delimiter = first[i];
            return;
        }
    }
}

}  // namespace vek
