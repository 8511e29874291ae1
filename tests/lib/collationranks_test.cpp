// Texts ranked by collation: the ranks agree with the collator's own sort
// keys, for plain ASCII columns (ranked without the collation library) and
// for any other text.
#include "lib/collationranks.h"
#include "localescope.h"
#include "platform/libformat.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <gtest/gtest.h>
#include <random>

namespace {

// The ranks the collator's sort keys give, worked out pair by pair.
void expectRanksAsTheCollator(const QStringList& texts, const std::string& what)
{
    const std::vector<QStringView> views(texts.begin(), texts.end());
    const std::vector<int> ranks = vek::collationRanks(views);
    ASSERT_EQ(ranks.size(), static_cast<size_t>(texts.size()));
    const QCollator collator = platform::textCollator();
    std::vector<QCollatorSortKey> keys;
    for (const QString& t : texts)
        keys.push_back(collator.sortKey(t));
    for (size_t a = 0; a < keys.size(); ++a) {
        for (size_t b = 0; b < keys.size(); ++b) {
            const int order = keys[a].compare(keys[b]);
            const int got = ranks[a] < ranks[b] ? -1 : (ranks[a] > ranks[b] ? 1 : 0);
            ASSERT_EQ(got, order < 0 ? -1 : (order > 0 ? 1 : 0))
                << what << ": " << texts[static_cast<qsizetype>(a)].toStdString() << " vs "
                << texts[static_cast<qsizetype>(b)].toStdString();
        }
    }
}

QStringList randomTexts(const QString& alphabet, int count, unsigned seed)
{
    std::mt19937 rng(seed);
    QStringList out;
    for (int i = 0; i < count; ++i) {
        QString t;
        const int length = static_cast<int>(rng() % 6);
        for (int k = 0; k < length; ++k)
            t.append(alphabet[static_cast<qsizetype>(rng() % static_cast<unsigned>(alphabet.size()))]);
        out.append(t);
    }
    return out;
}

TEST(CollationRanks, AgreeWithTheCollatorForAsciiAndOtherTexts)
{
    QString printable;
    for (char16_t c = 0x20; c <= 0x7E; ++c)
        printable.append(QChar(c));
    const QStringList fixed{"a",  "A",   "b",  "B", "ab", "aB", "Ab", "a-b", "a b", "a_b", "a.b",
                            "a1", "a10", "a2", "",  "a",  "Z",  "z",  "~",   "!",   "'",   "9"};
    for (const QLocale& locale : {platform::rootCollationLocale(), QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        const testsupport::LocaleScope snapshot(platform::localeFormatOf(locale));
        const std::string name = locale.name().toStdString();
        expectRanksAsTheCollator(fixed, name + " fixed");
        expectRanksAsTheCollator(randomTexts(QStringLiteral("aAbBzZ09 -_.'!~"), 300, 1), name + " close letters");
        expectRanksAsTheCollator(randomTexts(printable, 300, 2), name + " printable");
        // One text beyond ASCII: all go through the collation library.
        expectRanksAsTheCollator(randomTexts(QStringLiteral("aAeE\u00E9\u00C9 -"), 200, 3), name + " accents");
    }
}

}  // namespace
