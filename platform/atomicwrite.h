#pragma once
// Whole-file writes that never leave a truncated file behind: the bytes go to a
// work file beside the target, reach the disk, and are renamed over the target
// in one step. A failure at any point leaves the previous version in place.
#include <QByteArray>
#include <QString>

namespace platform {

// The file that a save of `target` writes: `target` itself, or, where it is a
// symbolic link, the file it leads to (the link stays a link).
QString savedPath(const QString& target);

// Writes `bytes` as the new content of `target`. 0 or the code of the failing step.
[[nodiscard]] int writeFileAtomically(const QString& target, const QByteArray& bytes);

// Rewrites `target` (links followed) with `bytes` in place, for a file whose
// folder takes no work file: the new length is reserved on the disk before
// the old content is touched, so a full disk (or a file system that cannot
// reserve) refuses the rewrite and the file stays as it was. 0 or the code of
// the failing step.
[[nodiscard]] int rewriteFileInPlace(const QString& target, const QByteArray& bytes);

// The same in two halves, for callers that stream their content: begin() opens
// the work file (a hidden name of fixed length beside the target, of its own
// for each writer, made exclusively and never through a link), commit()
// flushes it and renames it over the target, and a writer destroyed without
// commit() removes its work file. The saved file keeps the owner, group and
// permission bits of the one it replaces; a target that is a symbolic link
// stays one, and the file it leads to takes the new content.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(QString target);
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    [[nodiscard]] int begin();
    [[nodiscard]] int write(const char* data, qint64 size);
    [[nodiscard]] int write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    [[nodiscard]] int commit();
    // The work file this writer writes until commit().
    const QString& workPath() const { return work_; }

private:
    QString target_;  // the file written: links followed
    QString work_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

}  // namespace platform
