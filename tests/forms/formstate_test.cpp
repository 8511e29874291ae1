// Windows remember their geometry, column widths, pages and fonts in the
// program's settings file, and start at a scaled, centred default size.
#include "forms/fontcolour.h"
#include "forms/formstate.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/faultinjection.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

namespace {

using platform::IniFile;
using platform::TForm;
using vek::FormGeometry;

// The program "TessarineInstaller" with its data folder in a scratch folder,
// on a 1920 x 1080 desktop whose work area leaves 40 pixels for a panel.
class FormStateTest : public ::testing::Test {
protected:
    FormStateTest()
        : args_({QStringLiteral("/opt/tessarine/TessarineInstaller"), QStringLiteral("LOCALFOLDER=") + dir_.path()}),
          screens_(platform::ScreenMetricsOverride{[this](const QWidget*) { return work_; },
                                                   [this] { return desktop_; },
                                                   [this](const QWidget*) { return frame_; }})
    {
        // The data folder is made when it is first asked for, as the program does.
        EXPECT_EQ(vek::settingsFilePath(), settingsPath());
    }

    QString settingsPath() const { return dir_.path() + QStringLiteral("Quorvane/TessarineInstallerdefaults.ini"); }
    IniFile settings() const { return IniFile(settingsPath()); }
    void store(const QString& section, const QString& key, int value)
    {
        IniFile ini = settings();
        ASSERT_EQ(ini.writeInt(section, key, value), 0);
    }
    // The form's outer bounds as the file holds them.
    static FormGeometry boundsOf(const QWidget& form) { return vek::outergeometry(&form); }
    // Places the window by its outer bounds, frame included, as a user drags it.
    static void setOuter(QWidget& form, const FormGeometry& g) { vek::placeouter(&form, g); }
    static void makeForm(TForm& form, int width, int height)
    {
        form.setObjectName(QStringLiteral("Installfm"));
        form.resize(width, height);
    }

