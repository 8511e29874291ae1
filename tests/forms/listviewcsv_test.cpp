// A list view as a CSV file: visible columns only, the caption in quotes,
// UTF-8 behind its mark so that no letter is lost.
#include "forms/listviewcsv.h"
#include "platform/codepage.h"
#include "platform/controls/tlistview.h"
#include "platform/winerror.h"
#include "pythoncsv.h"
#include "testsupport.h"
#include "unprivileged.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using platform::TListView;

// Columns of the given captions and widths, then rows of caption and sub-items.
struct ListCase {
    const char* what;
    std::vector<std::pair<QString, int>> columns;
    std::vector<QStringList> rows;  // caption first
    QChar delimiter;
    bool sort;
    QStringList lines;
};

void fill(TListView& lv, const ListCase& c)
{
    for (const auto& [caption, width] : c.columns)
        lv.addColumn(caption, width);
    for (const QStringList& row : c.rows)
        lv.addItem(row.first(), row.mid(1));
}

TEST(ListviewCsvLines, FollowTheColumnsAndTheFieldRules)
{
    const ListCase cases[] = {
        {"a hidden caption column leaves the captions out; a field holding the delimiter is quoted",
         {{"Name", 0}, {"Size", 60}, {"Date", 80}},
         {{"setup.exe", "1,024", "05/09/2024"}, {"tool.exe", "12", "06/09/2024"}},
         u',',
         false,
         {"Size,Date", "\"1,024\",05/09/2024", "12,06/09/2024"}},
        {"the caption goes in quotes; an empty one is two quotes",
         {{"Name", 100}, {"Date", 80}},
         {{"setup.exe", "05/09/2024"}, {"", "06/09/2024"}},
         u',',
         false,
         {"Name,Date", "\"setup.exe\",05/09/2024", "\"\",06/09/2024"}},
        {"quotes inside a field are doubled, the caption's too",
         {{"Name", 100}, {"Note", 80}},
         {{"\"quoted\"", "say \"hi\""}, {"\"", "plain"}},
         u';',
         false,
         {"Name;Note", "\"\"\"quoted\"\"\";\"say \"\"hi\"\"\"", "\"\"\"\";plain"}},
        {"a hidden middle column; sub-items beyond the last column are kept",
         {{"Name", 100}, {"Size", 0}, {"Date", 80}},
         {{"a.exe", "1", "05/09/2024", "extra"}},
         u';',
         false,
         {"Name;Date", "\"a.exe\";05/09/2024;extra"}},
        {"a semicolon locale quotes semicolons, not commas",
         {{"Name", 100}, {"Note", 80}},
         {{"a.exe", "one; two"}, {"b.exe", "three, four"}},
         u';',
         false,
         {"Name;Note", "\"a.exe\";\"one; two\"", "\"b.exe\";three, four"}},
        {"sorted rows, header first",
         {{"Name", 0}, {"Size", 60}},
         {{"x", "pear"}, {"y", "Apple"}, {"z", "banana"}},
         u',',
         true,
         {"Size", "Apple", "banana", "pear"}},
        {"no rows: the header alone", {{"Name", 100}, {"Date", 80}}, {}, u',', false, {"Name,Date"}},
    };
    for (const ListCase& c : cases) {
        TListView lv;
        fill(lv, c);
        EXPECT_EQ(vek::listviewcsvlines(&lv, c.delimiter, c.sort), c.lines) << c.what;
    }
}

TEST(ListviewCsvLines, OnlyTheFirstColumnsHide)
{
    TListView lv;
    for (int i = 0; i <= vek::kLastHideableColumn + 1; ++i)
        lv.addColumn(QStringLiteral("C%1").arg(i), i == 2 || i > vek::kLastHideableColumn ? 0 : 10);
    QStringList subItems;
    for (int i = 1; i <= vek::kLastHideableColumn + 1; ++i)
        subItems.append(QStringLiteral("v%1").arg(i));
    lv.addItem(QStringLiteral("row"), subItems);
    const QStringList lines = vek::listviewcsvlines(&lv, u',', false);
    ASSERT_EQ(lines.size(), 2);
    const QStringList header = lines[0].split(u',');
    EXPECT_FALSE(header.contains(QStringLiteral("C2")));
    EXPECT_TRUE(header.contains(QStringLiteral("C256")));
    EXPECT_EQ(header.constLast(), QStringLiteral("C257"));  // zero width, but beyond the hideable ones
    const QStringList row = lines[1].split(u',');
    EXPECT_FALSE(row.contains(QStringLiteral("v2")));
    EXPECT_EQ(row.constLast(), QStringLiteral("v257"));
    EXPECT_EQ(row.size(), header.size());
}

