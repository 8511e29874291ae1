#include "platform/inifile.h"

#include "platform/atomicwrite.h"
#include "platform/fileapi.h"
#include "platform/readerror.h"

#include "platform/winerror.h"

namespace platform {
namespace {

// The name of a "[section]" line, or a null text for any other line.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.front() == u'[') {
        const qsizetype close = t.indexOf(u']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return QString();
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(u';') || t.startsWith(u'#');
}

QString keyOf(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 || isComment(line) ? QString() : line.left(eq).trimmed();
}

QString valueOf(const QString& line)
{
    QString v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"') || (v.front() == u'\'' && v.back() == u'\'')))
        v = v.mid(1, v.size() - 2);
    return v;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The body of the first section named `section`: [first, end) line indexes,
// first == -1 when absent.
struct Span {
    qsizetype header = -1;
    qsizetype first = -1;
    qsizetype end = -1;
};

Span findSection(const QStringList& lines, const QString& section)
{
    Span s;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (name.isNull())
            continue;
        if (s.header >= 0) {
            s.end = i;
            return s;
        }
        if (sameName(name, section)) {
            s.header = i;
            s.first = i + 1;
        }
    }
    if (s.header >= 0)
        s.end = lines.size();
    return s;
}

qsizetype findKey(const QStringList& lines, const Span& s, const QString& key)
{
    for (qsizetype i = s.first; s.header >= 0 && i < s.end; ++i) {
        if (sameName(keyOf(lines[i]), key))
            return i;
    }
    return -1;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
}

IniFile::Text IniFile::readLines() const
{
    Text out;
    RawFile file;
    if (const int rc = file.open(path_, OpenMode::Read)) {
        // A file that is not there reads as empty; one that is there but
        // cannot be opened is an error a writer must not build on.
        if (readErrorFor(rc, path_) == ReadError::Failed)
            out.error = rc;
        return out;
    }
    QByteArray bytes;
    for (;;) {
        constexpr qint64 kChunk = 1 << 16;
        const qsizetype old = bytes.size();
        bytes.resize(old + kChunk);
        qint64 got = 0;
        if (const int rc = file.read(bytes.data() + old, kChunk, &got)) {
            out.error = rc;
            return out;
        }
        bytes.resize(old + got);
        if (got == 0)
            break;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.lines = text.split(u'\n');
    if (!out.lines.isEmpty() && out.lines.back().isEmpty())
        out.lines.removeLast();
    return out;
}

int IniFile::writeLines(const QStringList& lines) const
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    return writeFileAtomically(path_, bytes);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const
{
    const QStringList lines = readLines().lines;
    const qsizetype at = findKey(lines, findSection(lines, section), key);
    return at < 0 ? fallback : valueOf(lines[at]);
}

int IniFile::readInt(const QString& section, const QString& key, int fallback) const
{
    bool ok = false;
    const int value = readString(section, key).toInt(&ok);
    return ok ? value : fallback;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const QStringList lines = readLines().lines;
    return findKey(lines, findSection(lines, section), key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const QString& line : readLines().lines) {
        const QString name = sectionName(line);
        if (!name.isNull())
            out.append(name);
    }
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    const QStringList lines = readLines().lines;
    const Span s = findSection(lines, section);
    QStringList out;
    for (qsizetype i = s.first; s.header >= 0 && i < s.end; ++i) {
        const QString key = keyOf(lines[i]);
        if (!key.isEmpty())
            out.append(key);
    }
    return out;
}

int IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Text text = readLines();
    if (text.error)
        return text.error;
    QStringList& lines = text.lines;
    const QString line = key + u'=' + value;
    const Span s = findSection(lines, section);
    if (s.header < 0) {
        if (!lines.isEmpty() && !lines.back().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(line);
        return writeLines(lines);
    }
    const qsizetype at = findKey(lines, s, key);
    if (at >= 0) {
        if (lines[at] == line)
            return 0;
        lines[at] = line;
        return writeLines(lines);
    }
    // After the section's last non-blank line, so a blank line before the next section stays.
    qsizetype insertAt = s.end;
    while (insertAt > s.first && lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    lines.insert(insertAt, line);
    return writeLines(lines);
}

int IniFile::writeInt(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

int IniFile::deleteKey(const QString& section, const QString& key)
{
    Text text = readLines();
    if (text.error)
        return text.error;
    QStringList& lines = text.lines;
    const qsizetype at = findKey(lines, findSection(lines, section), key);
    if (at < 0)
        return 0;
    lines.removeAt(at);
    return writeLines(lines);
}

int IniFile::eraseSection(const QString& section)
{
    Text text = readLines();
    if (text.error)
        return text.error;
    QStringList& lines = text.lines;
    const Span s = findSection(lines, section);
    if (s.header < 0)
        return 0;
    lines.erase(lines.begin() + s.header, lines.begin() + s.end);
    return writeLines(lines);
}

}  // namespace platform
