#include "forms/formmenu.h"

#include "forms/fontcolour.h"

#include "chart/kwchart.h"
#include "dialogs/messagecalls.h"
#include "forms/formmenuseam.h"
#include "forms/formresizer.h"
#include "forms/formstate.h"
#include "forms/languagesaction.h"
#include "forms/listviewcsv.h"
#include "lib/basictext.h"
#include "lib/fields.h"
#include "lib/folders.h"
#include "lib/numbers.h"
#include "lib/stamps.h"
#include "lib/sysutils.h"
#include "lib/textlists.h"
#include "platform/controls/activeform.h"
#include "platform/controls/controlkinds.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/errortext.h"
#include "platform/inifile.h"
#include "platform/libformat.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <optional>

namespace vek {
namespace {

using platform::TForm;

bool& languagesSwitch()
{
    static bool allowed = false;
    return allowed;
}

TForm* menuForm(const TFormResizer* resizer)
{
    QWidget* owner = resizer->owner();
    if (auto* form = qobject_cast<TForm*>(owner))
        return form;
    return TForm::owningForm(owner);
}

// The kinds that carry a font of their own in the settings file (a rich
// edit's holds for the window's life).
bool ownFontKind(const QObject* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    return kind && (kind->font == platform::FontRole::Own || kind->font == platform::FontRole::OwnUnstored);
}

QString number(int value)
{
    return QString::number(value);
}

// Left, top, right and bottom, as the pointer log writes bounds.
QString bounds(const QRect& r)
{
    return number(r.left()) + u' ' + number(r.top()) + u' ' + number(r.left() + r.width()) + u' '
        + number(r.top() + r.height());
}

QString point(QPoint p)
{
    return number(p.x()) + u' ' + number(p.y());
}

bool containerKind(const QObject* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    return kind && kind->container;
}

// A control's value as the reports file keeps it; none for a kind without one.
std::optional<QString> reportValue(const QObject* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    if (!kind || !kind->value)
        return std::nullopt;
    const QVariant value = kind->value(control);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return joinfields(value.toStringList(), u'|');
    case QMetaType::Int:
        return QString::number(value.toInt());
    case QMetaType::Bool:
        return booltotext(value.toBool());
    case QMetaType::QDateTime:
        return datetimestamp(value.toDateTime());
    default:
        return std::nullopt;
    }
}

void warnNotSaved(const QString& what, const QString& name, int code)
{
    warnmessage(what + name + QStringLiteral(": ") + platform::errorText(code), QString());
}

// Puts `action` in before the menu's last item, or at the end of an empty menu.
void insertBeforeLast(platform::TPopupMenu* menu, QAction* action)
{
    const QList<QAction*> items = menu->actions();
    if (items.isEmpty())
        menu->addAction(action);
    else
        menu->insertAction(items.constLast(), action);
}

// What a built-in item does, on the window whose menu it is and the control
// the menu was opened on.
using ItemHandler = void (*)(TFormResizer* resizer, TForm* form, QWidget* component);

// The item "Save Report Settings", told apart from a program's own items of
// that caption.
const QString kReportSettingsItemName = QStringLiteral("reportSettingsItem");

// An item of the menu whose trigger runs `handler` (none: the item only
// closes the menu). Chosen before the menu was opened on a control, or after
// its window went, it does nothing.
QAction* builtInItem(TFormResizer* resizer, const QString& caption, ItemHandler handler)
{
    auto* item = new QAction(caption, resizer->Popup());
    if (handler) {
        QObject::connect(item, &QAction::triggered, resizer, [resizer, handler] {
            QWidget* component = resizer->PopupComponent();
            TForm* form = menuForm(resizer);
            if (component && form)
                handler(resizer, form, component);
        });
    }
    return item;
}

// The menu point in the form's client coordinates.
QPoint menuPoint(const TFormResizer* resizer, const TForm* form)
{
    return form->mapFromGlobal(resizer->PopupPoint());
}

// Forgets the form's stored geometry and layout and marks the next close as
// one that stores nothing, so that the next start is a first one again.
// Returns 0 or the code of the write that failed.
int forgetForm(TForm* form)
{
    platform::IniFile ini(settingsFilePath());
    if (const int rc = ini.eraseSection(formSection(form)); rc != 0)
        return rc;
    return ini.writeInt(revertSection(form), kRequestKey, 1);
}

// After the form section was forgotten: out of the maximised state it no
// longer holds, and to the default size and place, measured from the design
// size whatever shape the window has now.
void returnToDefaultPlace(TForm* form)
{
    if (form->windowState().testFlag(Qt::WindowMaximized))
        form->setWindowState(form->windowState() & ~Qt::WindowMaximized);
    loadformposition(form);
}

void setFont(TFormResizer* resizer, TForm* form, QWidget* component)
{
    const bool formWide = !ownFontKind(component);
    QWidget* target = formWide ? static_cast<QWidget*>(form) : component;
    const std::optional<QFont> chosen = askfont(component, target->font());
    if (!chosen)
        return;
    const int shownBefore = fontpoints(target->font());
    target->setFont(*chosen);
    // The chosen size is the size at the design size, and scales with the
    // window from there. loadformlayout below settles the stored kinds again;
    // a rich edit's font is not stored, and holds through this alone.
    resizer->rebaseFont(target, shownBefore);
    const QStringList fontlist{formWide ? formSection(form) : controlSection(form, component)};
    if (const int rc = saveformlayout(form, nullptr, fontlist); rc != 0)
        warnNotSaved(kSettingsNotSaved, settingsFilePath(), rc);
    QStringList scratch;
    loadformlayout(form, nullptr, scratch);
    // The texts at their new size take the room they need at once, not at
    // the next resize.
    resizer->ResizeAll();
}

void restoreFont(TFormResizer* resizer, TForm* form, QWidget* component)
{
    QStringList scratch;
    if (ownFontKind(component)) {
        platform::IniFile ini(settingsFilePath());
        if (const int rc = ini.eraseSection(controlSection(form, component)); rc != 0)
            warnNotSaved(kSettingsNotSaved, settingsFilePath(), rc);
        loadformlayout(form, nullptr, scratch);
        return;
    }
    if (const int rc = forgetForm(form); rc != 0)
        warnNotSaved(kSettingsNotSaved, settingsFilePath(), rc);
    loadformlayout(form, nullptr, scratch);
    resizer->setResizeFonts(true);
    resizer->ResizeAll();
    // The fonts of this window, which is the one whose menu was used, whichever
    // window was activated last.
    resizer->RestoreOriginalfonts();
    returnToDefaultPlace(form);
}

void resetScreen(TFormResizer* resizer, TForm* form, QWidget* /*component*/)
{
    if (const int rc = forgetForm(form); rc != 0)
        warnNotSaved(kSettingsNotSaved, settingsFilePath(), rc);
    QStringList scratch;
    loadformlayout(form, nullptr, scratch);
    resizer->setResizeFonts(true);
    resizer->ResizeAll();
    returnToDefaultPlace(form);
}

void copyCaption(TFormResizer* resizer, TForm* form, QWidget* component)
{
    if (auto* list = qobject_cast<platform::TListView*>(component)) {
        const QList<platform::TListItem*> selected = list->selectedRows();
        if (!selected.isEmpty())
            setclipboardtext(selected.constFirst()->caption());
        return;
    }
    // Where the menu was opened: the pointer has since moved onto the item.
    QStringList log;
    QWidget* found = cursorcontrol(resizer->PopupPoint(), log, form);
    // The log only helps find out why nothing was copied: not saving it changes nothing else.
    (void)savelist(log, datafolder() + kPopupLogName);
    if (!found)
        return;
    QCoreApplication::processEvents();
    // The control's own text: what was typed or chosen in it, or its caption.
    if (const std::optional<QString> text = platform::ownTextOf(found))
        setclipboardtext(*text);
}

void makeChart(TFormResizer* resizer, TForm* form, QWidget* /*component*/)
{
    auto* list = qobject_cast<platform::TListView*>(controlatpoint(form, menuPoint(resizer, form)));
    if (!list)
        return;
    QCoreApplication::processEvents();
    (void)kwchart::showchartmaker(list, form->caption());  // the chart maker has no result to act on
}

void saveListview(TFormResizer* resizer, TForm* form, QWidget* component)
{
    // The list under the point is the one the menu was opened on.
    auto* list = qobject_cast<platform::TListView*>(controlatpoint(form, menuPoint(resizer, form)));
    if (!list)
        return;
    QCoreApplication::processEvents();
    const QString name = asksavefile(component, kListviewFilter, kListviewExtension, suggestedcsvname(form->caption()));
    if (name.isEmpty())
        return;
    if (const int rc = listviewtocsv(list, name, platform::libformat().listSeparator, false); rc != 0)
        warnNotSaved(kListviewNotSaved, name, rc);
}

void openLanguages(TFormResizer* resizer, TForm* form, QWidget* /*component*/)
{
    languagesaction(form, menuPoint(resizer, form));
}

void saveReportSettings(TFormResizer* /*resizer*/, TForm* form, QWidget* /*component*/)
{
    if (const int rc = savereportsettings(form); rc != 0)
        warnNotSaved(kReportsNotSaved, addslash(filesfolder()) + kReportsFileName, rc);
}

struct BuiltInItem {
    const QString& caption;
    ItemHandler handler;
    // Offered only under a debugger or where languagesallowed.
    bool languages = false;
};

}  // namespace

