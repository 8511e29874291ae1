#pragma once
// The public keys an administrator names in an ini file (TessarineStart.ini
// for installs, NewSoftware.ini for the updater): section [Signatures], keys
// PublicKey1, PublicKey2, …, each the base64 line of a minisign.pub.
#include "trust/minisign.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace trust {

inline const QString kSignaturesSection = QStringLiteral("Signatures");
inline const QString kPublicKeyPrefix = QStringLiteral("PublicKey");

struct TrustedKeys {
    // The keys read, in the order of their numbers.
    QList<PublicKey> keys;
    // What was named but cannot be trusted, in words ("PublicKey2 in FILE is
    // no minisign public key", "FILE cannot be read"): with one of these,
    // every file is refused, since the administrator meant to require
    // signatures.
    QStringList unreadable;

    // Whether signatures are required: at least one key was named.
    bool required() const { return !keys.isEmpty() || !unreadable.isEmpty(); }
};

// The keys of `iniFile`: every key of [Signatures] named "PublicKey" and a
// number (letter case ignored) whose value is not empty. A file that is
// missing names none; one that is there but cannot be read is unreadable.
TrustedKeys readKeys(const QString& iniFile);

}  // namespace trust
