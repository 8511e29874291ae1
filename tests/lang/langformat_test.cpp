// The bytes of a language file: UTF-8 behind its mark, CR LF, sorted without
// regard to letter case, replaced whole or not at all; older files in the
// code page converted once.
#include "fixturefiles.h"
#include "lang/langfile.h"
#include "langtestform.h"
#include "platform/faultinjection.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

using testsupport::entries;
using testsupport::fixtureFile;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;
using vek::langfiledefn;

const QByteArray kMark("\xEF\xBB\xBF");

class LangFormatTest : public ::testing::Test {
protected:
    LangFormatTest() { EXPECT_TRUE(QDir().mkpath(folder())); }
    QString base() const { return dir.path(); }
    QString folder() const { return dir.path() + QStringLiteral("lang_files/"); }
    QString file(const char* name) const { return folder() + QLatin1String(name); }

    ScratchDir dir;
};

TEST_F(LangFormatTest, RecordsAreWrittenBehindTheMarkWithCrLfSortedWithoutRegardToCase)
{
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
    lang.writerecord(QStringLiteral("label"), QStringLiteral("beta"), QStringLiteral("Zwei"));
    lang.writerecord(QStringLiteral("label"), QStringLiteral("Alpha"), QStringLiteral("Eins"));
    lang.writerecord(QStringLiteral("message"), QStringLiteral("Gr\u00fc\u00dfe"),
                     QStringLiteral("\u20ac 5 = f\u00fcnf"));
    lang.writerecord(QStringLiteral("button"), QStringLiteral("Zed"), QStringLiteral("Z"));
    lang.writerecord(QStringLiteral("LABEL"), QStringLiteral("alpha"), QStringLiteral("Erstens"));  // the same record
    lang.writerecord(QStringLiteral("label"), QStringLiteral("Alpha_b"), QStringLiteral("Ab"));
    ASSERT_TRUE(lang.savefile());
    EXPECT_EQ(readFile(file("de_Mainfm.lang")),
              kMark
                  + "button_Zed=Z\r\nLABEL_alpha=Erstens\r\nlabel_Alpha_b=Ab\r\nlabel_beta=Zwei\r\n"
                    "message_Gr\xC3\xBC\xC3\x9F"
                    "e=\xE2\x82\xAC 5 = f\xC3\xBCnf\r\n");
}

TEST_F(LangFormatTest, AnEmptyLanguageCodeNamesTheDefaultFile)
{
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QString()));
    EXPECT_EQ(lang.langfilename, file("Default_Mainfm.lang"));
    EXPECT_EQ(lang.langcode, "Default");
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("pt-BR")));
    EXPECT_EQ(lang.langfilename, file("pt-BR_Mainfm.lang"));
}

TEST_F(LangFormatTest, ReadingTrimsTextsAndKeepsEverythingAfterTheFirstEquals)
{
    writeFile(file("de_Mainfm.lang"),
              kMark
                  + "label_A= \tx = y \t\r\nlabel_B=\r\nno record here\r\n\r\n"
                    "label_a=second of its key\r\nlabel_C=c\n");
    const QByteArray before = readFile(file("de_Mainfm.lang"));
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
    QString text;
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("A"), text));
    EXPECT_EQ(text, "x = y");
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("B"), text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("C"), text));
    EXPECT_EQ(text, "c");
    // A UTF-8 file is read as it is, and not written again.
    EXPECT_EQ(readFile(file("de_Mainfm.lang")), before);

    // A key written twice by hand: the first line stands, and a save writes
    // it once; the stray line stays.
    ASSERT_TRUE(lang.savefile());
    EXPECT_EQ(readFile(file("de_Mainfm.lang")),
              kMark + "label_A= \tx = y \t\r\nlabel_B=\r\nlabel_C=c\r\nno record here\r\n");
}

TEST_F(LangFormatTest, AnyLineEndEndsARecordAndKeysMatchWithoutCaseBeyondAscii)
{
    // CR LF, LF and a lone CR (an old editor's file), and no end at the last line.
    writeFile(file("de_Mainfm.lang"),
              kMark + "label_A=a\r\nlabel_B=b\nlabel_C=c\rlabel_\xC3\x84rger=\xC3\xA4\r\n\r\nlabel_D=d");
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
    EXPECT_EQ(
        lang.langrecords.lines(),
        (QStringList{"label_A=a", "label_B=b", "label_C=c", "label_D=d", QStringLiteral("label_\u00C4rger=\u00E4")}));
    QString text;
    EXPECT_TRUE(lang.readrecord(QStringLiteral("LABEL"), QStringLiteral("\u00E4RGER"), text));
    EXPECT_EQ(text, QStringLiteral("\u00E4"));
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("d"), text));
    EXPECT_EQ(text, "d");
    EXPECT_FALSE(lang.readrecord(QStringLiteral("label"), QStringLiteral("Arger"), text));
}