bool languagesallowed()
{
    return languagesSwitch();
}

void setlanguagesallowed(bool allowed)
{
    languagesSwitch() = allowed;
}

void buildformmenu(TFormResizer* resizer)
{
    platform::TPopupMenu* menu = resizer->Popup();
    const bool offerLanguages = indebugger() || languagesallowed();
    // In menu order.
    const BuiltInItem items[] = {
        {kSetFontCaption, setFont},           {kRestoreFontCaption, restoreFont},
        {kResetScreenCaption, resetScreen},   {kLanguagesCaption, openLanguages, true},
        {kCopyCaptionCaption, copyCaption},   {kMakeChartCaption, makeChart},
        {kSaveListviewCaption, saveListview}, {kExitCaption, nullptr},
    };
    for (const BuiltInItem& item : items) {
        if (!item.languages || offerLanguages)
            menu->addAction(builtInItem(resizer, item.caption, item.handler));
    }
    resizer->setAdditionalPopupAddded(false);
}

void addadditionalpopup(TFormResizer* resizer, const QString& s)
{
    const QString codes = resizer->AdditionalActions();
    if (codes.contains(s))
        return;
    resizer->setAdditionalActions(codes + s);
    if (!resizer->AdditionalActions().contains(kReportSettingsCode))
        return;
    // One item, however many codes follow the first that asked for it.
    for (const QAction* item : resizer->Popup()->actions()) {
        if (item->objectName() == kReportSettingsItemName)
            return;
    }
    QAction* item = builtInItem(resizer, kSaveReportSettingsCaption, saveReportSettings);
    item->setObjectName(kReportSettingsItemName);
    insertBeforeLast(resizer->Popup(), item);
}

