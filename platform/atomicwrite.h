#pragma once
// Whole-file writes that never leave a truncated file behind: the bytes go to a
// work file beside the target, reach the disk, and are renamed over the target
// in one step. A failure at any point leaves the previous version in place.
#include <QByteArray>
#include <QString>

namespace platform {

// The name of the work file used for `target` by this process.
QString workFileFor(const QString& target);

// Writes `bytes` as the new content of `target`. 0 or the code of the failing step.
[[nodiscard]] int writeFileAtomically(const QString& target, const QByteArray& bytes);

// The same in two halves, for callers that stream their content: begin() opens
// the work file, commit() flushes it and renames it over the target, and a
// writer destroyed without commit() removes its work file.
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

private:
    QString target_;
    QString work_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

}  // namespace platform
