#include "installer/TessarineInstallu.h"

#include "dialogs/messagecalls.h"
#include "forms/formresizer.h"
#include "forms/formstate.h"
#include "installer/commandline.h"
#include "installer/generationsform.h"
#include "installer/unattendedrun.h"
#include "installer/webcatalogue.h"
#include "lang/langstate.h"
#include "lib/basictext.h"
#include "lib/cursors.h"
#include "lib/fileops.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/listviews.h"
#include "lib/serverindex.h"
#include "platform/controls/placecontrol.h"
#include "platform/controls/tanchors.h"
#include "platform/fileapi.h"
#include "platform/headless.h"
#include "platform/inifile.h"
#include "web/transferlog.h"
#include "web/vekpost.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindow>

namespace installer {

using platform::akBottom;
using platform::akLeft;
using platform::akRight;
using platform::akTop;
using platform::TButton;
using platform::TEdit;
using platform::TGroupBox;
using platform::TLabel;
using platform::TListItem;
using platform::TListView;
using platform::TProgressBar;
using platform::TTimer;

namespace {

// The program patterns, in the order the catalogue lists them (each kind
// after the other); findfiles matches them all in one reading of the folder.
const QString kProgramPatterns = QStringLiteral("*.exe;*.ocx;*.dll");
constexpr int kStartDelayMs = 500;
constexpr int kDateColumnMaxWidth = 125;
constexpr int kMinimumWidth = 600;
constexpr int kMinimumHeight = 340;
// How finely the progress bar divides each row's stretch.
constexpr int kProgressStepsPerRow = 1000;

TLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height)
{
    auto* l = platform::placecontrol<TLabel>(parent, name, left, top, width, height);
    l->setCaption(caption);
    return l;
}

// Link labels: blue, underlined, with the pointing hand.
TLabel* linkLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height)
{
    TLabel* l = label(parent, name, caption, left, top, width, height);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(palette);
    QFont font = l->font();
    font.setUnderline(true);
    l->setFont(font);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

TListView* listView(QWidget* parent, const char* name, int left, int top, int width, int height,
                    const QString& firstColumn)
{
    auto* lv = platform::placecontrol<TListView>(parent, name, left, top, width, height,
                                                 akLeft | akTop | akRight | akBottom);
    lv->addColumn(firstColumn, width - kDateColumnMaxWidth - 24);
    lv->addColumn(QStringLiteral("Date"), kDateColumnMaxWidth);
    lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv->setSelectionBehavior(QAbstractItemView::SelectRows);
    return lv;
}

}  // namespace

QString versionlabeltext()
{
    return QLatin1Char('v') + versionnumber();
}

TInstallfm::TInstallfm(const installer::RunRequest& run, QWidget* parent) : TForm(parent), run_(run)
{
    setObjectName(QStringLiteral("Installfm"));
    setCaption(kInstallCaption);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);
    resize(788, 441);
    // Smaller than this, the lists show too few rows and the buttons and
    // links are too small to hit.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    buildControls();
}

