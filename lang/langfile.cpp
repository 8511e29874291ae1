#include "lang/langfile.h"

#include "lang/langcode.h"
#include "lang/langkinds.h"
#include "lang/langlines.h"
#include "lang/langrows.h"
#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/fileops.h"
#include "lib/textlists.h"
#include "platform/atomicwrite.h"
#include "platform/codepage.h"
#include "platform/controls/tform.h"
#include "platform/fileapi.h"

#include <QPointer>
#include <QStringDecoder>
#include <algorithm>

namespace vek {

using platform::TForm;

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

// New items for a control; where it keeps a selected item, the selection
// stays where it was as long as there is an item there.
void setitemskeepingindex(const platform::ControlKind& kind, QObject* control, const QStringList& items)
{
    if (!kind.itemIndex) {
        kind.setItems(control, items);
        return;
    }
    const int index = kind.itemIndex(control);
    kind.setItems(control, items);
    kind.setItemIndex(control, std::min(index, int(items.size()) - 1));
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
    const platform::ControlKind* kind = platform::controlKind(component);
    if (name.isEmpty() || !kind)
        return;
    for (const LangRecordKind& record : langrecordkinds(kind->id)) {
        if (!record.captured)
            continue;
        switch (record.part) {
        case LangPart::Caption:
            if (const std::optional<QString> caption = kind->caption(component))
                keeprecord(*record.record, name, *caption);
            break;
        case LangPart::Text:
            keeprecord(*record.record, name, kind->text(component));
            break;
        case LangPart::Items:
            keeprecord(*record.record, name, kind->items(component).join(kPartSeparator));
            break;
        case LangPart::Headings:
            // A heading that holds "|" is quoted, so that it comes back as one heading.
            keeprecord(*record.record, name, joinfields(kind->headings(component), kPartSeparator));
            break;
        }
    }
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

bool langfiledefn::applypart(const platform::ControlKind& kind, const LangRecordKind& record, QObject* component)
{
    const QString name = component->objectName();
    switch (record.part) {
    case LangPart::Caption: {
        const std::optional<QString> caption = kind.caption(component);
        if (!caption)
            return false;  // the part that showed it is gone
        const QString text = applied(*record.record, name, *caption);
        if (text != *caption)
            kind.setCaption(component, text);
        return true;
    }
    case LangPart::Text: {
        const QString current = kind.text(component);
        const QString text = applied(*record.record, name, current);
        if (text != current)
            kind.setText(component, text);
        return true;
    }
    case LangPart::Items: {
        // "|" stands for a line break, in the record and in the control's own items.
        const QStringList current = kind.items(component);
        const QString text = applied(*record.record, name, linestext(current));
        if (text.isEmpty() && record.emptyKeepsItems)
            return true;
        const QStringList items = splitlines(partstolines(text));
        if (items != current)
            setitemskeepingindex(kind, component, items);
        return true;
    }
    case LangPart::Headings: {
        QString text;
        (void)readrecord(*record.record, name, text);  // no record: every heading keeps its caption
        QStringList parts;
        splitfields(text, parts, kPartSeparator);
        const QStringList headings = kind.headings(component);
        for (qsizetype i = parts.size(); i < headings.size(); ++i)
            parts.append(headings[i]);
        // Parts beyond the last column have no heading to go to.
        const QPointer<QObject> alive(component);
        for (int i = 0; i < headings.size() && alive; ++i) {
            if (parts[i] != headings[i])
                kind.setHeading(component, i, parts[i]);
        }
        return true;
    }
    }
    return true;
}

bool langfiledefn::applycomponent(QObject* component)
{
    const QString name = component->objectName();
    const platform::ControlKind* kind = platform::controlKind(component);
    if (name.isEmpty() || !kind)
        return true;
    // A text set here may run a handler that removes the component itself:
    // the rest of its texts, and the walk, end there.
    const QPointer<QObject> alive(component);
    for (const LangRecordKind& record : langrecordkinds(kind->id)) {
        if (!record.applied)
            continue;
        if (!alive || !applypart(*kind, record, component))
            return false;
    }
    return bool(alive);
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
