// What a run's parameters ask, read once before any window exists.
#include "installer/runrequest.h"

#include <gtest/gtest.h>

using namespace installer;

using installer::parseRunRequest;
using installer::RunKind;

TEST(RunRequest, TheParametersDecideTheKindOfRun)
{
    struct Case {
        QStringList args;
        RunKind kind;
    };
    const Case cases[] = {
        {{}, RunKind::Interactive},
        {{"SERVER=/srv/p/", "LOCAL=/opt/p/"}, RunKind::Interactive},
        {{"INSTALL=Stock.exe"}, RunKind::Unattended},
        {{"install= Stock.exe "}, RunKind::Unattended},
        {{"INSTALL="}, RunKind::Interactive},
        {{"INSTALL=Stock.exe", "INSTALL="}, RunKind::Interactive},  // the last one wins
        // Recording ends the run before anything is installed.
        {{"INSTALL=Stock.exe", "FILESDIRCONTENTS=/srv/files/"}, RunKind::Recording},
        {{"FILESDIRNAME=/tmp/filesdir.txt"}, RunKind::Interactive},
        {{"RESTORE=Stock.exe", "GENERATION=2"}, RunKind::Restoring},
        {{"INSTALL=Stock.exe", "RESTORE=Stock.exe"}, RunKind::Restoring},
        {{"RESTORE=Stock.exe", "FILESDIRCONTENTS=/srv/files/"}, RunKind::Recording},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseRunRequest(QStringList{"/opt/TessarineInstaller"} + c.args).kind(), c.kind)
            << c.args.join(' ').toStdString();
}

TEST(RunRequest, ValuesAreTrimmedAndKeepTheirCase)
{
    const installer::RunRequest run = parseRunRequest(
        {"/opt/TessarineInstaller", "server= /srv/Programs/ ", "Local=/opt/Local", "INSTALL=Stock.EXE",
         "FilesDirContents=/srv/Files/", "FILESDIRNAME=/tmp/filesdir.txt", "SERVER=/srv/Last/", "Restore=Stock.exe",
         "GENERATION= 3"});
    EXPECT_EQ(run.serverFolder, "/srv/Last/");
    EXPECT_EQ(run.localFolder, "/opt/Local");
    EXPECT_EQ(run.programName, "Stock.EXE");
    EXPECT_EQ(run.filesDirContents, "/srv/Files/");
    EXPECT_EQ(run.filesDirName, "/tmp/filesdir.txt");
    EXPECT_EQ(run.restoreName, "Stock.exe");
    EXPECT_EQ(run.generation, 3);
}
