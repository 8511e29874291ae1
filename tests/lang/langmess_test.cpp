// The front of the language files: screen names, language codes, messages.
#include "fixturefiles.h"
#include "lang/langcode.h"
#include "lang/langmess.h"
#include "lang/langstate.h"
#include "langguards.h"
#include "langtestform.h"
#include "libguards.h"
#include "platform/winerror.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using langtest::LangTestForm;
using testsupport::LangStateScope;
using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;
using vek::langmessdefn;

constexpr bool kCapture = true;
constexpr bool kApply = false;

class LangMessTest : public ::testing::Test {
protected:
    LangMessTest() { vek::setlangformnames({}); }
    QString base() const { return dir.path() + QStringLiteral("files/"); }
    QString langFile(const char* name) const { return base() + QStringLiteral("lang_files/") + QLatin1String(name); }
    void install(const char* name)
    {
        ASSERT_TRUE(QDir().mkpath(base() + QStringLiteral("lang_files")));
        writeFile(langFile(name), readFile(testsupport::fixtureFile(QStringLiteral("lang/") + QLatin1String(name))));
    }
    // Every file below the scratch folder, by its path inside it.
    QStringList filesBelow() const
    {
        QStringList out;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out.append(it.next().mid(dir.path().size()));
        out.sort();
        return out;
    }

    LangStateScope langState;
    ScratchDir dir;
    LangTestForm form;
};

TEST(MessageKey, MarksAndSeparatorsBecomeUnderscores)
{
    struct Case {
        const char* text;
        const char* key;
    };
    const Case cases[] = {
        {"&Save as:", "Save_as_"},
        {"  Delete all? \t", "Delete_all?"},
        {"Path=C:\\Data/Files", "Path_C__Data_Files"},
        {"Say \"yes\" or 'no'", "Say__yes__or__no_"},
        {"R&&D", "RD"},
        {"First\r\nSecond", "First__Second"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vek::messagekey(QString::fromUtf8(c.text)), QString::fromUtf8(c.key)) << c.text;
}

TEST_F(LangMessTest, AnAppliedScreenTranslatesItsMessages)
{
    install("de_Langtestfm.lang");
    langmessdefn lang(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("de"), kApply);
    QString s = QStringLiteral("&Save as:");
    lang.findmessage(s);
    EXPECT_EQ(s, "&Save as:");  // no screen parsed yet: no records

    ASSERT_TRUE(lang.doscreenparse(&form));
    EXPECT_EQ(form.Okbtn->caption(), "Gut");
    lang.findmessage(s);
    EXPECT_EQ(s, "Speichern unter:");
    s = QStringLiteral("Not translated");
    lang.findmessage(s);
    EXPECT_EQ(s, "Not translated");

    // A question with its title after "|": the question alone is looked up.
    lang.readmessage(s, QStringLiteral("Save as:|Saving"));
    EXPECT_EQ(s, "Speichern unter:");
    lang.readmessage(s, QStringLiteral("Really quit?|Leaving"));
    EXPECT_EQ(s, "Really quit?");
    lang.readmessage(s, QStringLiteral("No title"));
    EXPECT_EQ(s, "No title");
    EXPECT_FALSE(lang.done());  // an apply never writes
}

TEST_F(LangMessTest, ACaptureRecordsMessagesThatDoneSaves)
{
    install("de_Langtestfm.lang");
    const QByteArray before = readFile(langFile("de_Langtestfm.lang"));
    {
        langmessdefn lang(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("de"), kCapture);
        ASSERT_TRUE(lang.doscreenparse(&form));
        QString s = QStringLiteral("&Save as:");
        lang.findmessage(s);  // translated already: stays as it is
        EXPECT_EQ(s, "&Save as:");
        s = QStringLiteral("Install error code:");
        lang.findmessage(s);
        lang.writemessage(QStringLiteral("Missing server folder "), QStringLiteral("Serverordner fehlt"));
        // Destroyed without done(): the file stays as the capture wrote it.
    }
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), before);

    langmessdefn lang(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("de"), kCapture);
    ASSERT_TRUE(lang.doscreenparse(&form));
    QString s = QStringLiteral("Install error code:");
    lang.findmessage(s);
    lang.writemessage(QStringLiteral("Missing server folder "), QStringLiteral("Serverordner fehlt"));
    ASSERT_TRUE(lang.done());
    const QByteArray after = readFile(langFile("de_Langtestfm.lang"));
    EXPECT_TRUE(after.contains("\r\nmessage_Install_error_code_=Install error code:\r\n"
                               "message_Missing_server_folder=Serverordner fehlt\r\n"
                               "message_Save_as_=Speichern unter:\r\n"));
}

