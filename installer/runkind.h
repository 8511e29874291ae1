#pragma once
// Which of the three runs the parameters ask for, known before any window
// exists.
#include <QStringList>

enum class RunKind {
    Interactive,  // the user picks programs in the window
    Unattended,   // INSTALL names one program: install it and end
    Recording,    // FILESDIRCONTENTS names a folder: record it and end
};

// Recording when FILESDIRCONTENTS has a value (it ends the run before anything
// is installed), else unattended when INSTALL has one, else interactive.
RunKind runkindof(const QStringList& args);
