#pragma once
// The checked-in fixture files (tests/fixtures), found through the
// TESSARINE_FIXTURES environment variable that the test registration sets.
#include <QString>
#include <QtGlobal>

namespace testsupport {

// The path of `name` under the fixture folder; empty when the variable is
// not set (the program was started outside CTest without it).
inline QString fixtureFile(const QString& name)
{
    const QString folder = qEnvironmentVariable("TESSARINE_FIXTURES");
    return folder.isEmpty() ? QString() : folder + u'/' + name;
}

}  // namespace testsupport
