// An ini file as another program leaves it, checked in with its CR LF line
// ends and names in mixed case: what reads from it, and what a write keeps.
#include "fixturefiles.h"
#include "platform/inifile.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using platform::IniFile;
using testsupport::fixtureFile;
using testsupport::readFile;
using testsupport::ScratchDir;

namespace {

const QString kFixture = QStringLiteral("ini/settings-crlf.ini");

// The lines of the file, whichever line ends it uses.
QStringList linesOf(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("\r?\n")));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

TEST(IniFixture, ReadsNamesWithoutCaseAndValuesWithoutTheCarriageReturn)
{
    const QString path = fixtureFile(kFixture);
    ASSERT_TRUE(QFile::exists(path));
    const IniFile ini(path);
    EXPECT_EQ(ini.sections(), (QStringList{"Window", "FONTS"}));
    EXPECT_EQ(ini.keys(QStringLiteral("window")), (QStringList{"Left", "TOP", "widthPx", "LEFT"}));
    EXPECT_EQ(ini.keys(QStringLiteral("Fonts")), (QStringList{"mainName", "MainSize"}));
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"WINDOW", "left", "10"},  // the first of "Left" and "LEFT"
        {"window", "Top", "20"},  // spaces and the CR around the value gone
        {"Window", "WIDTHPX", "300"}, {"fonts", "MAINNAME", "Tahoma"},  // one pair of quotes gone
        {"FONTS", "mainsize", "8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.readString(QString::fromLatin1(c.section), QString::fromLatin1(c.key), QStringLiteral("absent")),
                  QString::fromLatin1(c.value))
            << c.section << '/' << c.key;
    EXPECT_EQ(ini.readInt(QStringLiteral("fonts"), QStringLiteral("MainSize"), 0), 8);
}

// A write changes the one line it names; every other line of the file,
// comment, blank line and the repeated key included, stays as it was.
TEST(IniFixture, AWriteChangesOneLineAndKeepsEveryOther)
{
    const ScratchDir dir;
    const QByteArray original = readFile(fixtureFile(kFixture));
    ASSERT_FALSE(original.isEmpty());
    const QString copy = dir.file(QStringLiteral("settings.ini"));
    testsupport::writeFile(copy, original);

    IniFile ini(copy);
    EXPECT_EQ(ini.writeString(QStringLiteral("window"), QStringLiteral("Top"), QStringLiteral("25")), 0);
    QStringList expected = linesOf(original);
    const qsizetype changed = expected.indexOf(QStringLiteral("TOP = 20 "));
    ASSERT_GE(changed, 0);
    expected[changed] = QStringLiteral("Top=25");
    EXPECT_EQ(linesOf(readFile(copy)), expected);
    EXPECT_EQ(ini.readString(QStringLiteral("WINDOW"), QStringLiteral("top")), QStringLiteral("25"));
    EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"settings.ini"});
}
