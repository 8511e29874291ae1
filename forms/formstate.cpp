#include "forms/formstate.h"

#include "forms/fontcolour.h"
#include "forms/formresizer.h"
#include "lib/folders.h"
#include "lib/params.h"
#include "lib/retrywait.h"
#include "platform/controls/screenmetrics.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"
#include "platform/inifile.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace vek {
namespace {

// The font readers below take any size of 0 or less, this marker included, as none stored.
static_assert(kNoFontValue <= 0);

using platform::IniFile;
using platform::TForm;

constexpr int kRetryWaitMs = 500;
// A stored or current height or width at or below this is never applied or stored.
constexpr int kMinStoredSize = 100;

// The file passed in, or the program's own for the length of one operation.
class SettingsAccess {
public:
    explicit SettingsAccess(IniFile* given) : ini_(given)
    {
        if (!ini_) {
            own_ = opensettingsfile();
            ini_ = own_.get();
        }
    }
    IniFile& operator*() const { return *ini_; }
    IniFile* operator->() const { return ini_; }

private:
    std::unique_ptr<IniFile> own_;
    IniFile* ini_;
};

FormGeometry fromRect(const QRect& r)
{
    return {r.left(), r.top(), r.width(), r.height()};
}

bool maximised(const QWidget* form)
{
    return form->windowState().testFlag(Qt::WindowMaximized);
}

// Where the frame a form had when last seen not maximised is kept: a window
// manager draws a maximised window with a thinner frame, or none.
const char* const kNormalFrameProperty = "vekNormalFrame";

QMargins normalFrame(const QWidget* form)
{
    const QVariant kept = form->property(kNormalFrameProperty);
    if (maximised(form) && kept.isValid())
        return kept.value<QMargins>();
    return platform::framemargins(form);
}

// The outer bounds the form has when it is not maximised: now, or the ones
// un-maximising returns to, in its normal frame. Empty when the form never
// had any.
FormGeometry normalouterGeometry(const QWidget* form)
{
    const QRect inner = form->normalGeometry();
    if (inner.isEmpty())
        return {};
    return fromRect(inner.marginsAdded(normalFrame(form)));
}

// The size the form was designed at, outer: what its resizer recorded before
// the form was first sized, else its size now (a form without a resizer has
// not been sized yet).
QSize designOuterSize(const QWidget* form)
{
    QSize inner = form->size();
    for (const TFormResizer* resizer : form->findChildren<TFormResizer*>(Qt::FindDirectChildrenOnly)) {
        if (resizer->alreadyInitialized() && resizer->initialOwnerWidth() > 0 && resizer->initialOwnerHeight() > 0)
            inner = QSize(resizer->initialOwnerWidth(), resizer->initialOwnerHeight());
    }
    const QMargins frame = platform::framemargins(form);
    return inner.grownBy(frame);
}

bool listed(const QStringList& fontlist, const QString& section)
{
    return fontlist.contains(section, Qt::CaseInsensitive);
}

// Writes in turn until one fails; the first failure's code sticks.
class Writes {
public:
    explicit Writes(IniFile& ini) : ini_(ini) {}
    void integer(const QString& section, const QString& key, int value)
    {
        if (code_ == 0)
            code_ = ini_.writeInt(section, key, value);
    }
    void text(const QString& section, const QString& key, const QString& value)
    {
        if (code_ == 0)
            code_ = ini_.writeString(section, key, value);
    }
    void erase(const QString& section)
    {
        if (code_ == 0)
            code_ = ini_.eraseSection(section);
    }
    // The size written is the one the font scales from (what the user
    // chose, the size at the design size), not the one the window shows now.
    void font(const QString& section, const QString& prefix, const QWidget* control, const TFormResizer* resizer)
    {
        const int designSize = resizer ? resizer->designFontSize(control) : 0;
        integer(section, prefix + kFontSizeKey, designSize > 0 ? designSize : fontpoints(control->font()));
        text(section, prefix + kFontNameKey, control->font().family());
        integer(section, prefix + kFontColorKey, fontcolour(control));
    }
    // Column i as "<prefix>i", in ten-thousandths of the control's width. At
    // zero width the ratio means nothing: the stored widths stay.
    template <typename ColumnWidth>
    void columns(const QString& section, const QString& prefix, int count, int width, ColumnWidth columnWidth)
    {
        if (width <= 0)
            return;
        for (int i = 0; i < count; ++i)
            integer(section, prefix + QString::number(i), roundHalfEven(columnWidth(i) * 10000.0 / width));
    }
    int code() const { return code_; }

private:
    IniFile& ini_;
    int code_ = 0;
};

using StoredFontSize = TFormResizer::StoredFontSize;

// Where a control's font size came from, for the form's resizers to scale
// it from.
struct FontSettlement {
    QWidget* control;
    StoredFontSize stored;
    int points;
};

// Applies a control section's stored font; returns the size stored, 0 for
// none.
int applyStoredFont(const IniFile& ini, const QString& section, const QString& prefix, QWidget* control)
{
    QFont font = control->font();
    int size = ini.readInt(section, prefix + kFontSizeKey, kNoFontValue);
    // A size of 0 or below cannot be shown: it counts as none stored (kNoFontValue is below 0 too).
    if (size <= 0)
        size = 0;
    else
        font.setPointSize(size);
    const QString name = ini.readString(section, prefix + kFontNameKey);
    if (!name.isEmpty())
        font.setFamily(name);
    if (font != control->font())
        control->setFont(font);
    const int colour = ini.readInt(section, prefix + kFontColorKey, kNoFontValue);
    if (colour != kNoFontValue)
        setfontcolour(control, colour);
    return size;
}

// The fall-back for a list, tree or grid with no section of its own.
void followForm(QWidget* control, const QWidget* form, bool found)
{
    if (found) {
        setparentfont(control);
        return;
    }
    control->setFont(form->font());
    setfontcolour(control, fontcolour(form));
}

void restoreColumns(const IniFile& ini, const QString& section, const QString& prefix, int count, int width,
                    const std::function<void(int, int)>& setWidth)
{
    for (int i = 0; i < count; ++i) {
        const int v = ini.readInt(section, prefix + QString::number(i), -1);
        // 0 and 1 are what an empty or vanished column stored: the design width
        // stays. So it does for a share too small to give a pixel, which would
        // hide the column now and store 0 at the close.
        const int pixels = v > 1 ? roundHalfEven(v / 10000.0 * width) : 0;
        if (pixels > 0)
            setWidth(i, pixels);
    }
}

void setRowHeights(platform::TStringGrid* grid)
{
    const int height = QFontMetrics(grid->font()).height() + 11;
    grid->verticalHeader()->setDefaultSectionSize(height);
    for (int row = 0; row < grid->rowCount(); ++row)
        grid->setRowHeight(row, height);
}

// A control of default appearance shows its container's text colour (none
// of its own: the system's, or the one the user chose for the form), no
// emphasis, at the form's size. One that is not, and the user has chosen a
// form font (`found`), takes the form's size and face but keeps its colour and
// emphasis. Returns whether the control's font is a default one.
bool defaultFont(QWidget* control, const QFont& formFont, bool found)
{
    const QFont own = control->font();
    const bool isDefault = !hasowntextcolour(control) && plainfontstyle(own) && fontpoints(own) == fontpoints(formFont);
    if (!isDefault && found) {
        QFont chosen = own;
        chosen.setPointSize(fontpoints(formFont));
        chosen.setFamily(formFont.family());
        control->setFont(chosen);
    }
    return isDefault;
}

bool simpleKind(const QObject* c)
{
    return qobject_cast<const platform::TButton*>(c) || qobject_cast<const platform::TPanel*>(c)
        || qobject_cast<const platform::TGroupBox*>(c) || qobject_cast<const platform::TEdit*>(c)
        || qobject_cast<const platform::TMemo*>(c) || qobject_cast<const platform::TListBox*>(c)
        || qobject_cast<const platform::TComboBox*>(c) || qobject_cast<const platform::TCheckBox*>(c)
        || qobject_cast<const platform::TRadioGroup*>(c);
}

int saveOnce(TForm* form)
{
    SettingsAccess ini(nullptr);
    const QString section = formSection(form);
    const QString revert = revertSection(form);
    if (ini->readInt(revert, kRequestKey, 0) != 0)
        return ini->eraseSection(revert);

    Writes writes(*ini);
    // A maximised window's corner and size are the screen's: what it stores
    // is the normal geometry the user gave it, where un-maximising returns
    // to at the next start.
    const FormGeometry g = normalouterGeometry(form);
    const QRect desktop = platform::desktoparea();
    if (g.top >= desktop.top() && g.left >= desktop.left() && g.height > kMinStoredSize && g.width > kMinStoredSize) {
        writes.integer(section, kLastTopKey, g.top);
        writes.integer(section, kLastLeftKey, g.left);
        writes.integer(section, kLastHeightKey, g.height);
        writes.integer(section, kLastWidthKey, g.width);
    }
    writes.integer(section, kMaxKey, maximised(form) ? 1 : 0);
    if (writes.code())
        return writes.code();
    // Closing stores no fonts: they reach the file only when the user picks one.
    return saveformlayout(form, &*ini, {});
}

}  // namespace

