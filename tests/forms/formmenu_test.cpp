// The right-click menu of a window with a form resizer: its items, and what
// each does to the window, the settings file, the clipboard and the files.
#include "chart/kwchart.h"
#include "dialogs/answerseam.h"
#include "dialogs/dialogtesting.h"
#include "formguards.h"
#include "forms/fontcolour.h"
#include "forms/formmenu.h"
#include "forms/formmenuseam.h"
#include "forms/formresizer.h"
#include "forms/formstate.h"
#include "lang/langstate.h"
#include "lang/updlangfm.h"
#include "langguards.h"
#include "lib/folders.h"
#include "libguards.h"
#include "localescope.h"
#include "platform/codepage.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/inifile.h"
#include "stateguards.h"
#include "testsupport.h"

#include <QAction>
#include <QChartView>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

namespace {

using platform::IniFile;
using platform::TForm;
using vek::TFormResizer;

QStringList captionsOf(const QMenu* menu)
{
    QStringList out;
    for (const QAction* item : menu->actions())
        out.append(item->text());
    return out;
}

// A window wired as the program's windows are: its resize event scales it.
class MenuForm : public TForm {
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

// The program "TessarineInstaller" in a scratch folder, its data folder and
// files folder there too, on one 1920 x 1080 screen; the dialogs and the
// clipboard answered by the test.
class FormMenuTest : public ::testing::Test {
protected:
    FormMenuTest()
        : args_({dir_.file(QStringLiteral("app/TessarineInstaller")), QStringLiteral("LOCALFOLDER=") + dir_.path()}),
          screens_(platform::ScreenMetricsOverride{
              [](const QWidget*) { return QRect(0, 0, 1920, 1040); }, [] { return QRect(0, 0, 1920, 1080); }, {}}),
          seam_(vek::FormMenuOverride{
              [this](QWidget* parent, const QFont& initial) {
                  fontAsked_ = {parent, initial};
                  return fontAnswer_;
              },
              [this](QWidget*, const QString& filter, const QString& extension, const QString& suggested) {
                  saveAsked_ = QStringList{filter, extension, suggested};
                  return saveAnswer_;
              },
              [this](const QString& text) { clipboard_ = text; }})
    {
        QDir().mkpath(dir_.file(QStringLiteral("app/files")));
        // The data folder is made when it is first asked for, as the program does.
        EXPECT_EQ(vek::settingsFilePath(), settingsPath());
        form_.setObjectName(QStringLiteral("Installfm"));
        form_.setCaption(QStringLiteral("Install New Software  "));
        form_.resize(600, 400);
        QFont eight(QStringLiteral("DejaVu Sans"));
        eight.setPointSize(8);
        form_.setFont(eight);
        label_ = make<platform::TLabel>(QStringLiteral("Titlelbl"), QRect(11, 7, 120, 17));
        label_->setCaption(QStringLiteral("Programs on the server"));
        lv_ = make<platform::TListView>(QStringLiteral("Serverlv"), QRect(11, 31, 281, 301));
        lv_->addColumn(QStringLiteral("Name"), 150);
        lv_->addColumn(QStringLiteral("Date"), 100);
        lv_->addItem(QStringLiteral("setup.exe"), {QStringLiteral("05/09/2024")});
        lv_->addItem(QStringLiteral("tool.exe"), {QStringLiteral("05/09/2024")});
        lv_->addItem(QStringLiteral("zip.exe"), {QStringLiteral("06/09/2024")});
        edit_ = make<platform::TEdit>(QStringLiteral("Filtered"), QRect(305, 195, 183, 23));
        edit_->setText(QStringLiteral("*.exe"));
        panel_ = make<platform::TPanel>(QStringLiteral("Bottompnl"), QRect(305, 231, 283, 101));
        check_ = new platform::TCheckBox(panel_);
        check_->setObjectName(QStringLiteral("Allcb"));
        check_->setCaption(QStringLiteral("All users"));
        check_->setGeometry(13, 9, 97, 21);
        form_.show();
        QString error;
        form_.resizer = TFormResizer::Create(&form_, &error);
        EXPECT_NE(form_.resizer, nullptr) << error.toStdString();
        form_.resizer->setResizeFonts(true);
        form_.resizer->InitializeForm();
    }

