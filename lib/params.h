#pragma once
// Run parameters written NAME or NAME=value, and the program file's own name.
#include <QString>
#include <QStringList>

namespace vek {

// True when the parameter is present. `value` is the trimmed text after the
// first "=" of the last NAME=value parameter, empty when absent or bare. Names
// match without regard to case; a name given with its trailing "=" matches too.
bool getparam(const QString& name, QString& value);
// getparam over the given run parameters (item 0 the program file), for the
// program body before the application object exists.
bool paramof(const QStringList& args, const QString& name, QString& value);
bool getparam(const QString& name);
bool isparam(const QString& name);

// Full path of the program file (parameter 0).
QString exename();
QString getenvvar(const QString& name);

}  // namespace vek
