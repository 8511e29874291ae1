#include "lib/listviews.h"

#include "lib/numbers.h"
#include "platform/libformat.h"

#include <QCollator>
#include <QDateTime>
#include <algorithm>
#include <optional>
#include <vector>

namespace vek {
namespace {

enum class ColumnKind { Text, Number, Date };

// Rows 0, 1 and the last are never sampled, nor anything from row 100 on:
// a click on a long list costs one sort, not a scan.
constexpr int kFirstSampledRow = 2;
constexpr int kSampleEnd = 100;

bool hasColumn(const TListItem* row, int column)
{
    return column == 0 || column - 1 < row->subItemCount();
}

QString valueAt(const TListItem* row, int column)
{
    return column == 0 ? row->caption() : getsubitem(row, column - 1);
}

ColumnKind columnKind(const TListView* view, int column)
{
    const int count = view->count();
    if (count <= 3)
        return ColumnKind::Text;
    const int end = std::min(count - 1, kSampleEnd);
    QString sample;
    for (int i = kFirstSampledRow; i < end && sample.isEmpty(); ++i)
        sample = valueAt(view->item(i), column);
    const QChar dateSeparator = platform::libformat().dateSeparator;
    if ((sample.size() == 5 || sample.size() >= 8) && sample[2] == dateSeparator)
        return ColumnKind::Date;
    if (!isnumeric(sample))
        return ColumnKind::Text;
    for (int i = kFirstSampledRow; i < end; ++i) {
        if (!isnumbertext(valueAt(view->item(i), column)))
            return ColumnKind::Text;
    }
    return ColumnKind::Number;
}

// What a row sorts by, computed once per row rather than once per comparison.
struct SortEntry {
    TListItem* row;
    int tier;  // 0: the row lacks the sub-item; 1: the value cannot be read; 2: a value
    double number = 0;
    qint64 time = 0;
    int textKey = -1;  // index into the collation keys
};

std::optional<QDateTime> readDate(const QString& text)
{
    const platform::LocaleFormat& f = platform::libformat();
    const QString trimmed = text.trimmed();
    for (const QString& format : {f.shortDateFormat + u' ' + f.longTimeFormat,
                                  f.shortDateFormat + QStringLiteral(" hh:mm"), f.shortDateFormat}) {
        const QDateTime t = QDateTime::fromString(trimmed, format);
        if (t.isValid())
            return t;
    }
    return std::nullopt;
}

std::vector<SortEntry> sortEntries(const TListView* view, int column, ColumnKind kind,
                                   std::vector<QCollatorSortKey>& textKeys)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<SortEntry> entries;
    entries.reserve(view->count());
    for (TListItem* row : view->rows()) {
        SortEntry e{row, hasColumn(row, column) ? 2 : 0};
        if (e.tier == 0) {
            entries.push_back(std::move(e));
            continue;
        }
        const QString value = valueAt(row, column);
        switch (kind) {
        case ColumnKind::Text:
            e.textKey = static_cast<int>(textKeys.size());
            textKeys.push_back(collator.sortKey(value));
            break;
        case ColumnKind::Number:
            e.number = texttofloat(value);
            break;
        case ColumnKind::Date:
            // Empty dates sort first; a text that is no date cannot stand
            // "equal to everything" in a consistent order, so it sorts right
            // after the empty ones.
            if (value.isEmpty()) {
                e.tier = 1;
                e.number = 0;
            } else if (const auto t = readDate(value)) {
                e.time = t->toMSecsSinceEpoch();
            } else {
                e.tier = 1;
                e.number = 1;
            }
            break;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

bool ascending(const SortEntry& a, const SortEntry& b, ColumnKind kind,
               const std::vector<QCollatorSortKey>& textKeys)
{
    if (a.tier != b.tier)
        return a.tier < b.tier;
    if (a.tier == 0)
        return false;
    if (a.tier == 1)
        return a.number < b.number;
    switch (kind) {
    case ColumnKind::Number:
        return a.number < b.number;
    case ColumnKind::Date:
        return a.time < b.time;
    case ColumnKind::Text:
        break;
    }
    return textKeys[a.textKey].compare(textKeys[b.textKey]) < 0;
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
    if (!row || index < 0)
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
    std::vector<QCollatorSortKey> textKeys;
    std::vector<SortEntry> entries = sortEntries(view, column, kind, textKeys);
    const bool down = descending;
    std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        return down ? ascending(b, a, kind, textKeys) : ascending(a, b, kind, textKeys);
    });
    QList<TListItem*> order;
    order.reserve(static_cast<qsizetype>(entries.size()));
    for (const SortEntry& e : entries)
        order.append(e.row);
    view->setRowOrder(order);
}

int comparedates(const QString& a, const QString& b)
{
    if (a == b)
        return 0;
    if (a.isEmpty())
        return -1;
    if (b.isEmpty())
        return 1;
    const auto x = readDate(a);
    const auto y = readDate(b);
    if (!x || !y)
        return 0;
    return *x < *y ? -1 : (*y < *x ? 1 : 0);
}

}  // namespace vek
