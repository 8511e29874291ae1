#include "lib/listviews.h"

#include "lib/collationranks.h"
#include "lib/numbers.h"
#include "lib/stamps.h"
#include "platform/libformat.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace vek {

using platform::TListItem;
using platform::TListView;
namespace {

enum class ColumnKind { Text, Number, Date };

// Rows 0, 1 and the last are never sampled, nor anything from row 100 on:
// a click on a long list costs one sort, not a scan.
constexpr int kFirstSampledRow = 2;
constexpr int kSampleEnd = 100;

ColumnKind columnKind(const TListView* view, int column)
{
    const int count = view->count();
    if (count <= 3)
        return ColumnKind::Text;
    const int end = std::min(count - 1, kSampleEnd);
    QString sample;
    for (int i = kFirstSampledRow; i < end && sample.isEmpty(); ++i)
        sample = view->text(i, column);
    const QChar dateSeparator = platform::libformat().dateSeparator;
    if ((sample.size() == 5 || sample.size() >= 8) && sample[2] == dateSeparator)
        return ColumnKind::Date;
    if (!isnumeric(sample))
        return ColumnKind::Text;
    for (int i = kFirstSampledRow; i < end; ++i) {
        if (!isnumbertext(view->text(i, column)))
            return ColumnKind::Text;
    }
    return ColumnKind::Number;
}

// What a row sorts by, worked out once per row rather than once per
// comparison, in a form that compares as two numbers.
struct SortEntry {
    int tier;  // 0: the row lacks the sub-item; 1: the value cannot be read; 2: a value
    int position;  // the row's place before the sort: equal rows keep their order
    double value;  // the number, the moment in ms, or the rank of the text
};

// Reads a column of date texts. Working a local date and time out into a
// moment costs a time-zone lookup and a format parse; done per row that is
// most of a date sort. So each day is worked out once: where the day has one
// offset from UTC all through (every day but those a clock change falls on),
// a text of the family's own shape, "<short date> hh:mm:ss" or
// "<short date> hh:mm" or the date alone, is its day's moment plus the time of
// day. Every other text, and every text of a clock-change day, goes through
// readdatetext.
class DateColumnReader {
public:
    DateColumnReader()
        : format_(platform::libformat()),
          fastPath_(format_.longTimeFormat == QLatin1String("hh:mm:ss") && !format_.shortDateFormat.contains(u' ')
                    && !format_.shortDateFormat.contains(u'\''))
    {
    }

    std::optional<qint64> msecs(const QString& text)
    {
        if (fastPath_) {
            const QString trimmed = text.trimmed();
            const qsizetype blank = trimmed.indexOf(u' ');
            const int seconds = blank < 0 ? 0 : timeOfDay(QStringView(trimmed).mid(blank + 1));
            if (seconds >= 0) {
                const Day& day = dayOf(blank < 0 ? trimmed : trimmed.left(blank));
                if (!day.valid)
                    return std::nullopt;  // no format reads an invalid date
                if (day.uniform)
                    return day.midnight + seconds * qint64(1000);
            }
        }
        const auto t = readdatetext(text);
        return t ? std::optional<qint64>(t->toMSecsSinceEpoch()) : std::nullopt;
    }

private:
    struct Day {
        bool valid = false;
        bool uniform = false;
        qint64 midnight = 0;  // ms since the epoch
    };

    static int twoDigits(QStringView s, qsizetype at)
    {
        const QChar a = s[at], b = s[at + 1];
        if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
            return -1;
        return (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    }

    // Seconds into the day of "hh:mm:ss" or "hh:mm"; -1 for any other text.
    static int timeOfDay(QStringView s)
    {
        if ((s.size() != 8 && s.size() != 5) || s[2] != u':' || (s.size() == 8 && s[5] != u':'))
            return -1;
        const int h = twoDigits(s, 0), m = twoDigits(s, 3), sec = s.size() == 8 ? twoDigits(s, 6) : 0;
        if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59)
            return -1;
        return (h * 60 + m) * 60 + sec;
    }

    const Day& dayOf(const QString& text)
    {
        auto it = days_.find(text);
        if (it != days_.end())
            return *it;
        Day day;
        const QDate date = readshortdate(text).value_or(QDate());
        if (date.isValid()) {
            day.valid = true;
            const QDateTime start(date, QTime(0, 0));
            const QDateTime noon(date, QTime(12, 0));
            const QDateTime end(date, QTime(23, 59, 59));
            // A clock change moves a probe off its wall time or changes its offset.
            day.uniform = start.time() == QTime(0, 0) && end.time() == QTime(23, 59, 59)
                && start.offsetFromUtc() == noon.offsetFromUtc() && noon.offsetFromUtc() == end.offsetFromUtc();
            day.midnight = start.toMSecsSinceEpoch();
        }
        return *days_.insert(text, day);
    }

