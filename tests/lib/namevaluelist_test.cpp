#include "lib/namevaluelist.h"
#include "lib/textlists.h"
#include "lib/texts.h"
#include "localescope.h"
#include "platform/libformat.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QLocale>
#include <cerrno>
#include <gtest/gtest.h>
#include <limits>

using namespace vek;
using testsupport::LocaleScope;
using testsupport::ScratchDir;

namespace {

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* t : texts)
        out << QString::fromUtf8(t);
    return out;
}

QStringList exported(const tnamevaluelist& list)
{
    QStringList out{QStringLiteral("stale")};
    list.exportlist(out);
    return out;
}

}  // namespace

TEST(Namevaluelist, DefaultsKeepTheFirstValue)
{
    tnamevaluelist list;
    EXPECT_TRUE(list.setnamevalue(QStringLiteral("A"), QStringLiteral("1")));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kAdded);
    EXPECT_FALSE(list.setnamevalue(QStringLiteral("A"), QStringLiteral("2")));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUnchanged);
    EXPECT_EQ(list.getvalue(QStringLiteral("A")), QStringLiteral("1"));
    // Names are exact: "a" is another entry.
    EXPECT_TRUE(list.setnamevalue(QStringLiteral("a"), QStringLiteral("3")));
    EXPECT_EQ(list.count(), 2);

    // updatenamevalue changes it all the same, and tells so.
    EXPECT_FALSE(list.updatenamevalue(QStringLiteral("A"), QStringLiteral("2")));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUpdated);
    EXPECT_EQ(list.getvalue(QStringLiteral("A")), QStringLiteral("2"));

    EXPECT_EQ(list.getvalue(QStringLiteral("missing")), QString());
    list.Notpresentcode = QStringLiteral("?");
    EXPECT_EQ(list.getvalue(QStringLiteral("missing")), QStringLiteral("?"));
}

TEST(Namevaluelist, AllowupdateReplacesOnlyADifferentValue)
{
    tnamevaluelist list;
    list.allowupdate = true;
    list.setnamevalue(QStringLiteral("k"), QStringLiteral("1"));
    EXPECT_FALSE(list.setnamevalue(QStringLiteral("k"), QStringLiteral("2")));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUpdated);
    EXPECT_EQ(list.getvalue(QStringLiteral("k")), QStringLiteral("2"));
    list.setnamevalue(QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUnchanged);
}

TEST(Namevaluelist, SaveaslistAppendsEveryDifferentWholeValue)
{
    tnamevaluelist list;
    list.allowupdate = true;
    list.saveaslist = true;
    const QString name = QStringLiteral("n");
    for (const char* v : {"x", "y", "z", "y", "a;b"})
        list.setnamevalue(name, QString::fromLatin1(v));
    EXPECT_EQ(list.getvalue(name), QStringLiteral("x;y;z;y;\"a;b\""));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUpdated);
    // The same whole value is refused.
    list.setnamevalue(name, list.getvalue(name));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUnchanged);

    const QStringList expected = lines({"x", "y", "z", "y", "a;b"});
    EXPECT_EQ(list.getvaluelist(name), expected);
    QStringList fields{QStringLiteral("stale")};
    EXPECT_EQ(list.getvaluelist(name, fields), 5);
    EXPECT_EQ(fields, expected);
    EXPECT_EQ(list.listdelim, QChar(u';'));

    // Without allowupdate nothing is appended.
    list.allowupdate = false;
    list.setnamevalue(name, QStringLiteral("w"));
    EXPECT_EQ(list.getvaluelist(name).size(), 5);
}

TEST(Namevaluelist, AllowlaterOnlyMovesForwardByOrdinalComparison)
{
    tnamevaluelist list;
    list.allowupdate = true;
    list.allowlater = true;
    const QString name = QStringLiteral("when");
    list.setnamevalue(name, QStringLiteral("2024"));
    list.setnamevalue(name, QStringLiteral("2025"));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUpdated);
    list.setnamevalue(name, QStringLiteral("2023"));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUnchanged);
    EXPECT_EQ(list.getvalue(name), QStringLiteral("2025"));
    // Lower case sorts after upper case code by code.
    list.setnamevalue(name, QStringLiteral("B"));
    list.setnamevalue(name, QStringLiteral("a"));
    EXPECT_EQ(list.getvalue(name), QStringLiteral("a"));
}

