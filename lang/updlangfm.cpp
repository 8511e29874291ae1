#include "lang/updlangfm.h"

#include "lang/editorsettings.h"
#include "lang/langcode.h"
#include "lang/langfile.h"
#include "lang/langlines.h"
#include "lang/langmess.h"
#include "lang/langrows.h"
#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/fileops.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "lib/texts.h"
#include "platform/controls/placecontrol.h"
#include "platform/controls/tanchors.h"
#include "platform/fileapi.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPointer>
#include <QScopedValueRollback>
#include <QShowEvent>

namespace vek {

using platform::akBottom;
using platform::akLeft;
using platform::akRight;
using platform::akTop;
using platform::TButton;
using platform::TComboBox;
using platform::TEdit;
using platform::TGroupBox;
using platform::TLabel;
using platform::TLabeledEdit;
using platform::TListItem;
using platform::TListView;
using platform::TMemo;
using platform::TProgressBar;

namespace {

// The language code of a file: its name, without folder and extension,
// before the first "_"; empty when the name has none.
QString codeoffile(const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    const qsizetype us = base.indexOf(u'_');
    return us < 0 ? QString() : base.left(us);
}

TLabeledEdit* labelledEdit(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                           platform::TAnchors anchors = akLeft | akTop)
{
    auto* edit = platform::placecontrol<TLabeledEdit>(parent, name, left, top, width, 21, anchors);
    edit->editLabel()->setCaption(caption);
    return edit;
}

TButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                platform::TAnchors anchors = akLeft | akTop)
{
    auto* b = platform::placecontrol<TButton>(parent, name, left, top, width, 25, anchors);
    b->setCaption(caption);
    return b;
}

}  // namespace

TUpdLangfm::TUpdLangfm(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("UpdLangfm"));
    setCaption(kLangEditorCaption);
    resize(664, 560);
    buildControls();
    connectEvents();
}

void TUpdLangfm::buildControls()
{
    Languageed = labelledEdit(this, "Languageed", kEditorLanguageKey, 8, 24, 90);
    ScreenLab = platform::placecontrol<TLabel>(this, "ScreenLab", 112, 5, 60, 16);
    ScreenLab->setCaption(QStringLiteral("Screen"));
    LangfileCB = platform::placecontrol<TComboBox>(this, "LangfileCB", 112, 24, 200, 21);
    FilterEd = labelledEdit(this, "FilterEd", QStringLiteral("Filter "), 328, 24, 190);
    FilterBtn = button(this, "FilterBtn", QStringLiteral("Apply Filter"), 526, 22, 100);

    Langlv = platform::placecontrol<TListView>(this, "Langlv", 8, 56, 648, 272, akLeft | akTop | akRight | akBottom);
    Langlv->addColumn(QStringLiteral("Source"), 80);
    Langlv->addColumn(QStringLiteral("Name"), 150);
    Langlv->addColumn(QStringLiteral("Value"), 330);
    Langlv->addColumn(QStringLiteral("Index"), 50);
    Langlv->setSelectionBehavior(QAbstractItemView::SelectRows);
    Langlv->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Langgb = platform::placecontrol<TGroupBox>(this, "Langgb", 8, 334, 648, 152, akLeft | akRight | akBottom);
    Contentlab = platform::placecontrol<TLabel>(Langgb, "Contentlab", 10, 20, 60, 16);
    Contentlab->setCaption(QStringLiteral("Contents"));
    Langcontented = platform::placecontrol<TEdit>(Langgb, "Langcontented", 10, 40, 516, 21, akLeft | akTop | akRight);
    langcontentmemo
        = platform::placecontrol<TMemo>(Langgb, "langcontentmemo", 10, 40, 516, 104, akLeft | akTop | akRight);
    Langupdbtn = button(Langgb, "Langupdbtn", QStringLiteral("Update"), 538, 38, 100, akTop | akRight);
    Langupdbtn->setDefault(true);
    Addnewbtn = button(Langgb, "Addnewbtn", QStringLiteral("Add New"), 538, 68, 100, akTop | akRight);
    Addnewbtn->hide();
    Deletebtn = button(Langgb, "Deletebtn", QStringLiteral("Delete"), 538, 68, 100, akTop | akRight);
    Resetbtn = button(Langgb, "Resetbtn", QStringLiteral("Reset"), 538, 98, 100, akTop | akRight);
    Langgb->hide();

    Fromlanged = labelledEdit(this, "Fromlanged", QStringLiteral("From language code"), 8, 512, 110, akLeft | akBottom);
    ToLanged = labelledEdit(this, "ToLanged", QStringLiteral("To language code"), 150, 512, 110, akLeft | akBottom);
    Googlebtn = button(this, "Googlebtn", QStringLiteral("Google Translate"), 292, 510, 130, akLeft | akBottom);
    Bulkbtn = button(this, "Bulkbtn", QStringLiteral("Bulk Google Translate"), 430, 510, 170, akLeft | akBottom);
    Bulkpb = platform::placecontrol<TProgressBar>(this, "Bulkpb", 8, 540, 648, 14, akLeft | akRight | akBottom);
    Bulkpb->hide();
    platform::applyanchors(this);
}

