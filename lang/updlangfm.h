#pragma once
// The language editor: the window in which a user translates the texts of
// one screen. Every record of the screen's language file is a row; the user
// edits a record's text, deletes records, filters the rows, switches to
// another language or to the shared "Main" and "Shared" files, and has texts
// translated by the translation service, one record or every row at once.
// Every change is written to the file at once.
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QString>
#include <QStringList>

namespace vek {

// A failed machine translation: what failed, between which languages, and why.
// %1 the text (or texts), %2 and %3 the language codes.
inline const QString kTranslationFailed = QStringLiteral("The translation of %1 from %2 to %3 failed.");
inline const QString kTranslationFailedWhy = QStringLiteral("Reason: %1");
inline const QString kTranslationOfLines = QStringLiteral("the %1 lines of the record");
inline const QString kTranslationOfTexts = QStringLiteral("%1 texts from %2 on");

inline const QString kLangEditorCaption = QStringLiteral("Language");
inline const QString kLangSettingsName = QStringLiteral("Updlangsettings.ini");
// The first screen choice when the calling screen has no caption.
inline const QString kCurrentScreen = QStringLiteral("Current");
inline const QString kMainScreen = QStringLiteral("Main");
inline const QString kSharedScreen = QStringLiteral("Shared");
// The files "Main" and "Shared" start from.
inline const QString kDefaultFilePrefix = QStringLiteral("Default_");

class TUpdLangfm : public platform::TForm {
    Q_OBJECT
public:
    explicit TUpdLangfm(QWidget* parent = nullptr);

    // Set by the caller before the window is shown.
    // Component name and caption of the screen being translated.
    QString callingform;
    QString callingscreen;
    // The language folder, with a separator at the end.
    QString langfolder;
    // The language file to open.
    QString langfile;
    // The control under the pointer when the menu was opened (its component
    // name and its text, a memo's lines joined with "|"), or empty: its row is
    // selected when the file is shown.
    QString controlname;
    QString controltext;

    // The lines of the open file, in file order.
    QStringList langfilelist;
    // The language code of the open file: its name before the first "_".
    QString langselected;
    // The file opened when the window was shown.
    QString defaultlangfile;
    // The text of the record being edited when it was selected.
    QString origcontent;

    // Window events, as the controls call them.
    void FormShow();
    void FormClose();
    void LanglvClick();
    void LangupdbtnClick();
    void AddnewbtnClick();
    // Also the click of Reset.
    void DeletebtnClick();
    void FilterBtnClick();
    void LangfileCBCloseUp();
    void GooglebtnClick();
    void LanguageedExit();
    void BulkbtnClick();

    // Fills the rows from langfilelist, through the filter, and selects the
    // row of the control to be located.
    void displaylangfile();
    void clearform();
    void loadlasttime();
    void savelasttime();
    // Full path of the editor's settings file.
    static QString findlocalconfig();
    // With the name of an existing file: only that file's lines are read
    // (short open), and true is returned. Otherwise the full open of
    // langfile (or the calling screen's file) with the screen choices, and
    // false.
    bool loaddata(const QString& usefile);

    // Closing saves the settings and releases the file's lines; not while a
    // bulk translation runs.
    void done(int result) override;

    // Writes langfilelist to langfile; true when written.
    bool savelangfile();

    platform::TLabeledEdit* Languageed;
    platform::TLabel* ScreenLab;
    platform::TComboBox* LangfileCB;
    platform::TLabeledEdit* FilterEd;
    platform::TButton* FilterBtn;
    platform::TListView* Langlv;
    platform::TGroupBox* Langgb;
    platform::TLabel* Contentlab;
    platform::TEdit* Langcontented;
    platform::TMemo* langcontentmemo;
    platform::TButton* Langupdbtn;
    platform::TButton* Addnewbtn;
    platform::TButton* Deletebtn;
    platform::TButton* Resetbtn;
    platform::TLabeledEdit* Fromlanged;
    platform::TLabeledEdit* ToLanged;
    platform::TButton* Googlebtn;
    platform::TButton* Bulkbtn;
    platform::TProgressBar* Bulkpb;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The sub-items of a row after its kind: record name, text, line number.
    static constexpr int kNameItem = 0;
    static constexpr int kTextItem = 1;
    static constexpr int kLineItem = 2;

    void buildControls();
    // Shows the row's text in the editing area, as the record being edited.
    void editRow(platform::TListItem* row);
    void connectEvents();
    // The file line a row shows, or -1 for none.
    static int lineOfRow(const platform::TListItem* row);
    // The row of the file line `number`, or null.
    platform::TListItem* rowOfLine(int number) const;
    // Puts a row's text into the file line its number names, and shows it.
    void storeRowText(platform::TListItem* row, const QString& text);
    // The bulk run's single-line rows, translated a batch a request.
    void translateBatch(const QList<platform::TListItem*>& batch);
    void translateMultiLineRow(platform::TListItem* row);
    bool translationCodesGiven();
    void setBulkRunning(bool running);

    // The file line of the row shown in the editing area, or -1.
    int editedLine_ = -1;
    // The code Languageed showed before the user typed.
    QString shownCode_;
    // The open file is there but could not be read: it is never written.
    bool readFailed_ = false;
    bool bulkRunning_ = false;
    // While the editor puts the current row on the opening control's row.
    bool preselecting_ = false;
};

// The editor window, made on first use and kept for the rest of the run.
TUpdLangfm* langeditor();

}  // namespace vek
