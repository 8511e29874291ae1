// The program as its callers see it: a process with run parameters, its exit
// status and what it writes when nobody watches.
#include "installer/installprogram.h"
#include "installer/runrequest.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "libguards.h"
#include "platform/pathbytes.h"
#include "platform/runargs.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace installer;

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

struct ProgramRun {
    int status;
    QString out;
    QString err;
};

enum class Screen { Offscreen, None };

ProgramRun runProgram(const QStringList& args, Screen screen = Screen::Offscreen,
                      const QString& program = QStringLiteral(TESSARINE_PROGRAM))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (screen == Screen::Offscreen) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        // No session either, as under cron or a service.
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"})
            env.remove(name);
    }
    p.setProcessEnvironment(env);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

TEST(Program, AnUnattendedRunTellsItsCallerByItsExitStatus)
{
    const testsupport::InstallFolders dir;
    const QString server = dir.server(), local = dir.local();
    writeFile(server + "Stock.exe", "new");
    writeFile(local + "Stock.exe", "old");

    const ProgramRun ok
        = runProgram({"SERVER=" + server, "LOCAL=" + local, "INSTALL=Stock.exe", "LOCALFOLDER=" + dir.path()});
    EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains("Installed Stock.exe")) << ok.out.toStdString();
    EXPECT_EQ(readFile(local + "Stock.exe"), "new");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 1)), "old");

    const ProgramRun missing
        = runProgram({"SERVER=" + server, "LOCAL=" + local, "INSTALL=Gone.exe", "LOCALFOLDER=" + dir.path()});
    EXPECT_NE(missing.status, 0);
    EXPECT_TRUE(missing.err.contains("Install error code:2")) << missing.err.toStdString();

    const ProgramRun noServer
        = runProgram({"SERVER=" + dir.path() + "nowhere/", "INSTALL=Stock.exe", "LOCALFOLDER=" + dir.path()});
    EXPECT_NE(noServer.status, 0);
    EXPECT_TRUE(noServer.err.contains("Missing server folder " + dir.path() + "nowhere/"))
        << noServer.err.toStdString();

    const ProgramRun recording = runProgram(
        {"FILESDIRCONTENTS=" + server, "FILESDIRNAME=" + dir.path() + "filesdir.txt", "LOCALFOLDER=" + dir.path()});
    EXPECT_EQ(recording.status, 0);
    EXPECT_EQ(readFile(dir.path() + "filesdir.txt"), (server + "\r\n").toUtf8());
}

// A recording run only records: each different folder on a new first line,
// nothing for a folder that is not there, and the window's remembered place
// (which a recording run never shows) as it was.
TEST(Program, ARecordingRunRecordsAndEndsAtOnce)
{
    const testsupport::InstallFolders dir;
    const QString settings = dir.path() + "Quorvane/TessarineInstallerdefaults.ini";
    QDir().mkpath(dir.path() + "Quorvane");
    const QByteArray remembered
        = "[Installfm]\r\nLastTop=77\r\nLastLeft=66\r\nLastHeight=555\r\nLastWidth=888\r\nMAX=0\r\n";
    writeFile(settings, remembered);
    const QString file = dir.path() + "filesdir.txt";
    for (const QString& folder : {dir.server(), dir.local(), dir.server()}) {
        const ProgramRun run = runProgram({"SERVER=" + dir.server(), "FILESDIRCONTENTS=" + folder,
                                           "FILESDIRNAME=" + file, "LOCALFOLDER=" + dir.path()});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QString());
    }
    EXPECT_EQ(readFile(file), (dir.server() + "\r\n" + dir.local() + "\r\n" + dir.server() + "\r\n").toUtf8());
    const ProgramRun missing = runProgram({"FILESDIRCONTENTS=" + dir.path() + "missing",
                                           "FILESDIRNAME=" + dir.path() + "other.txt", "LOCALFOLDER=" + dir.path()});
    EXPECT_EQ(missing.status, 0);
    EXPECT_FALSE(QFile::exists(dir.path() + "other.txt"));
    EXPECT_EQ(readFile(settings), remembered);
}

