// The language editor by hand: the rows of a file, the screen choice, edits,
// deletions and language changes, each checked in the file on disk.
#include "lang/langcode.h"
#include "platform/inifile.h"
#include "updlangfixture.h"

#include <QDir>
#include <QTest>

namespace {

using langtest::UpdLangTest;
using vek::TUpdLangfm;

const QStringList kScreenFile{
    QStringLiteral("button_Okbtn=OK"),
    QStringLiteral("label_Titlelab=Title"),
    QStringLiteral("stray=kept"),
    QStringLiteral("label_Namelab=Name:"),
    QStringLiteral("listview_Datalv=A|B|C"),
    QStringLiteral("a line of no record"),
};

TEST_F(UpdLangTest, EveryRecordIsARowAndTheControlUnderThePointerIsSelected)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang", "Titlelab", "Title");

    EXPECT_EQ(rows(),
              (QStringList{"button|Okbtn|OK|0", "label|Titlelab|Title|1", "label|Namelab|Name:|3",
                           "listview|Datalv|A|B|C|4"}));
    EXPECT_EQ(selectedRow(), "label|Titlelab|Title|1");
    EXPECT_EQ(editor.Languageed->text(), "de");
    EXPECT_EQ(editor.langselected, "de");
    EXPECT_EQ(editor.LangfileCB->items(), QStringList{"Test screen"});
    EXPECT_FALSE(editor.Langgb->isVisible()) << "the editing area waits for a row";

    // The control's text finds its row when its name is not in the file,
    // and a blank search finds nothing.
    editor.done(platform::mrCancel);
    open("de_Testfm.lang", "Unknownbtn", "OK");
    EXPECT_EQ(selectedRow(), "button|Okbtn|OK|0");
    editor.done(platform::mrCancel);
    open("de_Testfm.lang");
    EXPECT_EQ(selectedRow(), "(none)");
}

TEST_F(UpdLangTest, MainAndSharedAreOfferedWhenTheirFileIsThereOrCanBeCopied)
{
    writeLang("de_Testfm.lang", kScreenFile);
    writeLang("Default_Main.lang", {"message_Welcome=Welcome"});
    open("de_Testfm.lang");

    EXPECT_EQ(editor.LangfileCB->items(), (QStringList{"Test screen", "Main"}));
    EXPECT_EQ(fileLines("de_Main.lang"), QStringList{"message_Welcome=Welcome"}) << "copied from the default";
    EXPECT_FALSE(QFileInfo::exists(langFile("de_Shared.lang")));

    editor.LangfileCB->setCurrentIndex(1);
    emit editor.LangfileCB->activated(1);
    EXPECT_EQ(rows(), QStringList{"message|Welcome|Welcome|0"});
    EXPECT_EQ(editor.langfile, langFile("de_Main.lang"));

    editor.LangfileCB->setCurrentIndex(0);
    emit editor.LangfileCB->activated(0);
    EXPECT_EQ(rows().size(), 4) << "back to the screen's own file";
}

TEST_F(UpdLangTest, UpdateAndDeleteChangeTheRightFileLinesThroughAFilter)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang");
    editor.FilterEd->setText(QStringLiteral("name"));
    editor.FilterBtn->click();
    ASSERT_EQ(rows(), QStringList{"label|Namelab|Name:|3"});

    click(0);
    EXPECT_TRUE(editor.Langgb->isVisible());
    EXPECT_EQ(editor.Langcontented->text(), "Name:");
    editor.Langcontented->setText(QStringLiteral("Nom :"));
    editor.Langupdbtn->click();
    QStringList expected = kScreenFile;
    expected[3] = QStringLiteral("label_Namelab=Nom :");
    EXPECT_EQ(fileLines("de_Testfm.lang"), expected) << "lines that are no rows stay as they were";

    editor.FilterEd->setText(QStringLiteral("tit"));
    editor.FilterBtn->click();
    ASSERT_EQ(rows(), QStringList{"label|Titlelab|Title|1"});
    click(0);
    editor.Resetbtn->click();
    expected.removeAt(1);
    EXPECT_EQ(fileLines("de_Testfm.lang"), expected);
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(UpdLangTest, RowsOfTheSameTextFollowAnUpdateWithTheirOwnPunctuation)
{
    writeLang("de_Testfm.lang", {"button_Savebtn=Save", "label_Savelab=Save!", "label_Savedlab=Saved"});
    open("de_Testfm.lang");
    click(0);
    editor.Langcontented->setText(QStringLiteral("Speichern"));
    editor.Langupdbtn->click();

    EXPECT_EQ(fileLines("de_Testfm.lang"),
              (QStringList{"button_Savebtn=Speichern", "label_Savelab=Speichern!", "label_Savedlab=Saved"}));
    EXPECT_EQ(rows()[1], "label|Savelab|Speichern!|1");
    EXPECT_EQ(selectedRow(), "label|Savelab|Speichern!|1") << "the next row is up for editing";
    EXPECT_EQ(editor.Langcontented->text(), "Speichern!");
}

