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

// Where `line` stands against the record key `key` followed by "=", both
// folded: below (-1), at (0: the line is that record) or above (1). Sorted
// lines order the same way, so that halving finds a record.
int linetokey(const QString& line, QStringView key)
{
    const qsizetype n = key.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i == line.size())
            return -1;
        const char16_t u = foldunit(line[i].unicode());
        const char16_t v = i == n ? char16_t(u'=') : foldunit(key[i].unicode());
        if (u != v)
            return u < v ? -1 : 1;
    }
    return 0;
}

// The case-folded key of a record line, as the added records are indexed.
QString foldedkey(QStringView key)
{
    QString folded(key.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < key.size(); ++i)
        folded[i] = QChar(foldunit(key[i].unicode()));
    return folded;
}

bool foldedequal(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldunit(a[i].unicode()) != foldunit(b[i].unicode()))
            return false;
    }
    return true;
}

// Two records of one key, or two stray lines equal but for letter case.
bool samekey(const QString& a, const QString& b)
{
    const qsizetype ea = a.indexOf(u'=');
    const qsizetype eb = b.indexOf(u'=');
    if (ea < 0 || eb < 0)
        return ea < 0 && eb < 0 && foldedequal(a, b);
    return foldedequal(QStringView(a).left(ea), QStringView(b).left(eb));
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
    addedindex_.clear();
    sortedcount_ = 0;
    finger_ = 0;
    sorted_ = true;
}

void langrecordlist::setlines(const QStringList& lines)
{
    clear();
    lines_.reserve(lines.size());
    for (const QString& line : lines) {
        if (!blankline(line))
            lines_.append(line);
    }
    if (std::is_sorted(lines_.cbegin(), lines_.cend(), linebefore)) {
        // The family writes its files sorted: lines of one key then stand
        // together, the first of the file first.
        const auto end = std::unique(lines_.begin(), lines_.end(), samekey);
        lines_.erase(end, lines_.end());
        sortedcount_ = lines_.size();
        return;
    }
    // Sorted by hand or by another program: the first line of a key in the
    // file's own order stands.
    QStringList kept;
    kept.reserve(lines_.size());
    QSet<QString> seen;
    for (const QString& line : std::as_const(lines_)) {
        const qsizetype eq = line.indexOf(u'=');
        const QString folded = eq < 0 ? u'\n' + foldedkey(line) : foldedkey(QStringView(line).left(eq));
        if (!seen.contains(folded)) {
            seen.insert(folded);
            kept.append(line);
        }
    }
    lines_ = std::move(kept);
    sort();
}

qsizetype langrecordlist::indexof(QStringView key) const
{
    // A screen's controls are looked up in the order they were made, and
    // their records lie near each other in the file: the search starts from
    // the last record found, in steps that double, and halves the last step.
    const auto below = [this, &key](qsizetype i) { return linetokey(lines_[i], key) < 0; };
    qsizetype low = 0;
    qsizetype high = sortedcount_;
    if (finger_ < sortedcount_) {
        qsizetype step = 1;
        if (below(finger_)) {
            low = finger_ + 1;
            while (low + step < sortedcount_ && below(low + step - 1)) {
                low += step;
                step *= 2;
            }
            high = std::min(sortedcount_, low + step);
        } else {
            high = finger_;
            while (high - step > 0 && !below(high - step)) {
                high -= step;
                step *= 2;
            }
            low = std::max<qsizetype>(0, high - step);
        }
    }
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (below(mid))
            low = mid + 1;
        else
            high = mid;
    }
    if (low < sortedcount_ && linetokey(lines_[low], key) == 0) {
        finger_ = low;
        return low;
    }
    return addedindex_.isEmpty() ? -1 : addedindex_.value(foldedkey(key), -1);
}

bool langrecordlist::find(const QString& key, QString& text) const
{
    const std::optional<QStringView> found = recordtext(key);
    if (found)
        text = found->toString();
    return found.has_value();
}

std::optional<QStringView> langrecordlist::recordtext(QStringView key) const
{
    const qsizetype i = indexof(key);
    if (i < 0)
        return std::nullopt;
    const QString& line = lines_[i];
    return QStringView(line).sliced(line.indexOf(u'=') + 1);
}

void langrecordlist::setrecord(const QString& key, const QString& text)
{
    QString line = key + u'=' + text;
    // A new text changes no line's place among the others: they differ by key.
    if (const qsizetype i = indexof(key); i >= 0) {
        lines_[i] = std::move(line);
        return;
    }
    addedindex_.insert(foldedkey(key), lines_.size());
    lines_.append(std::move(line));
    sorted_ = false;
}

void langrecordlist::sort()
{
    std::sort(lines_.begin(), lines_.end(), linebefore);
    sortedcount_ = lines_.size();
    addedindex_.clear();
    sorted_ = true;
}

}  // namespace vek
