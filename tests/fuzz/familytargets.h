#pragma once
// The entry of each family harness; each picks its target from the input.
#include "checksupport.h"

namespace fuzzchecks {

QString checkLangFiles(Reader& in);
QString checkServiceReplies(Reader& in);
QString checkWebSettings(Reader& in);
QString checkWindowState(Reader& in);
QString checkCommandLine(Reader& in);

}  // namespace fuzzchecks
