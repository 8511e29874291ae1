// The keys an administrator names, and the texts of minisign that are not what they claim.
#include "signing.h"
#include "testsupport.h"
#include "trust/keys.h"
#include "trust/minisign.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using testsupport::ScratchDir;
using testsupport::SigningKey;
using testsupport::writeFile;

TEST(ReadKeysTest, KeysAreReadInTheOrderOfTheirNumbers)
{
    const SigningKey first, second;
    ASSERT_TRUE(first.made() && second.made());
    const ScratchDir dir;
    const QString ini = dir.file(QStringLiteral("TessarineStart.ini"));
    // Named out of order, one in other letter case, one empty, one of another name.
    writeFile(ini,
              "[Config]\nFolder=/srv/\n[Signatures]\npublickey10=" + second.publicKeyLine().toLatin1()
                  + "\nPublicKey2=\nPublicKey1=" + first.publicKeyLine().toLatin1()
                  + "\nComment=" + first.publicKeyLine().toLatin1() + '\n');
    const trust::TrustedKeys keys = trust::readKeys(ini);
    EXPECT_TRUE(keys.required());
    EXPECT_TRUE(keys.unreadable.isEmpty()) << keys.unreadable.join(u'\n').toStdString();
    ASSERT_EQ(keys.keys.size(), 2);
    EXPECT_EQ(keys.keys[0].id, trust::parsePublicKey(first.publicKeyLine())->id);
    EXPECT_EQ(keys.keys[1].id, trust::parsePublicKey(second.publicKeyLine())->id);
}

TEST(ReadKeysTest, WhatNamesNoKeyRequiresNothingAndABadKeyRequiresSignatures)
{
    const ScratchDir dir;
    const QString ini = dir.file(QStringLiteral("TessarineStart.ini"));
    EXPECT_FALSE(trust::readKeys(ini).required()) << "no file";
    writeFile(ini, "[Config]\nFolder=/srv/\n[Signatures]\nPublicKey1=\n");
    EXPECT_FALSE(trust::readKeys(ini).required()) << "an empty key";
    writeFile(ini, "[Signatures]\nPublicKey1=RWQ-not-a-key\n");
    const trust::TrustedKeys bad = trust::readKeys(ini);
    EXPECT_TRUE(bad.required());
    EXPECT_TRUE(bad.keys.isEmpty());
    ASSERT_EQ(bad.unreadable.size(), 1);
    EXPECT_TRUE(bad.unreadable[0].startsWith(QStringLiteral("PublicKey1 in ")));
}

TEST(ReadKeysTest, AnIniFileThatCannotBeReadRequiresSignatures)
{
    const ScratchDir dir;
    testsupport::openFolderToEveryone(dir.path());
    const QString ini = dir.file(QStringLiteral("TessarineStart.ini"));
    writeFile(ini, "[Config]\nFolder=/srv/\n");
    ASSERT_EQ(::chmod(ini.toLocal8Bit().constData(), 0), 0);
    // Read as an ordinary user, for whom the missing read permission counts.
    EXPECT_EQ(testsupport::runAsUnprivilegedUser([&] { return trust::readKeys(ini).required(); }), 0);
}

TEST(ParseSignatureTest, TextsThatAreNoSignatureAreRefusedWithAReason)
{
    const QByteArray good64 = QByteArray("ED") + QByteArray(72, '\1');
    const QByteArray global = QByteArray(64, '\2').toBase64();
    const struct {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"empty", ""},
        {"three lines", "untrusted comment: x\n" + good64.toBase64() + "\ntrusted comment: t\n"},
        {"no untrusted comment", "comment: x\n" + good64.toBase64() + "\ntrusted comment: t\n" + global + '\n'},
        {"signature not base64", "untrusted comment: x\n*" + good64.toBase64() + "\ntrusted comment: t\n" + global},
        {"signature too short",
         "untrusted comment: x\n" + good64.left(40).toBase64() + "\ntrusted comment: t\n" + global},
        {"unknown algorithm",
         "untrusted comment: x\n" + (QByteArray("Xx") + QByteArray(72, '\1')).toBase64() + "\ntrusted comment: t\n"
             + global},
        {"no trusted comment", "untrusted comment: x\n" + good64.toBase64() + "\ncomment: t\n" + global},
        {"global signature short",
         "untrusted comment: x\n" + good64.toBase64() + "\ntrusted comment: t\n" + QByteArray(63, '\2').toBase64()},
        {"binary", QByteArray(300, '\0')},
    };
    for (const auto& c : cases) {
        QString why;
        EXPECT_FALSE(trust::parseSignatureFile(c.text, why)) << c.what;
        EXPECT_FALSE(why.isEmpty()) << c.what;
    }
    QString why;
    const std::optional<trust::SignatureFile> read = trust::parseSignatureFile(
        "untrusted comment: x\r\n" + good64.toBase64() + "\r\ntrusted comment: timestamp:7\tfile:a b\r\n" + global,
        why);
    ASSERT_TRUE(read) << why.toStdString();
    EXPECT_EQ(read->form, trust::SignatureForm::Prehashed);
    EXPECT_EQ(read->trustedComment, QByteArray("timestamp:7\tfile:a b"));
    const trust::TrustedFields fields = trust::trustedFields(read->trustedComment);
    EXPECT_EQ(fields.timestamp, 7);
    EXPECT_EQ(fields.file, QStringLiteral("a b"));
}

}  // namespace
