#pragma once
// The generations window of one program of the local folder: the current file
// and each backup generation with its date, size, MD5 digest and whether its
// signature was verified when it was placed, newest first
// and gaps shown as gaps, and "Restore" to put the chosen generation back.
#include "installer/generationlist.h"
#include "platform/controls/tform.h"

namespace platform {
class TButton;
class TLabel;
class TListView;
}  // namespace platform

namespace installer {

inline const QString kGenerationsCaption = QStringLiteral("Backup generations of ");
inline const QString kRestoreQuestion = QStringLiteral("Make %1 the current %2? The current file becomes .X01.");
// Added to the question when the chain is full: the restore shifts the oldest
// backup off the end. %1 is its name (".X10"), %2 its date.
inline const QString kRestoreDropsOldest = QStringLiteral("\nThe oldest backup, %1 of %2, is deleted.");
inline const QString kMissingText = QStringLiteral("(none)");

class TGenerationsfm : public platform::TForm {
    Q_OBJECT
public:
    TGenerationsfm(const QString& localFolder, const QString& name, DigestCall digest, QWidget* parent = nullptr);

    // Reads the folder again into the list.
    void RefreshList();
    // Puts the highlighted generation back after asking; a failure is shown
    // as an install's is, and the list shows the folder as it stands after.
    void RestorebtnClick();

    platform::TLabel* Folderlab;
    platform::TListView* Generationslv;
    platform::TButton* Restorebtn;
    platform::TButton* Closebtn;

private:
    void updateButtons();

    QString localFolder_;
    QString name_;
    DigestCall digest_;
};

}  // namespace installer
