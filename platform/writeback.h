#pragma once
// Starting the write-back of a file while it is still being written, so that
// the flush that has to come before the file replaces another finds little
// left to do. Linux's sync_file_range starts the disk writes of a range and
// returns at once; a file system without it simply flushes everything at the
// end, as before.
#include <QtGlobal>

namespace platform {

class WritebackPacer {
public:
    // `fd`: a file open for writing, written from its start onwards.
    explicit WritebackPacer(int fd) : fd_(fd) {}
    // Notes that `bytes` more were written; every whole step written so far
    // has its write-back started.
    void wrote(qint64 bytes);

    // The amount written between two starts.
    static constexpr qint64 kStep = qint64(8) << 20;

private:
    int fd_;
    qint64 written_ = 0;
    qint64 started_ = 0;
};

}  // namespace platform
