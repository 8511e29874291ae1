// Windows scale their controls and fonts in proportion to their size, from
// the design layout, and come back to it exactly.
#include "formguards.h"
#include "forms/fontcolour.h"
#include "forms/formmenu.h"
#include "forms/formmenuseam.h"
#include "forms/formresizer.h"
#include "forms/formstate.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/tanchors.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QHeaderView>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace {

using platform::TForm;
using vek::TFormResizer;

// A window wired as the program's windows are: its resize event scales it.
class ResizingForm : public TForm {
public:
    TFormResizer* resizer = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        TForm::resizeEvent(event);
        if (resizer)
            resizer->ResizeAll();
    }
};

// A 600 x 400 window with controls of several kinds, 8-point fonts.
struct DesignForm {
    DesignForm()
    {
        form.setObjectName(QStringLiteral("Installfm"));
        form.resize(600, 400);
        QFont eight = form.font();
        eight.setPointSize(8);
        form.setFont(eight);
        label = make<platform::TLabel>(QStringLiteral("Titlelbl"), QRect(11, 7, 120, 17));
        label->setCaption(QStringLiteral("Programs on the server"));
        label->setGeometry(11, 7, 120, 17);
        button = make<platform::TButton>(QStringLiteral("Installbtn"), QRect(423, 351, 75, 25));
        button->setText(QStringLiteral("Install"));
        lv = make<platform::TListView>(QStringLiteral("Serverlv"), QRect(11, 31, 281, 301));
        lv->addColumn(QStringLiteral("Name"), 150);
        lv->addColumn(QStringLiteral("Date"), 100);
        grid = make<platform::TStringGrid>(QStringLiteral("Sumsg"), QRect(305, 31, 283, 151));
        grid->setColumnCount(2);
        grid->setRowCount(4);
        edit = make<platform::TEdit>(QStringLiteral("Filtered"), QRect(305, 195, 183, 23));
        panel = make<platform::TPanel>(QStringLiteral("Bottompnl"), QRect(305, 231, 283, 101));
        inner = new platform::TCheckBox(panel);
        inner->setObjectName(QStringLiteral("Allcb"));
        inner->setGeometry(13, 9, 97, 21);
        link = make<platform::TLabel>(QStringLiteral("RefreshLnk"), QRect(11, 351, 60, 17));
        link->setCaption(QStringLiteral("Refresh"));
        link->setGeometry(11, 351, 60, 17);
        // Shown, so that a resize reaches the resize event at once.
        form.show();
    }
    template <typename T> T* make(const QString& name, const QRect& bounds)
    {
        auto* control = new T(&form);
        control->setObjectName(name);
        control->setGeometry(bounds);
        return control;
    }
    // Makes the resizer the way setupformresizer does, without placing the window.
    TFormResizer* attach(bool fonts = true)
    {
        QString error;
        form.resizer = TFormResizer::Create(&form, &error);
        EXPECT_TRUE(form.resizer) << error.toStdString();
        form.resizer->setResizeFonts(fonts);
        form.resizer->InitializeForm();
        return form.resizer;
    }
    std::vector<QWidget*> controls() const { return {label, button, lv, grid, edit, panel, inner, link}; }
    // Bounds and font size of every control.
    std::vector<std::pair<QRect, int>> layout() const
    {
        std::vector<std::pair<QRect, int>> out;
        for (QWidget* c : controls())
            out.emplace_back(c->geometry(), c->font().pointSize());
        return out;
    }

    ResizingForm form;
    platform::TLabel* label;
    platform::TButton* button;
    platform::TListView* lv;
    platform::TStringGrid* grid;
    platform::TEdit* edit;
    platform::TPanel* panel;
    platform::TCheckBox* inner;
    platform::TLabel* link;
};

