// The updater where its settings name public keys: a download is placed, and
// a downloaded program installed, only when the copy beside its target
// verifies against the server's signature; every refusal places nothing.
// Keys and signatures are made by the real minisign; the download comes from
// the vendor's web host the update tests run.
#include "generationscenarios.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/signaturerecord.h"
#include "platform/faultinjection.h"
#include "platform/winerror.h"
#include "signing.h"
#include "trust/keys.h"
#include "trust/minisign.h"
#include "trust/verify.h"
#include "update/newsoftware.h"
#include "updatefixture.h"

#include <functional>

using testsupport::readFile;
using testsupport::SignForm;
using testsupport::SigningKey;
using testsupport::writeFile;

namespace {

const QString kProgram = QStringLiteral("Stock.exe");

class SignedUpdate : public updatetest::UpdateFixture {
public:
    void SetUp() override
    {
        UpdateFixture::SetUp();
        ASSERT_TRUE(key.made() && otherKey.made()) << "minisign could not make a key";
        ASSERT_EQ(platform::IniFile(vek::updatesettingsfile())
                      .writeString(trust::kSignaturesSection, QStringLiteral("PublicKey1"), key.publicKeyLine()),
                  0);
        QDir().mkpath(newFolder());
    }
    QString newFolder() const { return local() + "new/"; }
    QString target() const { return newFolder() + kProgram; }

    // `bytes` signed by `signer` as `name` at `timestamp`: the program and its signature.
    struct Signed {
        QByteArray program;
        QByteArray signature;
    };
    Signed sign(const QByteArray& bytes, qint64 timestamp, SignForm form = SignForm::Prehashed,
                const QString& name = kProgram, const SigningKey* signer = nullptr) const
    {
        const QString file = signing.file(name);
        writeFile(file, bytes);
        EXPECT_TRUE((signer ? signer : &key)->sign(file, form, testsupport::trustedcomment(timestamp, name)));
        return {bytes, readFile(trust::signaturefor(file))};
    }
    // Offers the program and, when there is one, its signature.
    void offer(const Signed& s) const
    {
        vendor->offer(kProgram, s.program);
        if (!s.signature.isEmpty())
            vendor->offer(kProgram + ".minisig", s.signature);
    }
    // The download files the runs left in the data folder.
    QStringList downloads() const
    {
        return testsupport::entries(vek::datafolder()).filter(QRegularExpression(QStringLiteral("^__TMPQORInstall")));
    }

    testsupport::ScratchDir signing;
    SigningKey key;
    SigningKey otherKey;
    testsupport::FaultScope faults;
    QStringList warnings;
    testsupport::WarningCallScope warningCall{
        [this](const QString& message, const QString&) { warnings.append(message); }};
};

TEST_F(SignedUpdate, ASignedDownloadIsPlacedWithItsSignatureAndInstalledInBothForms)
{
    qint64 timestamp = 100;
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        SCOPED_TRACE(form == SignForm::Legacy ? "legacy" : "prehashed");
        const Signed s = sign("version " + QByteArray::number(timestamp), timestamp, form);
        offer(s);
        vek::tnewsoftware updater;
        ASSERT_TRUE(updater.getnewsoftware(newFolder(), kProgram, QString(), QString(), QString()))
            << updater.errorstr.toStdString();
        EXPECT_EQ(readFile(target()), s.program);
        EXPECT_EQ(readFile(trust::signaturefor(target())), s.signature);
        EXPECT_TRUE(downloads().isEmpty());
        ASSERT_TRUE(updater.installnewsoftware(newFolder(), local(), kProgram, QString(), QString(), QString()))
            << updater.errorstr.toStdString();
        EXPECT_EQ(readFile(local() + kProgram), s.program);
        EXPECT_FALSE(platform::pathExists(target()));
        EXPECT_FALSE(platform::pathExists(trust::signaturefor(target())));
        vek::SignatureRecord record;
        ASSERT_EQ(record.read(local() + kProgram), 0);
        ASSERT_TRUE(record.find(local() + kProgram));
        EXPECT_EQ(record.find(local() + kProgram)->timestamp, timestamp);
        timestamp += 100;
    }
}

struct Refusal {
    const char* what;
    // Makes the program and its signature as the case has them.
    std::function<SignedUpdate::Signed(const SignedUpdate&, SignForm)> make;
    int code;
    const char* reason;
};

const Refusal kRefusals[] = {
    {"unsigned",
     [](const SignedUpdate&, SignForm) {
         return SignedUpdate::Signed{"unsigned", {}};
     },
     platform::winerr::NotSigned, "not signed"},
    {"tampered byte",
     [](const SignedUpdate& t, SignForm form) {
         SignedUpdate::Signed s = t.sign("version 300", 300, form);
         s.program[3] = 'X';
         return s;
     },
     platform::winerr::SignatureMismatch, "the signature does not match the file"},
    {"other key", [](const SignedUpdate& t, SignForm form) { return t.sign("v", 300, form, kProgram, &t.otherKey); },
     platform::winerr::UnknownSigner, "signed with an unknown key"},
    {"renamed file", [](const SignedUpdate& t, SignForm form) { return t.sign("other", 300, form, "Other.exe"); },
     platform::winerr::SignedAsOther, "signed as Other.exe"},
    {"older timestamp", [](const SignedUpdate& t, SignForm form) { return t.sign("version 100", 100, form); },
     platform::winerr::SignedOlder, "older than the installed one"},
};

