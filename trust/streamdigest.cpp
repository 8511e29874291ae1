#include "trust/streamdigest.h"

#include <sodium.h>

namespace trust {

struct StreamDigest::State {
    crypto_generichash_state hash;
};

StreamDigest::StreamDigest() : state_(std::make_unique<State>())
{
    // Picks the processor's fastest BLAKE2b. Without it the plain one hashes
    // all the same, and the signature's check, which starts the library
    // again, refuses when it cannot start.
    [[maybe_unused]] const int started = sodium_init();
    crypto_generichash_init(&state_->hash, nullptr, 0, kDigestSize);
}

StreamDigest::~StreamDigest() = default;

void StreamDigest::add(const char* bytes, qint64 size)
{
    crypto_generichash_update(&state_->hash, reinterpret_cast<const unsigned char*>(bytes), quint64(size));
    size_ += size;
}

Digest StreamDigest::digest() const
{
    // final() ends a state: it is asked of a copy, so that adding may go on.
    State finished = *state_;
    Digest digest{};
    crypto_generichash_final(&finished.hash, digest.data(), digest.size());
    return digest;
}

}  // namespace trust