TEST(FormResizer, FontsFollowTheHeightWithinTheirLimits)
{
    const struct {
        int height;
        int listFont;
        int buttonFont;
    } cases[] = {
        {600, 9, 12},  // 1.5 times: lists grow at a third of the rate, [1.165 x 8] = 9
        {200, 6, 6},  // half: 4 points are raised to the floor of 6
        {800, 11, 16},  // twice: [1.33 x 8] = 11
        {1600, 16, 32},  // four times: [1.99 x 8] = 16 for lists
    };
    for (const auto& c : cases) {
        DesignForm d;
        d.attach();
        d.form.resize(600, c.height);
        d.form.resizer->ResizeAll();
        EXPECT_EQ(d.lv->font().pointSize(), c.listFont) << c.height;
        EXPECT_EQ(d.grid->font().pointSize(), c.listFont) << c.height;
        EXPECT_EQ(d.button->font().pointSize(), c.buttonFont) << c.height;
        EXPECT_EQ(d.edit->font().pointSize(), c.buttonFont) << c.height;
    }
}

TEST(FormResizer, TheFloorWinsWhenItLiesAboveTheCeiling)
{
    DesignForm d;
    QString error;
    d.form.resizer = TFormResizer::Create(&d.form, &error);
    d.form.resizer->setResizeFonts(true);
    d.form.resizer->setMinFontSize(10);
    d.form.resizer->setMaxFontSize(7);
    d.form.resizer->InitializeForm();
    d.form.resize(600, 600);
    EXPECT_EQ(d.button->font().pointSize(), 10);
    d.form.resize(600, 200);
    EXPECT_EQ(d.button->font().pointSize(), 10);
}

TEST(FormResizer, BoundsScaleFromTheDesignWithHalvesToEven)
{
    DesignForm d;
    auto* box = d.make<platform::TEdit>(QStringLiteral("Boxed"), QRect(3, 5, 25, 15));
    d.attach();
    d.form.resize(900, 600);
    // 4.5 -> 4, 7.5 -> 8, 37.5 -> 38, 22.5 -> 22.
    EXPECT_EQ(box->geometry(), QRect(4, 8, 38, 22));
    EXPECT_EQ(d.button->geometry(), QRect(634, 526, 112, 38));  // 634.5, 526.5, 112.5, 37.5
    // Inside a container the same ratios apply to the container's coordinates.
    EXPECT_EQ(d.inner->geometry(), QRect(20, 14, 146, 32));  // 19.5, 13.5, 145.5, 31.5
}

// Shrinking and growing many times and coming back to the design size gives
// the design layout back exactly; any size reached gives the same layout
// whatever road led there.
TEST(FormResizer, ResizingAccumulatesNoError)
{
    DesignForm d;
    d.form.show();
    const auto design = d.layout();
    d.attach();
    d.form.resize(777, 555);
    const auto direct = d.layout();
    int w = 600;
    int h = 400;
    for (int i = 0; i < 60; ++i) {
        w = 300 + (w * 7 + 131) % 900;
        h = 200 + (h * 5 + 97) % 700;
        d.form.resize(w, h);
    }
    d.form.resize(777, 555);
    EXPECT_EQ(d.layout(), direct);
    d.form.resize(600, 400);
    EXPECT_EQ(d.layout(), design);
}

TEST(FormResizer, AControlThatFillsItsContainerIsLeftToItsAlignment)
{
    DesignForm d;
    auto* client = new platform::TMemo(d.panel);
    client->setObjectName(QStringLiteral("Notesmemo"));
    client->show();
    platform::setalign(client, platform::TAlign::alClient);
    const QRect filled = client->geometry();
    d.attach();
    d.form.resize(900, 600);
    d.form.resizer->ResizeAll();
    // The panel grew by the resizer; the memo fills it, through its alignment alone.
    EXPECT_EQ(d.panel->size(), QSize(424, 152));
    EXPECT_EQ(client->geometry(), QRect(QPoint(0, 0), d.panel->size()));
    EXPECT_NE(client->geometry(), filled);
}

