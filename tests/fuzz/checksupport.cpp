#include "checksupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace fuzzchecks {
namespace {

QString g_scratch;

}  // namespace

void setScratchFolder(const QString& folder)
{
    QDir().mkpath(folder);
    g_scratch = folder.endsWith(u'/') ? folder : folder + u'/';
}

QString scratchFolder()
{
    if (g_scratch.isEmpty())
        setScratchFolder(QDir::tempPath() + QStringLiteral("/tessarine-checks-")
                         + QString::number(QCoreApplication::applicationPid()));
    return g_scratch;
}

QString scratchFile(const QString& name)
{
    return scratchFolder() + name;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString broken(const char* file, int line, const char* what, const QString& detail)
{
    QString out = QStringLiteral("%1:%2: %3").arg(QLatin1String(file)).arg(line).arg(QLatin1String(what));
    if (!detail.isEmpty())
        out += QStringLiteral(" [") + detail + u']';
    return out;
}

QString shown(const QString& s)
{
    QString out;
    for (const QChar c : s) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString shown(const QStringList& list)
{
    QStringList parts;
    for (const QString& s : list)
        parts.append(u'"' + shown(s) + u'"');
    return u'(' + parts.join(QStringLiteral(", ")) + u')';
}

QString utf8Safe(const QString& s)
{
    // QString::fromUtf8 drops a byte-order mark at the start: a text that
    // begins with U+FEFF must come back with it.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(s.toUtf8());
}

bool hasControlCharacter(const QString& s)
{
    for (const QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

QString Reader::decoded(int mode, const QByteArray& r)
{
    if (mode == 0)
        return QString::fromLatin1(r);
    if (mode == 1)
        return QString::fromUtf8(r);
    QString out;
    out.reserve(r.size() / 2);
    for (qsizetype i = 0; i + 1 < r.size(); i += 2)
        out += QChar(char16_t(static_cast<quint8>(r[i]) | (static_cast<quint8>(r[i + 1]) << 8)));
    return out;
}

}  // namespace fuzzchecks
