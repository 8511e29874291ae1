#pragma once
// The signature check of a placement: what an install or an update puts in
// place must be signed by a key the administrator named, signed as that
// program, and not older than the signed version it replaces. The check runs
// on the finished work file, holding the folder's lock, so that a file
// swapped in after the copy is caught; a verified file is recorded
// (signaturerecord.h) before it is placed.
#include "lib/copyplacement.h"
#include "lib/signaturerecord.h"
#include "trust/keys.h"
#include "trust/verify.h"

#include <QString>

namespace vek {

// What the administrator and the run ask of the signatures.
struct SignaturePolicy {
    // The named public keys; with none, nothing is checked or recorded.
    trust::TrustedKeys keys;
    // A file signed earlier than the one installed is placed all the same.
    bool allowOlder = false;
    // Joins the refusal of an older file: how the caller's run would allow
    // it ("; ALLOWOLDER=1 installs it"); empty where nothing can.
    QString allowOlderHint;
};

// The check that copywithgenerations (or a download's placement) runs on the
// work file of `current`: the work file is verified against `signature` (the
// source's NAME.minisig) as the program `name`; a file signed earlier than
// the one recorded for `current` is refused unless the policy allows it;
// then the work file's signature is recorded. Empty (no check) when the
// policy names no key. A refusal's code is one of winerr::NotSigned …
// winerr::SignatureUnreadable, or that of a record that could not be read or
// written; its words say why.
WorkFileCheck signaturecheck(const SignaturePolicy& policy, const QString& signature, const QString& name,
                             const QString& current);

// signaturecheck made on the way: `sink` takes the copy's chunks into a
// BLAKE2b-512 digest on the copy's second thread, and the work file's stamp
// when the copy is done. `check` then verifies the signature against that
// digest, provided the work file's name shows, right before the check passes,
// the very stamp the copy left (device, inode, size, times to the
// nanosecond); when anything differs, or no stamp came, it is signaturecheck
// itself and reads the work file again, so that a file changed or swapped
// after the copy is judged as it stands. A legacy signature (over the bytes
// themselves) reads the work file either way. Empty (no sink, no check) when
// the policy names no key. For one copy.
StreamedCheck hashingsignaturecheck(const SignaturePolicy& policy, const QString& signature, const QString& name,
                                    const QString& current);

// The check of a work file whose bytes were verified before it was placed,
// by something signed at `timestamp` that vouches for them (the signed index
// of a server folder on a web server, which gives each program's SHA-256): a
// file signed earlier than the one recorded for `current` is refused unless
// the policy allows it; then the work file is recorded as verified with
// `timestamp`. Empty (no check) when the policy names no key. A refusal's
// code is winerr::SignedOlder or that of a record that could not be read or
// written; its words say why.
WorkFileCheck verifiedcheck(const SignaturePolicy& policy, qint64 timestamp, const QString& current);

// What verifiedcheck would refuse an install of a file signed at `timestamp`
// as `current` for: the keys that cannot be used, or an older timestamp than
// the one recorded. A verdict that is ok when the policy names no key.
trust::Verdict expectedolderrefusal(const SignaturePolicy& policy, qint64 timestamp, const QString& current);

// The check of a restore, a deliberate local act that signatures never
// refuse: the copy of `backup` gets the backup's entry in the record of
// `current` (when the record has one), so that the record follows the file.
// Empty when `current` has no record.
WorkFileCheck carrysignature(const QString& backup, const QString& current);

// What an install of the server file `serverFile` as `current` would be
// refused for, from its signature file alone without reading the program:
// the signature's refusal (trust::checkSignature), or an older timestamp
// than the one recorded for `current`. A verdict that is ok when the policy
// names no key. For the catalogue; the install's own check is signaturecheck.
trust::Verdict expectedrefusal(const SignaturePolicy& policy, const QString& serverFile, const QString& name,
                               const QString& current);

}  // namespace vek
