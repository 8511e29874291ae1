#pragma once
// Windows are laid out once at their design size and then stretched in
// proportion: when the window's size changes, every control's bounds are
// scaled by the ratio between the window's current and its initial size, and
// fonts grow and shrink with the height. Every value is computed from the
// bounds and fonts recorded at the start, never from the current ones, so no
// rounding error builds up: back at its initial size the window shows its
// design layout exactly.
//
// A window takes part in three places: its activation event calls
// setupformresizer, its resize event calls ResizeAll of its resizer, and its
// close event calls saveformposition (formstate.h).
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace platform {
class TForm;
class TPopupMenu;
}  // namespace platform

namespace vek {

class TFormResizer;

// The four reasons a resizer cannot be made.
inline const QString kResizerWithoutOwner = QStringLiteral("TFormResizer created without an owner");
inline const QString kResizerOwnerKind = QStringLiteral("TFormResizer owner must be a panel or form");
inline const QString kSingleResizerWithoutComponent = QStringLiteral("TSingleResizer created without a component link");
inline const QString kSingleResizerWithoutForm = QStringLiteral("TSingleResizer created without a parent form link");

// Called after each control is resized, with the resizer as Sender.
using TPostResizeEvent
    = std::function<void(TFormResizer* Sender, QWidget* Comp, double HeightRatio, double WidthRatio)>;

// The resizer of one control: its bounds, font and owner size at creation.
class TSingleResizer {
public:
    // The resizer of `LinkedControl` on `ParentForm`; `IncFont` says whether
    // its font scales, between `MinFS` and `MaxFS` points (the floor wins when
    // they cross). Null, with the reason in `error`, when either is missing.
    static std::unique_ptr<TSingleResizer> Create(QWidget* LinkedControl, QWidget* ParentForm, bool IncFont, int MinFS,
                                                  int MaxFS, QString* error = nullptr);

    // Scales the control to the owner's size: each flexible edge and extent
    // from its initial value times the ratio (halves rounded to even), the
    // font from its font base times the height ratio (lists, list boxes and
    // grids grow at a third of the rate). With the owner back at its initial
    // size the control gets exactly its initial bounds, and its initial font
    // size while no size was chosen for it. A label not anchored left and
    // right then takes the size of its text. Does nothing for an unlinked
    // control or one that fills its container.
    void Resize(double OwnerHeight, double OwnerWidth, double HeightRatio, double WidthRatio);
    // Forgets the control: every later Resize does nothing.
    void Unlink();

    QWidget* component() const { return FComponent.data(); }
    // Whether `control` is the linked control; also while it is being destroyed.
    bool linkedTo(const QObject* control) const { return control && control == linked_; }
    QRect initialBounds() const { return QRect(InitLeft, InitTop, InitWidth, InitHeight); }
    int initialFontSize() const { return InitFontSize; }
    bool flexWidth() const { return FFlexWidth; }
    bool hasFont() const { return FHasFontProp; }
    bool resizesFont() const { return FSglResizeFonts; }
    // The font size the control gets at this owner size and height ratio.
    int fontSizeFor(double OwnerHeight, double OwnerWidth, double HeightRatio) const;
    // The user chose `points` for the control: that is its size at the
    // owner's design size, and it scales from there as the design size did,
    // whatever size the owner had when it was chosen.
    void chooseFontSize(int points);
    // The size the font scales from, in points: the design size, or the one
    // chosen.
    int fontBasePoints() const { return roundedBase(); }
    // How much larger (or smaller) than the design size the size it scales
    // from is: 1 while no size was chosen.
    double chosenFontScale() const { return InitFontSize > 0 ? fontBase_ / InitFontSize : 1.0; }
    // The size last given to chooseFontSize; 0 while the font scales from its
    // design size.
    int chosenFontSize() const { return chosenSize_; }
    // The font scales from its design size again.
    void resetFontBase();
    // The control's font, and whether its text colour was its own, as they
    // were when the resizer was made.
    const QFont& designFont() const { return FOrigFont; }
    int designColour() const { return origColour_; }
    bool designHadOwnFont() const { return origOwnFont_; }

private:
    TSingleResizer() = default;
    bool atInitialSize(double OwnerHeight, double OwnerWidth) const;
    int roundedBase() const { return static_cast<int>(std::lround(fontBase_)); }
    // The height ratio as the font follows it.
    double fontRatio(double HeightRatio) const;

