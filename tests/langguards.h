#pragma once
// Guards for the language files' process-wide state, as stateguards.h has
// them for the platform layer: the screen alias list, the language in use and
// the switch that offers the language editor.
#include "lang/langstate.h"
#include "stateguards.h"

namespace testsupport {

// Takes note of all three, lets the test set its own, and puts back what it
// found when it goes.
class LangStateScope : StateGuard {
public:
    LangStateScope()
        : names_(vek::langformnames()), language_(vek::currentlanguage()), allowed_(vek::languagesallowed())
    {
    }
    ~LangStateScope()
    {
        vek::setlangformnames(names_);
        (void)vek::setcurrentlanguage(language_);  // it was taken once, so it is taken again
        vek::setlanguagesallowed(allowed_);
    }

private:
    QStringList names_;
    QString language_;
    bool allowed_;
};

}  // namespace testsupport
