// The installer window in another language: its texts captured into its
// language file, and a translated file applied when the window is first shown.
#include "dialogs/answerseam.h"
#include "dialogs/blockformu.h"
#include "dialogs/dialogtesting.h"
#include "dialogs/vekdialogu.h"
#include "installer/TessarineInstallu.h"
#include "lang/langfile.h"
#include "lang/langmess.h"
#include "langguards.h"
#include "libguards.h"
#include "localescope.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using installer::TInstallfm;
using testsupport::readFile;

namespace {

class InstallerLanguage : public ::testing::Test {
protected:
    InstallerLanguage()
    {
        EXPECT_TRUE(QDir().mkpath(server()));
        EXPECT_TRUE(QDir().mkpath(local()));
    }
    void TearDown() override { form.reset(); }

    QString server() const { return dir.path() + "server/"; }
    QString local() const { return dir.path() + "local/"; }
    // The shared files folder beside the program, where the language files live.
    QString files() const { return dir.path() + "app/files/"; }
    QString langFile(const QString& code) const { return files() + "lang_files/" + code + "_Installfm.lang"; }

    TInstallfm& open(const QStringList& extra = {})
    {
        const QStringList all = QStringList{dir.path() + "app/TessarineInstaller", "SERVER=" + server(),
                                            "LOCAL=" + local(), "LOCALFOLDER=" + dir.path()}
            + extra;
        runArgs.set(all);
        filesFolder.reset();
        form = std::make_unique<TInstallfm>(installer::parseRunRequest(all));
        platform::TForm::setMainForm(form.get());  // as the program body does; gone with the window
        form->show();
        QCoreApplication::processEvents();  // the settling step runs once the window is up
        return *form;
    }
    QStringList headings(const platform::TListView* lv) const
    {
        QStringList out;
        for (int i = 0; i < lv->columnCount(); ++i)
            out.append(lv->headerItem()->text(i));
        return out;
    }

