#include "lang/langrecords.h"

#include <QSet>
#include <algorithm>

namespace vek {
namespace {

// One UTF-16 unit folded: ASCII by a table-free step (keys are nearly always
// ASCII), the rest by Unicode's simple case folding.
inline char16_t foldunit(char16_t u)
{
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
    return char16_t(QChar::toCaseFolded(char32_t(u)));
}

QStringView keyof(const QString& line)
{
    return QStringView(line).left(line.indexOf(u'='));
}

// Nothing but white space (what trimming would leave empty).
bool blankline(const QString& line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.isSpace(); });
}

// Without regard to letter case, as a case-insensitive comparison of the
// lines orders them; lines equal but for case in ordinal order.
bool linebefore(const QString& a, const QString& b)
{
    const QChar* x = a.constData();
    const QChar* y = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        // Equal units fold equal: only where the lines differ is there work.
        if (x[i] == y[i])
            continue;
        const char16_t u = x[i].unicode();
        const char16_t v = y[i].unicode();
        if (u >= 0x80 || v >= 0x80) {
            if (const int c = a.compare(b, Qt::CaseInsensitive))
                return c < 0;
            return a < b;
        }
        if (foldunit(u) != foldunit(v))
            return foldunit(u) < foldunit(v);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
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

size_t qHash(FoldedKey key, size_t seed)
{
    size_t h = seed ^ 14695981039346656037ULL;
    for (const QChar c : key.text)
        h = (h ^ foldunit(c.unicode())) * 1099511628211ULL;
    return h;
}

bool operator==(FoldedKey a, FoldedKey b)
{
    if (a.text.size() != b.text.size())
        return false;
    for (qsizetype i = 0; i < a.text.size(); ++i) {
        if (foldunit(a.text[i].unicode()) != foldunit(b.text[i].unicode()))
            return false;
    }
    return true;
}

void langrecordlist::clear()
{
    index_.clear();
    lines_.clear();
    sorted_ = true;
}

bool langrecordlist::indexline(qsizetype i)
{
    // One lookup: the slot is made when the key is new.
    const qsizetype before = index_.size();
    qsizetype& slot = index_[FoldedKey{keyof(lines_[i])}];
    if (index_.size() == before)
        return false;
    slot = i;
    return true;
}

void langrecordlist::setlines(const QStringList& lines)
{
    clear();
    lines_.reserve(lines.size());
    index_.reserve(lines.size());
    QSet<QString> strays;
    for (const QString& line : lines) {
        if (blankline(line))
            continue;
        // A hand-edited file may hold a key twice: the first line stands, so
        // that a lookup has one answer and a save writes the key once.
        if (!isrecordline(line)) {
            const QString folded = line.toCaseFolded();
            if (strays.contains(folded))
                continue;
            strays.insert(folded);
            lines_.append(line);
        } else {
            lines_.append(line);
            if (!indexline(lines_.size() - 1))
                lines_.removeLast();
        }
    }
    // The family writes its files sorted: only a file sorted by hand, or by
    // another program, needs the sort (and the index made again after it).
    if (!std::is_sorted(lines_.cbegin(), lines_.cend(), linebefore))
        sort();
}

bool langrecordlist::find(const QString& key, QString& text) const
{
    const auto it = index_.constFind(FoldedKey{key});
    if (it == index_.constEnd())
        return false;
    const QString& line = lines_[*it];
    text = line.mid(line.indexOf(u'=') + 1);
    return true;
}

void langrecordlist::setrecord(const QString& key, const QString& text)
{
    const QString line = key + u'=' + text;
    if (const auto it = index_.constFind(FoldedKey{key}); it != index_.constEnd()) {
        const qsizetype i = *it;
        index_.erase(it);
        lines_[i] = line;
        indexline(i);
    } else {
        lines_.append(line);
        indexline(lines_.size() - 1);
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
            indexline(i);
    }
}

}  // namespace vek