void TInstallfm::buildControls()
{
    VersionLab = label(this, "VersionLab", QStringLiteral("{}"), 750, 11, 10, 13);
    Autolab = label(this, "Autolab", QStringLiteral("Autolab"), 256, 4, 57, 18);
    QFont bold = Autolab->font();
    bold.setBold(true);
    bold.setPixelSize(15);
    Autolab->setFont(bold);
    Autolab->hide();
    Closebtn = platform::placecontrol<TButton>(this, "Closebtn", 4, 3, 75, 25, akLeft | akBottom);
    Closebtn->setCaption(QStringLiteral("Close"));
    Closebtn->hide();

    Localgb = platform::placecontrol<TGroupBox>(this, "Localgb", 4, 30, 390, 376, akLeft | akTop | akBottom);
    Localgb->setCaption(QStringLiteral("1. Server Programs"));
    Serverfolderlab = label(Localgb, "Serverfolderlab", QStringLiteral("{ }"), 3, 17, 13, 13);
    Serverlv = listView(Localgb, "Serverlv", 5, 72, 380, 281, QStringLiteral("Name"));
    Serverlv->setCheckBoxes(true);
    FilterEd = platform::placecontrol<TEdit>(Localgb, "FilterEd", 3, 45, 380, 21, akLeft | akTop | akRight);
    RefreshLnk = linkLabel(Localgb, "RefreshLnk", QStringLiteral("Refresh"), 5, 359, 38, 13);
    SelectAllLnk = linkLabel(Localgb, "SelectAllLnk", QStringLiteral("Select All"), 106, 359, 43, 13);
    InvertLnk = linkLabel(Localgb, "InvertLnk", QStringLiteral("Invert"), 212, 359, 30, 13);

    Newgb = platform::placecontrol<TGroupBox>(this, "Newgb", 400, 30, 380, 377, akLeft | akTop | akBottom);
    Newgb->setCaption(QStringLiteral("2. To be installed"));
    Localfolderlab = label(Newgb, "Localfolderlab", QStringLiteral("{ }"), 3, 17, 13, 13);
    Installinglab = label(Newgb, "Installinglab", QStringLiteral("Installinglab"), 3, 30, 57, 13);
    Locallv = listView(Newgb, "Locallv", 7, 72, 370, 282, QStringLiteral("Program"));
    Locallv->setMultiSelect(true);
    ProgressBar1
        = platform::placecontrol<TProgressBar>(Newgb, "ProgressBar1", 7, 49, 370, 17, akLeft | akTop | akRight);
    ProgressBar1->hide();
    DeleteLnk = linkLabel(Newgb, "DeleteLnk", QStringLiteral("Delete"), 5, 359, 31, 13);

    Addbtn = platform::placecontrol<TButton>(this, "Addbtn", 8, 412, 372, 25, akRight | akBottom);
    Addbtn->setCaption(QStringLiteral("Add to list"));
    Installbtn = platform::placecontrol<TButton>(this, "Installbtn", 400, 412, 372, 25, akRight | akBottom);
    Installbtn->setCaption(QStringLiteral("Install Highlighted"));

    Timer1 = new TTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kStartDelayMs);

    setTabOrder(Serverlv, FilterEd);
    setTabOrder(FilterEd, Locallv);
    setTabOrder(Locallv, ProgressBar1);
    setTabOrder(ProgressBar1, Installbtn);
    setTabOrder(Installbtn, Closebtn);
    setTabOrder(Closebtn, Addbtn);

    connect(Timer1, &QTimer::timeout, this, &TInstallfm::Timer1Timer);
    connect(Closebtn, &QPushButton::clicked, this, &TInstallfm::ClosebtnClick);
    connect(Addbtn, &QPushButton::clicked, this, &TInstallfm::AddbtnClick);
    connect(Installbtn, &QPushButton::clicked, this, &TInstallfm::InstallbtnClick);
    connect(Serverlv, &TListView::columnClicked, this, &TInstallfm::ServerlvColumnClick);
    connect(Locallv, &TListView::columnClicked, this, &TInstallfm::LocallvColumnClick);
    for (QWidget* w :
         {static_cast<QWidget*>(FilterEd), static_cast<QWidget*>(RefreshLnk), static_cast<QWidget*>(SelectAllLnk),
          static_cast<QWidget*>(InvertLnk), static_cast<QWidget*>(DeleteLnk)})
        w->installEventFilter(this);
}

bool TInstallfm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible() && !FormResizer)
                    FormActivate();
            },
            Qt::QueuedConnection);
        return false;
    }
    if (watched == FilterEd && event->type() == QEvent::KeyRelease) {
        FilterEdKeyUp();
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == RefreshLnk)
            RefreshLnkClick();
        else if (watched == SelectAllLnk)
            SelectAllLnkClick();
        else if (watched == InvertLnk)
            InvertLnkClick();
        else if (watched == DeleteLnk)
            DeleteLnkClick();
    }
    return TForm::eventFilter(watched, event);
}

void TInstallfm::showEvent(QShowEvent* event)
{
    TForm::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Settle the run once the window is on the screen, so that a message
    // about it has a window to stand over.
    QMetaObject::invokeMethod(this, &TInstallfm::FormShow, Qt::QueuedConnection);
    // A window the window system shows without giving it the focus (focus
    // stealing prevention, or no window manager at all) is never activated:
    // it gets its resizer and its remembered place all the same, once it is
    // on the screen. Not before: until the window manager has put its frame
    // around the window, the frame's size is unknown, and the remembered
    // frame would be applied to the window's area.
    if (windowHandle())
        windowHandle()->installEventFilter(this);
}

void TInstallfm::keyPressEvent(QKeyEvent* event)
{
    // Escape closes dialogs, not the main window: it would end the program and
    // lose the list of programs to install. The close box still closes it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    TForm::keyPressEvent(event);
}

void TInstallfm::closeEvent(QCloseEvent* event)
{
    FormClose();
    TForm::closeEvent(event);
}

