#include "platform/codepage.h"
#include "platform/winerror.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, MapsTheWindows1252RangeBothWays)
{
    const QByteArray all = [] {
        QByteArray b;
        for (int i = 0; i < 256; ++i)
            b.append(static_cast<char>(i));
        return b;
    }();
    const QString text = fromCodePage(all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0x81], QChar(0x81));  // undefined in the code page: kept as the C1 control
    EXPECT_EQ(text[0xE9], QChar(0xE9));
    EXPECT_EQ(toCodePage(text), all);
    EXPECT_EQ(toCodePage(QStringLiteral("a\u4E2Db\U0001F600")), QByteArray("a?b??"));
}

// Whether a text fits is decided four characters at a time for ASCII: a
// character the code page lacks, or one it holds, is seen wherever it stands.
TEST(CodePage, FitsSeesEveryCharacterWhereverItStands)
{
    for (int length = 1; length <= 9; ++length) {
        for (int at = 0; at < length; ++at) {
            QString text(length, u'a');
            EXPECT_TRUE(fitsCodePage(text));
            text[at] = QChar(0x0100);  // not in the code page
            EXPECT_FALSE(fitsCodePage(text)) << length << ' ' << at;
            text[at] = QChar(0x20AC);  // the euro sign is
            EXPECT_TRUE(fitsCodePage(text)) << length << ' ' << at;
            text[at] = QChar(0x0081);  // a hole of the code page, kept as its byte
            EXPECT_EQ(fitsCodePage(text), toCodePage(text).size() == length && fromCodePage(toCodePage(text)) == text)
                << length << ' ' << at;
        }
    }
    EXPECT_TRUE(fitsCodePage(QString()));
}

TEST(WinError, MapsErrnoToTheFamilysCodes)
{
    const struct {
        int err;
        int code;
    } cases[] = {{ENOENT, 2},   {EACCES, 5},   {EPERM, 5},    {EROFS, 5},  {EBUSY, 32},
                 {ETXTBSY, 32}, {EEXIST, 183}, {ENOSPC, 112}, {EXDEV, 17}, {EIO, 1117}};
    for (const auto& c : cases)
        EXPECT_EQ(winErrorFromErrno(c.err), c.code) << c.err;
    EXPECT_EQ(winErrorFromErrno(ENOENT, QStringLiteral("/no/such/folder/file")), 3);
}
