#include "trust/verify.h"

#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sodium.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace trust {
namespace {

const QString kNotSigned = QStringLiteral("not signed: there is no %1 beside it");
const QString kSignatureNotRead = QStringLiteral("its signature %1 cannot be read: %2");
const QString kNotMinisign = QStringLiteral("its signature %1 is not a minisign signature: %2");
const QString kUnknownKey = QStringLiteral("signed with an unknown key, key id %1");
const QString kCommentChanged = QStringLiteral("the signature does not match: its trusted comment was changed");
const QString kSignedAs = QStringLiteral("signed as %1");
const QString kSignedAsNothing = QStringLiteral("signed without a file name: its trusted comment names no file");
const QString kDoesNotMatch = QStringLiteral("the signature does not match the file");
const QString kFileNotRead = QStringLiteral("it cannot be read to check its signature: %1");
const QString kNoCrypto = QStringLiteral("the signature library could not start");
const QString kTooLarge = QStringLiteral("its signature %1 is not a minisign signature: it is %2 bytes long");
constexpr qint64 kHashChunk = 1 << 20;
// A signature file is four short lines; anything far longer is not one, and
// is not read into memory.
constexpr qint64 kLongestSignatureFile = qint64{64} * 1024;

Verdict refused(int code, const QString& reason)
{
    Verdict verdict;
    verdict.code = code;
    verdict.reason = reason;
    return verdict;
}

// The parsed signature and the key that made it, once checkSignature's steps passed.
struct Checked {
    Verdict verdict;
    SignatureFile signature;
    PublicKey key;
};

Checked checksignaturefile(const QString& signaturePath, const QString& expectedFileName, const QList<PublicKey>& keys)
{
    Checked checked;
    if (sodium_init() < 0) {
        checked.verdict = refused(platform::winerr::IoDevice, kNoCrypto);
        return checked;
    }
    const QFileInfo info(signaturePath);
    const QString shown = info.fileName();
    if (info.size() > kLongestSignatureFile) {
        checked.verdict = refused(platform::winerr::SignatureUnreadable, kTooLarge.arg(shown).arg(info.size()));
        return checked;
    }
    QByteArray text;
    if (const int code = platform::readWholeFile(signaturePath, text)) {
        checked.verdict = code == platform::winerr::FileNotFound || code == platform::winerr::PathNotFound
            ? refused(platform::winerr::NotSigned, kNotSigned.arg(shown))
            : refused(platform::winerr::NotSigned, kSignatureNotRead.arg(shown, platform::errorText(code)));
        return checked;
    }
    QString why;
    const std::optional<SignatureFile> signature = parseSignatureFile(text, why);
    if (!signature) {
        checked.verdict = refused(platform::winerr::SignatureUnreadable, kNotMinisign.arg(shown, why));
        return checked;
    }
    checked.signature = *signature;
    const auto key
        = std::find_if(keys.cbegin(), keys.cend(), [&](const PublicKey& k) { return k.id == signature->keyId; });
    if (key == keys.cend()) {
        checked.verdict = refused(platform::winerr::UnknownSigner, kUnknownKey.arg(keyIdText(signature->keyId)));
        return checked;
    }
    checked.key = *key;
    // The trusted comment is signed together with the signature: a timestamp
    // or file name edited afterwards fails here.
    QByteArray signedComment(reinterpret_cast<const char*>(signature->signature.data()),
                             qsizetype(signature->signature.size()));
    signedComment += signature->trustedComment;
    if (crypto_sign_verify_detached(signature->globalSignature.data(),
                                    reinterpret_cast<const unsigned char*>(signedComment.constData()),
                                    quint64(signedComment.size()), key->key.data())
        != 0) {
        checked.verdict = refused(platform::winerr::SignatureMismatch, kCommentChanged);
        return checked;
    }
    const TrustedFields fields = trustedFields(signature->trustedComment);
    if (!fields.file) {
        checked.verdict = refused(platform::winerr::SignedAsOther, kSignedAsNothing);
        return checked;
    }
    if (*fields.file != expectedFileName) {
        checked.verdict = refused(platform::winerr::SignedAsOther, kSignedAs.arg(*fields.file));
        return checked;
    }
    checked.verdict.timestamp = fields.timestamp.value_or(0);
    return checked;
}

// 0 and the BLAKE2b-512 digest of the file, read in chunks; else the read's code.
int hashfile(const QString& path, Digest& digest)
{
    platform::RawFile file;
    if (const int code = file.open(path, platform::OpenMode::Read))
        return code;
    (void)::posix_fadvise(file.descriptor(), 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint; reading works without it
    StreamDigest hashed;
    std::vector<char> buffer(kHashChunk);
    for (;;) {
        qint64 got = 0;
        if (const int code = file.read(buffer.data(), kHashChunk, &got))
            return code;
        if (got == 0)
            break;
        hashed.add(buffer.data(), got);
    }
    digest = hashed.digest();
    return 0;
}

// The whole file mapped, for the legacy form, whose signature is over the
// bytes themselves: 0 and whether it verified, else the code of the failure.
int verifywhole(const QString& path, const Checked& checked, bool& verified)
{
    const int fd = ::open(platform::encodePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return platform::winErrorFromErrno(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = platform::winErrorFromErrno(errno, path);
        ::close(fd);
        return code;
    }
    const auto size = std::size_t(st.st_size);
    void* mapped = nullptr;
    if (size > 0) {
        mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped == MAP_FAILED) {
            const int code = platform::winErrorFromErrno(errno, path);
            ::close(fd);
            return code;
        }
    }
    ::close(fd);  // the mapping keeps the file
    static const unsigned char kNothing = 0;
    const unsigned char* bytes = mapped ? static_cast<const unsigned char*>(mapped) : &kNothing;
    verified
        = crypto_sign_verify_detached(checked.signature.signature.data(), bytes, size, checked.key.key.data()) == 0;
    if (mapped)
        ::munmap(mapped, size);
    return 0;
}

// The bytes of `filePath` against a signature file that checksignaturefile
// passed; the prehashed form's digest from `hashed` when given, else read.
Verdict verifychecked(const Checked& checked, const QString& filePath, const StreamDigest* hashed)
{
    if (!checked.verdict.ok())
        return checked.verdict;
    bool verified = false;
    if (checked.signature.form == SignatureForm::Prehashed) {
        Digest digest{};
        if (hashed)
            digest = hashed->digest();
        else if (const int code = hashfile(filePath, digest))
            return refused(code, kFileNotRead.arg(platform::errorText(code)));
        verified = crypto_sign_verify_detached(checked.signature.signature.data(), digest.data(), digest.size(),
                                               checked.key.key.data())
            == 0;
    } else if (const int code = verifywhole(filePath, checked, verified)) {
        return refused(code, kFileNotRead.arg(platform::errorText(code)));
    }
    if (!verified)
        return refused(platform::winerr::SignatureMismatch, kDoesNotMatch);
    return checked.verdict;
}

}  // namespace

QString signaturefor(const QString& path)
{
    return path + kSignatureSuffix;
}

Verdict checkSignature(const QString& signaturePath, const QString& expectedFileName, const QList<PublicKey>& keys)
{
    return checksignaturefile(signaturePath, expectedFileName, keys).verdict;
}

Verdict verifyFile(const QString& filePath, const QString& signaturePath, const QString& expectedFileName,
                   const QList<PublicKey>& keys)
{
    return verifychecked(checksignaturefile(signaturePath, expectedFileName, keys), filePath, nullptr);
}

Verdict verifyHashed(const StreamDigest& hashed, const QString& filePath, const QString& signaturePath,
                     const QString& expectedFileName, const QList<PublicKey>& keys)
{
    return verifychecked(checksignaturefile(signaturePath, expectedFileName, keys), filePath, &hashed);
}

}  // namespace trust
