#include "web/sha256.h"

#include "platform/fileapi.h"

#include <openssl/evp.h>

namespace vek {

struct Sha256::Context {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(md); }
};

Sha256::Sha256() : context_(std::make_unique<Context>())
{
    reset();
}

Sha256::~Sha256() = default;

void Sha256::reset()
{
    // The context comes from the library's fixed table of digests: it cannot
    // fail short of memory running out, where the digest below would not match.
    (void)EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
}

void Sha256::add(const char* data, qint64 size)
{
    (void)EVP_DigestUpdate(context_->md, data, static_cast<size_t>(size));  // as in reset()
}

QByteArray Sha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_->md, digest, &length) != 1)
        length = 0;
    reset();
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex();
}

int sha256file(const QString& path, QByteArray* hex)
{
    hex->clear();
    platform::RawFile file;
    if (const int rc = file.open(path, platform::OpenMode::Read))
        return rc;
    Sha256 digest;
    QByteArray buffer(platform::kReadBlockSize, Qt::Uninitialized);
    for (;;) {
        qint64 got = 0;
        if (const int rc = file.read(buffer.data(), buffer.size(), &got))
            return rc;
        if (got == 0)
            break;
        digest.add(buffer.constData(), got);
    }
    *hex = digest.hex();
    return 0;
}

}  // namespace vek
