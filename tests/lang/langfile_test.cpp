// A screen's texts captured into its language file and a translated file
// applied to the screen, over a screen holding every kind of record.
#include "fixturefiles.h"
#include "lang/langcode.h"
#include "lang/langfile.h"
#include "lang/langlines.h"
#include "langtestform.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using langtest::LangTestForm;
using testsupport::fixtureFile;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;
using vek::langfiledefn;

QString fixture(const char* name)
{
    return fixtureFile(QStringLiteral("lang/") + QLatin1String(name));
}

class LangFileTest : public ::testing::Test {
protected:
    QString base() const { return dir.path() + QStringLiteral("files/"); }
    QString langFolder() const { return dir.path() + QStringLiteral("files/lang_files/"); }
    QString langFile(const char* name) const { return langFolder() + QLatin1String(name); }
    // Puts a checked-in language file into the language folder.
    void install(const char* name)
    {
        ASSERT_TRUE(QDir().mkpath(langFolder()));
        writeFile(langFile(name), readFile(fixture(name)));
    }

    ScratchDir dir;
    LangTestForm form;
};

TEST_F(LangFileTest, TheLanguageFolderIsMadeWhenABaseFolderIsGiven)
{
    const langfiledefn file(base() + QStringLiteral("deep/er"));
    EXPECT_EQ(file.langfoldername, base() + QStringLiteral("deep/er/lang_files"));
    EXPECT_TRUE(QDir(file.langfoldername).exists());
    EXPECT_TRUE(file.langrecords.isempty());

    // Without a base folder nothing is made, not even beside the program.
    const testsupport::CurrentFolderScope cwd(dir.path());
    ASSERT_TRUE(cwd.changed());
    const langfiledefn none{QString()};
    EXPECT_EQ(none.langfoldername, QStringLiteral("lang_files"));
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("lang_files")).exists());
}

// The worked example: every kind the capture records, once, sorted; the
// placeholders, the empty caption, the unnamed label and the kinds that are
// only applied (edit, combo, memo, list box) leave no record.
TEST_F(LangFileTest, ACaptureRecordsEveryCapturedKindOfTheScreen)
{
    langfiledefn file(base());
    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QString(), &form));
    EXPECT_EQ(file.langfilename, langFile("Default_Langtestfm.lang"));
    EXPECT_EQ(readFile(file.langfilename), readFile(fixture("Default_Langtestfm.lang")));
}

TEST_F(LangFileTest, ACaptureNeverOverwritesARecordAndAddsOnlyNewControls)
{
    install("de_Langtestfm.lang");
    const QByteArray translated = readFile(langFile("de_Langtestfm.lang"));
    langfiledefn file(base());

    // Nothing new on the screen: the translated file comes back byte for byte,
    // its stray line without a kind included.
    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), translated);

    auto* added = new platform::TButton(&form);
    added->setObjectName(QStringLiteral("Helpbtn"));
    added->setCaption(QStringLiteral("Help"));
    form.Okbtn->setCaption(QStringLiteral("Okay"));  // the record keeps its translation
    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    QByteArray expected = translated;
    expected.insert(3, "button_Helpbtn=Help\r\n");  // after the mark, before button_Okbtn
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), expected);
}

TEST_F(LangFileTest, AnApplySetsEveryAppliedKindAndNeverWritesTheFile)
{
    install("de_Langtestfm.lang");
    const QByteArray before = readFile(langFile("de_Langtestfm.lang"));
    langfiledefn file(base());
    ASSERT_TRUE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));

    EXPECT_EQ(form.Titlelab->caption(), "Titel");
    EXPECT_EQ(form.Nameed->editLabel()->caption(), "Name:");
    EXPECT_EQ(form.Nameed->text(), "Schmidt");
    EXPECT_EQ(form.Okbtn->caption(), "Gut");
    EXPECT_EQ(form.Firstts->caption(), "Erste");
    EXPECT_EQ(form.Pages->tabText(0), "Erste");
    EXPECT_EQ(form.Optionsgb->caption(), "Optionen");
    EXPECT_EQ(form.Bottompnl->caption(), "Zustand");
    EXPECT_EQ(form.Sizerg->caption(), QString::fromUtf8("Größe"));
    EXPECT_EQ(form.Sizerg->items(), QStringList({"Klein", QString::fromUtf8("Groß")}));
    EXPECT_EQ(form.Colourrg->items(), QStringList({"Rot", QString::fromUtf8("Grün"), "Blau"}));
    EXPECT_EQ(form.Fastrb->caption(), "Schnell");
    EXPECT_EQ(form.Savecb->caption(), "Beim Beenden speichern");
    EXPECT_EQ(form.Filtered->text(), "Suche");
    EXPECT_EQ(form.Modecb->text(), "Automatisch");
    EXPECT_EQ(form.Notesmemo->lines(), QStringList({"eins", "zwei", "drei"}));
    EXPECT_EQ(form.Pickslb->items(), QStringList({"ix", "ypsilon"}));
    // Three parts for five columns: the last two keep their headings.
    EXPECT_EQ(form.headings(), QStringList({"Datei", QString::fromUtf8("Größe"), "Datum", "Owner", "Mode"}));

    // The choices the user made among the items stand after the new items.
    EXPECT_EQ(form.Sizerg->itemIndex(), 1);
    EXPECT_EQ(form.Pickslb->itemIndex(), 0);
    // A form record is listed in the file but never applied; unnamed controls
    // and placeholders keep their texts.
    EXPECT_EQ(form.Helperfm->caption(), "Helper");
    EXPECT_EQ(form.Unnamedlab->caption(), "Loose");
    EXPECT_EQ(form.Placeholderlab->caption(), "{ }");

    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), before);
}

