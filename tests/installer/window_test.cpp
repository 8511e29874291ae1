// The installer window driven as a user would: on the offscreen platform, with
// the message dialogs answered from a script.
#include "dialogs/answerseam.h"
#include "installer/TessarineInstallu.h"
#include "installer/commandline.h"
#include "installer/makeindex.h"
#include "installer/unattendedrun.h"
#include "lib/fileops.h"
#include "lib/generations.h"
#include "localescope.h"
#include "nginxserver.h"
#include "platform/errortext.h"
#include "platform/faultinjection.h"
#include "platform/winerror.h"
#include "stateguards.h"
#include "testsupport.h"
#include "web/serverindexfetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

using namespace installer;
using platform::TListItem;
using platform::TListView;

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

// Each row as its caption and its date, sorted.
QStringList rowsWithDates(const TListView* lv)
{
    QStringList out;
    for (const TListItem* row : lv->rows())
        out.append(row->caption() + " | " + row->subItems().value(0));
    out.sort();
    return out;
}

QStringList captions(const TListView* lv)
{
    QStringList out;
    for (const TListItem* row : lv->rows())
        out.append(row->caption());
    return out;
}

int checkedCount(const TListView* lv)
{
    int n = 0;
    for (const TListItem* row : lv->rows())
        n += row->checked() ? 1 : 0;
    return n;
}

void setTime(const QString& path, const QDateTime& when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(when, QFileDevice::FileModificationTime);
}

class InstallerWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(server());
        QDir().mkpath(local());
        for (const char* name : {"b.dll", "a.exe", "c.ocx", "z.exe", ".hidden.exe", "notes.txt"})
            writeFile(server() + name, QByteArray("build of ") + name);
        setTime(server() + "a.exe", QDateTime(QDate(2024, 9, 5), QTime(14, 3, 22)));
        setTime(server() + "c.ocx", QDateTime(QDate(2024, 9, 6), QTime(0, 0, 0)));
    }
    void TearDown() override { form.reset(); }

    QString server() const { return dir.path() + "server/"; }
    QString local() const { return dir.path() + "local/"; }

    // Opens the window with these run parameters and lets its start-up run.
    TInstallfm& open(const QStringList& args)
    {
        // The data folder, where the window keeps its place, in the scratch folder.
        const QStringList all
            = QStringList{dir.path() + "app/TessarineInstaller"} + args + QStringList{"LOCALFOLDER=" + dir.path()};
        runArgs.set(all);  // the program's own folder is read from item 0
        request = installer::parseRunRequest(all);
        form = std::make_unique<TInstallfm>(request);
        form->show();
        QCoreApplication::processEvents();  // the settling step runs once the window is up
        return *form;
    }
    TInstallfm& openListed()
    {
        TInstallfm& f = open({"SERVER=" + server(), "LOCAL=" + local()});
        // The half second before the listing is the layout test's; here the list is wanted at once.
        f.Timer1->setInterval(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.Serverlv->count() > 0; }, 3000));
        return f;
    }
    void highlight(TListView* lv, std::initializer_list<int> rows)
    {
        lv->clearSelection();
        for (int r : rows)
            lv->item(r)->setSelected(true);
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2)); }

    ScratchDir dir;
    installer::RunRequest request;
    std::unique_ptr<TInstallfm> form;
    testsupport::LocaleScope snapshot{platform::LocaleFormat{}};
    testsupport::RunArgumentsScope runArgs;
};

}  // namespace

