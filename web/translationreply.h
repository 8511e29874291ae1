#pragma once
// The reply of the public translation service, read as JSON.
#include <QByteArray>
#include <QString>

#include <optional>

namespace vek {

// The reply is nested arrays whose first element lists the segments, each
// an array beginning with its translated text: [[["Hallo. ","Hello. ",...],
// ["Wie geht's?","How are you?",...]],null,"en"]. The translated texts of the
// segments joined; a segment that carries no text (a transliteration) is
// passed over. None for a reply of another shape.
std::optional<QString> translatedsegments(const QByteArray& body);

}  // namespace vek
