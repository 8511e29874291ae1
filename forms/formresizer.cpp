#include "forms/formresizer.h"

#include "forms/fontcolour.h"
#include "forms/formmenu.h"
#include "forms/formstate.h"
#include "platform/controls/controlkinds.h"
#include "platform/controls/tanchors.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tform.h"
#include "platform/controls/tlistview.h"
#include "platform/controls/tstdctrls.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QWidget>

#include <algorithm>

namespace vek {
namespace {

const QString kLinkSuffix = QStringLiteral("LNK");

QPointer<TFormResizer>& activeSlot()
{
    static QPointer<TFormResizer> resizer;
    return resizer;
}

bool isLinkLabel(const QObject* control)
{
    return qobject_cast<const platform::TLabel*>(control) && control->objectName().right(3).toUpper() == kLinkSuffix;
}

void setUnderline(QWidget* control, bool on)
{
    QFont font = control->font();
    if (font.underline() == on)
        return;
    font.setUnderline(on);
    control->setFont(font);
}

void setPointSize(QWidget* control, int points)
{
    if (points <= 0)
        return;
    QFont font = control->font();
    if (font.pointSize() == points)
        return;
    font.setPointSize(points);
    control->setFont(font);
}

// A label not anchored left and right: its width is its text's, never a
// scaled dimension.
bool sizesToText(const platform::TLabel* label)
{
    const platform::TAnchors anchors = platform::getanchors(label);
    return !(anchors.testFlag(platform::akLeft) && anchors.testFlag(platform::akRight));
}

// The kinds whose many rows would grow out of view at the full rate.
bool slowFontKind(const QWidget* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    return kind && kind->manyRows;
}

// The kinds whose font the user may choose for them alone: the menu opens on
// them too, so that it knows which one is meant.
bool ownFontKind(const QWidget* control)
{
    const platform::ControlKind* kind = platform::controlKind(control);
    return kind && kind->font == platform::FontRole::Own;
}

// The components of the owner that the resizer scales: the form's own, or
// for a panel the form's components inside it. Menus and other windows are
// no controls on it.
QList<QWidget*> ownedControls(QWidget* owner)
{
    const auto* form = qobject_cast<platform::TForm*>(owner);
    const platform::TForm* home = form ? form : platform::TForm::owningForm(owner);
    QList<QWidget*> out;
    if (!home)
        return out;
    for (QObject* component : home->components()) {
        auto* control = qobject_cast<QWidget*>(component);
        if (!control || control == owner || qobject_cast<QMenu*>(control) || control->isWindow())
            continue;
        if (form || owner->isAncestorOf(control))
            out.append(control);
    }
    return out;
}

}  // namespace

// ---- TSingleResizer ----

std::unique_ptr<TSingleResizer> TSingleResizer::Create(QWidget* LinkedControl, QWidget* ParentForm, bool IncFont,
                                                       int MinFS, int MaxFS, QString* error)
{
    const QString reason
        = !LinkedControl ? kSingleResizerWithoutComponent : (!ParentForm ? kSingleResizerWithoutForm : QString());
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return nullptr;
    }
    std::unique_ptr<TSingleResizer> r(new TSingleResizer);
    r->FComponent = LinkedControl;
    r->linked_ = LinkedControl;
    r->Owner = ParentForm;
    const QRect bounds = LinkedControl->geometry();
    r->InitHeight = bounds.height();
    r->InitLeft = bounds.left();
    r->InitTop = bounds.top();
    r->InitWidth = bounds.width();
    // Every widget has a font.
    r->FHasFontProp = true;
    r->FOrigFont = LinkedControl->font();
    if (const auto* label = qobject_cast<const platform::TLabel*>(LinkedControl))
        r->designText_ = label->text();
    r->origOwnFont_ = LinkedControl->testAttribute(Qt::WA_SetFont);
    r->origColour_ = hasowntextcolour(LinkedControl) ? fontcolour(LinkedControl) : clWindowText;
    r->InitFontSize = fontpoints(LinkedControl->font());
    r->fontBase_ = r->InitFontSize;
    r->InitHeightOwner = ParentForm->height();
    r->InitWidthOwner = ParentForm->width();
    r->FSglResizeFonts = IncFont;
    r->FSglMinFontSize = MinFS;
    r->FSglMaxFontSize = MaxFS;
    if (qobject_cast<platform::TLabel*>(LinkedControl))
        r->FFlexWidth = false;
    return r;
}

void TSingleResizer::Unlink()
{
    FComponent = nullptr;
    linked_ = nullptr;
}

