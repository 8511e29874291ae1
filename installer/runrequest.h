#pragma once
// What the run parameters ask of this run, read once by the program body
// before any window exists. The window and the unattended run read it from
// here; nothing else looks at the parameters of a run.
#include <QString>
#include <QStringList>

#include <optional>

namespace installer {

enum class RunKind {
    Interactive,  // the user picks programs in the window
    Unattended,  // INSTALL names one program: install it and end
    Recording,  // FILESDIRCONTENTS names a folder: record it and end
    Restoring,  // RESTORE names a program: put back its generation GENERATION and end
};

struct RunRequest {
    // SERVER as written; empty when not given (the start ini file names it then).
    QString serverFolder;
    // LOCAL as written; empty when not given (the program's own folder then).
    QString localFolder;
    // INSTALL: the one program of an unattended run.
    QString programName;
    // FILESDIRCONTENTS and FILESDIRNAME: the folder a recording run records,
    // and the redirection file it records it in.
    QString filesDirContents;
    QString filesDirName;
    // RESTORE and GENERATION: the program whose backup generation a restoring
    // run puts back, and which one (1 to 10; 0 when not a number). The
    // value as given too, for the message that says what is wrong with it.
    QString restoreName;
    int generation = 0;
    QString generationText;
    // LANGUAGE: the language code the window is shown in; empty for its own texts.
    QString language;
    // LANGUAGES=1: the form menu offers the language editor outside a debugger.
    bool languagesAllowed = false;
    // LOCALFOLDER: the base of the data folder, when given (also empty);
    // none for the documents folder.
    std::optional<QString> dataFolderBase;
    // DEBUG (its presence alone): the program updater shows each service call.
    bool debug = false;
    // LOCKWAIT: how many seconds an install waits for another run that holds
    // the local folder's lock; -1 when not given as a whole number (the
    // default wait then).
    int lockWaitSeconds = -1;
    // ALLOWOLDER=1: a program signed earlier than the signed version installed
    // is installed all the same (where the start ini file names keys).
    bool allowOlder = false;

    // Recording when FILESDIRCONTENTS has a value (it ends the run before
    // anything is installed), else restoring when RESTORE has one, else
    // unattended when INSTALL has one.
    RunKind kind() const;
};

// Reads the parameters of `args` (item 0 the program file) by the family's
// rules: names without regard to case, values trimmed, the last one wins.
RunRequest parseRunRequest(const QStringList& args);

}  // namespace installer