    const platform::LocaleFormat& format_;
    const bool fastPath_;
    QHash<QString, Day> days_;
};

// How many rows ahead of the one being read its texts are asked for. Each
// row's text lies somewhere else on the heap, and reading them one after the
// other waits on memory row by row: a sub-item is two such reads (the row's
// list of sub-items, then the characters). So the list is asked for twice
// this far ahead and the characters this far ahead, and both have arrived by
// the time the row is read.
constexpr int kReadAhead = 16;

void readAhead(const TListView* view, int row, int column)
{
    if (row + 2 * kReadAhead < view->count())
        __builtin_prefetch(view->cell(row + 2 * kReadAhead, column));  // the address only: nothing is read yet
    if (row + kReadAhead < view->count()) {
        if (const QString* ahead = view->cell(row + kReadAhead, column))
            __builtin_prefetch(ahead->constData());
    }
}

std::vector<SortEntry> sortEntries(const TListView* view, int column, ColumnKind kind)
{
    DateColumnReader dates;
    const int count = view->count();
    std::vector<SortEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    std::vector<QStringView> texts;  // in place: the view does not change during the sort
    std::vector<size_t> textEntries;
    for (int i = 0; i < count; ++i) {
        readAhead(view, i, column);
        // Read in place: a copy of each value would write to every text's
        // reference count, on a long list the larger part of reading them.
        const QString* cell = view->cell(i, column);
        SortEntry e{cell ? 2 : 0, i, 0};
        if (e.tier == 2) {
            const QString& value = *cell;
            switch (kind) {
            case ColumnKind::Text:
                textEntries.push_back(entries.size());
                texts.emplace_back(value);
                break;
            case ColumnKind::Number:
                e.value = texttofloat(value);
                break;
            case ColumnKind::Date:
                // Empty dates sort first; a text that is no date cannot stand
                // "equal to everything" in a consistent order, so it sorts right
                // after the empty ones.
                if (value.isEmpty()) {
                    e = {1, i, 0};
                } else if (const auto t = dates.msecs(value)) {
                    e.value = static_cast<double>(*t);
                } else {
                    e = {1, i, 1};
                }
                break;
            }
        }
        entries.push_back(e);
    }
    if (kind == ColumnKind::Text) {
        const std::vector<int> ranks = collationRanks(texts);
        for (size_t k = 0; k < textEntries.size(); ++k)
            entries[textEntries[k]].value = ranks[k];
    }
    return entries;
}

}  // namespace

void clearlistview(TListView* view)
{
    if (view)
        view->clearItems();
}

QString getsubitem(const TListItem* row, int index)
{
    return row ? row->subItem(index) : QString();
}

void setsubitem(TListItem* row, int index, const QString& text)
{
    if (!row || index < 0 || (index >= row->subItemCount() && index >= row->subItemLimit()))
        return;
    while (row->subItemCount() < index + 1)
        row->appendSubItem(QString());
    row->setSubItem(index, text);
}

void sortlistview(TListView* view, int column, bool& descending)
{
    descending = !descending;
    if (!view || column < 0)
        return;
    const ColumnKind kind = columnKind(view, column);
    std::vector<SortEntry> entries = sortEntries(view, column, kind);
    // Descending turns the order of tiers and values round, not that of
    // equal rows.
    const int sign = descending ? -1 : 1;
    std::sort(entries.begin(), entries.end(), [sign](const SortEntry& a, const SortEntry& b) {
        if (a.tier != b.tier)
            return sign * (a.tier - b.tier) < 0;
        if (a.tier != 0 && a.value != b.value)
            return sign > 0 ? a.value < b.value : b.value < a.value;
        return a.position < b.position;
    });
    std::vector<int> order;
    order.reserve(entries.size());
    for (const SortEntry& e : entries)
        order.push_back(e.position);
    (void)view->setRowOrder(order);  // every row is in `order` once
}

int comparedates(const QString& a, const QString& b)
{
    if (a == b)
        return 0;
    if (a.isEmpty())
        return -1;
    if (b.isEmpty())
        return 1;
    const auto x = readdatetext(a);
    const auto y = readdatetext(b);
    if (!x || !y)
        return 0;
    return *x < *y ? -1 : (*y < *x ? 1 : 0);
}

}  // namespace vek
