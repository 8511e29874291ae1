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
    const installer::RunRequest run
        = parseRunRequest({"/opt/TessarineInstaller", "server= /srv/Programs/ ", "Local=/opt/Local",
                           "INSTALL=Stock.EXE", "FilesDirContents=/srv/Files/", "FILESDIRNAME=/tmp/filesdir.txt",
                           "SERVER=/srv/Last/", "Restore=Stock.exe", "GENERATION= 3"});
    EXPECT_EQ(run.serverFolder, "/srv/Last/");
    EXPECT_EQ(run.localFolder, "/opt/Local");
    EXPECT_EQ(run.programName, "Stock.EXE");
    EXPECT_EQ(run.filesDirContents, "/srv/Files/");
    EXPECT_EQ(run.filesDirName, "/tmp/filesdir.txt");
    EXPECT_EQ(run.restoreName, "Stock.exe");
    EXPECT_EQ(run.generation, 3);
}

TEST(RunRequest, LanguageAndTheLanguageEditorSwitch)
{
    struct Case {
        QStringList args;
        QString language;
        bool languagesAllowed;
    };
    const Case cases[] = {
        {{}, "", false},
        {{"LANGUAGE=de"}, "de", false},
        {{"language= pt-BR "}, "pt-BR", false},
        // Taken as written: the program body refuses a code that is no file name part.
        {{"LANGUAGE=../../x"}, "../../x", false},
        {{"LANGUAGES=1"}, "", true},
        {{"languages= 1 "}, "", true},
        {{"LANGUAGES=0"}, "", false},
        {{"LANGUAGES"}, "", false},
        {{"LANGUAGES=yes"}, "", false},
        {{"LANGUAGES=1", "LANGUAGES=0"}, "", false},
        {{"LANGUAGE=de", "LANGUAGES=1", "LANGUAGE=fr"}, "fr", true},
    };
    for (const Case& c : cases) {
        const RunRequest run = parseRunRequest(QStringList{"/opt/TessarineInstaller"} + c.args);
        EXPECT_EQ(run.language, c.language) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.languagesAllowed, c.languagesAllowed) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.kind(), RunKind::Interactive) << c.args.join(' ').toStdString();
    }
}

TEST(RunRequest, ALLOWOLDERIsOnOnlyWhenItIsOne)
{
    const struct {
        QStringList args;
        bool allowOlder;
    } cases[] = {
        {{}, false},
        {{"ALLOWOLDER=1"}, true},
        {{"allowolder= 1 "}, true},
        {{"ALLOWOLDER=0"}, false},
        {{"ALLOWOLDER"}, false},
        {{"ALLOWOLDER=yes"}, false},
        {{"ALLOWOLDER=1", "ALLOWOLDER=0"}, false},
    };
    for (const auto& c : cases) {
        const RunRequest run = parseRunRequest(QStringList{"/opt/TessarineInstaller", "INSTALL=Stock.exe"} + c.args);
        EXPECT_EQ(run.allowOlder, c.allowOlder) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.kind(), RunKind::Unattended) << c.args.join(' ').toStdString();
    }
}
