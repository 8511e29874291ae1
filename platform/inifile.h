#pragma once
// Ini files with the family's profile-string rules: section and key names match
// without regard to case, the first occurrence wins, values are trimmed (and
// lose one pair of enclosing quotes). A write updates the key's line in place or
// adds it at the end of its section, keeps every other line as it was, and
// reaches the disk at once through an atomic replace. A file that is there but
// cannot be read reads as empty and is never written: a write built on what
// could not be read would put its one key in place of every other setting.
#include <QString>
#include <QStringList>

namespace platform {

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& fallback = {}) const;
    int readInt(const QString& section, const QString& key, int fallback) const;
    bool hasKey(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // Each returns 0 or the code of the failed read or write (5 when the file
    // exists but may not be read); the file is unchanged on failure. A missing
    // file is no failure: the first write makes it.
    [[nodiscard]] int writeString(const QString& section, const QString& key, const QString& value);
    [[nodiscard]] int writeInt(const QString& section, const QString& key, int value);
    [[nodiscard]] int deleteKey(const QString& section, const QString& key);
    [[nodiscard]] int eraseSection(const QString& section);

private:
    // The lines of the file; `error` is 0 for a file read whole or a missing
    // one, else the code of the open or read that failed.
    struct Text {
        QStringList lines;
        int error = 0;
    };
    [[nodiscard]] Text readLines() const;
    [[nodiscard]] int writeLines(const QStringList& lines) const;

    QString path_;
};

}  // namespace platform
