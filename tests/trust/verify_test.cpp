// The signature check against files and signatures made by the real minisign.
#include "signing.h"
#include "stateguards.h"
#include "testsupport.h"
#include "trust/verify.h"

#include "platform/faultinjection.h"
#include "platform/winerror.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include <cctype>
#include <cerrno>
#include <functional>
#include <ostream>

namespace {

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::SignForm;
using testsupport::SigningKey;
using testsupport::writeFile;

const QString kProgram = QStringLiteral("Stock.exe");
const QByteArray kBytes = QByteArrayLiteral("MZ\x90\x00 the program's bytes");

class VerifyTest : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(key.made()) << "minisign could not make a key";
        writeFile(program(), kBytes);
    }
    QString program() const { return dir.file(kProgram); }
    QString signature() const { return trust::signaturefor(program()); }
    trust::Verdict verify() const { return trust::verifyFile(program(), signature(), kProgram, keys()); }
    QList<trust::PublicKey> keys() const { return {*trust::parsePublicKey(key.publicKeyLine())}; }

    ScratchDir dir;
    SigningKey key;
};

TEST_F(VerifyTest, BothFormsVerifyWithTheTimestampOfTheTrustedComment)
{
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        SCOPED_TRACE(form == SignForm::Legacy ? "legacy" : "prehashed");
        ASSERT_TRUE(key.sign(program(), form, testsupport::trustedcomment(1234567, kProgram)));
        const trust::Verdict verdict = verify();
        EXPECT_EQ(verdict.code, 0) << verdict.reason.toStdString();
        EXPECT_EQ(verdict.timestamp, 1234567);
    }
}

TEST_F(VerifyTest, MinisignsOwnCommentNamesTheFileAndTheTimeOfSigning)
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(key.sign(program()));
    const trust::Verdict verdict = verify();
    EXPECT_EQ(verdict.code, 0) << verdict.reason.toStdString();
    EXPECT_GE(verdict.timestamp, before);
    EXPECT_LE(verdict.timestamp, QDateTime::currentSecsSinceEpoch());
}

TEST_F(VerifyTest, AnEmptyFileVerifiesInBothForms)
{
    writeFile(program(), QByteArray());
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        ASSERT_TRUE(key.sign(program(), form));
        EXPECT_EQ(verify().code, 0);
    }
}

// Each way a file or its signature can be wrong, in both forms.
struct Refusal {
    const char* what;
    std::function<void(VerifyTest&, SignForm)> make;
    int code;
    const char* reasonHolds;
};

// The case's name, in place of its bytes, in the test's name.
void PrintTo(const Refusal& refusal, std::ostream* os)
{
    *os << refusal.what;
}

class RefusalTest : public VerifyTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, IsRefusedWithItsCodeAndReason)
{
    for (const SignForm form : {SignForm::Prehashed, SignForm::Legacy}) {
        SCOPED_TRACE(form == SignForm::Legacy ? "legacy" : "prehashed");
        writeFile(program(), kBytes);
        ASSERT_TRUE(key.sign(program(), form));
        GetParam().make(*this, form);
        const trust::Verdict verdict = verify();
        EXPECT_EQ(verdict.code, GetParam().code);
        EXPECT_TRUE(verdict.reason.contains(QString::fromUtf8(GetParam().reasonHolds))) << verdict.reason.toStdString();
    }
}

void flipbyte(const QString& path, qsizetype at)
{
    QByteArray bytes = readFile(path);
    bytes[at] = char(bytes[at] ^ 1);
    writeFile(path, bytes);
}

// Replaces line `n` (0-based) of the signature file.
void replaceline(const QString& path, int n, const QByteArray& line)
{
    QList<QByteArray> lines = readFile(path).split('\n');
    lines[n] = line;
    writeFile(path, lines.join('\n'));
}

const Refusal kRefusals[] = {
    {"unsigned", [](VerifyTest& t, SignForm) { QFile::remove(t.signature()); }, platform::winerr::NotSigned,
     "not signed: there is no Stock.exe.minisig"},
    {"tampered byte", [](VerifyTest& t, SignForm) { flipbyte(t.program(), 3); }, platform::winerr::SignatureMismatch,
     "does not match the file"},
    {"byte added", [](VerifyTest& t, SignForm) { writeFile(t.program(), readFile(t.program()) + "x"); },
     platform::winerr::SignatureMismatch, "does not match the file"},
    {"other key",
     [](VerifyTest& t, SignForm form) {
         const SigningKey other;
         ASSERT_TRUE(other.sign(t.program(), form));
     },
     platform::winerr::UnknownSigner, "signed with an unknown key, key id "},
    {"signed as another program",
     [](VerifyTest& t, SignForm form) {
         const QString other = t.dir.file(QStringLiteral("Other.exe"));
         writeFile(other, kBytes);
         ASSERT_TRUE(t.key.sign(other, form));
         ASSERT_TRUE(QFile::remove(t.signature()));
         ASSERT_TRUE(QFile::rename(trust::signaturefor(other), t.signature()));
     },
     platform::winerr::SignedAsOther, "signed as Other.exe"},
    {"trusted comment without a file",
     [](VerifyTest& t, SignForm form) { ASSERT_TRUE(t.key.sign(t.program(), form, QStringLiteral("timestamp:5"))); },
     platform::winerr::SignedAsOther, "names no file"},
    {"trusted comment changed",
     [](VerifyTest& t, SignForm) {
         replaceline(t.signature(), 2, "trusted comment: timestamp:9999999999\tfile:Stock.exe\thashed");
     },
     platform::winerr::SignatureMismatch, "its trusted comment was changed"},
    {"signature byte changed",
     [](VerifyTest& t, SignForm) {
         QList<QByteArray> lines = readFile(t.signature()).split('\n');
         QByteArray sig = QByteArray::fromBase64(lines[1]);
         sig[20] = char(sig[20] ^ 1);
         replaceline(t.signature(), 1, sig.toBase64());
     },
     platform::winerr::SignatureMismatch, "does not match"},
    {"signature file far too long",
     [](VerifyTest& t, SignForm) { writeFile(t.signature(), readFile(t.signature()) + QByteArray(100000, '\n')); },
     platform::winerr::SignatureUnreadable, "bytes long"},
    {"not a signature file", [](VerifyTest& t, SignForm) { writeFile(t.signature(), "#!/bin/sh\necho hello\n"); },
     platform::winerr::SignatureUnreadable, "is not a minisign signature"},
};

