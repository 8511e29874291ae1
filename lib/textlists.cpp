#include "lib/textlists.h"

#include "lib/basictext.h"
#include "lib/downloadhook.h"
#include "lib/fileops.h"
#include "lib/messagehook.h"
#include "lib/retrywait.h"
#include "platform/atomicwrite.h"
#include "platform/codepage.h"
#include "platform/winerror.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace vek {
namespace {

constexpr qsizetype kChunk = 1 << 16;
constexpr int kOpenTries = 4;
const QString kUtf8MarkAsCodePage = QStringLiteral("\u00EF\u00BB\u00BF");

// Appends the lines of `text` to `list`: CR, LF or CR LF end a line, and a
// last line without an end counts as well.
void appendLines(QStringList& list, QStringView text)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        list.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        list.append(text.mid(start).toString());
}

// appendLines for a file in the single-byte code page, decoding each line
// straight from the bytes: no decoded copy of the whole file, and the list
// grows once. CR and LF are the same bytes in the code page and in the text.
void appendCodePageLines(QStringList& list, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    auto find = [&](char c) { return static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p))); };
    qsizetype lines = 1;
    for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\n', static_cast<size_t>(end - q)))); ++q)
        ++lines;
    list.reserve(list.size() + lines);
    // The next LF and the next CR, each looked for again only once passed.
    const char* lf = find('\n');
    const char* cr = find('\r');
    while (p < end) {
        if (lf && lf < p)
            lf = find('\n');
        if (cr && cr < p)
            cr = find('\r');
        const char* eol = !lf ? cr : (!cr ? lf : std::min(lf, cr));
        if (!eol)
            break;
        list.append(platform::fromCodePage(p, eol - p));
        p = eol + 1;
        if (*eol == '\r' && p < end && *p == '\n')
            ++p;
    }
    if (p < end)
        list.append(platform::fromCodePage(p, end - p));
}

bool hasByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

// The whole file as text: a UTF-8 or UTF-16 byte-order mark selects that
// encoding, anything else is read in the single-byte code page.
QString decodeWholeFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return decoder(QByteArrayView(bytes.constData() + 2, bytes.size() - 2));
    }
    return platform::fromCodePage(bytes);
}

bool hasExtension(const QString& name, QLatin1String extension)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && dot > name.lastIndexOf(platform::kPathSep) && sameasciinocase(name.mid(dot), extension);
}

void appendLine(QByteArray& out, const QString& line)
{
    platform::appendCodePage(out, line);
    out.append("\r\n", 2);
}

// Writes the list to `target` through a work file renamed into place; the
// writer retries its open like openwrite. Returns 0 or the failing step's code.
int writeListAtomically(const QStringList& list, const QString& target)
{
    platform::AtomicFileWriter writer(target);
    int rc = 0;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        rc = writer.begin();
        if (rc == 0)
            break;
        waitbeforeretry();
    }
    if (rc != 0)
        return rc;
    QByteArray buffer;
    buffer.reserve(kChunk + 4096);
    for (const QString& item : list) {
        appendLine(buffer, item);
        if (buffer.size() >= kChunk) {
            if ((rc = writer.write(buffer)))
                return rc;
            buffer.clear();
        }
    }
    if (!buffer.isEmpty() && (rc = writer.write(buffer)))
        return rc;
    return writer.commit();
}

// Puts the finished work file in place of the target, keeping the previous
// version as the keep-copy until the new one stands.
bool placeWorkFile(const QString& target)
{
    const QString work = target + kWorkFileSuffix;
    const QString keep = target + kKeepCopySuffix;
    platform::syncFile(work);
    if (platform::pathExists(keep))
        removefile(keep);
    if (platform::pathExists(keep)) {
        // The stale keep-copy cannot go: replace the target in one step instead.
        return platform::replaceFile(work, target) == 0;
    }
    if (!platform::pathExists(target))
        return renamefile(work, target) == 0;
    if (renamefile(target, keep) != 0)
        return false;  // the target keeps the previous version, the work file the new one
    if (renamefile(work, target) != 0)
        return false;  // the previous version waits in the keep-copy
    if (platform::isFile(target))
        removefile(keep);
    return true;
}

}  // namespace

textfile::~textfile()
{
    if (file_.isOpen())
        flush();
}

int textfile::openAs(const QString& name, platform::OpenMode mode)
{
    in_.clear();
    inPos_ = 0;
    atEnd_ = false;
    out_.clear();
    error_ = file_.open(name, mode);
    return error_;
}

bool textfile::fill()
{
    if (atEnd_ || !file_.isOpen())
        return false;
    in_.remove(0, inPos_);
    inPos_ = 0;
    const qsizetype old = in_.size();
    in_.resize(old + kChunk);
    qint64 got = 0;
    const int rc = file_.read(in_.data() + old, kChunk, &got);
    in_.resize(old + got);
    if (rc != 0)
        error_ = rc;
    if (rc != 0 || got == 0)
        atEnd_ = true;
    return got > 0;
}

bool textfile::eof()
{
    return inPos_ >= in_.size() && !fill();
}