QString settingsFileName(const QString& programFile)
{
    const qsizetype cut = std::max(programFile.lastIndexOf(u'/'), programFile.lastIndexOf(u'\\'));
    QString name = programFile.mid(cut + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name + kSettingsFileSuffix;
}

QString settingsFilePath()
{
    return datafolder() + settingsFileName(exename());
}

QString formSection(const QWidget* form)
{
    return form->objectName();
}

QString controlSection(const QWidget* form, const QWidget* control)
{
    return form->objectName() + u'_' + control->objectName();
}

QString revertSection(const QWidget* form)
{
    return kRevertSectionPrefix + form->objectName();
}

int roundHalfEven(double x)
{
    const double lower = std::floor(x);
    const double diff = x - lower;
    double r = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0))
        r = lower + 1;
    return static_cast<int>(r);
}

FormGeometry defaultGeometry(QSize design, const QRect& workArea)
{
    const int waw = workArea.width();
    const int wah = workArea.height();
    double rw = waw;
    double rh = wah;
    if (rw > 1280) {
        rw = 1280;
        rh = 1024;
    }
    if (rh > 1024)
        rh = 1024;
    rw = roundHalfEven(rw * 0.9);
    rh = roundHalfEven(rh * 0.9);
    const double w = std::max(1, design.width());
    const double h = std::max(1, design.height());
    const double cap = design.width() < 600 ? 1.33 : 1.5;
    const double scale = std::min({rw / w, rh / h, cap});
    FormGeometry g;
    g.width = roundHalfEven(w * scale);
    g.height = roundHalfEven(h * scale);
    g.top = workArea.top() + std::max(1, roundHalfEven(wah / 2.0 - g.height / 2.0));
    g.left = workArea.left() + std::max(1, roundHalfEven(waw / 2.0 - g.width / 2.0));
    return g;
}

