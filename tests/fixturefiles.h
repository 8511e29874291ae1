#pragma once
// The checked-in fixture files (tests/fixtures). The build compiles their
// folder in; TESSARINE_FIXTURES, when set, points elsewhere.
#include <QString>
#include <QtGlobal>

namespace testsupport {

// The path of `name` under the fixture folder.
inline QString fixtureFile(const QString& name)
{
    QString folder = qEnvironmentVariable("TESSARINE_FIXTURES");
    if (folder.isEmpty())
        folder = QStringLiteral(TESSARINE_FIXTURES_DIR);
    return folder + u'/' + name;
}

}  // namespace testsupport
