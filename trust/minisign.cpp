#include "trust/minisign.h"

#include "platform/pathbytes.h"

#include <QList>

#include <algorithm>
#include <cstring>

namespace trust {
namespace {

const QByteArray kUntrustedPrefix = QByteArrayLiteral("untrusted comment: ");
const QByteArray kTrustedPrefix = QByteArrayLiteral("trusted comment: ");
const QByteArray kTimestampField = QByteArrayLiteral("timestamp:");
const QByteArray kFileField = QByteArrayLiteral("file:");
constexpr std::size_t kAlgorithmSize = 2;

// The bytes of a base64 text, strictly: padding where it belongs and no
// character outside the alphabet. Empty for a text that is not base64.
QByteArray frombase64(const QByteArray& text)
{
    const QByteArray::FromBase64Result decoded
        = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? decoded.decoded : QByteArray();
}

template <std::size_t N> void copybytes(std::array<unsigned char, N>& to, const QByteArray& from, qsizetype at)
{
    std::memcpy(to.data(), from.constData() + at, N);
}

// The file's lines without their line ends; a last line without one counts.
QList<QByteArray> splitlines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

}  // namespace

std::optional<PublicKey> parsePublicKey(const QString& line)
{
    const QByteArray bytes = frombase64(line.trimmed().toLatin1());
    if (std::size_t(bytes.size()) != kAlgorithmSize + kKeyIdSize + kPublicKeySize || !bytes.startsWith("Ed"))
        return std::nullopt;
    PublicKey key;
    copybytes(key.id, bytes, kAlgorithmSize);
    copybytes(key.key, bytes, kAlgorithmSize + kKeyIdSize);
    return key;
}

QString keyIdText(const KeyId& id)
{
    quint64 number = 0;
    for (std::size_t i = kKeyIdSize; i-- > 0;)
        number = (number << 8) | id[i];
    return QString::number(number, 16).toUpper().rightJustified(16, u'0');
}

std::optional<SignatureFile> parseSignatureFile(const QByteArray& text, QString& why)
{
    const QList<QByteArray> lines = splitlines(text);
    if (lines.size() < 4) {
        why = QStringLiteral("it has %1 lines, not 4").arg(lines.size());
        return std::nullopt;
    }
    if (!lines[0].startsWith(kUntrustedPrefix)) {
        why = QStringLiteral("its first line is not an untrusted comment");
        return std::nullopt;
    }
    const QByteArray signature = frombase64(lines[1]);
    if (std::size_t(signature.size()) != kAlgorithmSize + kKeyIdSize + kSignatureSize) {
        why = QStringLiteral("its second line is not a signature");
        return std::nullopt;
    }
    SignatureFile file;
    if (signature.startsWith("ED")) {
        file.form = SignatureForm::Prehashed;
    } else if (signature.startsWith("Ed")) {
        file.form = SignatureForm::Legacy;
    } else {
        why = QStringLiteral("its signature is of an unknown algorithm");
        return std::nullopt;
    }
    copybytes(file.keyId, signature, kAlgorithmSize);
    copybytes(file.signature, signature, kAlgorithmSize + kKeyIdSize);
    if (!lines[2].startsWith(kTrustedPrefix)) {
        why = QStringLiteral("its third line is not a trusted comment");
        return std::nullopt;
    }
    file.trustedComment = lines[2].mid(kTrustedPrefix.size());
    const QByteArray global = frombase64(lines[3]);
    if (std::size_t(global.size()) != kSignatureSize) {
        why = QStringLiteral("its fourth line is not the trusted comment's signature");
        return std::nullopt;
    }
    copybytes(file.globalSignature, global, 0);
    return file;
}

TrustedFields trustedFields(const QByteArray& comment)
{
    TrustedFields fields;
    for (const QByteArray& field : comment.split('\t')) {
        if (field.startsWith(kTimestampField)) {
            bool number = false;
            const qint64 seconds = field.mid(kTimestampField.size()).toLongLong(&number);
            if (number && seconds >= 0)
                fields.timestamp = seconds;
        } else if (field.startsWith(kFileField)) {
            fields.file = platform::decodePath(field.mid(kFileField.size()));
        }
    }
    return fields;
}

}  // namespace trust