TEST(Namevaluelist, UpcasenameFoldsNamesButOnlyGetvalueTrims)
{
    tnamevaluelist list;
    list.upcasename = true;
    list.setnamevalue(QStringLiteral("key"), QStringLiteral("v"));
    EXPECT_TRUE(list.dict.contains(QStringLiteral("KEY")));
    EXPECT_EQ(list.getvalue(QStringLiteral(" key ")), QStringLiteral("v"));
    EXPECT_FALSE(list.namepresent(QStringLiteral(" key ")));
    EXPECT_TRUE(list.namepresent(QStringLiteral("Key")));
    EXPECT_TRUE(list.removename(QStringLiteral("kEY")));
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.removename(QStringLiteral("kEY")));
}

TEST(Namevaluelist, AddnamevalueCounts)
{
    tnamevaluelist list;
    EXPECT_TRUE(list.addnamevalue(QStringLiteral("n"), 5));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kAdded);
    EXPECT_FALSE(list.addnamevalue(QStringLiteral("n"), 5));
    EXPECT_EQ(list.updstatus, tnamevaluelist::kUpdated);
    EXPECT_EQ(list.getvalue(QStringLiteral("n")), QStringLiteral("10"));
    list.addnamevalue(QStringLiteral("n"), -12);
    EXPECT_EQ(list.getvalue(QStringLiteral("n")), QStringLiteral("-2"));

    list.setnamevalue(QStringLiteral("t"), QStringLiteral("abc"));
    list.addnamevalue(QStringLiteral("t"), 5);
    EXPECT_EQ(list.getvalue(QStringLiteral("t")), QStringLiteral("5"));

    // A total past the 32-bit range keeps counting.
    list.addnamevalue(QStringLiteral("big"), std::numeric_limits<int>::max());
    list.addnamevalue(QStringLiteral("big"), 2);
    list.addnamevalue(QStringLiteral("big"), 1);
    EXPECT_EQ(list.getvalue(QStringLiteral("big")), QStringLiteral("2147483650"));

    // The other switches do not apply to counting.
    list.upcasename = true;
    list.saveaslist = true;
    list.addnamevalue(QStringLiteral("c"), 1);
    list.addnamevalue(QStringLiteral("C"), 1);
    EXPECT_EQ(list.getvalue(QStringLiteral("c")), QStringLiteral("2"));
}

