#include "platform/faultinjection.h"
#include "platform/inifile.h"
#include "testsupport.h"

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
    for (const auto op : {platform::FaultOp::Open, platform::FaultOp::Write, platform::FaultOp::Close,
                          platform::FaultOp::Rename}) {
        platform::injectFault(op, 1, ENOSPC);
        EXPECT_EQ(ini.writeString("A", "x", "2"), 112);
        platform::clearFaults();
        EXPECT_EQ(readFile(dir.file("t.ini")), "[A]\nx=1\n");
        EXPECT_EQ(testsupport::entries(dir.path()), QStringList{"t.ini"});
    }
    EXPECT_EQ(ini.writeString("A", "x", "2"), 0);
    EXPECT_EQ(IniFile(dir.file("no/folder/t.ini")).writeString("A", "x", "1"), 3);
}
