// The installer window's form services, driven as a user would on the
// offscreen platform: it remembers its place, scales, and has the right-click
// menu on itself and its lists.
#include "chart/kwchart.h"
#include "dialogs/answerseam.h"
#include "dialogs/dialogtesting.h"
#include "formguards.h"
#include "forms/fontcolour.h"
#include "forms/formmenu.h"
#include "forms/formmenuseam.h"
#include "forms/formresizer.h"
#include "forms/formstate.h"
#include "installer/TessarineInstallu.h"
#include "installer/generationsform.h"
#include "lib/fields.h"
#include "lib/generations.h"
#include "lib/textlists.h"
#include "localescope.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/tstdctrls.h"
#include "platform/inifile.h"
#include "pythoncsv.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

using installer::TInstallfm;
using platform::TListView;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

// The window on a scratch server and local folder, its data folder in the
// scratch folder too, on one 1920 x 1080 screen with a 40-pixel panel.
class InstallerWindowMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(server());
        QDir().mkpath(local());
        for (const QString& name :
             {QStringLiteral("setup.exe"), QStringLiteral("Łódź tool.exe"), QStringLiteral("a,b.dll"),
              QStringLiteral("viewer.ocx"), QStringLiteral("Quote\"Name.dll")})
            writeFile(server() + name, "build");
    }
    void TearDown() override { form.reset(); }

    QString server() const { return dir.path() + "server/"; }
    QString local() const { return dir.path() + "local/"; }

    // Opens the window as the program does, waits for its first activation
    // and for the server list.
    TInstallfm& open()
    {
        const QStringList args{dir.path() + "app/TessarineInstaller", "SERVER=" + server(), "LOCAL=" + local(),
                               "LOCALFOLDER=" + dir.path()};
        runArgs.set(args);
        form = std::make_unique<TInstallfm>(installer::parseRunRequest(args));
        form->Timer1->setInterval(0);  // the start delay is the window test's; here the list is wanted at once
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->Serverlv->count() == 5; }, 3000));
        return *form;
    }
    // Closes the window with its close box, as a user ends the program.
    void closeWindow()
    {
        form->close();
        form.reset();
    }
    // A right click on the list's rows: the menu opens and the user picks `caption`.
    void rightClickAndChoose(TListView* list, QPoint at, const QString& caption)
    {
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &click);
        vek::TFormResizer* resizer = form->FormResizer;
        ASSERT_NE(resizer, nullptr);
        ASSERT_TRUE(resizer->Popup()->isVisible());
        resizer->Popup()->close();
        for (QAction* item : resizer->Popup()->actions()) {
            if (item->text() == caption)
                return item->trigger();
        }
        FAIL() << "no item " << caption.toStdString();
    }
    QString settingsPath() const { return dir.path() + "Quorvane/TessarineInstallerdefaults.ini"; }

    ScratchDir dir;
    std::unique_ptr<TInstallfm> form;
    testsupport::LocaleScope snapshot{platform::LocaleFormat{}};
    testsupport::RunArgumentsScope runArgs;
    testsupport::ActiveResizerScope active;
    testsupport::ScreenMetricsScope screens{
        {[](const QWidget*) { return QRect(0, 0, 1920, 1040); }, [] { return QRect(0, 0, 1920, 1080); }, {}}};
    vek::UnattendedScope attended{false};
};

QStringList captionsOf(const QMenu* menu)
{
    QStringList out;
    for (const QAction* item : menu->actions())
        out.append(item->text());
    return out;
}

}  // namespace

TEST_F(InstallerWindowMenu, TheFirstActivationGivesTheWindowItsResizerAndMenu)
{
    TInstallfm& f = open();
    ASSERT_NE(f.FormResizer, nullptr);
    EXPECT_EQ(vek::activeresizer(), f.FormResizer);
    EXPECT_EQ(captionsOf(f.FormResizer->Popup()),
              (QStringList{"Set Font", "Restore Font", "Reset Screen", "Copy Caption", "Make chart", "Save Listview",
                           installer::kBackupGenerationsItem, "Exit"}));
    for (QWidget* w : {static_cast<QWidget*>(&f), static_cast<QWidget*>(f.Serverlv), static_cast<QWidget*>(f.Locallv)})
        EXPECT_EQ(w->contextMenuPolicy(), Qt::CustomContextMenu) << w->objectName().toStdString();
    // A later activation keeps the same resizer.
    vek::TFormResizer* first = f.FormResizer;
    f.FormActivate();
    EXPECT_EQ(f.FormResizer, first);
    // The window scales: twice as wide, the server list twice as wide.
    const int listWidth = f.Serverlv->width();
    const QSize size = f.size();
    f.resize(size.width() * 2, size.height());
    EXPECT_NEAR(f.Serverlv->width(), listWidth * 2, 1);
}

