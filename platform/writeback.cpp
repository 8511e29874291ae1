#include "platform/writeback.h"

#include <fcntl.h>

namespace platform {

void WritebackPacer::wrote(qint64 bytes)
{
    written_ += bytes;
    if (fd_ < 0 || written_ - started_ < kStep)
        return;
    const qint64 length = (written_ - started_) / kStep * kStep;
    // Only a hint: a failure here shows again, and is reported, at the flush.
    (void)::sync_file_range(fd_, started_, length, SYNC_FILE_RANGE_WRITE);
    started_ += length;
}

}  // namespace platform