    testsupport::ScratchDir dir_;
    testsupport::RunArgumentsScope args_;
    QRect work_{0, 0, 1920, 1040};
    QRect desktop_{0, 0, 1920, 1080};
    // The offscreen platform draws no frame; a window manager's title bar and borders.
    QMargins frame_;
    testsupport::ScreenMetricsScope screens_;
};

TEST(SettingsFile, IsTheProgramNameWithoutFolderAndExtensionThenDefaultsIni)
{
    const struct {
        QString program;
        QString name;
    } cases[] = {
        {QStringLiteral("/opt/tessarine/TessarineInstaller"), QStringLiteral("TessarineInstallerdefaults.ini")},
        {QStringLiteral("C:\\Programs\\TessarineInstaller.exe"), QStringLiteral("TessarineInstallerdefaults.ini")},
        {QStringLiteral("/opt/kw.tools/Report.Maker.exe"), QStringLiteral("Report.Makerdefaults.ini")},
        {QStringLiteral("Installer"), QStringLiteral("Installerdefaults.ini")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vek::settingsFileName(c.program), c.name) << c.program.toStdString();
}

TEST_F(FormStateTest, SettingsFileLiesInTheDataFolder)
{
    EXPECT_EQ(vek::settingsFilePath(), settingsPath());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const struct {
        double x;
        int rounded;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {350.5, 350}, {921.6, 922}, {1.49, 1}, {-0.5, 0}, {-1.5, -2}, {7.0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(vek::roundHalfEven(c.x), c.rounded) << c.x;
}

TEST(DefaultGeometry, ScalesTowardsNinetyPercentOfTheWorkAreaAndCentres)
{
    const struct {
        QSize design;
        QRect work;
        FormGeometry expected;
    } cases[] = {
        // Reference 1152 x 922, scale 1.44.
        {{800, 500}, {0, 0, 1920, 1080}, {384, 180, 1152, 720}},
        // Wider than 1280 makes the reference 1280 x 1024 whatever the height;
        // under 600 pixels wide the scale stops at 1.33; 350.5 rounds to 350.
        {{500, 400}, {0, 0, 1366, 728}, {350, 98, 665, 532}},
        // Larger than the reference: the form shrinks; the top of 100.5 rounds to 100.
        {{1400, 1000}, {0, 0, 1280, 1024}, {64, 100, 1152, 823}},
        // Tall and narrow: the height decides the scale; 220.5 rounds to 220.
        {{700, 2000}, {0, 0, 1024, 700}, {402, 35, 220, 630}},
        // A work area below a panel at the top: centred on the work area.
        {{800, 500}, {0, 32, 1920, 1048}, {384, 196, 1152, 720}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vek::defaultGeometry(c.design, c.work), c.expected)
            << c.design.width() << "x" << c.design.height() << " on " << c.work.width() << "x" << c.work.height();
    }
}

TEST(PullBack, CornersNearTheFarEdgesComeBackOnScreen)
{
    const QRect desktop(0, 0, 1920, 1080);
    const QRect work(0, 0, 1920, 1040);
    const QSize size(800, 600);
    const struct {
        QPoint stored;
        QPoint expected;
    } cases[] = {
        {{100, 1076}, {100, 480}},  // the desktop's bottom, then still below the work area
        {{100, 1050}, {100, 440}},  // the work area's bottom only
        {{100, 1034}, {100, 1034}},  // 6 pixels above: stays
        {{1916, 100}, {1120, 100}},  // the right edge
        {{100, 100}, {100, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vek::pullBack(c.stored, size, desktop, work), c.expected) << c.stored.y();
}

TEST_F(FormStateTest, FirstStartTakesTheDefaultGeometry)
{
    work_ = QRect(0, 0, 1920, 1080);
    TForm form;
    makeForm(form, 800, 500);
    vek::loadformposition(&form);
    EXPECT_EQ(boundsOf(form), (FormGeometry{384, 180, 1152, 720}));
    EXPECT_FALSE(form.isMaximized());
}

TEST_F(FormStateTest, StoredGeometryIsAppliedWhereItLiesOnTheDesktop)
{
    const struct {
        int top, left, height, width, max;
        FormGeometry expected;
        bool maximised;
    } cases[] = {
        {120, 200, 600, 900, 0, {200, 120, 900, 600}, false},
        // Below the work area: pulled back by the work-area rule.
        {1050, 200, 600, 900, 0, {200, 440, 900, 600}, false},
        // A height of 100 or less is not applied, the rest is.
        {120, 200, 100, 900, 0, {200, 120, 900, 500}, false},
        // A negative corner applies neither place nor size; "MAX" still counts.
        {120, -4, 600, 900, 1, {0, 0, 800, 500}, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QFile::remove(settingsPath()) || !QFileInfo::exists(settingsPath()));
        store(QStringLiteral("Installfm"), QStringLiteral("LastTop"), c.top);
        store(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), c.left);
        store(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), c.height);
        store(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), c.width);
        store(QStringLiteral("Installfm"), QStringLiteral("MAX"), c.max);
        TForm form;
        makeForm(form, 800, 500);
        vek::loadformposition(&form);
        EXPECT_EQ(form.isMaximized(), c.maximised) << c.top << " " << c.left;
        if (!c.maximised)
            EXPECT_EQ(boundsOf(form), c.expected) << c.top << " " << c.left;
        else
            EXPECT_EQ(form.size(), QSize(800, 500));
    }
}

TEST_F(FormStateTest, ClosingStoresTheGeometryAndTheNextStartReturnsToIt)
{
    {
        TForm form;
        makeForm(form, 800, 500);
        form.show();
        vek::loadformposition(&form);
        setOuter(form, {150, 90, 1000, 640});
        EXPECT_EQ(vek::saveformposition(&form), 0);
    }
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastTop"), -1), 90);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), -1), 150);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), -1), 640);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), -1), 1000);
    EXPECT_EQ(ini.readString(QStringLiteral("Installfm"), QStringLiteral("MAX")), QStringLiteral("0"));
    TForm again;
    makeForm(again, 800, 500);
    again.show();
    vek::loadformposition(&again);
    EXPECT_EQ(boundsOf(again), (FormGeometry{150, 90, 1000, 640}));
}

TEST_F(FormStateTest, OffDesktopOrTinyWindowsStoreOnlyMax)
{
    const struct {
        const char* what;
        QRect geometry;
    } cases[] = {
        {"left edge off the desktop", {-20, 90, 1000, 640}},
        {"100 pixels high", {150, 90, 1000, 100}},
    };
    for (const auto& c : cases) {
        store(QStringLiteral("Installfm"), QStringLiteral("LastTop"), 33);
        store(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), 44);
        store(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), 555);
        store(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), 666);
        TForm form;
        makeForm(form, 800, 500);
        form.setGeometry(c.geometry);
        EXPECT_EQ(vek::saveformposition(&form), 0) << c.what;
        const IniFile ini = settings();
        EXPECT_EQ(ini.readString(QStringLiteral("Installfm"), QStringLiteral("MAX")), QStringLiteral("0")) << c.what;
        EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastTop"), -1), 33) << c.what;
        EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), -1), 44) << c.what;
        EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), -1), 555) << c.what;
        EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), -1), 666) << c.what;
    }
}