TEST_F(LangFormatTest, TheFirstLineOfAKeyStandsInASortedFileAsInAnUnsortedOne)
{
    // The family's own files are sorted; a sorted file can hold a key twice too.
    const struct {
        QByteArray body;
        QStringList kept;
    } cases[] = {
        {"label_A=first\r\nlabel_a=second\r\nlabel_b=b\r\nstray\r\nSTRAY\r\n", {"label_A=first", "label_b=b", "stray"}},
        {"label_b=b\r\nlabel_a=second\r\nSTRAY\r\nlabel_A=first\r\nstray\r\n",
         {"label_a=second", "label_b=b", "STRAY"}},
    };
    for (const auto& c : cases) {
        writeFile(file("de_Mainfm.lang"), kMark + c.body);
        langfiledefn lang(base());
        ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
        EXPECT_EQ(lang.langrecords.lines(), c.kept) << c.body.toStdString();
        QString text;
        EXPECT_TRUE(lang.readrecord(QStringLiteral("LABEL"), QStringLiteral("a"), text));
        EXPECT_EQ(text, c.kept[0].section(u'=', 1));
        EXPECT_FALSE(lang.readrecord(QStringLiteral("stray"), QString(), text));
    }
}

TEST_F(LangFormatTest, EveryRecordIsFoundWhateverOrderTheLookupsComeIn)
{
    // A search starts where the last one found its record: lookups forwards,
    // backwards, far and near, and keys that are not there, must all land.
    QByteArray body = kMark;
    QStringList keys;
    for (int i = 0; i < 300; ++i)
        keys << QStringLiteral("label_L%1").arg(i);
    QStringList sorted = keys;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::compare(a + u'=', b + u'=', Qt::CaseInsensitive) < 0;
    });
    for (const QString& key : sorted)
        body += (key + QStringLiteral("=") + key.mid(6) + QStringLiteral("\r\n")).toUtf8();
    writeFile(file("de_Mainfm.lang"), body);
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
    ASSERT_TRUE(lang.langrecords.sorted());

    QList<int> order;
    for (int i = 0; i < 300; ++i)
        order << i;
    for (int i = 299; i >= 0; i -= 7)
        order << i;
    for (int i = 0; i < 300; ++i)
        order << (i * 137) % 300;
    for (const int i : order) {
        QString text;
        ASSERT_TRUE(lang.readrecord(QStringLiteral("LABEL"), QStringLiteral("l%1").arg(i), text)) << i;
        EXPECT_EQ(text, QStringLiteral("L%1").arg(i));
        EXPECT_FALSE(lang.readrecord(QStringLiteral("label"), QStringLiteral("L%1x").arg(i), text));
        EXPECT_FALSE(lang.readrecord(QStringLiteral("button"), QStringLiteral("L%1").arg(i), text));
    }
}

TEST_F(LangFormatTest, AFileInTheCodePageIsReadAndConvertedOnce)
{
    writeFile(file("fr_Langtestfm.lang"), readFile(fixtureFile(QStringLiteral("lang/fr_Langtestfm.lang"))));
    langfiledefn lang(base());
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Langtestfm"), QStringLiteral("fr")));
    QString text;
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("Titlelab"), text));
    EXPECT_EQ(text, QString::fromUtf8("Caf\u00e9 \u20ac"));
    // The lines stay in the order the file had them.
    const QByteArray converted = kMark + "label_Titlelab=Caf\xC3\xA9 \xE2\x82\xAC\r\nbutton_Okbtn=Ferm\xC3\xA9\r\n";
    EXPECT_EQ(readFile(file("fr_Langtestfm.lang")), converted);
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Langtestfm"), QStringLiteral("fr")));
    EXPECT_EQ(readFile(file("fr_Langtestfm.lang")), converted);
}