bool TSingleResizer::atInitialSize(double OwnerHeight, double OwnerWidth) const
{
    return roundHalfEven(OwnerHeight) == InitHeightOwner && roundHalfEven(OwnerWidth) == InitWidthOwner;
}

double TSingleResizer::fontRatio(double HeightRatio) const
{
    if (HeightRatio > 1 && slowFontKind(FComponent))
        return (HeightRatio - 1) * 0.33 + 1;
    return HeightRatio;
}

int TSingleResizer::fontSizeFor(double OwnerHeight, double OwnerWidth, double HeightRatio) const
{
    const bool initial = atInitialSize(OwnerHeight, OwnerWidth);
    // The design size as it was, even outside the limits, while the font
    // scales from it: the design layout comes back exactly.
    if (initial && fontBase_ == InitFontSize)
        return InitFontSize;
    int size = roundHalfEven((initial ? 1.0 : fontRatio(HeightRatio)) * fontBase_);
    if (size > FSglMaxFontSize)
        size = FSglMaxFontSize;
    if (size < FSglMinFontSize)
        size = FSglMinFontSize;
    return size;
}

void TSingleResizer::chooseFontSize(int points)
{
    resetFontBase();
    if (points <= 0)
        return;
    chosenSize_ = points;
    fontBase_ = points;
}

void TSingleResizer::resetFontBase()
{
    fontBase_ = InitFontSize;
    chosenSize_ = 0;
}

void TSingleResizer::Resize(double OwnerHeight, double OwnerWidth, double HeightRatio, double WidthRatio)
{
    QWidget* control = FComponent;
    if (!control || platform::getalign(control) == platform::TAlign::alClient)
        return;
    QRect bounds = control->geometry();
    int left = bounds.left();
    int top = bounds.top();
    int width = bounds.width();
    int height = bounds.height();
    const bool scaleFont = FHasFontProp && FSglResizeFonts;

    if (roundHalfEven(OwnerHeight) == InitHeightOwner && roundHalfEven(OwnerWidth) == InitWidthOwner) {
        // Back at the initial size: the design layout, exactly. A label's
        // width does not scale, but sizing it to its text at other sizes
        // changed it: it gets its design width back too.
        if (FFlexHeight)
            height = InitHeight;
        if (FFlexWidth || qobject_cast<platform::TLabel*>(control))
            width = InitWidth;
        if (FFlexHorizPos)
            left = InitLeft;
        if (FFlexVertPos)
            top = InitTop;
        if (scaleFont)
            setPointSize(control, fontSizeFor(OwnerHeight, OwnerWidth, HeightRatio));
        control->setGeometry(left, top, width, height);
        // A text that no longer fits the design width because it changed (a
        // chosen font, a translation) is shown whole all the same; the design
        // text in the design font stays exactly as designed.
        auto* label = qobject_cast<platform::TLabel*>(control);
        const bool asDesigned = label && label->text() == designText_ && label->font() == FOrigFont;
        if (label && !asDesigned && sizesToText(label)) {
            if (label->sizeHint().width() > width)
                label->resize(label->sizeHint().width(), height);
            label->keepInsideParent();
        }
        return;
    }

    if (FFlexHeight)
        height = roundHalfEven(InitHeight * HeightRatio);
    if (FFlexWidth)
        width = roundHalfEven(InitWidth * WidthRatio);
    if (FFlexHorizPos)
        left = roundHalfEven(InitLeft * WidthRatio);
    if (FFlexVertPos)
        top = roundHalfEven(InitTop * HeightRatio);
    if (scaleFont)
        setPointSize(control, fontSizeFor(OwnerHeight, OwnerWidth, HeightRatio));

    auto* label = qobject_cast<platform::TLabel*>(control);
    if (label && sizesToText(label)) {
        // The label takes the size of its text at the new font, keeping its
        // right edge when its text is right-aligned, and inside its parent.
        label->setGeometry(left, top, width, height);
        label->adjustSize();
        if (label->alignment() & Qt::AlignRight)
            label->move(left + width - label->width(), top);
        label->keepInsideParent();
        label->update();
    } else {
        control->setGeometry(left, top, width, height);
    }
    if (auto* grid = qobject_cast<platform::TStringGrid*>(control)) {
        const int rowHeight = QFontMetrics(grid->font()).height() + 11;
        grid->verticalHeader()->setDefaultSectionSize(rowHeight);
        for (int row = 0; row < grid->rowCount(); ++row)
            grid->setRowHeight(row, rowHeight);
    }
}

// ---- TFormResizer ----

