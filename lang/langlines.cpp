#include "lang/langlines.h"

#include "lib/basictext.h"
#include "lib/textlists.h"
#include "platform/atomicwrite.h"
#include "platform/codepage.h"
#include "platform/fileapi.h"

#include <QStringDecoder>

#include <algorithm>

namespace vek {
namespace {

// The text of a language file's bytes. UTF-8 behind an optional mark is the
// file's own form; anything else (bytes that are not UTF-8, or a UTF-16 mark)
// is decoded as what it is, and `converted` says that the file should be
// written again as UTF-8.
QString decodelangfile(const QByteArray& bytes, bool& converted)
{
    converted = false;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        converted = true;
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return decoder(QByteArrayView(bytes).sliced(2));
    }
    const qsizetype skip = bytes.startsWith(platform::kUtf8Mark) ? platform::kUtf8MarkSize : 0;
    const QByteArrayView body = QByteArrayView(bytes).sliced(skip);
    // A further mark after the first is a character of the text, not a mark.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    // Written in the code page by an older program or by hand: every byte is a
    // character there, so nothing is lost on the way to UTF-8.
    converted = true;
    return platform::fromCodePage(body.data(), body.size());
}

bool islinebreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029);
}

}  // namespace

QString langfileline(const QString& text)
{
    const auto clean = [](QChar c) { return !islinebreak(c) && c.category() != QChar::Other_Control; };
    if (std::all_of(text.cbegin(), text.cend(), clean))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (islinebreak(c)) {
            out += u'|';
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;  // CR LF is one line break
        } else if (c.category() != QChar::Other_Control) {
            out += c;
        }
    }
    return out;
}

// Writes the lines as a language file: the UTF-8 mark, then each line and
// CR LF, through a work file renamed into place. A file its owner made
// read-only is not replaced behind their back.
bool writelanglines(const QString& path, const QStringList& lines)
{
    if (platform::isFile(path)) {
        platform::RawFile probe;
        if (probe.open(path, platform::OpenMode::Append) != 0)
            return false;
        (void)probe.close();  // nothing was written through it
    }
    QByteArray bytes(platform::kUtf8Mark, platform::kUtf8MarkSize);
    for (const QString& line : lines) {
        // A line read from a file holds no CR or LF: one that does was put
        // together by the program, and must not become two records. A Unicode
        // line separator ends no line of the file: a line read with one is
        // written as it was, so that its record keeps its key.
        const bool splits = line.contains(u'\r') || line.contains(u'\n');
        bytes += (splits ? langfileline(line) : line).toUtf8();
        bytes += "\r\n";
    }
    return platform::writeFileAtomically(path, bytes) == 0;
}

// The lines of the file in their order. A file that is not UTF-8 is rewritten
// as UTF-8 once it has been read whole.
LangRead readlanglines(const QString& path, QStringList& lines)
{
    lines.clear();
    if (!platform::isFile(path))
        return platform::pathExists(path) ? LangRead::Failed : LangRead::Missing;
    QByteArray bytes;
    if (platform::readWholeFile(path, bytes) != 0) {
        // Busy or failing for a moment: the list reader's tries at the open
        // get their turn. What it reads is not rewritten.
        const platform::ReadError again = readlines(lines, path);
        if (again == platform::ReadError::None)
            return LangRead::Read;
        lines.clear();
        return again == platform::ReadError::NotExist ? LangRead::Missing : LangRead::Failed;
    }
    bool converted = false;
    lines = splitlines(decodelangfile(bytes, converted));
    if (converted)
        (void)writelanglines(path, lines);  // converted again at the next read when this one fails
    return LangRead::Read;
}

}  // namespace vek
