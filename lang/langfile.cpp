#include "lang/langfile.h"

#include "lang/langcode.h"
#include "lang/langlines.h"
#include "lang/langrows.h"
#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/fileops.h"
#include "lib/textlists.h"
#include "platform/atomicwrite.h"
#include "platform/codepage.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/fileapi.h"

#include <QPointer>
#include <QStringDecoder>
#include <algorithm>

namespace vek {

using platform::TButton;
using platform::TCheckBox;
using platform::TComboBox;
using platform::TEdit;
using platform::TForm;
using platform::TGroupBox;
using platform::TLabel;
using platform::TLabeledEdit;
using platform::TListBox;
using platform::TListView;
using platform::TMemo;
using platform::TPanel;
using platform::TRadioButton;
using platform::TRadioGroup;
using platform::TTabSheet;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A list's lines as one text, each followed by CR LF, as the toolkit gives
// the text of items and memos.
QString linestext(const QStringList& lines)
{
    QString out;
    for (const QString& line : lines)
        out += line + kCrLf;
    return out;
}

QString partstolines(QString text)
{
    text.replace(kPartSeparator, kCrLf);
    return text;
}

QStringList headingsof(const TListView* lv)
{
    QStringList out;
    const platform::TListHeader* head = lv->headerItem();
    for (int i = 0; i < lv->columnCount(); ++i)
        out.append(head->text(i));
    return out;
}

// New items for a control that keeps a selected item: the selection stays
// where it was as long as there is an item there.
template <typename Control> void setitemskeepingindex(Control* control, const QStringList& items)
{
    const int index = control->itemIndex();
    control->setItems(items);
    control->setItemIndex(std::min(index, int(items.size()) - 1));
}

}  // namespace

langfiledefn::langfiledefn(const QString& foldername) : langfoldername(langfolderof(foldername))
{
    // A folder that cannot be made shows as captures that are not saved.
    if (!foldername.isEmpty() && !platform::isFolder(langfoldername))
        (void)platform::createFolders(langfoldername);
}

bool langfiledefn::readlangfile(const QString& pscreenname, const QString& plangcode)
{
    if (const platform::Result<void> checked = checklangcode(plangcode); !checked.ok()) {
        errorstr = checked.message();
        return false;
    }
    errorstr.clear();
    screenname = pscreenname;
    langcode = langfilecode(plangcode);
    langfilename = langfilepath(langfoldername, pscreenname, plangcode);
    QStringList lines;
    const LangRead read = readlanglines(langfilename, lines);
    readfailed_ = read == LangRead::Failed;
    recordsof_ = readfailed_ ? QString() : langfilename;
    langrecords.setlines(lines);
    if (readfailed_)
        errorstr = kUnreadableLangFile + langfilename;
    return !readfailed_;
}

bool langfiledefn::readrecord(const QString& componenttype, const QString& name, QString& textstr) const
{
    // The key is put together in one buffer that every lookup reuses.
    probe_.resize(0);
    probe_.append(componenttype).append(u'_').append(name);
    const std::optional<QStringView> text = langrecords.recordtext(probe_);
    if (!text)
        return false;
    textstr = trimtext(*text);
    return true;
}

void langfiledefn::writerecord(const QString& componenttype, const QString& name, const QString& textstr)
{
    // Placeholders such as "{}" stand for texts the program fills in itself.
    if (textstr.isEmpty() || textstr.startsWith(u'{'))
        return;
    // A line break would split a record in two lines of the file.
    langrecords.setrecord(componenttype + u'_' + name, langfileline(textstr));
}

bool langfiledefn::savefile()
{
    // Records that were not read from the file would replace all of its own.
    if (!recordsread()) {
        errorstr = kUnreadLangFile + langfilename;
        return false;
    }
    langrecords.sort();
    if (!writelanglines(langfilename, langrecords.lines())) {
        errorstr = kUnwritableLangFile + langfilename;
        return false;
    }
    errorstr.clear();
    return true;
}

