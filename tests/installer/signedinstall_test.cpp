// Installs where the start ini file names public keys: only what the
// administrator signed with one of them, as that program, and not older than
// the signed version installed, is placed; every refusal places nothing.
// Keys and signatures are made by the real minisign.
#include "faultpoints.h"
#include "generationscenarios.h"
#include "installer/installprogram.h"
#include "installer/restorerun.h"
#include "installer/runrequest.h"
#include "installer/unattendedrun.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/signaturerecord.h"
#include "platform/faultinjection.h"
#include "platform/winerror.h"
#include "signing.h"
#include "stateguards.h"
#include "testsupport.h"
#include "trust/minisign.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::SignForm;
using testsupport::SigningKey;
using testsupport::snapshot;
using testsupport::writeFile;

namespace {

const QString kProgram = QStringLiteral("Stock.exe");

// Hears a run's warnings; the rest of what it tells does not matter here.
class WarningReporter : public installer::RunReporter {
public:
    QStringList warnings;
    void warn(const QString& message) override { warnings.append(message); }
    void tell(const QString&) override {}
    void runfinished() override {}
    void starting(int, int, const QString&) override {}
    void copying(int, int, qint64, qint64) override {}
    void finished(int, int, const installer::InstallOutcome&) override {}
};

class SignedInstall : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(key.made() && otherKey.made()) << "minisign could not make a key";
        QDir().mkpath(profile());
        testsupport::namekeys(profile() + vek::kStartIniName, {key.publicKeyLine()});
    }

    QString profile() const { return dir.path() + QStringLiteral("profile/"); }
    QString server() const { return dir.server(); }
    QString local() const { return dir.local(); }
    QString serverFile(const QString& name = kProgram) const { return server() + name; }

    // Puts `bytes` on the server as `name`, signed by `signer` at `timestamp`.
    void serve(const QByteArray& bytes, qint64 timestamp, SignForm form = SignForm::Prehashed,
               const QString& name = kProgram, const SigningKey* signer = nullptr)
    {
        writeFile(serverFile(name), bytes);
        ASSERT_TRUE(
            (signer ? signer : &key)->sign(serverFile(name), form, testsupport::trustedcomment(timestamp, name)));
    }

    int run(WarningReporter& reporter, const QStringList& more = {}) const
    {
        return installer::rununattended(
            installer::parseRunRequest(QStringList{QStringLiteral("/opt/TessarineInstaller"), "SERVER=" + server(),
                                                   "LOCAL=" + local(), "INSTALL=" + kProgram}
                                       + more),
            reporter);
    }

    // What the record says of the file standing as `path`.
    std::optional<vek::SignedFile> recorded(const QString& path) const
    {
        vek::SignatureRecord record;
        EXPECT_EQ(record.read(local() + kProgram), 0);
        return record.find(path);
    }

    testsupport::InstallFolders dir;
    testsupport::EnvironmentScope allUsers{"ALLUSERSPROFILE", dir.path().toUtf8() + "profile"};
    testsupport::FaultScope faults;
    SigningKey key;
    SigningKey otherKey;
};

TEST_F(SignedInstall, ASignedProgramIsInstalledInBothFormsAndItsSignatureRecorded)
{
    qint64 timestamp = 100;
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        SCOPED_TRACE(form == SignForm::Legacy ? "legacy" : "prehashed");
        serve("v" + QByteArray::number(timestamp), timestamp, form);
        WarningReporter reporter;
        EXPECT_EQ(run(reporter), 0) << reporter.warnings.join(u'\n').toStdString();
        EXPECT_EQ(readFile(local() + kProgram), "v" + QByteArray::number(timestamp));
        const std::optional<vek::SignedFile> current = recorded(local() + kProgram);
        ASSERT_TRUE(current);
        EXPECT_TRUE(current->verified);
        EXPECT_EQ(current->timestamp, timestamp);
        timestamp += 100;
    }
    // The first install's entry went down the chain with its file.
    const std::optional<vek::SignedFile> first = recorded(vek::generationname(local() + kProgram, 1));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->timestamp, 100);
}

