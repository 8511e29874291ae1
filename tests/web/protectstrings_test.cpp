#include "libguards.h"
#include "testsupport.h"
#include "web/hbox.h"
#include "web/protectstrings.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::ScratchDir;

namespace {

const QString kFamilyKey = QStringLiteral("Tern Brook Fables");

QString randomText(QRandomGenerator& random, int length)
{
    QString text(length, QChar());
    for (int i = 0; i < length; ++i)
        text[i] = QChar(static_cast<char16_t>(random.bounded(256)));
    return text;
}

bool onlyUpperHex(const QString& text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

// A box keyed with sixteen zero bytes and key size 16, small enough to work
// through by hand:
//  - The key length equals the key size, so the working key is the key itself
//    and KeyCS = 0.
//  - Base column: a = 11, sum = 0. Row 0: the 16 bytes add 16 x (0 + 11) = 176.
//    Row 1 (i = 1): 15 x 11 = 165, 176 + 165 = 341 = 85 (mod 256). Row 2: 14 x 11
//    = 154, 85 + 154 = 239. Row 3: 13 x 11 = 143, 239 + 143 = 382 = 126. Row 4:
//    12 x 11 = 132, 126 + 132 = 258 = 2. So base = 176, 85, 239, 126, 2, ...
//  - Columns: col = ((0 + m + 0) mod 255) + 1 with m = t for t = 1 ... 254, so
//    column t + 1 holds shift t, and t = 255 (m = 255) lands in column 1. The
//    shift of column c is c - 1 (c >= 2), 255 for column 1, 0 for column 0, and
//    Matrix[r][c] = base[(r + shift(c)) mod 256].
//  - One byte 0: Matrix[0][0] = base[0] = 176 (B0); byte 1: base[1] = 85 (55).
//  - Bytes 4, 255: y0 = Matrix[4][0] = base[4] = 2; y1 = Matrix[255][2] =
//    base[(255 + 1) mod 256] = base[0] = 176. Backward: z1 = Matrix[176][0x55]
//    = base[(176 + 84) mod 256] = base[4] = 2; z0 = Matrix[2][2] = base[2 + 1]
//    = 126. Enciphered: 126, 2 (7E 02).
THBox& zeroKeyBox(THBox& box)
{
    EXPECT_TRUE(box.Init(false, true, QByteArray(16, '\0'), 16));
    return box;
}

QString hexof(const QByteArray& bytes)
{
    return strtohex(bytestostr(bytes));
}

}  // namespace

TEST(ProtectedStrings, HandWorkedVectorsOfTheZeroKeyTable)
{
    THBox box;
    zeroKeyBox(box);
    EXPECT_EQ(box.KeyCS, 0);
    const struct {
        QByteArray plain;
        const char* enciphered;
    } cases[] = {
        {QByteArray(1, '\x00'), "B0"},
        {QByteArray(1, '\x01'), "55"},
        {QByteArray("\x04\xFF", 2), "7E02"},
    };
    for (const auto& c : cases) {
        QByteArray out;
        box.Encrypt(c.plain, out);
        EXPECT_EQ(hexof(out), QString::fromLatin1(c.enciphered));
        QByteArray back;
        box.Decrypt(out, back);
        EXPECT_EQ(back, c.plain);
    }
    // The first rows of the base column and the shifts worked out above.
    const int base[] = {176, 85, 239, 126, 2};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(box.matrix(r, 0), base[r]) << r;
        EXPECT_EQ(box.matrix((r + 1) % 256, 1), base[r]) << r;  // column 1 holds shift 255
        EXPECT_EQ(box.matrix((256 + r - 9) % 256, 10), base[r]) << r;  // column 10 holds shift 9
    }
}