// Under a window manager the frame lies around the window's area: what is
// stored is what is applied, so the window neither creeps nor grows, however
// often it is closed and started, from a first start or a place of the user's.
TEST_F(FormStateTest, CloseAndStartRoundsLeaveTheFrameWhereItWas)
{
    frame_ = QMargins(4, 24, 4, 4);
    for (const std::optional<FormGeometry>& placed :
         {std::optional<FormGeometry>{}, std::optional<FormGeometry>(FormGeometry{150, 3, 1000, 640})}) {
        ASSERT_TRUE(QFile::remove(settingsPath()) || !QFileInfo::exists(settingsPath()));
        FormGeometry expected;
        for (int round = 0; round < 5; ++round) {
            TForm form;
            makeForm(form, 800, 500);
            form.show();
            vek::loadformposition(&form);
            if (round == 0) {
                if (placed)
                    setOuter(form, *placed);
                expected = boundsOf(form);
            }
            EXPECT_EQ(boundsOf(form), expected) << "round " << round;
            // The frame holds the window's area exactly.
            EXPECT_EQ(form.geometry(),
                      QRect(expected.left + 4, expected.top + 24, expected.width - 8, expected.height - 28))
                << "round " << round;
            ASSERT_EQ(vek::saveformposition(&form), 0);
        }
        if (!placed) {
            EXPECT_EQ(expected, vek::defaultGeometry(QSize(808, 528), work_));
        }
    }
}

// Closed maximised, the window keeps the normal place the user gave it: it
// comes back maximised, and un-maximising returns there.
TEST_F(FormStateTest, AMaximisedWindowKeepsItsNormalGeometryForTheNextStart)
{
    frame_ = QMargins(4, 24, 4, 4);
    const FormGeometry normal{150, 90, 1000, 640};
    {
        TForm form;
        makeForm(form, 800, 500);
        form.show();
        vek::loadformposition(&form);
        setOuter(form, normal);
        form.showMaximized();
        ASSERT_TRUE(form.isMaximized());
        ASSERT_EQ(vek::saveformposition(&form), 0);
    }
    const IniFile ini = settings();
    EXPECT_EQ(ini.readString(QStringLiteral("Installfm"), QStringLiteral("MAX")), QStringLiteral("1"));
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastTop"), -1), normal.top);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), -1), normal.left);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), -1), normal.height);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), -1), normal.width);

    TForm again;
    makeForm(again, 800, 500);
    again.show();
    vek::loadformposition(&again);
    EXPECT_TRUE(again.isMaximized());
    again.showNormal();
    EXPECT_EQ(boundsOf(again), normal);
}