QAction* addadditionalpopupwithproc(TFormResizer* resizer, const QString& s, std::function<void()> p)
{
    auto* item = new QAction(s, resizer->Popup());
    if (p)
        QObject::connect(item, &QAction::triggered, resizer, std::move(p));
    insertBeforeLast(resizer->Popup(), item);
    resizer->setAdditionalPopupAddded(false);
    return item;
}

QWidget* controlatpoint(const TForm* form, QPoint point)
{
    if (!form)
        return nullptr;
    const QObjectList components = form->components();
    // The deepest visible widget there; the parts a control is made of (a
    // list's header and viewport, a combo box's edit) stand for the control.
    for (QWidget* w = form->childAt(point); w && w != form; w = w->parentWidget()) {
        if (components.contains(w))
            return w;
    }
    return nullptr;
}

QWidget* cursorcontrol(QPoint screenPoint, QStringList& log, TForm* form)
{
    if (!form)
        form = qobject_cast<TForm*>(platform::activeform());
    if (!form)
        return nullptr;
    log.append(QStringLiteral("Ascreenpos ") + point(screenPoint));
    log.append(QStringLiteral("Form=") + form->objectName());
    log.append(QStringLiteral("Form left ") + bounds(form->frameGeometry()));
    log.append(QStringLiteral("getcursorpos:") + point(QCursor::pos()));
    log.append(QStringLiteral("Screentoclient:") + point(form->mapFromGlobal(screenPoint)));

    QWidget* result = nullptr;
    for (QObject* component : form->components()) {
        auto* control = qobject_cast<QWidget*>(component);
        if (!control || control->isWindow())
            continue;
        QWidget* parent = control->parentWidget() ? control->parentWidget() : form;
        const QPoint inParent = parent->mapFromGlobal(screenPoint);
        log.append(control->objectName() + u' ' + bounds(control->geometry()));
        log.append(parent->objectName() + u' ' + point(inParent));
        if (!control->isVisible())
            continue;
        if (control->geometry().contains(inParent)) {
            result = control;
            if (!containerKind(control))
                break;
        }
    }
    return result;
}

int savereportsettings(TForm* form)
{
    platform::IniFile ini(addslash(filesfolder()) + kReportsFileName);
    const QString section = formSection(form);
    if (const int rc = ini.eraseSection(section); rc != 0)
        return rc;
    for (QObject* component : form->components()) {
        const std::optional<QString> value = reportValue(component);
        if (!value)
            continue;
        if (const int rc = ini.writeString(section, component->objectName(), *value); rc != 0)
            return rc;
    }
    return 0;
}

QString suggestedcsvname(const QString& caption)
{
    return underscoredname(caption) + QStringLiteral(".CSV");
}

}  // namespace vek

// The resizer's menu operations live here with the menu they serve.
namespace vek {

void TFormResizer::HandlePopup(QObject* Sender)
{
    // Only an item of this menu: its own handler runs.
    auto* item = qobject_cast<QAction*>(Sender);
    if (item && Fpopup->actions().contains(item))
        item->trigger();
}

void TFormResizer::AddAdditionalPopup(const QString& s)
{
    addadditionalpopup(this, s);
}

void TFormResizer::AddAdditionalPoupupwithProc(const QString& s, std::function<void()> p)
{
    (void)addadditionalpopupwithproc(this, s, std::move(p));  // the item is in the menu; the caller keeps no handle
}

}  // namespace vek