TFormResizer* TFormResizer::Create(QObject* AOwner, QString* error)
{
    auto* owner = qobject_cast<QWidget*>(AOwner);
    const QString reason = !AOwner ? kResizerWithoutOwner : (!owner ? kResizerOwnerKind : QString());
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return nullptr;
    }
    return new TFormResizer(owner);
}

TFormResizer::TFormResizer(QWidget* owner) : QObject(owner), owner_(owner)
{
    buildPopup();
}

TFormResizer::~TFormResizer()
{
    if (activeSlot() == this)
        activeSlot() = nullptr;
}

void TFormResizer::buildPopup()
{
    // The menu belongs to the owner and goes with it. Its items are the form
    // menu's.
    Fpopup = new platform::TPopupMenu(owner_);
    buildformmenu(this);
    FAdditionalPopupAdded = false;
}

void TFormResizer::offerPopup(QWidget* control)
{
    // A control with a menu of its own (or none wanted) keeps it.
    if (control->contextMenuPolicy() != Qt::DefaultContextMenu)
        return;
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this, [this, control](const QPoint& at) {
        // A list or grid reports the point in its viewport's coordinates.
        auto* area = qobject_cast<QAbstractScrollArea*>(control);
        showPopup(control, (area ? area->viewport() : control)->mapToGlobal(at));
    });
}

void TFormResizer::showPopup(QWidget* component, const QPoint& screenPoint)
{
    popupComponent_ = component;
    popupPoint_ = screenPoint;
    if (!Fpopup->isEmpty())
        Fpopup->popup(screenPoint);
}

void TFormResizer::InitializeForm()
{
    if (AlreadyInitialized)
        return;
    AlreadyInitialized = true;
    InitHeightOwner = owner_->height();
    InitWidthOwner = owner_->width();
    lastOwnerHeight_ = InitHeightOwner;
    lastOwnerWidth_ = InitWidthOwner;
    ownerFont_ = owner_->font();
    ownerOwnFont_ = owner_->testAttribute(Qt::WA_SetFont);
    ownerColour_ = hasowntextcolour(owner_) ? fontcolour(owner_) : clWindowText;

    for (QWidget* control : ownedControls(owner_)) {
        if (auto* label = qobject_cast<platform::TLabel*>(control)) {
            if (!(label->alignment() & Qt::AlignHCenter))
                label->setAutoSize(true);
        }
        // A list's columns scale with it, as every other extent of the window does.
        if (auto* list = qobject_cast<platform::TListView*>(control))
            list->setColumnsFollowWidth(true);
        if (ownFontKind(control))
            offerPopup(control);
        std::unique_ptr<TSingleResizer> single
            = TSingleResizer::Create(control, owner_, FResizeFonts, FMinFontSize, FMaxFontSize);
        if (!single)
            continue;
        connect(control, &QObject::destroyed, this, [this](QObject* gone) { Notification(gone, opRemove); });
        ResizerList.push_back(std::move(single));
    }
    if (qobject_cast<platform::TForm*>(owner_))
        offerPopup(owner_);
}

void TFormResizer::ResizeAll()
{
    if (owner_->isWindow())
        notenormalframe(owner_);
    if (FResizeDisabled)
        return;
    if (FEnforceMinSize) {
        if (owner_->height() < InitHeightOwner)
            owner_->resize(owner_->width(), InitHeightOwner);
        if (owner_->width() < InitWidthOwner)
            owner_->resize(InitWidthOwner, owner_->height());
    }
    if (InitHeightOwner <= 0 || InitWidthOwner <= 0)
        return;  // never initialised, or an owner without extent: no ratio to scale by
    const double ownerHeight = owner_->height();
    const double ownerWidth = owner_->width();
    const double heightRatio = ownerHeight / InitHeightOwner;
    const double widthRatio = ownerWidth / InitWidthOwner;
    lastOwnerHeight_ = ownerHeight;
    lastOwnerWidth_ = ownerWidth;
    lastHeightRatio_ = heightRatio;
    for (const std::unique_ptr<TSingleResizer>& single : ResizerList) {
        QWidget* control = single->component();
        if (!control)
            continue;
        SetupLinkLabel(control);
        single->Resize(ownerHeight, ownerWidth, heightRatio, widthRatio);
        DoPostResize(control, heightRatio, widthRatio);
    }
}

void TFormResizer::DoPostResize(QWidget* Comp, double HeightRatio, double WidthRatio)
{
    if (FOnPostResize)
        FOnPostResize(this, Comp, HeightRatio, WidthRatio);
}

void TFormResizer::Notification(QObject* AComponent, TOperation Operation)
{
    if (Operation != opRemove || !AComponent)
        return;
    for (const std::unique_ptr<TSingleResizer>& single : ResizerList) {
        if (single->linkedTo(AComponent))
            single->Unlink();
    }
}

