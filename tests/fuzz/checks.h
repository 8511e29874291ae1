#pragma once
// Property checks over the parsers of outside input. The fuzz harnesses feed
// them generated inputs; the regression test replays the saved ones. Each
// check turns raw bytes into calls of the library and returns the first
// broken property as text, or an empty text when every property held.
#include "checksupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fuzzchecks {

// The harnesses; each dispatches on the first input byte to one of its targets.
enum class Harness {
    ParamsIni,  // run parameters, ini files
    TextFiles,  // loadlist, loadlines, savelist, appendlist
    FieldsWeb,  // delimited fields, percent-encoding, hexadecimal
    NumbersDates,  // number texts, date comparison, stamps
    Tables,  // tnamevaluelist imports, list-view sorting
    ServerIndex,  // the index of a server folder on a web server
    Signatures,  // minisign public keys and signature files, verified
};

// Folder names under tests/fuzz/corpus and tests/fuzz/regressions.
QString harnessName(Harness harness);
QList<Harness> allHarnesses();

// Runs the harness's target chosen by the input; "" when every property held.
// The locale snapshot and run parameters are put back afterwards.
QString runCheck(Harness harness, const QByteArray& input);

}  // namespace fuzzchecks
