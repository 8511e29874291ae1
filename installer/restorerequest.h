#pragma once
// A restoring run's RESTORE= and GENERATION= values, checked before anything
// is touched, so that the message says what is wrong with the value given
// and what would be right.
#include "platform/result.h"

#include <QString>

namespace installer {

inline const QString kNotAProgramName
    = QStringLiteral("RESTORE=%1 is not a program name: give the name of a program file of the LOCAL folder, "
                     "without a folder (Stock.exe).");
inline const QString kNotAGeneration
    = QStringLiteral("GENERATION=%1 is not a backup generation: give a number from 1 (.X01, the newest backup) "
                     "to 10 (.X10, the oldest).");

// The generation GENERATION= names, 1 to 10; 0 for any other value (empty,
// not a whole number, out of range).
int restoregenerationof(const QString& generationText);

// Success when `name` is a plain program name and `generationText` a
// generation from 1 to 10. Otherwise a failure with code 87
// (winerr::InvalidParameter) and the message for the user: "Restore error
// code:87" on its first line, then one line for each value that is wrong.
[[nodiscard]] platform::Result<void> checkrestorerequest(const QString& name, const QString& generationText);

}  // namespace installer
