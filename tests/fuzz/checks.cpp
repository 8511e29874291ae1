#include "checks.h"
#include "checksupport.h"

#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/listviews.h"
#include "lib/namevaluelist.h"
#include "lib/numbers.h"
#include "lib/params.h"
#include "lib/serverindex.h"
#include "lib/stamps.h"
#include "lib/textlists.h"
#include "lib/texts.h"
#include "lib/webtext.h"
#include "platform/codepage.h"
#include "platform/inifile.h"
#include "platform/libformat.h"
#include "platform/runargs.h"
#include "platform/winerror.h"
#include "trust/minisign.h"
#include "trust/verify.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace vek;
using platform::TListItem;
using platform::TListView;

namespace fuzzchecks {
namespace {

platform::LocaleFormat dotLocale()
{
    return platform::LocaleFormat{};
}

platform::LocaleFormat commaLocale()
{
    platform::LocaleFormat f;
    f.decimalSeparator = u',';
    f.thousandSeparator = u'.';
    f.listSeparator = u';';
    f.dateSeparator = u'.';
    f.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    return f;
}

bool hasLineBreak(const QString& s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

// Flips the case of the letters a-z and A-Z.
QString flipAsciiCase(QString s)
{
    for (QChar& c : s) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
        else if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return s;
}

// ---------------------------------------------------------------- parameters

QString checkGetparam(Reader& in)
{
    const bool pickFromArgs = in.flag();
    const quint8 pick = in.byte();
    QStringList parts = in.text().split(u'\n');
    QString name = parts.takeFirst();
    if (pickFromArgs && !parts.isEmpty()) {
        // The name of one of the parameters, so that matches are common.
        const QString& arg = parts[pick % parts.size()];
        name = arg.left(arg.indexOf(u'=') < 0 ? arg.size() : arg.indexOf(u'=') + (pick & 0x80 ? 1 : 0));
        if (pick & 0x40)
            name = flipAsciiCase(name);
    }
    platform::setRunArguments(QStringList{QStringLiteral("/opt/tessarine/program")} + parts);

    QString value = QStringLiteral("stale");
    const bool found = getparam(name, value);
    REQUIRE(value == trimtext(value), shown(value));
    REQUIRE(found || value.isEmpty(), shown(value));
    REQUIRE(isparam(name) == found, shown(name));
    REQUIRE(getparam(name) == found, shown(name));

    // A value is what some parameter holds after its first "=", trimmed.
    if (!value.isEmpty()) {
        bool written = false;
        for (const QString& arg : parts) {
            const qsizetype eq = arg.indexOf(u'=');
            written = written || (eq >= 0 && trimtext(arg.mid(eq + 1)) == value);
        }
        REQUIRE(written, shown(name) + QStringLiteral(" -> ") + shown(value) + u' ' + shown(parts));
    }

    // The rest compares upper-cased texts, and Qt upper-cases a lone surrogate
    // differently depending on whether anything else in the text changes case.
    // Run parameters never hold one: they are decoded from the command line.
    const auto valid = [](const QString& s) { return QStringView(s).isValidUtf16(); };
    if (!valid(name) || !std::all_of(parts.begin(), parts.end(), valid))
        return {};

    // Names match without regard to case.
    QString other;
    REQUIRE(getparam(flipAsciiCase(name), other) == found && other == value, shown(name));

    // For a plain name: the last NAME=value parameter gives the value, and the
    // name is found exactly when some parameter is NAME or NAME=value.
    if (!name.contains(u'=')) {
        const QString wanted = uppertext(name);
        bool expectFound = false;
        QString expectValue;
        for (const QString& arg : parts) {
            const qsizetype eq = arg.indexOf(u'=');
            if (uppertext(arg) == wanted) {
                expectFound = true;
            } else if (eq >= 0 && uppertext(arg.left(eq)) == wanted) {
                expectFound = true;
                expectValue = trimtext(arg.mid(eq + 1));
            }
        }
        REQUIRE(found == expectFound, shown(name) + u' ' + shown(parts));
        REQUIRE(value == expectValue, shown(name) + QStringLiteral(" -> ") + shown(value) + u' ' + shown(parts));
    }
    return {};
}

// ------------------------------------------------------------------ ini files

// What an ini file says: for each distinct section (first occurrence), its
// distinct keys (first occurrence) and their values.
struct IniView {
    QStringList sections;
    QList<QPair<QString, QString>> keys;  // section, key
    QStringList values;
};

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool listHasName(const QStringList& names, const QString& name)
{
    return std::any_of(names.begin(), names.end(), [&](const QString& n) { return sameName(n, name); });
}

QString readIni(const platform::IniFile& ini, IniView& view)
{
    static const QString kAbsent = QStringLiteral("\x01absent\x01");
    view = IniView{};
    view.sections = ini.sections();
    QStringList seen;
    for (const QString& section : view.sections) {
        if (listHasName(seen, section))
            continue;
        seen.append(section);
        QStringList seenKeys;
        for (const QString& key : ini.keys(section)) {
            REQUIRE(!key.isEmpty() && key == key.trimmed(), shown(key));
            if (listHasName(seenKeys, key))
                continue;
            seenKeys.append(key);
            REQUIRE(ini.hasKey(section, key), shown(section) + u' ' + shown(key));
            const QString value = ini.readString(section, key, kAbsent);
            REQUIRE(value != kAbsent, shown(section) + u' ' + shown(key));
            bool ok = false;
            const int number = value.toInt(&ok);
            REQUIRE(ini.readInt(section, key, -7) == (ok ? number : -7), shown(value));
            view.keys.append({section, key});
            view.values.append(value);
        }
    }
    return {};
}

// A name the reader gives back as written when it heads its own line.
bool writableSection(const QString& s)
{
    return s == s.trimmed() && !s.contains(u']') && !hasLineBreak(s);
}

bool writableKey(const QString& k)
{
    return !k.isEmpty() && k == k.trimmed() && !k.contains(u'=') && !hasLineBreak(k) && !k.startsWith(u';')
        && !k.startsWith(u'#') && !k.startsWith(u'[');
}

QString checkIni(Reader& in)
{
    const quint8 op = in.byte();
    const quint8 sectionPick = in.byte();
    const quint8 keyPick = in.byte();
    const QString path = scratchFile(QStringLiteral("settings.ini"));
    writeBytes(path, in.rest());
    platform::IniFile ini(path);

    IniView before;
    if (QString b = readIni(ini, before); !b.isEmpty())
        return b;

    // The target: a section and key of the file, or new ones.
    QString section = QStringLiteral("Fuzz Section");
    QString key = QStringLiteral("FuzzKey");
    if (!before.keys.isEmpty() && (sectionPick & 1)) {
        const auto& pair = before.keys[(sectionPick >> 1) % before.keys.size()];
        section = pair.first;
        if (keyPick & 1)
            key = pair.second;
    } else if (!before.sections.isEmpty() && (sectionPick & 2)) {
        section = before.sections[(sectionPick >> 2) % before.sections.size()];
    }
    const QString value = QStringLiteral("v%1 x").arg(keyPick);

    QStringList expectSections = before.sections;
    const auto targets = [&](const QPair<QString, QString>& pair, bool wholeSection) {
        return sameName(pair.first, section) && (wholeSection || sameName(pair.second, key));
    };
    bool wholeSection = false;
    switch (op % 3) {
    case 0:
        if (!writableSection(section) || !writableKey(key))
            return {};
        REQUIRE(ini.writeString(section, key, value) == 0, shown(section));
        REQUIRE(ini.readString(section, key) == value, shown(section) + u' ' + shown(key));
        if (!listHasName(before.sections, section))
            expectSections.append(section);
        break;
    case 1:
        REQUIRE(ini.deleteKey(section, key) == 0, shown(section));
        break;
    case 2:
        wholeSection = true;
        REQUIRE(ini.eraseSection(section) == 0, shown(section));
        for (qsizetype i = 0; i < expectSections.size(); ++i) {
            if (sameName(expectSections[i], section)) {
                expectSections.removeAt(i);
                break;
            }
        }
        break;
    }

    // Every line the change did not aim at still says what it said.
    IniView after;
    if (QString b = readIni(ini, after); !b.isEmpty())
        return b;
    REQUIRE(after.sections == expectSections, shown(before.sections) + QStringLiteral(" -> ") + shown(after.sections));
    for (qsizetype i = 0; i < before.keys.size(); ++i) {
        if (targets(before.keys[i], wholeSection))
            continue;
        const QString now = ini.readString(before.keys[i].first, before.keys[i].second, QStringLiteral("\x01gone"));
        REQUIRE(now == before.values[i],
                shown(before.keys[i].first) + u' ' + shown(before.keys[i].second) + u' ' + shown(before.values[i])
                    + QStringLiteral(" -> ") + shown(now));
    }
    return {};
}

QString checkParamsIni(Reader& in)
{
    return in.byte() % 2 == 0 ? checkGetparam(in) : checkIni(in);
}

// ----------------------------------------------------------------- text files

QString checkLoad(Reader& in)
{
    // Optional padding puts the interesting bytes across the reader's 64 KiB chunk.
    const quint8 pad = in.byte();
    QByteArray bytes = in.rest();
    if (pad & 0x80)
        bytes.prepend(QByteArray(65536 - (pad & 0x7F) - 1, 'x'));
    const QString path = scratchFile(QStringLiteral("lines.txt"));
    writeBytes(path, bytes);

    QStringList list{QStringLiteral("stale")};
    loadlist(list, path);
    QStringList lines{QStringLiteral("stale")};
    loadlines(&lines, path);
    for (const QString& s : list)
        REQUIRE(!hasLineBreak(s), shown(s));
    for (const QString& s : lines)
        REQUIRE(!hasLineBreak(s), shown(s));

    const bool utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    const bool utf16Mark = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!utf8Mark && !utf16Mark) {
        // Both readers see the same lines; together they hold every character but the line ends.
        REQUIRE(list == lines, shown(list) + QStringLiteral(" vs ") + shown(lines));
        QString text = platform::fromCodePage(bytes);
        text.remove(u'\r');
        text.remove(u'\n');
        REQUIRE(list.join(QString()) == text, shown(list));
        const qsizetype breaks = bytes.count('\r') + bytes.count('\n');
        REQUIRE(list.size() <= breaks + 1, shown(list));
    }
    if (utf8Mark) {
        const QByteArray body = bytes.mid(3);
        const bool ascii
            = std::all_of(body.begin(), body.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        // A file that is only the mark is empty to loadlist but one line
        // (the mark, removed) to loadlines.
        if (ascii && !body.isEmpty())
            REQUIRE(list == lines, shown(list) + QStringLiteral(" vs ") + shown(lines));
    }
    return {};
}

QString checkSaveLoad(Reader& in)
{
    const bool wide = in.flag();
    const quint8 split = in.byte();
    QString text;
    if (wide) {
        text = in.text();
    } else {
        text = platform::fromCodePage(in.rest());
    }
    text.remove(u'\r');
    QStringList items = text.split(u'\n');
    if (items.size() == 1 && items.front().isEmpty())
        items.clear();
    QStringList more;
    if (split && items.size() > 1) {
        const qsizetype at = split % items.size();
        more = items.mid(at);
        items = items.mid(0, at);
    }

    // The file holds every character: in the code page where the list fits it,
    // else as UTF-8. Only a lone surrogate, which is no character, comes back
    // as "?".
    const auto stored = [](QStringList list) {
        for (QString& s : list) {
            for (qsizetype i = 0; i < s.size(); ++i) {
                if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
                    ++i;
                else if (s[i].isSurrogate())
                    s[i] = u'?';
            }
        }
        return list;
    };

    const QString path = scratchFile(QStringLiteral("saved.txt"));
    QFile::remove(path);
    REQUIRE(savelist(items, path), QString());
    const QStringList expect = stored(items);
    QStringList back;
    loadlist(back, path);
    REQUIRE(back == expect, shown(expect) + QStringLiteral(" -> ") + shown(back));
    loadlines(&back, path);
    REQUIRE(back == expect, shown(expect) + QStringLiteral(" -> ") + shown(back));

    REQUIRE(appendlist(more, path), QString());
    loadlines(&back, path);
    const QStringList all = expect + stored(more);
    REQUIRE(back == all, shown(all) + QStringLiteral(" -> ") + shown(back));
    return {};
}

QString checkTextFiles(Reader& in)
{
    return in.byte() % 2 == 0 ? checkLoad(in) : checkSaveLoad(in);
}

// ------------------------------------------------------- fields, web, hexadecimal

QChar pickDelimiter(Reader& in)
{
    const quint8 b = in.byte();
    switch (b % 4) {
    case 0:
        return u',';
    case 1:
        return u';';
    case 2:
        return u'\t';
    default:
        return b == 0xFF ? QChar(u' ') : QChar(char16_t(b >> 2 == '"' ? '|' : b >> 2));
    }
}

QStringList split(const QString& line, QChar delimiter)
{
    QStringList out{QStringLiteral("stale")};
    splitfields(line, out, delimiter);
    return out;
}

QString checkJoinSplit(Reader& in)
{
    const QChar d = pickDelimiter(in);
    const QStringList items = in.text().split(u'\n');
    const bool noQuotes = std::none_of(items.begin(), items.end(), [](const QString& s) { return s.contains(u'"'); });
    if (!noQuotes)
        return {};

    // joinfields: every item back, an empty first one included; only a
    // trailing empty item is lost (the empty last field is never added).
    if (!items.back().isEmpty() || items.size() == 1) {
        const QString line = joinfields(items, d);
        REQUIRE(split(line, d) == items, shown(items) + QStringLiteral(" -> ") + shown(line));
    }

    // joinstrings: the same without the leading empty items.
    QStringList kept = items;
    while (!kept.isEmpty() && kept.front().isEmpty())
        kept.removeFirst();
    if (kept.isEmpty() || !kept.back().isEmpty()) {
        const QString line = joinstrings(items, d);
        REQUIRE(split(line, d) == kept, shown(items) + QStringLiteral(" -> ") + shown(line));
    }

    // appendfield: a lone character 0 is an empty field; an empty line starts with one blank.
    QString line;
    QStringList expect;
    for (const QString& item : items) {
        const QString field = item == QString(QChar(0)) ? QString() : item;
        expect.append(expect.isEmpty() && field.isEmpty() ? QStringLiteral(" ") : field);
        appendfield(line, item, d);
    }
    REQUIRE(!line.isEmpty(), QString());
    if (!expect.back().isEmpty() && d != u' ')
        REQUIRE(split(line, d) == expect, shown(expect) + QStringLiteral(" -> ") + shown(line));
    return {};
}

QString checkSplit(Reader& in)
{
    const QChar d = pickDelimiter(in);
    const QChar start = in.flag() ? d : QChar(u'x');
    const QString text = in.text();
    const QStringList fields = split(text, d);
    REQUIRE(fields.size() <= text.count(d) + 1, shown(text));
    if (!text.contains(u'"')) {
        QStringList plain = text.split(d);
        if (plain.back().isEmpty())
            plain.removeLast();
        REQUIRE(fields == plain, shown(text) + QStringLiteral(" -> ") + shown(fields));
    }

    const QStringList lines = text.split(u'\n');
    QChar delimiter = start;
    detectdelimiter(lines, delimiter);
    REQUIRE(delimiter == u'\t' || delimiter == u',' || delimiter == u';', shown(QString(delimiter)));
    if ((start == u'\t' || start == u',' || start == u';') && lines.front().contains(start))
        REQUIRE(delimiter == start, shown(text));
    return {};
}

QString checkUrl(Reader& in)
{
    const bool plus = in.flag();
    const bool reserved = in.flag();
    const QString text = in.text();

    const QString encoded = urlencode(text, plus, reserved);
    for (const QChar c : encoded)
        REQUIRE(c.unicode() > 0x20 && c.unicode() < 0x7F && c != u'"', shown(encoded));
    // Decoding gives back every character below 256; a wider one comes back
    // as two characters, its high and its low byte.
    QString expect;
    for (const QChar c : text) {
        if (c == u' ' && plus)
            expect += u'+';
        else if (c.unicode() < 256)
            expect += c;
        else
            expect += QString(QChar(c.unicode() >> 8)) + QChar(c.unicode() & 0xFF);
    }
    const QString decoded = urldecode(encoded);
    REQUIRE(decoded == expect,
            shown(text) + QStringLiteral(" -> ") + shown(encoded) + QStringLiteral(" -> ") + shown(decoded));

    // Decoding whatever comes in.
    const QString raw = urldecode(text);
    if (text.contains(u'\n') || text.contains(u'"')) {
        REQUIRE(raw == text, shown(text));
    } else {
        REQUIRE(raw.size() <= text.size(), shown(text));
        if (!text.contains(u'%'))
            REQUIRE(raw == text, shown(text));
    }
    return {};
}

// Hexadecimal digits 0-9, A-F, a-f and nothing else.
qint64 referenceHex(QString s)
{
    if (s.endsWith(u'H') || s.endsWith(u'h'))
        s.chop(1);
    quint64 total = 0;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        int v = -1;
        if (u >= u'0' && u <= u'9')
            v = u - u'0';
        else if (u >= u'a' && u <= u'f')
            v = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            v = u - u'A' + 10;
        if (v < 0)
            return 0;
        total = total * 16 + static_cast<quint64>(v);
    }
    return static_cast<qint64>(total);
}

QString checkHex(Reader& in)
{
    const quint64 number = in.value<quint64>();
    const bool lower = in.flag();
    const QString text = in.text();
    REQUIRE(hextoint64(text) == referenceHex(text), shown(text) + u' ' + QString::number(hextoint64(text)));
    const QString written = QString::number(number, 16);
    const QString digits = lower ? written : written.toUpper();
    REQUIRE(static_cast<quint64>(hextoint64(digits)) == number, digits);
    REQUIRE(static_cast<quint64>(hextoint64(digits + u'H')) == number, digits);
    return {};
}

QString checkFieldsWeb(Reader& in)
{
    switch (in.byte() % 4) {
    case 0:
        return checkJoinSplit(in);
    case 1:
        return checkSplit(in);
    case 2:
        return checkUrl(in);
    default:
        return checkHex(in);
    }
}

// ------------------------------------------------------------ numbers, dates

QString checkNumberText(Reader& in)
{
    const bool comma = in.flag();
    platform::setLibformat(comma ? commaLocale() : dotLocale());
    const int integer = in.value<qint32>();
    const QString text = in.text();

    REQUIRE(isnumeric(text) == (!text.isEmpty() && isnumbertext(text)), shown(text));
    const double value = texttofloat(text);
    REQUIRE(std::isfinite(value), shown(text));

    if (isnumbertext(text)) {
        // Digits with at most one separator read as the number they show.
        const QString t = trimtext(text);
        const qsizetype digitCount = std::count_if(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (digitCount > 0 && digitCount <= 300) {
            QByteArray plain = t.toLatin1();
            plain.replace(',', '.');
            const double expect = std::strtod(plain.constData(), nullptr);
            REQUIRE(value == expect, shown(text) + u' ' + QString::number(value, 'g', 17));
        }
    }

    // The integer reader stops at a character 0 (as the platform's does); the
    // number reader refuses the whole text.
    const int asInt = texttoint(text);
    if (asInt != 0 && !text.contains(QChar(0)))
        REQUIRE(value == asInt, shown(text) + u' ' + QString::number(asInt) + u' ' + QString::number(value, 'g', 17));
    if (std::fabs(value) < 2e9) {
        const double nearest = std::nearbyint(value);
        REQUIRE(texttoroundint(text) == static_cast<int>(nearest), shown(text));
    }

    REQUIRE(texttoint(inttotext(integer)) == integer, inttotext(integer));
    REQUIRE(texttofloat(inttotext(integer)) == integer, inttotext(integer));
    return {};
}

QString checkFloatText(Reader& in)
{
    const bool comma = in.flag();
    platform::setLibformat(comma ? commaLocale() : dotLocale());
    const double x = in.value<double>();
    const int decimals = in.byte() % 19;
    const int significant = 1 + in.byte() % 18;
    const QString text = floattotext(x, decimals, significant);
    if (!std::isfinite(x)) {
        REQUIRE(text.isEmpty(), text);
        return {};
    }
    REQUIRE(!text.isEmpty(), QString::number(x, 'g', 17));
    const QString detail
        = QString::number(x, 'g', 17) + QStringLiteral(" %1 %2 -> ").arg(decimals).arg(significant) + text;
    if (!text.contains(u'E'))
        REQUIRE(isnumeric(text), detail);
    REQUIRE(!text.startsWith(u'-') || x < 0, detail);
    if (std::fabs(x) > 1e300)
        return {};
    // Off by no more than the two roundings: to the significant digits and to the decimals.
    const double back = texttofloat(text);
    const double magnitude = x == 0 ? 0 : std::floor(std::log10(std::fabs(x)));
    const double tolerance = 0.5 * std::pow(10.0, magnitude - significant + 1) * 1.000001
        + 0.5 * std::pow(10.0, -decimals) * 1.000001 + std::fabs(x) * 1e-15;
    REQUIRE(std::fabs(back - x) <= tolerance, detail + QStringLiteral(" -> ") + QString::number(back, 'g', 17));
    return {};
}

QString dateText(Reader& in)
{
    // Half the time a well-formed date and time, so that real comparisons happen.
    const quint8 kind = in.byte();
    if (kind % 2)
        return {};
    const QDate date(1 + in.value<quint16>() % 9999, 1 + in.byte() % 12, 1 + in.byte() % 31);
    const QTime time(in.byte() % 24, in.byte() % 60, in.byte() % 60);
    const platform::LocaleFormat& f = platform::libformat();
    QString s = date.toString(f.shortDateFormat);
    if (kind & 2)
        s += u' ' + time.toString(kind & 4 ? QStringLiteral("hh:mm") : f.longTimeFormat);
    return s;
}

QString checkDates(Reader& in)
{
    platform::setLibformat(in.flag() ? commaLocale() : dotLocale());
    QString a = dateText(in);
    QString b = dateText(in);
    QString c = dateText(in);
    const QStringList rest = in.text().split(u'\n');
    if (a.isEmpty() && rest.size() > 0)
        a = rest[0];
    if (b.isEmpty() && rest.size() > 1)
        b = rest[1];
    if (c.isEmpty() && rest.size() > 2)
        c = rest[2];

    const int ab = comparedates(a, b);
    const int ba = comparedates(b, a);
    const int bc = comparedates(b, c);
    const int ac = comparedates(a, c);
    REQUIRE(ab >= -1 && ab <= 1, shown(a) + u' ' + shown(b));
    REQUIRE(ab == -ba, shown(a) + u' ' + shown(b));
    REQUIRE(comparedates(a, a) == 0, shown(a));
    if (ab < 0 && bc < 0)
        REQUIRE(ac < 0, shown(a) + u' ' + shown(b) + u' ' + shown(c));
    if (ab > 0 && bc > 0)
        REQUIRE(ac > 0, shown(a) + u' ' + shown(b) + u' ' + shown(c));

    // Stamps read back what they wrote.
    const std::optional<QDateTime> when = texttodatetime(a);
    REQUIRE(!when || when->isValid(), shown(a));
    const QDate day = QDate(2000, 1, 1).addDays(in.value<quint16>() % 36525);
    REQUIRE(yymmddtodate(datetoyymmdd(day)) == QDateTime(day, QTime(0, 0)), day.toString());
    if (a.size() == 6)
        REQUIRE(swapdatestamp(swapdatestamp(a)) == a, shown(a));
    return {};
}

QString checkNumbersDates(Reader& in)
{
    switch (in.byte() % 3) {
    case 0:
        return checkNumberText(in);
    case 1:
        return checkFloatText(in);
    default:
        return checkDates(in);
    }
}

// ---------------------------------------------------- name/value lists, list views

bool sameEntries(const tnamevaluelist& a, const tnamevaluelist& b)
{
    return a.dict == b.dict;
}

QString checkImport(Reader& in)
{
    const quint8 switches = in.byte();
    QString text = in.text();
    text.remove(u'\r');
    const QStringList lines = text.split(u'\n');

    tnamevaluelist list;
    list.upcasename = switches & 1;
    list.upcasevalues = switches & 2;
    list.importlist(lines);
    REQUIRE(list.count() <= lines.size(), QString());
    // The first line of a name gives its value.
    QSet<QString> seen;
    for (const QString& line : lines) {
        const QString key = list.upcasename ? uppertext(namepart(line)) : namepart(line);
        REQUIRE(list.namepresent(namepart(line)), shown(line));
        if (seen.contains(key))
            continue;
        seen.insert(key);
        const QString value = list.upcasevalues ? valuepartupper(line) : valuepart(line);
        REQUIRE(list.dict.value(key) == value, shown(line) + QStringLiteral(" -> ") + shown(list.dict.value(key)));
    }
    REQUIRE(list.count() == seen.size(), QString());

    // What is exported imports to the same entries.
    QStringList exported;
    list.exportlist(exported);
    REQUIRE(exported.size() == list.count(), QString());
    tnamevaluelist again(exported);
    REQUIRE(sameEntries(list, again), shown(exported));

    // Values piled up as a list come back field by field.
    if (switches & 4) {
        tnamevaluelist pile;
        pile.allowupdate = true;
        pile.saveaslist = true;
        QStringList expect;
        for (const QString& v : lines) {
            if (v.isEmpty() || v == QString(QChar(0)) || v.contains(u'"') || (expect.isEmpty() && v.contains(u';')))
                continue;
            const QString old = pile.getvalue(QStringLiteral("k"));
            pile.setnamevalue(QStringLiteral("k"), v);
            if (old != v)
                expect.append(v);
            REQUIRE(pile.getvaluelist(QStringLiteral("k")) == expect,
                    shown(expect) + QStringLiteral(" -> ") + shown(pile.getvalue(QStringLiteral("k"))));
        }
    }
    return {};
}

QString checkCsvImport(Reader& in)
{
    const bool roundTrip = in.flag();
    QString text = in.text();
    text.remove(u'\r');
    const QStringList lines = text.split(u'\n');

    tnamevaluelist list;
    list.importcsvlist(lines);
    REQUIRE(namevaluesep == u'=', QString(namevaluesep));
    REQUIRE(list.count() <= lines.size(), QString());
    QChar d;
    detectdelimiter(lines, d);
    for (const QString& line : lines) {
        const qsizetype at = line.indexOf(d);
        REQUIRE(list.namepresent(at < 0 ? line : line.left(at)), shown(line) + u' ' + shown(QString(d)));
    }

    // Written as a delimited file and read back: the same entries, when the
    // names hold no list separator and the file can hold every character.
    if (!roundTrip || list.count() == 0)
        return {};
    const QChar sep = platform::libformat().listSeparator;
    for (auto it = list.dict.constBegin(); it != list.dict.constEnd(); ++it) {
        if (it.key().contains(sep))
            return {};
        for (const QChar c : it.key() + it.value()) {
            if (platform::toCodePage(QString(c)) == "?" && c != u'?')
                return {};
        }
    }
    const QString path = scratchFile(QStringLiteral("table.csv"));
    REQUIRE(list.savetocsv(path), QString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return broken(__FILE_NAME__, __LINE__, "the saved file opens", path);
    const QByteArray head = file.read(3);
    file.close();
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return {};  // the first line reads as a byte-order mark
    QStringList written;
    loadlist(written, path);
    tnamevaluelist back;
    back.importcsvlist(written);
    REQUIRE(sameEntries(list, back), shown(written));
    return {};
}

QString checkSort(Reader& in)
{
    const int column = in.byte() % 4;
    bool descending = in.flag();
    QString text = in.text();
    QStringList lines = text.split(u'\n');
    if (lines.size() > 150)
        lines = lines.mid(0, 150);

    auto view = std::make_unique<TListView>();
    QList<QStringList> rowsBefore;
    for (const QString& line : lines) {
        QStringList cells = line.split(u'\t');
        const QString caption = cells.takeFirst();
        view->addItem(caption, cells);
        rowsBefore.append(QStringList{caption} + cells);
    }
    const bool wasDescending = descending;
    sortlistview(view.get(), column, descending);
    REQUIRE(descending == !wasDescending, QString());

    QList<QStringList> rowsAfter;
    for (const TListItem* row : view->rows())
        rowsAfter.append(QStringList{row->caption()} + row->subItems());
    REQUIRE(view->count() == lines.size(), QString());
    QList<QStringList> a = rowsBefore;
    QList<QStringList> b = rowsAfter;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    REQUIRE(a == b, QString());

    // Rows without the column come first going up, last going down.
    const auto hasColumn = [column](const QStringList& row) { return column < row.size(); };
    const auto firstWith = std::find_if(rowsAfter.begin(), rowsAfter.end(), hasColumn);
    const auto lastWith = std::find_if(rowsAfter.rbegin(), rowsAfter.rend(), hasColumn);
    if (!descending)
        REQUIRE(std::all_of(firstWith, rowsAfter.end(), hasColumn), QString());
    else
        REQUIRE(std::all_of(lastWith, rowsAfter.rend(), hasColumn), QString());

    // A column of whole numbers (some row between the second and the last
    // holding one) sorts by value.
    const int count = static_cast<int>(rowsBefore.size());
    if (count < 4)
        return {};
    bool allWhole = true;
    bool sampled = false;
    for (int i = 0; i < count; ++i) {
        const QString v = rowsBefore[i].value(column);
        if (!hasColumn(rowsBefore[i]))
            continue;
        const bool whole = !v.isEmpty() && v.size() <= 9
            && std::all_of(v.begin(), v.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        allWhole = allWhole && whole;
        sampled = sampled || (whole && i >= 2 && i < std::min(count - 1, 100));
    }
    if (!allWhole || !sampled)
        return {};
    int previous = descending ? INT_MAX : -1;
    for (const QStringList& row : rowsAfter) {
        if (!hasColumn(row))
            continue;
        const int v = row[column].toInt();
        REQUIRE(descending ? v <= previous : v >= previous, row[column]);
        previous = v;
    }
    return {};
}

QString checkTables(Reader& in)
{
    switch (in.byte() % 3) {
    case 0:
        return checkImport(in);
    case 1:
        return checkCsvImport(in);
    default:
        return checkSort(in);
    }
}

// ------------------------------------------------------------ server index

// Whatever the bytes, an index is either refused whole, with the line that
// broke it, or every name it gives can stand in a local folder as one file
// name: no separator, no "..", no control character. What it gives is
// sorted, and it writes back into the same bytes. Read in pieces, it reads
// the same.
QString checkServerIndex(Reader& in)
{
    const QByteArray bytes = in.rest();
    const vek::ServerIndexRead read = vek::parseserverindex(bytes);
    // Read as a transfer brings it, in pieces of one to seven bytes, it reads the same.
    vek::ServerIndexReader reader;
    for (qsizetype at = 0, step = 1; at < bytes.size(); at += step, step = step % 7 + 1)
        reader.add(QByteArrayView(bytes).sliced(at, std::min(step, bytes.size() - at)));
    const vek::ServerIndexRead pieces = reader.finish();
    REQUIRE(pieces.error == read.error && pieces.entries == read.entries, read.error);
    if (!read.error.isEmpty()) {
        REQUIRE(read.entries.isEmpty(), read.error);
        REQUIRE(read.error.startsWith(QStringLiteral("line ")), read.error);
        return {};
    }
    QByteArray previous;
    for (const vek::ServerIndexEntry& e : read.entries) {
        REQUIRE(!e.name.isEmpty() && e.name != QLatin1String(".") && !e.name.contains(QLatin1String("..")),
                shown(e.name));
        REQUIRE(!e.name.contains(u'/') && !e.name.contains(u'\\'), shown(e.name));
        for (const QChar c : e.name)
            REQUIRE(c.category() != QChar::Other_Control, shown(e.name));
        REQUIRE(e.size >= 0, shown(e.name));
        const QByteArray name = e.name.toUtf8();
        REQUIRE(previous.isEmpty() || previous < name, shown(e.name));
        previous = name;
    }
    REQUIRE(vek::formatserverindex(read.entries) == bytes, QString::fromLatin1(bytes.toHex()));
    return {};
}

// ------------------------------------------------------------ signatures

// The one key the checks trust and the one program it signed: nothing else
// can verify, whatever the input.
const QString kTrustedKey = QStringLiteral("RWQhuXo3QO/IvdNdtv46n9IMc7TmVUQw3dm6k5igrynsrOGysv0mp67J");
const QByteArray kSignedProgram = QByteArrayLiteral("MZ program");
const QString kSignedName = QStringLiteral("Stock.exe");

QString checkSignatureText(Reader& in)
{
    const QByteArray text = in.rest();
    QString why;
    const std::optional<trust::SignatureFile> parsed = trust::parseSignatureFile(text, why);
    REQUIRE(parsed || !why.isEmpty(), QStringLiteral("refused without a reason"));
    if (parsed) {
        REQUIRE(!parsed->trustedComment.contains('\n'), shown(QString::fromLatin1(parsed->trustedComment)));
        const trust::TrustedFields fields = trust::trustedFields(parsed->trustedComment);
        REQUIRE(!fields.timestamp || *fields.timestamp >= 0, QString::number(*fields.timestamp));
        REQUIRE(trust::keyIdText(parsed->keyId).size() == 16, trust::keyIdText(parsed->keyId));
    }
    return {};
}

QString checkVerify(Reader& in)
{
    const QByteArray program = in.chunk();
    const QByteArray signature = in.rest();
    const QString file = scratchFile(kSignedName);
    writeBytes(file, program);
    writeBytes(trust::signaturefor(file), signature);
    const trust::Verdict verdict
        = trust::verifyFile(file, trust::signaturefor(file), kSignedName, {*trust::parsePublicKey(kTrustedKey)});
    if (verdict.ok()) {
        // Only the program the trusted key signed verifies, under its own name.
        REQUIRE(program == kSignedProgram, shown(QString::fromLatin1(program)));
        return {};
    }
    using namespace platform::winerr;
    const QList<int> refusals{NotSigned, SignatureMismatch, UnknownSigner, SignedAsOther, SignatureUnreadable};
    REQUIRE(refusals.contains(verdict.code), QString::number(verdict.code) + u' ' + verdict.reason);
    REQUIRE(!verdict.reason.isEmpty(), QString::number(verdict.code));
    return {};
}

QString checkKeyLine(Reader& in)
{
    const QString line = in.text();
    if (const std::optional<trust::PublicKey> key = trust::parsePublicKey(line)) {
        // A key is its line: the same bytes, written again, read as the same key.
        QByteArray bytes = QByteArrayLiteral("Ed");
        bytes += QByteArray(reinterpret_cast<const char*>(key->id.data()), qsizetype(key->id.size()));
        bytes += QByteArray(reinterpret_cast<const char*>(key->key.data()), qsizetype(key->key.size()));
        const std::optional<trust::PublicKey> again = trust::parsePublicKey(QString::fromLatin1(bytes.toBase64()));
        REQUIRE(again && again->id == key->id && again->key == key->key, shown(line));
    }
    return {};
}

QString checkSignatures(Reader& in)
{
    switch (in.byte() % 3) {
    case 0:
        return checkSignatureText(in);
    case 1:
        return checkVerify(in);
    default:
        return checkKeyLine(in);
    }
}

}  // namespace

QString harnessName(Harness harness)
{
    switch (harness) {
    case Harness::ParamsIni:
        return QStringLiteral("params_ini");
    case Harness::TextFiles:
        return QStringLiteral("textfiles");
    case Harness::FieldsWeb:
        return QStringLiteral("fields_web");
    case Harness::NumbersDates:
        return QStringLiteral("numbers_dates");
    case Harness::Tables:
        return QStringLiteral("tables");
    case Harness::ServerIndex:
        return QStringLiteral("server_index");
    case Harness::Signatures:
        return QStringLiteral("signatures");
    }
    return {};
}

QList<Harness> allHarnesses()
{
    return {Harness::ParamsIni, Harness::TextFiles,   Harness::FieldsWeb, Harness::NumbersDates,
            Harness::Tables,    Harness::ServerIndex, Harness::Signatures};
}

QString runCheck(Harness harness, const QByteArray& input)
{
    const platform::LocaleFormat savedFormat = platform::libformat();
    const QStringList savedArgs = platform::runArguments();
    platform::setLibformat(dotLocale());
    Reader in(input);
    QString result;
    switch (harness) {
    case Harness::ParamsIni:
        result = checkParamsIni(in);
        break;
    case Harness::TextFiles:
        result = checkTextFiles(in);
        break;
    case Harness::FieldsWeb:
        result = checkFieldsWeb(in);
        break;
    case Harness::NumbersDates:
        result = checkNumbersDates(in);
        break;
    case Harness::Tables:
        result = checkTables(in);
        break;
    case Harness::ServerIndex:
        result = checkServerIndex(in);
        break;
    case Harness::Signatures:
        result = checkSignatures(in);
        break;
    }
    platform::setLibformat(savedFormat);
    platform::setRunArguments(savedArgs);
    return result;
}

}  // namespace fuzzchecks
