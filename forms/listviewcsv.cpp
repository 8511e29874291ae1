#include "forms/listviewcsv.h"

#include "platform/atomicwrite.h"
#include "platform/codepage.h"
#include "platform/controls/tlistview.h"
#include "platform/fileapi.h"
#include "platform/libformat.h"

#include <QCollator>

#include <algorithm>
#include <vector>

namespace vek {
namespace {

const QChar kQuote = u'"';

// The export is read by spreadsheets and scripts, which take the standard
// CSV form: a field in quotes has its inner quotes doubled. The family's
// joinfields leaves them single, and those readers take such a field apart.
QString quotedField(const QString& field)
{
    QString out = field;
    out.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + out + kQuote;
}

// A field that holds the delimiter, a quote or a line break goes in quotes;
// any other stays as it is.
QString csvField(const QString& field, QChar delimiter)
{
    const bool needsQuotes
        = field.contains(delimiter) || field.contains(kQuote) || field.contains(u'\r') || field.contains(u'\n');
    return needsQuotes ? quotedField(field) : field;
}

// The fields joined by the delimiter; with `quoteFirst` the first is quoted
// whatever it holds (the row caption). A line of one empty field is written
// as two quotes, so that it is not read as no field at all.
QString csvLine(const QStringList& fields, QChar delimiter, bool quoteFirst)
{
    if (fields.size() == 1 && fields.first().isEmpty())
        return QString(2, kQuote);
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += delimiter;
        line += (i == 0 && quoteFirst) ? quotedField(fields[i]) : csvField(fields[i], delimiter);
    }
    return line;
}

}  // namespace

QStringList listviewcsvlines(const platform::TListView* listview, QChar delimiter, bool sort)
{
    QStringList lines;
    if (!listview)
        return lines;
    const int columns = listview->columnCount();
    std::vector<bool> hidden(static_cast<size_t>(columns), false);
    for (int i = 0; i < columns && i <= kLastHideableColumn; ++i)
        hidden[static_cast<size_t>(i)] = listview->columnWidth(i) == 0;
    auto isHidden = [&hidden](int column) {
        return column < static_cast<int>(hidden.size()) && hidden[static_cast<size_t>(column)];
    };

    lines.reserve(listview->count() + 1);
    QStringList fields;
    for (const platform::TListItem* row : listview->rows()) {
        fields.clear();
        if (!isHidden(0))
            fields.append(row->caption());
        const int subItems = row->subItemCount();
        for (int j = 0; j < subItems; ++j) {
            if (!isHidden(j + 1))
                fields.append(row->subItem(j));
        }
        lines.append(csvLine(fields, delimiter, !isHidden(0)));
    }
    if (sort) {
        const QCollator collator = platform::textCollator();
        std::stable_sort(lines.begin(), lines.end(),
                         [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    }

    QStringList header;
    const platform::TListHeader* captions = listview->headerItem();
    for (int i = 0; i < columns; ++i) {
        if (!isHidden(i))
            header.append(captions ? captions->text(i) : QString());
    }
    lines.prepend(csvLine(header, delimiter, false));
    return lines;
}

int listviewtocsv(const platform::TListView* listview, const QString& name, QChar delimiter, bool sort)
{
    if (platform::isFile(name)) {
        // A file its user made read-only stays as it is, as list files do.
        platform::RawFile probe;
        if (const int rc = probe.open(name, platform::OpenMode::Append); rc != 0)
            return rc;
        (void)probe.close();  // opened only to learn whether it may be written
    }
    const QStringList lines = listviewcsvlines(listview, delimiter, sort);
    QByteArray bytes(platform::kUtf8Mark, platform::kUtf8MarkSize);
    qsizetype size = bytes.size();
    for (const QString& line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return platform::writeFileAtomically(name, bytes);
}

}  // namespace vek