TEST(FormResizer, LabelsTakeTheirTextSizeUnlessAnchoredLeftAndRight)
{
    DesignForm d;
    auto* stretched = d.make<platform::TLabel>(QStringLiteral("Localfolderlab"), QRect(11, 380, 400, 17));
    stretched->setCaption(QStringLiteral("/opt"));
    stretched->setGeometry(11, 380, 400, 17);
    platform::setanchors(stretched, platform::TAnchors(platform::akLeft) | platform::akTop | platform::akRight);
    d.attach();
    d.form.resize(600, 600);
    EXPECT_EQ(d.label->size(), d.label->sizeHint());
    EXPECT_EQ(d.label->pos(), QPoint(11, 10));
    EXPECT_EQ(stretched->width(), 400);  // the width does not scale for labels
    EXPECT_EQ(stretched->height(), 26);  // [25.5]: the height scales, no text sizing
    EXPECT_EQ(stretched->pos(), QPoint(11, 570));
}

TEST(FormResizer, EnforceMinSizeSnapsBackAndResizeDisabledMovesNothing)
{
    {
        DesignForm d;
        d.attach()->setEnforceMinSize(true);
        d.form.resize(500, 300);
        EXPECT_EQ(d.form.size(), QSize(600, 400));
        d.form.resize(700, 300);
        EXPECT_EQ(d.form.size(), QSize(700, 400));
    }
    {
        DesignForm d;
        d.attach()->setResizeDisabled(true);
        const auto before = d.layout();
        d.form.resize(900, 700);
        EXPECT_EQ(d.layout(), before);
    }
}

TEST(FormResizer, LinkLabelsUnderlineWhileTheMouseIsOverThem)
{
    const struct {
        QString name;
        bool link;
    } cases[] = {
        {QStringLiteral("RefreshLnk"), true},  {QStringLiteral("SELECTALLLNK"), true},
        {QStringLiteral("invertlnk"), true},   {QStringLiteral("Refresh"), false},
        {QStringLiteral("LnkRefresh"), false},
    };
    for (const auto& c : cases) {
        DesignForm d;
        auto* label = d.make<platform::TLabel>(c.name, QRect(200, 351, 60, 17));
        QFont designed = label->font();
        designed.setUnderline(true);
        label->setFont(designed);
        d.attach();
        d.form.resize(650, 450);
        EXPECT_EQ(label->font().underline(), !c.link) << c.name.toStdString();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(201, 352));
        QApplication::sendEvent(label, &enter);
        EXPECT_TRUE(label->font().underline()) << c.name.toStdString();
        EXPECT_EQ(label->cursor().shape(), c.link ? Qt::PointingHandCursor : Qt::ArrowCursor) << c.name.toStdString();
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        EXPECT_EQ(label->font().underline(), !c.link) << c.name.toStdString();
        EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor) << c.name.toStdString();
        // A second resize sets the label up again and changes nothing.
        d.form.resize(700, 500);
        EXPECT_EQ(label->font().underline(), !c.link) << c.name.toStdString();
    }
}

TEST(FormResizer, ARemovedControlIsUnlinkedAndSkipped)
{
    DesignForm d;
    d.attach();
    const QRect editBounds = d.edit->geometry();
    d.form.resizer->Notification(d.edit, TFormResizer::opRemove);
    delete d.button;
    d.button = nullptr;
    int resized = 0;
    d.form.resizer->setOnPostResize([&resized](TFormResizer*, QWidget*, double, double) { ++resized; });
    d.form.resize(900, 600);
    EXPECT_EQ(d.edit->geometry(), editBounds);
    EXPECT_EQ(resized, 6);  // eight controls, two unlinked
    EXPECT_EQ(d.form.resizer->resizers().size(), 8u);
}