// Letters outside the code page reach the file: it is UTF-8 behind its mark
// with CR LF line ends, even when every letter would fit the code page.
TEST(ListviewToCsv, WritesUtf8BehindItsMark)
{
    testsupport::ScratchDir dir;
    const struct {
        QString caption;
        QString size;
    } cases[] = {
        {QStringLiteral("Łódź.exe"), QStringLiteral("1 024")},
        {QStringLiteral("日本語.exe"), QStringLiteral("Ωmega")},
        {QStringLiteral("café.exe"), QStringLiteral("12")},
    };
    for (const auto& c : cases) {
        TListView lv;
        lv.addColumn(QStringLiteral("Name"), 100);
        lv.addColumn(QStringLiteral("Size"), 60);
        lv.addItem(c.caption, {c.size});
        const QString name = dir.file(QStringLiteral("list.CSV"));
        ASSERT_EQ(vek::listviewtocsv(&lv, name, u',', false), 0);
        const QByteArray expected = QByteArray(platform::kUtf8Mark) + "Name,Size\r\n\"" + c.caption.toUtf8() + "\","
            + c.size.toUtf8() + "\r\n";
        EXPECT_EQ(testsupport::readFile(name), expected) << c.caption.toStdString();
    }
}

// What a script reads back is what the list shows, cell for cell, whatever
// the cells hold, under either list separator.
TEST(ListviewToCsv, PythonsCsvReadsBackEveryCell)
{
    testsupport::ScratchDir dir;
    const QList<QStringList> rows{
        {"Quote\"Name.dll", "a \"b\" c"}, {"\"quoted\"", "x"}, {"", "empty caption"},
        {"a,b;c.dll", "two\r\nlines"},    {"plain.exe", ""},
    };
    for (const QChar delimiter : {u',', u';'}) {
        TListView lv;
        lv.addColumn(QStringLiteral("Name"), 100);
        lv.addColumn(QStringLiteral("Note \"n\""), 80);
        for (const QStringList& row : rows)
            lv.addItem(row.first(), row.mid(1));
        const QString name = dir.file(QStringLiteral("list.CSV"));
        ASSERT_EQ(vek::listviewtocsv(&lv, name, delimiter, false), 0);
        const QList<QStringList> cells = testsupport::readByPython(name, delimiter);
        if (cells.isEmpty())
            GTEST_SKIP() << "python3 is needed to read the file as scripts do";
        const QList<QStringList> expected = QList<QStringList>{{"Name", "Note \"n\""}} + rows;
        EXPECT_EQ(cells, expected) << QString(delimiter).toStdString();
    }
}

TEST(ListviewToCsv, ReplacesAnOldFileAndLeavesAReadOnlyOneAlone)
{
    testsupport::ScratchDir dir;
    TListView lv;
    lv.addColumn(QStringLiteral("Name"), 100);
    lv.addItem(QStringLiteral("new.exe"));
    const QString name = dir.file(QStringLiteral("list.CSV"));
    testsupport::writeFile(name, "an older export, longer than the new one\r\n");
    ASSERT_EQ(vek::listviewtocsv(&lv, name, u',', false), 0);
    EXPECT_EQ(testsupport::readFile(name), QByteArray(platform::kUtf8Mark) + "Name\r\n\"new.exe\"\r\n");
    EXPECT_FALSE(QFile::exists(name + QStringLiteral(".$$$")));

    // A file its user made read-only, met as an ordinary user meets it.
    testsupport::openFolderToEveryone(dir.path());
    const QString locked = dir.file(QStringLiteral("locked.CSV"));
    testsupport::writeFile(locked, "kept\r\n");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadOther));
    EXPECT_EQ(testsupport::runAsUnprivilegedUser(
                  [&] { return vek::listviewtocsv(&lv, locked, u',', false) == platform::winerr::AccessDenied; }),
              0);
    EXPECT_EQ(testsupport::readFile(locked), QByteArray("kept\r\n"));
}

TEST(ListviewToCsv, AFolderThatIsMissingFailsWithItsCode)
{
    testsupport::ScratchDir dir;
    TListView lv;
    lv.addColumn(QStringLiteral("Name"), 100);
    EXPECT_NE(vek::listviewtocsv(&lv, dir.file(QStringLiteral("gone/list.CSV")), u',', false), 0);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("gone"))));
}

}  // namespace
