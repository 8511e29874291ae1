#include "lang/editorsettings.h"

#include "platform/inifile.h"

namespace vek {
namespace {

const QString kConfigSection = QStringLiteral("Config");
const QString kGoogleSection = QStringLiteral("Google");
const QString kFromKey = QStringLiteral("Fromcode");
const QString kToKey = QStringLiteral("Tocode");

}  // namespace

EditorSettings readeditorsettings(const QString& path, const EditorSettings& defaults)
{
    const platform::IniFile ini(path);
    return {ini.readString(kConfigSection, kEditorLanguageKey, defaults.language),
            ini.readString(kGoogleSection, kFromKey, defaults.fromcode),
            ini.readString(kGoogleSection, kToKey, defaults.tocode)};
}

bool writeeditorsettings(const QString& path, const EditorSettings& settings)
{
    platform::IniFile ini(path);
    return ini.writeString(kConfigSection, kEditorLanguageKey, settings.language) == 0
        && ini.writeString(kGoogleSection, kFromKey, settings.fromcode) == 0
        && ini.writeString(kGoogleSection, kToKey, settings.tocode) == 0;
}

}  // namespace vek