void TInstallfm::changeEvent(QEvent* event)
{
    TForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TInstallfm::resizeEvent(QResizeEvent* event)
{
    TForm::resizeEvent(event);
    FormResize();
}

void TInstallfm::FormActivate()
{
    if (!vek::setupformresizer(this, FormResizer))
        return;  // the window had its resizer already
    // Columns nobody has sized yet (a first start, or after Reset Screen)
    // are sized to what they show once the first listing is there.
    const platform::IniFile settings(vek::settingsFilePath());
    const QStringList sections = settings.sections();
    for (TListView* list : {Serverlv, Locallv}) {
        if (!sections.contains(vek::controlSection(this, list), Qt::CaseInsensitive))
            columnsToFit_.append(list);
    }
    fitColumns(Locallv);
    FormResizer->AddAdditionalPoupupwithProc(kBackupGenerationsItem, [this] { BackupGenerationsClick(); });
}

void TInstallfm::BackupGenerationsClick()
{
    const QList<TListItem*> chosen = Locallv->selectedRows();
    if (chosen.isEmpty()) {
        vek::showdlgmessage(kChooseProgramFirst, false, QString());
        return;
    }
    TGenerationsfm generations(localFolder_, chosen.first()->caption(), &vek::TVekPost::HashFile, this);
    (void)vek::showoverform(this, &generations);  // the window's own buttons act; its result says nothing more
}

void TInstallfm::FormResize()
{
    if (FormResizer)
        FormResizer->ResizeAll();
}

void TInstallfm::FormClose()
{
    newobj.reset();
    if (!platform::isheadless())
        vek::folderlockwaitnotice().install({});  // the label goes with the window
    // Only a window that was shown and given its remembered place stores
    // its state: an unattended run over before the window was on the screen
    // would store the design geometry over the user's.
    if (!FormResizer)
        return;
    // A settings file that cannot be written after the retry costs the user
    // only the remembered place: the program ends without a message.
    (void)vek::saveformposition(this);
}

void TInstallfm::settleServerFolder()
{
    serverFolder_ = installer::settledserverfolder(run_);
    // A web address may carry a user and password: the label shows neither.
    Serverfolderlab->setCaption(vek::iswebfolder(serverFolder_) ? vek::loggableaddress(serverFolder_) : serverFolder_);
}

void TInstallfm::FormShow()
{
    // LANGUAGE= is part of a file name: a code that is refused says why, over
    // the window now that it stands (on the error output without a display),
    // and the window keeps its own texts. A recording run reports nothing.
    if (run_.kind() != installer::RunKind::Recording && !run_.language.isEmpty()) {
        if (const platform::Result<void> set = vek::setcurrentlanguage(run_.language); !set.ok())
            vek::warnmessage(set.message(), QString());
    }
    // Then, so that the run's own texts below (folders, version) stand over stale captured ones.
    (void)vek::applycurrentlanguage(this);  // a file that cannot be applied leaves the window's own texts
    VersionLab->setCaption(versionlabeltext());
    vek::clearlistview(Serverlv);
    vek::clearlistview(Locallv);
    settleServerFolder();
    localFolder_ = installer::settledlocalfolder(run_);
    Localfolderlab->setCaption(localFolder_);
    signatures_ = installer::settledsignaturepolicy(run_);
    if (!newobj) {
        newobj = std::make_unique<vek::tnewsoftware>();
        newobj->debug = run_.debug;
    }
    Installinglab->setCaption(QString());
    // While another run holds the local folder, the label says so and the
    // window stays alive; without a display the error output says it.
    if (!platform::isheadless()) {
        vek::folderlockwaitnotice().install([this](const QString& folder, bool) {
            Installinglab->setCaption(installer::kWaitingForFolderPrefix + folder);
            QCoreApplication::processEvents();
        });
    }
    Autoname.clear();
    Autoexename.clear();
    if (!run_.programName.isEmpty()) {
        // The program body runs the install and the window shows it: the
        // buttons stay disabled for the whole run, and a missing server
        // folder is the run's to report.
        Autoname = serverFolder_ + run_.programName;
        Autoexename = run_.programName;
        Addbtn->setEnabled(false);
        Installbtn->setEnabled(false);
        return;
    }
    const QString server = serverFolder_;
    if (!server.isEmpty() && (vek::iswebfolder(server) || platform::isFolder(server))) {
        Timer1->setEnabled(true);
        return;
    }
    vek::warnmessage(installer::missingserverfoldermessage(server), QString());
}

void TInstallfm::Timer1Timer()
{
    Timer1->setEnabled(false);
    QCoreApplication::processEvents();
    listServerPrograms();
}

void TInstallfm::fetchWebIndex()
{
    if (!vek::iswebfolder(serverFolder_))
        return;
    vek::busycursor();
    const vek::IndexFetch fetch = vek::fetchserverindex(serverFolder_, webIndex_, signatures_.keys);
    vek::normalcursor();
    if (fetch.code != 0)
        vek::warnmessage(fetch.message, QString());
}

void TInstallfm::listServerPrograms()
{
    fetchWebIndex();
    readServerFolder();
    fitColumns(Serverlv);
    Installbtn->setEnabled(true);
}

void TInstallfm::readServerFolder()
{
    const platform::Result<void> listed = FindPrograms(serverFolder_, Serverlv, QString());
    if (!listed.ok())
        vek::warnmessage(listed.message(), QString());
}

platform::Result<void> TInstallfm::FindPrograms(const QString& aFolder, TListView* aLV, const QString& aFilter)
{
    aLV->beginUpdate();
    vek::clearlistview(aLV);
    const QString filter = unattended() ? QString() : vek::asciiupper(aFilter);
    const QString patterns = unattended() ? Autoexename : kProgramPatterns;
    const platform::Result<vek::FolderFiles> found = vek::iswebfolder(aFolder)
        ? installer::findwebprograms(webIndex_.entries, patterns)
        : vek::listfolderfiles(aFolder, patterns, vek::ListingDetails::Dates);
    if (found.ok()) {
        const vek::FolderFiles& files = found.value();
        for (qsizetype i = 0; i < files.names.size(); ++i) {
            if (filter.isEmpty() || vek::asciiupper(files.names[i]).contains(filter))
                aLV->appendRow(files.names[i], {files.dates[i]});
        }
    }
    aLV->endUpdate();
    if (aLV == Serverlv)
        greyRefusedPrograms(aFolder);
    if (!found.ok())
        return found.failure();
    return {};
}

void TInstallfm::greyRefusedPrograms(const QString& aFolder)
{
    if (!signatures_.keys.required())
        return;
    // Only the signature files are read here, never the programs: a catalogue
    // of large programs lists at once. The install checks its copy in full.
    // A web server folder's index was verified when it was fetched: it stands
    // in for the programs' signatures, and only its age can refuse one.
    const bool web = vek::iswebfolder(aFolder);
    const QString server = vek::addslash(aFolder);
    const QString local = vek::addslash(localFolder_);
    for (int i = 0; i < Serverlv->count(); ++i) {
        const QString name = Serverlv->text(i, 0);
        const trust::Verdict refused = web ? vek::expectedolderrefusal(signatures_, webIndex_.signedAt, local + name)
                                           : vek::expectedrefusal(signatures_, server + name, name, local + name);
        if (!refused.ok())
            Serverlv->item(i)->setDisabledNote(kRefusedRowTip.arg(refused.reason));
    }
}

void TInstallfm::fitColumns(TListView* list)
{
    if (!columnsToFit_.removeOne(list) || !FormResizer || FormResizer->initialOwnerWidth() <= 0)
        return;
    // The date as wide as the widest date shown, at most its design width
    // scaled with the window; the name takes the rest of the list.
    // A font chosen larger than the design's widens the dates with it.
    double fontGrowth = 1.0;
    for (const auto& single : FormResizer->resizers()) {
        if (single->component() == list)
            fontGrowth = std::max(1.0, single->chosenFontScale());
    }
    const double widthRatio = double(width()) / FormResizer->initialOwnerWidth();
    const int widest = int(std::lround(kDateColumnMaxWidth * widthRatio * fontGrowth));
    int date = widest;
    if (list->count() > 0) {
        list->resizeColumnToContents(1);
        date = std::min(list->columnWidth(1), widest);
    }
    list->setColumnWidth(1, date);
    // The rows may be waiting for their layout: the scroll bar they will
    // need is known from their number already.
    int inside = list->width() - 2 * list->frameWidth();
    if (list->count() * list->sizeHintForRow(0) > list->viewport()->height())
        inside -= list->verticalScrollBar()->sizeHint().width();
    // Two pixels to spare: the widths scale with the list, each rounded, and
    // a sum a pixel wider than the list would bring a scroll bar.
    list->setColumnWidth(0, std::max(inside - date - 2, 0));
}

void TInstallfm::FilterEdKeyUp()
{
    // A folder that cannot be read was warned about when it was listed; each
    // key typed into the filter does not warn again.
    (void)FindPrograms(vek::addslash(serverFolder_), Serverlv, vek::trimtext(FilterEd->text()));
}

void TInstallfm::RefreshLnkClick()
{
    fetchWebIndex();
    readServerFolder();
}

void TInstallfm::InstallbtnClick()
{
    Installbtn->setEnabled(false);
    QCoreApplication::processEvents();
    installHighlighted();
    finishInstall();
}

void TInstallfm::installHighlighted()
{
    vek::busycursor();
    // The rows highlighted now are the run: rows added, deleted or highlighted
    // while it goes (the window stays usable) wait for the next one.
    QStringList names;
    for (const TListItem* row : Locallv->rows()) {
        if (row->isSelected())
            names.append(row->caption());
    }
    beginProgress(int(names.size()));
    // Each failure was shown as it came; the outcomes tell nothing more here.
    (void)installer::installprograms(serverFolder_, localFolder_, names, this, signatures_, &webIndex_);
}

void TInstallfm::beginProgress(int count)
{
    ProgressBar1->show();
    // Each program is a stretch of the bar that fills with the bytes of its
    // copy, so that one large program shows its progress as well as many small ones.
    ProgressBar1->setRange(0, std::max(count, 1) * kProgressStepsPerRow);
    ProgressBar1->setPosition(0);
}

void TInstallfm::finishInstall()
{
    if (!unattended())
        listServerPrograms();
    vek::normalcursor();
    Installinglab->setCaption(QString());
    ProgressBar1->hide();
    if (!unattended())
        Installbtn->setEnabled(true);
}

void TInstallfm::starting(int index, int count, const QString& name)
{
    if (unattended() && index == 0) {
        // The one program of the run in bold at the top, and as the one
        // highlighted row of the list it is installed from.
        Autolab->setCaption(Autoexename);
        Autolab->show();
        vek::clearlistview(Locallv);
        Locallv->addItem(Autoexename)->setSelected(true);
        vek::busycursor();
        beginProgress(count);
    }
    Installinglab->setCaption(name);
    showProgress(index * kProgressStepsPerRow);
}

void TInstallfm::copying(int index, int /*count*/, qint64 copied, qint64 total)
{
    showProgress(index * kProgressStepsPerRow + int(total > 0 ? copied * kProgressStepsPerRow / total : 0));
}

void TInstallfm::finished(int index, int /*count*/, const InstallOutcome& outcome)
{
    if (!outcome.installed && !unattended())
        vek::warnmessage(outcome.message, QString());
    showProgress((index + 1) * kProgressStepsPerRow);
}

void TInstallfm::warn(const QString& message)
{
    vek::warnmessage(message, QString());
}

void TInstallfm::tell(const QString& /*line*/)
{
    // The window shows what the run did; the line is for callers without one.
}

void TInstallfm::runfinished()
{
    finishInstall();
    close();
}

void TInstallfm::showProgress(int position)
{
    ProgressBar1->setPosition(std::min(position, ProgressBar1->maximum()));
    // Drawn now, not when the run ends: the label and the bar tell what is
    // being copied while it is.
    Installinglab->repaint();
    ProgressBar1->repaint();
    QCoreApplication::processEvents();
}

void TInstallfm::AddbtnClick()
{
    Locallv->beginUpdate();
    for (const TListItem* row : Serverlv->rows()) {
        if (row->checked())
            Locallv->appendRow(row->caption(), row->subItems());
    }
    Locallv->endUpdate();
}

void TInstallfm::DeleteLnkClick()
{
    if (vek::askyesno(kDeleteQuestion, u'0') != u'1')
        return;
    for (int i = Locallv->count() - 1; i >= 0; --i) {
        TListItem* row = Locallv->item(i);
        if (row->isSelected())
            Locallv->deleteItem(row);
    }
}

void TInstallfm::SelectAllLnkClick()
{
    for (TListItem* row : Serverlv->rows()) {
        if (row->disabledNote().isEmpty())  // a greyed program would be refused
            row->setChecked(true);
    }
}

void TInstallfm::InvertLnkClick()
{
    for (TListItem* row : Serverlv->rows()) {
        if (row->disabledNote().isEmpty())  // a greyed program would be refused
            row->setChecked(!row->checked());
    }
}

void TInstallfm::ServerlvColumnClick(int column)
{
    vek::sortlistview(Serverlv, column, SortDir1);
}

void TInstallfm::LocallvColumnClick(int column)
{
    vek::sortlistview(Locallv, column, SortDir2);
}

void TInstallfm::ClosebtnClick()
{
    close();
}

}  // namespace installer