TEST_F(InstallerWindowMenu, SaveListviewOnTheServerListIsReadBackCellForCell)
{
    TInstallfm& f = open();
    const QString file = dir.path() + "servers.CSV";
    QString suggested;
    vek::FormMenuScope seam({{},
                             [&](QWidget*, const QString&, const QString&, const QString& name) {
                                 suggested = name;
                                 return file;
                             },
                             {}});
    rightClickAndChoose(f.Serverlv, QPoint(10, 10), vek::kSaveListviewCaption);
    EXPECT_EQ(suggested, QStringLiteral("Install_New_Software__.CSV"));

    QList<QStringList> expected{{"Name", "Date"}};
    for (const platform::TListItem* row : f.Serverlv->rows())
        expected.append({row->caption(), row->subItem(0)});
    const QList<QStringList> cells = testsupport::readByPython(file);
    if (cells.isEmpty())
        GTEST_SKIP() << "python3 is needed to read the file as scripts do";
    EXPECT_EQ(cells, expected);
    // The rows hold a name outside the code page and one holding the delimiter.
    auto listed = [&expected](const QString& name) {
        return std::any_of(expected.begin(), expected.end(), [&](const QStringList& r) { return r.first() == name; });
    };
    EXPECT_TRUE(listed(QStringLiteral("Łódź tool.exe")));
    EXPECT_TRUE(listed(QStringLiteral("a,b.dll")));
    EXPECT_TRUE(listed(QStringLiteral("Quote\"Name.dll")));
}

TEST_F(InstallerWindowMenu, MakeChartOpensTheChartMakerOnTheServerList)
{
    TInstallfm& f = open();
    QList<kwchart::ChartBar> bars;
    dialogtesting::whenvisible<kwchart::Tkwchartfm>([&](kwchart::Tkwchartfm* window) {
        EXPECT_EQ(window->worklistview, f.Serverlv);
        EXPECT_EQ(window->worktitlestr, QStringLiteral("Install New Software  "));
        window->Xlb->setItemIndex(1);  // by date: all five built together
        QTest::mouseClick(window->Makebtn, Qt::LeftButton);
        bars = kwchart::chartbars(window->Chart1->chart());
        QTest::mouseClick(window->Closebtn, Qt::LeftButton);
    });
    rightClickAndChoose(f.Serverlv, QPoint(10, 10), vek::kMakeChartCaption);
    ASSERT_EQ(bars.size(), 1);
    EXPECT_EQ(bars[0].value, 5);
}

TEST_F(InstallerWindowMenu, TheWindowComesBackWhereItWasClosed)
{
    TInstallfm& f = open();
    // A first start: the design size scaled towards 90% of the work area, centred.
    const QSize frame = f.frameGeometry().size() - f.size();
    const vek::FormGeometry first = vek::defaultGeometry(QSize(788, 441) + frame, QRect(0, 0, 1920, 1040));
    EXPECT_EQ(f.frameGeometry(), QRect(first.left, first.top, first.width, first.height));

    f.move(120, 80);
    f.resize(1000, 640);
    const QRect placed = f.frameGeometry();
    const int listWidth = f.Serverlv->width();
    const int dateWidth = f.Serverlv->columnWidth(1);
    closeWindow();
    const platform::IniFile ini(settingsPath());
    EXPECT_EQ(ini.readInt("Installfm", "LastLeft", -1), placed.left());
    EXPECT_EQ(ini.readInt("Installfm", "LastWidth", -1), placed.width());

    TInstallfm& again = open();
    EXPECT_EQ(again.frameGeometry(), placed);
    EXPECT_EQ(again.Serverlv->width(), listWidth);
    EXPECT_NEAR(again.Serverlv->columnWidth(1), dateWidth, 1);

    // "Reset Screen" and a restart: the first start's geometry again.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), again.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&again, &click);
    again.FormResizer->Popup()->close();
    for (QAction* item : again.FormResizer->Popup()->actions()) {
        if (item->text() == vek::kResetScreenCaption)
            item->trigger();
    }
    EXPECT_EQ(again.frameGeometry(), QRect(first.left, first.top, first.width, first.height));
    closeWindow();
    TInstallfm& third = open();
    EXPECT_EQ(third.frameGeometry(), QRect(first.left, first.top, first.width, first.height));
}