QPoint pullBack(QPoint topLeft, QSize size, const QRect& desktop, const QRect& workArea)
{
    int top = topLeft.y();
    int left = topLeft.x();
    const int desktopBottom = desktop.top() + desktop.height();
    const int desktopRight = desktop.left() + desktop.width();
    const int workBottom = workArea.top() + workArea.height();
    const int workRight = workArea.left() + workArea.width();
    if (top >= desktopBottom - 5)
        top = desktopBottom - size.height();
    if (left >= desktopRight - 5)
        left = desktopRight - size.width();
    if (top >= workBottom - 5)
        top = workBottom - size.height();
    if (left >= workRight - 5)
        left = workRight - size.width();
    return {left, top};
}

std::optional<FormGeometry> storedplacement(const FormGeometry& stored, const FormGeometry& current,
                                            const QRect& desktop, const QRect& workArea)
{
    FormGeometry outer = current;
    if (stored.height > kMinStoredSize)
        outer.height = stored.height;
    if (stored.width > kMinStoredSize)
        outer.width = stored.width;
    // Pulled back by the size the window will have: a stored size that is not
    // applied (0, or below 0) would leave the corner on or past the far edge.
    const QPoint corner
        = pullBack(QPoint(stored.left, stored.top), QSize(outer.width, outer.height), desktop, workArea);
    if (!desktop.contains(corner))
        return std::nullopt;
    outer.left = corner.x();
    outer.top = corner.y();
    return outer;
}

