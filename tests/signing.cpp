#include "signing.h"

#include <QProcess>

namespace testsupport {
namespace {

// Runs minisign with `args`; true when it ended with status 0.
bool runminisign(const QStringList& args)
{
    QProcess minisign;
    minisign.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    minisign.start(QStringLiteral("minisign"), args);
    minisign.closeWriteChannel();
    return minisign.waitForFinished(60000) && minisign.exitStatus() == QProcess::NormalExit && minisign.exitCode() == 0;
}

}  // namespace

SigningKey::SigningKey()
{
    const QString pub = dir_.file(QStringLiteral("minisign.pub"));
    if (!runminisign({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), pub, QStringLiteral("-s"),
                      dir_.file(QStringLiteral("minisign.key"))}))
        return;
    const QList<QByteArray> lines = readFile(pub).split('\n');
    if (lines.size() < 2)
        return;
    keyIdComment_ = QString::fromLatin1(lines[0].split(' ').last());
    publicKeyLine_ = QString::fromLatin1(lines[1].trimmed());
}

bool SigningKey::sign(const QString& file, SignForm form, const QString& trustedComment, const QString& signature) const
{
    QStringList args{QStringLiteral("-S"), QStringLiteral("-s"), dir_.file(QStringLiteral("minisign.key")),
                     QStringLiteral("-m"), file};
    if (form == SignForm::Legacy)
        args.append(QStringLiteral("-l"));
    if (!trustedComment.isEmpty())
        args += {QStringLiteral("-t"), trustedComment};
    if (!signature.isEmpty())
        args += {QStringLiteral("-x"), signature};
    return runminisign(args);
}

QString trustedcomment(qint64 timestamp, const QString& fileName)
{
    return QStringLiteral("timestamp:%1\tfile:%2").arg(timestamp).arg(fileName);
}

void namekeys(const QString& iniFile, const QStringList& publicKeyLines)
{
    QByteArray text = readFile(iniFile);
    text += "\n[Signatures]\n";
    for (qsizetype i = 0; i < publicKeyLines.size(); ++i)
        text += "PublicKey" + QByteArray::number(i + 1) + '=' + publicKeyLines[i].toLatin1() + '\n';
    writeFile(iniFile, text);
}

}  // namespace testsupport