TEST(Namevaluelist, ImportlistKeepsTheFirstLineOfAName)
{
    tnamevaluelist list;
    list.setnamevalue(QStringLiteral("old"), QStringLiteral("gone"));
    list.importlist(lines({"a=1", "a=2", "b", "c = x y ", "d=e=f"}));
    EXPECT_EQ(list.count(), 4);
    EXPECT_FALSE(list.namepresent(QStringLiteral("old")));
    EXPECT_EQ(list.getvalue(QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(list.getvalue(QStringLiteral("b")), QStringLiteral("b"));
    EXPECT_EQ(list.getvalue(QStringLiteral("c ")), QStringLiteral("x y"));
    EXPECT_EQ(list.getvalue(QStringLiteral("d")), QStringLiteral("e=f"));

    list.importlist(nullptr);
    EXPECT_EQ(list.count(), 4);

    tnamevaluelist upper;
    upper.upcasename = true;
    upper.upcasevalues = true;
    upper.importlist(lines({"Stra\u00DFe=gro\u00DF", "STRASSE=other", "k=v"}));
    EXPECT_EQ(upper.getvalue(QStringLiteral("strasse")), QStringLiteral("GROSS"));
    EXPECT_EQ(upper.getvalue(QStringLiteral("K")), QStringLiteral("V"));

    const QStringList source = lines({"x=1"});
    const tnamevaluelist made(source);
    EXPECT_EQ(made.getvalue(QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_EQ(tnamevaluelist(nullptr).count(), 0);
}

TEST(Namevaluelist, ImportcsvlistSplitsAtTheDetectedDelimiterAndRestoresTheSeparator)
{
    const LocaleScope locale(u'.');  // list separator ","
    tnamevaluelist list;
    list.importcsvlist(lines({"n;v", "k; a=b ", "q;\"x;y\""}));
    EXPECT_EQ(list.getvalue(QStringLiteral("n")), QStringLiteral("v"));
    EXPECT_EQ(list.getvalue(QStringLiteral("k")), QStringLiteral("a=b"));
    EXPECT_EQ(list.getvalue(QStringLiteral("q")), QStringLiteral("\"x;y\""));
    EXPECT_EQ(namevaluesep, QChar(u'='));

    list.importcsvlist(lines({"a,1", "b\t2"}));
    EXPECT_EQ(list.getvalue(QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(list.getvalue(QStringLiteral("b\t2")), QStringLiteral("b\t2"));
    EXPECT_EQ(namevaluesep, QChar(u'='));
}

TEST(Namevaluelist, ExportsAreSortedWithoutCase)
{
    tnamevaluelist list;
    list.importlist(lines({"b=3", "C=1", "a=2"}));
    EXPECT_EQ(exported(list), lines({"a=2", "b=3", "C=1"}));
    QStringList names;
    list.exportnames(names);
    EXPECT_EQ(names, lines({"a", "b", "C"}));
    QStringList values;
    list.exportvalues(values);
    EXPECT_EQ(values, lines({"1", "2", "3"}));
    list.exportlist(nullptr);

    list.sortexport = false;
    QStringList unsorted = exported(list);
    unsorted.sort();
    EXPECT_EQ(unsorted, lines({"C=1", "a=2", "b=3"}));
}

// Exports follow the collation of the locale snapshot, whatever the process's
// own locale: a snapshot taken under C or C.UTF-8 sorts by the root order,
// never by character codes ("A B a b"), and names differing only in case come
// out the same way on every run. A snapshot with a tailored collation (Swedish
// puts "\u00E4" after "z") is followed as well.
TEST(Namevaluelist, ExportsSortByTheCollationOfTheLocaleSnapshot)
{
    const testsupport::DefaultLocaleScope processLocale(QLocale::c());
    const struct {
        QLocale snapshot;
        QStringList names;
        QStringList sorted;
    } cases[] = {
        {QLocale::c(), lines({"b", "a", "B", "A", "c"}), lines({"a", "A", "b", "B", "c"})},
        {QLocale(QStringLiteral("C.UTF-8")), lines({"B", "c", "b", "A", "a"}), lines({"a", "A", "b", "B", "c"})},
        {QLocale(QStringLiteral("POSIX")), lines({"Ab", "aa", "AA", "ab"}), lines({"aa", "AA", "ab", "Ab"})},
        {QLocale(QLocale::Swedish, QLocale::Sweden), lines({"z", "\u00E4", "a"}), lines({"a", "z", "\u00E4"})},
        {QLocale(QLocale::German, QLocale::Germany), lines({"z", "\u00E4", "a"}), lines({"a", "\u00E4", "z"})},
    };
    for (const auto& c : cases) {
        const LocaleScope snapshot(platform::localeFormatOf(c.snapshot));
        tnamevaluelist list;
        QStringList pairs;
        for (qsizetype i = 0; i < c.names.size(); ++i) {
            list.setnamevalue(c.names[i], c.names[i]);
            pairs.append(c.names[i] + u'=' + c.names[i]);
        }
        const std::string where = c.snapshot.name().toStdString();
        QStringList names;
        list.exportnames(names);
        EXPECT_EQ(names, c.sorted) << where;
        QStringList values;
        list.exportvalues(values);
        EXPECT_EQ(values, c.sorted) << where;
        QStringList expectedLines;
        for (const QString& name : c.sorted)
            expectedLines.append(name + u'=' + name);
        EXPECT_EQ(exported(list), expectedLines) << where;
        // The same entries read from lines sort the same.
        list.importlist(pairs);
        EXPECT_EQ(exported(list), expectedLines) << where;
    }
}

TEST(Namevaluelist, SavetofileAndLoadfromfileRoundTrip)
{
    const ScratchDir dir;
    const QString file = dir.file(QStringLiteral("names.txt"));
    tnamevaluelist list;
    list.importlist(lines({"a=1", "b = two words ", "caf\u00E9=\u00E9t\u00E9", "empty="}));
    ASSERT_TRUE(list.savetofile(file));

    tnamevaluelist back;
    back.loadfromfile(file);
    EXPECT_EQ(back.fileloaded, file);
    EXPECT_EQ(exported(back), exported(list));

    // The same name again is not read again, until clear forgets it.
    ASSERT_TRUE(savelist(lines({"z=9"}), file));
    back.loadfromfile(file);
    EXPECT_EQ(back.getvalue(QStringLiteral("a")), QStringLiteral("1"));
    back.clear();
    EXPECT_EQ(back.count(), 0);
    EXPECT_TRUE(back.fileloaded.isEmpty());
    back.loadfromfile(file);
    EXPECT_EQ(exported(back), lines({"z=9"}));
}

TEST(Namevaluelist, AFileThatCouldNotBeReadIsNotReplacedBySave)
{
    const ScratchDir dir;
    const QString file = dir.file(QStringLiteral("settings.txt"));
    ASSERT_TRUE(savelist(lines({"a=1", "b=2"}), file));
    tnamevaluelist list;
    {
        const testsupport::FaultScope faults;
        platform::injectFault(platform::FaultOp::Open, 1, EACCES);  // there, but may not be read
        list.loadfromfile(file);
    }
    EXPECT_TRUE(list.fileloaded.isEmpty());
    EXPECT_TRUE(list.setnamevalue(QStringLiteral("c"), QStringLiteral("3")));
    EXPECT_FALSE(list.savetofile(file));
    EXPECT_EQ(testsupport::readFile(file), "a=1\r\nb=2\r\n");

    // Readable again: loaded, changed and saved, nothing of it lost.
    list.loadfromfile(file);
    EXPECT_EQ(list.fileloaded, file);
    EXPECT_TRUE(list.setnamevalue(QStringLiteral("c"), QStringLiteral("3")));
    ASSERT_TRUE(list.savetofile(file));
    EXPECT_EQ(testsupport::readFile(file), "a=1\r\nb=2\r\nc=3\r\n");
}

TEST(Namevaluelist, SavetocsvWritesNameSeparatorValueUnquoted)
{
    const ScratchDir dir;
    for (const QChar decimal : {QChar(u'.'), QChar(u',')}) {
        const LocaleScope locale(decimal);
        const QChar sep = platform::libformat().listSeparator;
        tnamevaluelist list;
        list.setnamevalue(QStringLiteral("b"), QStringLiteral(" 2 "));
        list.setnamevalue(QStringLiteral("a"), QStringLiteral("1,5;x"));
        list.setnamevalue(QStringLiteral("k=v"), QStringLiteral("3"));
        const QString file = dir.file(QStringLiteral("out.csv"));
        ASSERT_TRUE(list.savetocsv(file));
        QStringList written;
        loadlist(written, file);
        EXPECT_EQ(written,
                  QStringList({QStringLiteral("a") + sep + QStringLiteral("1,5;x"),
                               QStringLiteral("b") + sep + QStringLiteral("2"),
                               QStringLiteral("k=v") + sep + QStringLiteral("3")}))
            << char(decimal.unicode());

        // A file without the separator in its values reads back as it was.
        tnamevaluelist simple;
        simple.importlist(lines({"x=1", "y=2"}));
        ASSERT_TRUE(simple.savetocsv(file));
        loadlist(written, file);
        tnamevaluelist back;
        back.importcsvlist(written);
        EXPECT_EQ(exported(back), lines({"x=1", "y=2"}));
    }
}
