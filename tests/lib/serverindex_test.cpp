// The index of a server folder on a web server: what it takes, what it
// refuses (a line that breaks the format refuses the whole index, so that no
// name a reader could not trust reaches the local folder), and that what the
// writer writes the reader reads back.
#include "lib/serverindex.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kDigestA = QByteArray(64, 'a');
const QByteArray kDigestB = QByteArray("0123456789abcdef").repeated(4);

QByteArray line(const QByteArray& name, const QByteArray& size = "12", const QByteArray& time = "2024-02-29T23:59:58Z",
                const QByteArray& digest = kDigestA)
{
    return name + '\t' + size + '\t' + time + '\t' + digest + '\n';
}

TEST(ServerIndex, ReadsEachFieldOfEveryLine)
{
    const vek::ServerIndexRead read
        = vek::parseserverindex(line("Stock.exe", "3000000", "1970-01-01T00:00:01Z")
                                + line("Zebra \xc3\xa9.dll", "0", "2038-01-19T03:14:08Z", kDigestB));
    ASSERT_EQ(read.error, QString());
    ASSERT_EQ(read.entries.size(), 2);
    EXPECT_EQ(read.entries[0],
              (vek::ServerIndexEntry{QStringLiteral("Stock.exe"), 3000000, 1, vek::IndexDigest(kDigestA)}));
    EXPECT_EQ(read.entries[1],
              (vek::ServerIndexEntry{QStringLiteral("Zebra \u00e9.dll"), 0, 2147483648LL, vek::IndexDigest(kDigestB)}));
    EXPECT_TRUE(vek::parseserverindex(QByteArray()).entries.isEmpty());
    EXPECT_TRUE(vek::parseserverindex(QByteArray()).error.isEmpty());
}

TEST(ServerIndex, RefusesTheWholeIndexForAnyLineThatBreaksTheFormat)
{
    const QByteArray good = line("A.exe");
    const struct {
        const char* what;
        QByteArray bytes;
        int badLine;
    } cases[] = {
        {"a name with a slash", good + line("b/c.exe"), 2},
        {"a name with a backslash", line("b\\c.exe"), 1},
        {"a name that is ..", line(".."), 1},
        {"a name holding ..", line("a..b.exe"), 1},
        {"a name that is .", line("."), 1},
        {"an empty name", line(""), 1},
        {"a name with a control character", line("a\x01.exe"), 1},
        {"a name with DEL", line("a\x7f.exe"), 1},
        {"a name with a C1 control", line("a\xc2\x85.exe"), 1},
        {"a carriage return before the line feed", "A.exe\t12\t2024-02-29T23:59:58Z\t" + kDigestA + "\r\n", 1},
        {"no line feed at the end", good.chopped(1), 1},
        {"a blank line", good + "\n", 2},
        {"three fields", "A.exe\t12\t2024-02-29T23:59:58Z\n", 1},
        {"five fields", "A.exe\t12\t2024-02-29T23:59:58Z\t" + kDigestA + "\tx\n", 1},
        {"a negative size", line("A.exe", "-1"), 1},
        {"a size with a sign", line("A.exe", "+1"), 1},
        {"a size too large", line("A.exe", "9999999999999999999"), 1},
        {"an empty size", line("A.exe", ""), 1},
        {"a size with a leading zero", line("A.exe", "012"), 1},
        {"a local time", line("A.exe", "12", "2024-02-29T23:59:58"), 1},
        {"a day that does not exist", line("A.exe", "12", "2023-02-29T23:59:58Z"), 1},
        {"an hour past 23", line("A.exe", "12", "2024-02-28T24:00:00Z"), 1},
        {"a leap second", line("A.exe", "12", "2016-12-31T23:59:60Z"), 1},
        {"a digest in capitals", line("A.exe", "12", "2024-02-29T23:59:58Z", kDigestB.toUpper()), 1},
        {"a digest too short", line("A.exe", "12", "2024-02-29T23:59:58Z", kDigestA.chopped(1)), 1},
        {"names out of order", line("b.exe") + line("a.exe"), 2},
        {"a name twice", good + good, 2},
        {"bytes that are not UTF-8", line("a\xff.exe"), 1},
        {"a surrogate in UTF-8", line("a\xed\xa0\x80.exe"), 1},
    };
    for (const auto& c : cases) {
        const vek::ServerIndexRead read = vek::parseserverindex(c.bytes);
        EXPECT_TRUE(read.entries.isEmpty()) << c.what;
        EXPECT_TRUE(read.error.startsWith(QStringLiteral("line %1: ").arg(c.badLine)))
            << c.what << ": " << read.error.toStdString();
    }
}

TEST(ServerIndex, SortsByTheBytesOfTheNames)
{
    // Capitals before small letters, and a name before its longer cousins.
    EXPECT_TRUE(vek::parseserverindex(line("B.exe") + line("a.exe") + line("a.exe2")).error.isEmpty());
    EXPECT_FALSE(vek::parseserverindex(line("a.exe") + line("B.exe")).error.isEmpty());
    // A character beyond ASCII sorts after every ASCII one, as its bytes do.
    EXPECT_TRUE(vek::parseserverindex(line("z.exe") + line("\xc3\xa9.exe")).error.isEmpty());
}