void TUpdLangfm::connectEvents()
{
    connect(Langlv, &TListView::itemClicked, this, [this] { LanglvClick(); });
    // The keyboard and the right mouse button move the current row too:
    // whatever moves it, the editing area shows the row it moved to, so that
    // Update changes the row the user sees.
    connect(Langlv->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!preselecting_ && current.isValid())
                    if (TListItem* row = Langlv->item(current.row()))
                        editRow(row);
            });
    connect(Langupdbtn, &QPushButton::clicked, this, &TUpdLangfm::LangupdbtnClick);
    connect(Addnewbtn, &QPushButton::clicked, this, &TUpdLangfm::AddnewbtnClick);
    connect(Deletebtn, &QPushButton::clicked, this, &TUpdLangfm::DeletebtnClick);
    connect(Resetbtn, &QPushButton::clicked, this, &TUpdLangfm::DeletebtnClick);
    connect(FilterBtn, &QPushButton::clicked, this, &TUpdLangfm::FilterBtnClick);
    connect(LangfileCB, &QComboBox::activated, this, [this] { LangfileCBCloseUp(); });
    connect(Googlebtn, &QPushButton::clicked, this, &TUpdLangfm::GooglebtnClick);
    connect(Bulkbtn, &QPushButton::clicked, this, &TUpdLangfm::BulkbtnClick);
    connect(Languageed, &QLineEdit::editingFinished, this, &TUpdLangfm::LanguageedExit);
}

