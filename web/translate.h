#pragma once
// The machine-translation request of the language editor: one text sent to
// a public translation service that needs no key, and its translation back.
#include <QString>

#include <optional>

namespace vek {

// The translation of `sourcetext` from `fromlang` to `tolang` (language
// codes as the service knows them, e.g. "en", "de"). The service's host comes from the "HOSTS" section of the
// settings file (key "Translate"), by default the public service. The reply
// is read as JSON: the translated text of every segment, joined, with its
// escapes decoded. A request that does not verify the server's certificate
// ("Verify=0") leaves a warning in the day's transfer log. A proxy settings
// file that cannot be read fails the request, which then goes nowhere. A
// failed request shows its message as a warning with an
// empty title and gives `sourcetext` back; so does a reply of another shape,
// without a message.
QString translatetext(const QString& fromlang, const QString& tolang, const QString& sourcetext);

// The same request for a caller that must tell a failed request from a
// translation: none after a failed request (its warning shown); the
// translation, or `sourcetext` for a reply of another shape, otherwise.
std::optional<QString> requesttranslation(const QString& fromlang, const QString& tolang, const QString& sourcetext);

// The address of that request at the service `endpoint` (scheme, host and any
// path, without a trailing "/"). The two codes and the text are each one
// percent-encoded value: a code taken from the editor's settings file cannot
// add a parameter to the request nor end its address.
QString translationurl(const QString& endpoint, const QString& fromlang, const QString& tolang,
                       const QString& sourcetext);

}  // namespace vek
