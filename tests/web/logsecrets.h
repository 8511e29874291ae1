#pragma once
// The passwords the web and update tests hand to the transfers, and a look
// through every log a test wrote for any of them, in clear or protected form.
// The fixtures of those tests look when each test ends.
#include "testsupport.h"
#include "update/updateservice.h"
#include "web/protectstrings.h"

#include <QDirIterator>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace webtest {

// Every password a web or update test uses: proxies, addresses, the service.
inline QStringList testPasswords()
{
    return {QStringLiteral("s3cretPw"), QStringLiteral("s3cret"), QStringLiteral("pass1"),
            vek::unprotectstring(vek::kStoredServicePassword)};
}

// Each password and its protected text (which turns back into it with the
// family's fixed key).
inline QStringList secretForms()
{
    QStringList forms;
    for (const QString& password : testPasswords())
        forms << password << vek::protectstring(password);
    return forms;
}

// "file: secret" for every secret found in a log file (a name ending in
// ".log") under `folder`, at any depth.
inline QStringList secretsInLogs(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.log")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = QString::fromUtf8(testsupport::readFile(path));
        for (const QString& secret : secretForms()) {
            if (text.contains(secret, Qt::CaseInsensitive))
                found << path + QStringLiteral(": ") + secret;
        }
    }
    return found;
}

// Fails the running test when a log under `folder` holds a password.
inline void expectNoPasswordInLogs(const QString& folder)
{
    const QStringList found = secretsInLogs(folder);
    EXPECT_TRUE(found.isEmpty()) << found.join(u'\n').toStdString();
}

}  // namespace webtest
