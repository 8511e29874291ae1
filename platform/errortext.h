#pragma once
// The family's result codes in words, for messages that must say why a step
// failed and not only its number.
#include <QString>

namespace platform {

// "access denied", "the disk is full", ...; "error N" for a code without words.
QString errorText(int code);

}  // namespace platform
