#include "web/translationreply.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vek {

std::optional<QString> translatedsegments(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonValue segments = document.array().first();
    if (!segments.isArray())
        return std::nullopt;
    std::optional<QString> text;
    for (const QJsonValue segment : segments.toArray()) {
        if (!segment.isArray() || !segment.toArray().first().isString())
            continue;
        text = text.value_or(QString()) + segment.toArray().first().toString();
    }
    return text;
}

}  // namespace vek
