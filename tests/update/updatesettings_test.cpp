// The updater's settings and the pieces of its notices.
#include "lib/folders.h"
#include "platform/fileapi.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"
#include "update/base64.h"
#include "update/updateservice.h"
#include "update/updatesettings.h"

#include <gtest/gtest.h>

using namespace vek;

TEST(UpdateSettings, DefaultsNameNoRealHostAndTheFileOverridesEachKey)
{
    const testsupport::ScratchDir dir;
    const testsupport::RunArgumentsScope args(
        {dir.file(QStringLiteral("TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir.path()});
    UpdateSettings s = readupdatesettings();
    EXPECT_EQ(updateserviceaddress(s), "https://update.invalid/cgi-bin/vekinstaller/vekwscgi.exe/soap");
    EXPECT_EQ(s.siteDomain, "update.invalid");
    EXPECT_EQ(s.sender, "updates@update.invalid");

    ASSERT_EQ(platform::createFolders(configfolder()), 0);
    platform::IniFile ini(updatesettingsfile());
    ASSERT_EQ(ini.writeString(kUpdateSection, kWebHostKey, " vendor.test:8443 "), 0);
    ASSERT_EQ(ini.writeString(kUpdateSection, kSenderKey, ""), 0);
    s = readupdatesettings();
    EXPECT_EQ(updateserviceaddress(s), "https://vendor.test:8443/cgi-bin/vekinstaller/vekwscgi.exe/soap");
    EXPECT_EQ(s.sender, "updates@update.invalid") << "an empty key keeps its default";
    ASSERT_EQ(ini.writeString(kUpdateSection, kWebHostKey, "http://127.0.0.1:8080/"), 0);
    EXPECT_EQ(readupdatesettings().hostaddress("https://"), "http://127.0.0.1:8080") << "a scheme is kept";
}

TEST(UpdateNotices, Base64HasNoFillAndNoLineBreaks)
{
    const struct {
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {"", ""}, {"a", "YQ"}, {"ab", "YWI"}, {"abc", "YWJj"}, {"\xfb\xff", "+/8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base64nofill(c.bytes), QString::fromLatin1(c.expected));
    const QByteArray many(1000, 'x');
    const QString encoded = base64nofill(many);
    EXPECT_FALSE(encoded.contains(u'\n'));
    EXPECT_EQ(QByteArray::fromBase64(encoded.toLatin1()), many);
}

TEST(UpdateNotices, TheBodyJoinsItsLinesWithBreaksAndTheLogDropsTheSecrets)
{
    EXPECT_EQ(noticebodytext({"one", "", "three"}), "one<br><br>three");
    const QStringList parameters{"HSD=010324", "user=VekInstaller", "password=x", "Email=a", "Subject=b", "From=c"};
    EXPECT_EQ(loggableparameters(parameters), (QStringList{"Email=a", "Subject=b", "From=c"}));
    const QString argument = noticeargument(parameters, {"é"});
    EXPECT_EQ(argument, "HSD=010324&user=VekInstaller&password=x&Email=a&Subject=b&From=c&body64=6Q");
}