// Every way a program can fail its signature: refused with its own code and
// reason, and the local folder (its record too) exactly as it was.
TEST_F(SignedInstall, EveryRefusalPlacesNothingAndSaysWhy)
{
    const struct {
        const char* what;
        std::function<void(SignedInstall&, SignForm)> make;
        int code;
        QString reason;
    } cases[] = {
        {"unsigned",
         [](SignedInstall& t, SignForm) {
             writeFile(t.serverFile(), "v3");
             QFile::remove(t.serverFile() + ".minisig");
         },
         platform::winerr::NotSigned, "not signed: there is no Stock.exe.minisig beside it"},
        {"tampered byte",
         [](SignedInstall& t, SignForm form) {
             t.serve("v3", 300, form);
             writeFile(t.serverFile(), "v4");
         },
         platform::winerr::SignatureMismatch, "the signature does not match the file"},
        {"other key", [](SignedInstall& t, SignForm form) { t.serve("v3", 300, form, kProgram, &t.otherKey); },
         platform::winerr::UnknownSigner, "signed with an unknown key, key id "},
        {"renamed file",
         [](SignedInstall& t, SignForm form) {
             t.serve("other", 300, form, "Other.exe");
             QFile::remove(t.serverFile());
             QFile::remove(t.serverFile() + ".minisig");
             QFile::rename(t.serverFile("Other.exe"), t.serverFile());
             QFile::rename(t.serverFile("Other.exe") + ".minisig", t.serverFile() + ".minisig");
         },
         platform::winerr::SignedAsOther, "signed as Other.exe"},
        {"older timestamp", [](SignedInstall& t, SignForm form) { t.serve("v0", 100, form); },
         platform::winerr::SignedOlder,
         "older than the installed one: signed 1970-01-01 00:01:40 UTC, the installed one 1970-01-01 00:03:20 UTC; "
         "ALLOWOLDER=1 installs it"},
        {"swapped between copy and check",
         [](SignedInstall& t, SignForm form) {
             t.serve("v3", 300, form);
             platform::injectWorkFileSwap("planted");
         },
         platform::winerr::SignatureMismatch, "the signature does not match the file"},
    };
    const QString otherKeyId = trust::keyIdText(trust::parsePublicKey(otherKey.publicKeyLine())->id);
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (form == SignForm::Legacy ? ", legacy" : ", prehashed"));
            // The installed version was signed at 200.
            QDir(local()).removeRecursively();
            QDir().mkpath(local());
            serve("v2", 200, form);
            WarningReporter installed;
            ASSERT_EQ(run(installed), 0) << installed.warnings.join(u'\n').toStdString();
            const testsupport::Folder before = snapshot(local());

            c.make(*this, form);
            WarningReporter reporter;
            EXPECT_EQ(run(reporter), 1);
            ASSERT_EQ(reporter.warnings.size(), 1);
            // The other key is told by its id.
            const QString reason = c.code == platform::winerr::UnknownSigner ? c.reason + otherKeyId : c.reason;
            EXPECT_EQ(reporter.warnings[0],
                      QStringLiteral("Install error code:%1\nStock.exe: refused the server file %2 (%3)")
                          .arg(c.code)
                          .arg(serverFile(), reason));
            EXPECT_EQ(snapshot(local()), before);
            platform::clearFaults();
        }
    }
}

TEST_F(SignedInstall, ALLOWOLDERInstallsAnOlderSignedProgram)
{
    serve("v2", 200);
    WarningReporter first;
    ASSERT_EQ(run(first), 0);
    serve("v1", 100);
    WarningReporter reporter;
    EXPECT_EQ(run(reporter, {"ALLOWOLDER=1"}), 0) << reporter.warnings.join(u'\n').toStdString();
    EXPECT_EQ(readFile(local() + kProgram), "v1");
    EXPECT_EQ(recorded(local() + kProgram)->timestamp, 100);
}

