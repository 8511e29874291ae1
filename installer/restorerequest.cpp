#include "installer/restorerequest.h"

#include "installer/installprogram.h"
#include "installer/restoregeneration.h"
#include "lib/generations.h"
#include "platform/winerror.h"

namespace installer {

int restoregenerationof(const QString& generationText)
{
    bool number = false;
    const int generation = generationText.trimmed().toInt(&number);
    return number && generation >= 1 && generation <= vek::kGenerationCount ? generation : 0;
}

platform::Result<void> checkrestorerequest(const QString& name, const QString& generationText)
{
    QString problems;
    if (!isplainprogramname(name))
        problems += u'\n' + kNotAProgramName.arg(name);
    if (restoregenerationof(generationText) == 0)
        problems += u'\n' + kNotAGeneration.arg(generationText);
    if (problems.isEmpty())
        return {};
    constexpr int code = platform::winerr::InvalidParameter;
    return platform::fail(code, kRestoreErrorPrefix + QString::number(code) + problems);
}

}  // namespace installer
