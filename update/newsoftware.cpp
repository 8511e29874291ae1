#include "update/newsoftware.h"

#include "lib/copyplacement.h"
#include "lib/cursors.h"
#include "lib/fields.h"
#include "lib/fileops.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "lib/signedplacement.h"
#include "lib/stamps.h"
#include "lib/sysutils.h"
#include "lib/textlists.h"
#include "lib/texts.h"
#include "platform/controls/textctrls.h"
#include "platform/controls/tstdctrls.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/filemode.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"
#include "platform/workfile.h"
#include "trust/keys.h"
#include "trust/verify.h"
#include "update/replyfiles.h"
#include "update/updateservice.h"
#include "update/updatesettings.h"
#include "web/vekpost.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <optional>
#include <sys/stat.h>

namespace vek {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLogsFolder = QStringLiteral("logs");
const QString kNewFolder = QStringLiteral("new");

// Shows a progress text and lets the window's events run, so that it repaints.
void showlabel(platform::TLabel* label, const QString& text)
{
    if (label)
        label->setCaption(text);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// The server folder asked about when the caller names none.
QString defaultserverfolder(const UpdateSettings& settings)
{
    return QStringLiteral("c:\\domains\\") + settings.siteDomain + QStringLiteral("\\html\\downloads");
}

// Moves a progress bar by the bytes of a transfer; a count beyond the bar's
// range is shown in KiB.
TransferProgress barprogress(platform::TProgressBar* bar)
{
    if (!bar)
        return {};
    auto scale = std::make_shared<qint64>(1);
    TransferProgress progress;
    progress.begin = [bar, scale](qint64 expected) {
        *scale = expected > INT_MAX ? 1024 : 1;
        bar->setMaximum(static_cast<int>(expected / *scale));
        bar->setPosition(0);
    };
    progress.working = [bar, scale](qint64 sofar) { bar->setPosition(static_cast<int>(sofar / *scale)); };
    progress.end = [bar] { bar->setPosition(bar->maximum()); };
    return progress;
}

// 0 or the code of a failed chmod.
int setmode(const QString& path, mode_t mode)
{
    return ::chmod(platform::encodePath(path).constData(), mode) == 0 ? 0 : platform::winErrorFromErrno(errno, path);
}

// Reserves a download file of this run's own in the data folder: made
// exclusively, so no other run writes into it. Empty when none could be made.
QString reservedownload()
{
    QTemporaryFile reserved(datafolder() + kUpdateDownloadPattern);
    reserved.setAutoRemove(false);
    if (!reserved.open())
        return {};
    QString name = reserved.fileName();
    reserved.close();
    return name;
}

// What the updater asks of the signatures of what it places: the keys of
// its settings; nothing can allow an older file.
SignaturePolicy updatesignaturepolicy()
{
    SignaturePolicy policy;
    policy.keys = trust::readKeys(updatesettingsfile());
    return policy;
}

// Puts the downloaded file in place of `target`: copied beside the target,
// checked by `check` (its signature) when given, given the mode of the file
// it replaces, flushed, and renamed over it, so that the target is the old
// file or the new one whole, never a part. The folder's lock is held
// throughout: the work file's name is the target's, and two runs placing one
// program take turns. The download is removed afterwards. A refusal of the
// check returns its code with its words in `refusal`.
int placedownload(const QString& download, const QString& target, const WorkFileCheck& check, QString& refusal)
{
    const FolderLock lock(QFileInfo(target).path());
    if (lock.code() != 0)
        return lock.code();
    // Made anew and never through a link; one of ours left by a killed run goes first.
    const QString work = hiddenworkname(target, platform::kDownloadWorkSuffix);
    // Checked (when there is a check) as it stands beside the target, while it is being flushed.
    int refused = 0;
    const platform::WhileFlushing checking = check
        ? platform::WhileFlushing([&] { return refused = checkworkfile(work, check, refusal); })
        : platform::WhileFlushing();
    int code = platform::copyToWorkFile(download, work, {}, checking);
    if (code == 0 || code != refused)
        refusal.clear();  // the check passed, or the copy failed on its own: nothing to say
    if (code == 0)
        code = setmode(work, platform::replacementFileMode(target));
    if (code == 0)
        code = platform::syncFile(work);  // the mode too reaches the disk before the rename
    if (code == 0)
        code = platform::replaceFile(work, target);
    if (code != 0) {
        (void)platform::deleteFile(work);  // never placed; the target is as it was either way
        return code;
    }
    (void)removefile(download);  // the new file stands; a download left behind is replaced next time
    return 0;
}

// Keeps the downloaded signature `signature` beside `target` as its
// ".minisig", copied beside it and renamed into place, never through a link.
int placesignature(const QString& signature, const QString& target)
{
    const QString kept = trust::signaturefor(target);
    const QString work = hiddenworkname(kept, platform::kDownloadWorkSuffix);
    int code = platform::copyToWorkFile(signature, work);
    if (code == 0)
        code = platform::replaceFile(work, kept);
    if (code != 0)
        (void)platform::deleteFile(work);  // never placed; the program without it is refused when installed
    return code;
}

}  // namespace

QString tnewsoftware::logfolder()
{
    if (flogfolder.isEmpty()) {
        flogfolder = filesfolder() + kLogsFolder;
        (void)platform::createFolders(flogfolder);  // a folder not made fails the append, which is silent
    }
    return addslash(flogfolder);
}

void tnewsoftware::report(const QString& text)
{
    errorstr = text;
    libwarning(text, QString());
}

void tnewsoftware::appendlog(const QStringList& lines)
{
    (void)appendlist(lines, datafolder() + kUpdateLogName);  // a log that cannot be written is no failure
    (void)appendlist(lines, logfolder() + kUpdateLogName);
}

void tnewsoftware::notify(const QString& email, const QString& subject, const QStringList& body, const QString& head)
{
    const UpdateSettings settings = readupdatesettings();
    const UpdateNotice notice{email, subject, body};
    const SoapResult sent = sendnotice(notice, settings);
    QStringList log{head};
    log += loggableparameters(noticeparameters(notice, settings));
    log += body;
    log.append(QStringLiteral("Result=") + (sent.ok ? sent.value : QStringLiteral("Error:") + sent.error));
    log.append(QString());
    appendlog(log);
    if (!sent.ok)
        errorstr = QStringLiteral("Error:") + sent.error;
}

bool tnewsoftware::checknewsoftware(const QString& exepath, const QString& aWebFolder, platform::TLabel* alabel)
{
    errorstr.clear();
    toinstalllist.clear();
    const UpdateSettings settings = readupdatesettings();
    // A server folder is a path of the server's: "\\" ends it unless it holds "/".
    const QString webfolder = aWebFolder.isEmpty() ? defaultserverfolder(settings) : aWebFolder;
    const QFileInfo info(exepath);
    const QString local = addslash(info.path());
    QStringList names;
    if (info.fileName().endsWith(kProgramListExtension, Qt::CaseInsensitive)) {
        QStringList lines;
        loadlist(lines, exepath);
        for (const QString& line : lines) {
            if (!line.trimmed().isEmpty())
                names.append(line.trimmed());
        }
    } else {
        names.append(info.fileName());
    }

    const QString address = updateserviceaddress(settings);
    const qsizetype n = names.size();
    for (qsizetype i = 0; i < n; ++i) {
        showlabel(alabel, kCallingWebService + QString::number(i) + QStringLiteral(" of ") + QString::number(n));
        const QString argument = QStringLiteral("HSD=") + todayddmmyy() + QStringLiteral("&Folder=")
            + addslash(webfolder, u'\\') + names[i];
        QString encoded;
        const SoapResult reply = callupdateservice(address, QStringLiteral("doGetFileData"), argument, &encoded);
        if (!reply.ok) {
            errorstr = QStringLiteral("Error:") + reply.error;
            continue;
        }
        if (debug)
            libwarning(QStringLiteral("Folder=") + local + kCrLf + encoded + kCrLf + QStringLiteral("gf=")
                           + reply.value.left(500),
                       QString());
        for (const QString& line : replylines(reply.value)) {
            const QString name = namepart(line);
            showlabel(alabel, name);
            showlabel(alabel, name + u'=' + valuepart(line));
            const std::optional<ReplyFile> file = replyfile(line);
            if (!file)
                continue;
            const QString localfile = local + file->name;
            if (!platform::isFile(localfile))
                continue;
            const std::optional<QDateTime> serverdate = texttodatetime(file->fields[1]);
            if (!serverdate) {
                errorstr = QStringLiteral("Error:")
                    + QStringLiteral("Unreadable date \"%1\" of %2").arg(file->fields[1], file->name);
                break;
            }
            if (QFileInfo(localfile).lastModified() < *serverdate || indebugger())
                toinstalllist.append(line);
        }
    }
    showlabel(alabel, QString());
    return !toinstalllist.isEmpty();
}

platform::Result<QString> tnewsoftware::sidedigest(const QString& addressStem, const QString& exename)
{
    const QString name = TVekPost::md5name(exename);
    TVekPost post;
    if (post.OpenURL(addressStem + name)) {
        if (std::optional<QString> digest = sidefiledigest(post.ReplyStr))
            return std::move(*digest);
        return platform::fail(platform::winerr::IoDevice, name + QStringLiteral(" holds no MD5 digest"));
    }
    // Only the server's word that there is no such file means "no digest": a
    // time-out or a server error says nothing about the file's bytes.
    if (post.ResponseCode == 404)
        return QString();
    return platform::fail(platform::winerr::IoDevice,
                          name + QStringLiteral(": ")
                              + (post.ResponseCode > 0
                                     ? QStringLiteral("HTTP %1 %2").arg(post.ResponseCode).arg(post.ResponseText)
                                     : post.ReportError()));
}

int tnewsoftware::fetchsignature(const QString& addressStem, const QString& exename, const QString& file, QString& why)
{
    const QString name = trust::signaturefor(exename);
    TVekPost post;
    if (post.GetFile(addressStem + name, file))
        return 0;
    // As with the digest: only the server's word that it has none means "not signed".
    if (post.ResponseCode == 404) {
        why = QStringLiteral("not signed: the server has no ") + name;
        return platform::winerr::NotSigned;
    }
    why = name + QStringLiteral(": ")
        + (post.ResponseCode > 0 ? QStringLiteral("HTTP %1 %2").arg(post.ResponseCode).arg(post.ResponseText)
                                 : post.ReportError());
    return -1;
}

bool tnewsoftware::getnewsoftware(const QString& exefolder, const QString& exename, const QString& webfolder,
                                  const QString& emailto, const QString& emailnotes)
{
    busycursor();
    bool result = false;
    const QString folder = addslash(exefolder);
    const QString target = folder + exename;
    const QString web = webfolder.isEmpty() ? kDefaultWebFolder : webfolder;
    const QString stem = readupdatesettings().hostaddress(httpprefix(QString(), false))
        + QStringLiteral("/cgi-bin/gf.php?sub=") + web + QStringLiteral("&filename=");
    (void)platform::createFolders(folder);  // a folder not made fails the placing below, which reports it
    if (AProgressbar) {
        AProgressbar->setMinimum(0);
        AProgressbar->setPosition(0);
    }
    errorstr.clear();
    const QString download = reservedownload();
    if (download.isEmpty()) {
        report(kCannotCreateDownload + datafolder());
    } else {
        bool downloaded = false;
        QString transferError;
        {
            TVekPost post(barprogress(AProgressbar));
            downloaded = post.GetFile(stem + exename, download);
            transferError = post.ReportError();
        }  // the transfer's log is written here
        QString why;
        const SignaturePolicy signatures = updatesignaturepolicy();
        // The signature's own download, beside this run's program download.
        const QString signature = trust::signaturefor(download);
        int signatureCode = 0;
        if (!downloaded) {
            report(kCannotSaveDownload + target + kCrLf + download + kCrLf
                   + QString::number(platform::winerr::FileNotFound) + kCrLf + transferError);
        } else if (const platform::Result<QString> expected = sidedigest(stem, exename); !expected.ok()) {
            report(kDigestUnavailable + target + kCrLf + expected.message());
        } else if (!expected.value().isEmpty()
                   && TVekPost::HashFile(download).compare(expected.value(), Qt::CaseInsensitive) != 0) {
            report(kDigestMismatch + target + kCrLf + download + kCrLf + QStringLiteral("expected ") + expected.value()
                   + QStringLiteral(", got ") + TVekPost::HashFile(download));
        } else if (signatures.keys.required()
                   && (signatureCode = fetchsignature(stem, exename, signature, why)) == platform::winerr::NotSigned) {
            report(kSignatureRefused + target + kCrLf + QString::number(signatureCode) + kCrLf + why);
        } else if (signatureCode != 0) {
            report(kSignatureUnavailable + target + kCrLf + why);
        } else if (const int code
                   = placedownload(download, target,
                                   signaturecheck(signatures, signature, QFileInfo(exename).fileName(), target), why)) {
            if (!why.isEmpty())
                report(kSignatureRefused + target + kCrLf + QString::number(code) + kCrLf + why);
            else
                report(kCannotSaveDownload + target + kCrLf + download + kCrLf + QString::number(code) + kCrLf
                       + platform::errorText(code));
        } else if (const int kept = signatures.keys.required() ? placesignature(signature, target) : 0) {
            report(kCannotSaveDownload + trust::signaturefor(target) + kCrLf + QString::number(kept) + kCrLf
                   + platform::errorText(kept));
        } else {
            result = true;
        }
        if (!result)
            (void)removefile(download);  // never placed: this run's download is of no further use
        (void)platform::deleteFile(signature);  // kept beside the target when placed; of no further use here
    }
    if (!emailto.isEmpty()) {
        QStringList body{QFileInfo(exename).fileName() + QStringLiteral(" was downloaded"),
                         errorstr.isEmpty() ? QStringLiteral("and placed in ") + target : errorstr, QString(),
                         emailnotes};
        notify(emailto, kDownloadSubject, body, logheadline(localaddress()));
    }
    if (AProgressbar)
        AProgressbar->setPosition(0);
    normalcursor();
    return result;
}

bool tnewsoftware::installnewsoftware(const QString& downloadfolder, const QString& livefolder, const QString& exename,
                                      const QString& emailname, const QString& emailbody, const QString& sitename)
{
    (void)sitename;  // not used: the notice names the program and the body
    const QString live = addslash(livefolder) + exename;
    const QString download = addslash(downloadfolder) + exename;
    const QString name = QFileInfo(exename).fileName();
    bool installed = false;
    if (QFileInfo(download).canonicalFilePath() == QFileInfo(live).canonicalFilePath() && platform::isFile(download)) {
        errorstr = QStringLiteral("The downloaded file is the live file itself: ") + live;
    } else if (const int code
               = platform::isFile(download) ? setmode(download, platform::replacementFileMode(live)) : 0) {
        // The copy takes the download's mode: without the live file's, the
        // program (the installer the updater starts, for one) would not run.
        errorstr = QStringLiteral("Could not install ") + name + QStringLiteral(" (code ") + QString::number(code)
            + QStringLiteral(", ") + download + QStringLiteral(": its mode cannot be set: ") + platform::errorText(code)
            + QStringLiteral(")");
    } else {
        PlacementFailure failure;
        const StreamedCheck check
            = hashingsignaturecheck(updatesignaturepolicy(), trust::signaturefor(download), name, live);
        if (const int copyCode = copywithgenerations(download, live, {}, &failure, check)) {
            errorstr = QStringLiteral("Could not install ") + name + QStringLiteral(" (code ")
                + QString::number(copyCode) + QStringLiteral(", ") + failure.path + QStringLiteral(": ")
                + (failure.step == PlacementStep::Check ? failure.reason : platform::errorText(copyCode))
                + QStringLiteral(")");
            if (!failure.leftovers.isEmpty())
                errorstr += QStringLiteral("; the backups could not all be put back: ")
                    + describeleftovers(failure.leftovers);
        } else {
            installed = true;
            (void)removefile(download);  // the new file stands; a download left behind is replaced next time
            (void)removefile(trust::signaturefor(download));  // went with it, where there was one
        }
    }
    if (installed && !emailname.isEmpty()) {
        QStringList body{QStringLiteral("The following was updated ") + name, QString()};
        QStringList fields;
        splitfields(emailbody, fields, u'|');
        body += fields;
        notify(emailname, kInstallSubject, body, logheadline(QStringLiteral("Install Software")));
    }
    appendlog({logheadline(localaddress()),
               installed ? QStringLiteral("Updated ") + name : QStringLiteral("Not updated ") + name + u' ' + errorstr,
               emailbody, QString()});
    return installed;
}

bool tnewsoftware::CheckInstaller(const QString& ExePath, platform::TLabel* Alab)
{
    const QString folder = addslash(ExePath);
    const QString installer = folder + kInstallerProgram;
    checkedDigest_.clear();
    showlabel(Alab, kCheckingInstaller);
    if (platform::isFile(installer) && !checknewsoftware(installer, QString(), Alab)) {
        errorstr.clear();  // a service that cannot be asked leaves the installer as it is
        checkedDigest_ = TVekPost::HashFile(installer);
        showlabel(Alab, QString());
        return true;
    }
    showlabel(Alab, kDownloadingInstaller);
    const QString newfolder = folder + kNewFolder;
    (void)platform::createFolders(newfolder);  // a folder not made fails the download, which reports it
    bool ok = getnewsoftware(newfolder, kInstallerProgram, QString(), QString(), QString());
    if (ok) {
        showlabel(Alab, kInstallingInstaller);
        ok = installnewsoftware(newfolder, folder, kInstallerProgram, QString(), QString(), QString());
    }
    if (ok)
        checkedDigest_ = TVekPost::HashFile(installer);
    showlabel(Alab, ok ? QString() : errorstr);
    return ok;
}

bool tnewsoftware::LaunchInstaller(const QString& ThisProgram, platform::TLabel* Alab)
{
    const QString folder = addslash(QFileInfo(ThisProgram).path());
    const QString installer = folder + kInstallerProgram;
    if (!CheckInstaller(folder, Alab)) {
        errorstr = QStringLiteral("The installer was not started: ") + errorstr;
        showlabel(Alab, errorstr);
        return false;
    }
    // The file started is the one the check left in place, not one put there since.
    const QString digest = TVekPost::HashFile(installer);
    if (digest == kNoFile || digest.isEmpty()) {
        errorstr = QStringLiteral("The installer was not started: it is missing: ") + installer;
        showlabel(Alab, errorstr);
        return false;
    }
    if (digest != checkedDigest_) {
        errorstr = QStringLiteral("The installer was not started: it changed after the check: ") + installer;
        showlabel(Alab, errorstr);
        return false;
    }
    int code = 0;
    // Quoted, so that a path with blanks reaches the installer as one parameter.
    if (!runelevated(installer, u'"' + ThisProgram + u'"', folder, code, 1)) {
        errorstr = QStringLiteral("The installer was not started: ") + platform::errorText(code) + u' ' + installer;
        showlabel(Alab, errorstr);
        return false;
    }
    return true;
}

}  // namespace vek