TEST_F(UpdLangTest, AMultiLineRecordIsEditedOnePartALine)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang");
    click(3);
    EXPECT_FALSE(editor.Langcontented->isVisible());
    EXPECT_TRUE(editor.langcontentmemo->isVisible());
    EXPECT_EQ(editor.langcontentmemo->lines(), (QStringList{"A", "B", "C"}));

    editor.Langupdbtn->click();
    EXPECT_EQ(fileLines("de_Testfm.lang"), kScreenFile) << "an unchanged record is written back as it was";

    click(3);
    editor.langcontentmemo->setLines({"Alpha", "B|b", "C"});
    editor.Langupdbtn->click();
    EXPECT_EQ(fileLines("de_Testfm.lang")[4], "listview_Datalv=Alpha|\"B|b\"|C");
    click(3);
    EXPECT_EQ(editor.langcontentmemo->lines(), (QStringList{"Alpha", "B|b", "C"}));
}

TEST_F(UpdLangTest, ANewLanguageStartsAsACopyAndAKnownOneShowsItsOwnFile)
{
    writeLang("de_Testfm.lang", kScreenFile);
    writeLang("en_Testfm.lang", {"button_Okbtn=Okay"});
    open("de_Testfm.lang");

    typeLanguage(QStringLiteral("fr"));
    EXPECT_EQ(editor.langfile, langFile("fr_Testfm.lang"));
    EXPECT_EQ(fileLines("fr_Testfm.lang"), kScreenFile);
    EXPECT_EQ(rows().size(), 4);

    typeLanguage(QStringLiteral("en"));
    EXPECT_EQ(rows(), QStringList{"button|Okbtn|Okay|0"});

    // A code holding "_" names its file whole; the editor's own code is the
    // part before it.
    typeLanguage(QStringLiteral("pt_BR"));
    EXPECT_EQ(editor.langfile, langFile("pt_BR_Testfm.lang"));
    EXPECT_EQ(fileLines("pt_BR_Testfm.lang"), QStringList{"button_Okbtn=Okay"});
    EXPECT_EQ(editor.langselected, "pt");
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(UpdLangTest, ACodeThatWouldLeadOutOfTheLanguageFolderIsRefused)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang");
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList langBefore = QDir(langFolder()).entryList(QDir::Files);

    for (const QString& code : {QStringLiteral("../../x"), QStringLiteral("de fr"), QString(36, u'a')}) {
        warnings.clear();
        typeLanguage(code);
        ASSERT_EQ(warnings.size(), 1) << code.toStdString();
        EXPECT_EQ(warnings[0], vek::checklangcode(code).message());
        EXPECT_EQ(editor.Languageed->text(), "de") << "the code shown before is back";
        EXPECT_EQ(editor.langfile, langFile("de_Testfm.lang"));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(QDir(langFolder()).entryList(QDir::Files), langBefore);
    EXPECT_EQ(fileLines("de_Testfm.lang"), kScreenFile);
}

TEST_F(UpdLangTest, TheCodesAreKeptInTheSettingsFileForTheNextOpening)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang");
    editor.Fromlanged->setText(QStringLiteral("en"));
    editor.ToLanged->setText(QStringLiteral("de"));
    editor.done(platform::mrCancel);

    const platform::IniFile ini(TUpdLangfm::findlocalconfig());
    EXPECT_EQ(ini.readString("Config", "Language"), "de");
    EXPECT_EQ(ini.readString("Google", "Fromcode"), "en");
    EXPECT_EQ(ini.readString("Google", "Tocode"), "de");
    EXPECT_TRUE(editor.langfilelist.isEmpty());
    EXPECT_TRUE(editor.callingscreen.isEmpty());

    vek::TUpdLangfm second;
    second.callingform = QStringLiteral("Testfm");
    second.langfolder = langFolder();
    second.langfile = langFile("de_Testfm.lang");
    second.show();
    EXPECT_EQ(second.Fromlanged->text(), "en");
    EXPECT_EQ(second.ToLanged->text(), "de");
    EXPECT_EQ(second.LangfileCB->items(), QStringList{"Current"}) << "a screen without a caption";
    second.done(platform::mrCancel);
}

// The keyboard and the right mouse button move the current row as a click
// does: the editing area shows the row moved to, and Update changes that row.
TEST_F(UpdLangTest, EveryChangeOfTheCurrentRowShowsThatRow)
{
    writeLang("de_Testfm.lang", kScreenFile);
    open("de_Testfm.lang");
    editor.show();
    click(0);
    ASSERT_EQ(editor.Langcontented->text(), "OK");

    editor.Langlv->setFocus();
    QTest::keyClick(editor.Langlv, Qt::Key_Down);
    ASSERT_EQ(selectedRow(), "label|Titlelab|Title|1");
    EXPECT_EQ(editor.Langcontented->text(), "Title") << "the keyboard moved the row, the editing area followed";
    editor.Langcontented->setText(QStringLiteral("Titel"));
    editor.Langupdbtn->click();
    QStringList expected = kScreenFile;
    expected[1] = QStringLiteral("label_Titlelab=Titel");
    EXPECT_EQ(fileLines("de_Testfm.lang"), expected);

    const QRect third = editor.Langlv->visualRect(editor.Langlv->model()->index(2, 0));
    QTest::mouseClick(editor.Langlv->viewport(), Qt::RightButton, {}, third.center());
    ASSERT_EQ(selectedRow(), "label|Namelab|Name:|3");
    EXPECT_EQ(editor.Langcontented->text(), "Name:") << "the right button moved the row, the editing area followed";
}

}  // namespace
