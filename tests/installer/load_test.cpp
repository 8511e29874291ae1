// The installer under load: many programs in one run, and a server folder that
// changes while it is listed.
#include "dialogs/answerseam.h"
#include "installer/TessarineInstallu.h"
#include "lib/fileops.h"
#include "lib/generations.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace installer;

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

TEST(InstallerLoad, TwoHundredProgramsInOneInstallRun)
{
    const testsupport::InstallFolders dir;
    const QString server = dir.server(), local = dir.local();
    constexpr int kPrograms = 200;
    auto name
        = [](int i) { return QStringLiteral("p%1.%2").arg(i, 3, 10, QLatin1Char('0')).arg(i % 3 ? "exe" : "dll"); };
    for (int i = 0; i < kPrograms; ++i) {
        writeFile(server + name(i), "new " + QByteArray::number(i));
        // Every third program is installed already, some with a full chain.
        if (i % 3 == 0)
            writeFile(local + name(i), "old " + QByteArray::number(i));
        if (i % 30 == 0) {
            for (int n = 1; n <= 10; ++n)
                writeFile(vek::generationname(local + name(i), n), "gen " + QByteArray::number(n));
        }
    }

    const QStringList args{dir.path() + "TessarineInstaller", "SERVER=" + server, "LOCAL=" + local,
                           "LOCALFOLDER=" + dir.path()};
    const testsupport::RunArgumentsScope runArgs(args);
    vek::ScriptedAnswers answers;
    TInstallfm form(installer::parseRunRequest(args));
    form.Timer1->setInterval(0);  // the start delay is the window test's
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Serverlv->count() == kPrograms; }, 5000));
    form.SelectAllLnkClick();
    form.AddbtnClick();
    form.Locallv->selectAll();
    form.InstallbtnClick();
    EXPECT_TRUE(answers.shown().isEmpty());

    for (int i = 0; i < kPrograms; ++i) {
        const QString current = local + name(i);
        EXPECT_EQ(readFile(current), "new " + QByteArray::number(i)) << i;
        if (i % 3 == 0)
            EXPECT_EQ(readFile(vek::generationname(current, 1)), "old " + QByteArray::number(i)) << i;
        else
            EXPECT_FALSE(QFile::exists(vek::generationname(current, 1))) << i;
        if (i % 30 == 0) {
            for (int n = 2; n <= 10; ++n)
                EXPECT_EQ(readFile(vek::generationname(current, n)), "gen " + QByteArray::number(n - 1))
                    << i << ' ' << n;
        }
    }
    const int chains = (kPrograms + 29) / 30;
    const int installedBefore = (kPrograms + 2) / 3;
    EXPECT_EQ(testsupport::entries(local).size(), kPrograms + installedBefore + chains * 9);
}

TEST(InstallerLoad, ListingAFolderThatChangesMeanwhileListsNoEntryTwice)
{
    ScratchDir dir;
    constexpr int kEntries = 20000;
    for (int i = 0; i < kEntries; ++i)
        writeFile(dir.path() + QStringLiteral("f%1.exe").arg(i), QByteArray());

    // Meanwhile a second thread renames files back and forth, and adds and removes others.
    std::atomic<bool> stop{false};
    std::atomic<int> changes{0};
    std::thread churn([&] {
        int i = 0;
        while (!stop.load()) {
            const QByteArray a = (dir.path() + QStringLiteral("f%1.exe").arg(i % kEntries)).toUtf8();
            const QByteArray b = (dir.path() + QStringLiteral("g%1.exe").arg(i % kEntries)).toUtf8();
            if (std::rename(a.constData(), b.constData()) == 0)
                std::rename(b.constData(), a.constData());
            const QByteArray extra = (dir.path() + QStringLiteral("new%1.exe").arg(i % 500)).toUtf8();
            if (std::FILE* f = std::fopen(extra.constData(), "w"))
                std::fclose(f);
            std::remove(extra.constData());
            i += 7919;
            changes.fetch_add(1);
        }
    });

    int listings = 0;
    for (; listings < 20; ++listings) {
        QStringList names, sizes, dates;
        EXPECT_EQ(vek::findfiles(dir.path(), "*.exe", &names, &sizes, &dates), 0);
        EXPECT_EQ(sizes.size(), names.size());
        EXPECT_EQ(dates.size(), names.size());
        const QSet<QString> unique(names.begin(), names.end());
        EXPECT_EQ(unique.size(), names.size()) << "listing " << listings;
        EXPECT_GT(names.size(), kEntries - 100);
    }
    stop = true;
    churn.join();
    EXPECT_GT(changes.load(), 0);
    std::printf("%d listings of %d entries while %d changes ran\n", listings, kEntries, changes.load());
}