    template <typename T> T* make(const QString& name, const QRect& bounds)
    {
        auto* control = new T(&form_);
        control->setObjectName(name);
        control->setGeometry(bounds);
        return control;
    }
    TFormResizer& resizer() { return *form_.resizer; }
    // Opens the menu on `control` at `at` (its own coordinates) and closes it
    // again, as a user who then picks an item does.
    void openOn(QWidget* control, QPoint at)
    {
        resizer().showPopup(control, control->mapToGlobal(at));
        resizer().Popup()->close();
    }
    QAction* item(const QString& caption)
    {
        for (QAction* a : resizer().Popup()->actions()) {
            if (a->text() == caption)
                return a;
        }
        ADD_FAILURE() << "no item " << caption.toStdString();
        return nullptr;
    }
    void choose(const QString& caption)
    {
        if (QAction* a = item(caption))
            a->trigger();
    }
    QString settingsPath() const { return dir_.file(QStringLiteral("Quorvane/TessarineInstallerdefaults.ini")); }
    IniFile settings() const { return IniFile(settingsPath()); }
    QByteArray settingsBytes() const
    {
        return QFile::exists(settingsPath()) ? testsupport::readFile(settingsPath()) : QByteArray();
    }

    testsupport::ScratchDir dir_;
    testsupport::RunArgumentsScope args_;
    testsupport::FilesFolderScope files_;
    testsupport::ScreenMetricsScope screens_;
    testsupport::ActiveResizerScope active_;
    testsupport::LocaleScope locale_{u'.'};
    vek::ScriptedAnswers answers_;
    vek::FormMenuScope seam_;
    std::optional<QFont> fontAnswer_;
    QString saveAnswer_;
    std::optional<QString> clipboard_;
    std::optional<std::pair<QWidget*, QFont>> fontAsked_;
    std::optional<QStringList> saveAsked_;
    MenuForm form_;
    platform::TLabel* label_;
    platform::TListView* lv_;
    platform::TEdit* edit_;
    platform::TPanel* panel_;
    platform::TCheckBox* check_;
};

TEST_F(FormMenuTest, TheItemsInMenuOrderLanguagesOnlyWhenAllowed)
{
    const QStringList common{"Set Font", "Restore Font", "Reset Screen"};
    const QStringList rest{"Copy Caption", "Make chart", "Save Listview", "Exit"};
    EXPECT_EQ(captionsOf(resizer().Popup()), common + rest);  // no debugger here, nothing allowed

    vek::LanguagesAllowedScope allowed(true);
    MenuForm other;
    TFormResizer* withLanguages = TFormResizer::Create(&other);
    ASSERT_NE(withLanguages, nullptr);
    EXPECT_EQ(captionsOf(withLanguages->Popup()), common + QStringList{"Languages"} + rest);
    EXPECT_EQ(withLanguages->Popup()->parent(), &other);
}

TEST_F(FormMenuTest, LanguagesCapturesTheWindowLetsItBeTranslatedAndShowsTheTranslation)
{
    testsupport::LangStateScope language;
    vek::LanguagesAllowedScope allowed(true);
    resizer().Popup()->clear();  // the menu offers the item from now on
    vek::buildformmenu(&resizer());
    vek::UnattendedScope attended(false);
    openOn(label_, QPoint(5, 5));
    dialogtesting::whenvisible<vek::TUpdLangfm>([&](vek::TUpdLangfm* editor) {
        EXPECT_EQ(editor->callingform, "Installfm");
        EXPECT_EQ(editor->callingscreen, "Install New Software  ");
        EXPECT_EQ(editor->controlname, "Titlelbl");
        EXPECT_EQ(editor->controltext, "Programs on the server");
        editor->Languageed->setText(QStringLiteral("de"));
        emit editor->Languageed->editingFinished();
        // The control under the menu point is the row up for editing.
        auto* row = static_cast<platform::TListItem*>(editor->Langlv->currentItem());
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->subItem(0), "Titlelbl");
        emit editor->Langlv->itemClicked(row, 0);
        editor->Langcontented->setText(QStringLiteral("Programme auf dem Server"));
        editor->Langupdbtn->click();
        editor->reject();
    });
    choose(vek::kLanguagesCaption);

