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
#include <functional>

namespace vek {
namespace {

constexpr qsizetype kChunk = 1 << 16;
constexpr int kOpenTries = 4;

// Appends the lines of text in the single-byte code page to `list`: CR, LF
// or CR LF end a line, and a last line without an end counts as well. Each
// line is decoded straight from the bytes, with no decoded copy of the whole
// text; CR and LF are the same bytes in the code page and in the text.
void appendCodePageLines(QStringList& list, const char* p, qsizetype size)
{
    const char* const end = p + size;
    auto find = [&](char c) { return static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p))); };
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

// The whole file as text: a UTF-8 or UTF-16 byte-order mark selects that
// encoding, anything else is read in the single-byte code page.
QString decodeWholeFile(const QByteArray& bytes)
{
    if (bytes.startsWith(platform::kUtf8Mark))
        return platform::fromUtf8Text(bytes.constData() + platform::kUtf8MarkSize,
                                      bytes.size() - platform::kUtf8MarkSize);
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

void appendLine(QByteArray& out, const QString& line, platform::TextEncoding encoding)
{
    platform::appendEncoded(out, line, encoding);
    out.append("\r\n", 2);
}

// Whether the first item's code-page bytes would read back as a byte-order
// mark at the start of a file.
bool opensLikeByteOrderMark(const QStringList& list)
{
    return !list.isEmpty()
        && platform::startsWithByteOrderMark(platform::toCodePage(list.front().left(platform::kUtf8MarkSize)));
}

// Whether the items must be written as UTF-8: one holds a character the code
// page lacks, or, at the start of a file, the first one would read back as a
// byte-order mark.
bool needsUtf8(const QStringList& list, bool atStart)
{
    if (atStart && opensLikeByteOrderMark(list))
        return true;
    return std::any_of(list.begin(), list.end(), [](const QString& item) { return !platform::fitsCodePage(item); });
}

// Tries an open up to four times with the family's random wait after each
// failure; 0 or the code of the last try.
int openWithRetries(const std::function<int()>& open)
{
    int rc = 0;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if ((rc = open()) == 0)
            return 0;
        waitbeforeretry();
    }
    return rc;
}

// Whether an existing target takes writes, asked as openwrite would ask it,
// but without emptying it. A rename of a new version over a file its owner
// made read-only would go around that protection.
bool targetTakesWrites(const QString& target)
{
    if (!platform::isFile(target))
        return true;
    return openWithRetries([&] {
               platform::RawFile probe;
               return probe.open(target, platform::OpenMode::Append);
           })
        == 0;
}

// What writeLines returns when a code-page item cannot be held by the code
// page; not a code any system step gives.
constexpr int kItemLacksCodePage = -1;

// Writes the items, each with CR LF, in blocks of about kChunk bytes, UTF-8
// behind its mark or in the code page. A code-page write stops at the first
// item the code page cannot hold: kItemLacksCodePage. Otherwise 0 or the
// failing write's code.
int writeLines(platform::AtomicFileWriter& writer, const QStringList& list, platform::TextEncoding encoding)
{
    const bool utf8 = encoding == platform::TextEncoding::Utf8;
    QByteArray block(kChunk, Qt::Uninitialized);
    qsizetype used = 0;
    if (utf8) {
        std::memcpy(block.data(), platform::kUtf8Mark, platform::kUtf8MarkSize);
        used = platform::kUtf8MarkSize;
    }
    for (const QString& item : list) {
        // A UTF-16 unit takes at most three bytes of UTF-8.
        const qsizetype room = item.size() * (utf8 ? 3 : 1) + 2;
        if (used + room > block.size()) {
            if (const int rc = writer.write(block.constData(), used))
                return rc;
            used = 0;
            if (room > block.size())
                block.resize(room);
        }
        char* at = block.data() + used;
        if (utf8) {
            const QByteArray bytes = item.toUtf8();
            std::memcpy(at, bytes.constData(), static_cast<size_t>(bytes.size()));
            at += bytes.size();
        } else if (platform::encodeFittingCodePage(item, at)) {
            at += item.size();
        } else {
            return kItemLacksCodePage;
        }
        *at++ = '\r';
        *at++ = '\n';
        used = at - block.constData();
    }
    return used > 0 ? writer.write(block.constData(), used) : 0;
}