// The family key, 17 bytes, expanded to 32 through a new box's all-zero table:
// byte i = (k x key[((i + 11) OR 31) mod 17] + i) mod 256 with k = key[i mod 17].
// For i <= 20, (i + 11) OR 31 = 31 and 31 mod 17 = 14, key[14] = "l" (108); for
// i >= 21 it is 63, 63 mod 17 = 12, key[12] = "a" (97).
//   i = 0:  "T" 84 x 108 + 0 = 9072 = 112 (mod 256)
//   i = 1:  "e" 101 x 108 + 1 = 10909 = 157
//   i = 20: key[3] "n" 110 x 108 + 20 = 11900 = 124
//   i = 21: key[4] " " 32 x 97 + 21 = 3125 = 53
//   i = 31: key[14] "l" 108 x 97 + 31 = 10507 = 11
TEST(ProtectedStrings, WorkingKeyOfTheFamilyKey)
{
    THBox box;
    ASSERT_TRUE(box.Init(false, true, strtobytes(kFamilyKey), 32));
    ASSERT_EQ(box.Key.size(), 32);
    const struct {
        int index;
        int value;
    } bytes[] = {{0, 112}, {1, 157}, {20, 124}, {21, 53}, {31, 11}};
    for (const auto& b : bytes)
        EXPECT_EQ(static_cast<quint8>(box.Key[b.index]), b.value) << b.index;
    quint8 sum = 0;
    for (const char b : box.Key)
        sum = static_cast<quint8>(sum + static_cast<quint8>(b));
    EXPECT_EQ(box.KeyCS, sum);

    // A second Init expands the key through the table the box holds by then.
    THBox again;
    ASSERT_TRUE(again.Init(false, false, strtobytes(kFamilyKey), 32));
    ASSERT_TRUE(again.Init(false, false, strtobytes(kFamilyKey), 32));
    EXPECT_NE(again.Key, box.Key);
}

TEST(ProtectedStrings, KeySizeBelowSixteenPadsTheWorkingKeyWithZeros)
{
    THBox box;
    ASSERT_TRUE(box.Init(false, true, QByteArray("abc"), 5));
    ASSERT_EQ(box.Key.size(), 16);
    // "a" 97 x key[((0 + 11) OR 31) mod 3 = 1] "b" 98 + 0 = 9506 = 34 (mod 256).
    EXPECT_EQ(static_cast<quint8>(box.Key[0]), 34);
    EXPECT_EQ(box.Key.mid(5), QByteArray(11, '\0'));
}

TEST(ProtectedStrings, EveryRowAndColumnIsAPermutationAndTheInverseUndoesIt)
{
    for (const bool random : {false, true}) {
        THBox box;
        ASSERT_TRUE(box.Init(random, true, strtobytes(kFamilyKey), 32));
        EXPECT_TRUE(box.Active);
        for (int i = 0; i < 256; ++i) {
            std::array<bool, 256> inRow{}, inColumn{};
            for (int j = 0; j < 256; ++j) {
                inRow[box.matrix(i, j)] = true;
                inColumn[box.matrix(j, i)] = true;
                ASSERT_EQ(box.inverse(box.matrix(i, j), j), i);
            }
            ASSERT_EQ(std::count(inRow.begin(), inRow.end(), true), 256) << i;
            ASSERT_EQ(std::count(inColumn.begin(), inColumn.end(), true), 256) << i;
        }
        EXPECT_EQ(box.TMP, nullptr);
    }
}

TEST(ProtectedStrings, AnEmptyKeyBuildsNoTable)
{
    THBox box;
    EXPECT_FALSE(box.Init(false, false, QByteArray(), 32));
    EXPECT_FALSE(box.Active);
}

TEST(ProtectedStrings, EmptyTextsStayEmpty)
{
    EXPECT_EQ(protectstring(QString()), QString());
    EXPECT_EQ(unprotectstring(QString()), QString());
    THBox box;
    zeroKeyBox(box);
    QByteArray untouched("left");
    box.Encrypt(QByteArray(), untouched);
    box.Decrypt(QByteArray(), untouched);
    EXPECT_EQ(untouched, QByteArray("left"));
}

TEST(ProtectedStrings, RandomEightBitTextsComeBack)
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 300; ++round) {
        const QString text = randomText(random, static_cast<int>(random.bounded(1, 80)));
        const QString protectedText = protectstring(text);
        ASSERT_EQ(protectedText.size(), text.size() * 2);
        ASSERT_TRUE(onlyUpperHex(protectedText)) << protectedText.toStdString();
        ASSERT_EQ(protectstring(text), protectedText) << "the same text protects the same way";
        ASSERT_EQ(unprotectstring(protectedText), text);
        ASSERT_EQ(unprotectstring(protectedText.toLower()), text) << "lower-case digits read as well";
    }
}

