#pragma once
// The index of a server folder published on a web server: "TessarineIndex.txt"
// in the folder, one line a program file, so that a web server that lists no
// folders still tells the installer what it holds.
//
// The format: UTF-8, each line ended by a line feed (no carriage return), the
// lines sorted by the bytes of their names and no name twice, each line four
// fields split by a tab:
//
//     NAME <tab> SIZE <tab> YYYY-MM-DDTHH:MM:SSZ <tab> SHA256
//
// NAME the program's file name; SIZE its length in bytes in decimal digits
// without leading zeros;
// the time of its last change in UTC; SHA256 the digest of its bytes as 64
// lower-case hexadecimal digits. A name with a tab, a carriage return, a line
// feed or any other control character, a "/", a "\" or ".." cannot stand in
// the index.
#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace vek {

inline const QString kServerIndexName = QStringLiteral("TessarineIndex.txt");

// A program's SHA-256 as its index line gives it, its 32 bytes held in place:
// an index lists thousands of programs, and a digest of its own on the heap
// for each would cost more than the rest of its line.
class IndexDigest {
public:
    IndexDigest() = default;
    // The digest written as 64 hexadecimal digits, either letter case; all
    // zero when `digits` is not that.
    explicit IndexDigest(QByteArrayView digits);
    // Its 64 lower-case hexadecimal digits.
    QByteArray hex() const;
    friend bool operator==(const IndexDigest&, const IndexDigest&) = default;

private:
    std::array<quint8, 32> bytes_{};
};

struct ServerIndexEntry {
    QString name;
    qint64 size = 0;
    // The last change, seconds since the epoch (UTC).
    qint64 modified = 0;
    IndexDigest sha256;
    friend bool operator==(const ServerIndexEntry&, const ServerIndexEntry&) = default;
};
using ServerIndex = QList<ServerIndexEntry>;

// Empty when `name` can stand in the index; otherwise why not, in words
// ("it holds a tab").
QString indexnameproblem(const QString& name);

// Whether `folder` is the address of a server folder on a web server: it
// begins with "http://" or "https://" in any letter case.
bool iswebfolder(const QString& folder);

// The lines of the index of `entries`, sorted by name as the format asks.
// Every name must pass indexnameproblem, every digest be 64 hexadecimal
// digits, every time lie between the years 1 and 9999.
QByteArray formatserverindex(ServerIndex entries);

// What an index file held: its entries in the file's order, or why it was
// refused (`error` not empty, `entries` empty).
struct ServerIndexRead {
    ServerIndex entries;
    // "line 3: the size is not a number", or empty when the index was read.
    QString error;
};

// Reads an index. An index that is read gives back its own bytes through
// formatserverindex. Any line that breaks the format (a name that cannot stand
// in the index, a field missing or too many, a size or time or digest that is
// not written as the format says, lines out of order or a name twice, bytes
// that are not UTF-8, a last line without its line feed) refuses the whole
// index: no name of a refused index reaches a caller. An empty file is an
// index of no programs.
ServerIndexRead parseserverindex(const QByteArray& bytes);

// parseserverindex for an index that comes piece by piece, as a transfer
// brings it: each piece is read as it comes, and what `finish` gives is what
// parseserverindex gives for all the pieces joined.
class ServerIndexReader {
public:
    // Room for the lines of an index of `bytes` bytes (a hint: an index
    // longer than that is read all the same).
    void reserve(qint64 bytes);
    // The next piece of the index.
    void add(QByteArrayView piece);
    // The index of all the pieces added; the reader is empty afterwards.
    ServerIndexRead finish();

private:
    void readline(QByteArrayView line);

    ServerIndexRead read_;
    qsizetype lines_ = 0;
    // The line the last piece began and did not end.
    QByteArray unfinished_;
    // The name of the line before, for the order of the lines.
    QByteArray previousName_;
};

// The entry of `name`: the one of exactly that name, else the only one whose
// name differs from it in letter case alone; null when neither.
const ServerIndexEntry* findindexentry(const ServerIndex& index, const QString& name);

}  // namespace vek