TEST(ServerIndex, WhatTheWriterWritesTheReaderReadsBack)
{
    const vek::ServerIndex entries{
        {QStringLiteral("z.dll"), 5, 0, vek::IndexDigest(kDigestA)},
        {QStringLiteral("\u00e9t\u00e9 [1] ~;,'.exe"), 0, 253402300799LL, vek::IndexDigest(kDigestB)},
        {QStringLiteral("A b.exe"), 9000000000LL, -62135596800LL, vek::IndexDigest(kDigestB)},
        {QStringLiteral("a.ocx"), 1, 1700000001, vek::IndexDigest(kDigestA)},
    };
    const QByteArray text = vek::formatserverindex(entries);
    const vek::ServerIndexRead read = vek::parseserverindex(text);
    ASSERT_EQ(read.error, QString()) << text.toStdString();
    ASSERT_EQ(read.entries.size(), entries.size());
    for (const vek::ServerIndexEntry& e : entries)
        EXPECT_TRUE(read.entries.contains(e)) << e.name.toStdString();
    EXPECT_TRUE(text.startsWith("A b.exe\t9000000000\t0001-01-01T00:00:00Z\t" + kDigestB + '\n')) << text.toStdString();
    EXPECT_TRUE(text.contains("\t9999-12-31T23:59:59Z\t")) << text.toStdString();
}

TEST(ServerIndex, AnIndexReadPieceByPieceIsReadAsAWhole)
{
    const QByteArray good = line("A.exe") + line("B \xc3\xa9.exe", "7") + line("C.dll");
    for (const QByteArray& text : {good, good.chopped(1), good + line("B.exe"), good + "D.exe\t1\n", QByteArray()}) {
        const vek::ServerIndexRead whole = vek::parseserverindex(text);
        // Every place to cut it in two, and in pieces of one byte.
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            vek::ServerIndexReader reader;
            reader.add(QByteArrayView(text).first(cut));
            reader.add(QByteArrayView(text).sliced(cut));
            const vek::ServerIndexRead read = reader.finish();
            EXPECT_EQ(read.entries, whole.entries) << cut;
            EXPECT_EQ(read.error, whole.error) << cut;
        }
        vek::ServerIndexReader reader;
        for (const char c : text)
            reader.add(QByteArrayView(&c, 1));
        EXPECT_EQ(reader.finish().error, whole.error);
    }
    EXPECT_EQ(vek::parseserverindex(good).entries.size(), 3);
    EXPECT_EQ(vek::parseserverindex(good + line("B.exe")).error,
              QStringLiteral("line 4: the lines are not sorted by name"));
}

TEST(ServerIndex, ADigestIsHeldAsItsBytesAndWrittenInSmallLetters)
{
    EXPECT_EQ(vek::IndexDigest(kDigestB).hex(), kDigestB);
    EXPECT_EQ(vek::IndexDigest(kDigestB.toUpper()), vek::IndexDigest(kDigestB));
    EXPECT_NE(vek::IndexDigest(kDigestA), vek::IndexDigest(kDigestB));
    for (const QByteArray& wrong :
         {kDigestB.chopped(1), kDigestB.chopped(1) + 'g', kDigestB.chopped(1) + ':', QByteArray()})
        EXPECT_EQ(vek::IndexDigest(wrong).hex(), QByteArray(64, '0')) << wrong.toStdString();
}

TEST(ServerIndex, NamesThatCannotStandInTheIndex)
{
    for (const char* name : {"a\tb", "a\rb", "a\nb", "a/b", "a\\b", "..", "a..", ".", "", "a\x1b"})
        EXPECT_FALSE(vek::indexnameproblem(QString::fromUtf8(name)).isEmpty()) << name;
    for (const char* name : {"Stock.exe", ".hidden", "a.b.c", "with blank.dll", "\xe2\x80\xa8", "*?.exe"})
        EXPECT_TRUE(vek::indexnameproblem(QString::fromUtf8(name)).isEmpty()) << name;
}

TEST(ServerIndex, FindsANameOrTheOneThatDiffersInLetterCaseAlone)
{
    const vek::ServerIndex index{{QStringLiteral("Stock.exe"), 1, 0, vek::IndexDigest(kDigestA)},
                                 {QStringLiteral("Pair.dll"), 1, 0, vek::IndexDigest(kDigestA)},
                                 {QStringLiteral("PAIR.dll"), 1, 0, vek::IndexDigest(kDigestA)}};
    ASSERT_NE(vek::findindexentry(index, QStringLiteral("stock.EXE")), nullptr);
    EXPECT_EQ(vek::findindexentry(index, QStringLiteral("stock.EXE"))->name, QStringLiteral("Stock.exe"));
    EXPECT_EQ(vek::findindexentry(index, QStringLiteral("PAIR.dll"))->name, QStringLiteral("PAIR.dll"));
    EXPECT_EQ(vek::findindexentry(index, QStringLiteral("pair.dll")), nullptr);  // two could be meant
    EXPECT_EQ(vek::findindexentry(index, QStringLiteral("Stock")), nullptr);
}

TEST(ServerIndex, WebAddressesAreWebFolders)
{
    for (const char* folder : {"http://h/x/", "HTTPS://h/", "https://127.0.0.1:8080/a b/"})
        EXPECT_TRUE(vek::iswebfolder(QString::fromUtf8(folder))) << folder;
    for (const char* folder : {"/srv/http://", "ftp://h/", "http:/h", "./http://h/", ""})
        EXPECT_FALSE(vek::iswebfolder(QString::fromUtf8(folder))) << folder;
}

}  // namespace
