// The runs without the user as the program body runs them: what they tell
// their reporter, in what order, and the exit status, with and without a
// server folder; the restoring run the same way.
#include "installer/restorerequest.h"
#include "installer/restorerun.h"
#include "installer/runrequest.h"
#include "installer/unattendedrun.h"
#include "lib/generations.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

// Writes down what a run reports, in order: "warn: …", "tell: …",
// "starting NAME", "finished NAME installed|failed", "runfinished".
class RecordingReporter : public installer::RunReporter {
public:
    QStringList heard;
    qint64 copiedAtMost = 0;

    void warn(const QString& message) override { heard.append("warn: " + message); }
    void tell(const QString& line) override { heard.append("tell: " + line); }
    void runfinished() override { heard.append("runfinished"); }
    void starting(int, int, const QString& name) override { heard.append("starting " + name); }
    void copying(int, int, qint64 copied, qint64) override { copiedAtMost = std::max(copiedAtMost, copied); }
    void finished(int, int, const installer::InstallOutcome& outcome) override
    {
        heard.append("finished " + outcome.name + (outcome.installed ? " installed" : " failed"));
    }
};

installer::RunRequest request(const QStringList& args)
{
    return installer::parseRunRequest(QStringList{"/opt/tessarine/TessarineInstaller"} + args);
}

}  // namespace

TEST(UnattendedRun, TellsItsReporterWhatBecameOfTheProgramAndGivesTheExitStatus)
{
    const testsupport::InstallFolders dir;
    const QString server = dir.server(), local = dir.local();
    writeFile(server + "Stock.exe", "new");
    writeFile(local + "Stock.exe", "old");
    const QString missing = dir.path() + "nowhere/";
    const struct {
        const char* what;
        QStringList args;
        int status;
        QStringList heard;
    } cases[] = {
        {"installed",
         {"SERVER=" + server, "LOCAL=" + local, "INSTALL=Stock.exe"},
         0,
         {"starting Stock.exe", "finished Stock.exe installed", "tell: Installed Stock.exe into " + local,
          "runfinished"}},
        {"the server's spelling",
         {"SERVER=" + server, "LOCAL=" + local, "INSTALL=STOCK.EXE"},
         0,
         {"starting STOCK.EXE", "finished Stock.exe installed", "tell: Installed Stock.exe into " + local,
          "runfinished"}},
        {"not on the server",
         {"SERVER=" + server, "LOCAL=" + local, "INSTALL=Gone.exe"},
         1,
         {"starting Gone.exe", "finished Gone.exe failed",
          "warn: Install error code:2\nGone.exe: could not read the server file " + server
              + "Gone.exe (the file does not exist)",
          "runfinished"}},
        // Nothing is tried: a window showing the run stays for the user to close.
        {"no server folder",
         {"SERVER=" + missing, "LOCAL=" + local, "INSTALL=Stock.exe"},
         1,
         {"warn: Missing server folder " + missing}},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        EXPECT_EQ(installer::rununattended(request(c.args), reporter), c.status) << c.what;
        EXPECT_EQ(reporter.heard, c.heard) << c.what;
    }
    EXPECT_EQ(readFile(local + "Stock.exe"), "new");
    // Installed twice: the first install's old file is one generation further down.
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 2)), "old");
    EXPECT_EQ(testsupport::entries(local), (QStringList{"Stock.exe", "Stock.exe.X01", "Stock.exe.X02"}));
}

TEST(UnattendedRun, WithoutSERVERTheStartIniNamesTheServerFolderOrTheWarningSaysWhereToNameOne)
{
    const testsupport::InstallFolders dir;
    writeFile(dir.server() + "Stock.exe", "new");
    const testsupport::EnvironmentScope profile("ALLUSERSPROFILE", dir.path().toUtf8() + "profile");
    const installer::RunRequest run = request({"LOCAL=" + dir.local(), "INSTALL=Stock.exe"});
    {
        RecordingReporter reporter;
        EXPECT_EQ(installer::rununattended(run, reporter), 1);
        ASSERT_EQ(reporter.heard.size(), 1);
        EXPECT_TRUE(reporter.heard[0].startsWith("warn: Missing server folder \n\nName the server folder in "
                                                 + dir.path() + "profile/TessarineStart.ini"))
            << reporter.heard[0].toStdString();
    }
    QDir().mkpath(dir.path() + "profile");
    QString serverNoSep = dir.server();
    serverNoSep.chop(1);
    writeFile(dir.path() + "profile/TessarineStart.ini", ("[Config]\r\nFolder=" + serverNoSep + "\r\n").toUtf8());
    EXPECT_EQ(installer::settledserverfolder(run), dir.server());
    RecordingReporter reporter;
    EXPECT_EQ(installer::rununattended(run, reporter), 0) << reporter.heard.join('\n').toStdString();
    EXPECT_EQ(readFile(dir.local() + "Stock.exe"), "new");
    EXPECT_EQ(reporter.copiedAtMost, 3);
}

TEST(RestoreRun, TellsWhatItPutBackOrWarnsWhyNotAndTouchesNothingThen)
{
    const testsupport::InstallFolders dir;
    const QString local = dir.local();
    writeFile(local + "Stock.exe", "v2");
    writeFile(vek::generationname(local + "Stock.exe", 1), "v1");
    const struct {
        const char* what;
        QStringList args;
        int status;
        QString heardStart;
    } cases[] = {
        {"not a generation",
         {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=11"},
         1,
         "warn: Restore error code:87\n" + installer::kNotAGeneration.arg("11")},
        {"no such backup",
         {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=3"},
         1,
         "warn: Restore error code:2\nStock.exe: there is no backup"},
        {"put back",
         {"LOCAL=" + local, "RESTORE=Stock.exe", "GENERATION=1"},
         0,
         "tell: Restored generation 1 of Stock.exe in " + local},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        EXPECT_EQ(installer::runrestore(request(c.args), reporter), c.status) << c.what;
        ASSERT_EQ(reporter.heard.size(), 1) << c.what;
        EXPECT_TRUE(reporter.heard[0].startsWith(c.heardStart)) << c.what << ": " << reporter.heard[0].toStdString();
    }
    EXPECT_EQ(readFile(local + "Stock.exe"), "v1");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 1)), "v2");
    EXPECT_EQ(readFile(vek::generationname(local + "Stock.exe", 2)), "v1");
}
