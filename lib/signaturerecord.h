#pragma once
// What we keep of the signatures of a program's files: for each file of its
// chain (the current file and its backup generations) that an install, an
// update or a restore placed while signatures were required, the timestamp
// of the signature it was verified with. A small hidden file of ours beside
// the generations, one for each program. A later install of an older
// signature is refused by it, and the generations window shows which
// generations were installed verified.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vek {

inline const QString kSignatureRecordSuffix = QStringLiteral(".signed");

// The record of `current` (the program file): hidden, beside it, of fixed
// length whatever the program's name.
QString signaturerecordname(const QString& current);

// A placed file as the record knows it.
struct SignedFile {
    // The trusted comment's timestamp of its signature (0 when it named none).
    qint64 timestamp = 0;
    // Whether its signature was verified when it was placed.
    bool verified = false;
};

class SignatureRecord {
public:
    // Reads the record of `current`. A record that is not there is an empty
    // record; 0, or the code of a read that failed or found no record of ours
    // (then nothing may be written back over it).
    [[nodiscard]] int read(const QString& current);

    // What the record holds of the file standing at `path` now, matched by
    // its identity (device, inode, size and modification time), not by its
    // name: a generation keeps its entry as the chain shifts, and a file put
    // there by anything else has none.
    std::optional<SignedFile> find(const QString& path) const;

    // Records `file` for the file standing at `path` now; false when nothing
    // stands there.
    bool set(const QString& path, const SignedFile& file);

    // Writes the record beside `current`, keeping the entries of the files
    // that stand in its chain or at one of `keep` (a work file about to take
    // the name). The file is written beside the record, flushed and renamed
    // over it, never through a link. 0 or the failing step's code; the record
    // is as it was unless only the flush of the folder after the rename failed.
    [[nodiscard]] int write(const QString& current, const QStringList& keep = {}) const;

private:
    struct Entry {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        SignedFile file;
    };
    static std::optional<Entry> identity(const QString& path);

    QList<Entry> entries_;
};

}  // namespace vek