TEST_F(InstallerWindow, StartsWithItsLayoutAndListsTheServerAfterTheTimer)
{
    vek::ScriptedAnswers answers;
    TInstallfm& f = open({"SERVER=" + server(), "LOCAL=" + local()});
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Install New Software  "));
    // The version the build was made as, the same that --version tells.
    EXPECT_EQ(f.VersionLab->caption(), "v" + installer::versionnumber());
    EXPECT_TRUE(installer::versionText().endsWith(" " + installer::versionnumber()));
    EXPECT_EQ(f.Serverfolderlab->caption(), server());
    EXPECT_EQ(f.Localfolderlab->caption(), local());
    EXPECT_TRUE(f.Installinglab->caption().isEmpty());
    EXPECT_FALSE(f.Autolab->isVisible());
    EXPECT_FALSE(f.Closebtn->isVisible());
    EXPECT_FALSE(f.ProgressBar1->isVisible());
    EXPECT_EQ(f.Serverlv->count(), 0);  // nothing before the half second has passed
    EXPECT_TRUE(f.Timer1->enabled());
    EXPECT_EQ(f.Timer1->interval(), 500);

    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Serverlv->count() > 0; }, 3000));
    EXPECT_FALSE(f.Timer1->enabled());
    const QStringList names = captions(f.Serverlv);
    ASSERT_EQ(names.size(), 4);
    EXPECT_EQ(QStringList(names.mid(0, 2)).filter(".exe").size(), 2);  // exe first, in directory order
    EXPECT_EQ(names[2], "c.ocx");
    EXPECT_EQ(names[3], "b.dll");
    const auto a = static_cast<int>(names.indexOf("a.exe"));  // one of the four names above
    EXPECT_EQ(f.Serverlv->item(a)->subItems(), QStringList{"05/09/2024 14:03:22"});
    EXPECT_EQ(f.Serverlv->item(2)->subItems(), QStringList{"06/09/2024"});  // midnight: the date alone
    EXPECT_EQ(checkedCount(f.Serverlv), 0);
    EXPECT_TRUE(answers.shown().isEmpty());
}

TEST_F(InstallerWindow, HoldsTheProgramUpdaterFromShowingToClosing)
{
    vek::ScriptedAnswers answers;
    TInstallfm& f = open({"SERVER=" + server(), "LOCAL=" + local()});
    ASSERT_NE(f.newobj, nullptr);
    const vek::tnewsoftware* made = f.newobj.get();
    EXPECT_TRUE(made->toinstalllist.isEmpty());
    EXPECT_FALSE(made->debug);
    f.FormShow();  // shown again: the same updater
    EXPECT_EQ(f.newobj.get(), made);
    f.close();
    EXPECT_EQ(f.newobj, nullptr);
    // The run's DEBUG reaches the updater it holds.
    EXPECT_TRUE(open({"SERVER=" + server(), "LOCAL=" + local(), "DEBUG"}).newobj->debug);
}

TEST_F(InstallerWindow, TheFilterRebuildsOnEveryKeyAndRefreshListsEverything)
{
    TInstallfm& f = openListed();
    QTest::keyClicks(f.FilterEd, " EXE ");
    EXPECT_EQ(f.Serverlv->count(), 2);
    QTest::keyClicks(f.FilterEd, "\b\b\b\b\bOC");
    f.FilterEd->setText(" oc");
    QTest::keyClick(f.FilterEd, Qt::Key_Shift);  // any key release applies the filter
    EXPECT_EQ(captions(f.Serverlv), QStringList{"c.ocx"});
    click(f.RefreshLnk);
    EXPECT_EQ(f.Serverlv->count(), 4);
    EXPECT_EQ(f.FilterEd->text(), " oc");
}

// A server folder that can no longer be read is no empty catalogue: the refresh
// says why the list is empty, once, and the filter typed over it says nothing more.
TEST_F(InstallerWindow, ARefreshOfAServerFolderThatCannotBeReadSaysWhy)
{
    TInstallfm& f = openListed();
    ASSERT_TRUE(QDir().rename(server(), dir.path() + "moved/"));
    vek::ScriptedAnswers answers{1, 1};
    click(f.RefreshLnk);
    EXPECT_EQ(f.Serverlv->count(), 0);
    ASSERT_EQ(answers.shown().size(), 1);
    EXPECT_EQ(answers.shown()[0].message,
              vek::kUnreadableFolder.arg(server(), platform::errorText(platform::winerr::PathNotFound)));
    QTest::keyClicks(f.FilterEd, "exe");
    EXPECT_EQ(answers.shown().size(), 1);
    ASSERT_TRUE(QDir().rename(dir.path() + "moved/", server()));
    click(f.RefreshLnk);
    EXPECT_EQ(f.Serverlv->count(), 4);
    EXPECT_EQ(answers.shown().size(), 1);
}