TEST_F(SignedInstall, ARestoreIsNeverRefusedAndTheRecordFollowsTheRestoredFile)
{
    for (const qint64 timestamp : {100, 300}) {
        serve("v" + QByteArray::number(timestamp), timestamp);
        WarningReporter reporter;
        ASSERT_EQ(run(reporter), 0);
    }
    WarningReporter restore;
    ASSERT_EQ(
        installer::runrestore(installer::parseRunRequest({QStringLiteral("/opt/TessarineInstaller"), "LOCAL=" + local(),
                                                          "RESTORE=Stock.exe", "GENERATION=1"}),
                              restore),
        0)
        << restore.warnings.join(u'\n').toStdString();
    EXPECT_EQ(readFile(local() + kProgram), "v100");
    EXPECT_EQ(recorded(local() + kProgram)->timestamp, 100);
    // Newer than the restored version, though older than the one it replaced.
    serve("v200", 200);
    WarningReporter reporter;
    EXPECT_EQ(run(reporter), 0) << reporter.warnings.join(u'\n').toStdString();
    EXPECT_EQ(readFile(local() + kProgram), "v200");
}

TEST_F(SignedInstall, AKeyNamedThatIsNoKeyRefusesEveryProgram)
{
    writeFile(profile() + vek::kStartIniName, "[Signatures]\nPublicKey1=RWQ-garbled\n");
    serve("v1", 100);
    WarningReporter reporter;
    EXPECT_EQ(run(reporter), 1);
    ASSERT_EQ(reporter.warnings.size(), 1);
    EXPECT_TRUE(reporter.warnings[0].startsWith(
        QStringLiteral("Install error code:%1\n").arg(platform::winerr::SignatureUnreadable)));
    EXPECT_TRUE(reporter.warnings[0].contains("PublicKey1 in " + profile())) << reporter.warnings[0].toStdString();
    EXPECT_TRUE(testsupport::entries(local()).isEmpty());
}

TEST_F(SignedInstall, WithoutAKeyNamedNothingIsCheckedOrRecorded)
{
    writeFile(profile() + vek::kStartIniName, "[Config]\nFolder=/srv/\n");
    writeFile(serverFile(), "unsigned");
    writeFile(local() + kProgram, "old");
    WarningReporter reporter;
    EXPECT_EQ(run(reporter), 0) << reporter.warnings.join(u'\n').toStdString();
    EXPECT_EQ(testsupport::entries(local()), (QStringList{"Stock.exe", "Stock.exe.X01"}));
}

// A signed install that fails at any step of its placement or of its record
// leaves the folder and its record as they were, or is whole with its record.
TEST_F(SignedInstall, EveryFailurePointLeavesTheFolderAndItsRecordWholeOrInstalled)
{
    serve("v1", 100);
    ASSERT_EQ(installer::installprogram(server(), local(), kProgram, {}, installer::settledsignaturepolicy({})).code,
              0);
    const testsupport::Folder before = snapshot(local());
    serve("v2", 200);
    const vek::SignaturePolicy policy = installer::settledsignaturepolicy({});
    const int points = testsupport::forEachFaultPoint(
        [&](const testsupport::FaultPoint& point, testsupport::FaultSwitch& fault) {
            // Back to the state before, for each point.
            QDir(local()).removeRecursively();
            QDir().mkpath(local());
            serve("v1", 100);
            ASSERT_EQ(installer::installprogram(server(), local(), kProgram, {}, policy).code, 0);
            serve("v2", 200);
            fault.arm();
            const installer::InstallOutcome outcome
                = installer::installprogram(server(), local(), kProgram, {}, policy);
            fault.disarm();
            const std::string where = std::string(testsupport::faultOpName(point.op)) + " #" + std::to_string(point.nth)
                + " errno " + std::to_string(point.err);
            vek::SignatureRecord record;
            ASSERT_EQ(record.read(local() + kProgram), 0) << where;
            if (outcome.installed) {
                EXPECT_EQ(readFile(local() + kProgram), "v2") << where;
                ASSERT_TRUE(record.find(local() + kProgram)) << where;
                EXPECT_EQ(record.find(local() + kProgram)->timestamp, 200) << where;
            } else {
                EXPECT_EQ(readFile(local() + kProgram), "v1") << where;
                EXPECT_EQ(testsupport::entries(local()), QStringList(before.keys())) << where;
                ASSERT_TRUE(record.find(local() + kProgram)) << where;
                EXPECT_EQ(record.find(local() + kProgram)->timestamp, 100) << where;
            }
        },
        {EIO});
    EXPECT_GT(points, 10);
}

}  // namespace