TEST(ProtectedStrings, OneCharacterIsOneForwardStep)
{
    THBox box;
    ASSERT_TRUE(box.Init(false, false, strtobytes(kFamilyKey), 32));
    QSet<QString> seen;
    for (int c = 0; c < 256; ++c) {
        const QString text(QChar(static_cast<char16_t>(c)));
        const QString protectedText = protectstring(text);
        ASSERT_EQ(protectedText.size(), 2);
        // The forward step alone: the row of the character in column KeyCS.
        EXPECT_EQ(protectedText, hexof(QByteArray(1, static_cast<char>(box.matrix(c, box.KeyCS)))));
        seen.insert(protectedText);
    }
    EXPECT_EQ(seen.size(), 256) << "changing the character changes its two digits";
}

TEST(ProtectedStrings, ChangingTheLastCharacterChangesEveryByte)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 50; ++round) {
        QString text = randomText(random, static_cast<int>(random.bounded(2, 40)));
        const QString before = protectstring(text);
        text.back() = QChar(static_cast<char16_t>((text.back().unicode() + 1 + random.bounded(255)) % 256));
        const QString after = protectstring(text);
        ASSERT_EQ(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); i += 2)
            EXPECT_NE(before.mid(i, 2), after.mid(i, 2)) << "byte " << i / 2 << " of " << before.size() / 2;
    }
}

TEST(ProtectedStrings, WideCharactersLoseTheirHighByte)
{
    const QString wide = QStringLiteral("\u0141\u20AC");  // low bytes 0x41, 0xAC
    EXPECT_EQ(strtobytes(wide), QByteArray("\x41\xAC"));
    EXPECT_EQ(unprotectstring(protectstring(wide)), QStringLiteral("A\u00AC"));
    EXPECT_EQ(strtohex(wide), QStringLiteral("41AC"));
}

TEST(ProtectedStrings, HexConversions)
{
    EXPECT_EQ(hextostr(QStringLiteral("ABC")), QString(QChar(171)));
    EXPECT_EQ(hextostr(QStringLiteral("4a4G")), QStringLiteral("J@"));  // "G" counts as 0
    EXPECT_EQ(hexdigitvalue(u'g'), 0);
    EXPECT_EQ(hexdigitvalue(u'f'), 15);
    EXPECT_EQ(hexdigitvalue(u'F'), 15);
    EXPECT_EQ(hexdigitvalue(u'9'), 9);
    EXPECT_EQ(strtohex(QStringLiteral("\x01\xFF")), QStringLiteral("01FF"));
    EXPECT_EQ(bytestostr(QByteArray("\x00\xE9", 2)), QString(QChar(0)) + QChar(0xE9));
    for (int v = 0; v < 16; ++v)
        EXPECT_EQ(hexdigitvalue(hexdigit(v)), v);
}

TEST(ProtectedStrings, HexdigitOfAnotherValueSaysSoAndGivesZero)
{
    QStringList shown;
    testsupport::WarningCallScope calls([&](const QString& message, const QString&) { shown << message; });
    EXPECT_EQ(hexdigit(16), u'0');
    EXPECT_EQ(hexdigit(-1), u'0');
    EXPECT_EQ(shown, QStringList({kHexCharError, kHexCharError}));
    EXPECT_EQ(hexdigit(12), u'C');
    EXPECT_EQ(shown.size(), 2);
}