// Restore Font on the window's background, like Reset Screen, puts the
// window at its default size and place whatever shape it had, also from
// maximised: one default, whichever road leads to it.
TEST_F(InstallerWindowMenu, EveryRoadToTheDefaultGeometryEndsAtTheSamePlace)
{
    TInstallfm& f = open();
    const QSize frame = f.frameGeometry().size() - f.size();
    const vek::FormGeometry first = vek::defaultGeometry(QSize(788, 441) + frame, QRect(0, 0, 1920, 1040));
    const QRect expected(first.left, first.top, first.width, first.height);
    EXPECT_EQ(f.frameGeometry(), expected);
    auto choose = [&](const QString& caption) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), f.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&f, &click);
        f.FormResizer->Popup()->close();
        for (QAction* item : f.FormResizer->Popup()->actions()) {
            if (item->text() == caption)
                item->trigger();
        }
    };
    for (const QString& caption : {vek::kRestoreFontCaption, vek::kResetScreenCaption}) {
        for (const bool maximise : {false, true}) {
            f.showNormal();
            f.setGeometry(40, 30, 600, 600);
            if (maximise)
                f.showMaximized();
            choose(caption);
            EXPECT_FALSE(f.isMaximized()) << caption.toStdString();
            EXPECT_EQ(f.frameGeometry(), expected) << caption.toStdString() << (maximise ? " from maximised" : "");
        }
    }
}

// Closed maximised, the window comes back maximised with the column shares
// it had, and un-maximised where the user had put it.
TEST_F(InstallerWindowMenu, AWindowClosedMaximisedComesBackWithItsColumnsAndNormalPlace)
{
    TInstallfm& f = open();
    f.setGeometry(100, 80, 900, 600);
    f.Serverlv->setColumnWidth(0, f.Serverlv->width() / 2);
    f.showMaximized();
    ASSERT_TRUE(f.isMaximized());
    const double nameShare = double(f.Serverlv->columnWidth(0)) / f.Serverlv->width();
    const double dateShare = double(f.Serverlv->columnWidth(1)) / f.Serverlv->width();
    EXPECT_NEAR(nameShare, 0.5, 0.01);  // the columns grew with the list
    closeWindow();

    TInstallfm& again = open();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_NEAR(double(again.Serverlv->columnWidth(0)) / again.Serverlv->width(), nameShare, 0.005);
    EXPECT_NEAR(double(again.Serverlv->columnWidth(1)) / again.Serverlv->width(), dateShare, 0.005);
    EXPECT_EQ(again.normalGeometry(), QRect(100, 80, 900, 600));
}

// A first start sizes the date column to the dates (at most its design
// width, scaled) and gives the name column the rest; from then on the columns
// scale with the list.
TEST_F(InstallerWindowMenu, AtTheFirstStartTheColumnsFitWhatTheyShowAndThenFollowTheList)
{
    TInstallfm& f = open();
    TListView* list = f.Serverlv;
    const double widthRatio = double(f.width()) / f.FormResizer->initialOwnerWidth();
    const int date = list->columnWidth(1);
    list->resizeColumnToContents(1);
    const int wholeDates = list->columnWidth(1);
    list->setColumnWidth(1, date);
    EXPECT_GE(date, wholeDates) << "the dates are cut";
    EXPECT_LE(date, std::lround(125 * widthRatio));
    const int inside = list->width() - 2 * list->frameWidth();
    EXPECT_EQ(list->columnWidth(0) + date, inside - 2) << "the name column takes the rest";
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);

    const int name = list->columnWidth(0);
    f.resize(f.width() * 3 / 4, f.height());
    const double scale = double(list->width() - 2 * list->frameWidth()) / inside;
    EXPECT_NEAR(list->columnWidth(0), name * scale, 1);
    EXPECT_NEAR(list->columnWidth(1), date * scale, 1);
}