TEST_F(InstallerWindow, TickingAddingAndDeleting)
{
    TInstallfm& f = openListed();
    click(f.InvertLnk);
    EXPECT_EQ(checkedCount(f.Serverlv), 4);
    click(f.InvertLnk);
    EXPECT_EQ(checkedCount(f.Serverlv), 0);
    f.Serverlv->item(0)->setChecked(true);
    f.Serverlv->item(2)->setChecked(true);
    click(f.InvertLnk);
    EXPECT_EQ(checkedCount(f.Serverlv), 2);
    click(f.SelectAllLnk);
    EXPECT_EQ(checkedCount(f.Serverlv), 4);
    click(f.InvertLnk);

    f.Serverlv->item(0)->setChecked(true);
    f.Serverlv->item(2)->setChecked(true);
    QTest::mouseClick(f.Addbtn, Qt::LeftButton);
    QTest::mouseClick(f.Addbtn, Qt::LeftButton);
    EXPECT_EQ(f.Locallv->count(), 4);
    EXPECT_EQ(checkedCount(f.Serverlv), 2);  // ticks stay
    EXPECT_EQ(f.Locallv->item(1)->caption(), "c.ocx");
    EXPECT_EQ(f.Locallv->item(1)->subItems(), f.Serverlv->item(2)->subItems());

    // No, the close box, then Yes: only Yes deletes the highlighted rows.
    for (const int answer : {7, 2}) {
        vek::ScriptedAnswers answers{answer};
        highlight(f.Locallv, {0, 3});
        click(f.DeleteLnk);
        EXPECT_EQ(f.Locallv->count(), 4);
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].message, "Are you sure?");
        EXPECT_EQ(answers.shown()[0].defaultButton, vek::mbNo);
    }
    vek::ScriptedAnswers yes{6};
    const QString kept1 = f.Locallv->item(1)->caption(), kept2 = f.Locallv->item(2)->caption();
    highlight(f.Locallv, {0, 3});
    click(f.DeleteLnk);
    EXPECT_EQ(captions(f.Locallv), (QStringList{kept1, kept2}));
}

TEST_F(InstallerWindow, HeaderClicksSortOneWayThenTheOther)
{
    TInstallfm& f = openListed();
    f.Serverlv->item(0)->setChecked(true);
    const QString ticked = f.Serverlv->item(0)->caption();
    QSignalSpy spy(f.Serverlv, &TListView::columnClicked);
    QHeaderView* header = f.Serverlv->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(f.SortDir1);
    EXPECT_EQ(captions(f.Serverlv), (QStringList{"z.exe", "c.ocx", "b.dll", "a.exe"}));
    f.ServerlvColumnClick(0);
    EXPECT_FALSE(f.SortDir1);
    EXPECT_EQ(captions(f.Serverlv), (QStringList{"a.exe", "b.dll", "c.ocx", "z.exe"}));
    // Whole rows move: the tick goes with its row.
    for (const TListItem* row : f.Serverlv->rows())
        EXPECT_EQ(row->checked(), row->caption() == ticked);
    EXPECT_FALSE(f.SortDir2);
}

TEST_F(InstallerWindow, InstallHighlightedInstallsOnlyTheHighlightedRows)
{
    TInstallfm& f = openListed();
    writeFile(local() + "a.exe", "old a");
    click(f.SelectAllLnk);
    QTest::mouseClick(f.Addbtn, Qt::LeftButton);
    f.LocallvColumnClick(0);  // descending: z, c, b, a
    f.LocallvColumnClick(0);  // ascending: a, b, c, z
    highlight(f.Locallv, {0, 2});
    vek::ScriptedAnswers answers;
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    EXPECT_TRUE(answers.shown().isEmpty());
    EXPECT_EQ(readFile(local() + "a.exe"), "build of a.exe");
    EXPECT_EQ(readFile(vek::generationname(local() + "a.exe", 1)), "old a");
    EXPECT_EQ(readFile(local() + "c.ocx"), "build of c.ocx");
    EXPECT_FALSE(QFile::exists(local() + "b.dll"));
    EXPECT_EQ(f.Locallv->count(), 4);  // the local list stays as it was
    EXPECT_EQ(f.Locallv->selectedRows().size(), 2);
    EXPECT_EQ(checkedCount(f.Serverlv), 0);  // the server list was rebuilt without ticks
    EXPECT_TRUE(f.Installbtn->isEnabled());
    EXPECT_FALSE(f.ProgressBar1->isVisible());
    EXPECT_TRUE(f.Installinglab->caption().isEmpty());

    // Nothing highlighted, then an empty list: nothing is copied.
    f.Locallv->clearSelection();
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    f.Locallv->clearItems();
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    EXPECT_EQ(testsupport::entries(local()), (QStringList{"a.exe", "a.exe.X01", "c.ocx"}));
    EXPECT_TRUE(answers.shown().isEmpty());
}

