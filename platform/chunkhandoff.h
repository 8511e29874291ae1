#pragma once
// Handing the chunks of a copy to a second thread as they are written, so that
// what is done with them (a digest of the copy) runs beside the copy's reading,
// writing and flushing, not after it.
#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// Where each buffer of a handoff begins, and a multiple of which its size is:
// what a write past the page cache (O_DIRECT) asks of its buffer.
inline constexpr qint64 kHandoffAlignment = 4096;

// Takes one chunk: its bytes are valid until it returns.
using ChunkTaker = std::function<void(const char* bytes, qint64 size)>;

// A ring of a few buffers between the thread that fills them and a thread of
// its own that gives them to `take`, in the order they were handed: the filler
// waits only while every buffer is still being taken, the taker only while
// none is filled. Its memory is the ring, whatever the length of the copy.
class ChunkHandoff {
public:
    // Starts the taking thread, with `count` buffers of `bufferSize` bytes
    // (rounded up to kHandoffAlignment), each at a multiple of it; when that
    // memory cannot be had, neither (ready() false: nothing may be handed).
    ChunkHandoff(ChunkTaker take, qint64 bufferSize, int count);
    // finish(): every chunk handed is taken before the thread ends.
    ~ChunkHandoff();
    ChunkHandoff(const ChunkHandoff&) = delete;
    ChunkHandoff& operator=(const ChunkHandoff&) = delete;

    // The next buffer to fill, bufferSize() bytes long; waits while all are
    // being taken. Fill it, then hand() it, before asking for another.
    char* buffer();
    // Hands the buffer buffer() gave, its first `size` bytes filled.
    void hand(qint64 size);
    // Waits until `take` has had every chunk handed, and ends the thread;
    // nothing may be handed after it.
    void finish();
    qint64 bufferSize() const { return bufferSize_; }
    bool ready() const { return memory_ != nullptr; }

private:
    void run();
    // The buffer of the `chunk`th chunk.
    char* slot(qint64 chunk) const;

    ChunkTaker take_;
    qint64 bufferSize_;
    struct Release {
        void operator()(char* memory) const;
    };
    int count_;
    std::unique_ptr<char, Release> memory_;
    std::vector<qint64> sizes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Chunks handed and chunks taken so far; a buffer is free again once taken.
    qint64 handed_ = 0;
    qint64 taken_ = 0;
    bool finishing_ = false;
    // Started once everything above is made.
    std::thread taker_;
};

}  // namespace platform
