#pragma once
// SHA-256 digests of bytes and files, as the index of a server folder on a
// web server records them (lib/serverindex.h).
#include <QByteArray>
#include <QString>

#include <memory>

namespace vek {

// A digest fed in pieces: a download hashes its bytes as they arrive.
class Sha256 {
public:
    Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    ~Sha256();
    // Starts over, as if nothing had been added.
    void reset();
    void add(const char* data, qint64 size);
    // The digest of everything added since the start, as 64 lower-case
    // hexadecimal digits; the object starts over afterwards.
    QByteArray hex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// A digest worked out on a thread of its own while the caller goes on: a
// download hashes what it received while the next bytes arrive. At most
// a few megabytes wait to be hashed; add() waits for room beyond that.
class Sha256Pipe {
public:
    Sha256Pipe();
    Sha256Pipe(const Sha256Pipe&) = delete;
    Sha256Pipe& operator=(const Sha256Pipe&) = delete;
    // Waits for the thread to finish what it was given.
    ~Sha256Pipe();
    void add(const char* data, qint64 size);
    // Waits for every byte added, then as Sha256::hex.
    QByteArray hex();
    // Starts over, as if nothing had been added.
    void reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest of the file's bytes in `hex` (64 lower-case hexadecimal
// digits). 0, or the code of the failed open or read (`hex` empty then).
[[nodiscard]] int sha256file(const QString& path, QByteArray* hex);

}  // namespace vek