TEST(ProtectedStrings, StreamsGoInBlocksOf1024Bytes)
{
    THBox box;
    ASSERT_TRUE(box.Init(false, false, strtobytes(kFamilyKey), 32));
    QRandomGenerator random(3);
    QByteArray plain(2500, '\0');
    for (char& b : plain)
        b = static_cast<char>(random.bounded(256));

    QBuffer in(&plain);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray cipher;
    QBuffer out(&cipher);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    EXPECT_EQ(box.EncryptStream(in, out, 2500), 2500);
    out.close();

    // Each block is its own message: 1024, 1024 and 452 bytes.
    QByteArray expected;
    for (const auto& [from, length] : {std::pair{0, 1024}, {1024, 1024}, {2048, 452}}) {
        QByteArray block;
        box.Encrypt(plain.mid(from, length), block);
        expected += block;
    }
    EXPECT_EQ(cipher, expected);

    QBuffer cipherIn(&cipher);
    ASSERT_TRUE(cipherIn.open(QIODevice::ReadOnly));
    QByteArray back;
    QBuffer backOut(&back);
    ASSERT_TRUE(backOut.open(QIODevice::WriteOnly));
    EXPECT_EQ(box.DecryptStream(cipherIn, backOut, 2500), 2500);
    EXPECT_EQ(back, plain);

    // A stream shorter than the size: only what was read counts and is written.
    QByteArray shortPlain = plain.left(1500);
    QBuffer shortIn(&shortPlain);
    ASSERT_TRUE(shortIn.open(QIODevice::ReadOnly));
    QByteArray shortOut;
    QBuffer shortBuffer(&shortOut);
    ASSERT_TRUE(shortBuffer.open(QIODevice::WriteOnly));
    EXPECT_EQ(box.EncryptStream(shortIn, shortBuffer, 4096), 1500);
    EXPECT_EQ(shortOut.size(), 1500);
    EXPECT_EQ(box.EncryptStream(shortIn, shortBuffer, -5), 0);
}

TEST(ProtectedStrings, SavedTableDeciphersWhatItEnciphered)
{
    ScratchDir dir;
    const QString file = dir.file(QStringLiteral("table.bin"));
    THBox maker;
    ASSERT_TRUE(maker.Init(true, true, QByteArray("any"), 16));
    maker.KeyCS = 0;  // a new box has 0, and the passes use it
    ASSERT_EQ(maker.SaveMatrix(file), 0);
    const QByteArray saved = testsupport::readFile(file);
    ASSERT_EQ(saved.size(), 65536);
    EXPECT_EQ(static_cast<quint8>(saved[1 * 256 + 2]), maker.matrix(1, 2)) << "row by row";

    THBox reader;
    ASSERT_EQ(reader.InitFromFile(file, QByteArray("key")), 0);
    EXPECT_TRUE(reader.Active);
    EXPECT_EQ(reader.Key, QByteArray("key"));
    EXPECT_EQ(reader.KeyCS, 0);
    const QByteArray plain("a message of a few bytes");
    QByteArray cipher, back;
    maker.Encrypt(plain, cipher);
    reader.Decrypt(cipher, back);
    EXPECT_EQ(back, plain);
}

TEST(ProtectedStrings, MissingOrShortTableFileLeavesTheBoxAlone)
{
    ScratchDir dir;
    const QString shortFile = dir.file(QStringLiteral("short.bin"));
    testsupport::writeFile(shortFile, QByteArray(65535, 'x'));
    const struct {
        QString file;
        int code;
    } cases[] = {{dir.file(QStringLiteral("missing.bin")), 2}, {shortFile, 30}};
    for (const auto& c : cases) {
        THBox box;
        EXPECT_EQ(box.InitFromFile(c.file, QByteArray("k")), c.code);
        EXPECT_FALSE(box.Active);
        EXPECT_TRUE(box.Key.isEmpty());
        EXPECT_EQ(box.matrix(5, 5), 0);
    }
}

// A text read from a settings file may be anything: one that is no protected
// text does not decode, so that the reader can say so instead of using what
// unprotectstring would make of it.
TEST(ProtectStrings, DecodeTellsProtectedTextFromAnyOther)
{
    EXPECT_EQ(decodeprotectedstring(protectstring(QStringLiteral("s3cret pw"))), QStringLiteral("s3cret pw"));
    EXPECT_EQ(decodeprotectedstring(protectstring(QStringLiteral("pw")).toLower()), QStringLiteral("pw"));
    EXPECT_EQ(decodeprotectedstring(QString()), QString());
    EXPECT_EQ(decodeprotectedstring(QStringLiteral("ABC")), std::nullopt) << "odd length";
    EXPECT_EQ(decodeprotectedstring(QStringLiteral("4a4G")), std::nullopt) << "G is no digit";
    EXPECT_EQ(decodeprotectedstring(QStringLiteral("not protected")), std::nullopt);
    EXPECT_EQ(decodeprotectedstring(QStringLiteral("3C 1A")), std::nullopt) << "a blank is no digit";
}