    EXPECT_EQ(vek::currentlanguage(), "de");
    EXPECT_EQ(label_->caption(), "Programme auf dem Server");
    const QString folder = dir_.file(QStringLiteral("app/files/lang_files/"));
    EXPECT_TRUE(testsupport::readFile(folder + QStringLiteral("Default_Installfm.lang"))
                    .contains("label_Titlelbl=Programs on the server\r\n"));
    EXPECT_TRUE(testsupport::readFile(folder + QStringLiteral("de_Installfm.lang"))
                    .contains("label_Titlelbl=Programme auf dem Server\r\n"));
    EXPECT_TRUE(answers_.shown().isEmpty()) << "no message on the way";
}

TEST_F(FormMenuTest, ExitAndItemsWithoutAMenuComponentChangeNothing)
{
    for (const QString& caption : {vek::kSetFontCaption, vek::kRestoreFontCaption, vek::kResetScreenCaption,
                                   vek::kCopyCaptionCaption, vek::kSaveListviewCaption})
        choose(caption);  // the menu was never opened
    openOn(lv_, QPoint(20, 30));
    lv_->item(0)->setSelected(true);
    const QRect before = form_.geometry();
    choose(vek::kExitCaption);
    resizer().HandlePopup(nullptr);
    resizer().HandlePopup(&form_);  // not a menu item
    EXPECT_FALSE(fontAsked_);
    EXPECT_FALSE(saveAsked_);
    EXPECT_FALSE(clipboard_);
    EXPECT_EQ(settingsBytes(), QByteArray());
    EXPECT_EQ(form_.geometry(), before);
    EXPECT_TRUE(answers_.shown().isEmpty());
}

TEST_F(FormMenuTest, AdditionalItemsGoBeforeExit)
{
    resizer().AddAdditionalPopup(vek::kReportSettingsCode);
    resizer().AddAdditionalPopup(vek::kReportSettingsCode);
    resizer().AddAdditionalPopup(QStringLiteral("2"));  // a later code adds no second item
    EXPECT_EQ(resizer().AdditionalActions(), QStringLiteral("12"));
    QStringList captions = captionsOf(resizer().Popup());
    EXPECT_EQ(captions.count(vek::kSaveReportSettingsCaption), 1);
    EXPECT_EQ(captions.mid(captions.size() - 2), (QStringList{vek::kSaveReportSettingsCaption, vek::kExitCaption}));

    int called = 0;
    resizer().setAdditionalPopupAddded(true);
    resizer().AddAdditionalPoupupwithProc(QStringLiteral("Print"), [&called] { ++called; });
    EXPECT_FALSE(resizer().AdditionalPopupAddded());
    captions = captionsOf(resizer().Popup());
    EXPECT_EQ(captions.mid(captions.size() - 2), (QStringList{"Print", "Exit"}));
    choose(QStringLiteral("Print"));
    EXPECT_EQ(called, 1);

    // An empty menu takes the item at its end.
    resizer().Popup()->clear();
    resizer().AddAdditionalPoupupwithProc(QStringLiteral("Only"), {});
    EXPECT_EQ(captionsOf(resizer().Popup()), QStringList{"Only"});
}

TEST_F(FormMenuTest, ControlAtPointIsTheDeepestVisibleControl)
{
    auto at = [this](QWidget* w, QPoint p) { return form_.mapFromGlobal(w->mapToGlobal(p)); };
    EXPECT_EQ(vek::controlatpoint(&form_, at(lv_->viewport(), QPoint(10, 10))), lv_);  // a row
    EXPECT_EQ(vek::controlatpoint(&form_, at(lv_, QPoint(10, 5))), lv_);  // the header
    EXPECT_EQ(vek::controlatpoint(&form_, at(check_, QPoint(3, 3))), check_);  // inside the panel
    EXPECT_EQ(vek::controlatpoint(&form_, at(panel_, QPoint(200, 80))), panel_);
    EXPECT_EQ(vek::controlatpoint(&form_, QPoint(590, 10)), nullptr);  // the form's background
    check_->hide();
    EXPECT_EQ(vek::controlatpoint(&form_, at(panel_, QPoint(16, 12))), panel_);
}

TEST_F(FormMenuTest, CursorControlWalksTheComponentsAndLogsEachStep)
{
    const QPoint onCheck = check_->mapToGlobal(QPoint(3, 3));
    QStringList log;
    EXPECT_EQ(vek::cursorcontrol(onCheck, log, &form_), check_);  // the panel holds it, the check box follows
    ASSERT_GE(log.size(), 5 + 2 * 5);
    EXPECT_EQ(log[0], QStringLiteral("Ascreenpos %1 %2").arg(onCheck.x()).arg(onCheck.y()));
    EXPECT_EQ(log[1], QStringLiteral("Form=Installfm"));
    const QRect outer = form_.frameGeometry();
    EXPECT_EQ(log[2],
              QStringLiteral("Form left %1 %2 %3 %4")
                  .arg(outer.left())
                  .arg(outer.top())
                  .arg(outer.left() + outer.width())
                  .arg(outer.top() + outer.height()));
    EXPECT_TRUE(log[3].startsWith(QStringLiteral("getcursorpos:")));
    const QPoint client = form_.mapFromGlobal(onCheck);
    EXPECT_EQ(log[4], QStringLiteral("Screentoclient:%1 %2").arg(client.x()).arg(client.y()));
    // Label, list, edit, panel, check box: two lines each.
    EXPECT_EQ(log[5], QStringLiteral("Titlelbl 11 7 %1 %2").arg(11 + label_->width()).arg(7 + label_->height()));
    EXPECT_EQ(log[6], QStringLiteral("Installfm %1 %2").arg(client.x()).arg(client.y()));
    EXPECT_EQ(log[13], QStringLiteral("Allcb 13 9 110 30"));
    EXPECT_EQ(log[14], QStringLiteral("Bottompnl 16 12"));
    EXPECT_EQ(log.size(), 15);

    log.clear();
    EXPECT_EQ(vek::cursorcontrol(panel_->mapToGlobal(QPoint(200, 80)), log, &form_), panel_);
    log.clear();
    EXPECT_EQ(vek::cursorcontrol(form_.mapToGlobal(QPoint(590, 10)), log, &form_), nullptr);
    EXPECT_EQ(log.size(), 15);  // every control examined
}

TEST_F(FormMenuTest, CopyCaptionTakesTheSelectedRowOrTheTextUnderTheMenuPoint)
{
    // A list: its selected row's caption, or nothing.
    openOn(lv_, QPoint(20, 30));
    choose(vek::kCopyCaptionCaption);
    EXPECT_FALSE(clipboard_);
    lv_->item(1)->setSelected(true);
    choose(vek::kCopyCaptionCaption);
    EXPECT_EQ(clipboard_, QStringLiteral("tool.exe"));

    // Elsewhere: the control where the menu was opened, found and logged.
    const struct {
        QWidget* control;
        QPoint at;
        std::optional<QString> copied;
    } cases[] = {
        {edit_, QPoint(5, 5), QStringLiteral("*.exe")},
        {check_, QPoint(3, 3), QStringLiteral("All users")},
        {label_, QPoint(2, 2), QStringLiteral("Programs on the server")},
        {&form_, QPoint(590, 10), std::nullopt},  // nothing there: the clipboard stays
    };
    for (const auto& c : cases) {
        clipboard_.reset();
        QFile::remove(dir_.file(QStringLiteral("Quorvane/Popuplog.txt")));
        openOn(c.control, c.at);
        choose(vek::kCopyCaptionCaption);
        EXPECT_EQ(clipboard_, c.copied) << c.control->objectName().toStdString();
        const QByteArray log = testsupport::readFile(dir_.file(QStringLiteral("Quorvane/Popuplog.txt")));
        EXPECT_TRUE(log.startsWith("Ascreenpos ")) << log.constData();
        EXPECT_TRUE(log.contains("\r\nForm=Installfm\r\n"));
    }
}

// Each item runs its own handler whatever its caption says: a menu whose
// captions were translated still copies with "Copy Caption", asks for a font
// with "Set Font" (also through HandlePopup), and adds one report item.
TEST_F(FormMenuTest, AnItemWhoseCaptionWasTranslatedStillRunsItsOwnHandler)
{
    QAction* setFont = item(vek::kSetFontCaption);
    QAction* copy = item(vek::kCopyCaptionCaption);
    ASSERT_TRUE(setFont && copy);
    setFont->setText(QStringLiteral("Schriftart festlegen"));
    copy->setText(QStringLiteral("Beschriftung kopieren"));

    openOn(label_, QPoint(2, 2));
    copy->trigger();
    EXPECT_EQ(clipboard_, QStringLiteral("Programs on the server"));
    EXPECT_FALSE(fontAsked_);
    clipboard_.reset();
    resizer().HandlePopup(setFont);
    ASSERT_TRUE(fontAsked_);
    EXPECT_EQ(fontAsked_->first, label_);
    EXPECT_FALSE(clipboard_);

    resizer().AddAdditionalPopup(vek::kReportSettingsCode);
    const qsizetype items = resizer().Popup()->actions().size();
    item(vek::kSaveReportSettingsCaption)->setText(QStringLiteral("Berichtseinstellungen speichern"));
    resizer().AddAdditionalPopup(QStringLiteral("2"));
    EXPECT_EQ(resizer().Popup()->actions().size(), items);
}

TEST_F(FormMenuTest, SetFontOnAListStoresItsFontUnderItsSection)
{
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    openOn(lv_, QPoint(20, 30));
    fontAnswer_ = arial;
    choose(vek::kSetFontCaption);
    ASSERT_TRUE(fontAsked_);
    EXPECT_EQ(fontAsked_->first, lv_);
    EXPECT_EQ(lv_->font().pointSize(), 10);
    EXPECT_EQ(lv_->font().family(), QStringLiteral("Arial"));
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt("Installfm_Serverlv", "LVFontSize", -999), 10);
    EXPECT_EQ(ini.readString("Installfm_Serverlv", "LVFontName"), QStringLiteral("Arial"));
    EXPECT_EQ(ini.readInt("Installfm_Serverlv", "LVFontColor", 0), vek::clWindowText);
    EXPECT_FALSE(ini.hasKey("Installfm", "FontSize"));

