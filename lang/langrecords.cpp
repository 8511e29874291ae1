#include "lang/langrecords.h"

#include <QSet>
#include <algorithm>

namespace vek {
namespace {

QString foldkey(const QString& key)
{
    return key.toCaseFolded();
}

bool linebefore(const QString& a, const QString& b)
{
    if (const int c = a.compare(b, Qt::CaseInsensitive))
        return c < 0;
    return a < b;
}

}  // namespace

QString recordkey(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq);
}

bool isrecordline(const QString& line)
{
    return line.contains(u'=');
}

void langrecordlist::clear()
{
    lines_.clear();
    index_.clear();
    sorted_ = true;
}

void langrecordlist::setlines(const QStringList& lines)
{
    clear();
    lines_.reserve(lines.size());
    QSet<QString> keys;
    QSet<QString> strays;
    keys.reserve(lines.size());
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        // A hand-edited file may hold a key twice: the first line stands, so
        // that a lookup has one answer and a save writes the key once.
        QSet<QString>& seen = isrecordline(line) ? keys : strays;
        const QString folded = foldkey(isrecordline(line) ? recordkey(line) : line);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        lines_.append(line);
    }
    sort();
}

bool langrecordlist::find(const QString& key, QString& text) const
{
    const auto it = index_.constFind(foldkey(key));
    if (it == index_.constEnd())
        return false;
    const QString& line = lines_[*it];
    text = line.mid(line.indexOf(u'=') + 1);
    return true;
}

void langrecordlist::setrecord(const QString& key, const QString& text)
{
    const QString line = key + u'=' + text;
    const QString folded = foldkey(key);
    const auto it = index_.constFind(folded);
    if (it != index_.constEnd()) {
        lines_[*it] = line;
    } else {
        index_.insert(folded, lines_.size());
        lines_.append(line);
    }
    sorted_ = false;
}

void langrecordlist::sort()
{
    std::sort(lines_.begin(), lines_.end(), linebefore);
    reindex();
    sorted_ = true;
}

void langrecordlist::reindex()
{
    index_.clear();
    index_.reserve(lines_.size());
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (isrecordline(lines_[i]))
            index_.insert(foldkey(recordkey(lines_[i])), i);
    }
}

}  // namespace vek
