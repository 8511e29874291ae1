// What the windows show of signatures where the start ini file names keys:
// the catalogue greys the programs an install would refuse, with the reason
// as tooltip; the generations window tells which generations were installed
// verified. Keys and signatures are made by the real minisign.
#include "installer/TessarineInstallu.h"
#include "installer/generationsform.h"
#include "installer/installprogram.h"
#include "installer/makeindex.h"
#include "installer/unattendedrun.h"
#include "lib/folders.h"
#include "lib/generations.h"
#include "lib/stamps.h"
#include "localescope.h"
#include "nginxserver.h"
#include "signing.h"
#include "stateguards.h"
#include "testsupport.h"
#include "trust/minisign.h"
#include "web/serverindexfetch.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using testsupport::SignForm;
using testsupport::SigningKey;
using testsupport::writeFile;

namespace {

class SignedWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(key.made() && otherKey.made()) << "minisign could not make a key";
        QDir().mkpath(dir.path() + "profile");
        testsupport::namekeys(dir.path() + "profile/" + vek::kStartIniName, {key.publicKeyLine()});
    }
    QString server() const { return dir.server(); }
    QString local() const { return dir.local(); }
    void serve(const QString& name, qint64 timestamp, const SigningKey& signer, const QString& signedAs = {})
    {
        const QString as = signedAs.isEmpty() ? name : signedAs;
        writeFile(server() + as, "build of " + name.toUtf8());
        ASSERT_TRUE(signer.sign(server() + as, SignForm::Prehashed, testsupport::trustedcomment(timestamp, as)));
        if (as != name) {
            QFile::rename(server() + as, server() + name);
            QFile::rename(server() + as + ".minisig", server() + name + ".minisig");
        }
    }

    // The installer window on `serverFolder`, once its catalogue lists `rows` programs.
    std::unique_ptr<installer::TInstallfm> openWindow(const QString& serverFolder, int rows)
    {
        const QStringList all{dir.path() + "app/TessarineInstaller", "SERVER=" + serverFolder, "LOCAL=" + local(),
                              "LOCALFOLDER=" + dir.path()};
        runArgs.set(all);
        auto form = std::make_unique<installer::TInstallfm>(installer::parseRunRequest(all));
        form->show();
        QCoreApplication::processEvents();
        form->Timer1->setInterval(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->Serverlv->count() == rows; }, 10000));
        return form;
    }
    // Each catalogue row's tooltip is the one expected of its program (none:
    // not greyed), and a row is greyed exactly when it has one.
    static void expectTooltips(const installer::TInstallfm& form, const QMap<QString, QString>& expected)
    {
        const QAbstractItemModel* model = form.Serverlv->model();
        for (int i = 0; i < form.Serverlv->count(); ++i) {
            const QString name = form.Serverlv->item(i)->caption();
            SCOPED_TRACE(name.toStdString());
            const QString tip = model->index(i, 0).data(Qt::ToolTipRole).toString();
            EXPECT_EQ(tip, expected.value(name));
            EXPECT_EQ(model->flags(model->index(i, 0)).testFlag(Qt::ItemIsEnabled), tip.isEmpty());
        }
    }

    testsupport::InstallFolders dir;
    testsupport::EnvironmentScope allUsers{"ALLUSERSPROFILE", dir.path().toUtf8() + "profile"};
    testsupport::LocaleScope locale{platform::LocaleFormat{}};
    testsupport::RunArgumentsScope runArgs;
    SigningKey key;
    SigningKey otherKey;
};

