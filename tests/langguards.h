#pragma once
// Guards for the language files' process-wide state, as stateguards.h has
// them for the platform layer: the screen alias list and the language in use.
// (The switch that offers the language editor has its guard beside it,
// vek::LanguagesAllowedScope in forms/formmenu.h.)
#include "lang/langstate.h"
#include "stateguards.h"

namespace testsupport {

// Takes note of both, lets the test set its own, and puts back what it found
// when it goes.
class LangStateScope : StateGuard {
public:
    LangStateScope() : names_(vek::langformnames()), language_(vek::currentlanguage()) {}
    ~LangStateScope()
    {
        vek::setlangformnames(names_);
        (void)vek::setcurrentlanguage(language_);  // it was taken once, so it is taken again
    }

private:
    QStringList names_;
    QString language_;
};

}  // namespace testsupport
