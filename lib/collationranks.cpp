#include "lib/collationranks.h"

#include "platform/libformat.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <optional>

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

// The keys of many texts in one buffer: per text its primary weights, a 0
// that ends them (a shorter text before a longer one it begins), then its
// tertiary weights. Compared as bytes they give the collator's order; the
// first eight bytes, kept as one number beside each key, settle most
// comparisons without reaching the buffer.
class AsciiKeys {
public:
    // Stops at the first text with a character outside printable ASCII;
    // complete() tells whether every text has its key.
    AsciiKeys(const std::vector<QStringView>& texts, const AsciiWeights& w)
    {
        size_t total = 0;
        for (QStringView t : texts)
            total += static_cast<size_t>(t.size()) * 2 + 1;
        bytes_.resize(total);
        refs_.reserve(texts.size());
        size_t at = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            // The texts lie all over the heap: ask for one a few places on
            // while this one is read.
            if (i + 8 < texts.size())
                __builtin_prefetch(texts[i + 8].data());
            const QStringView t = texts[i];
            const size_t start = at;
            for (QChar c : t) {
                const char16_t u = c.unicode();
                if (u < kFirstPrintable || u > kLastPrintable)
                    return;
                bytes_[at++] = w.primary[u - kFirstPrintable];
            }
            bytes_[at++] = 0;
            for (QChar c : t)
                bytes_[at++] = w.tertiary[c.unicode() - kFirstPrintable];
            quint64 head = 0;
            for (size_t k = 0; k < 8; ++k)
                head = (head << 8) | (start + k < at ? bytes_[start + k] : 0u);
            refs_.push_back({head, static_cast<quint32>(start), static_cast<quint32>(at - start)});
        }
    }

    bool complete(size_t count) const { return refs_.size() == count; }
    size_t size() const { return refs_.size(); }

    bool less(size_t a, size_t b) const
    {
        const Ref& x = refs_[a];
        const Ref& y = refs_[b];
        if (x.head != y.head)
            return x.head < y.head;
        if (x.length <= 8 && y.length <= 8)
            return x.length < y.length;
        const int c = std::memcmp(bytes_.data() + x.start, bytes_.data() + y.start, std::min(x.length, y.length));
        return c != 0 ? c < 0 : x.length < y.length;
    }

private:
    struct Ref {
        quint64 head;
        quint32 start;
        quint32 length;
    };
    std::vector<unsigned char> bytes_;
    std::vector<Ref> refs_;
};

// Ranks by a strict order over the indices 0..count-1.
template <typename Less> std::vector<int> ranksByOrder(size_t count, Less less)
{
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return less(a, b); });
    std::vector<int> ranks(count);
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && less(order[i - 1], order[i]))
            ++rank;
        ranks[static_cast<size_t>(order[i])] = rank;
    }
    return ranks;
}

}  // namespace

std::vector<int> collationRanks(const std::vector<QStringView>& texts)
{
    const QCollator collator = platform::textCollator();
    // Most columns are plain ASCII names; their keys are made here without
    // the collation library, which costs several times the sort itself.
    if (const std::optional<AsciiWeights> weights = asciiWeights(collator)) {
        const AsciiKeys keys(texts, *weights);
        if (keys.complete(texts.size())) {
            return ranksByOrder(keys.size(), [&keys](int a, int b) {
                return keys.less(static_cast<size_t>(a), static_cast<size_t>(b));
            });
        }
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (QStringView t : texts)
        keys.push_back(collator.sortKey(t.toString()));
    return ranksByOrder(keys.size(), [&keys](int a, int b) {
        return keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]) < 0;
    });
}

}  // namespace vek