void TUpdLangfm::showEvent(QShowEvent* event)
{
    TForm::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TUpdLangfm::done(int result)
{
    if (bulkRunning_)
        return;  // the bulk translation ends first and saves the file
    if (isVisible())
        FormClose();
    TForm::done(result);
}

void TUpdLangfm::FormShow()
{
    loadlasttime();
    (void)loaddata(QString());  // the full open: the file is the calling screen's
    defaultlangfile = langfile;
}

void TUpdLangfm::FormClose()
{
    savelasttime();
    callingscreen.clear();
    langfilelist.clear();
}

QString TUpdLangfm::findlocalconfig()
{
    return configfolder() + kLangSettingsName;
}

void TUpdLangfm::loadlasttime()
{
    const EditorSettings stored
        = readeditorsettings(findlocalconfig(), {Languageed->text(), Fromlanged->text(), ToLanged->text()});
    Languageed->setText(stored.language);
    Fromlanged->setText(stored.fromcode);
    ToLanged->setText(stored.tocode);
}

void TUpdLangfm::savelasttime()
{
    // Settings that cannot be written are asked for again next time.
    (void)writeeditorsettings(findlocalconfig(), {Languageed->text(), Fromlanged->text(), ToLanged->text()});
}

void TUpdLangfm::clearform()
{
    Langlv->clearItems();
    Langcontented->clear();
    langcontentmemo->clear();
    FilterEd->clear();
}

bool TUpdLangfm::loaddata(const QString& usefile)
{
    if (!usefile.isEmpty() && platform::isFile(usefile)) {
        langfile = usefile;
        readFailed_ = readlanglines(langfile, langfilelist) == LangRead::Failed;
        return true;
    }
    clearform();
    langfilelist.clear();
    langselected = codeoffile(langfile);
    Languageed->setText(langselected);
    shownCode_ = langselected;
    if (langfile.isEmpty())
        langfile = langfolder + callingform + kLangFileExtension;
    readFailed_ = readlanglines(langfile, langfilelist) == LangRead::Failed;

    LangfileCB->clear();
    LangfileCB->addItem(callingscreen.isEmpty() ? kCurrentScreen : callingscreen);
    LangfileCB->setCurrentIndex(0);
    for (const QString& word : {kMainScreen, kSharedScreen}) {
        const QString file = langfolder + langselected + u'_' + word + kLangFileExtension;
        const QString defaultfile = langfolder + kDefaultFilePrefix + word + kLangFileExtension;
        if (!platform::isFile(file) && platform::isFile(defaultfile))
            (void)blockcopy(defaultfile, file);  // without its copy the word is not offered
        if (!platform::isFile(file))
            continue;
        LangfileCB->addItem(word);
        if (langfile.contains(word, Qt::CaseInsensitive))
            LangfileCB->setCurrentIndex(LangfileCB->count() - 1);
    }
    LangfileCB->setVisible(LangfileCB->count() > 0);
    ScreenLab->setVisible(LangfileCB->count() > 0);
    displaylangfile();
    return false;
}

void TUpdLangfm::displaylangfile()
{
    Langlv->clearItems();
    Langgb->hide();
    editedLine_ = -1;
    const QString namesearch = underscoredname(controlname);
    const QString textsearch = underscoredname(controltext);
    const bool locate = !trimtext(namesearch).isEmpty() || !trimtext(textsearch).isEmpty();
    const QString filter = trimtext(FilterEd->text());

    Langlv->beginUpdate();
    TListItem* chosen = nullptr;
    for (int number = 0; number < langfilelist.size(); ++number) {
        const std::optional<LangRow> row = langrowof(langfilelist[number]);
        if (!row)
            continue;
        if (!filter.isEmpty() && textposnocase(filter, row->kind) == 0 && textposnocase(filter, row->name) == 0
            && textposnocase(filter, row->text) == 0)
            continue;
        const QStringList subitems{row->name, row->text, QString::number(number)};
        TListItem* item = Langlv->addItem(row->kind, subitems);
        if (chosen || !locate)
            continue;
        const QString lines = subitems.join(u'\n');
        if (textposnocase(namesearch, row->kind) > 0 || textposnocase(textsearch, row->kind) > 0
            || textposnocase(namesearch, lines) > 0 || textposnocase(textsearch, lines) > 0)
            chosen = item;
    }
    Langlv->endUpdate();
    if (chosen) {
        // The row of the control the editor was opened on is offered, not
        // opened: the editing area waits for the user's choice.
        const QScopedValueRollback offering(preselecting_, true);
        Langlv->setCurrentItem(chosen);
        Langlv->scrollToItem(chosen);
    }
}

void TUpdLangfm::FilterBtnClick()
{
    displaylangfile();
}

void TUpdLangfm::LangfileCBCloseUp()
{
    const int index = LangfileCB->currentIndex();
    if (index < 0)
        return;
    const QString file = index == 0
        ? defaultlangfile
        : langfolder + langselected + u'_' + LangfileCB->itemText(index) + kLangFileExtension;
    if (platform::isFile(file) && loaddata(file))
        displaylangfile();
}

void TUpdLangfm::LanglvClick()
{
    auto* row = static_cast<TListItem*>(Langlv->currentItem());
    if (row && row->isSelected())
        editRow(row);
}

void TUpdLangfm::editRow(TListItem* row)
{
    Langgb->show();
    const QString text = row->subItem(kTextItem);
    if (multilinekind(row->caption())) {
        Langcontented->hide();
        Langcontented->clear();
        QStringList parts;
        splitfields(text, parts, kPartSeparator);
        langcontentmemo->setLines(parts);
        langcontentmemo->show();
    } else {
        Langcontented->setText(text);
        Langcontented->show();
        langcontentmemo->hide();
        langcontentmemo->clear();
    }
    origcontent = text;
    editedLine_ = lineOfRow(row);
}

int TUpdLangfm::lineOfRow(const TListItem* row)
{
    return row ? row->subItem(kLineItem).toInt() : -1;
}

TListItem* TUpdLangfm::rowOfLine(int number) const
{
    for (TListItem* row : Langlv->rows()) {
        if (lineOfRow(row) == number)
            return row;
    }
    return nullptr;
}

void TUpdLangfm::storeRowText(TListItem* row, const QString& text)
{
    const int number = lineOfRow(row);
    if (number < 0 || number >= langfilelist.size())
        return;
    row->setSubItem(kTextItem, text);
    langfilelist[number] = langrowline({row->caption(), row->subItem(kNameItem), text});
}

bool TUpdLangfm::savelangfile()
{
    // A file that is there but could not be read holds records this list
    // never saw: writing the list would drop them.
    if (!readFailed_ && writelanglines(langfile, langfilelist))
        return true;
    libwarning(kUnwritableLangFile + langfile);
    return false;
}

void TUpdLangfm::LangupdbtnClick()
{
    TListItem* row = rowOfLine(editedLine_);
    if (!row || Langlv->currentItem() != row)
        return;
    const QString newtext
        = multilinekind(row->caption()) ? joinstrings(langcontentmemo->lines(), kPartSeparator) : Langcontented->text();
    storeRowText(row, newtext);
    if (!origcontent.isEmpty()) {
        for (TListItem* other : Langlv->rows()) {
            const QString text = other->subItem(kTextItem);
            if (removepunctuation(text) == origcontent)
                storeRowText(other, replacedtext(text, origcontent, newtext));
        }
    }
    (void)savelangfile();  // a failure has told the user; the rows keep the new texts
    const int position = Langlv->indexOf(row);
    if (position + 1 < Langlv->count()) {
        TListItem* next = Langlv->item(position + 1);
        Langlv->setCurrentItem(next);
        Langlv->scrollToItem(next);
        LanglvClick();
    }
}

void TUpdLangfm::AddnewbtnClick()
{
    // Records come from capturing the screen; the button stays hidden.
}

void TUpdLangfm::DeletebtnClick()
{
    auto* row = static_cast<TListItem*>(Langlv->currentItem());
    if (!row || !row->isSelected())
        return;
    const int number = lineOfRow(row);
    if (number < 0 || number >= langfilelist.size())
        return;
    langfilelist.removeAt(number);
    (void)savelangfile();
    displaylangfile();
    if (number < Langlv->count()) {
        TListItem* at = Langlv->item(number);
        Langlv->setCurrentItem(at);
        Langlv->scrollToItem(at);
    }
}

void TUpdLangfm::LanguageedExit()
{
    const QString code = Languageed->text();
    if (code == shownCode_)
        return;
    // The code names a file: one that would lead out of the language folder
    // is refused before anything is touched.
    if (const QString problem = langcodeproblem(code); !problem.isEmpty()) {
        libwarning(problem);
        Languageed->setText(shownCode_);
        return;
    }
    QString newfile;
    {
        langmessdefn naming(this, filesfolder(), callingform, code, true);
        newfile = naming.langrec->langfilename;
    }
    const QString oldfile = langfile;
    langfile = newfile;
    if (!platform::isFile(newfile))
        (void)blockcopy(oldfile, newfile);  // a new language starts as a copy of the one shown
    shownCode_ = code;
    if (loaddata(newfile)) {
        langselected = codeoffile(newfile);
        displaylangfile();
    }
}

TUpdLangfm* langeditor()
{
    // Made once and kept for the whole run, as the menu's other windows are.
    static QPointer<TUpdLangfm> window;
    if (!window)
        window = new TUpdLangfm;
    return window;
}

}  // namespace vek