// The window keeps a size at which every control is still usable.
TEST_F(InstallerWindowMenu, TheWindowCannotBeShrunkBelowAUsableSize)
{
    TInstallfm& f = open();
    f.resize(50, 40);
    EXPECT_EQ(f.size(), f.minimumSize());
    EXPECT_GE(f.minimumWidth(), 500);
    EXPECT_GE(f.minimumHeight(), 300);
    EXPECT_EQ(f.FormResizer->initialOwnerWidth(), 788);  // the design size stands
    for (QWidget* control : f.findChildren<QWidget*>()) {
        // The window's own controls and those of its two group boxes.
        const bool placed = control->parentWidget() == &f
            || (control->parentWidget() && qobject_cast<platform::TGroupBox*>(control->parentWidget()));
        if (!placed || !control->isVisibleTo(&f) || control->isWindow())
            continue;
        const QRect inParent = control->parentWidget()->rect();
        EXPECT_TRUE(inParent.contains(control->geometry())) << control->objectName().toStdString();
        // Its text is not cut at the top or bottom.
        EXPECT_GE(control->height(), QFontMetrics(control->font()).height()) << control->objectName().toStdString();
    }
}

// After a larger font and a translation into longer words, at the design
// size, the size chosen at the start and the smallest size, every label shows
// its text whole inside its container, and a button too narrow for its
// caption says it whole in its tooltip.
TEST_F(InstallerWindowMenu, TextsAreShownWholeAfterAFontChangeAndATranslation)
{
    TInstallfm& f = open();
    const QSize startSize = f.size();
    QFont larger(QStringLiteral("DejaVu Sans"));
    larger.setPointSize(12);
    vek::FormMenuScope seam({[&](QWidget*, const QFont&) { return std::optional<QFont>(larger); }, {}, {}});
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), f.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&f, &click);
    f.FormResizer->Popup()->close();
    for (QAction* item : f.FormResizer->Popup()->actions()) {
        if (item->text() == vek::kSetFontCaption)
            item->trigger();
    }
    auto checkWhole = [](const TInstallfm& w, const std::string& when) {
        for (platform::TLabel* label : w.findChildren<platform::TLabel*>()) {
            if (!label->isVisibleTo(&w) || label->text().isEmpty())
                continue;
            EXPECT_GE(label->width(), label->sizeHint().width())
                << when << ": " << label->objectName().toStdString() << " \"" << label->text().toStdString() << "\"";
            EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()))
                << when << ": " << label->objectName().toStdString() << " leaves its container";
        }
    };
    checkWhole(f, "right after the font change");
    const int design = f.FormResizer->initialOwnerWidth();
    f.resize(design, f.FormResizer->initialOwnerHeight());
    checkWhole(f, "at the design size");

    f.RefreshLnk->setCaption(QStringLiteral("Aktualisieren"));
    f.SelectAllLnk->setCaption(QStringLiteral("Alle auswählen"));
    f.InvertLnk->setCaption(QStringLiteral("Umkehren"));
    f.Installbtn->setCaption(QStringLiteral("Markierte Programme jetzt installieren, mit Sicherungskopien"));
    for (const QSize size : {QSize(design, f.FormResizer->initialOwnerHeight()), startSize, f.minimumSize()}) {
        f.resize(size);
        checkWhole(f, "translated, at " + std::to_string(size.width()) + " pixels wide");
    }
    // At the smallest size the long caption no longer fits its button.
    ASSERT_TRUE(f.Installbtn->captionElided());
    EXPECT_EQ(f.Installbtn->toolTip(), f.Installbtn->caption());
    f.resize(startSize);
    if (!f.Installbtn->captionElided()) {
        EXPECT_TRUE(f.Installbtn->toolTip().isEmpty());
    }
    // The stored font at the next start: the texts take their room at once.
    closeWindow();
    checkWhole(open(), "after a restart");
}