// Writes the list to `target` through a work file renamed into place, in the
// code page unless `encoding` is UTF-8 or an item turns out not to fit, when
// the work file is begun again as UTF-8. The writer retries its open like
// openwrite; a folder that refuses the work file (access denied) refuses it
// on every try, so that is not tried again. Returns 0 or the failing step's
// code.
int writeListAtomically(const QStringList& list, platform::TextEncoding encoding, const QString& target)
{
    for (;;) {
        platform::AtomicFileWriter writer(target);
        int rc = 0;
        for (int attempt = 0; attempt < kOpenTries; ++attempt) {
            rc = writer.begin();
            if (rc == 0 || rc == platform::winerr::AccessDenied)
                break;
            waitbeforeretry();
        }
        if (rc != 0)
            return rc;
        rc = writeLines(writer, list, encoding);
        if (rc == kItemLacksCodePage) {
            encoding = platform::TextEncoding::Utf8;
            continue;  // the abandoned writer has removed its work file
        }
        return rc != 0 ? rc : writer.commit();
    }
}

// The bytes savelist writes for `list`: each item with CR LF, behind the
// UTF-8 mark or in the code page.
QByteArray encodedLines(const QStringList& list, platform::TextEncoding encoding)
{
    const bool utf8 = encoding == platform::TextEncoding::Utf8;
    QByteArray bytes;
    if (utf8)
        bytes.append(platform::kUtf8Mark, platform::kUtf8MarkSize);
    for (const QString& item : list) {
        bytes.append(utf8 ? item.toUtf8() : platform::toCodePage(item));
        bytes.append("\r\n", 2);
    }
    return bytes;
}

// Rewrites an existing file in place: for a file in a folder where no work
// file may be made. The new length is reserved on the disk first, so that a
// full disk refuses the save before a line of the old content is touched.
bool rewriteInPlace(const QStringList& list, platform::TextEncoding encoding, const QString& target)
{
    return platform::rewriteFileInPlace(target, encodedLines(list, encoding)) == 0;
}

// The lines of a file in whatever encoding its mark names.
void appendFileLines(QStringList& list, const QByteArray& bytes)
{
    if (platform::startsWithByteOrderMark(bytes))
        list.append(splitlines(decodeWholeFile(bytes)));
    else
        appendCodePageLines(list, bytes.constData(), bytes.size());
}

// Where the complete lines of `bytes` end: after the last line end, unless
// that is a CR closing the bytes, whose LF may come with the next read.
qsizetype completeLinesEnd(const QByteArray& bytes)
{
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const char c = bytes[i];
        if (c == '\n' || (c == '\r' && i + 1 < bytes.size()))
            return i + 1;
    }
    return 0;
}

// Reads the lines of a file a block at a time, so that the file's bytes are
// never all in memory beside the lines made of them. A file that starts with
// a byte-order mark is decoded whole, as its encoding needs. 0 or the code of
// the failed read; the list then holds what was read before it.
int readFileLines(const QString& name, QStringList& list)
{
    platform::RawFile file;
    if (const int rc = file.open(name, platform::OpenMode::Read))
        return rc;
    QByteArray bytes;
    bool first = true;
    for (;;) {
        qint64 got = 0;
        if (const int rc = platform::appendBlock(file, bytes, got))
            return rc;
        if (first && platform::startsWithByteOrderMark(bytes)) {
            if (const int rc = platform::readRemaining(file, bytes))
                return rc;
            appendFileLines(list, bytes);
            return 0;
        }
        first = false;
        if (got == 0) {
            appendCodePageLines(list, bytes.constData(), bytes.size());
            return 0;
        }
        const qsizetype cut = completeLinesEnd(bytes);
        appendCodePageLines(list, bytes.constData(), cut);
        bytes.remove(0, cut);
    }
}