TEST_F(LangMessTest, AScreenKeepsTheNameItsFileWasFirstOpenedUnder)
{
    langmessdefn first(&form, base(), QStringLiteral("Mainscreen"), QString(), kCapture);
    EXPECT_EQ(first.aformname, "Mainscreen");
    EXPECT_EQ(first.alangcode, "Default");
    EXPECT_EQ(first.langrec->langfilename, langFile("Default_Mainscreen.lang"));
    EXPECT_EQ(vek::langformnames(), QStringList({"Langtestfm=Mainscreen"}));

    // Opened again under its component name, it finds the first file.
    langmessdefn again(&form, base(), QStringLiteral("LANGTESTFM"), QStringLiteral("de"), kApply);
    EXPECT_EQ(again.aformname, "Mainscreen");
    EXPECT_EQ(again.langrec->langfilename, langFile("de_Mainscreen.lang"));

    // An unnamed component or none adds nothing; the list stays sorted.
    QObject unnamed;
    langmessdefn loose(&unnamed, base(), QStringLiteral("Loosefm"), QString(), kApply);
    langmessdefn none(nullptr, base(), QStringLiteral("Nonefm"), QString(), kApply);
    QObject other;
    other.setObjectName(QStringLiteral("Aboutfm"));
    langmessdefn about(&other, base(), QStringLiteral("Aboutfm"), QString(), kApply);
    EXPECT_EQ(vek::langformnames(), QStringList({"Aboutfm=Aboutfm", "Langtestfm=Mainscreen"}));
    EXPECT_FALSE(none.doscreenparse(nullptr));
}

TEST(LangCode, OnlyLettersDigitsDashAndUnderscoreUpTo35Characters)
{
    struct Case {
        QString code;
        bool taken;
    };
    const Case cases[] = {
        {QString(), true},
        {QStringLiteral("de"), true},
        {QStringLiteral("pt-BR"), true},
        {QStringLiteral("zh_Hans_2"), true},
        {QString(35, u'a'), true},
        {QString(36, u'a'), false},
        {QStringLiteral("../../x"), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("de/x"), false},
        {QStringLiteral("de\\x"), false},
        {QStringLiteral("de x"), false},
        {QStringLiteral("de."), false},
        {QStringLiteral("fran\u00e7ais"), false},
        {QStringLiteral("de\n"), false},
    };
    for (const Case& c : cases) {
        const platform::Result<void> checked = vek::checklangcode(c.code);
        EXPECT_EQ(checked.ok(), c.taken) << c.code.toStdString();
        if (!c.taken) {
            EXPECT_EQ(checked.code(), platform::winerr::InvalidName) << c.code.toStdString();
            EXPECT_TRUE(checked.message().endsWith(c.code)) << checked.message().toStdString();
        }
    }
    EXPECT_EQ(vek::checklangcode(QString(36, u'a')).message(), vek::kLongLangCode + QString(36, u'a'));
    EXPECT_EQ(vek::checklangcode(QStringLiteral("../x")).message(), vek::kBadLangCode + QStringLiteral("../x"));
}

// A code becomes part of a file name: "../../x" would put the file two folders
// above the language folder. Such a code is refused, says why, and nothing is
// made, written or remembered.
TEST_F(LangMessTest, ACodeThatWouldLeaveTheLanguageFolderIsRefusedAndChangesNothing)
{
    const QString deep = dir.path() + QStringLiteral("a/b/files/");
    ASSERT_TRUE(QDir().mkpath(deep));
    const QStringList before = filesBelow();
    const QStringList codes = {QStringLiteral("../../x"), QStringLiteral("../x"), QStringLiteral("x/../../y")};
    for (const QString& code : codes) {
        langmessdefn capture(&form, deep, QStringLiteral("Langtestfm"), code, kCapture);
        EXPECT_TRUE(capture.refused());
        EXPECT_EQ(capture.errorstr, vek::kBadLangCode + code);
        EXPECT_FALSE(capture.doscreenparse(&form));
        QString s = QStringLiteral("Message");
        capture.findmessage(s);
        EXPECT_FALSE(capture.done());
        EXPECT_EQ(filesBelow(), before) << code.toStdString();
        EXPECT_FALSE(QDir(deep + QStringLiteral("lang_files")).exists());
        EXPECT_TRUE(vek::langformnames().isEmpty());
    }
    // The file object itself refuses them too, whoever calls it.
    vek::langfiledefn file(deep);
    for (const QString& code : codes) {
        EXPECT_FALSE(file.makelangrecords(QStringLiteral("Langtestfm"), code, &form));
        EXPECT_EQ(file.errorstr, vek::kBadLangCode + code);
        EXPECT_TRUE(file.langfilename.isEmpty());
        EXPECT_FALSE(file.loadlangrecords(QStringLiteral("Langtestfm"), code, &form));
        EXPECT_FALSE(file.readlangfile(QStringLiteral("Langtestfm"), code));
        EXPECT_EQ(filesBelow(), before) << code.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("a/x_Langtestfm.lang")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("a/b/x_Langtestfm.lang")));
    EXPECT_EQ(form.Titlelab->caption(), "Title");
}