bool isfixedsize(const QWidget* form)
{
    return form->minimumSize() == form->maximumSize();
}

std::unique_ptr<platform::IniFile> opensettingsfile()
{
    return std::make_unique<platform::IniFile>(settingsFilePath());
}

void freeinifile(std::unique_ptr<platform::IniFile>& ini)
{
    // Nothing is held open between operations, so letting go cannot fail.
    ini.reset();
}

void notenormalframe(QWidget* form)
{
    if (maximised(form))
        return;
    const QMargins frame = platform::framemargins(form);
    if (!frame.isNull())
        form->setProperty(kNormalFrameProperty, QVariant::fromValue(frame));
}

FormGeometry outergeometry(const QWidget* form)
{
    return fromRect(form->geometry().marginsAdded(platform::framemargins(form)));
}

void placeouter(QWidget* form, const FormGeometry& outer)
{
    const QRect frame(outer.left, outer.top, outer.width, outer.height);
    form->setGeometry(frame.marginsRemoved(platform::framemargins(form)));
}

FormGeometry formdefaultgeometry(const QWidget* form)
{
    return defaultGeometry(designOuterSize(form), platform::workarea(form));
}

void loadformposition(TForm* form)
{
    // Scroll bars and double buffering need no switching here: the form has
    // no scroll area and Qt draws every window double-buffered.
    const QRect work = platform::workarea(form);
    const QRect desktop = platform::desktoparea();
    QStringList scratch;
    if (maximised(form)) {
        loadformlayout(form, nullptr, scratch);
        return;
    }
    const FormGeometry fallback = formdefaultgeometry(form);
    if (isfixedsize(form))
        return;

    std::unique_ptr<IniFile> ini = opensettingsfile();
    const QString section = formSection(form);
    const int storedTop = ini->readInt(section, kLastTopKey, fallback.top);
    const int storedLeft = ini->readInt(section, kLastLeftKey, fallback.left);
    const int height = ini->readInt(section, kLastHeightKey, fallback.height);
    const int width = ini->readInt(section, kLastWidthKey, fallback.width);
    // The stored bounds are the frame's, as they were stored: applied to the
    // frame, the window comes back exactly where it was, however often it is
    // closed and started.
    const FormGeometry stored{storedLeft, storedTop, width, height};
    if (const std::optional<FormGeometry> outer = storedplacement(stored, outergeometry(form), desktop, work))
        placeouter(form, *outer);
    notenormalframe(form);
    if (ini->readInt(section, kMaxKey, 0) != 0)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    loadformlayout(form, ini.get(), scratch);
    freeinifile(ini);
}

int saveformposition(TForm* form)
{
    if (isfixedsize(form))
        return 0;
    const int first = saveOnce(form);
    if (first == 0)
        return 0;
    vek::waitbeforesaveretry(kRetryWaitMs);
    return saveOnce(form);
}

