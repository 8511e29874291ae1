#pragma once
// Helpers shared by the tests: a scratch folder per test, and small file helpers.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

namespace testsupport {

// A fresh folder removed when the test ends; path() ends with "/".
class ScratchDir {
public:
    ScratchDir();
    QString path() const;
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir dir_;
};

// A scratch folder holding an empty server folder and an empty local folder.
class InstallFolders {
public:
    InstallFolders();
    QString server() const { return dir_.path() + QStringLiteral("server/"); }
    QString local() const { return dir_.path() + QStringLiteral("local/"); }
    QString path() const { return dir_.path(); }

private:
    ScratchDir dir_;
};

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Names of the entries of `folder` (dot files included), sorted.
QStringList entries(const QString& folder);

}  // namespace testsupport

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
