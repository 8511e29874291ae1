#pragma once
// The cells of a CSV file as Python's csv module reads them, the way a
// script or a spreadsheet meets an exported list.
#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// The rows of `file` (UTF-8, a byte-order mark skipped), each a list of
// cells, with `delimiter`; empty when there is no python3.
inline QList<QStringList> readByPython(const QString& file, QChar delimiter = u',')
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess p;
    p.start(python,
            {QStringLiteral("-c"),
             QStringLiteral("import csv, json, sys\n"
                            "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                            "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n"),
             file, QString(delimiter)});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    QList<QStringList> rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells.append(cell.toString());
        rows.append(cells);
    }
    return rows;
}

}  // namespace testsupport