INSTANTIATE_TEST_SUITE_P(Signatures, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& tried) {
                             std::string name = tried.param.what;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST_F(VerifyTest, CheckSignatureAloneCatchesAllButTheFilesBytes)
{
    ASSERT_TRUE(key.sign(program()));
    flipbyte(program(), 0);
    EXPECT_EQ(trust::checkSignature(signature(), kProgram, keys()).code, 0);
    EXPECT_EQ(verify().code, platform::winerr::SignatureMismatch);
    EXPECT_EQ(trust::checkSignature(signature(), QStringLiteral("Other.exe"), keys()).code,
              platform::winerr::SignedAsOther);
}

TEST_F(VerifyTest, AFileThatCannotBeReadIsRefusedWithTheReadsCode)
{
    ASSERT_TRUE(key.sign(program()));
    const testsupport::FaultScope faults;
    platform::injectFault(platform::FaultOp::Open, 2, EACCES);  // the signature's open is the first
    const trust::Verdict verdict = verify();
    EXPECT_TRUE(platform::faultFired());
    EXPECT_EQ(verdict.code, platform::winerr::AccessDenied);
    EXPECT_TRUE(verdict.reason.contains(QStringLiteral("cannot be read to check its signature")));
}

TEST_F(VerifyTest, TheKeyIdIsShownAsMinisignShowsIt)
{
    const std::optional<trust::PublicKey> parsed = trust::parsePublicKey(key.publicKeyLine());
    ASSERT_TRUE(parsed);
    // minisign leaves out leading zeros; we show all sixteen digits.
    EXPECT_EQ(trust::keyIdText(parsed->id), key.keyIdComment().rightJustified(16, u'0'));
}

}  // namespace

// The digest of a copy, made as it was written, stands in for reading the
// file in the prehashed form: in whatever pieces it came, and only it counts.
TEST_F(VerifyTest, AStreamedDigestIsWhatThePrehashedFormVerifies)
{
    ASSERT_TRUE(key.sign(program(), SignForm::Prehashed, testsupport::trustedcomment(4321, kProgram)));
    const QList<qsizetype> splits[] = {{}, {1}, {2, 9, 10}, {kBytes.size() - 1}};
    for (const QList<qsizetype>& split : splits) {
        SCOPED_TRACE(split.size());
        trust::StreamDigest hashed;
        qsizetype from = 0;
        for (const qsizetype to : split) {
            hashed.add(kBytes.constData() + from, to - from);
            from = to;
        }
        hashed.add(kBytes.constData() + from, kBytes.size() - from);
        EXPECT_EQ(hashed.size(), kBytes.size());
        const trust::Verdict verdict = trust::verifyHashed(hashed, program(), signature(), kProgram, keys());
        EXPECT_EQ(verdict.code, 0) << verdict.reason.toStdString();
        EXPECT_EQ(verdict.timestamp, 4321);
    }
    // A byte short: refused, though the file itself would verify.
    trust::StreamDigest shortOne;
    shortOne.add(kBytes.constData(), kBytes.size() - 1);
    EXPECT_EQ(trust::verifyHashed(shortOne, program(), signature(), kProgram, keys()).code,
              platform::winerr::SignatureMismatch);
    EXPECT_EQ(verify().code, 0);
}

// The legacy form is signed over the bytes themselves: a digest cannot vouch
// for them, the file is read whatever the digest says.
TEST_F(VerifyTest, TheLegacyFormReadsTheFileWhateverTheStreamedDigest)
{
    ASSERT_TRUE(key.sign(program(), SignForm::Legacy, testsupport::trustedcomment(4321, kProgram)));
    trust::StreamDigest nothing;
    EXPECT_EQ(trust::verifyHashed(nothing, program(), signature(), kProgram, keys()).code, 0);
    trust::StreamDigest right;
    right.add(kBytes.constData(), kBytes.size());
    writeFile(program(), kBytes + "!");
    EXPECT_EQ(trust::verifyHashed(right, program(), signature(), kProgram, keys()).code,
              platform::winerr::SignatureMismatch);
}