TEST_F(LangMessTest, TheLanguageInUseTakesOnlyCodesThatNameAFile)
{
    EXPECT_TRUE(vek::setcurrentlanguage(QStringLiteral("de")).ok());
    EXPECT_EQ(vek::currentlanguage(), "de");
    EXPECT_EQ(vek::setcurrentlanguage(QStringLiteral("../../x")).message(),
              vek::kBadLangCode + QStringLiteral("../../x"));
    EXPECT_EQ(vek::currentlanguage(), "de");
    EXPECT_TRUE(vek::setcurrentlanguage(QString()).ok());
    EXPECT_EQ(vek::currentlanguage(), "");
}

// A capture that parsed no screen reads the file before it adds a message:
// done() saves every record the file held with the new one, never the
// message alone.
TEST_F(LangMessTest, MessagesOfACaptureWithoutAScreenJoinTheFilesRecords)
{
    install("de_Langtestfm.lang");
    const QByteArray before = readFile(langFile("de_Langtestfm.lang"));
    {
        langmessdefn lang(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("de"), kCapture);
        lang.writemessage(QStringLiteral("Missing server folder "), QStringLiteral("Serverordner fehlt"));
        QString s = QStringLiteral("Install error code:");
        lang.findmessage(s);
        ASSERT_TRUE(lang.done()) << lang.errorstr.toStdString();
    }
    const QByteArray after = readFile(langFile("de_Langtestfm.lang"));
    for (const QByteArray& line : before.mid(3).split('\n')) {
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(after.contains(line)) << line.toStdString();
        }
    }
    EXPECT_TRUE(after.contains("\r\nmessage_Install_error_code_=Install error code:\r\n"));
    EXPECT_TRUE(after.contains("\r\nmessage_Missing_server_folder=Serverordner fehlt\r\n"));

    // Records that were never read are never saved over a file.
    vek::langfiledefn file(base());
    file.langfilename = langFile("de_Langtestfm.lang");
    file.writerecord(QStringLiteral("label"), QStringLiteral("Titlelab"), QStringLiteral("Alone"));
    EXPECT_FALSE(file.savefile());
    EXPECT_EQ(file.errorstr, vek::kUnreadLangFile + langFile("de_Langtestfm.lang"));
    EXPECT_EQ(readFile(langFile("de_Langtestfm.lang")), after);
}

// A language code is matched without regard to letter case; the file keeps
// the spelling it was made with.
TEST_F(LangMessTest, CodesMatchWithoutRegardToLetterCase)
{
    install("de_Langtestfm.lang");
    {
        langmessdefn apply(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("DE"), kApply);
        EXPECT_EQ(apply.langrec->langfilename, langFile("de_Langtestfm.lang"));
        ASSERT_TRUE(apply.doscreenparse(&form));
        EXPECT_EQ(form.Okbtn->caption(), "Gut");
    }
    form.Okbtn->setCaption(QStringLiteral("OK"));
    form.setObjectName(QStringLiteral("Langtestfm"));
    ASSERT_TRUE(vek::setcurrentlanguage(QStringLiteral("De")).ok());
    testsupport::FilesFolderScope filesFolder;
    {
        // The language in use, as LANGUAGE= sets it, applied from the shared files folder.
        testsupport::RunArgumentsScope args({dir.path() + QStringLiteral("TessarineInstaller")});
        filesFolder.reset();
        EXPECT_TRUE(vek::applycurrentlanguage(&form));
        EXPECT_EQ(form.Okbtn->caption(), "Gut");
    }
    langmessdefn capture(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("DE"), kCapture);
    ASSERT_TRUE(capture.doscreenparse(&form));
    EXPECT_FALSE(QFileInfo::exists(langFile("DE_Langtestfm.lang")));
    EXPECT_EQ(QDir(base() + QStringLiteral("lang_files")).entryList(QDir::Files), QStringList{"de_Langtestfm.lang"});
    // A code with no file in any case names the file as written.
    langmessdefn other(&form, base(), QStringLiteral("Langtestfm"), QStringLiteral("FR"), kApply);
    EXPECT_EQ(other.langrec->langfilename, langFile("FR_Langtestfm.lang"));
}

}  // namespace
