// The signature check of a placement made from the digest its copy handed
// over as it wrote: the digest counts only while the work file shows the
// stamp the copy left; otherwise the work file is read again and judged as
// it stands. Keys and signatures are made by the real minisign.
#include "lib/copyplacement.h"
#include "lib/signaturerecord.h"
#include "lib/signedplacement.h"
#include "platform/filestamp.h"
#include "platform/winerror.h"
#include "signing.h"
#include "testsupport.h"
#include "trust/minisign.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::readFile;
using testsupport::SignForm;
using testsupport::SigningKey;
using testsupport::writeFile;

namespace {

const QString kProgram = QStringLiteral("Stock.exe");
const QByteArray kSigned = QByteArrayLiteral("MZ the signed program");
const QByteArray kTampered = QByteArrayLiteral("MZ the signed progrAm");

class HashingCheck : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(key.made()) << "minisign could not make a key"; }

    QString source() const { return dir.file(QStringLiteral("server/") + kProgram); }
    QString current() const { return dir.file(kProgram); }
    QString work() const { return vek::placementworkname(current()); }
    QString signature() const { return source() + QStringLiteral(".minisig"); }

    vek::SignaturePolicy policy() const
    {
        vek::SignaturePolicy policy;
        policy.keys.keys = {*trust::parsePublicKey(key.publicKeyLine())};
        return policy;
    }

    // The server's program, signed in `form`.
    void serve(const QByteArray& bytes, SignForm form)
    {
        QDir().mkpath(dir.file(QStringLiteral("server")));
        writeFile(source(), bytes);
        ASSERT_TRUE(key.sign(source(), form, testsupport::trustedcomment(100, kProgram)));
    }

    std::optional<vek::SignedFile> recorded(const QString& path) const
    {
        vek::SignatureRecord record;
        EXPECT_EQ(record.read(current()), 0);
        return record.find(path);
    }

    testsupport::ScratchDir dir;
    SigningKey key;
};

// Another file under the work file's name, holding `bytes`: a new inode,
// whatever the clock's granularity.
void replaceWith(const QString& path, const QByteArray& bytes)
{
    writeFile(path + QStringLiteral(".new"), bytes);
    QFile::remove(path);
    QFile::rename(path + QStringLiteral(".new"), path);
}

enum class After { Nothing, SameBytesPutThere, OtherBytesPutThere, NoStampTold };

}  // namespace

TEST_F(HashingCheck, TheDigestCountsWhileTheWorkFileIsTheOneTheCopyLeftElseItIsReadAgain)
{
    const struct {
        const char* what;
        SignForm form;
        // What the copy handed over, and what became of the work file after.
        QByteArray streamed;
        After after;
        int code;
    } cases[] = {
        {"streamed the signed bytes, unchanged", SignForm::Prehashed, kSigned, After::Nothing, 0},
        // The file holds the signed bytes: only the digest can refuse here.
        {"streamed other bytes, unchanged", SignForm::Prehashed, kTampered, After::Nothing,
         platform::winerr::SignatureMismatch},
        {"streamed a part, unchanged: read again", SignForm::Prehashed, kSigned.left(5), After::Nothing, 0},
        // Read again: the streamed digest would have refused.
        {"changed after the copy to the signed bytes: read again", SignForm::Prehashed, kTampered,
         After::SameBytesPutThere, 0},
        {"changed after the copy to other bytes: read again, refused", SignForm::Prehashed, kSigned,
         After::OtherBytesPutThere, platform::winerr::SignatureMismatch},
        {"no stamp told: read again", SignForm::Prehashed, kTampered, After::NoStampTold, 0},
        {"legacy form: always read", SignForm::Legacy, kTampered, After::Nothing, 0},
        {"legacy form, other bytes put there: read, refused", SignForm::Legacy, kSigned, After::OtherBytesPutThere,
         platform::winerr::SignatureMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        serve(kSigned, c.form);
        writeFile(work(), kSigned);
        const vek::StreamedCheck check = vek::hashingsignaturecheck(policy(), signature(), kProgram, current());
        ASSERT_TRUE(check.sink.take && check.sink.finished && check.check);
        check.sink.take(c.streamed.constData(), c.streamed.size());
        const platform::Result<platform::FileStamp> written = platform::fileStamp(work());
        ASSERT_TRUE(written.ok());
        if (c.after != After::NoStampTold)
            check.sink.finished(written.value());
        if (c.after == After::SameBytesPutThere)
            replaceWith(work(), kSigned);
        if (c.after == After::OtherBytesPutThere)
            replaceWith(work(), kTampered);
        QString reason;
        EXPECT_EQ(check.check(work(), reason), c.code) << reason.toStdString();
        EXPECT_EQ(reason.isEmpty(), c.code == 0) << reason.toStdString();
        if (c.code == 0) {
            const std::optional<vek::SignedFile> entry = recorded(work());
            ASSERT_TRUE(entry);
            EXPECT_TRUE(entry->verified);
            EXPECT_EQ(entry->timestamp, 100);
        }
        QFile::remove(work());
        QFile::remove(vek::signaturerecordname(current()));
    }
}

TEST_F(HashingCheck, WithoutAKeyNamedTheCopyIsHandedNothingAndNothingIsChecked)
{
    const vek::StreamedCheck check = vek::hashingsignaturecheck({}, signature(), kProgram, current());
    EXPECT_FALSE(check.sink.take);
    EXPECT_FALSE(check.sink.finished);
    EXPECT_FALSE(check.check);
}

// The placement hands every byte of its copy to the check and places the
// copy verified; a server file changed after it was signed is refused by the
// digest made on the way, and nothing is placed.
TEST_F(HashingCheck, APlacementHandsItsCopyToTheDigestAndPlacesOnlyWhatItVerifies)
{
    for (const bool tampered : {false, true}) {
        SCOPED_TRACE(tampered ? "tampered" : "signed");
        serve(kSigned, SignForm::Prehashed);
        if (tampered)
            writeFile(source(), kTampered);
        vek::StreamedCheck check = vek::hashingsignaturecheck(policy(), signature(), kProgram, current());
        qint64 handed = 0;
        check.sink.take = [&handed, take = check.sink.take](const char* bytes, qint64 size) {
            handed += size;
            take(bytes, size);
        };
        vek::PlacementFailure failure;
        const int code = vek::copywithgenerations(source(), current(), {}, &failure, check);
        EXPECT_EQ(handed, kSigned.size());
        if (!tampered) {
            EXPECT_EQ(code, 0) << failure.reason.toStdString();
            EXPECT_EQ(readFile(current()), kSigned);
            const std::optional<vek::SignedFile> entry = recorded(current());
            ASSERT_TRUE(entry);
            EXPECT_TRUE(entry->verified);
        } else {
            EXPECT_EQ(code, platform::winerr::SignatureMismatch);
            EXPECT_EQ(failure.step, vek::PlacementStep::Check);
            EXPECT_EQ(failure.path, source());
            // The first round's program stands, untouched.
            EXPECT_EQ(readFile(current()), kSigned);
        }
        EXPECT_FALSE(QFile::exists(work()));
    }
}