    QPointer<QWidget> FComponent;
    const QObject* linked_ = nullptr;
    bool FFlexHeight = true;
    bool FFlexHorizPos = true;
    bool FFlexVertPos = true;
    bool FFlexWidth = true;
    bool FSglResizeFonts = false;
    int FSglMinFontSize = 6;
    int FSglMaxFontSize = 48;
    bool FHasFontProp = false;
    // A copy of the design font, so that restoring it really restores it.
    QFont FOrigFont;
    // A label's text at the start: shown in the design font, it keeps its
    // design bounds exactly at the initial size.
    QString designText_;
    int origColour_ = 0;
    bool origOwnFont_ = false;
    int InitHeight = 0;
    int InitHeightOwner = 0;
    int InitLeft = 0;
    int InitTop = 0;
    int InitWidth = 0;
    int InitWidthOwner = 0;
    int InitFontSize = 0;
    // InitFontSize, or what a chosen size makes of it; a fraction, so that
    // the chosen size comes back exactly at the owner size it was chosen at.
    double fontBase_ = 0;
    int chosenSize_ = 0;
    QPointer<QWidget> Owner;
};

// The resizer of a form (or a panel): owned by it, one TSingleResizer per
// control of it, the form's right-click menu, and hyperlink-style labels for
// the labels whose names end in "LNK" (any letter case).
class TFormResizer : public QObject {
    Q_OBJECT
public:
    enum TOperation { opInsert, opRemove };

    // A resizer owned by `AOwner`, which must be a widget (a form or a
    // panel). Null, with the reason in `error` ("TFormResizer created without
    // an owner", "TFormResizer owner must be a panel or form"), otherwise.
    static TFormResizer* Create(QObject* AOwner, QString* error = nullptr);
    ~TFormResizer() override;

    QWidget* owner() const { return owner_; }

    // Whether the control resizers made by InitializeForm scale fonts; false.
    bool ResizeFonts() const { return FResizeFonts; }
    void setResizeFonts(bool on) { FResizeFonts = on; }
    // The scaled font sizes stay within these points: 6 and 48.
    int MinFontSize() const { return FMinFontSize; }
    void setMinFontSize(int points) { FMinFontSize = points; }
    int MaxFontSize() const { return FMaxFontSize; }
    void setMaxFontSize(int points) { FMaxFontSize = points; }
    // The owner may not become smaller than its initial size; false.
    bool EnforceMinSize() const { return FEnforceMinSize; }
    void setEnforceMinSize(bool on) { FEnforceMinSize = on; }
    // While set, ResizeAll does nothing; false.
    bool ResizeDisabled() const { return FResizeDisabled; }
    void setResizeDisabled(bool on) { FResizeDisabled = on; }
    const TPostResizeEvent& OnPostResize() const { return FOnPostResize; }
    void setOnPostResize(TPostResizeEvent handler) { FOnPostResize = std::move(handler); }

    // The window's context menu, owned by the owner. It opens on the owner
    // and on the list views, tree views, button groups and string grids that
    // have no menu of their own, and remembers where it was opened.
    platform::TPopupMenu* Popup() const { return Fpopup; }
    // The control the menu was last opened on, and the point (in screen
    // coordinates); null and (0, 0) before it has been opened.
    QWidget* PopupComponent() const { return popupComponent_; }
    QPoint PopupPoint() const { return popupPoint_; }
    // Opens the menu for `component` at `screenPoint`.
    void showPopup(QWidget* component, const QPoint& screenPoint);
    // Menu bookkeeping of the form menu: cleared at creation.
    bool AdditionalPopupAddded() const { return FAdditionalPopupAdded; }
    void setAdditionalPopupAddded(bool on) { FAdditionalPopupAdded = on; }
    // The codes of the optional menu actions added so far; empty at creation.
    const QString& AdditionalActions() const { return FAdditional; }
    void setAdditionalActions(const QString& codes) { FAdditional = codes; }
    // The menu's handlers (formmenu.h). HandlePopup runs the handler of
    // `Sender` when it is an item of this menu and does nothing otherwise;
    // AddAdditionalPopup adds the "Save Report Settings" item for action code
    // "1"; AddAdditionalPoupupwithProc an item of the program's own before
    // "Exit".
    void HandlePopup(QObject* Sender);
    void AddAdditionalPopup(const QString& s);
    void AddAdditionalPoupupwithProc(const QString& s, std::function<void()> p);

