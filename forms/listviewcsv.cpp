#include "forms/listviewcsv.h"

#include "lib/fields.h"
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

QString quotedCaption(const QString& caption)
{
    if (caption.isEmpty() || (caption.size() > 1 && caption.startsWith(kQuote) && caption.endsWith(kQuote)))
        return caption;
    return kQuote + caption + kQuote;
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
            fields.append(quotedCaption(row->caption()));
        const int subItems = row->subItemCount();
        for (int j = 0; j < subItems; ++j) {
            if (!isHidden(j + 1))
                fields.append(row->subItem(j));
        }
        lines.append(joinfields(fields, delimiter));
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
    lines.prepend(joinfields(header, delimiter));
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
