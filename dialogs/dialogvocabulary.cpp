#include "dialogs/dialogvocabulary.h"

#include <array>

namespace vek {
namespace {

struct ButtonKind {
    const char* name;
    const char* caption;
    int result;
};

// Indexed by TMsgDlgBtn.
constexpr std::array<ButtonKind, buttonkindcount> buttonKinds{{
    {"Yes", "&Yes", platform::mrYes},
    {"No", "&No", platform::mrNo},
    {"OK", "OK", platform::mrOk},
    {"Cancel", "Cancel", platform::mrCancel},
    {"Abort", "&Abort", platform::mrAbort},
    {"Retry", "&Retry", platform::mrRetry},
    {"Ignore", "&Ignore", platform::mrIgnore},
    {"All", "&All", platform::mrAll},
    {"NoToAll", "N&o to All", platform::mrNoToAll},
    {"YesToAll", "Yes to &All", platform::mrYesToAll},
    {"Help", "&Help", platform::mrNone},
    {"Close", "&Close", platform::mrClose},
}};

// Indexed by TMsgDlgType. A custom message looks like a warning.
constexpr std::array<MessageKind, mtCustom + 1> messageKinds{{
    {"Warning", QStyle::SP_MessageBoxWarning, QMessageBox::Warning},
    {"Error", QStyle::SP_MessageBoxCritical, QMessageBox::Critical},
    {"Information", QStyle::SP_MessageBoxInformation, QMessageBox::Information},
    {"Question", QStyle::SP_MessageBoxQuestion, QMessageBox::Question},
    {"Warning", QStyle::SP_MessageBoxWarning, QMessageBox::Warning},
}};

// Callers may hand in any number cast to a button; nothing beyond the twelve
// may reach the table.
const ButtonKind* kindOf(TMsgDlgBtn button)
{
    return isbuttonkind(button) ? &buttonKinds[static_cast<size_t>(button)] : nullptr;
}

}  // namespace

const MessageKind& messagekind(TMsgDlgType kind)
{
    const bool known = kind >= mtWarning && kind <= mtCustom;
    return messageKinds[static_cast<size_t>(known ? kind : mtWarning)];
}

bool isbuttonkind(int value)
{
    return value >= 0 && value < buttonkindcount;
}

QString buttonname(TMsgDlgBtn button)
{
    const ButtonKind* kind = kindOf(button);
    return kind ? QString::fromLatin1(kind->name) : QString();
}

QString buttoncaption(TMsgDlgBtn button)
{
    const ButtonKind* kind = kindOf(button);
    return kind ? QString::fromLatin1(kind->caption) : QString();
}

int buttonresult(TMsgDlgBtn button)
{
    const ButtonKind* kind = kindOf(button);
    return kind ? kind->result : int(platform::mrNone);
}

std::optional<TMsgDlgBtn> buttonnamed(const QString& name)
{
    for (int i = 0; i < buttonkindcount; ++i) {
        if (name == QLatin1String(buttonKinds[i].name))
            return static_cast<TMsgDlgBtn>(i);
    }
    return std::nullopt;
}

}  // namespace vek