void langfiledefn::keeprecord(const QString& kind, const QString& name, const QString& text)
{
    QString existing;
    if (!readrecord(kind, name, existing))
        writerecord(kind, name, text);
}

void langfiledefn::capturecomponent(QObject* component)
{
    const QString name = component->objectName();
    // Unnamed components would all share one record, and an apply would then
    // give each of them the first one's text.
    if (name.isEmpty())
        return;
    if (const auto* label = qobject_cast<TLabel*>(component))
        keeprecord(kKindLabel, name, label->caption());
    if (const auto* edit = qobject_cast<TLabeledEdit*>(component); edit && edit->editLabel())
        keeprecord(kKindLabel, name, edit->editLabel()->caption());
    if (const auto* button = qobject_cast<TButton*>(component))
        keeprecord(kKindButton, name, button->caption());
    if (const auto* sheet = qobject_cast<TTabSheet*>(component))
        keeprecord(kKindTabs, name, sheet->caption());
    if (const auto* group = qobject_cast<TGroupBox*>(component))
        keeprecord(kKindGroup, name, group->caption());
    if (const auto* panel = qobject_cast<TPanel*>(component))
        keeprecord(kKindPanel, name, panel->caption());
    if (const auto* radio = qobject_cast<TRadioGroup*>(component)) {
        keeprecord(kKindRadio, name, radio->caption());
        keeprecord(kKindRadioItems, name, radio->items().join(kPartSeparator));
    }
    if (const auto* form = qobject_cast<TForm*>(component))
        keeprecord(kKindForm, name, form->caption());
    if (const auto* button = qobject_cast<TRadioButton*>(component))
        keeprecord(kKindRadioButton, name, button->caption());
    if (const auto* check = qobject_cast<TCheckBox*>(component))
        keeprecord(kKindCheck, name, check->caption());
    // A heading that holds "|" is quoted, so that it comes back as one heading.
    if (const auto* lv = qobject_cast<TListView*>(component))
        keeprecord(kKindListView, name, joinfields(headingsof(lv), kPartSeparator));
}

bool langfiledefn::makelangrecords(const QString& pscreenname, const QString& plangcode, TForm* c)
{
    if (!c) {
        errorstr = kNoScreen;
        return false;
    }
    if (!readlangfile(pscreenname, plangcode))
        return false;  // a refused code, or records a save would drop
    for (QObject* component : c->components())
        capturecomponent(component);
    return savefile();
}

QString langfiledefn::applied(const QString& kind, const QString& name, const QString& current) const
{
    QString text = current;
    (void)readrecord(kind, name, text);  // without a record the control keeps its text
    return text;
}