TEST_F(LangFileTest, AnApplyWithoutAFileChangesNothingAndACaptureMakesIt)
{
    langfiledefn file(base());
    EXPECT_TRUE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_EQ(form.Titlelab->caption(), "Title");
    EXPECT_EQ(form.Notesmemo->lines(), QStringList({"one", "two"}));
    EXPECT_FALSE(QFileInfo::exists(langFile("de_Langtestfm.lang")));

    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), readFile(fixture("Default_Langtestfm.lang")));
}

TEST_F(LangFileTest, ListViewRecordsGoToTheHeadingsInOrder)
{
    struct Case {
        const char* record;  // null: no record for the list view
        QStringList headings;
    };
    const Case cases[] = {
        {"A|B|C", {"A", "B", "C", "Owner", "Mode"}},
        {"A|B|C|D|E|F|G", {"A", "B", "C", "D", "E"}},  // the surplus has no column
        {"\"A|B\"|C", {"A|B", "C", "Date", "Owner", "Mode"}},
        {"|B", {"", "B", "Date", "Owner", "Mode"}},
        {"", {"Name", "Size", "Date", "Owner", "Mode"}},
        {nullptr, {"Name", "Size", "Date", "Owner", "Mode"}},
    };
    for (const Case& c : cases) {
        LangTestForm screen;
        ASSERT_TRUE(QDir().mkpath(langFolder()));
        QByteArray bytes = "\xEF\xBB\xBFlabel_Titlelab=Titel\r\n";
        if (c.record)
            bytes += QByteArray("listview_Fileslv=") + c.record + "\r\n";
        writeFile(langFile("de_Langtestfm.lang"), bytes);
        langfiledefn file(base());
        ASSERT_TRUE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &screen));
        EXPECT_EQ(screen.headings(), c.headings) << (c.record ? c.record : "(no record)");
    }
}

// Captured headings come back as they were, also one that holds "|".
TEST_F(LangFileTest, CapturedHeadingsComeBackAsTheyWere)
{
    form.Fileslv->headerItem()->setText(1, QStringLiteral("In|Out"));
    form.Fileslv->headerItem()->setText(0, QString());
    const QStringList captured = form.headings();
    langfiledefn file(base());
    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    LangTestForm other;
    ASSERT_TRUE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &other));
    EXPECT_EQ(other.headings(), captured);
}

// "|" stands for a line break in memos, list boxes and radio items, so a
// control's own "|" becomes one on an apply, record or no record.
TEST_F(LangFileTest, ABarInAMultiLineTextBecomesALineBreak)
{
    install("de_Langtestfm.lang");
    auto* memo = new platform::TMemo(&form);
    memo->setObjectName(QStringLiteral("Othermemo"));
    memo->setLines({QStringLiteral("a|b"), QStringLiteral("c")});
    langfiledefn file(base());
    ASSERT_TRUE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_EQ(memo->lines(), QStringList({"a", "b", "c"}));
}

// Each group's record holds its own items, and a line break in a caption is
// kept as "|" so that the record stays one line of the file.
TEST_F(LangFileTest, MultiLineCaptionsStayOneRecord)
{
    form.Titlelab->setCaption(QStringLiteral("First line\nSecond line"));
    form.Sizerg->setItems({QStringLiteral("Sma\r\nll"), QStringLiteral("Large")});
    langfiledefn file(base());
    ASSERT_TRUE(file.makelangrecords(QStringLiteral("Langtestfm"), QString(), &form));
    const QByteArray bytes = readFile(langFile("Default_Langtestfm.lang"));
    EXPECT_TRUE(bytes.contains("\r\nlabel_Titlelab=First line|Second line\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nradio-items_Sizerg=Sma|ll|Large\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nradio-items_Colourrg=Red|Green|Blue\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n"));
    EXPECT_EQ(bytes.count("\n"), 14);
}

