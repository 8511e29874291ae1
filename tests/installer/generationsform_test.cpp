// The generations window: what it lists, and "Restore" driven as a user would.
#include "dialogs/answerseam.h"
#include "installer/generationsform.h"
#include "lib/generations.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace installer;

using testsupport::readFile;
using testsupport::writeFile;

namespace {

QString md5Of(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex());
}

QString gen(const QString& local, int n)
{
    return vek::generationname(local + "Stock.exe", n);
}

}  // namespace

TEST(GenerationsWindow, ListsTheCurrentFileAndEveryPositionNewestFirstWithGapsAsGaps)
{
    const testsupport::InstallFolders dir;
    writeFile(dir.local() + "Stock.exe", "v4");
    writeFile(gen(dir.local(), 1), "v3");
    writeFile(gen(dir.local(), 3), "v1");
    TGenerationsfm form(dir.local(), "Stock.exe", md5Of);
    ASSERT_EQ(form.Generationslv->count(), 11);
    const QStringList labels = {"current", ".X01", ".X02", ".X03", ".X04"};
    for (int i = 0; i < labels.size(); ++i)
        EXPECT_EQ(form.Generationslv->item(i)->caption(), labels[i]);
    EXPECT_EQ(form.Generationslv->item(0)->subItem(1), "2");
    EXPECT_EQ(form.Generationslv->item(0)->subItem(2), md5Of(dir.local() + "Stock.exe"));
    EXPECT_EQ(form.Generationslv->item(0)->subItem(2),
              QString::fromLatin1(QCryptographicHash::hash("v4", QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(form.Generationslv->item(2)->subItem(0), kMissingText);
    EXPECT_EQ(form.Generationslv->item(10)->subItem(0), kMissingText);
    EXPECT_FALSE(form.Restorebtn->isEnabled());  // nothing chosen yet

    form.Generationslv->item(0)->setSelected(true);
    EXPECT_FALSE(form.Restorebtn->isEnabled());  // the current file is current already
    form.Generationslv->clearSelection();
    form.Generationslv->item(2)->setSelected(true);
    EXPECT_FALSE(form.Restorebtn->isEnabled());  // a gap
    form.Generationslv->clearSelection();
    form.Generationslv->item(3)->setSelected(true);
    EXPECT_TRUE(form.Restorebtn->isEnabled());
}

TEST(GenerationsWindow, RestoreAsksAndPutsTheChosenGenerationBack)
{
    const testsupport::InstallFolders dir;
    writeFile(dir.local() + "Stock.exe", "v3");
    writeFile(gen(dir.local(), 1), "v2");
    writeFile(gen(dir.local(), 2), "v1");
    TGenerationsfm form(dir.local(), "Stock.exe", md5Of);
    form.show();

    form.Generationslv->item(2)->setSelected(true);
    {
        vek::ScriptedAnswers answers{platform::mrNo};
        QTest::mouseClick(form.Restorebtn, Qt::LeftButton);
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].message, "Make .X02 the current Stock.exe? The current file becomes .X01.");
        EXPECT_EQ(readFile(dir.local() + "Stock.exe"), "v3");
    }
    {
        vek::ScriptedAnswers answers{platform::mrYes};
        QTest::mouseClick(form.Restorebtn, Qt::LeftButton);
        EXPECT_EQ(answers.shown().size(), 1);
    }
    EXPECT_EQ(readFile(dir.local() + "Stock.exe"), "v1");
    EXPECT_EQ(readFile(gen(dir.local(), 1)), "v3");
    EXPECT_EQ(readFile(gen(dir.local(), 2)), "v2");
    EXPECT_EQ(readFile(gen(dir.local(), 3)), "v1");
    // The list shows the folder as it stands now.
    EXPECT_EQ(form.Generationslv->item(0)->subItem(2), md5Of(dir.local() + "Stock.exe"));
    EXPECT_EQ(form.Generationslv->item(3)->subItem(1), "2");
}

// With all ten backups there, the restore shifts the oldest off the end: the
// question names it before the user agrees, and No keeps every file.
TEST(GenerationsWindow, TheQuestionNamesTheBackupAFullChainLoses)
{
    const testsupport::InstallFolders dir;
    writeFile(dir.local() + "Stock.exe", "current");
    for (int n = 1; n <= vek::kGenerationCount; ++n)
        writeFile(gen(dir.local(), n), QByteArray("v") + QByteArray::number(n));
    TGenerationsfm form(dir.local(), "Stock.exe", md5Of);
    form.show();
    const QString oldestDate = form.Generationslv->item(10)->subItem(0);

    form.Generationslv->item(3)->setSelected(true);
    {
        vek::ScriptedAnswers answers{platform::mrNo};
        QTest::mouseClick(form.Restorebtn, Qt::LeftButton);
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].message,
                  "Make .X03 the current Stock.exe? The current file becomes .X01.\n"
                  "The oldest backup, .X10 of "
                      + oldestDate + ", is deleted.");
    }
    EXPECT_EQ(readFile(gen(dir.local(), 10)), "v10");
    EXPECT_EQ(readFile(dir.local() + "Stock.exe"), "current");

    // A gap at the end: nothing is lost, and the question says no more.
    ASSERT_TRUE(QFile::remove(gen(dir.local(), 10)));
    form.RefreshList();
    form.Generationslv->item(3)->setSelected(true);
    vek::ScriptedAnswers answers{platform::mrNo};
    QTest::mouseClick(form.Restorebtn, Qt::LeftButton);
    ASSERT_EQ(answers.shown().size(), 1);
    EXPECT_EQ(answers.shown()[0].message, "Make .X03 the current Stock.exe? The current file becomes .X01.");
}
