#include "web/sha256.h"

#include "platform/fileapi.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <openssl/evp.h>
#include <thread>

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

struct Sha256Pipe::State {
    // The bytes waiting to be hashed, at most kWaiting of them.
    static constexpr qsizetype kWaiting = qsizetype(16) << 20;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QByteArray> pieces;
    qsizetype waiting = 0;
    bool hashing = false;
    bool stopping = false;
    Sha256 digest;
    std::thread worker;

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !pieces.empty(); });
            if (pieces.empty())
                return;
            const QByteArray piece = std::move(pieces.front());
            pieces.pop_front();
            hashing = true;
            lock.unlock();
            digest.add(piece.constData(), piece.size());
            lock.lock();
            hashing = false;
            waiting -= piece.size();
            changed.notify_all();
        }
    }
    // Waits until every piece given is hashed.
    void drain(std::unique_lock<std::mutex>& lock)
    {
        changed.wait(lock, [this] { return pieces.empty() && !hashing; });
    }
};

Sha256Pipe::Sha256Pipe() : state_(std::make_unique<State>())
{
    state_->worker = std::thread([state = state_.get()] { state->run(); });
}

Sha256Pipe::~Sha256Pipe()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->changed.notify_all();
    state_->worker.join();
}

void Sha256Pipe::add(const char* data, qint64 size)
{
    QByteArray piece(data, static_cast<qsizetype>(size));
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->waiting < State::kWaiting; });
    state_->waiting += piece.size();
    state_->pieces.push_back(std::move(piece));
    state_->changed.notify_all();
}

QByteArray Sha256Pipe::hex()
{
    std::unique_lock lock(state_->mutex);
    state_->drain(lock);
    return state_->digest.hex();
}

void Sha256Pipe::reset()
{
    std::unique_lock lock(state_->mutex);
    state_->drain(lock);
    state_->digest.reset();
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