TEST_F(FormStateTest, ARevertRequestIsCarriedOutAtCloseAndTheNextStartIsTheDefault)
{
    store(QStringLiteral("RevertInstallfm"), QStringLiteral("Request"), 1);
    {
        TForm form;
        makeForm(form, 800, 500);
        auto* lv = new platform::TListView(&form);
        lv->setObjectName(QStringLiteral("Serverlv"));
        lv->setGeometry(0, 0, 500, 200);
        lv->addColumn(QStringLiteral("Name"), 125);
        form.setGeometry(150, 90, 1000, 640);
        EXPECT_EQ(vek::saveformposition(&form), 0);
    }
    const IniFile ini = settings();
    EXPECT_TRUE(ini.sections().isEmpty()) << ini.sections().join(u',').toStdString();
    TForm again;
    makeForm(again, 800, 500);
    vek::loadformposition(&again);
    EXPECT_EQ(boundsOf(again), vek::defaultGeometry(QSize(800, 500), work_));
}

TEST_F(FormStateTest, FixedSizeFormsAreNeitherMovedNorStored)
{
    store(QStringLiteral("Installfm"), QStringLiteral("LastTop"), 120);
    store(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), 200);
    store(QStringLiteral("Installfm"), QStringLiteral("FontSize"), 20);
    const QByteArray before = testsupport::readFile(settingsPath());
    TForm form;
    makeForm(form, 400, 300);
    form.setFixedSize(400, 300);
    form.move(10, 20);
    const QFont designFont = form.font();
    vek::loadformposition(&form);
    EXPECT_EQ(boundsOf(form), (FormGeometry{10, 20, 400, 300}));
    QStringList fonts{QStringLiteral("Installfm")};
    vek::loadformlayout(&form, nullptr, fonts);
    EXPECT_EQ(form.font(), designFont);
    EXPECT_EQ(fonts, QStringList{QStringLiteral("Installfm")});
    form.move(30, 40);
    EXPECT_EQ(vek::saveformposition(&form), 0);
    EXPECT_EQ(vek::saveformlayout(&form, nullptr, fonts), 0);
    EXPECT_EQ(testsupport::readFile(settingsPath()), before);
}

// A form with one list view and one string grid of the given widths, each
// with a 125-pixel column and a 40-pixel one.
struct ColumnForm {
    explicit ColumnForm(int width)
    {
        form.setObjectName(QStringLiteral("Installfm"));
        form.resize(900, 600);
        lv = new platform::TListView(&form);
        lv->setObjectName(QStringLiteral("Serverlv"));
        lv->setGeometry(0, 0, width, 200);
        lv->addColumn(QStringLiteral("Name"), 125);
        lv->addColumn(QStringLiteral("Date"), 40);
        grid = new platform::TStringGrid(&form);
        grid->setObjectName(QStringLiteral("Sumsg"));
        grid->setGeometry(0, 220, width, 200);
        grid->setColumnCount(2);
        grid->setRowCount(3);
        grid->setColumnWidth(0, 125);
        grid->setColumnWidth(1, 40);
    }
    TForm form;
    platform::TListView* lv;
    platform::TStringGrid* grid;
};

TEST_F(FormStateTest, ColumnWidthsAreStoredAsShareOfTheControlWidth)
{
    {
        ColumnForm saved(500);
        EXPECT_EQ(vek::saveformlayout(&saved.form, nullptr, {}), 0);
    }
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV0"), -1), 2500);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV1"), -1), 800);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Sumsg"), QStringLiteral("SG0"), -1), 2500);

    ColumnForm wider(600);
    QStringList fonts;
    vek::loadformlayout(&wider.form, nullptr, fonts);
    EXPECT_EQ(wider.lv->columnWidth(0), 150);
    EXPECT_EQ(wider.lv->columnWidth(1), 48);
    EXPECT_EQ(wider.grid->columnWidth(0), 150);
    EXPECT_EQ(wider.grid->columnWidth(1), 48);
}