TEST_F(InstallerWindow, AFailedInstallShowsItsCodeAndLeavesTheFolderAsItWas)
{
    TInstallfm& f = openListed();
    writeFile(local() + "a.exe", "old a");
    writeFile(vek::generationname(local() + "a.exe", 1), "older a");
    f.Locallv->addItem("gone.exe");
    f.Locallv->addItem("a.exe");
    f.Locallv->addItem("../escape.exe");
    highlight(f.Locallv, {0, 1, 2});
    // The local folder refuses every rename (a read-only folder, also for root).
    vek::ScriptedAnswers answers{1, 1, 1};
    {
        const testsupport::FaultScope fault;
        platform::injectFault(platform::FaultOp::Rename, 1, EACCES);
        QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    }
    const QList<vek::ShownMessage> shown = answers.shown();
    ASSERT_EQ(shown.size(), 3);
    // The code stays the first line, for the scripts that look for it; the
    // second says which program, which file and why.
    EXPECT_EQ(shown[0].message,
              "Install error code:2\ngone.exe: could not read the server file " + server()
                  + "gone.exe (the file does not exist)");
    EXPECT_EQ(shown[1].message,
              "Install error code:5\na.exe: could not move the backup " + local() + "a.exe.X01 (access denied)");
    EXPECT_EQ(shown[2].message, "Could not install ../escape.exe");
    EXPECT_EQ(shown[0].kind, vek::mtWarning);
    EXPECT_TRUE(shown[0].title.isEmpty());
    EXPECT_EQ(testsupport::entries(local()), (QStringList{"a.exe", "a.exe.X01"}));
    EXPECT_EQ(readFile(local() + "a.exe"), "old a");
    EXPECT_EQ(readFile(vek::generationname(local() + "a.exe", 1)), "older a");
}

// The program body runs the unattended install; the window shows it: the
// program in bold at the top, its one row, the bar while it is copied, its
// warnings, and it closes when the run is over.
TEST_F(InstallerWindow, AnUnattendedRunInstallsItsProgramAndCloses)
{
    vek::ScriptedAnswers answers;
    TInstallfm& f = open({"SERVER=" + server(), "LOCAL=" + local(), "INSTALL=a.exe"});
    EXPECT_FALSE(f.Addbtn->isEnabled());
    EXPECT_FALSE(f.Installbtn->isEnabled());
    EXPECT_FALSE(f.Timer1->enabled());  // the window lists nothing: it only shows the run
    bool barShown = false;
    QObject::connect(f.ProgressBar1, &QProgressBar::valueChanged, &f,
                     [&] { barShown |= f.ProgressBar1->isVisible() && f.Autolab->isVisible(); });
    EXPECT_EQ(installer::rununattended(request, f), 0);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(barShown);
    EXPECT_EQ(f.Autolab->caption(), "a.exe");
    EXPECT_EQ(captions(f.Locallv), QStringList{"a.exe"});
    EXPECT_EQ(f.Serverlv->count(), 0);
    EXPECT_EQ(readFile(local() + "a.exe"), "build of a.exe");
    EXPECT_TRUE(answers.shown().isEmpty());
}

TEST_F(InstallerWindow, AnUnattendedRunThatCannotInstallFailsItsExitStatus)
{
    vek::ScriptedAnswers answers{1};
    TInstallfm& f = open({"SERVER=" + server(), "LOCAL=" + local(), "INSTALL=missing.exe"});
    EXPECT_NE(installer::rununattended(request, f), 0);
    EXPECT_FALSE(f.isVisible());
    ASSERT_EQ(answers.shown().size(), 1);
    EXPECT_TRUE(answers.shown()[0].message.startsWith("Install error code:2\nmissing.exe: "));
}

