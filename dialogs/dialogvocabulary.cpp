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

}  // namespace

QString buttonname(TMsgDlgBtn button)
{
    return QString::fromLatin1(buttonKinds.at(button).name);
}

QString buttoncaption(TMsgDlgBtn button)
{
    return QString::fromLatin1(buttonKinds.at(button).caption);
}

int buttonresult(TMsgDlgBtn button)
{
    return buttonKinds.at(button).result;
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
