#include "lib/serverindex.h"

#include <QDate>

#include <algorithm>

namespace vek {
namespace {

constexpr char kFieldSep = '\t';
constexpr char kLineEnd = '\n';
constexpr qsizetype kDigestDigits = 64;
// "YYYY-MM-DDTHH:MM:SSZ"
constexpr qsizetype kTimeLength = 20;
constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr qint64 kSecondsPerDay = 86400;
// Nineteen digits would pass 2^63 - 1.
constexpr qsizetype kLongestSize = 18;
// A name of one byte, a size of one digit, the time, the digest, three tabs
// and the line feed.
constexpr qint64 kShortestLine = 1 + 1 + kTimeLength + kDigestDigits + 4;
// What a reserve stops at, whatever length a server claims (a longer index
// grows the list as it is read).
constexpr qint64 kMostLinesReserved = qint64(1) << 18;

bool isdigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether `text` is a digest's 64 hexadecimal digits, small letters only
// unless `capitals`. Every digit is looked at without a branch of its own:
// digits and letters come at random in a digest, and a test that stops at the
// first wrong byte would be mispredicted at about every third one.
bool ishexdigest(QByteArrayView text, bool capitals)
{
    if (text.size() != kDigestDigits)
        return false;
    const auto* digits = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char fold = capitals ? 0x20 : 0;
    unsigned char wrong = 0;
    for (qsizetype i = 0; i < kDigestDigits; ++i) {
        const unsigned char digit = digits[i] - '0', letter = (digits[i] | fold) - 'a';
        wrong |= static_cast<unsigned char>((digit > 9) & (letter > 5));
    }
    return wrong == 0;
}

// Whether `name` is ASCII and holds nothing indexnameproblem refuses: the
// usual name, told from its bytes alone.
bool plainasciiname(QByteArrayView name)
{
    bool wrong = name.isEmpty() || name == ".";
    char previous = 0;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        wrong |= (u < 0x20) | (u >= 0x7f) | (c == '/') | (c == '\\') | ((c == '.') & (previous == '.'));
        previous = c;
    }
    return !wrong;
}

// The number of the `count` digits at `at`, or -1 when one is no digit.
int digitsat(QByteArrayView text, qsizetype at, qsizetype count)
{
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!isdigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool readtime(QByteArrayView text, qint64* seconds)
{
    if (text.size() != kTimeLength || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':' || text[19] != 'Z')
        return false;
    const int year = digitsat(text, 0, 4), month = digitsat(text, 5, 2), day = digitsat(text, 8, 2);
    const int hour = digitsat(text, 11, 2), minute = digitsat(text, 14, 2), second = digitsat(text, 17, 2);
    if (year < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    const qint64 inDay = qint64(hour) * 3600 + qint64(minute) * 60 + second;
    *seconds = (date.toJulianDay() - kUnixEpochJulianDay) * kSecondsPerDay + inDay;
    return true;
}

QByteArray timetext(qint64 seconds)
{
    const qint64 day = seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    const qint64 inDay = seconds - day * kSecondsPerDay;
    const QDate date = QDate::fromJulianDay(day + kUnixEpochJulianDay);
    return QStringLiteral("%1-%2-%3T%4:%5:%6Z")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(inDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(inDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

bool readsize(QByteArrayView text, qint64* size)
{
    // One way to write each size: no leading zeros, so that an index reads
    // back into the same lines it was written as.
    if (text.isEmpty() || text.size() > kLongestSize || (text.size() > 1 && text[0] == '0'))
        return false;
    qint64 value = 0;
    for (const char c : text) {
        if (!isdigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    *size = value;
    return true;
}

// Why the line `line` (without its line feed) is no index line; empty when it is one.
QString readindexline(QByteArrayView line, ServerIndexEntry* entry)
{
    QByteArrayView fields[4];
    qsizetype start = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype end = i < 3 ? line.indexOf(kFieldSep, start) : line.size();
        if (end < 0)
            return QStringLiteral("it has fewer than four fields");
        fields[i] = line.sliced(start, end - start);
        start = end + 1;
    }
    if (fields[3].contains(kFieldSep))
        return QStringLiteral("it has more than four fields");
    const QByteArrayView name = fields[0];
    if (plainasciiname(name)) {
        entry->name = QString::fromLatin1(name);
    } else {
        const bool ascii
            = std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        entry->name = ascii ? QString::fromLatin1(name) : QString::fromUtf8(name);
        // Bytes that are not UTF-8 would be read as replacement characters and
        // name a file the server does not hold.
        if (!ascii && entry->name.toUtf8() != name)
            return QStringLiteral("the name is not UTF-8 text");
        if (const QString problem = indexnameproblem(entry->name); !problem.isEmpty())
            return QStringLiteral("the name cannot stand in an index: ") + problem;
    }
    if (!readsize(fields[1], &entry->size))
        return QStringLiteral("the size is not a number of bytes");
    if (!readtime(fields[2], &entry->modified))
        return QStringLiteral("the time is not written YYYY-MM-DDTHH:MM:SSZ");
    if (!ishexdigest(fields[3], false))
        return QStringLiteral("the SHA-256 is not 64 lower-case hexadecimal digits");
    entry->sha256 = IndexDigest(fields[3]);
    return {};
}

ServerIndexRead refused(qsizetype lineNumber, const QString& why)
{
    ServerIndexRead read;
    read.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
    return read;
}

}  // namespace

IndexDigest::IndexDigest(QByteArrayView digits)
{
    if (!ishexdigest(digits, true))
        return;
    // A digit's value is its low four bits, and nine more for a letter (bit 6
    // set in either case).
    const auto* text = reinterpret_cast<const unsigned char*>(digits.data());
    const auto nibble = [](unsigned char c) { return quint8((c & 0xf) + 9 * ((c >> 6) & 1)); };
    for (size_t i = 0; i < bytes_.size(); ++i)
        bytes_[i] = quint8(nibble(text[2 * i]) << 4 | nibble(text[2 * i + 1]));
}

QByteArray IndexDigest::hex() const
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes_.data()), qsizetype(bytes_.size())).toHex();
}

QString indexnameproblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (name == QLatin1String("."))
        return QStringLiteral("it is \".\"");
    if (name.contains(QLatin1String("..")))
        return QStringLiteral("it holds \"..\"");
    for (const QChar c : name) {
        if (c == u'\t')
            return QStringLiteral("it holds a tab");
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("it holds a line break");
        if (c == u'/' || c == u'\\')
            return QStringLiteral("it holds a \"%1\"").arg(c);
        if (c.unicode() < 0x80 ? c.unicode() < 0x20 || c.unicode() == 0x7f : c.category() == QChar::Other_Control)
            return QStringLiteral("it holds the control character U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return {};
}

bool iswebfolder(const QString& folder)
{
    return folder.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || folder.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QByteArray formatserverindex(ServerIndex entries)
{
    QList<std::pair<QByteArray, qsizetype>> order;
    order.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        order.append({entries[i].name.toUtf8(), i});
    std::sort(order.begin(), order.end());
    QByteArray text;
    for (const auto& [name, i] : order) {
        const ServerIndexEntry& e = entries[i];
        text += name + kFieldSep + QByteArray::number(e.size) + kFieldSep + timetext(e.modified) + kFieldSep
            + e.sha256.hex() + kLineEnd;
    }
    return text;
}

ServerIndexRead parseserverindex(const QByteArray& bytes)
{
    ServerIndexReader reader;
    reader.reserve(bytes.size());
    reader.add(bytes);
    return reader.finish();
}

void ServerIndexReader::reserve(qint64 bytes)
{
    read_.entries.reserve(qsizetype(std::min<qint64>(bytes / kShortestLine, kMostLinesReserved)));
}

void ServerIndexReader::add(QByteArrayView piece)
{
    if (!read_.error.isEmpty())
        return;
    if (!unfinished_.isEmpty()) {
        const qsizetype end = piece.indexOf(kLineEnd);
        if (end < 0) {
            unfinished_.append(piece);
            return;
        }
        unfinished_.append(piece.first(end));
        readline(unfinished_);
        unfinished_.clear();
        piece = piece.sliced(end + 1);
    }
    while (!piece.isEmpty() && read_.error.isEmpty()) {
        const qsizetype end = piece.indexOf(kLineEnd);
        if (end < 0) {
            unfinished_ = piece.toByteArray();
            return;
        }
        readline(piece.first(end));
        piece = piece.sliced(end + 1);
    }
}

void ServerIndexReader::readline(QByteArrayView line)
{
    ++lines_;
    ServerIndexEntry entry;
    QString why = readindexline(line, &entry);
    const QByteArrayView name = line.first(std::max<qsizetype>(line.indexOf(kFieldSep), 0));
    if (why.isEmpty() && lines_ > 1 && !(QByteArrayView(previousName_) < name))
        why = name == previousName_ ? QStringLiteral("the name stands twice")
                                    : QStringLiteral("the lines are not sorted by name");
    if (!why.isEmpty()) {
        read_ = refused(lines_, why);
        return;
    }
    // The name's bytes kept in the same buffer line after line.
    previousName_.resize(name.size());
    std::copy(name.begin(), name.end(), previousName_.begin());
    read_.entries.append(std::move(entry));
}

ServerIndexRead ServerIndexReader::finish()
{
    if (read_.error.isEmpty() && !unfinished_.isEmpty())
        read_ = refused(lines_ + 1, QStringLiteral("the last line has no line feed: the index may be cut short"));
    ServerIndexRead read = std::move(read_);
    *this = {};
    return read;
}

const ServerIndexEntry* findindexentry(const ServerIndex& index, const QString& name)
{
    const ServerIndexEntry* folded = nullptr;
    int matches = 0;
    for (const ServerIndexEntry& e : index) {
        if (e.name == name)
            return &e;
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) {
            folded = &e;
            ++matches;
        }
    }
    return matches == 1 ? folded : nullptr;
}

}  // namespace vek