TEST_F(LangFormatTest, OtherEncodingsAreConvertedToo)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"code page behind a UTF-8 mark", kMark + "label_A=caf\xE9\r\n"},
        {"UTF-16 little-endian", QByteArray("\xFF\xFEl\0a\0b\0e\0l\0_\0A\0=\0c\0a\0f\0\xE9\0\r\0\n\0", 30)},
        {"UTF-16 big-endian", QByteArray("\xFE\xFF\0l\0a\0b\0e\0l\0_\0A\0=\0c\0a\0f\0\xE9\0\r\0\n", 30)},
    };
    for (const Case& c : cases) {
        writeFile(file("de_Mainfm.lang"), c.bytes);
        langfiledefn lang(base());
        ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de"))) << c.what;
        EXPECT_EQ(readFile(file("de_Mainfm.lang")), kMark + "label_A=caf\xC3\xA9\r\n") << c.what;
    }
}

// Every step of the replacement failing in turn: the old file stays whole and
// no work file is left beside it.
TEST_F(LangFormatTest, AFailedWriteKeepsTheOldFileWhole)
{
    const QByteArray old = kMark + "label_A=alt\r\n";
    struct Step {
        platform::FaultOp op;
        int nth;
    };
    // The first open and close are the check that the file takes writes at
    // all; the second open is the work file's.
    const Step steps[] = {{platform::FaultOp::Open, 1}, {platform::FaultOp::Open, 2},  {platform::FaultOp::Write, 1},
                          {platform::FaultOp::Sync, 1}, {platform::FaultOp::Close, 2}, {platform::FaultOp::Rename, 1}};
    for (const auto& [op, nth] : steps) {
        writeFile(file("de_Mainfm.lang"), old);
        const QStringList before = entries(folder());
        langfiledefn lang(base());
        ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
        lang.writerecord(QStringLiteral("label"), QStringLiteral("A"), QStringLiteral("neu"));
        lang.writerecord(QStringLiteral("label"), QStringLiteral("B"), QStringLiteral("dazu"));
        const testsupport::FaultScope faults;
        platform::injectFault(op, nth, EIO);
        EXPECT_FALSE(lang.savefile()) << int(op) << " " << nth;
        EXPECT_TRUE(platform::faultFired()) << int(op);
        EXPECT_EQ(lang.errorstr, vek::kUnwritableLangFile + file("de_Mainfm.lang"));
        EXPECT_EQ(readFile(file("de_Mainfm.lang")), old) << int(op);
        EXPECT_EQ(entries(folder()), before) << int(op);
    }
}

// A file that is there but cannot be read is not replaced by a capture: the
// records it holds would be lost.
TEST_F(LangFormatTest, ACaptureLeavesAFileItCouldNotReadAlone)
{
    const QByteArray translated = kMark + "button_Okbtn=Gut\r\nlabel_Titlelab=Titel\r\n";
    writeFile(file("de_Langtestfm.lang"), translated);
    langtest::LangTestForm form;
    langfiledefn lang(base());
    {
        const testsupport::FaultScope faults;
        // The read, and the list reader's second try.
        platform::injectFault(platform::FaultOp::Read, 1, EIO);
        platform::addFault(platform::FaultOp::Read, 2, EIO);
        EXPECT_FALSE(lang.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
        EXPECT_TRUE(platform::faultFired());
    }
    EXPECT_EQ(lang.errorstr, vek::kUnreadableLangFile + file("de_Langtestfm.lang"));
    EXPECT_TRUE(lang.langrecords.isempty());
    EXPECT_EQ(readFile(file("de_Langtestfm.lang")), translated);

    // Read once more when it can be: the capture keeps both translations.
    ASSERT_TRUE(lang.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_TRUE(readFile(file("de_Langtestfm.lang")).startsWith(kMark + "button_Okbtn=Gut\r\n"));
    EXPECT_TRUE(readFile(file("de_Langtestfm.lang")).contains("\r\nlabel_Titlelab=Titel\r\n"));
}

// A failed first read that the list reader's try gets through reads the file.
TEST_F(LangFormatTest, AReadFailingOnceIsTriedAgain)
{
    writeFile(file("de_Mainfm.lang"), kMark + "label_A=eins\r\n");
    langfiledefn lang(base());
    const testsupport::FaultScope faults;
    platform::injectFault(platform::FaultOp::Read, 1, EIO);
    ASSERT_TRUE(lang.readlangfile(QStringLiteral("Mainfm"), QStringLiteral("de")));
    EXPECT_TRUE(platform::faultFired());
    QString text;
    EXPECT_TRUE(lang.readrecord(QStringLiteral("label"), QStringLiteral("A"), text));
    EXPECT_EQ(text, "eins");
}

}  // namespace
