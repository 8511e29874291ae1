#pragma once
// Property checks over what the program's higher parts read from files,
// servers and the command line: language files, the update service's and the
// translation service's replies, the web and update settings with their
// protected strings, the stored window state, and the run request. The fuzz
// harnesses feed them generated inputs; the installer tests replay the saved
// ones. Like checks.h: raw bytes in, the first broken property out as text.
#include "checksupport.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace fuzzchecks {

enum class FamilyHarness {
    LangFiles,  // language files, their records and rows, language codes
    ServiceReplies,  // SOAP replies, the file names they list, .md5 side files, translation replies
    WebSettings,  // ProxySettings.ini, NewSoftware.ini, protected strings
    WindowState,  // stored geometry, column ratios, fonts and colours
    CommandLine,  // parseRunRequest and the "--" options
};

// Folder names under tests/fuzz/corpus and tests/fuzz/regressions.
QString familyHarnessName(FamilyHarness harness);
QList<FamilyHarness> allFamilyHarnesses();

// Runs the harness's target chosen by the input; "" when every property held.
// The run parameters are put back afterwards.
QString runFamilyCheck(FamilyHarness harness, const QByteArray& input);

}  // namespace fuzzchecks
