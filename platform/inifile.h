#pragma once
// Ini files with the family's profile-string rules: section and key names match
// without regard to case, the first occurrence wins, values are trimmed (and
// lose one pair of enclosing quotes). A write updates the key's line in place or
// adds it at the end of its section, keeps every other line as it was, and
// reaches the disk at once through an atomic replace.
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

    // Each returns 0 or the code of the failed write; the file is unchanged on failure.
    int writeString(const QString& section, const QString& key, const QString& value);
    int writeInt(const QString& section, const QString& key, int value);
    int deleteKey(const QString& section, const QString& key);
    int eraseSection(const QString& section);

private:
    QStringList readLines() const;
    int writeLines(const QStringList& lines) const;

    QString path_;
};

}  // namespace platform