// Appends the items to a file open for appending, in the file's encoding. A
// code-page file that must take items it cannot hold is saved whole as UTF-8
// with the items added (closing `f` first); a file that holds nothing yet
// starts as UTF-8.
bool appendItems(textfile& f, const QString& name, const QStringList& list)
{
    if (f.encoding() == platform::TextEncoding::CodePage && needsUtf8(list, f.isempty())) {
        if (f.isempty()) {
            if (!f.startutf8())
                return false;  // the items would lose the letters the code page lacks
        } else {
            (void)closetext(f);  // nothing was written through it; the file is read and saved whole below
            QByteArray bytes;
            if (platform::readWholeFile(name, bytes) != 0)
                return false;  // what is there could not be read, so it is not rewritten
            QStringList all;
            appendFileLines(all, bytes);
            return savelist(all + list, name);
        }
    }
    bool ok = true;
    for (const QString& item : list)
        ok = f.writeline(item) && ok;
    return closetext(f) && ok;
}

// Puts the finished work file in place of the target, keeping the previous
// version as the keep-copy until the new one stands.
bool placeWorkFile(const QString& target)
{
    const QString work = target + kWorkFileSuffix;
    const QString keep = target + kKeepCopySuffix;
    // A new version that may not be on the disk does not replace the old one.
    if (platform::syncFile(work) != 0) {
        (void)removefile(work);  // nothing has moved yet: the target alone is left, as it was
        return false;
    }
    if (platform::pathExists(keep))
        (void)removefile(keep);  // whether it went is looked at next
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
        (void)removefile(keep);  // a keep-copy left over holds the previous version, and the next save removes it
    return true;
}

}  // namespace

textfile::~textfile()
{
    if (file_.isOpen())
        (void)flush();  // a caller that wants to know how the writes went calls closetext
}

int textfile::openAs(const QString& name, platform::OpenMode mode)
{
    in_.clear();
    inPos_ = 0;
    atEnd_ = false;
    out_.clear();
    encoding_ = platform::TextEncoding::CodePage;
    empty_ = mode == platform::OpenMode::Write;
    if (mode == platform::OpenMode::Append) {
        // Lines go on in the encoding the file began with. A file that cannot
        // be looked into (write-only) is taken as code page and not empty.
        platform::RawFile existing;
        const int rc = existing.open(name, platform::OpenMode::Read);
        empty_ = rc == platform::winerr::FileNotFound || rc == platform::winerr::PathNotFound;
        if (rc == 0) {
            char head[platform::kUtf8MarkSize];
            qint64 have = 0, got = 0;
            while (have < platform::kUtf8MarkSize
                   && existing.read(head + have, platform::kUtf8MarkSize - have, &got) == 0 && got > 0)
                have += got;
            empty_ = have == 0;
            if (QByteArrayView(head, have) == QByteArrayView(platform::kUtf8Mark))
                encoding_ = platform::TextEncoding::Utf8;
        }
    }
    const int rc = error_ = file_.open(name, mode);
    if (rc == 0 && mode == platform::OpenMode::Read) {
        // A byte-order mark ahead of the first line selects UTF-8.
        while (in_.size() < platform::kUtf8MarkSize && fill()) {}
        if (in_.startsWith(platform::kUtf8Mark)) {
            encoding_ = platform::TextEncoding::Utf8;
            inPos_ = platform::kUtf8MarkSize;
        }
    }
    return rc;
}

bool textfile::startutf8()
{
    if (!file_.isOpen() || !empty_ || !out_.isEmpty())
        return false;
    out_.append(platform::kUtf8Mark, platform::kUtf8MarkSize);
    encoding_ = platform::TextEncoding::Utf8;
    return true;
}

