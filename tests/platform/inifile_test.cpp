#include "platform/faultinjection.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QFile>

#include <cerrno>
#include <gtest/gtest.h>

using platform::IniFile;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

TEST(IniFile, ReadsWithProfileRules)
{
    ScratchDir dir;
    writeFile(dir.file("t.ini"),
              "; comment\r\n[Config]\r\n Folder = /srv/apps \r\nfolder=second\r\nQuoted=\"a b\"\r\n"
              "[config]\r\nFolder=third\r\n[Other]\r\nKey=1\r\n");
    const IniFile ini(dir.file("t.ini"));
    EXPECT_EQ(ini.readString("CONFIG", "folder"), "/srv/apps");  // first section, first key
    EXPECT_EQ(ini.readString("Config", "Quoted"), "a b");
    EXPECT_EQ(ini.readString("Config", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("Nowhere", "Key"), "");
    EXPECT_EQ(ini.readInt("Other", "Key", 7), 1);
    EXPECT_EQ(ini.readInt("Other", "Nope", 7), 7);
    EXPECT_EQ(ini.sections(), (QStringList{"Config", "config", "Other"}));
    EXPECT_EQ(ini.keys("Config"), (QStringList{"Folder", "folder", "Quoted"}));
    EXPECT_EQ(IniFile(dir.file("missing.ini")).readString("Config", "Folder", "x"), "x");
}

TEST(IniFile, WritesInPlaceAndKeepsEveryOtherLine)
{
    ScratchDir dir;
    writeFile(dir.file("t.ini"), "; keep me\n[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    IniFile ini(dir.file("t.ini"));
    EXPECT_EQ(ini.writeString("a", "X", "10"), 0);
    EXPECT_EQ(ini.writeString("A", "w", "new"), 0);
    EXPECT_EQ(ini.writeString("C", "k", "v"), 0);
    EXPECT_EQ(readFile(dir.file("t.ini")), "; keep me\n[A]\nX=10\ny=2\nw=new\n\n[B]\nz=3\n\n[C]\nk=v\n");
    EXPECT_EQ(ini.eraseSection("b"), 0);
    EXPECT_EQ(ini.deleteKey("A", "y"), 0);
    EXPECT_EQ(readFile(dir.file("t.ini")), "; keep me\n[A]\nX=10\nw=new\n\n[C]\nk=v\n");
    EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"t.ini"});
}

TEST(IniFile, AFailedWriteLeavesThePreviousFile)
{
    ScratchDir dir;
    writeFile(dir.file("t.ini"), "[A]\nx=1\n");
    IniFile ini(dir.file("t.ini"));
    for (const auto op :
         {platform::FaultOp::Open, platform::FaultOp::Write, platform::FaultOp::Close, platform::FaultOp::Rename}) {
        {
            const testsupport::FaultScope fault;
            platform::injectFault(op, 1, ENOSPC);
            EXPECT_EQ(ini.writeString("A", "x", "2"), 112);
        }
        EXPECT_EQ(readFile(dir.file("t.ini")), "[A]\nx=1\n");
        EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"t.ini"});
    }
    EXPECT_EQ(ini.writeString("A", "x", "2"), 0);
    EXPECT_EQ(IniFile(dir.file("no/folder/t.ini")).writeString("A", "x", "1"), 3);
}

// A file that is there but cannot be read looks empty to a reader; a write
// built on that would put the one key in place of every other setting.
TEST(IniFile, AWriteAfterAFailedReadIsRefusedAndLeavesTheFile)
{
    ScratchDir dir;
    const QByteArray settings = "[A]\nx=1\ny=2\n[B]\nz=3\n";
    writeFile(dir.file("t.ini"), settings);
    IniFile ini(dir.file("t.ini"));
    const struct {
        platform::FaultOp op;
        int err;
        int code;
    } cases[] = {{platform::FaultOp::Open, EACCES, 5}, {platform::FaultOp::Read, EIO, 1117}};
    for (const auto& c : cases) {
        {
            const testsupport::FaultScope fault;
            platform::injectFault(c.op, 1, c.err);
            EXPECT_EQ(ini.readString("A", "y", "unread"), "unread");
            platform::injectFault(c.op, 1, c.err);
            EXPECT_EQ(ini.writeString("A", "x", "new"), c.code);
            platform::injectFault(c.op, 1, c.err);
            EXPECT_EQ(ini.deleteKey("A", "y"), c.code);
            platform::injectFault(c.op, 1, c.err);
            EXPECT_EQ(ini.eraseSection("B"), c.code);
        }
        EXPECT_EQ(readFile(dir.file("t.ini")), settings);
        EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"t.ini"});
    }
    // A missing file is no read error: the first write makes it.
    EXPECT_EQ(IniFile(dir.file("new.ini")).writeString("A", "x", "1"), 0);
    EXPECT_EQ(readFile(dir.file("new.ini")), "[A]\nx=1\n");
}

TEST(IniFile, AFileTheUserMayNotReadIsNotRewritten)
{
    ScratchDir dir;
    testsupport::openFolderToEveryone(dir.path());
    const QByteArray settings = "[A]\nx=1\n[B]\nz=3\n";
    writeFile(dir.file("t.ini"), settings);
    ::chmod(QFile::encodeName(dir.file("t.ini")).constData(), 0600);  // another user's file
    const int status = testsupport::runAsUnprivilegedUser([&] {
        IniFile ini(dir.file("t.ini"));
        return ini.readString("B", "z", "unread") == "unread" && ini.writeString("A", "x", "2") == 5;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(dir.file("t.ini")), settings);
}
