#pragma once
// The Base64 of the update notices' bodies.
#include <QByteArray>
#include <QString>

namespace vek {

// The bytes in Base64 with the standard alphabet (A-Z, a-z, 0-9, "+", "/"),
// without the trailing "=" fill and without line breaks.
QString base64nofill(const QByteArray& bytes);

}  // namespace vek