QString textfile::decode(const char* data, qsizetype size) const
{
    return encoding_ == platform::TextEncoding::Utf8 ? platform::fromUtf8Text(data, size)
                                                     : platform::fromCodePage(data, size);
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
    // A line is decoded whole once its end is found, so a UTF-8 character
    // split across two chunks of the file stays one character.
    qsizetype scan = inPos_;
    for (;;) {
        const char* data = in_.constData();
        for (qsizetype i = scan; i < in_.size(); ++i) {
            if (data[i] != '\r' && data[i] != '\n')
                continue;
            line = decode(data + inPos_, i - inPos_);
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
        const qsizetype scanned = in_.size() - inPos_;
        if (!fill()) {
            line = decode(in_.constData() + inPos_, in_.size() - inPos_);
            inPos_ = in_.size();
            return true;
        }
        scan = inPos_ + scanned;  // fill() dropped what was read before inPos_
    }
}

bool textfile::writeline(const QString& line)
{
    if (!file_.isOpen()) {
        error_ = platform::winerr::InvalidHandle;
        return false;
    }
    appendLine(out_, line, encoding_);
    empty_ = false;
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
    const platform::OpenMode mode
        = append && platform::isFile(name) ? platform::OpenMode::Append : platform::OpenMode::Write;
    return openWithRetries([&] { return f.openAs(name, mode); }) == 0;
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

platform::ReadError readlist(QStringList& list, const QString& name)
{
    list.clear();
    if (iswebaddress(name))
        return downloadlist(list, name) ? platform::ReadError::None : platform::ReadError::Failed;
    if (!platform::isFile(name))
        return platform::pathExists(name) ? platform::ReadError::Failed : platform::ReadError::NotExist;
    if (const int rc = readFileLines(name, list)) {
        list.clear();  // a read that failed part way: the list is not the file
        return platform::readErrorFor(rc, name);
    }
    return platform::ReadError::None;
}

platform::ReadError readlines(QStringList& list, const QString& name)
{
    list.clear();
    if (iswebaddress(name))
        return downloadlist(list, name) ? platform::ReadError::None : platform::ReadError::Failed;
    if (!platform::isFile(name))
        return platform::pathExists(name) ? platform::ReadError::Failed : platform::ReadError::NotExist;
    int rc = 0;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        textfile f;
        if (openread(f, name)) {
            QString line;
            while (f.readline(line))
                list.append(line);
            // A read that failed part way ends the lines early: the list is not the file.
            if ((rc = f.lasterror()) != 0)
                list.clear();
            (void)closetext(f);  // nothing was written through it
            return platform::readErrorFor(rc, name);
        }
        rc = f.lasterror();
        waitbeforeretry();
    }
    return platform::readErrorFor(rc, name);
}

void loadlist(QStringList& list, const QString& name)
{
    (void)readlist(list, name);  // the family's call: an empty list, whatever the reason
}

void loadlines(QStringList* list, const QString& name)
{
    if (list)
        (void)readlines(*list, name);  // as loadlist
}

bool savelist(const QStringList& list, const QString& name)
{
    const bool warningCheck = hasExtension(name, QLatin1String(".oma")) || hasExtension(name, QLatin1String(".iso"));
    const bool safeReplace = list.size() > kSafeReplaceThreshold && hasExtension(name, QLatin1String(".csv"));
    if (!targetTakesWrites(name))
        return false;
    const QString written = safeReplace ? name + kWorkFileSuffix : name;
    bool saved = true;
    // Whether every item fits the code page is found out while writing.
    const int rc = writeListAtomically(
        list, opensLikeByteOrderMark(list) ? platform::TextEncoding::Utf8 : platform::TextEncoding::CodePage, written);
    if (rc == platform::winerr::AccessDenied && platform::isFile(name)) {
        // A shared folder its users may not write, holding a file they may:
        // no work file can be made, so the file itself takes the new lines.
        if (!rewriteInPlace(
                list, needsUtf8(list, true) ? platform::TextEncoding::Utf8 : platform::TextEncoding::CodePage, name))
            return false;
    } else if (rc != 0) {
        return false;
    } else if (safeReplace) {
        saved = placeWorkFile(name);
    }
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
    return appendItems(f, name, list);
}

bool appendlines(const QString& name, const QStringList& list)
{
    textfile f;
    if (!openappend(f, name))
        return false;
    return appendItems(f, name, list);
}

}  // namespace vek