TEST(Program, TwoInstallsIntoOneFolderTakeTurns)
{
    const testsupport::InstallFolders dir;
    const QString server = dir.server(), local = dir.local();
    writeFile(server + "a.exe", "a");

    std::atomic<bool> done{false};
    std::atomic<bool> waiting{false};
    struct NoticeScope {
        ~NoticeScope() { vek::folderlockwaitnotice().install({}); }
    } const notice;
    vek::folderlockwaitnotice().install([&](const QString&, bool) { waiting = true; });
    std::thread other;
    {
        const vek::FolderLock held(local);  // another installer is at work in the folder
        ASSERT_TRUE(held.locked());
        other = std::thread([&] {
            // What counts here is that the install waited; its copy is shown elsewhere.
            (void)installprogram(server, local, "a.exe");
            done = true;
        });
        // Until the other install has found the folder held and waits.
        while (!waiting.load() && !done.load())
            std::this_thread::yield();
        EXPECT_FALSE(done.load());
        EXPECT_EQ(testsupport::entries(local), QStringList{vek::kFolderLockName});
    }
    other.join();
    EXPECT_TRUE(done.load());
    EXPECT_EQ(readFile(local + "a.exe"), "a");
}

TEST(Program, WithoutAnyDisplayItInstallsUnattendedOrSaysWhyItCannotOpen)
{
    const testsupport::InstallFolders dir;
    const QString server = dir.server(), local = dir.local();
    writeFile(server + "Stock.exe", "new");

    const ProgramRun installed = runProgram(
        {"SERVER=" + server, "LOCAL=" + local, "INSTALL=Stock.exe", "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(installed.status, 0) << installed.err.toStdString();
    EXPECT_EQ(readFile(local + "Stock.exe"), "new");
    // The error output holds our messages only: none here, not even the toolkit's.
    EXPECT_EQ(installed.err, QString());

    const ProgramRun failed = runProgram(
        {"SERVER=" + server, "LOCAL=" + local, "INSTALL=Gone.exe", "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.contains("Install error code:2\nGone.exe: could not read the server file"))
        << failed.err.toStdString();

    // A window nobody can see would wait for ever.
    const ProgramRun window
        = runProgram({"SERVER=" + server, "LOCAL=" + local, "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(window.status, 2);
    EXPECT_TRUE(window.err.contains("needs a display")) << window.err.toStdString();
}

TEST(Program, AnInstallFromAFolderOnADiskNeedsNothingOfTheWindowPart)
{
    // The libraries the program starts with: none of the window toolkit's or
    // the transfer component's, which an unattended install would pay for.
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(TESSARINE_PROGRAM)});
    ASSERT_TRUE(readelf.waitForFinished(30000));
    const QString needed = QString::fromUtf8(readelf.readAllStandardOutput());
    ASSERT_TRUE(needed.contains("libQt6Core")) << needed.toStdString();
    for (const char* library : {"libQt6Gui", "libQt6Widgets", "libcurl", "libssl", "libcrypto"})
        EXPECT_FALSE(needed.contains(library)) << library;

    // The program file alone, its window part not beside it: what it runs
    // itself works; a run that needs the whole program says it is missing.
    const testsupport::InstallFolders dir;
    const QString alone = dir.path() + "alone/TessarineInstaller";
    ASSERT_TRUE(QDir().mkpath(dir.path() + "alone"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARINE_PROGRAM), alone));
    writeFile(dir.server() + "Stock.exe", "new");
    const ProgramRun installed = runProgram(
        {"SERVER=" + dir.server(), "LOCAL=" + dir.local(), "INSTALL=Stock.exe", "LOCALFOLDER=" + dir.path()},
        Screen::None, alone);
    EXPECT_EQ(installed.status, 0) << installed.err.toStdString();
    EXPECT_EQ(readFile(dir.local() + "Stock.exe"), "new");
    const ProgramRun web = runProgram(
        {"SERVER=http://127.0.0.1:9/x/", "LOCAL=" + dir.local(), "INSTALL=Stock.exe", "LOCALFOLDER=" + dir.path()},
        Screen::None, alone);
    EXPECT_EQ(web.status, 2);
    EXPECT_TRUE(web.err.contains("the window part of the program could not be loaded")) << web.err.toStdString();
}

TEST(Program, ARestoringRunPutsAGenerationBackAndSaysSoByItsStatus)
{
    const testsupport::InstallFolders dir;
    const QString local = dir.local();
    writeFile(local + "Stock.exe", "v3");
    writeFile(vek::generationname(local + "Stock.exe", 1), "v2");
    writeFile(vek::generationname(local + "Stock.exe", 2), "v1");

    const ProgramRun restored = runProgram(
        {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=2", "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.contains("Restored generation 2 of Stock.exe")) << restored.out.toStdString();
    EXPECT_EQ(readFile(local + "Stock.exe"), "v1");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 1)), "v3");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 2)), "v2");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 3)), "v1");

    const ProgramRun missing = runProgram(
        {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=7", "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Restore error code:2\nStock.exe: there is no backup"))
        << missing.err.toStdString();
    EXPECT_EQ(readFile(local + "Stock.exe"), "v1");

    // A value that cannot be right is named, with the range, and nothing moves.
    const ProgramRun notANumber = runProgram(
        {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=abc", "LOCALFOLDER=" + dir.path()}, Screen::None);
    EXPECT_EQ(notANumber.status, 1);
    EXPECT_TRUE(notANumber.err.contains("GENERATION=abc is not a backup generation")) << notANumber.err.toStdString();
    EXPECT_TRUE(notANumber.err.contains("1 (.X01")) << notANumber.err.toStdString();
    EXPECT_EQ(readFile(local + "Stock.exe"), "v1");
}

TEST(Program, AnswersHelpVersionAndAnUnknownOptionWithoutAnyDisplay)
{
    const ProgramRun help = runProgram({"--help"}, Screen::None);
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: TessarineInstaller [NAME=value]...\n")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("\n  INSTALL=name ")) << help.out.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const ProgramRun version = runProgram({"--version"}, Screen::None);
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^TessarineInstaller \d+\.\d+(\.\d+)*\n$)").match(version.out).hasMatch())
        << version.out.toStdString();

    // Refused before anything is done: the INSTALL beside it installs nothing.
    const testsupport::InstallFolders dir;
    writeFile(dir.server() + "Stock.exe", "new");
    const ProgramRun bogus = runProgram(
        {"SERVER=" + dir.server(), "LOCAL=" + dir.local(), "INSTALL=Stock.exe", "--bogus", "LOCALFOLDER=" + dir.path()},
        Screen::None);
    EXPECT_EQ(bogus.status, 2);
    EXPECT_TRUE(bogus.out.isEmpty()) << bogus.out.toStdString();
    EXPECT_TRUE(bogus.err.startsWith("TessarineInstaller: unknown option '--bogus'\n")) << bogus.err.toStdString();
    EXPECT_TRUE(testsupport::entries(dir.local()).isEmpty());
}

// Parameters naming files whose names are not UTF-8 (made on systems with
// another code page) name those files, byte for byte.
TEST(Program, ParametersKeepTheBytesOfNamesThatAreNotUtf8)
{
    const testsupport::InstallFolders dir;
    const QByteArray base = QFile::encodeName(dir.path());
    const QByteArray name = "caf\xe9.exe";
    const QByteArray dataBase = base + "d\xe9/";
    const auto writeRaw = [](const QByteArray& path, const QByteArray& bytes) {
        FILE* f = std::fopen(path.constData(), "wb");
        ASSERT_NE(f, nullptr) << path.constData();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fclose(f);
    };
    writeRaw(base + "server/" + name, "new");

    const QList<QByteArray> args{TESSARINE_PROGRAM, "SERVER=" + base + "server/", "LOCAL=" + base + "local/",
                                 "INSTALL=" + name, "LOCALFOLDER=" + dataBase};
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const QByteArray& a : args)
            argv.push_back(const_cast<char*>(a.constData()));
        argv.push_back(nullptr);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    struct stat st {};
    EXPECT_EQ(::stat((base + "local/" + name).constData(), &st), 0);
    // The data folder is the one LOCALFOLDER named, not a look-alike: the
    // program reads the parameter as it reads the others, and the library
    // makes the folder where it says. (An install of its own makes none.)
    const installer::RunRequest run = installer::parseRunRequest(
        {platform::decodeArgument(TESSARINE_PROGRAM), platform::decodeArgument("LOCALFOLDER=" + dataBase)});
    ASSERT_TRUE(run.dataFolderBase.has_value());
    const testsupport::DataFolderBaseScope settled(run.dataFolderBase);
    EXPECT_EQ(platform::encodePath(vek::datafolder()), dataBase + "Quorvane/");
    EXPECT_EQ(::stat((dataBase + "Quorvane").constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}
