#pragma once
// The single-byte code page of the family's text files (Windows-1252): bytes
// 0x80-0x9F carry their 1252 characters, the rest are Latin-1.
#include <QByteArray>
#include <QString>

namespace platform {

QString fromCodePage(const QByteArray& bytes);
QString fromCodePage(const char* data, qsizetype size);
// Characters the code page cannot hold become "?".
QByteArray toCodePage(const QString& text);
void appendCodePage(QByteArray& out, const QString& text);

}  // namespace platform