bool textfile::readline(QString& line)
{
    line.clear();
    if (eof())
        return false;
    for (;;) {
        const char* data = in_.constData();
        for (qsizetype i = inPos_; i < in_.size(); ++i) {
            if (data[i] != '\r' && data[i] != '\n')
                continue;
            line += platform::fromCodePage(data + inPos_, i - inPos_);
            // CR LF is one line end; a CR at the end of the buffer may have its LF in the next chunk.
            if (data[i] == '\r') {
                if (i + 1 >= in_.size()) {
                    inPos_ = i + 1;
                    if (fill() && in_.at(inPos_) == '\n')
                        ++inPos_;
                    return true;
                }
                if (data[i + 1] == '\n')
                    ++i;
            }
            inPos_ = i + 1;
            return true;
        }
        line += platform::fromCodePage(data + inPos_, in_.size() - inPos_);
        inPos_ = in_.size();
        if (!fill())
            return true;
    }
}

bool textfile::writeline(const QString& line)
{
    if (!file_.isOpen()) {
        error_ = platform::winerr::InvalidHandle;
        return false;
    }
    appendLine(out_, line);
    return out_.size() < kChunk || flush();
}

bool textfile::flush()
{
    if (out_.isEmpty())
        return true;
    const int rc = file_.write(out_.constData(), out_.size());
    out_.clear();
    if (rc != 0)
        error_ = rc;
    return rc == 0;
}

bool openread(textfile& f, const QString& name)
{
    if (!platform::isFile(name)) {
        f.error_ = platform::winerr::FileNotFound;
        return false;
    }
    return f.openAs(name, platform::OpenMode::Read) == 0;
}

bool openwrite(textfile& f, const QString& name, bool append)
{
    const platform::OpenMode mode = append && platform::isFile(name) ? platform::OpenMode::Append
                                                                     : platform::OpenMode::Write;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (f.openAs(name, mode) == 0)
            return true;
        waitbeforeretry();
    }
    return false;
}

bool openappend(textfile& f, const QString& name)
{
    return f.openAs(name, platform::OpenMode::Append) == 0;
}

bool closetext(textfile& f)
{
    if (!f.file_.isOpen())
        return false;
    const bool flushed = f.flush();
    const int rc = f.file_.close();
    if (rc != 0)
        f.error_ = rc;
    return flushed && rc == 0;
}

void loadlist(QStringList& list, const QString& name)
{
    list.clear();
    if (iswebaddress(name)) {
        downloadlist(list, name);
        return;
    }
    if (!platform::isFile(name))
        return;
    platform::RawFile file;
    if (file.open(name, platform::OpenMode::Read) != 0)
        return;
    QByteArray bytes;
    for (;;) {
        const qsizetype old = bytes.size();
        bytes.resize(old + (1 << 20));
        qint64 got = 0;
        if (file.read(bytes.data() + old, 1 << 20, &got) != 0)
            return;  // an unreadable file gives an empty list
        bytes.resize(old + got);
        if (got == 0)
            break;
    }
    if (hasByteOrderMark(bytes))
        appendLines(list, decodeWholeFile(bytes));
    else
        appendCodePageLines(list, bytes);
}

void loadlines(QStringList* list, const QString& name)
{
    if (!list)
        return;
    list->clear();
    if (iswebaddress(name)) {
        downloadlist(*list, name);
        return;
    }
    if (!platform::isFile(name))
        return;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        textfile f;
        if (openread(f, name)) {
            QString line;
            while (f.readline(line))
                list->append(line);
            closetext(f);
            break;
        }
        waitbeforeretry();
    }
    if (!list->isEmpty() && list->front().startsWith(kUtf8MarkAsCodePage))
        list->front().remove(0, kUtf8MarkAsCodePage.size());
}

bool savelist(const QStringList& list, const QString& name)
{
    const bool warningCheck = hasExtension(name, QLatin1String(".oma")) || hasExtension(name, QLatin1String(".iso"));
    const bool safeReplace = list.size() > kSafeReplaceThreshold && hasExtension(name, QLatin1String(".csv"));
    const QString written = safeReplace ? name + kWorkFileSuffix : name;
    if (writeListAtomically(list, written) != 0)
        return false;
    bool saved = true;
    if (safeReplace)
        saved = placeWorkFile(name);
    if (warningCheck) {
        for (const QString& item : list) {
            if (item.startsWith(QLatin1String("R="))) {
                libwarning(kOmaWarning);
                break;
            }
        }
    }
    return saved;
}

bool appendlist(const QStringList& list, const QString& name)
{
    if (list.isEmpty())
        return true;
    textfile f;
    if (!openwrite(f, name, true))
        return false;
    bool ok = true;
    for (const QString& item : list)
        ok = f.writeline(item) && ok;
    return closetext(f) && ok;
}

bool appendlines(const QString& name, const QStringList& list)
{
    textfile f;
    if (!openappend(f, name))
        return false;
    for (const QString& item : list)
        f.writeline(item);
    closetext(f);
    return true;
}

}  // namespace vek
