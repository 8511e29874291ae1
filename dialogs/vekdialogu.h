#pragma once
// The family's modal message form: an icon for the kind, a bold title, the
// message, at most one input control and a right-aligned row of buttons.
// It is shown over the blocking overlay by showoverform; its result is the
// result code of the button that closed it, and an input mode leaves the
// entered value in value().
#include "dialogs/dialogvocabulary.h"
#include "platform/controls/tform.h"

#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>

namespace platform {
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TEdit;
class TImage;
class TLabel;
class TMemo;
class TPanel;
}  // namespace platform

namespace vek {

class TVekDialogFrm : public platform::TForm {
    Q_OBJECT
public:
    explicit TVekDialogFrm(QWidget* owner = nullptr);

    // Set before the dialog is shown, in this order: message, title, kind,
    // buttons, default button, then one input mode and what it needs.
    void setMessageStr(const QString& message);
    void setTitleStr(const QString& title);
    void setDlgType(TMsgDlgType kind);
    // Adds a button row in table order, whatever order the set was built in.
    void setButtons(TMsgDlgButtons buttons);
    void setDefaultBtn(TMsgDlgBtn button);

    // Input modes; each shows its control and hides the others.
    void setInputMode();
    void setPasswordMode();
    void setCheckMode();
    void setComboMode();
    void setDateMode();
    void setMemoMode();
    void setCheckCaption(const QString& caption);
    // Text for the edit, memo and drop-down modes (memo lines end in CR LF on
    // return), a Boolean for the check mode, YYMMDD for the date mode.
    QVariant value() const { return pValue; }
    void setValue(const QVariant& value) { pValue = value; }
    QStringList values() const { return pValues; }
    void setValues(const QStringList& values) { pValues = values; }
    // The drop-down accepts a text that is not among its choices.
    void setAllowNewEntry(bool allow) { pAllowNewEntry = allow; }

    TMsgDlgButtons buttons() const { return pButtonList; }
    std::optional<TMsgDlgBtn> defaultBtn() const { return pDefaultBtn; }
    TMsgDlgType dlgType() const { return pDlgType; }
    QString titleStr() const;
    QString messageStr() const;

    void done(int result) override;

    platform::TImage* Image;
    platform::TLabel* TitleLbl;
    platform::TLabel* MessageLbl;
    platform::TPanel* BottomPnl;
    platform::TEdit* EditBox;
    platform::TCheckBox* ChkBox;
    platform::TComboBox* ComboBox;
    platform::TDateTimePicker* DateTimePicker;
    platform::TMemo* Memo;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonClick();
    // The input controls, in the order the message pushes them down.
    std::array<QWidget*, 5> inputs() const;
    void FormShow();
    void placeMessage();
    QSize buttonSize(TMsgDlgButtons buttons) const;
    void switchMode(QWidget* shown, bool moveToEditBox, std::initializer_list<QWidget*> hidden);
    void showCombo();
    void keepInputAboveButtons();
    void takeDate();

    TMsgDlgButtons pButtonList;
    QVariant pValue;
    QStringList pValues;
    bool pAllowNewEntry = false;
    std::optional<TMsgDlgBtn> pDefaultBtn;
    TMsgDlgType pDlgType = mtWarning;
};

}  // namespace vek
