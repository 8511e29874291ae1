#pragma once
// The BLAKE2b-512 digest of a file's bytes taken in pieces as they go by: what
// minisign's default (prehashed) form signs. A copy can make it on the way,
// so that its check need not read the copy again.
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <memory>

namespace trust {

inline constexpr std::size_t kDigestSize = 64;
using Digest = std::array<unsigned char, kDigestSize>;

class StreamDigest {
public:
    StreamDigest();
    ~StreamDigest();
    StreamDigest(const StreamDigest&) = delete;
    StreamDigest& operator=(const StreamDigest&) = delete;

    // Adds the next `size` bytes. One thread at a time.
    void add(const char* bytes, qint64 size);
    // How many bytes were added.
    qint64 size() const { return size_; }
    // The digest of the bytes added so far; more may be added afterwards.
    Digest digest() const;

private:
    struct State;
    std::unique_ptr<State> state_;
    qint64 size_ = 0;
};

}  // namespace trust
