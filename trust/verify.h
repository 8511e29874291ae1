#pragma once
// Checking a file against its minisign signature and the public keys the
// administrator named: the one check that installs, the updater's downloads
// and anything else we fetch go through.
#include "trust/minisign.h"
#include "trust/streamdigest.h"

#include <QList>
#include <QString>

namespace trust {

inline const QString kSignatureSuffix = QStringLiteral(".minisig");

// Where minisign puts the signature of `path`: `path` + ".minisig".
QString signaturefor(const QString& path);

struct Verdict {
    // 0 when the file is signed by a named key; else the refusal's code
    // (winerr::NotSigned ... in platform/winerror.h), or the code of a file
    // that could not be read.
    int code = 0;
    // Empty when verified; else why in words, for the end of a message that
    // names the file: "not signed: there is no ….minisig beside it", "signed
    // with an unknown key, key id …", "signed as OTHER", ...
    QString reason;
    // The timestamp of the trusted comment, seconds since 1970; 0 when it
    // names none (a comment the administrator wrote with -t).
    qint64 timestamp = 0;
    bool ok() const { return code == 0; }
};

// Checks the signature file alone, without reading the file it signs: that
// it can be read and is a minisign signature, that one of `keys` made it,
// that its trusted comment is the one signed, and that the comment's "file:"
// names `expectedFileName` exactly (a signed program is no signature for
// another). For showing beforehand what would be refused; verifyFile is the
// check that counts.
Verdict checkSignature(const QString& signaturePath, const QString& expectedFileName, const QList<PublicKey>& keys);

// checkSignature, then the bytes of `filePath` against the signature:
// streamed through BLAKE2b-512 for the prehashed form, mapped whole for the
// legacy one. Reads the file once; changes nothing.
Verdict verifyFile(const QString& filePath, const QString& signaturePath, const QString& expectedFileName,
                   const QList<PublicKey>& keys);

// verifyFile with the prehashed form's digest taken from `hashed` (the bytes
// of `filePath` as they were written into it) in place of reading the file:
// the caller vouches that the file still holds exactly those bytes. The
// legacy form, signed over the bytes themselves, reads `filePath` as
// verifyFile does. Changes nothing.
Verdict verifyHashed(const StreamDigest& hashed, const QString& filePath, const QString& signaturePath,
                     const QString& expectedFileName, const QList<PublicKey>& keys);

}  // namespace trust