TEST_F(InstallerWindow, AMissingServerFolderIsReportedAndNothingIsListed)
{
    const QString missing = dir.path() + "nowhere/";
    {
        // The unattended window stays open with both buttons disabled.
        vek::ScriptedAnswers answers{1};
        TInstallfm& f = open({"SERVER=" + missing, "LOCAL=" + local(), "INSTALL=a.exe"});
        EXPECT_TRUE(answers.shown().isEmpty());  // the run reports it, not the window
        EXPECT_NE(installer::rununattended(request, f), 0);
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].message, "Missing server folder " + missing);
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.Timer1->enabled());
        EXPECT_FALSE(f.Addbtn->isEnabled());
        EXPECT_FALSE(f.Installbtn->isEnabled());
        EXPECT_EQ(f.Locallv->count(), 0);
    }
    {
        // An interactive window says so itself, and lists nothing.
        vek::ScriptedAnswers answers{1};
        TInstallfm& f = open({"SERVER=" + missing, "LOCAL=" + local()});
        ASSERT_EQ(answers.shown().size(), 1);
        EXPECT_EQ(answers.shown()[0].message, "Missing server folder " + missing);
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.Timer1->enabled());
    }
}

TEST_F(InstallerWindow, TheServerFolderComesFromTheStartIniWithoutSERVER)
{
    const testsupport::EnvironmentScope profile("ALLUSERSPROFILE", dir.path().toUtf8() + "profile");
    {
        vek::ScriptedAnswers answers{1};
        TInstallfm& f = open({});
        ASSERT_EQ(answers.shown().size(), 1);
        // The first line as ever, then where to name a server folder.
        const QStringList lines = answers.shown()[0].message.split('\n');
        EXPECT_EQ(lines.first(), "Missing server folder ");
        const QString hint = lines.mid(1).join('\n');
        EXPECT_TRUE(hint.contains(dir.path() + "profile/TessarineStart.ini, section [Config], key Folder"))
            << hint.toStdString();
        EXPECT_TRUE(hint.contains("SERVER=")) << hint.toStdString();
        EXPECT_EQ(f.Localfolderlab->caption(), dir.path() + "app/");  // the program's folder
    }
    QDir().mkpath(dir.path() + "profile");
    QString serverNoSep = server();
    serverNoSep.chop(1);
    writeFile(dir.path() + "profile/TessarineStart.ini", ("[Config]\r\nFolder=" + serverNoSep + "\r\n").toUtf8());
    {
        vek::ScriptedAnswers answers;
        TInstallfm& f = open({});
        EXPECT_EQ(f.Serverfolderlab->caption(), server());
        f.Timer1->setInterval(0);  // the start delay is the layout test's
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.Serverlv->count() == 4; }, 3000));
        EXPECT_TRUE(answers.shown().isEmpty());
    }
    // A SERVER value is taken as written.
    TInstallfm& f = open({"SERVER=" + serverNoSep});
    EXPECT_EQ(f.Serverfolderlab->caption(), serverNoSep);
}

TEST_F(InstallerWindow, TwoRowsOfOneProgramInstallItOnce)
{
    TInstallfm& f = openListed();
    writeFile(local() + "a.exe", "old a");
    for (int n = 1; n <= 10; ++n)
        writeFile(vek::generationname(local() + "a.exe", n), "gen " + QByteArray::number(n));
    f.Locallv->addItem("a.exe");
    f.Locallv->addItem("c.ocx");
    f.Locallv->addItem("a.exe");
    highlight(f.Locallv, {0, 1, 2});
    vek::ScriptedAnswers answers;
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    EXPECT_TRUE(answers.shown().isEmpty());
    EXPECT_EQ(readFile(local() + "a.exe"), "build of a.exe");
    // One shift of the chain: the oldest real generation is still there.
    EXPECT_EQ(readFile(vek::generationname(local() + "a.exe", 1)), "old a");
    EXPECT_EQ(readFile(vek::generationname(local() + "a.exe", 10)), "gen 9");
}

TEST_F(InstallerWindow, EscapeLeavesTheMainWindowOpen)
{
    TInstallfm& f = openListed();
    f.Locallv->addItem("a.exe");
    for (QWidget* w : {static_cast<QWidget*>(f.FilterEd), static_cast<QWidget*>(f.Locallv),
                       static_cast<QWidget*>(f.Serverlv), static_cast<QWidget*>(&f)}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible()) << w->objectName().toStdString();
    }
    EXPECT_EQ(f.Locallv->count(), 1);
    f.close();  // the close box still closes it
    EXPECT_FALSE(f.isVisible());
}