TEST(FormResizer, PostResizeReportsEachControlWithTheRatios)
{
    DesignForm d;
    d.attach();
    std::vector<QWidget*> seen;
    d.form.resizer->setOnPostResize([&](TFormResizer* sender, QWidget* control, double heightRatio, double widthRatio) {
        EXPECT_EQ(sender, d.form.resizer);
        EXPECT_DOUBLE_EQ(heightRatio, 1.25);
        EXPECT_DOUBLE_EQ(widthRatio, 1.5);
        seen.push_back(control);
    });
    d.form.resize(900, 500);
    EXPECT_EQ(seen, d.controls());
}

TEST(FormResizer, ResizersWithoutTheirLinksAreNotMade)
{
    QString error;
    EXPECT_EQ(TFormResizer::Create(nullptr, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("TFormResizer created without an owner"));
    QObject notAControl;
    EXPECT_EQ(TFormResizer::Create(&notAControl, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("TFormResizer owner must be a panel or form"));
    TForm form;
    platform::TButton button(&form);
    EXPECT_EQ(vek::TSingleResizer::Create(nullptr, &form, true, 6, 48, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("TSingleResizer created without a component link"));
    EXPECT_EQ(vek::TSingleResizer::Create(&button, nullptr, true, 6, 48, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("TSingleResizer created without a parent form link"));
    EXPECT_NE(vek::TSingleResizer::Create(&button, &form, true, 6, 48, &error), nullptr);
}

// "Restore Font" gives back the fonts the window was designed with: the
// copies taken at the start, not the fonts the controls show now.
TEST(FormResizer, RestoreOriginalfontsGivesBackTheDesignFonts)
{
    DesignForm d;
    vek::setfontcolour(d.label, 0x000000FF);
    d.attach();
    const QFont designButton = d.button->font();
    const QFont designForm = d.form.font();
    QFont chosen(QStringLiteral("Courier"), 14);
    chosen.setItalic(true);
    d.form.setFont(chosen);
    d.button->setFont(chosen);
    d.lv->setFont(chosen);
    vek::setfontcolour(d.label, 0x00FF0000);
    vek::setfontcolour(d.button, 0x00FF0000);

    d.form.resizer->RestoreOriginalfonts();
    EXPECT_EQ(d.form.font(), designForm);
    EXPECT_EQ(d.button->font(), designButton);
    EXPECT_EQ(d.lv->font().family(), designButton.family());
    EXPECT_FALSE(d.lv->font().italic());
    EXPECT_EQ(vek::fontcolour(d.label), 0x000000FF);
    EXPECT_EQ(vek::fontcolour(d.button), vek::clWindowText);

    // In a stretched window the design fonts come back at the stretched size.
    d.form.resize(600, 600);
    d.button->setFont(chosen);
    d.form.resizer->RestoreOriginalfonts();
    EXPECT_EQ(d.button->font().family(), designButton.family());
    EXPECT_EQ(d.button->font().pointSize(), 12);
}

TEST(FormResizer, TheMenuGoesToListsAndTheFormThatHaveNoneOfTheirOwn)
{
    DesignForm d;
    auto* tree = d.make<platform::TTreeView>(QStringLiteral("Foldertv"), QRect(0, 0, 50, 50));
    tree->setContextMenuPolicy(Qt::NoContextMenu);
    d.attach();
    EXPECT_EQ(d.lv->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(d.grid->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(d.form.contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(tree->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(d.edit->contextMenuPolicy(), Qt::DefaultContextMenu);
    emit d.lv->customContextMenuRequested(QPoint(5, 6));
    EXPECT_EQ(d.form.resizer->PopupComponent(), d.lv);
    EXPECT_EQ(d.form.resizer->PopupPoint(), d.lv->viewport()->mapToGlobal(QPoint(5, 6)));
    EXPECT_EQ(d.form.resizer->Popup()->parent(), &d.form);
}

// The window's first activation: the resizer is made once, records the
// design, and the window takes its default geometry with its controls scaled.
TEST(SetupFormResizer, MakesTheResizerOnceAndPlacesTheWindow)
{
    testsupport::ScratchDir dir;
    testsupport::RunArgumentsScope args(
        {QStringLiteral("/opt/tessarine/TessarineInstaller"), QStringLiteral("LOCALFOLDER=") + dir.path()});
    const QRect screen(0, 0, 1920, 1080);
    testsupport::ScreenMetricsScope screens(
        platform::ScreenMetricsOverride{[screen](const QWidget*) { return screen; }, [screen] { return screen; }, {}});
    testsupport::ActiveResizerScope active;

    DesignForm d;
    const QSize designOuter = d.form.frameGeometry().size();
    EXPECT_TRUE(vek::setupformresizer(&d.form, d.form.resizer));
    ASSERT_NE(d.form.resizer, nullptr);
    EXPECT_EQ(vek::activeresizer(), d.form.resizer);
    EXPECT_TRUE(d.form.resizer->ResizeFonts());
    EXPECT_EQ(d.form.resizer->initialOwnerHeight(), 400);
    // Scaled by 1.5 (the cap) and centred.
    const vek::FormGeometry expected = vek::defaultGeometry(designOuter, screen);
    EXPECT_EQ(d.form.frameGeometry(), QRect(expected.left, expected.top, expected.width, expected.height));
    // The controls scale with the client area (the frame, if any, left out).
    const double wr = d.form.width() / 600.0;
    const double hr = d.form.height() / 400.0;
    EXPECT_EQ(d.button->geometry(),
              QRect(vek::roundHalfEven(423 * wr), vek::roundHalfEven(351 * hr), vek::roundHalfEven(75 * wr),
                    vek::roundHalfEven(25 * hr)));
    EXPECT_EQ(d.button->font().pointSize(), 12);

    TFormResizer* made = d.form.resizer;
    vek::setactiveresizer(nullptr);
    EXPECT_FALSE(vek::setupformresizer(&d.form, d.form.resizer));
    EXPECT_EQ(d.form.resizer, made);
    EXPECT_EQ(vek::activeresizer(), made);
}

// Fonts the user chooses through the window's menu, or that the settings file
// holds for the window: the program "TessarineInstaller" with its data folder
// in a scratch folder, on one 1920 x 1080 screen, the font dialog answered by
// the test.
class ChosenFontTest : public ::testing::Test {
protected:
    ChosenFontTest()
        : args_({QStringLiteral("/opt/tessarine/TessarineInstaller"), QStringLiteral("LOCALFOLDER=") + dir_.path()}),
          screens_(platform::ScreenMetricsOverride{
              [](const QWidget*) { return QRect(0, 0, 1920, 1080); }, [] { return QRect(0, 0, 1920, 1080); }, {}}),
          seam_(vek::FormMenuOverride{[this](QWidget*, const QFont&) { return fontAnswer_; }, {}, {}})
    {
    }

    // "Set Font" from the menu opened on `on`, the dialog answered with `font`.
    void setFont(DesignForm& d, QWidget* on, const QFont& font)
    {
        fontAnswer_ = font;
        choose(d, on, vek::kSetFontCaption);
    }
    void choose(DesignForm& d, QWidget* on, const QString& caption)
    {
        d.form.resizer->showPopup(on, on->mapToGlobal(QPoint(5, 5)));
        d.form.resizer->Popup()->close();
        for (QAction* item : d.form.resizer->Popup()->actions()) {
            if (item->text() == caption)
                return item->trigger();
        }
        ADD_FAILURE() << "no item " << caption.toStdString();
    }
    void store(const QString& section, const QString& key, int value)
    {
        platform::IniFile ini(vek::settingsFilePath());
        ASSERT_EQ(ini.writeInt(section, key, value), 0);
    }
    static QFont font(const QString& family, int points)
    {
        QFont f(family);
        f.setPointSize(points);
        return f;
    }

    // After a font was chosen at 600 pixels high (1.5 times the design
    // height, the design width) the window goes to the design height, below
    // it, far above it, and back to where the font was chosen.
    static constexpr std::array<int, 4> kWalk{400, 300, 800, 600};
    struct Shown {
        QString control;
        std::array<int, 4> sizes;  // the font size at each height of kWalk
    };
    static void walk(DesignForm& d, const std::vector<Shown>& shown, const std::string& what)
    {
        for (size_t i = 0; i < kWalk.size(); ++i) {
            d.form.resize(600, kWalk[i]);
            for (const Shown& s : shown) {
                const auto* control = d.form.findChild<QWidget*>(s.control);
                ASSERT_NE(control, nullptr) << s.control.toStdString();
                EXPECT_EQ(control->font().pointSize(), s.sizes[i])
                    << what << ": " << s.control.toStdString() << " at height " << kWalk[i];
            }
        }
    }

    testsupport::ScratchDir dir_;
    testsupport::RunArgumentsScope args_;
    testsupport::ScreenMetricsScope screens_;
    testsupport::ActiveResizerScope active_;
    std::optional<QFont> fontAnswer_;
    vek::FormMenuScope seam_;
};

// A chosen size is the size at the design size, whatever size the window had
// when it was chosen, and scales with the window from there as the design
// size did: lists and grids at a third of the rate above the design height
// (12 points are 14 at 1.5 times the height), other controls at the full rate
// (14 points are 21), within the floor and ceiling. A new face alone keeps the
// design scaling, and "Restore Font" brings it back.
TEST_F(ChosenFontTest, AChosenSizeIsTheSizeAtTheDesignSizeAndScalesWithTheWindow)
{
    const QString serif = QStringLiteral("DejaVu Serif");
    const struct {
        std::string what;
        std::function<void(DesignForm&)> choose;
        std::vector<Shown> shown;
    } cases[] = {
        {"a list font",
         [&](DesignForm& d) { setFont(d, d.lv, font(serif, 12)); },
         {{QStringLiteral("Serverlv"), {12, 9, 16, 14}},
          {QStringLiteral("Sumsg"), {8, 6, 11, 9}},
          {QStringLiteral("Installbtn"), {8, 6, 16, 12}}}},
        {"a new face for the list at the size it shows",
         [&](DesignForm& d) { setFont(d, d.lv, font(serif, 9)); },
         {{QStringLiteral("Serverlv"), {8, 6, 11, 9}}}},
        {"the window's font",
         [&](DesignForm& d) { setFont(d, &d.form, font(serif, 14)); },
         {{QStringLiteral("Titlelbl"), {14, 10, 28, 21}},
          {QStringLiteral("Installbtn"), {14, 10, 28, 21}},
          {QStringLiteral("Filtered"), {14, 10, 28, 21}},
          {QStringLiteral("Allcb"), {14, 10, 28, 21}},
          // A list whose section holds only its column widths follows the
          // window's font, at a list's rate.
          {QStringLiteral("Serverlv"), {14, 10, 19, 16}}}},
        {"a list font, then Restore Font on the list",
         [&](DesignForm& d) {
             setFont(d, d.lv, font(serif, 12));
             choose(d, d.lv, vek::kRestoreFontCaption);
             EXPECT_EQ(d.lv->font().pointSize(), 9);  // the design size at this height, at once
         },
         {{QStringLiteral("Serverlv"), {8, 6, 11, 9}}}},
        {"the window's and a list font, then a grid font at the design height",
         [&](DesignForm& d) {
             setFont(d, &d.form, font(serif, 14));
             setFont(d, d.lv, font(serif, 12));
             d.form.resize(600, 400);
             // Storing the grid's font puts the stored fonts on again: each
             // is its size at the design height, where the window is now.
             setFont(d, d.grid, font(serif, 11));
             EXPECT_EQ(d.lv->font().pointSize(), 12);
             EXPECT_EQ(d.label->font().pointSize(), 14);
         },
         {{QStringLiteral("Titlelbl"), {14, 10, 28, 21}},
          {QStringLiteral("Serverlv"), {12, 9, 16, 14}},
          {QStringLiteral("Sumsg"), {11, 8, 15, 13}}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(!QFile::exists(vek::settingsFilePath()) || QFile::remove(vek::settingsFilePath()));
        DesignForm d;
        d.attach();
        d.form.resize(600, 600);
        c.choose(d);
        walk(d, c.shown, c.what);
    }
}

// Fonts stored by an earlier run are their sizes at the design size, and
// scale with the window from there: at 1.5 times the height a list's 12
// points show as 14, the window's 14 as 21.
TEST_F(ChosenFontTest, StoredFontsHoldAtTheStartAndScaleWithTheWindow)
{
    DesignForm d;
    const QSize frame = d.form.frameGeometry().size() - d.form.size();
    store(QStringLiteral("Installfm"), QStringLiteral("LastTop"), 50);
    store(QStringLiteral("Installfm"), QStringLiteral("LastLeft"), 60);
    store(QStringLiteral("Installfm"), QStringLiteral("LastWidth"), 600 + frame.width());
    store(QStringLiteral("Installfm"), QStringLiteral("LastHeight"), 600 + frame.height());
    store(QStringLiteral("Installfm"), QStringLiteral("FontSize"), 14);
    store(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontSize"), 12);

    ASSERT_TRUE(vek::setupformresizer(&d.form, d.form.resizer));
    ASSERT_EQ(d.form.size(), QSize(600, 600));
    EXPECT_EQ(d.lv->font().pointSize(), 14);
    EXPECT_EQ(d.label->font().pointSize(), 21);
    walk(d,
         {{QStringLiteral("Serverlv"), {12, 9, 16, 14}},
          {QStringLiteral("Titlelbl"), {14, 10, 28, 21}},
          {QStringLiteral("Installbtn"), {14, 10, 28, 21}}},
         "stored");
}

// Chosen, closed and opened again: the window shows the fonts as they were
// before the restart, the file holds the sizes chosen, and they scale with
// the window as they did before.
TEST_F(ChosenFontTest, ChosenFontsComeBackAfterARestart)
{
    {
        DesignForm first;
        ASSERT_TRUE(vek::setupformresizer(&first.form, first.form.resizer));
        first.form.resize(600, 600);
        setFont(first, &first.form, font(QStringLiteral("DejaVu Serif"), 14));
        setFont(first, first.lv, font(QStringLiteral("DejaVu Serif"), 12));
        EXPECT_EQ(first.lv->font().pointSize(), 14);
        EXPECT_EQ(first.label->font().pointSize(), 21);
        ASSERT_EQ(vek::saveformposition(&first.form), 0);
    }
    const platform::IniFile ini(vek::settingsFilePath());
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm"), QStringLiteral("FontSize"), -1), 14);
    EXPECT_EQ(ini.readInt(QStringLiteral("Installfm_Serverlv"), QStringLiteral("LVFontSize"), -1), 12);
    DesignForm again;
    ASSERT_TRUE(vek::setupformresizer(&again.form, again.form.resizer));
    ASSERT_EQ(again.form.size(), QSize(600, 600));
    EXPECT_EQ(again.lv->font().pointSize(), 14);
    EXPECT_EQ(again.lv->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(again.label->font().pointSize(), 21);
    EXPECT_EQ(again.label->font().family(), QStringLiteral("DejaVu Serif"));
    walk(again, {{QStringLiteral("Serverlv"), {12, 9, 16, 14}}, {QStringLiteral("Titlelbl"), {14, 10, 28, 21}}},
         "after a restart");
}

}  // namespace
