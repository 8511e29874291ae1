#include "testsupport.h"

#include <QDir>
#include <QFile>

namespace testsupport {

ScratchDir::ScratchDir() : dir_(QDir::tempPath() + QStringLiteral("/tessarine-test-XXXXXX"))
{
}

QString ScratchDir::path() const
{
    return dir_.path() + u'/';
}

InstallFolders::InstallFolders()
{
    QDir().mkpath(server());
    QDir().mkpath(local());
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}  // namespace testsupport
