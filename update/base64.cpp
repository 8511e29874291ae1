#include "update/base64.h"

namespace vek {

QString base64nofill(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals));
}

}  // namespace vek