void TFormResizer::RestoreOriginalfonts()
{
    for (const std::unique_ptr<TSingleResizer>& single : ResizerList) {
        single->resetFontBase();
        QWidget* control = single->component();
        if (!control || !single->hasFont())
            continue;
        QFont font = single->designFont();
        if (single->resizesFont())
            font.setPointSize(single->fontSizeFor(lastOwnerHeight_, lastOwnerWidth_, lastHeightRatio_));
        control->setFont(font);
        setfontcolour(control, single->designColour());
    }
    if (!AlreadyInitialized)
        return;
    if (ownerOwnFont_)
        owner_->setFont(ownerFont_);
    else
        owner_->setFont(QFont());
    setfontcolour(owner_, ownerColour_);
}

TSingleResizer* TFormResizer::fontResizerOf(const QWidget* control) const
{
    if (!control)
        return nullptr;
    for (const std::unique_ptr<TSingleResizer>& single : ResizerList) {
        if (single->component() == control)
            return single->hasFont() && single->resizesFont() ? single.get() : nullptr;
    }
    return nullptr;
}

void TFormResizer::rebaseFont(QWidget* control, int shownBefore)
{
    if (!control || InitHeightOwner <= 0 || InitWidthOwner <= 0)
        return;
    const int points = fontpoints(control->font());
    // The owner's font is not scaled: its size is the design size already,
    // and the controls that follow it settle in loadformlayout.
    TSingleResizer* single = fontResizerOf(control);
    if (!single)
        return;
    // The size it showed kept (a new face alone): the size it scales from
    // stays as it was.
    if (points == shownBefore)
        return;
    single->chooseFontSize(points);
    showScaledFont(single);
}

int TFormResizer::designFontSize(const QWidget* control) const
{
    if (control == owner_)
        return fontpoints(owner_->font());
    const TSingleResizer* single = fontResizerOf(control);
    return single ? single->fontBasePoints() : 0;
}

void TFormResizer::showScaledFont(TSingleResizer* single)
{
    QWidget* control = single->component();
    if (!control)
        return;
    const double height = owner_->height();
    setPointSize(control, single->fontSizeFor(height, owner_->width(), height / InitHeightOwner));
}

void TFormResizer::settleFont(QWidget* control, StoredFontSize stored, int points)
{
    TSingleResizer* single = fontResizerOf(control);
    if (!single || InitHeightOwner <= 0 || InitWidthOwner <= 0)
        return;
    if (points <= 0)
        stored = StoredFontSize::None;
    switch (stored) {
    case StoredFontSize::None:
        single->resetFontBase();
        break;
    case StoredFontSize::Control:
    case StoredFontSize::Form:
        // A stored size is the size at the design size, whichever window
        // size it was chosen at: the same before and after a restart.
        single->chooseFontSize(points);
        break;
    }
    showScaledFont(single);
}

void TFormResizer::SetupLinkLabel(QWidget* control)
{
    if (!isLinkLabel(control))
        return;
    // Installing the same filter again replaces the earlier one.
    control->installEventFilter(this);
    setUnderline(control, false);
}

void TFormResizer::LinkLabelEnter(QWidget* label)
{
    setUnderline(label, true);
    label->setCursor(Qt::PointingHandCursor);
}

void TFormResizer::LinkLabelLeave(QWidget* label)
{
    setUnderline(label, false);
    label->unsetCursor();
}

bool TFormResizer::eventFilter(QObject* watched, QEvent* event)
{
    if (isLinkLabel(watched)) {
        if (event->type() == QEvent::Enter)
            LinkLabelEnter(static_cast<QWidget*>(watched));
        else if (event->type() == QEvent::Leave)
            LinkLabelLeave(static_cast<QWidget*>(watched));
    }
    return QObject::eventFilter(watched, event);
}

// ---- process-wide ----

TFormResizer* activeresizer()
{
    return activeSlot().data();
}

void setactiveresizer(TFormResizer* resizer)
{
    activeSlot() = resizer;
}

bool setupformresizer(platform::TForm* form, TFormResizer*& resizer)
{
    setactiveresizer(resizer);
    if (resizer)
        return false;
    TFormResizer* made = TFormResizer::Create(form);
    if (!made)
        return false;
    resizer = made;
    setactiveresizer(made);
    made->setResizeFonts(true);
    made->InitializeForm();
    loadformposition(form);
    // The stored fonts came on after the size: the texts take the room they
    // need at those fonts now, not at the next resize.
    made->ResizeAll();
    return true;
}

}  // namespace vek