    // Runs once: records the owner's size, switches auto-size on for labels
    // that are not centred, lets the columns of list views follow their
    // width, gives the menu to the lists, trees, grids, button
    // groups and the form that have none of their own, and makes one
    // TSingleResizer per control of the owner, in component order.
    virtual void InitializeForm();
    // Scales every control to the owner's current size (nothing while
    // ResizeDisabled). With EnforceMinSize an owner smaller than its initial
    // size is first set back to it. Sets up the link labels, resizes each
    // control and calls OnPostResize after each.
    virtual void ResizeAll();
    // Calls OnPostResize, when set, for the control just resized.
    virtual void DoPostResize(QWidget* Comp, double HeightRatio, double WidthRatio);
    // A component being removed is unlinked from every control resizer.
    // Called for each control of the owner as it is destroyed.
    virtual void Notification(QObject* AComponent, TOperation Operation);

    // Gives every control, and the owner, the font and text colour they had
    // at the start again, at the size the resizer gives them for the current
    // window size; chosen sizes are forgotten, every font scales from its
    // design size again.
    void RestoreOriginalfonts();

    // A font the user has just chosen (the form menu's "Set Font") for
    // `control`, or for the whole window when `control` is the owner, is on
    // it now: its size is the size at the window's design size, and from now
    // on it grows and shrinks with the window as the design size did, so it
    // is the same size before and after a restart. `shownBefore` is the size
    // the control showed before; chosen again (a new face alone), the size
    // it scales from stays. The control shows the scaled size at once.
    // Nothing for a control this resizer does not scale.
    void rebaseFont(QWidget* control, int shownBefore);
    // The size `control`'s font scales from (the owner's: its own font's),
    // in points; what the settings file stores for a chosen font. 0 for a
    // control this resizer does not scale.
    int designFontSize(const QWidget* control) const;
    // Where loadformlayout took a control's font size from.
    enum class StoredFontSize { None, Control, Form };
    // Run by loadformlayout once it has applied the stored fonts, for each
    // list, tree, grid, button group and simple control: a size `points`
    // stored for the control itself, or for the owner's font that it
    // follows, is its size at the design size and scales from there; with
    // none, the font scales from its design size again. The control then
    // shows the size for the owner's current size. Nothing for a control
    // this resizer does not scale.
    void settleFont(QWidget* control, StoredFontSize stored, int points);

    // A label whose name ends in "LNK" (any case) underlines and shows the
    // hand pointer while the mouse is over it; its underline is taken out
    // here. Any other control is left alone.
    void SetupLinkLabel(QWidget* control);
    void LinkLabelEnter(QWidget* label);
    void LinkLabelLeave(QWidget* label);

    bool alreadyInitialized() const { return AlreadyInitialized; }
    int initialOwnerHeight() const { return InitHeightOwner; }
    int initialOwnerWidth() const { return InitWidthOwner; }
    const std::vector<std::unique_ptr<TSingleResizer>>& resizers() const { return ResizerList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TFormResizer(QWidget* owner);
    void buildPopup();
    void offerPopup(QWidget* control);
    // The resizer of `control` when it scales its font; null otherwise.
    TSingleResizer* fontResizerOf(const QWidget* control) const;
    // Puts the size for the owner's current size on the control.
    void showScaledFont(TSingleResizer* single);

    QWidget* owner_;
    bool FResizeFonts = false;
    int FMinFontSize = 6;
    int FMaxFontSize = 48;
    bool FEnforceMinSize = false;
    TPostResizeEvent FOnPostResize;
    int InitHeightOwner = 0;
    int InitWidthOwner = 0;
    std::vector<std::unique_ptr<TSingleResizer>> ResizerList;
    platform::TPopupMenu* Fpopup = nullptr;
    bool FAdditionalPopupAdded = false;
    QString FAdditional;
    bool FResizeDisabled = false;
    bool AlreadyInitialized = false;
    // The owner's own font and text colour at the start.
    QFont ownerFont_;
    bool ownerOwnFont_ = false;
    int ownerColour_ = 0;
    QPointer<QWidget> popupComponent_;
    QPoint popupPoint_;
    double lastHeightRatio_ = 1.0;
    double lastOwnerHeight_ = 0;
    double lastOwnerWidth_ = 0;
};

// The resizer of the window activated last (null before any); the form menu's
// "Restore Font" works on it. Process-wide.
TFormResizer* activeresizer();
void setactiveresizer(TFormResizer* resizer);

// Called from the form's activation event with the form's resizer reference.
// Makes `resizer` the active one; when it is still null, creates the form's
// resizer into it with font scaling on, records the design geometry and runs
// loadformposition (whose size change reaches ResizeAll through the form's
// resize event). True when it created the resizer; false when the form
// already had one, or when it could not be made (the form stays unscaled).
bool setupformresizer(platform::TForm* form, TFormResizer*& resizer);

}  // namespace vek
