// Language files: lines read and written back, records stored from any text
// (a screen, the editor, a translation), the editor's rows and request
// markers, the codes that name the files, and the editor's own settings.
#include "familytargets.h"
#include "lang/editorsettings.h"
#include "lang/langcode.h"
#include "lang/langfile.h"
#include "lang/langlines.h"
#include "lang/langrows.h"
#include "lib/basictext.h"
#include "web/translate.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

using namespace vek;

namespace fuzzchecks {
namespace {

const QString kScreen = QStringLiteral("Fuzzfm");
const QString kCode = QStringLiteral("de");

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool holdsLineBreak(const QString& s)
{
    return std::any_of(s.cbegin(), s.cend(), isLineBreak);
}

// Any bytes as a language file: the lines read hold no CR or LF, and written
// back they read as the same lines.
QString checkLinesRoundTrip(Reader& in)
{
    const QString path = scratchFile(QStringLiteral("lines.lang"));
    writeBytes(path, in.rest());
    QStringList lines;
    REQUIRE(readlanglines(path, lines) == LangRead::Read, path);
    for (const QString& line : lines)
        REQUIRE(!line.contains(u'\r') && !line.contains(u'\n'), shown(line));
    const QString again = scratchFile(QStringLiteral("again.lang"));
    QFile::remove(again);
    REQUIRE(writelanglines(again, lines), again);
    const QByteArray written = readBytes(again);
    REQUIRE(written.startsWith("\xEF\xBB\xBF"), QString::fromLatin1(written.left(8).toHex()));
    QStringList reread;
    REQUIRE(readlanglines(again, reread) == LangRead::Read, again);
    QStringList expected;
    for (const QString& line : lines)
        expected.append(utf8Safe(line));
    REQUIRE(reread == expected, shown(lines) + QStringLiteral(" -> ") + shown(reread));
    return {};
}

// A record key part as the program makes them (component kinds and names):
// no "=", no line break; anything else falls back to a fixed one.
QString keyPart(Reader& in, const QString& fallback)
{
    const QString s = in.chunkText();
    if (s.isEmpty() || s.contains(u'=') || s.contains(u'_') || holdsLineBreak(s) || hasControlCharacter(s))
        return fallback;
    return s;
}

// Any text stored as a record adds at most that one record to the file, reads
// back as one line, and leaves every other record as it was.
QString checkRecordStore(Reader& in)
{
    const QString kind = keyPart(in, QStringLiteral("label"));
    const QString name = keyPart(in, QStringLiteral("Titlelb"));
    const QByteArray fileBytes = in.chunk();
    const QString text = utf8Safe(in.text());

    const QString base = scratchFolder() + QStringLiteral("store/");
    QDir(base + kLangFolderName).removeRecursively();
    langfiledefn file(base);
    writeBytes(langfilepath(file.langfoldername, kScreen, kCode), fileBytes);
    REQUIRE(file.readlangfile(kScreen, kCode), file.errorstr);
    const QStringList before = file.langrecords.lines();
    file.writerecord(kind, name, text);
    REQUIRE(file.savefile(), file.errorstr);

    langfiledefn reread(base);
    REQUIRE(reread.readlangfile(kScreen, kCode), reread.errorstr);
    const QString key = kind + u'_' + name;
    langrecordlist beforeList;
    beforeList.setlines(before);
    QString old;
    const bool had = beforeList.find(key, old);
    const bool stored = !text.isEmpty() && !text.startsWith(u'{');
    const qsizetype expectedCount = before.size() + (stored && !had ? 1 : 0);
    REQUIRE(reread.langrecords.count() == expectedCount,
            QStringLiteral("%1 records, expected %2: ").arg(reread.langrecords.count()).arg(expectedCount)
                + shown(reread.langrecords.lines()));
    if (stored) {
        QString back;
        REQUIRE(reread.readrecord(kind, name, back), shown(key));
        REQUIRE(back == trimtext(langfileline(text)), shown(back) + QStringLiteral(" <- ") + shown(text));
    }
    for (const QString& line : before) {
        if (!isrecordline(line) || recordkey(line).compare(key, Qt::CaseInsensitive) == 0)
            continue;
        QString was;
        QString now;
        (void)beforeList.find(recordkey(line), was);
        REQUIRE(reread.langrecords.find(recordkey(line), now), shown(line));
        REQUIRE(now == utf8Safe(was), shown(was) + QStringLiteral(" -> ") + shown(now));
    }
    return {};
}

// A code either is refused (and then names no file) or names a file inside
// the language folder.
QString checkCode(Reader& in)
{
    const QString code = in.text();
    const QString problem = langcodeproblem(code);
    const QString folder = scratchFolder() + QStringLiteral("codes/") + kLangFolderName;
    if (!problem.isEmpty()) {
        langfiledefn file(scratchFolder() + QStringLiteral("codes/"));
        REQUIRE(!file.readlangfile(kScreen, code), shown(code));
        REQUIRE(!file.errorstr.isEmpty(), shown(code));
        return {};
    }
    REQUIRE(code.size() <= kMaxLangCodeLength, shown(code));
    for (const QChar c : code) {
        const bool allowed = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')
            || c == u'-' || c == u'_';
        REQUIRE(allowed, shown(code));
    }
    const QString path = langfilepath(folder, kScreen, code);
    REQUIRE(path.startsWith(folder + u'/'), shown(path));
    const QString fileName = path.mid(folder.size() + 1);
    REQUIRE(!fileName.contains(u'/') && fileName != QLatin1String("..") && fileName.endsWith(kLangFileExtension),
            shown(path));
    return {};
}

// The editor's rows: a row's line is one record line that reads back as the
// row; a memo request's reply lines are the lines sent; reply lines of a batch
// stay one record each.
QString checkRows(Reader& in)
{
    const bool memo = in.flag();
    const QString text = in.text();
    // The editor's rows come from the lines of a file, which hold no CR or LF.
    if (const std::optional<LangRow> row = langrowof(splitlines(text).value(0))) {
        const QString line = langrowline(*row);
        REQUIRE(!line.contains(u'\r') && !line.contains(u'\n'), shown(line));
        const std::optional<LangRow> back = langrowof(line);
        REQUIRE(back && back->kind == row->kind && back->name == row->name && back->text == langfileline(row->text),
                shown(text) + QStringLiteral(" -> ") + shown(line));
    }
    if (memo) {
        // The lines of a memo come from a file or a text box: valid UTF-16 (the
        // marker pattern finds nothing in text with a lone surrogate).
        const QStringList lines = utf8Safe(text).split(u'\n');
        const QStringList replied = memoreplylines(memorequest(lines));
        QStringList expected;
        for (const QString& line : lines)
            expected.append(trimtext(removepunctuation(line)));
        REQUIRE(replied == expected, shown(lines) + QStringLiteral(" -> ") + shown(replied));
    }
    for (const QString& line : batchreplylines(text)) {
        const QString record = langrowline(LangRow{QStringLiteral("memo"), QStringLiteral("Notesmm"), line});
        REQUIRE(!holdsLineBreak(record), shown(record));
    }
    return {};
}

// Any bytes as the editor's settings file: what is read is written back and
// reads back the same, and the codes read, put into a translation request,
// stay its two values whatever they hold.
QString checkEditorSettings(Reader& in)
{
    const QString path = scratchFile(QStringLiteral("Updlangsettings.ini"));
    const EditorSettings defaults{QStringLiteral("en"), QStringLiteral("en"), QStringLiteral("de")};
    const QString text = utf8Safe(QString::fromUtf8(in.chunk()));
    writeBytes(path, in.rest());
    // A value may hold a lone CR (the ini reader ends lines at LF, as the
    // family's files are written); the request below keeps it inside its value.
    const EditorSettings read = readeditorsettings(path, defaults);
    for (const QString& value : {read.language, read.fromcode, read.tocode})
        REQUIRE(!value.contains(u'\n'), shown(value));

    const QString url = translationurl(QStringLiteral("https://translate.example"), read.fromcode, read.tocode, text);
    const QUrl parsed(url, QUrl::StrictMode);
    REQUIRE(parsed.isValid() && parsed.host() == QStringLiteral("translate.example"), shown(url));
    const QUrlQuery query(parsed);
    REQUIRE(query.queryItems().size() == 5, shown(url));
    REQUIRE(query.queryItemValue(QStringLiteral("sl"), QUrl::FullyDecoded) == read.fromcode, shown(url));
    REQUIRE(query.queryItemValue(QStringLiteral("tl"), QUrl::FullyDecoded) == read.tocode, shown(url));
    REQUIRE(query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded) == text, shown(url));

    // The ini reader takes one pair of quotes round a value away: such a value
    // is not written back as it was read.
    const auto quoted = [](const QString& v) {
        return v.startsWith(u'"') || v.startsWith(u'\'') || v.endsWith(u'"') || v.endsWith(u'\'');
    };
    if (quoted(read.language) || quoted(read.fromcode) || quoted(read.tocode))
        return {};
    REQUIRE(writeeditorsettings(path, read), path);
    const EditorSettings again = readeditorsettings(path, {});
    REQUIRE(again.language == read.language && again.fromcode == read.fromcode && again.tocode == read.tocode,
            shown(QStringList{read.language, read.fromcode, read.tocode}) + QStringLiteral(" -> ")
                + shown(QStringList{again.language, again.fromcode, again.tocode}));
    return {};
}

}  // namespace

QString checkLangFiles(Reader& in)
{
    switch (in.byte() % 5) {
    case 0:
        return checkLinesRoundTrip(in);
    case 1:
        return checkRecordStore(in);
    case 2:
        return checkCode(in);
    case 3:
        return checkRows(in);
    default:
        return checkEditorSettings(in);
    }
}

}  // namespace fuzzchecks