    testsupport::ScratchDir dir;
    testsupport::LocaleScope snapshot{platform::LocaleFormat{}};
    testsupport::RunArgumentsScope runArgs;
    testsupport::FilesFolderScope filesFolder;
    testsupport::LangStateScope langState;
    vek::ScriptedAnswers answers;
    std::unique_ptr<TInstallfm> form;
};

TEST_F(InstallerLanguage, TheWindowIsCapturedAndShownTranslatedAtItsNextStart)
{
    TInstallfm& f = open();
    vek::langmessdefn capture(&f, vek::filesfolder(), f.objectName(), QString(), true);
    ASSERT_TRUE(capture.doscreenparse(&f)) << capture.errorstr.toStdString();

    vek::langfiledefn file(files());
    ASSERT_TRUE(file.readlangfile(QStringLiteral("Installfm"), QString()));
    EXPECT_EQ(file.langfilename, langFile("Default"));
    struct Record {
        const char* kind;
        const char* name;
        QString text;
    };
    const Record captured[] = {
        {"button", "Addbtn", "Add to list"},
        {"button", "Installbtn", "Install Highlighted"},
        {"button", "Closebtn", "Close"},
        {"group", "Localgb", "1. Server Programs"},
        {"group", "Newgb", "2. To be installed"},
        {"label", "RefreshLnk", "Refresh"},
        {"label", "SelectAllLnk", "Select All"},
        {"label", "DeleteLnk", "Delete"},
        {"label", "VersionLab", installer::versionlabeltext()},
        {"label", "Serverfolderlab", server()},
        {"listview", "Serverlv", "Name|Date"},
        {"listview", "Locallv", "Program|Date"},
    };
    for (const Record& r : captured) {
        QString text;
        EXPECT_TRUE(file.readrecord(QLatin1String(r.kind), QLatin1String(r.name), text)) << r.name;
        EXPECT_EQ(text, r.text) << r.name;
    }
    QString none;
    EXPECT_FALSE(file.readrecord(QStringLiteral("label"), QStringLiteral("Installinglab"), none));  // empty
    EXPECT_FALSE(file.readrecord(QStringLiteral("edit"), QStringLiteral("FilterEd"), none));  // not captured

    // A translator's German file, made from the default one; the folder
    // label still holds the folder of the run it was captured in.
    vek::langfiledefn de(files());
    ASSERT_TRUE(de.readlangfile(QStringLiteral("Installfm"), QStringLiteral("de")));
    for (const QString& line : file.langrecords.lines())
        de.langrecords.setrecord(line.left(line.indexOf(u'=')), line.mid(line.indexOf(u'=') + 1));
    de.writerecord(QStringLiteral("button"), QStringLiteral("Installbtn"), QStringLiteral("Markierte installieren"));
    de.writerecord(QStringLiteral("button"), QStringLiteral("Addbtn"), QStringLiteral("Zur Liste"));
    de.writerecord(QStringLiteral("group"), QStringLiteral("Localgb"), QStringLiteral("1. Server-Programme"));
    de.writerecord(QStringLiteral("listview"), QStringLiteral("Serverlv"), QStringLiteral("Name|Datum"));
    de.writerecord(QStringLiteral("label"), QStringLiteral("Serverfolderlab"), QStringLiteral("/elsewhere/"));
    ASSERT_TRUE(de.savefile());
    const QByteArray german = readFile(langFile("de"));
    form.reset();

    ASSERT_TRUE(vek::setcurrentlanguage(QStringLiteral("de")).ok());
    TInstallfm& again = open();
    EXPECT_EQ(again.Installbtn->caption(), "Markierte installieren");
    EXPECT_EQ(again.Addbtn->caption(), "Zur Liste");
    EXPECT_EQ(again.Localgb->caption(), "1. Server-Programme");
    EXPECT_EQ(headings(again.Serverlv), QStringList({"Name", "Datum"}));
    EXPECT_EQ(again.Newgb->caption(), "2. To be installed");  // not translated: as captured
    // What the run settles when the window is shown stands over what was captured.
    EXPECT_EQ(again.Serverfolderlab->caption(), server());
    EXPECT_EQ(again.VersionLab->caption(), installer::versionlabeltext());
    EXPECT_EQ(readFile(langFile("de")), german);  // an apply never writes
}

TEST_F(InstallerLanguage, WithoutALanguageTheWindowKeepsItsOwnTextsAndMakesNoFolder)
{
    ASSERT_TRUE(vek::setcurrentlanguage(QString()).ok());
    TInstallfm& f = open();
    EXPECT_EQ(f.Installbtn->caption(), "Install Highlighted");
    EXPECT_EQ(headings(f.Serverlv), QStringList({"Name", "Date"}));
    EXPECT_FALSE(QFileInfo::exists(files() + "lang_files"));
}

TEST_F(InstallerLanguage, ALanguageWithoutAFileLeavesTheWindowAsItIs)
{
    ASSERT_TRUE(vek::setcurrentlanguage(QStringLiteral("fr")).ok());
    TInstallfm& f = open();
    EXPECT_EQ(f.Installbtn->caption(), "Install Highlighted");
    EXPECT_EQ(f.Serverfolderlab->caption(), server());
    EXPECT_FALSE(QFileInfo::exists(langFile("fr")));  // an apply makes no file
}

// A refused LANGUAGE= code is reported over the window, once it stands, not
// over a cover in the screen's corner before it exists; the window keeps its
// own texts. An accepted one is the language in use.
TEST_F(InstallerLanguage, ARefusedLanguageCodeIsReportedOverTheWindow)
{
    vek::UnattendedScope attended{false};
    QRect cover;
    QString said;
    QRect window;
    dialogtesting::whenvisible<vek::TVekDialogFrm>([&](vek::TVekDialogFrm* dialog) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* overlay = qobject_cast<vek::TBlockFrm*>(w); overlay && overlay->isVisible())
                cover = overlay->geometry();
        }
        said = dialog->messageStr();
        window = form ? form->geometry() : QRect();
        dialogtesting::click(dialog, "OK");
    });
    TInstallfm& f = open({"LANGUAGE=../x"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty(); }, 3000));
    EXPECT_TRUE(said.contains("../x")) << said.toStdString();
    EXPECT_FALSE(window.isEmpty());
    EXPECT_EQ(cover, window) << "the cover lies over the window";
    EXPECT_EQ(vek::currentlanguage(), QString());
    EXPECT_EQ(f.Installbtn->caption(), "Install Highlighted");

    form.reset();
    open({"LANGUAGE=de"});
    EXPECT_EQ(vek::currentlanguage(), "de");
}

}  // namespace