int saveformlayout(TForm* form, IniFile* given, const QStringList& fontlist)
{
    if (isfixedsize(form))
        return 0;
    SettingsAccess ini(given);
    Writes writes(*ini);
    const TFormResizer* resizer = form->findChild<TFormResizer*>(QString(), Qt::FindDirectChildrenOnly);
    for (QObject* component : form->components()) {
        auto* control = qobject_cast<QWidget*>(component);
        if (!control)
            continue;
        const QString section = controlSection(form, control);
        if (auto* lv = qobject_cast<platform::TListView*>(control)) {
            writes.columns(section, kListViewPrefix, lv->columnCount(), lv->width(),
                           [lv](int i) { return lv->columnWidth(i); });
            if (listed(fontlist, section))
                writes.font(section, kListViewPrefix, lv, resizer);
        }
        if (qobject_cast<platform::TTreeView*>(control) && listed(fontlist, section))
            writes.font(section, kTreeViewPrefix, control, resizer);
        if (qobject_cast<platform::TButtonGroup*>(control) && listed(fontlist, section))
            writes.font(section, kButtonGroupPrefix, control, resizer);
        if (auto* grid = qobject_cast<platform::TStringGrid*>(control)) {
            writes.columns(section, kStringGridPrefix, grid->columnCount(), grid->width(),
                           [grid](int i) { return grid->columnWidth(i); });
            if (listed(fontlist, section))
                writes.font(section, kStringGridPrefix, grid, resizer);
        }
        if (auto* pages = qobject_cast<platform::TPageControl*>(control))
            writes.integer(section, kActivePageKey, pages->activePageIndex());
        if (writes.code())
            return writes.code();
    }
    const QString section = formSection(form);
    if (listed(fontlist, section))
        writes.font(section, QString(), form, resizer);
    return writes.code();
}