// The download: the target as it was, no signature beside it, no download left.
TEST_F(SignedUpdate, EveryRefusedDownloadPlacesNothingAndSaysWhy)
{
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        for (const Refusal& c : kRefusals) {
            SCOPED_TRACE(std::string(c.what) + (form == SignForm::Legacy ? ", legacy" : ", prehashed"));
            // The download there now was signed at 200.
            QDir(newFolder()).removeRecursively();
            QDir().mkpath(newFolder());
            offer(sign("version 200", 200, form));
            vek::tnewsoftware first;
            ASSERT_TRUE(first.getnewsoftware(newFolder(), kProgram, QString(), QString(), QString()))
                << first.errorstr.toStdString();
            const testsupport::Folder before = testsupport::snapshot(newFolder());

            const Signed s = c.make(*this, form);
            vendor->withdraw(kProgram + ".minisig");
            offer(s);
            vek::tnewsoftware updater;
            EXPECT_FALSE(updater.getnewsoftware(newFolder(), kProgram, QString(), QString(), QString()));
            EXPECT_TRUE(updater.errorstr.startsWith(vek::kSignatureRefused + target() + "\r\n" + QString::number(c.code)
                                                    + "\r\n"))
                << updater.errorstr.toStdString();
            EXPECT_TRUE(updater.errorstr.contains(QString::fromUtf8(c.reason))) << updater.errorstr.toStdString();
            EXPECT_EQ(testsupport::snapshot(newFolder()), before);
            EXPECT_TRUE(downloads().isEmpty());
        }
    }
}

TEST_F(SignedUpdate, ADownloadSwappedBetweenCopyAndCheckIsRefused)
{
    offer(sign("version 100", 100));
    platform::injectWorkFileSwap("planted");
    vek::tnewsoftware updater;
    EXPECT_FALSE(updater.getnewsoftware(newFolder(), kProgram, QString(), QString(), QString()));
    EXPECT_TRUE(updater.errorstr.contains("the signature does not match the file")) << updater.errorstr.toStdString();
    EXPECT_TRUE(testsupport::entries(newFolder()).isEmpty());
}

// The install of a download: the live folder as it was, the download kept.
TEST_F(SignedUpdate, EveryRefusedInstallPlacesNothingAndSaysWhy)
{
    struct Case {
        const Refusal* refusal;
        bool swapped;
    };
    QList<Case> cases;
    for (const Refusal& c : kRefusals)
        cases.append({&c, false});
    cases.append({nullptr, true});
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        for (const Case& c : cases) {
            const char* what = c.refusal ? c.refusal->what : "swapped between copy and check";
            SCOPED_TRACE(std::string(what) + (form == SignForm::Legacy ? ", legacy" : ", prehashed"));
            // The live program was installed signed at 200.
            QDir(local()).removeRecursively();
            QDir().mkpath(newFolder());
            const Signed installed = sign("version 200", 200, form);
            writeFile(target(), installed.program);
            writeFile(trust::signaturefor(target()), installed.signature);
            vek::tnewsoftware first;
            ASSERT_TRUE(first.installnewsoftware(newFolder(), local(), kProgram, QString(), QString(), QString()))
                << first.errorstr.toStdString();
            const testsupport::Folder before = testsupport::snapshot(local());

            const Signed s = c.refusal ? c.refusal->make(*this, form) : sign("version 300", 300, form);
            writeFile(target(), s.program);
            if (!s.signature.isEmpty())
                writeFile(trust::signaturefor(target()), s.signature);
            if (c.swapped)
                platform::injectWorkFileSwap("planted");
            vek::tnewsoftware updater;
            EXPECT_FALSE(updater.installnewsoftware(newFolder(), local(), kProgram, QString(), QString(), QString()));
            const int code = c.refusal ? c.refusal->code : platform::winerr::SignatureMismatch;
            EXPECT_TRUE(updater.errorstr.startsWith("Could not install Stock.exe (code " + QString::number(code)))
                << updater.errorstr.toStdString();
            EXPECT_TRUE(updater.errorstr.contains(
                QString::fromUtf8(c.refusal ? c.refusal->reason : "the signature does not match the file")))
                << updater.errorstr.toStdString();
            QDir(newFolder()).removeRecursively();  // the download stays where it was; the live folder is compared
            EXPECT_EQ(testsupport::snapshot(local()), before);
            platform::clearFaults();
        }
    }
}

TEST_F(SignedUpdate, WithoutAKeyNamedNoSignatureIsAskedFor)
{
    ASSERT_EQ(platform::IniFile(vek::updatesettingsfile()).eraseSection(trust::kSignaturesSection), 0);
    vendor->offer(kProgram, "unsigned");
    vek::tnewsoftware updater;
    EXPECT_TRUE(updater.getnewsoftware(newFolder(), kProgram, QString(), QString(), QString()))
        << updater.errorstr.toStdString();
    EXPECT_EQ(vendor->asked(), (QStringList{"/html/downloads/|Stock.exe", "/html/downloads/|Stock.exe.md5"}));
    EXPECT_EQ(testsupport::entries(newFolder()), QStringList{kProgram});
}

}  // namespace
