#include "lib/namevaluelist.h"

#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/numbers.h"
#include "lib/textlists.h"
#include "lib/texts.h"
#include "platform/libformat.h"

#include <QCollator>
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace vek {
namespace {

// Exports sort as a string list does: by the collation of the locale
// snapshot, letters before their case. Items the collation holds equal keep
// the order of their character codes, so an export never depends on the
// order of the hash.
template <typename Items, typename TextOf> void sortByCollation(Items& items, TextOf textOf)
{
    const QCollator collator = platform::textCollator();
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(static_cast<size_t>(items.size()));
    for (qsizetype i = 0; i < static_cast<qsizetype>(items.size()); ++i)
        keys.emplace_back(collator.sortKey(textOf(items[i])), i);
    std::sort(keys.begin(), keys.end(), [&items](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : items[a.second] < items[b.second];
    });
    Items sorted;
    sorted.reserve(items.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(items[key.second]));
    items = std::move(sorted);
}

void sortTexts(QStringList& texts)
{
    sortByCollation(texts, [](const QString& text) -> const QString& { return text; });
}

// Counters read their old value wide, so a total past the 32-bit range keeps
// counting instead of wrapping round or falling back to 0.
qint64 counterValue(const QString& text)
{
    bool ok = false;
    const qint64 value = trimtext(text).toLongLong(&ok, 10);
    return ok ? value : 0;
}

}  // namespace

tnamevaluelist::tnamevaluelist(const QStringList* alist)
{
    importlist(alist);
}

tnamevaluelist::tnamevaluelist(const QStringList& alist)
{
    importlist(&alist);
}

QString tnamevaluelist::keyOf(const QString& aname) const
{
    return upcasename ? uppertext(aname) : aname;
}

void tnamevaluelist::clear()
{
    dict.clear();
    fileloaded.clear();
    unreadable_.clear();
}

int tnamevaluelist::count() const
{
    return static_cast<int>(dict.size());
}

QString tnamevaluelist::getvalue(const QString& aname) const
{
    const QString key = upcasename ? uppertext(trimtext(aname)) : aname;
    const auto it = dict.constFind(key);
    return it == dict.constEnd() ? Notpresentcode : it.value();
}

QStringList tnamevaluelist::getvaluelist(const QString& aname)
{
    QStringList fields;
    getvaluelist(aname, fields);
    return fields;
}

int tnamevaluelist::getvaluelist(const QString& aname, QStringList& alist)
{
    listdelim = u';';
    splitfields(getvalue(aname), alist, listdelim);
    return static_cast<int>(alist.size());
}

bool tnamevaluelist::change(const QString& aname, const QString& avalue, bool mayupdate)
{
    listdelim = u';';
    updstatus = kUnchanged;
    const QString key = keyOf(aname);
    const auto it = dict.find(key);
    if (it == dict.end()) {
        dict.insert(key, avalue);
        updstatus = kAdded;
        return true;
    }
    const QString old = it.value();
    if (old == avalue || !mayupdate)
        return false;
    if (saveaslist) {
        QString joined = old;
        appendfield(joined, avalue, listdelim);
        it.value() = joined;
        updstatus = kUpdated;
    } else if (allowlater) {
        // Ordinal comparison: stamps and codes only ever move forward.
        if (QString::compare(avalue, old, Qt::CaseSensitive) > 0) {
            it.value() = avalue;
            updstatus = kUpdated;
        }
    } else {
        it.value() = avalue;
        updstatus = kUpdated;
    }
    return false;
}

bool tnamevaluelist::setnamevalue(const QString& aname, const QString& avalue)
{
    return change(aname, avalue, allowupdate);
}

bool tnamevaluelist::updatenamevalue(const QString& aname, const QString& avalue)
{
    return change(aname, avalue, true);
}

bool tnamevaluelist::addnamevalue(const QString& aname, int toadd)
{
    listdelim = u';';
    updstatus = kUnchanged;
    const QString key = keyOf(aname);
    const auto it = dict.find(key);
    if (it == dict.end()) {
        dict.insert(key, inttotext(toadd));
        updstatus = kAdded;
        return true;
    }
    const qint64 old = counterValue(it.value());
    // Saturate at the ends of the range rather than overflow.
    qint64 sum = 0;
    if (__builtin_add_overflow(old, static_cast<qint64>(toadd), &sum))
        sum = toadd > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    it.value() = int64totext(sum);
    updstatus = kUpdated;
    return false;
}

bool tnamevaluelist::removename(const QString& aname)
{
    dict.remove(keyOf(aname));
    return true;
}

bool tnamevaluelist::namepresent(const QString& aname) const
{
    return dict.contains(keyOf(aname));
}

QStringList tnamevaluelist::sortedPairs(QChar separator) const
{
    // Sorted by the name=value line, whatever the separator written, so a
    // delimited file lists its entries in the order of the text file.
    std::vector<std::pair<QString, QString>> lines;
    lines.reserve(dict.size());
    for (auto it = dict.constBegin(); it != dict.constEnd(); ++it) {
        const QString value = separator == u'=' ? it.value() : trimtext(it.value());
        lines.emplace_back(it.key() + u'=' + it.value(), it.key() + separator + value);
    }
    if (sortexport)
        sortByCollation(lines, [](const auto& line) -> const QString& { return line.first; });
    QStringList out;
    out.reserve(static_cast<qsizetype>(lines.size()));
    for (auto& line : lines)
        out.append(std::move(line.second));
    return out;
}

void tnamevaluelist::exportlist(QStringList* alist) const
{
    if (alist)
        *alist = sortedPairs(u'=');
}

void tnamevaluelist::exportnames(QStringList* alist) const
{
    if (!alist)
        return;
    *alist = dict.keys();
    if (sortexport)
        sortTexts(*alist);
}

void tnamevaluelist::exportvalues(QStringList* alist) const
{
    if (!alist)
        return;
    *alist = dict.values();
    if (sortexport)
        sortTexts(*alist);
}

void tnamevaluelist::importlist(const QStringList* alist)
{
    if (!alist)
        return;
    dict.clear();
    for (const QString& line : *alist) {
        const QString key = keyOf(namepart(line));
        // The first line of a name wins.
        if (dict.contains(key))
            continue;
        dict.insert(key, upcasevalues ? valuepartupper(line) : valuepart(line));
    }
}

void tnamevaluelist::importcsvlist(const QStringList* alist)
{
    if (!alist)
        return;
    QChar delimiter;
    detectdelimiter(*alist, delimiter);
    const namevaluesepscope scope(delimiter);
    importlist(alist);
}

void tnamevaluelist::loadfromfile(const QString& aname)
{
    if (aname == fileloaded)
        return;
    QStringList lines;
    if (readlist(lines, aname) == platform::ReadError::Failed) {
        unreadable_ = aname;
        return;
    }
    if (unreadable_ == aname)
        unreadable_.clear();
    fileloaded = aname;
    importlist(&lines);
}

bool tnamevaluelist::savetofile(const QString& aname) const
{
    if (!unreadable_.isEmpty() && aname == unreadable_)
        return false;
    return savelist(sortedPairs(u'='), aname);
}

bool tnamevaluelist::savetocsv(const QString& aname) const
{
    return savelist(sortedPairs(platform::libformat().listSeparator), aname);
}

}  // namespace vek