TEST_F(FormStateTest, StoredWidthsOfZeroOrOneLeaveTheDesignWidth)
{
    store(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV0"), 0);
    store(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV1"), 1);
    store(QStringLiteral("Installfm_Sumsg"), QStringLiteral("SG0"), 1);
    ColumnForm form(600);
    QStringList fonts;
    vek::loadformlayout(&form.form, nullptr, fonts);
    EXPECT_EQ(form.lv->columnWidth(0), 125);
    EXPECT_EQ(form.lv->columnWidth(1), 40);
    EXPECT_EQ(form.grid->columnWidth(0), 125);
}

// A list or grid squeezed to nothing has no meaningful share to store: the
// widths stored before stay instead of being overwritten.
TEST_F(FormStateTest, AControlOfZeroWidthKeepsItsStoredWidths)
{
    store(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV0"), 2500);
    store(QStringLiteral("Installfm_Sumsg"), QStringLiteral("SG0"), 3000);
    ColumnForm form(0);
    EXPECT_EQ(vek::saveformlayout(&form.form, nullptr, {}), 0);
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV0"), -1), 2500);
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LV1")));
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Sumsg"), QStringLiteral("SG0"), -1), 3000);
}

TEST_F(FormStateTest, ActivePagesAreStoredAndRestored)
{
    auto makePages = [](TForm& form) {
        form.setObjectName(QStringLiteral("Installfm"));
        auto* pages = new platform::TPageControl(&form);
        pages->setObjectName(QStringLiteral("Mainpgc"));
        for (int i = 0; i < 3; ++i)
            (new platform::TTabSheet(pages))->setCaption(QString::number(i));
        return pages;
    };
    {
        TForm form;
        makePages(form)->setActivePageIndex(2);
        EXPECT_EQ(vek::saveformlayout(&form, nullptr, {}), 0);
    }
    EXPECT_EQ(settings().readInt(QStringLiteral("Installfm_Mainpgc"), QStringLiteral("PGC"), -9), 2);
    TForm form;
    platform::TPageControl* pages = makePages(form);
    QStringList fonts;
    vek::loadformlayout(&form, nullptr, fonts);
    EXPECT_EQ(pages->activePageIndex(), 2);
}

TEST(FontColour, CrossesTheFileAsTheWindowsColourNumber)
{
    const struct {
        int number;
        QColor colour;
    } cases[]
        = {{0x000000FF, QColor(255, 0, 0)}, {0x00FF0000, QColor(0, 0, 255)}, {0x00123456, QColor(0x56, 0x34, 0x12)}};
    for (const auto& c : cases) {
        EXPECT_EQ(vek::wintocolour(c.number), c.colour) << c.number;
        EXPECT_EQ(vek::colourtowin(c.colour), c.number) << c.number;
    }
    EXPECT_EQ(vek::clWindowText, static_cast<int>(0xFF000008u));
    EXPECT_TRUE(vek::issystemcolour(vek::clWindowText));
    EXPECT_FALSE(vek::issystemcolour(0x00FFFFFF));

    TForm form;
    auto* label = new platform::TLabel(&form);
    EXPECT_EQ(vek::fontcolour(label), vek::clWindowText);
    vek::setfontcolour(label, 0x000000FF);
    EXPECT_EQ(vek::fontcolour(label), 0x000000FF);
    vek::setfontcolour(label, vek::clWindowText);
    EXPECT_EQ(vek::fontcolour(label), vek::clWindowText);
}

// Closing stores no fonts; a font the user chose is stored by saveformlayout
// with its section in the font list, and comes back on the next start.
TEST_F(FormStateTest, ChosenFontsAreStoredOnlyForListedSections)
{
    QFont arial(QStringLiteral("Arial"), 10);
    {
        ColumnForm saved(500);
        saved.lv->setFont(arial);
        vek::setfontcolour(saved.lv, 0x00008000);
        saved.form.resize(900, 600);
        EXPECT_EQ(vek::saveformposition(&saved.form), 0);
        EXPECT_FALSE(settings().hasKey(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontSize")));
        EXPECT_EQ(vek::saveformlayout(&saved.form, nullptr, {QStringLiteral("INSTALLFM_SERVERLV")}), 0);
    }
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontSize"), -1), 10);
    EXPECT_EQ(ini.readString(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontName")),
              QStringLiteral("Arial"));
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontColor"), -1), 0x00008000);
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Installfm_Sumsg"), QStringLiteral("SGFontSize")));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Installfm"), QStringLiteral("FontSize")));

    ColumnForm again(500);
    QStringList fonts;
    vek::loadformlayout(&again.form, nullptr, fonts);
    EXPECT_EQ(again.lv->font().pointSize(), 10);
    EXPECT_EQ(again.lv->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(vek::fontcolour(again.lv), 0x00008000);
    EXPECT_TRUE(fonts.isEmpty());
}

// The form font the user chose: plain labels and controls follow it (and
// its later changes); an emphasised label keeps its emphasis and colour but
// takes the chosen size and face.
TEST_F(FormStateTest, ControlsOfDefaultAppearanceFollowTheStoredFormFont)
{
    store(QStringLiteral("Installfm"), QStringLiteral("FontSize"), 14);
    IniFile ini = settings();
    ASSERT_EQ(ini.writeString(QStringLiteral("Installfm"), QStringLiteral("FontName"), QStringLiteral("Courier")), 0);
    store(QStringLiteral("Installfm"), QStringLiteral("FontColor"), 0x00800000);

    TForm form;
    form.setObjectName(QStringLiteral("Installfm"));
    auto* plain = new platform::TLabel(&form);
    auto* bold = new platform::TLabel(&form);
    QFont emphasis = bold->font();
    emphasis.setBold(true);
    bold->setFont(emphasis);
    vek::setfontcolour(bold, 0x000000FF);
    auto* button = new platform::TButton(&form);
    auto* lv = new platform::TListView(&form);
    lv->setObjectName(QStringLiteral("Serverlv"));
    QStringList fonts;
    vek::loadformlayout(&form, nullptr, fonts);

    EXPECT_EQ(fonts, QStringList{QStringLiteral("Installfm")});
    EXPECT_EQ(form.font().pointSize(), 14);
    EXPECT_EQ(form.font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(vek::fontcolour(&form), 0x00800000);
    for (QWidget* follower : {static_cast<QWidget*>(plain), static_cast<QWidget*>(button), static_cast<QWidget*>(lv)}) {
        EXPECT_EQ(follower->font().pointSize(), 14);
        EXPECT_EQ(follower->font().family(), QStringLiteral("Courier"));
        EXPECT_EQ(vek::fontcolour(follower), 0x00800000);
    }
    EXPECT_TRUE(bold->font().bold());
    EXPECT_EQ(bold->font().pointSize(), 14);
    EXPECT_EQ(bold->font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(vek::fontcolour(bold), 0x000000FF);

    // Following means following later changes of the form's font too.
    QFont larger = form.font();
    larger.setPointSize(16);
    form.setFont(larger);
    EXPECT_EQ(plain->font().pointSize(), 16);
    EXPECT_EQ(lv->font().pointSize(), 16);
    EXPECT_EQ(bold->font().pointSize(), 14);
}

// A settings file that cannot be written is tried once more; when that fails
// too, the file stays exactly as it was and the caller has the code.
TEST_F(FormStateTest, AFailedSaveIsTriedOnceMoreAndLeavesTheFileAsItWas)
{
    store(QStringLiteral("Installfm"), QStringLiteral("LastTop"), 33);
    const QByteArray before = testsupport::readFile(settingsPath());
    TForm form;
    makeForm(form, 800, 500);
    form.setGeometry(150, 90, 1000, 640);
    {
        testsupport::FaultScope faults;
        platform::injectFault(platform::FaultOp::Rename, 1, EACCES);
        platform::addFault(platform::FaultOp::Rename, 2, EACCES);
        EXPECT_EQ(vek::saveformposition(&form), 5);
        EXPECT_EQ(testsupport::readFile(settingsPath()), before);
    }
    {
        testsupport::FaultScope faults;
        platform::injectFault(platform::FaultOp::Rename, 1, EACCES);
        EXPECT_EQ(vek::saveformposition(&form), 0);
    }
    EXPECT_EQ(settings().readInt(QStringLiteral("Installfm"), QStringLiteral("LastTop"), -1), 90);
}

}  // namespace