// A handler of a text change that removes a control further on ends the walk
// there: what was done stays, nothing after it is touched, nothing crashes.
TEST_F(LangFileTest, AControlGonePartWayEndsTheApplySilently)
{
    install("de_Langtestfm.lang");
    QObject::connect(form.Filtered, &QLineEdit::textChanged, &form, [&] { delete form.Modecb.data(); });
    langfiledefn file(base());
    EXPECT_FALSE(file.loadlangrecords(QStringLiteral("Langtestfm"), QStringLiteral("de"), &form));
    EXPECT_TRUE(form.Modecb.isNull());
    EXPECT_EQ(form.Okbtn->caption(), "Gut");
    EXPECT_EQ(form.Filtered->text(), "Suche");
    EXPECT_EQ(form.Notesmemo->lines(), QStringList({"one", "two"}));
    EXPECT_EQ(form.Pickslb->items(), QStringList({"x", "y"}));
}

TEST_F(LangFileTest, RecordsAreFoundWithoutRegardToLetterCase)
{
    install("de_Langtestfm.lang");
    langfiledefn file(base());
    ASSERT_TRUE(file.readlangfile(QStringLiteral("Langtestfm"), QStringLiteral("de")));
    QString text = QStringLiteral("unchanged");
    EXPECT_FALSE(file.readrecord(QStringLiteral("label"), QStringLiteral("Missinglab"), text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_TRUE(file.readrecord(QStringLiteral("BUTTON"), QStringLiteral("OKBTN"), text));
    EXPECT_EQ(text, "Gut");

    file.writerecord(QStringLiteral("button"), QStringLiteral("OKBTN"), QStringLiteral("Jawohl"));
    file.writerecord(QStringLiteral("button"), QStringLiteral("Nobtn"), QString());
    file.writerecord(QStringLiteral("button"), QStringLiteral("Nobtn"), QStringLiteral("{Nein}"));
    ASSERT_TRUE(file.savefile());
    const QByteArray bytes = readFile(langFile("de_Langtestfm.lang"));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"
                                 "button_OKBTN=Jawohl\r\ncheck_"));
    EXPECT_FALSE(bytes.contains("Okbtn"));
    EXPECT_FALSE(bytes.contains("Nobtn"));
}

TEST_F(LangFileTest, FindlangfilesListsTheLanguageFilesOfAFolder)
{
    install("de_Langtestfm.lang");
    install("Default_Langtestfm.lang");
    writeFile(langFile("notes.txt"), "not a language file");
    QStringList names{QStringLiteral("stale")};
    langfiledefn::findlangfiles(&names, langFolder());
    names.sort();
    EXPECT_EQ(names, QStringList({"Default_Langtestfm.lang", "de_Langtestfm.lang"}));
    langfiledefn::findlangfiles(nullptr, langFolder());  // nothing to fill
}

// Whatever a text's source, a language file holds it in one line: line
// breaks as "|", other control characters dropped.
TEST_F(LangFileTest, NoTextWrittenToAFileHoldsALineBreakOrAControlCharacter)
{
    const struct {
        QString text;
        QString stored;
    } cases[] = {
        {QStringLiteral("plain | text"), QStringLiteral("plain | text")},
        {QStringLiteral("a\r\nb\rc\nd"), QStringLiteral("a|b|c|d")},
        {QStringLiteral("a\u2028b\u2029c"), QStringLiteral("a|b|c")},
        {QStringLiteral("nul\u0000 bell\u0007 tab\t esc\u001B del\u007F c1\u0085."),
         QStringLiteral("nul bell tab esc del c1.")},
        {QStringLiteral("\u00E4\u00F6 \u4E2D"), QStringLiteral("\u00E4\u00F6 \u4E2D")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vek::langfileline(c.text), c.stored) << c.text.toStdString();

    langfiledefn file(base());
    ASSERT_TRUE(file.readlangfile(QStringLiteral("Langtestfm"), QStringLiteral("de")));
    file.writerecord(QStringLiteral("label"), QStringLiteral("Titlelab"),
                     QStringLiteral("Hallo\nbutton_Okbtn=Evil\u0000"));
    ASSERT_TRUE(file.savefile());
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")),
              QByteArray("\xEF\xBB\xBFlabel_Titlelab=Hallo|button_Okbtn=Evil\r\n"));
    // The writer itself holds to it, for a line put together elsewhere.
    ASSERT_TRUE(vek::writelanglines(langFile("x.lang"), {QStringLiteral("label_A=one\ntwo\u0001")}));
    EXPECT_EQ(readFile(langFile("x.lang")), QByteArray("\xEF\xBB\xBFlabel_A=one|two\r\n"));
}

}  // namespace
