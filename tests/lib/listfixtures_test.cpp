// List files as other programs of the family leave them, read from checked-in
// fixtures whose bytes matter: the code page, UTF-8 and both UTF-16 orders
// behind their marks, all with CR LF. What we write ourselves (the code page,
// marked UTF-8) must come back byte for byte when saved again.
#include "fixturefiles.h"
#include "lib/textlists.h"
#include "testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vek;
using testsupport::fixtureFile;
using testsupport::readFile;
using testsupport::ScratchDir;

namespace {

struct ListFixture {
    const char* file;
    QStringList lines;
    // The fixture whose bytes a save of the loaded list gives: the file itself
    // where it is in a format we write, else the one we write in its place.
    const char* savedAs;
    // Whether the line-by-line reader knows the encoding (it reads the code
    // page and marked UTF-8, as the family's line readers do).
    bool lineReader;
};

const QStringList kGreekAndFrench{QStringLiteral("\u03A9 1"), QStringLiteral("caf\u00E9")};

const ListFixture kListFixtures[] = {
    {"lists/codepage-crlf.txt",
     {QStringLiteral("caf\u00E9"), QStringLiteral("\u20AC 5"), QString(), "last"},
     "lists/codepage-crlf.txt",
     true},
    {"lists/utf8-bom.txt", kGreekAndFrench, "lists/utf8-bom.txt", true},
    // UTF-16 is read but never written: a save goes out as marked UTF-8.
    {"lists/utf16le-bom.txt", kGreekAndFrench, "lists/utf8-bom.txt", false},
    {"lists/utf16be-bom.txt", kGreekAndFrench, "lists/utf8-bom.txt", false},
};

}  // namespace

TEST(ListFixtures, LoadGivesTheLinesExactlyAndSaveGivesTheBytesWeWrite)
{
    const ScratchDir dir;
    for (const ListFixture& f : kListFixtures) {
        const QString path = fixtureFile(QString::fromLatin1(f.file));
        ASSERT_TRUE(QFile::exists(path)) << "fixture " << f.file;
        QStringList loaded{QStringLiteral("stale")};
        loadlist(loaded, path);
        EXPECT_EQ(loaded, f.lines) << f.file;
        if (f.lineReader) {
            QStringList lines{QStringLiteral("stale")};
            loadlines(&lines, path);
            EXPECT_EQ(lines, f.lines) << f.file;
        }

        const QString copy = dir.file(QStringLiteral("saved.txt"));
        ASSERT_TRUE(savelist(loaded, copy)) << f.file;
        EXPECT_EQ(readFile(copy), readFile(fixtureFile(QString::fromLatin1(f.savedAs)))) << f.file;
    }
}