TEST_F(InstallerWindow, ALargeCopyKeepsTheWindowDrawnAndAnswering)
{
    TInstallfm& f = openListed();
    QByteArray big(40 * 1024 * 1024, 'x');
    writeFile(server() + "big.exe", big);
    f.Locallv->addItem("big.exe");
    highlight(f.Locallv, {0});

    struct Seen {
        int position;
        QString label;
        bool buttonEnabled;
    };
    QList<Seen> seen;
    bool eventRanDuringCopy = false;
    QObject::connect(f.ProgressBar1, &QProgressBar::valueChanged, &f, [&](int value) {
        seen.append({value, f.Installinglab->caption(), f.Installbtn->isEnabled()});
        // Posted while the copy runs; it runs before the copy ends only if the
        // window's events are let through between the chunks.
        if (value > 0 && value < f.ProgressBar1->maximum() && !QFile::exists(local() + "big.exe"))
            QTimer::singleShot(0, &f, [&] { eventRanDuringCopy |= !QFile::exists(local() + "big.exe"); });
    });
    vek::ScriptedAnswers answers;
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    EXPECT_TRUE(answers.shown().isEmpty());
    EXPECT_EQ(QFileInfo(local() + "big.exe").size(), big.size());
    EXPECT_TRUE(eventRanDuringCopy);
    // The bar filled in steps while the one program was copied, with its name
    // shown and the button disabled all the while.
    int midCopy = 0;
    for (const Seen& s : seen) {
        if (s.position > 0 && s.position < f.ProgressBar1->maximum()) {
            ++midCopy;
            EXPECT_EQ(s.label, "big.exe");
            EXPECT_FALSE(s.buttonEnabled);
        }
    }
    EXPECT_GE(midCopy, 3);
}

TEST_F(InstallerWindow, AServerFolderOnAWebServerListsAndInstallsAsTheFolderItself)
{
    ASSERT_EQ(installer::makeserverindex(server()).code, 0);
    const QStringList folderRows = rowsWithDates(openListed().Serverlv);
    form.reset();
    webtest::NginxServer nginx(server());
    ASSERT_TRUE(nginx.start()) << nginx.errorLog().toStdString();

    vek::ScriptedAnswers answers;
    TInstallfm& f = open({"SERVER=" + nginx.url(), "LOCAL=" + local()});
    f.Timer1->setInterval(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Serverlv->count() > 0; }, 10000));
    EXPECT_EQ(rowsWithDates(f.Serverlv), folderRows);
    EXPECT_EQ(f.Serverfolderlab->caption(), nginx.url());
    QTest::keyClicks(f.FilterEd, " EXE ");
    EXPECT_EQ(captions(f.Serverlv), (QStringList{"a.exe", "z.exe"}));
    f.FilterEd->clear();
    click(f.RefreshLnk);
    EXPECT_EQ(rowsWithDates(f.Serverlv), folderRows);

    writeFile(local() + "a.exe", "old a");
    click(f.SelectAllLnk);
    QTest::mouseClick(f.Addbtn, Qt::LeftButton);
    f.LocallvColumnClick(0);
    f.LocallvColumnClick(0);  // ascending: a, b, c, z
    highlight(f.Locallv, {0, 3});
    QTest::mouseClick(f.Installbtn, Qt::LeftButton);
    EXPECT_TRUE(answers.shown().isEmpty());
    EXPECT_EQ(readFile(local() + "a.exe"), "build of a.exe");
    EXPECT_EQ(readFile(vek::generationname(local() + "a.exe", 1)), "old a");
    EXPECT_EQ(readFile(local() + "z.exe"), "build of z.exe");
    EXPECT_EQ(testsupport::entries(local()), (QStringList{"a.exe", "a.exe.X01", "z.exe"}));
    EXPECT_EQ(rowsWithDates(f.Serverlv), folderRows);
}

TEST_F(InstallerWindow, AWebServerWithoutAnIndexIsReportedAndNothingIsListed)
{
    webtest::NginxServer nginx(server());
    ASSERT_TRUE(nginx.start()) << nginx.errorLog().toStdString();
    vek::ScriptedAnswers answers{1};
    TInstallfm& f = open({"SERVER=" + nginx.url(), "LOCAL=" + local()});
    f.Timer1->setInterval(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.shown().isEmpty(); }, 10000));
    EXPECT_TRUE(answers.shown()[0].message.startsWith(vek::kMissingServerIndex + nginx.url("TessarineIndex.txt")))
        << answers.shown()[0].message.toStdString();
    EXPECT_EQ(f.Serverlv->count(), 0);
}
