#pragma once
// What a program of the local folder holds of itself: the current file and
// each of its backup generations, for the generations window.
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace installer {

struct GenerationEntry {
    // 0 for the current file, 1 to 10 for .X01 to .X10.
    int generation = 0;
    QString path;
    // False for a gap in the chain (or no current file); the rest is then empty.
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    // In hexadecimal; empty where it could not be worked out.
    QString md5;
    // What the program's record of signatures (lib/signaturerecord.h) says
    // of this file: none where it has no entry for it.
    std::optional<qint64> verifiedTimestamp;
    // Whether the program has a record of signatures at all.
    bool recorded = false;
};

// The file's MD5 digest in lower-case hexadecimal, empty when it cannot be read.
using DigestCall = std::function<QString(const QString& path)>;

// The current file and the ten generations of `name` in `localFolder`, newest
// first, one entry for each position whether a file stands there or not.
QList<GenerationEntry> listgenerations(const QString& localFolder, const QString& name, const DigestCall& digest);

// The position's name as the window shows it: "current", ".X01" ... ".X10".
QString generationlabel(int generation);

inline const QString kVerifiedText = QStringLiteral("verified, signed %1");
inline const QString kNotVerifiedText = QStringLiteral("not verified");

// What the window says of the entry's signature: "verified, signed DATE"
// for a file whose signature was verified when it was placed, "not verified"
// for another file of a program that has a record, else empty (signatures
// were never required for it).
QString signaturetext(const GenerationEntry& entry);

}  // namespace installer
