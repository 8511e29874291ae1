// The language editor's machine translation against a translation service
// on 127.0.0.1: one record, a memo, and every row in batches.
#include "translationservice.h"
#include "updlangfixture.h"
#include "web/websettings.h"

#include "platform/inifile.h"

namespace {

using langtest::TranslationService;

class UpdLangTranslateTest : public langtest::UpdLangTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        ASSERT_EQ(platform::IniFile(vek::datafolder() + vek::kProxySettingsName)
                      .writeString(vek::kHostsSection, vek::kTranslateHostKey, service.url()),
                  0);
    }
    void openWithCodes(const QString& name)
    {
        open(name);
        editor.Fromlanged->setText(QStringLiteral("en"));
        editor.ToLanged->setText(QStringLiteral("de"));
    }
    // How many texts a request carried.
    static int textsIn(const QString& request) { return int(request.count(vek::kBatchMarker)); }

    TranslationService service{{{"Save", "Speichern"},
                                {"as", "als"},
                                {"Open", "Oeffnen"},
                                {"now", "jetzt"},
                                {"Item", "Eintrag"},
                                {"Broken", "Kaputt"}}};
};

TEST_F(UpdLangTranslateTest, OneRecordKeepsThePunctuationAroundItsWords)
{
    writeLang("de_Testfm.lang", {"button_Savebtn=&Save as:", "button_Okbtn=OK"});
    open("de_Testfm.lang");
    click(0);
    editor.Googlebtn->click();
    EXPECT_TRUE(service.asked().isEmpty()) << "no codes, no request";

    editor.Fromlanged->setText(QStringLiteral("en"));
    editor.ToLanged->setText(QStringLiteral("de"));
    editor.Googlebtn->click();
    EXPECT_EQ(service.asked(), QStringList{"Save as"});
    EXPECT_EQ(editor.Langcontented->text(), "&Speichern als:");
    EXPECT_EQ(fileLines("de_Testfm.lang")[0], "button_Savebtn=&Save as:") << "saved only by Update";

    click(1);
    editor.Googlebtn->click();
    EXPECT_EQ(editor.Langcontented->text(), "OK") << "the service gave the text back";
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(UpdLangTranslateTest, AMemoIsTranslatedInOneRequestLineForLine)
{
    writeLang("de_Testfm.lang", {"memo_Helpmemo=Open|Save now!"});
    openWithCodes("de_Testfm.lang");
    click(0);
    editor.Googlebtn->click();
    ASSERT_EQ(service.asked(), QStringList{"Open/r/n/Save now/r/n/"});
    EXPECT_EQ(editor.langcontentmemo->lines(), (QStringList{"Oeffnen", "Speichern jetzt"}));

    // A failed request leaves the lines as they were, punctuation and all.
    click(0);
    service.refuseTextsWith(QStringLiteral("Open"));
    editor.Googlebtn->click();
    EXPECT_EQ(editor.langcontentmemo->lines(), (QStringList{"Open", "Save now!"}));
    ASSERT_EQ(warnings.size(), 1);
    // It says that the translation failed, of what, and why.
    EXPECT_EQ(warnings[0],
              "The translation of the 2 lines of the record from en to de failed.\n"
              "Reason: HTTP/1.1 503 Service Unavailable");
}

TEST_F(UpdLangTranslateTest, BulkSendsTenTextsARequestAndAFailedBatchKeepsItsRows)
{
    // 25 single-line rows, the second batch holding a text the service
    // refuses, and a memo row last.
    QStringList lines;
    for (int i = 0; i < 25; ++i) {
        const QString word = i == 14 ? QStringLiteral("Broken") : QStringLiteral("Item");
        lines << QStringLiteral("label_L%1=%2 %3.").arg(i, 2, 10, QChar(u'0')).arg(word).arg(QChar(u'a' + i));
    }
    lines << QStringLiteral("memo_Z=Open|Save");
    writeLang("de_Testfm.lang", lines);
    service.refuseTextsWith(QStringLiteral("Broken"));
    openWithCodes("de_Testfm.lang");

    editor.Bulkbtn->click();

    const QStringList asked = service.asked();
    ASSERT_EQ(asked.size(), 4);
    EXPECT_EQ(textsIn(asked[0]), 10);
    EXPECT_EQ(textsIn(asked[1]), 10);
    EXPECT_EQ(asked[2], "Open/r/n/Save/r/n/") << "the memo row in its turn";
    EXPECT_EQ(textsIn(asked[3]), 5);
    EXPECT_EQ(warnings.size(), 1) << "one warning for the failed request";
    EXPECT_TRUE(warnings.value(0).startsWith("The translation of 10 texts from \"Item k\" on from en to de failed.\n"
                                             "Reason: "))
        << warnings.value(0).toStdString();

    const QStringList saved = fileLines("de_Testfm.lang");
    for (int i = 0; i < 25; ++i) {
        const bool failed = i >= 10 && i < 20;
        const QString text = saved[i].section(u'=', 1);
        EXPECT_EQ(text.startsWith(QStringLiteral("Eintrag ")), !failed) << saved[i].toStdString();
        EXPECT_TRUE(text.endsWith(u'.')) << saved[i].toStdString();
    }
    EXPECT_EQ(saved[14], "label_L14=Broken o.");
    EXPECT_EQ(saved[25], "memo_Z=Oeffnen|Speichern");
    EXPECT_TRUE(editor.Bulkbtn->isEnabled());
    EXPECT_FALSE(editor.Bulkpb->isVisible());
}

TEST_F(UpdLangTranslateTest, BulkWorksOnTheRowsTheFilterShows)
{
    writeLang("de_Testfm.lang", {"button_Openbtn=Open", "button_Savebtn=Save"});
    openWithCodes("de_Testfm.lang");
    editor.FilterEd->setText(QStringLiteral("Save"));
    editor.FilterBtn->click();
    editor.Bulkbtn->click();
    EXPECT_EQ(service.asked(), QStringList{"Save/r/n"});
    EXPECT_EQ(fileLines("de_Testfm.lang"), (QStringList{"button_Openbtn=Open", "button_Savebtn=Speichern"}));
}

// The reply's escapes are decoded: a line break in a translation must not
// become a record of its own, nor may any other control character reach the
// file. A line break is kept as "|", as the editor keeps one.
TEST_F(UpdLangTranslateTest, ATranslationCannotAddARecord)
{
    TranslationService evil{{{"Hello", QStringLiteral("Hallo\nbutton_Installbtn=Evil\r\nlabel_X=Y\u0000\u0007!")}}};
    ASSERT_TRUE(evil.start());
    ASSERT_EQ(platform::IniFile(vek::datafolder() + vek::kProxySettingsName)
                  .writeString(vek::kHostsSection, vek::kTranslateHostKey, evil.url()),
              0);
    writeLang("de_Testfm.lang", {"button_Okbtn=OK", "label_Greetlab=Hello"});
    openWithCodes("de_Testfm.lang");
    editor.Bulkbtn->click();
    const QStringList saved = fileLines("de_Testfm.lang");
    EXPECT_EQ(saved, (QStringList{"button_Okbtn=OK", "label_Greetlab=Hallo|button_Installbtn=Evil|label_X=Y!"}));

    // One record at a time, through Update.
    writeLang("de_Otherfm.lang", {"label_Greetlab=Hello"});
    editor.hide();
    openWithCodes("de_Otherfm.lang");
    click(0);
    editor.Googlebtn->click();
    editor.Langupdbtn->click();
    EXPECT_EQ(fileLines("de_Otherfm.lang"), QStringList{"label_Greetlab=Hallo|button_Installbtn=Evil|label_X=Y!"});
    EXPECT_TRUE(warnings.isEmpty());
}

}  // namespace