    // A restart: a new window of the same design shows the list in that font.
    MenuForm again;
    again.setObjectName(QStringLiteral("Installfm"));
    auto* list = new platform::TListView(&again);
    list->setObjectName(QStringLiteral("Serverlv"));
    list->addColumn(QStringLiteral("Name"), 150);
    QStringList fontlist;
    vek::loadformlayout(&again, nullptr, fontlist);
    EXPECT_EQ(list->font().pointSize(), 10);
    EXPECT_EQ(list->font().family(), QStringLiteral("Arial"));

    // Cancelled: nothing changes.
    const QByteArray stored = settingsBytes();
    fontAnswer_.reset();
    openOn(lv_, QPoint(20, 30));
    choose(vek::kSetFontCaption);
    EXPECT_EQ(settingsBytes(), stored);
}

TEST_F(FormMenuTest, SetFontOnTheBackgroundIsTheFormsFontAndPlainLabelsFollowIt)
{
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(12);
    fontAnswer_ = chosen;
    openOn(&form_, QPoint(590, 10));
    choose(vek::kSetFontCaption);
    ASSERT_TRUE(fontAsked_);
    EXPECT_EQ(fontAsked_->second.pointSize(), 8);  // the form's own font to start from
    const IniFile ini = settings();
    EXPECT_EQ(ini.readInt("Installfm", "FontSize", -999), 12);
    EXPECT_EQ(ini.readString("Installfm", "FontName"), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(ini.readInt("Installfm", "FontColor", 0), vek::clWindowText);
    EXPECT_EQ(label_->font().pointSize(), 12);
    EXPECT_EQ(label_->font().family(), QStringLiteral("DejaVu Serif"));
}

TEST_F(FormMenuTest, RestoreFontOnAListRemovesItsWholeSection)
{
    IniFile ini = settings();
    ASSERT_EQ(ini.writeInt("Installfm_Serverlv", "LV0", 5000), 0);
    ASSERT_EQ(ini.writeInt("Installfm_Serverlv", "LVFontSize", 14), 0);
    ASSERT_EQ(ini.writeInt("Installfm_Locallv", "LV0", 4000), 0);
    QStringList fontlist;
    vek::loadformlayout(&form_, nullptr, fontlist);
    ASSERT_EQ(lv_->font().pointSize(), 14);

    openOn(lv_, QPoint(20, 30));
    choose(vek::kRestoreFontCaption);
    EXPECT_FALSE(settings().sections().contains(QStringLiteral("Installfm_Serverlv"), Qt::CaseInsensitive));
    EXPECT_EQ(settings().readInt("Installfm_Locallv", "LV0", 0), 4000);
    EXPECT_EQ(lv_->font().pointSize(), form_.font().pointSize());  // it follows the form again
}

// The chosen form font is taken back: the controls and the window show their
// design fonts again, and the next close stores nothing.
TEST_F(FormMenuTest, RestoreFontOnTheBackgroundRestoresTheDesignFonts)
{
    const QFont designLabel = label_->font();
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    fontAnswer_ = chosen;
    openOn(&form_, QPoint(590, 10));
    choose(vek::kSetFontCaption);
    ASSERT_EQ(form_.font().family(), QStringLiteral("DejaVu Serif"));

    openOn(&form_, QPoint(590, 10));
    choose(vek::kRestoreFontCaption);
    EXPECT_EQ(form_.font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_FALSE(form_.font().bold());
    EXPECT_EQ(label_->font().family(), designLabel.family());
    EXPECT_FALSE(label_->font().bold());
    EXPECT_FALSE(settings().hasKey("Installfm", "FontSize"));
    EXPECT_EQ(settings().readInt("RevertInstallfm", "Request", 0), 1);
}

TEST_F(FormMenuTest, ResetScreenGivesTheDefaultGeometryNowAndAtTheNextStart)
{
    form_.move(100, 50);
    form_.resize(700, 450);
    ASSERT_EQ(vek::saveformposition(&form_), 0);
    ASSERT_EQ(settings().readInt("Installfm", "LastWidth", 0), form_.frameGeometry().width());

    openOn(&form_, QPoint(590, 10));
    choose(vek::kResetScreenCaption);
    // The design size of 600 x 400 scaled by 1.5 and centred on the work area.
    const vek::FormGeometry expected = vek::defaultGeometry(
        QSize(600, 400) + (form_.frameGeometry().size() - form_.size()), QRect(0, 0, 1920, 1040));
    EXPECT_EQ(form_.frameGeometry(), QRect(expected.left, expected.top, expected.width, expected.height));
    EXPECT_FALSE(settings().hasKey("Installfm", "LastTop"));

    // Closing stores nothing and takes the request away; the next start is a first one.
    ASSERT_EQ(vek::saveformposition(&form_), 0);
    EXPECT_FALSE(settings().hasKey("Installfm", "LastTop"));
    EXPECT_FALSE(settings().sections().contains(QStringLiteral("RevertInstallfm"), Qt::CaseInsensitive));
}

TEST_F(FormMenuTest, SaveListviewSuggestsTheCaptionAndWritesTheListInTheLocalesSeparator)
{
    testsupport::LocaleScope comma{u','};  // list separator ";"
    lv_->item(0)->setSubItem(0, QStringLiteral("5; 9"));
    resizer().showPopup(lv_, lv_->viewport()->mapToGlobal(QPoint(10, 10)));
    resizer().Popup()->close();
    choose(vek::kSaveListviewCaption);  // cancelled
    ASSERT_TRUE(saveAsked_);
    EXPECT_EQ(*saveAsked_, (QStringList{"CSV file|*.CSV|Text file|*.txt", "CSV", "Install_New_Software__.CSV"}));
    EXPECT_TRUE(QDir(dir_.path()).entryList({"*.CSV", "*.txt"}).isEmpty());

    saveAnswer_ = dir_.file(QStringLiteral("servers.txt"));
    choose(vek::kSaveListviewCaption);
    EXPECT_EQ(testsupport::readFile(saveAnswer_),
              QByteArray(platform::kUtf8Mark)
                  + "Name;Date\r\n\"setup.exe\";\"5; 9\"\r\n\"tool.exe\";05/09/2024\r\n\"zip.exe\";06/09/2024\r\n");

    // A file that cannot be written is told, not passed over.
    saveAnswer_ = dir_.file(QStringLiteral("gone/servers.CSV"));
    vek::ScriptedAnswers ok{platform::mrOk};
    choose(vek::kSaveListviewCaption);
    ASSERT_EQ(ok.shown().size(), 1);
    EXPECT_TRUE(ok.shown()[0].message.startsWith(QStringLiteral("Could not save the list as ") + saveAnswer_));
}

TEST_F(FormMenuTest, SaveListviewAndMakeChartNeedAListUnderThePoint)
{
    openOn(&form_, QPoint(590, 10));
    choose(vek::kSaveListviewCaption);
    choose(vek::kMakeChartCaption);
    EXPECT_FALSE(saveAsked_);
    EXPECT_TRUE(kwchart::chartmaker()->isHidden());
}

TEST_F(FormMenuTest, MakeChartOpensTheChartMakerOnTheList)
{
    vek::UnattendedScope attended(false);
    resizer().showPopup(lv_, lv_->viewport()->mapToGlobal(QPoint(10, 10)));
    resizer().Popup()->close();
    QList<kwchart::ChartBar> bars;
    dialogtesting::whenvisible<kwchart::Tkwchartfm>([&](kwchart::Tkwchartfm* window) {
        EXPECT_EQ(window->worklistview, lv_);
        EXPECT_EQ(window->worktitlestr, QStringLiteral("Install New Software  "));
        window->Xlb->setItemIndex(1);
        QTest::mouseClick(window->Makebtn, Qt::LeftButton);
        bars = kwchart::chartbars(window->Chart1->chart());
        QTest::mouseClick(window->Closebtn, Qt::LeftButton);
    });
    choose(vek::kMakeChartCaption);
    ASSERT_EQ(bars.size(), 2);
    EXPECT_EQ(bars[0].label, QStringLiteral("05/09/2024"));
    EXPECT_EQ(bars[0].value, 2);
}

TEST_F(FormMenuTest, SaveReportSettingsStoresEachInputControl)
{
    auto* memo = make<platform::TMemo>(QStringLiteral("Notesmemo"), QRect(0, 0, 10, 10));
    memo->setLines({QStringLiteral("first"), QStringLiteral("a|b"), QStringLiteral("last")});
    auto* combo = make<platform::TComboBox>(QStringLiteral("Kindcb"), QRect(0, 0, 10, 10));
    combo->setItems({QStringLiteral("a"), QStringLiteral("b")});
    combo->setItemIndex(1);
    auto* group = make<platform::TRadioGroup>(QStringLiteral("Modrg"), QRect(0, 0, 10, 10));
    group->setItems({QStringLiteral("x"), QStringLiteral("y")});
    group->setItemIndex(-1);
    auto* list = make<platform::TListBox>(QStringLiteral("Pathlb"), QRect(0, 0, 10, 10));
    list->setItems({QStringLiteral("p")});
    list->setItemIndex(0);
    auto* radio = make<platform::TRadioButton>(QStringLiteral("Dailyrb"), QRect(0, 0, 10, 10));
    radio->setChecked(true);
    auto* picker = make<platform::TDateTimePicker>(QStringLiteral("Fromdtp"), QRect(0, 0, 10, 10));
    picker->setDateTime(QDateTime(QDate(2024, 9, 5), QTime(14, 3, 22)));
    const QString reports = dir_.file(QStringLiteral("app/files/Autoreports.txt"));
    testsupport::writeFile(reports, "[Installfm]\r\nOld=1\r\n[Other]\r\nKept=1\r\n");

    resizer().AddAdditionalPopup(vek::kReportSettingsCode);
    openOn(&form_, QPoint(590, 10));
    choose(vek::kSaveReportSettingsCaption);
    const IniFile ini(reports);
    EXPECT_EQ(ini.keys("Installfm"),
              (QStringList{"Filtered", "Allcb", "Notesmemo", "Kindcb", "Modrg", "Pathlb", "Dailyrb", "Fromdtp"}));
    EXPECT_EQ(ini.readString("Installfm", "Filtered"), QStringLiteral("*.exe"));
    EXPECT_EQ(ini.readString("Installfm", "Allcb"), QStringLiteral("FALSE"));
    EXPECT_EQ(ini.readString("Installfm", "Notesmemo"), QStringLiteral("first|\"a|b\"|last"));
    EXPECT_EQ(ini.readString("Installfm", "Kindcb"), QStringLiteral("1"));
    EXPECT_EQ(ini.readString("Installfm", "Modrg"), QStringLiteral("-1"));
    EXPECT_EQ(ini.readString("Installfm", "Pathlb"), QStringLiteral("0"));
    EXPECT_EQ(ini.readString("Installfm", "Dailyrb"), QStringLiteral("TRUE"));
    EXPECT_EQ(ini.readString("Installfm", "Fromdtp"), QStringLiteral("240905140322"));
    EXPECT_EQ(ini.readString("Other", "Kept"), QStringLiteral("1"));
}

TEST(SuggestedCsvName, EveryCharacterOutsideDigitsAndLettersBecomesAnUnderscore)
{
    const struct {
        QString caption;
        QString name;
    } cases[] = {
        {QStringLiteral("Install New Software  "), QStringLiteral("Install_New_Software__.CSV")},
        {QStringLiteral("Café 2.0/β"), QStringLiteral("Caf__2_0__.CSV")},
        {QString(), QStringLiteral(".CSV")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vek::suggestedcsvname(c.caption), c.name) << c.caption.toStdString();
}

}  // namespace
