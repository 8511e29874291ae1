#pragma once
// What every property check shares: the reader that turns the fuzz input into
// values, the scratch folder for files, and the way a broken property is told.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstring>

namespace fuzzchecks {

// Where the checks write their scratch files (created when missing).
void setScratchFolder(const QString& folder);
// A file name inside the scratch folder.
QString scratchFile(const QString& name);
// The scratch folder itself, with a separator at the end.
QString scratchFolder();
void writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);

// A broken property: where and what, with the texts involved.
QString broken(const char* file, int line, const char* what, const QString& detail = {});

#define REQUIRE(cond, detail)                                                      \
    do {                                                                           \
        if (!(cond))                                                               \
            return ::fuzzchecks::broken(__FILE_NAME__, __LINE__, #cond, (detail)); \
    } while (0)

// Texts in failure messages: every character outside printable ASCII escaped.
QString shown(const QString& s);
QString shown(const QStringList& list);

// What UTF-8 can carry of a text: lone surrogates become U+FFFD; everything
// else, a leading U+FEFF included, stays as it was.
QString utf8Safe(const QString& s);

// True when the text holds a character below 32 or 127 (DEL).
bool hasControlCharacter(const QString& s);

// Reads the input from the front.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    quint8 byte() { return pos_ < bytes_.size() ? static_cast<quint8>(bytes_[pos_++]) : 0; }
    bool flag() { return byte() & 1; }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    template <typename T> T value()
    {
        T v{};
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw)
            b = byte();
        std::memcpy(&v, raw, sizeof(T));
        return v;
    }
    QByteArray rest()
    {
        const QByteArray r = bytes_.mid(pos_);
        pos_ = bytes_.size();
        return r;
    }
    // The input up to the next byte 0 (or its end), the 0 passed over.
    QByteArray chunk()
    {
        const qsizetype end = bytes_.indexOf('\0', pos_);
        const qsizetype stop = end < 0 ? bytes_.size() : end;
        const QByteArray r = bytes_.mid(pos_, stop - pos_);
        pos_ = end < 0 ? bytes_.size() : end + 1;
        return r;
    }
    // The rest of the input as text; one byte picks the encoding (Latin-1,
    // UTF-8 or raw UTF-16, which can hold any code unit, lone surrogates too).
    QString text() { return decoded(byte() % 3, rest()); }
    // The next chunk as UTF-8 text.
    QString chunkText() { return QString::fromUtf8(chunk()); }

private:
    static QString decoded(int mode, const QByteArray& r);

    QByteArray bytes_;
    qsizetype pos_ = 0;
};

}  // namespace fuzzchecks