TEST_F(SignedWindows, TheCatalogueGreysWhatWouldBeRefusedWithTheReasonAsTooltip)
{
    // The installed Older.exe was signed later than the server's.
    serve("Older.exe", 200, key);
    ASSERT_EQ(installer::installprogram(server(), local(), "Older.exe", {}, installer::settledsignaturepolicy({})).code,
              0);
    serve("Older.exe", 100, key);
    serve("Good.exe", 300, key);
    serve("Other.exe", 300, otherKey);
    serve("Renamed.exe", 300, key, "Payroll.exe");
    writeFile(server() + "Unsigned.exe", "unsigned");

    const std::unique_ptr<installer::TInstallfm> window = openWindow(server(), 5);
    installer::TInstallfm& form = *window;

    const QMap<QString, QString> expected{
        {"Good.exe", ""},
        {"Other.exe",
         "Install refused: signed with an unknown key, key id "
             + trust::keyIdText(trust::parsePublicKey(otherKey.publicKeyLine())->id)},
        {"Renamed.exe", "Install refused: signed as Payroll.exe"},
        {"Older.exe",
         "Install refused: older than the installed one: signed 1970-01-01 00:01:40 UTC, the installed one "
         "1970-01-01 00:03:20 UTC; ALLOWOLDER=1 installs it"},
        {"Unsigned.exe", "Install refused: not signed: there is no Unsigned.exe.minisig beside it"},
    };
    expectTooltips(form, expected);
    // "Select all" ticks only what can be installed.
    form.SelectAllLnkClick();
    for (const platform::TListItem* row : form.Serverlv->rows())
        EXPECT_EQ(row->checked(), row->caption() == "Good.exe") << row->caption().toStdString();
}

TEST_F(SignedWindows, TheGenerationsWindowTellsWhichGenerationsWereInstalledVerified)
{
    // v1 unsigned before keys were named, then v2 and v3 signed.
    const vek::SignaturePolicy none;
    writeFile(server() + "Stock.exe", "v1");
    ASSERT_TRUE(installer::installprogram(server(), local(), "Stock.exe", {}, none).installed);
    for (const qint64 timestamp : {86400, 2 * 86400}) {
        writeFile(server() + "Stock.exe", "v" + QByteArray::number(timestamp));
        ASSERT_TRUE(
            key.sign(server() + "Stock.exe", SignForm::Prehashed, testsupport::trustedcomment(timestamp, "Stock.exe")));
        ASSERT_TRUE(installer::installprogram(server(), local(), "Stock.exe", {}, installer::settledsignaturepolicy({}))
                        .installed);
    }
    installer::TGenerationsfm form(local(), "Stock.exe", {});
    const auto signature = [&](int row) { return form.Generationslv->item(row)->subItem(3); };
    EXPECT_EQ(signature(0), installer::kVerifiedText.arg(vek::datetext(QDateTime::fromSecsSinceEpoch(2 * 86400))));
    EXPECT_EQ(signature(1), installer::kVerifiedText.arg(vek::datetext(QDateTime::fromSecsSinceEpoch(86400))));
    EXPECT_EQ(signature(2), installer::kNotVerifiedText);
    EXPECT_EQ(form.Generationslv->item(3)->subItem(0), installer::kMissingText);

    // Without a record, as everywhere before signatures were required: nothing said.
    writeFile(local() + "Plain.exe", "plain");
    installer::TGenerationsfm plain(local(), "Plain.exe", {});
    EXPECT_EQ(plain.Generationslv->item(0)->subItem(3), QString());
}

// A server folder on a web server is signed by its index alone: its programs
// have no signatures of their own and are not greyed for it; only a program
// that an index signed earlier than the installed version offers is.
TEST_F(SignedWindows, TheCatalogueOfASignedWebIndexGreysOnlyWhatIsOlderThanInstalled)
{
    const QString index = server() + vek::kServerIndexName;
    const auto publish = [&](qint64 timestamp) {
        ASSERT_EQ(installer::makeserverindex(server()).code, 0);
        ASSERT_TRUE(
            key.sign(index, SignForm::Prehashed, testsupport::trustedcomment(timestamp, vek::kServerIndexName)));
    };
    writeFile(server() + "Older.exe", "build of Older.exe");
    writeFile(server() + "Good.exe", "build of Good.exe");
    webtest::NginxServer nginx(server());
    ASSERT_TRUE(nginx.start()) << nginx.errorLog().toStdString();
    publish(200);
    ASSERT_EQ(
        installer::installprogram(nginx.url(), local(), "Older.exe", {}, installer::settledsignaturepolicy({})).code,
        0);
    publish(100);

    const std::unique_ptr<installer::TInstallfm> window = openWindow(nginx.url(), 2);
    expectTooltips(
        *window,
        {
            {"Good.exe", ""},
            {"Older.exe",
             "Install refused: older than the installed one: signed 1970-01-01 00:01:40 UTC, the installed one "
             "1970-01-01 00:03:20 UTC; ALLOWOLDER=1 installs it"},
        });
}

}  // namespace