void loadformlayout(TForm* form, IniFile* given, QStringList& fontlist)
{
    if (isfixedsize(form))
        return;
    SettingsAccess ini(given);
    const QStringList sections = ini->sections();
    for (const QString& section : sections) {
        if (ini->readInt(section, kFontSizeKey, kNoFontValue) != kNoFontValue && !listed(fontlist, section))
            fontlist.append(section);
    }
    auto hasSection = [&sections](const QString& name) { return sections.contains(name, Qt::CaseInsensitive); };
    // A control section that holds only column widths or a page (every close
    // writes those) holds no font: the control follows the form's font as
    // one without a section does, and takes a face chosen for the window.
    auto hasOwnFont = [&](const QString& section, const QString& prefix) {
        return hasSection(section)
            && (ini->readInt(section, prefix + kFontSizeKey, kNoFontValue) != kNoFontValue
                || !ini->readString(section, prefix + kFontNameKey).isEmpty()
                || ini->readInt(section, prefix + kFontColorKey, kNoFontValue) != kNoFontValue);
    };

    // The form's font; another form without one of its own takes the main form's.
    const QString formName = formSection(form);
    const TForm* mainForm = TForm::mainForm();
    const bool fromMain = mainForm && mainForm != form;
    bool found = false;
    QFont formFont = form->font();
    const int size = ini->readInt(formName, kFontSizeKey, kNoFontValue);
    // The size the controls that follow the form's font show; 0 when none is stored.
    int formSize = 0;
    if (size > 0) {  // kNoFontValue, none stored, is below 0
        formFont.setPointSize(size);
        formSize = size;
        found = true;
    } else if (fromMain) {
        formFont.setPointSize(fontpoints(mainForm->font()));
    }
    const QString name = ini->readString(formName, kFontNameKey);
    if (!name.isEmpty()) {
        formFont.setFamily(name);
        found = true;
    } else if (fromMain) {
        formFont.setFamily(mainForm->font().family());
    }
    if (formFont != form->font())
        form->setFont(formFont);
    const int colour = ini->readInt(formName, kFontColorKey, kNoFontValue);
    if (colour != kNoFontValue) {
        setfontcolour(form, colour);
        found = true;
    } else if (fromMain) {
        setfontcolour(form, fontcolour(mainForm));
    }

    std::vector<FontSettlement> settlements;
    // A control that follows the form's font shows the stored form size, if any.
    auto followsForm = [&settlements, formSize](QWidget* control) {
        settlements.push_back({control, formSize > 0 ? StoredFontSize::Form : StoredFontSize::None, formSize});
    };
    auto ownFont = [&settlements](QWidget* control, int points) {
        settlements.push_back({control, StoredFontSize::Control, points});
    };
    for (QObject* component : form->components()) {
        auto* control = qobject_cast<QWidget*>(component);
        if (!control)
            continue;
        const QString section = controlSection(form, control);
        if (qobject_cast<platform::TLabel*>(control)) {
            if (defaultFont(control, form->font(), found)) {
                setparentfont(control);
                setparentcolour(control);
            }
            followsForm(control);
        } else if (simpleKind(control)) {
            if (defaultFont(control, form->font(), found))
                setparentfont(control);
            followsForm(control);
        }
        // A header keeps each column at least as wide as its font asks: the
        // list's own font goes on before its widths, or a large form font
        // would widen columns that the list's smaller font lets be narrow.
        if (auto* lv = qobject_cast<platform::TListView*>(control)) {
            if (hasOwnFont(section, kListViewPrefix)) {
                ownFont(lv, applyStoredFont(*ini, section, kListViewPrefix, lv));
            } else {
                followForm(lv, form, found);
                followsForm(lv);
            }
            if (hasSection(section))
                restoreColumns(*ini, section, kListViewPrefix, lv->columnCount(), lv->width(),
                               [lv](int i, int w) { lv->setColumnWidth(i, w); });
        }
        if (qobject_cast<platform::TTreeView*>(control)) {
            if (hasOwnFont(section, kTreeViewPrefix)) {
                ownFont(control, applyStoredFont(*ini, section, kTreeViewPrefix, control));
            } else {
                followForm(control, form, found);
                followsForm(control);
            }
        }
        if (qobject_cast<platform::TButtonGroup*>(control)) {
            // Its buttons are its children and take its font with it.
            if (hasOwnFont(section, kButtonGroupPrefix)) {
                ownFont(control, applyStoredFont(*ini, section, kButtonGroupPrefix, control));
            } else {
                control->setFont(form->font());
                setfontcolour(control, fontcolour(form));
                followsForm(control);
            }
        }
        if (auto* grid = qobject_cast<platform::TStringGrid*>(control)) {
            if (hasOwnFont(section, kStringGridPrefix)) {
                ownFont(grid, applyStoredFont(*ini, section, kStringGridPrefix, grid));
            } else {
                followForm(grid, form, found);
                followsForm(grid);
            }
            if (hasSection(section)) {
                restoreColumns(*ini, section, kStringGridPrefix, grid->columnCount(), grid->width(),
                               [grid](int i, int w) { grid->setColumnWidth(i, w); });
                setRowHeights(grid);
            }
        }
        if (auto* pages = qobject_cast<platform::TPageControl*>(control)) {
            const int page = hasSection(section) ? ini->readInt(section, kActivePageKey, -1) : -1;
            if (page >= 0)
                pages->setActivePageIndex(page);
        }
    }
    // The sizes put on here are the user's choices at this window size: the
    // resizer scales from them, or the next resize would put the design
    // sizes back. A control with no stored size shows the design size for
    // this window size, not the form's unscaled one.
    const QList<TFormResizer*> resizers = form->findChildren<TFormResizer*>();
    for (TFormResizer* resizer : resizers) {
        for (const FontSettlement& settled : settlements)
            resizer->settleFont(settled.control, settled.stored, settled.points);
    }
}

}  // namespace vek
