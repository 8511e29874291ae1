#pragma once
// The installer window: the catalogue of server programs on the left, the list
// of programs to install on the right.
#include "installer/runreporter.h"
#include "installer/runrequest.h"
#include "lib/signedplacement.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/result.h"
#include "update/newsoftware.h"
#include "web/serverindexfetch.h"

#include <QString>

#include <memory>

namespace vek {
class TFormResizer;
}

namespace installer {

inline const QString kInstallCaption = QStringLiteral("Install New Software  ");
inline const QString kDeleteQuestion = QStringLiteral("Are you sure?");
// The tooltip of a greyed catalogue row: why its install would be refused.
inline const QString kRefusedRowTip = QStringLiteral("Install refused: %1");
inline const QString kBackupGenerationsItem = QStringLiteral("Backup generations\u2026");
inline const QString kChooseProgramFirst
    = QStringLiteral("Highlight a program in the list \"2. To be installed\" to see its backup generations.");

// The version label: "v" and the version the build was made as.
QString versionlabeltext();

// The window is the reporter of an unattended run while it is shown: the
// program body runs the install (installer/unattendedrun.h), the window shows
// its name, its progress and its warnings, and closes when it is over.
class TInstallfm : public platform::TForm, public installer::RunReporter {
    Q_OBJECT
public:
    // `run` is what the run parameters ask; the window settles its folders
    // and its language (LANGUAGE=, a refused code reported over the window)
    // from it when it is first shown.
    explicit TInstallfm(const installer::RunRequest& run, QWidget* parent = nullptr);

    bool unattended() const { return !Autoname.isEmpty(); }
    // The folders the run settled on when the window was shown; the labels show them.
    QString serverFolder() const { return serverFolder_; }
    QString localFolder() const { return localFolder_; }

    // Lists the program files of `aFolder` into `aLV`, keeping the names that
    // hold `aFilter` (letters a to z in any case). A folder that cannot be
    // read leaves the list empty, and the result says why.
    [[nodiscard]] platform::Result<void> FindPrograms(const QString& aFolder, platform::TListView* aLV,
                                                      const QString& aFilter);

    // Window events and handlers, as the controls and the timer call them.
    void FormShow();
    // Every activation hands the window to its form resizer; the first one
    // makes it, which records the design layout and gives the window its
    // remembered (or default) size and place.
    void FormActivate();
    // Scales the controls to the window's size, once the resizer exists.
    void FormResize();
    // Stores the window's place, size and layout for the next start.
    void FormClose();
    void Timer1Timer();
    void InstallbtnClick();
    void AddbtnClick();
    void DeleteLnkClick();
    void SelectAllLnkClick();
    void InvertLnkClick();
    void RefreshLnkClick();
    void FilterEdKeyUp();
    void ServerlvColumnClick(int column);
    void LocallvColumnClick(int column);
    // "Backup generations…" of the right-click menu: the generations window of
    // the program highlighted in the list "To be installed".
    void BackupGenerationsClick();
    void ClosebtnClick();

    // The controls, named as in the layout.
    platform::TLabel* VersionLab;
    platform::TLabel* Autolab;
    platform::TButton* Closebtn;
    platform::TGroupBox* Localgb;
    platform::TLabel* Serverfolderlab;
    platform::TEdit* FilterEd;
    platform::TListView* Serverlv;
    platform::TLabel* RefreshLnk;
    platform::TLabel* SelectAllLnk;
    platform::TLabel* InvertLnk;
    platform::TGroupBox* Newgb;
    platform::TLabel* Localfolderlab;
    platform::TLabel* Installinglab;
    platform::TProgressBar* ProgressBar1;
    platform::TListView* Locallv;
    platform::TLabel* DeleteLnk;
    platform::TButton* Addbtn;
    platform::TButton* Installbtn;
    platform::TTimer* Timer1;

    // Sort directions of the server list and the local list.
    bool SortDir1 = false;
    bool SortDir2 = false;
    // The window's resizer and right-click menu: none until the first activation.
    vek::TFormResizer* FormResizer = nullptr;
    // The program updater, held for the window's life: made when the window is
    // first shown, released first when it closes. The window calls none of its
    // operations.
    std::unique_ptr<vek::tnewsoftware> newobj;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void settleServerFolder();
    // The part of the timer step that lists the server folder in an interactive run.
    void listServerPrograms();
    // The whole server folder into the server list; a folder that cannot be
    // read is warned about.
    void readServerFolder();
    // For a server folder on a web server: its index fetched, or fetched again
    // when it changed; a failure is warned about and the index kept as it was.
    void fetchWebIndex();
    // The install itself, for the button and the unattended run alike: the
    // highlighted rows of the local list, in the order shown.
    void installHighlighted();
    // What follows every install: the server list again in an interactive run,
    // and the window back at rest.
    void finishInstall();
    // Sizes the columns of `list` to what it shows, once, when nothing stored
    // sized them: the date as wide as its widest text (at most its design
    // width, scaled), the first column the rest of the list.
    void fitColumns(platform::TListView* list);
    // Greys the catalogue's programs that an install would refuse for their
    // signature (where the start ini file names keys), the reason as tooltip.
    void greyRefusedPrograms(const QString& aFolder);
    // Moves the bar and lets the window draw and answer while a copy runs.
    void showProgress(int position);

    // The bar shown at 0 for a run of `count` programs.
    void beginProgress(int count);

    // An install run as it goes: the label and the bar; in an interactive
    // run each failure as a warning at once (the unattended run warns
    // through warn()).
    void starting(int index, int count, const QString& name) override;
    void copying(int index, int count, qint64 copied, qint64 total) override;
    void finished(int index, int count, const InstallOutcome& outcome) override;
    // The unattended run's warnings over the window; what it did shows in
    // the window, and it closes when the run is over.
    void warn(const QString& message) override;
    void tell(const QString& line) override;
    void runfinished() override;

    installer::RunRequest run_;
    QString serverFolder_;
    QString localFolder_;
    // The keys the start ini file names and ALLOWOLDER, settled with the folders.
    vek::SignaturePolicy signatures_;
    QString Autoname;
    QString Autoexename;
    // The index of a server folder on a web server, as last fetched.
    vek::WebIndex webIndex_;
    bool shown_ = false;
    QList<platform::TListView*> columnsToFit_;
};

}  // namespace installer
