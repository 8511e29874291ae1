#pragma once
// The list view the list-view drivers time: the rows of DIR/table.tsv (name,
// number, date, one row a line) in three columns, shown once so that its
// layout is settled before anything is timed.
#include "lib/textlists.h"
#include "platform/controls/tlistview.h"

#include <QApplication>
#include <string>

namespace bench {

inline void filltableview(platform::TListView& view, const std::string& dir)
{
    QStringList lines;
    vek::loadlist(lines, QString::fromStdString(dir + "/table.tsv"));
    view.addColumn(QStringLiteral("Name"), 200);
    view.addColumn(QStringLiteral("Number"), 100);
    view.addColumn(QStringLiteral("Date"), 125);
    view.beginUpdate();
    for (const QString& line : lines) {
        const QStringList f = line.split(u'\t');
        view.appendRow(f.value(0), {f.value(1), f.value(2)});
    }
    view.endUpdate();
    view.resize(500, 400);
    view.show();
    QApplication::processEvents();
}

}  // namespace bench
