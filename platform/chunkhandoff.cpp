#include "platform/chunkhandoff.h"

#include <cstdlib>
#include <utility>

namespace platform {

void ChunkHandoff::Release::operator()(char* memory) const
{
    std::free(memory);  // the pair of aligned_alloc
}

ChunkHandoff::ChunkHandoff(ChunkTaker take, qint64 bufferSize, int count)
    : take_(std::move(take)), bufferSize_((bufferSize + kHandoffAlignment - 1) / kHandoffAlignment * kHandoffAlignment),
      count_(count), memory_(static_cast<char*>(std::aligned_alloc(std::size_t(kHandoffAlignment),
                                                                   std::size_t(bufferSize_) * std::size_t(count)))),
      sizes_(std::size_t(count), 0)
{
    if (memory_)
        taker_ = std::thread([this] { run(); });
}

ChunkHandoff::~ChunkHandoff()
{
    finish();
}

char* ChunkHandoff::slot(qint64 chunk) const
{
    return memory_.get() + (chunk % count_) * bufferSize_;
}

char* ChunkHandoff::buffer()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return handed_ - taken_ < count_; });
    return slot(handed_);
}

void ChunkHandoff::hand(qint64 size)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        sizes_[std::size_t(handed_ % count_)] = size;
        ++handed_;
    }
    changed_.notify_all();
}

void ChunkHandoff::finish()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
    }
    changed_.notify_all();
    if (taker_.joinable())
        taker_.join();
}

void ChunkHandoff::run()
{
    for (;;) {
        const char* bytes = nullptr;
        qint64 size = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return taken_ < handed_ || finishing_; });
            if (taken_ == handed_)
                return;  // finishing, and every chunk taken
            bytes = slot(taken_);
            size = sizes_[std::size_t(taken_ % count_)];
        }
        // Outside the lock: the filler goes on with the other buffers meanwhile.
        take_(bytes, size);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ++taken_;
        }
        changed_.notify_all();
    }
}

}  // namespace platform