bool langfiledefn::applycomponent(QObject* component)
{
    const QPointer<QObject> alive(component);
    const QString name = component->objectName();
    if (name.isEmpty())
        return true;
    if (auto* label = qobject_cast<TLabel*>(component)) {
        const QString text = applied(kKindLabel, name, label->caption());
        if (text != label->caption())
            label->setCaption(text);
        return true;
    }
    if (auto* edit = qobject_cast<TEdit*>(component)) {
        const QString text = applied(kKindEdit, name, edit->text());
        if (text != edit->text())
            edit->setText(text);
        if (auto* labeled = qobject_cast<TLabeledEdit*>(component)) {
            if (!alive || !labeled->editLabel())
                return false;
            TLabel* label = labeled->editLabel();
            const QString caption = applied(kKindLabel, name, label->caption());
            if (caption != label->caption())
                label->setCaption(caption);
        }
        return bool(alive);
    }
    if (auto* button = qobject_cast<TButton*>(component)) {
        const QString text = applied(kKindButton, name, button->caption());
        if (text != button->caption())
            button->setCaption(text);
        return true;
    }
    if (auto* sheet = qobject_cast<TTabSheet*>(component)) {
        const QString text = applied(kKindTabs, name, sheet->caption());
        if (text != sheet->caption())
            sheet->setCaption(text);
        return true;
    }
    if (auto* group = qobject_cast<TGroupBox*>(component)) {
        const QString text = applied(kKindGroup, name, group->caption());
        if (text != group->caption())
            group->setCaption(text);
        return true;
    }
    if (auto* panel = qobject_cast<TPanel*>(component)) {
        const QString text = applied(kKindPanel, name, panel->caption());
        if (text != panel->caption())
            panel->setCaption(text);
        return true;
    }
    if (auto* radio = qobject_cast<TRadioGroup*>(component)) {
        const QString caption = applied(kKindRadio, name, radio->caption());
        if (caption != radio->caption())
            radio->setCaption(caption);
        if (!alive)
            return false;
        const QString items = applied(kKindRadioItems, name, linestext(radio->items()));
        if (!items.isEmpty()) {
            const QStringList lines = splitlines(partstolines(items));
            // New items keep the choice the user made among the old ones.
            if (lines != radio->items())
                setitemskeepingindex(radio, lines);
        }
        return bool(alive);
    }
    if (auto* button = qobject_cast<TRadioButton*>(component)) {
        const QString text = applied(kKindRadioButton, name, button->caption());
        if (text != button->caption())
            button->setCaption(text);
        return true;
    }
    if (auto* check = qobject_cast<TCheckBox*>(component)) {
        const QString text = applied(kKindCheck, name, check->caption());
        if (text != check->caption())
            check->setCaption(text);
        return true;
    }
    if (auto* combo = qobject_cast<TComboBox*>(component)) {
        const QString text = applied(kKindCombo, name, combo->text());
        if (text != combo->text())
            combo->setText(text);
        return true;
    }
    if (auto* memo = qobject_cast<TMemo*>(component)) {
        // "|" stands for a line break, in the record and in the memo's own text.
        const QStringList lines = splitlines(partstolines(applied(kKindMemo, name, memo->text())));
        if (lines != memo->lines())
            memo->setLines(lines);
        return true;
    }
    if (auto* list = qobject_cast<TListBox*>(component)) {
        const QStringList items = splitlines(partstolines(applied(kKindListBox, name, linestext(list->items()))));
        if (items != list->items())
            setitemskeepingindex(list, items);
        return true;
    }
    if (auto* lv = qobject_cast<TListView*>(component)) {
        QString record;
        (void)readrecord(kKindListView, name, record);  // no record: every heading keeps its caption
        QStringList parts;
        splitfields(record, parts, kPartSeparator);
        const QStringList headings = headingsof(lv);
        for (qsizetype i = parts.size(); i < headings.size(); ++i)
            parts.append(headings[i]);
        // Parts beyond the last column have no heading to go to.
        for (int i = 0; i < headings.size() && alive; ++i) {
            if (parts[i] != headings[i])
                lv->headerItem()->setText(i, parts[i]);
        }
        return bool(alive);
    }
    return true;
}

bool langfiledefn::loadlangrecords(const QString& pscreenname, const QString& plangcode, TForm* c)
{
    if (!readlangfile(pscreenname, plangcode))
        return false;
    if (langrecords.isempty() || !c)
        return true;
    // A text set here may run handlers that remove components further on (or
    // the screen itself): a component found gone ends the walk.
    QList<QPointer<QObject>> components;
    for (QObject* component : c->components())
        components.append(component);
    for (const QPointer<QObject>& component : components) {
        if (!component || !applycomponent(component))
            return false;
    }
    return true;
}

void langfiledefn::findlangfiles(QStringList* t, const QString& foldername)
{
    if (t)
        (void)findfiles(foldername, QStringLiteral("*") + kLangFileExtension, t);  // no file: `t` is empty, as it tells
}

}  // namespace vek
