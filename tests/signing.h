#pragma once
// Keys and signatures made by the real minisign program at test time, as an
// administrator makes them.
#include "testsupport.h"

#include <QString>
#include <QStringList>

namespace testsupport {

enum class SignForm {
    Prehashed,  // minisign's default: over the BLAKE2b-512 digest ("ED")
    Legacy,  // minisign -l: over the bytes themselves ("Ed")
};

// A key pair without a password, in a scratch folder of its own.
class SigningKey {
public:
    SigningKey();
    // Whether minisign made the key.
    bool made() const { return !publicKeyLine_.isEmpty(); }
    // The base64 line of its minisign.pub, as an administrator names it.
    const QString& publicKeyLine() const { return publicKeyLine_; }
    // The key id as minisign's comment in minisign.pub shows it.
    const QString& keyIdComment() const { return keyIdComment_; }
    // Signs `file` into `file`.minisig, or into `signature` when given, with
    // minisign's own trusted comment or `trustedComment`. True when minisign
    // succeeded.
    bool sign(const QString& file, SignForm form = SignForm::Prehashed, const QString& trustedComment = {},
              const QString& signature = {}) const;

private:
    ScratchDir dir_;
    QString publicKeyLine_;
    QString keyIdComment_;
};

// A trusted comment as minisign writes its own, with a timestamp of the
// test's choosing: "timestamp:T<tab>file:NAME".
QString trustedcomment(qint64 timestamp, const QString& fileName);

// Writes section [Signatures] of `iniFile` with PublicKey1, PublicKey2, …
void namekeys(const QString& iniFile, const QStringList& publicKeyLines);

}  // namespace testsupport
