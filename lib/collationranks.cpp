#include "lib/collationranks.h"

#include "platform/libformat.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <string>

namespace vek {
namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kLastPrintable = 0x7E;
constexpr int kPrintableCount = kLastPrintable - kFirstPrintable + 1;

// The weights of the printable ASCII characters under a collator, read off
// the collator itself: each character's place among the others with case
// set aside (primary), and its place among those sharing that (tertiary). A
// text of these characters alone then collates as its primary weights, and
// where those are all equal as its tertiary weights, one character after the
// other. That holds for locales that sort ASCII by the root collation, which
// has no contractions among these characters; English is such a locale.
struct AsciiWeights {
    std::array<unsigned char, kPrintableCount> primary{};
    std::array<unsigned char, kPrintableCount> tertiary{};
};

std::optional<AsciiWeights> asciiWeights(const QCollator& collator)
{
    if (collator.locale().language() != QLocale::English || collator.numericMode() || collator.ignorePunctuation()
        || collator.caseSensitivity() != Qt::CaseSensitive)
        return std::nullopt;
    std::array<QString, kPrintableCount> chars;
    for (int i = 0; i < kPrintableCount; ++i)
        chars[static_cast<size_t>(i)] = QString(QChar(char16_t(kFirstPrintable + i)));
    std::array<int, kPrintableCount> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return collator.compare(chars[static_cast<size_t>(a)], chars[static_cast<size_t>(b)]) < 0;
    });
    // Two neighbours share a primary weight when a second character decides
    // between them against their own order: x + last > y + first.
    const QString& low = chars[static_cast<size_t>(order.front())];
    const QString& high = chars[static_cast<size_t>(order.back())];
    AsciiWeights w;
    int primary = 1, tertiary = 1;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t c = static_cast<size_t>(order[k]);
        if (k > 0) {
            const QString& before = chars[static_cast<size_t>(order[k - 1])];
            if (collator.compare(before + high, chars[c] + low) < 0) {
                ++primary;
                tertiary = 1;
            } else if (collator.compare(before, chars[c]) != 0) {
                ++tertiary;
            }
        }
        w.primary[c] = static_cast<unsigned char>(primary);
        w.tertiary[c] = static_cast<unsigned char>(tertiary);
    }
    return w;
}

bool printableAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= kFirstPrintable && c.unicode() <= kLastPrintable; });
}

// Primary weights, a 0 that ends them (a shorter text before a longer one it
// begins), then tertiary weights: compared as bytes, the collator's order.
std::string asciiKey(const QString& text, const AsciiWeights& w)
{
    std::string key;
    key.resize(static_cast<size_t>(text.size()) * 2 + 1);
    size_t at = 0;
    for (QChar c : text)
        key[at++] = static_cast<char>(w.primary[c.unicode() - kFirstPrintable]);
    key[at++] = 0;
    for (QChar c : text)
        key[at++] = static_cast<char>(w.tertiary[c.unicode() - kFirstPrintable]);
    return key;
}

template <typename Key, typename Less> std::vector<int> ranksByKeys(const std::vector<Key>& keys, Less less)
{
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return less(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]); });
    std::vector<int> ranks(keys.size());
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t at = static_cast<size_t>(order[i]);
        if (i > 0 && less(keys[static_cast<size_t>(order[i - 1])], keys[at]))
            ++rank;
        ranks[at] = rank;
    }
    return ranks;
}

}  // namespace

std::vector<int> collationRanks(const QStringList& texts)
{
    const QCollator collator = platform::textCollator();
    // Most columns are plain ASCII names; their keys are made here without
    // the collation library, which costs several times the sort itself.
    if (std::all_of(texts.begin(), texts.end(), printableAscii)) {
        if (const std::optional<AsciiWeights> weights = asciiWeights(collator)) {
            std::vector<std::string> keys;
            keys.reserve(static_cast<size_t>(texts.size()));
            for (const QString& t : texts)
                keys.push_back(asciiKey(t, *weights));
            return ranksByKeys(keys, std::less<std::string>());
        }
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(texts.size()));
    for (const QString& t : texts)
        keys.push_back(collator.sortKey(t));
    return ranksByKeys(keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
}

}  // namespace vek