TEST_F(InstallerWindowMenu, BackupGenerationsOfTheHighlightedProgramOpenTheGenerationsWindow)
{
    writeFile(local() + "setup.exe", "v2");
    writeFile(vek::generationname(local() + "setup.exe", 1), "v1");
    TInstallfm& f = open();
    f.Locallv->addItem("setup.exe")->setSelected(true);

    QStringList listed;
    dialogtesting::whenvisible<installer::TGenerationsfm>([&](installer::TGenerationsfm* window) {
        for (int i = 0; i < window->Generationslv->count(); ++i)
            listed.append(window->Generationslv->item(i)->caption() + ' ' + window->Generationslv->item(i)->subItem(2));
        window->Closebtn->click();
    });
    rightClickAndChoose(f.Locallv, QPoint(20, 8), installer::kBackupGenerationsItem);
    ASSERT_EQ(listed.size(), 11);
    // The digests are the family's own (upper-case MD5).
    EXPECT_EQ(listed[0],
              "current "
                  + QString::fromLatin1(QCryptographicHash::hash("v2", QCryptographicHash::Md5).toHex().toUpper()));
    EXPECT_EQ(listed[1],
              ".X01 " + QString::fromLatin1(QCryptographicHash::hash("v1", QCryptographicHash::Md5).toHex().toUpper()));

    // Nothing highlighted: the user is told what to do.
    f.Locallv->clearSelection();
    vek::ScriptedAnswers answers{platform::mrOk};
    rightClickAndChoose(f.Locallv, QPoint(20, 8), installer::kBackupGenerationsItem);
    ASSERT_EQ(answers.shown().size(), 1);
    EXPECT_EQ(answers.shown()[0].message, installer::kChooseProgramFirst);
}

// A font chosen for the server list is its size at the design size: the list
// shows it there, scales it with the window, and shows the same after a
// restart.
TEST_F(InstallerWindowMenu, AChosenListFontIsItsSizeAtTheDesignSizeBeforeAndAfterARestart)
{
    TInstallfm& f = open();
    const QSize startSize = f.size();
    QFont chosen = f.Serverlv->font();
    chosen.setFamily(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(vek::fontpoints(f.Serverlv->font()) + 4);
    vek::FormMenuScope seam({[&](QWidget*, const QFont&) { return std::optional<QFont>(chosen); }, {}, {}});
    rightClickAndChoose(f.Serverlv, QPoint(10, 10), vek::kSetFontCaption);
    const int shownAtStartSize = f.Serverlv->font().pointSize();
    EXPECT_GT(shownAtStartSize, chosen.pointSize());  // the start size is larger than the design size

    f.resize(f.FormResizer->initialOwnerWidth(), f.FormResizer->initialOwnerHeight());
    EXPECT_EQ(f.Serverlv->font().pointSize(), chosen.pointSize());
    f.resize(startSize);
    EXPECT_EQ(f.Serverlv->font().pointSize(), shownAtStartSize);
    closeWindow();

    TInstallfm& again = open();
    ASSERT_EQ(again.size(), startSize);
    EXPECT_EQ(again.Serverlv->font().pointSize(), shownAtStartSize);
    EXPECT_EQ(again.Serverlv->font().family(), chosen.family());
    again.resize(again.FormResizer->initialOwnerWidth(), again.FormResizer->initialOwnerHeight());
    EXPECT_EQ(again.Serverlv->font().pointSize(), chosen.pointSize());
}

// A font chosen for the whole window: every control that follows the
// window's font takes the face at once, the lists too, and the sizes are the
// same before and after a restart.
TEST_F(InstallerWindowMenu, AChosenWindowFontReachesEveryControlAtOnceAndAgainAfterARestart)
{
    TInstallfm& f = open();
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(10);
    vek::FormMenuScope seam({[&](QWidget*, const QFont&) { return std::optional<QFont>(chosen); }, {}, {}});
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), f.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&f, &click);
    f.FormResizer->Popup()->close();
    for (QAction* item : f.FormResizer->Popup()->actions()) {
        if (item->text() == vek::kSetFontCaption)
            item->trigger();
    }
    auto sizes = [](const TInstallfm& w) {
        QList<int> out;
        for (const QWidget* c : {static_cast<const QWidget*>(w.Serverlv), static_cast<const QWidget*>(w.RefreshLnk),
                                 static_cast<const QWidget*>(w.Installbtn), static_cast<const QWidget*>(w.Localgb)}) {
            EXPECT_EQ(c->font().family(), QStringLiteral("DejaVu Serif")) << c->objectName().toStdString();
            out.append(c->font().pointSize());
        }
        return out;
    };
    const QList<int> before = sizes(f);
    closeWindow();
    TInstallfm& again = open();
    EXPECT_EQ(sizes(again), before);
}
