#pragma once
// The two texts of minisign that an administrator hands us: a public key (the
// base64 line of "minisign.pub") and a signature file ("NAME.minisig"). Only
// read here; verify.h checks them against a file.
#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace trust {

inline constexpr std::size_t kKeyIdSize = 8;
inline constexpr std::size_t kPublicKeySize = 32;
inline constexpr std::size_t kSignatureSize = 64;

using KeyId = std::array<unsigned char, kKeyIdSize>;
using Signature = std::array<unsigned char, kSignatureSize>;

struct PublicKey {
    KeyId id{};
    std::array<unsigned char, kPublicKeySize> key{};
};

// The key of a public key line: base64 of "Ed", the 8-byte key id and the
// 32-byte Ed25519 key. Blanks around the line are ignored; none for anything
// else (another algorithm, another length, a character outside base64).
std::optional<PublicKey> parsePublicKey(const QString& line);

// The key id as minisign shows it in its comments: hexadecimal, upper case,
// the id read as a little-endian number.
QString keyIdText(const KeyId& id);

// "Ed": the signature is over the file's bytes themselves (minisign -l);
// "ED": over their BLAKE2b-512 digest (minisign's default).
enum class SignatureForm { Legacy, Prehashed };

struct SignatureFile {
    SignatureForm form = SignatureForm::Prehashed;
    KeyId keyId{};
    Signature signature{};
    // The bytes after "trusted comment: " on the third line.
    QByteArray trustedComment;
    // Over `signature` followed by `trustedComment`, by the same key.
    Signature globalSignature{};
};

// Reads a signature file's text: an "untrusted comment: " line, the base64
// signature line, a "trusted comment: " line and the base64 global
// signature; lines end in LF or CR LF. None for anything else, with what is
// wrong with it in `why`.
std::optional<SignatureFile> parseSignatureFile(const QByteArray& text, QString& why);

// What a trusted comment says in minisign's fields ("timestamp:N",
// "file:NAME", "hashed", separated by tabs): each none when the comment has
// no such field (a comment the administrator wrote with -t may have neither).
struct TrustedFields {
    std::optional<qint64> timestamp;
    // As written, bytes kept as platform::decodePath keeps a file name's.
    std::optional<QString> file;
};
TrustedFields trustedFields(const QByteArray& comment);

}  // namespace trust
