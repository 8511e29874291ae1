#include "web/vekpost.h"

#include "lib/fileops.h"
#include "lib/folders.h"
#include "lib/textlists.h"
#include "platform/errortext.h"
#include "platform/fileapi.h"
#include "platform/pathbytes.h"
#include "platform/winerror.h"
#include "platform/workfile.h"
#include "platform/writeback.h"
#include "web/inplacerewrite.h"
#include "web/websettings.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <memory>
#include <openssl/evp.h>
#include <sys/stat.h>

namespace vek {
namespace {

const QString kTlsVersionsLine = QStringLiteral("Versions=TLSv1.2 and later");
constexpr qint64 kHashChunk = 1 << 20;

bool ishttps(const QString& url)
{
    return url.left(5).compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

// A hidden name beside the target that no other download uses: the work file
// must never be another transfer's, nor a file of the user's.
// A download's own work file beside `target`: hidden, of fixed length, and
// a name of its own for each download.
QString downloadworkname(const QString& target)
{
    return platform::uniqueWorkName(target, platform::kDownloadWorkSuffix);
}

QString statusmessage(const http::Reply& reply)
{
    return reply.statusLine.isEmpty() ? QStringLiteral("HTTP %1").arg(reply.status) : reply.statusLine;
}

// Why a reply of status 200 is not known to be the whole document.
QString incompletemessage(const http::Reply& reply)
{
    if (reply.chunked && reply.contentLength >= 0)
        return QStringLiteral("Refused: the reply announces a length of %1 bytes and comes in chunks as well")
            .arg(reply.contentLength);
    if (reply.contentLength >= 0)
        return QStringLiteral("Incomplete download: %1 of %2 bytes").arg(reply.received).arg(reply.contentLength);
    return QStringLiteral("Incomplete download: the reply has no length to check %1 bytes against").arg(reply.received);
}

// Puts a finished work file beside the target in its place: it takes the old
// file's permission bits, as a rewrite in place would have, and reaches the
// disk before it replaces the old.
int replacebeside(const QString& work, const QString& target)
{
    struct stat old {};
    if (::stat(platform::encodePath(target).constData(), &old) == 0)
        (void)::chmod(platform::encodePath(work).constData(), old.st_mode & 07777);  // a new mode is no failure
    int rc = platform::syncFile(work);
    if (rc == 0)
        rc = platform::replaceFile(work, target);
    return rc;
}

}  // namespace

TVekPost::TVekPost(TransferProgress progress) : progress_(std::move(progress))
{
}

TVekPost::~TVekPost()
{
    Savelog();
}

void TVekPost::setusername(const QString& aUsername, const QString& aPassword)
{
    pUsername = aUsername;
    pPassword = aPassword;
}

void TVekPost::AddLog(const QString& text)
{
    pLogList.append(transferlogline(text));
}

void TVekPost::AddExtraField(const QString& aName, const QString& aValue)
{
    AddLog(QStringLiteral("Set field ") + aName + QStringLiteral(" = ") + aValue);
    fields_.append({aName, aValue});
}

void TVekPost::SetProxyINI(const QString& Value)
{
    const ProxySettings settings = readproxysettings(Value);
    proxyError_ = settings.error;
    if (!settings.error.isEmpty()) {
        pErrstr = ErrorStr = settings.error;
        return;
    }
    if (!settings.proxy)
        return;
    proxy_ = settings.proxy;
    AddLog(QStringLiteral("Proxy Info:"));
    AddLog(proxy_->host);
    AddLog(QString::number(proxy_->port));
    AddLog(proxy_->user);
    // Whether there is a password, never the password: its protected text
    // turns back into it with the family's fixed key.
    AddLog(proxy_->password.isEmpty() ? kNoProxyPassword : kProxyPasswordSet);
    pProxyIni = Value;
}

bool TVekPost::applyProxyFile()
{
    const QString file = proxysettingsfile();
    proxyError_.clear();
    if (platform::pathExists(file))
        SetProxyINI(file);
    if (proxyError_.isEmpty())
        return true;
    AddLog(QStringLiteral("Exception message:") + proxyError_);
    return false;
}

void TVekPost::Savelog()
{
    if (pLogList.isEmpty())
        return;
    pLogname = appendtransferlog(pLogList);
    pLogList.clear();
}

http::Request TVekPost::baseRequest(const QString& url)
{
    http::Request request;
    request.url = url;
    request.readTimeoutMs = pTimeout;
    request.proxy = proxy_;
    request.tls = readtlssettings();
    if (!request.tls.verify)
        AddLog(unverifiedwarning(request.tls, url));
    request.progress.begin = [this](qint64 max) { WorkBegin(max); };
    request.progress.working = [this](qint64 count) { Working(count); };
    request.progress.end = [this] { WorkEnd(); };
    return request;
}

void TVekPost::WorkBegin(qint64 aWorkCountMax)
{
    maximum_ = aWorkCountMax;
    if (progress_.begin)
        progress_.begin(aWorkCountMax);
}

void TVekPost::Working(qint64 aWorkCount)
{
    if (progress_.working)
        progress_.working(aWorkCount);
    // A transfer blocks the window's thread: its events run here, so it repaints
    // and its other controls answer meanwhile.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void TVekPost::WorkEnd()
{
    if (progress_.end)
        progress_.end();
}

bool TVekPost::GetFile(const QString& aSourceURL, const QString& aFileName)
{
    // Failures before the transfer: ErrorStr says them as well.
    const auto failbefore = [this](const QString& message) {
        pErrstr = ErrorStr = message;
        AddLog(QStringLiteral("Exception message:") + message);
        return false;
    };
    ResponseCode = 0;
    ResponseText.clear();
    if (platform::isFolder(aFileName))
        return failbefore(QStringLiteral("Cannot download into \"%1\": it is a folder").arg(aFileName));
    if (!applyProxyFile())
        return false;
    QString work = downloadworkname(aFileName);
    platform::RawFile file;
    int rc = file.openWorkFile(work);
    // A shared folder may refuse new files while its files may still be
    // written: the download then waits in the data folder, and the finished
    // file is written over the target in place.
    bool inplace = false;
    if (rc == platform::winerr::AccessDenied && platform::isFile(aFileName)) {
        platform::RawFile probe;
        if (probe.open(aFileName, platform::OpenMode::Append) == 0) {
            (void)probe.close();  // nothing was written through it
            inplace = true;
            work = downloadworkname(datafolder() + QFileInfo(aFileName).fileName());
            rc = file.openWorkFile(work);
        }
    }
    if (rc != 0)
        return failbefore(QStringLiteral("Cannot create file \"%1\": %2").arg(work, platform::errorText(rc)));
    http::Request request = baseRequest(aSourceURL);
    if (ishttps(aSourceURL))
        AddLog(kTlsVersionsLine);
    AddLog(QStringLiteral("Asking for: ") + loggableaddress(aSourceURL));
    int writeError = 0;
    // The work file is flushed before it replaces the target: its disk writes
    // start while the rest still arrives.
    platform::WritebackPacer writeback(file.descriptor());
    request.sink = [&](const char* data, qint64 size) {
        writeError = file.write(data, size);
        writeback.wrote(size);
        return writeError == 0;
    };
    const http::Reply reply = http::perform(request);
    // A caller tells "the server has no such file" (404) from a failed transfer by it.
    ResponseCode = reply.status;
    ResponseText = reply.statusText;
    if (reply.status > 0)
        AddLog(QStringLiteral("Reply: ") + QString::number(reply.status) + QStringLiteral(": ") + reply.statusText);

    QString failure;
    if (!reply.transferred)
        failure = writeError ? reply.error + u' ' + platform::errorText(writeError) : reply.error;
    else if (reply.status != 200)
        failure = statusmessage(reply);
    else if (!reply.complete())
        failure = incompletemessage(reply);
    rc = file.close();
    if (failure.isEmpty() && rc != 0)
        failure = platform::errorText(rc);
    if (failure.isEmpty() && inplace) {
        bool restorefailed = false;
        const QString keep = downloadworkname(datafolder() + QFileInfo(aFileName).fileName());
        if ((rc = rewriteinplace(work, aFileName, keep, &restorefailed)) != 0) {
            failure = QStringLiteral("Cannot write \"%1\": %2").arg(aFileName, platform::errorText(rc));
            if (restorefailed)
                failure += QStringLiteral("; its old version is kept in \"%1\"").arg(keep);
        }
    } else if (failure.isEmpty() && (rc = replacebeside(work, aFileName)) != 0) {
        failure = QStringLiteral("Cannot replace \"%1\": %2").arg(aFileName, platform::errorText(rc));
    }
    if (inplace || !failure.isEmpty())
        (void)platform::deleteFile(work);  // the target holds what it should; a leftover work file is hidden
    if (failure.isEmpty())
        return true;
    pErrstr = failure;
    AddLog(QStringLiteral("Exception:") + failure + u' ' + loggableaddress(aSourceURL));
    return false;
}

bool TVekPost::postForm(const QString& logFileName, bool fileLog)
{
    http::Request request = baseRequest(pWebsite);
    request.method = http::Request::Method::PostForm;
    request.fields = fields_;
    request.files = files_;
    const http::Reply reply = http::perform(request);
    ResponseCode = reply.status;
    ResponseText = reply.statusText;
    QString failure;
    if (!reply.transferred)
        failure = reply.error;
    else if (reply.status >= 400)
        failure = statusmessage(reply);
    if (failure.isEmpty()) {
        if (fileLog)
            AddLog(QStringLiteral("Got: ") + ResponseText + QStringLiteral(" with ") + logFileName);
        return reply.status == 200;
    }
    if (fileLog) {
        ResponseText = pErrstr = failure;
    } else {
        ResponseText = pErrstr = failure + QStringLiteral("   ") + reply.statusText;
    }
    AddLog(failure);
    AddLog(QStringLiteral("Site = ") + loggableaddress(pWebsite));
    if (fileLog)
        AddLog(QStringLiteral("Filename = ") + logFileName);
    AddLog(QStringLiteral("Name = ") + pName);
    return false;
}

bool TVekPost::PostFile(const QString& aFilename)
{
    ResponseCode = 0;
    ResponseText.clear();
    if (pWebsite.isEmpty()) {
        AddLog(kWebsiteNotSet);
        return false;
    }
    if (!platform::isFile(aFilename)) {
        AddLog(QStringLiteral("Missing file:") + aFilename);
        return false;
    }
    if (!applyProxyFile()) {
        ResponseText = pErrstr;
        return false;
    }
    AddLog(loggableaddress(pWebsite));
    files_.append({pName, aFilename, QByteArrayLiteral("application/octet-stream")});
    AddLog(QStringLiteral("Parameter=") + pName + u' ' + aFilename);
    if (ishttps(pWebsite) && !pHttpIOSSLSet) {
        pHttpIOSSLSet = true;
        AddLog(kTlsVersionsLine);
    }
    return postForm(aFilename, true);
}

bool TVekPost::PostFile(const QString& aFilename, const QString& aCustomer)
{
    AddExtraField(QStringLiteral("customer"), aCustomer);
    return PostFile(aFilename);
}

bool TVekPost::PostFileToFolder(const QString& aFileName, const QString& aTargetFolder)
{
    AddExtraField(QStringLiteral("base"), aTargetFolder);
    return PostFile(aFileName);
}

bool TVekPost::PostNoFile()
{
    ResponseCode = 0;
    ResponseText.clear();
    if (pWebsite.isEmpty()) {
        AddLog(kWebsiteNotSet);
        return false;
    }
    if (!applyProxyFile()) {
        ResponseText = pErrstr;
        return false;
    }
    return postForm(QString(), false);
}

QString TVekPost::PostRaw(const QString& aTargetURL, const QString& aFileName, const QString& aContentType)
{
    QByteArray body;
    {
        platform::RawFile file;
        int rc = file.open(aFileName, platform::OpenMode::Read);
        char buffer[65536];
        for (qint64 got = 1; rc == 0 && got > 0;) {
            rc = file.read(buffer, sizeof buffer, &got);
            if (rc == 0)
                body.append(buffer, static_cast<qsizetype>(got));
        }
        if (rc != 0)
            throw PostError(QStringLiteral("Cannot read \"%1\": %2").arg(aFileName, platform::errorText(rc)));
    }
    http::Request request = baseRequest(aTargetURL);
    request.method = http::Request::Method::PostRaw;
    request.rawBody = body;
    request.contentType = aContentType.toUtf8();
    request.user = pUsername;
    request.password = pPassword;
    const http::Reply reply = http::perform(request);
    ResponseCode = reply.status;
    ResponseText = reply.statusText;
    if (!reply.transferred)
        throw PostError(reply.error);
    if (reply.status >= 400)
        throw PostError(statusmessage(reply));
    return QString::fromUtf8(reply.body);
}

QString TVekPost::PostXML(const QString& aTargetURL, const QString& aFileName)
{
    return PostRaw(aTargetURL, aFileName, QStringLiteral("text/xml"));
}

bool TVekPost::OpenURL(const QString& aURL)
{
    Headers.clear();
    if (!applyProxyFile()) {
        ReplyStr.clear();
        ResponseCode = 0;
        ResponseText = pErrstr;
        return false;
    }
    const http::Reply reply = http::perform(baseRequest(aURL));
    if (!reply.transferred) {
        pErrstr = reply.error;
        AddLog(QStringLiteral("Tried: ") + loggableaddress(aURL) + QStringLiteral(" but failed."));
    }
    ReplyStr = QString::fromUtf8(reply.body);
    ResponseCode = reply.status;
    ResponseText = reply.transferred || reply.status > 0 ? reply.statusText : reply.error;
    for (QString line : reply.headers)
        Headers.append(line.replace(u':', u'='));
    // A reply cut short is no page, whatever its status said.
    if (reply.transferred && ResponseCode == 200)
        return true;
    AddLog(QStringLiteral("Failed: ") + QString::number(ResponseCode) + QStringLiteral(": ") + ResponseText);
    return false;
}

bool TVekPost::NetCheck(const QString& aURL)
{
    return OpenURL(aURL.isEmpty() ? readhostsetting(kHomePageKey, kDefaultHomePage) : aURL);
}

QString TVekPost::HashFile(const QString& aFileName)
{
    if (!platform::isFile(aFileName))
        return kNoFile;
    platform::RawFile file;
    if (file.open(aFileName, platform::OpenMode::Read) != 0)
        return {};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1)
        return {};
    QByteArray buffer(kHashChunk, Qt::Uninitialized);
    for (;;) {
        qint64 got = 0;
        if (file.read(buffer.data(), buffer.size(), &got) != 0)
            return {};
        if (got == 0)
            break;
        if (EVP_DigestUpdate(context.get(), buffer.constData(), static_cast<size_t>(got)) != 1)
            return {};
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return {};
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), length).toHex().toUpper());
}

QString TVekPost::md5name(const QString& aFilename)
{
    return aFilename + QStringLiteral(".md5");
}

bool TVekPost::md5File(const QString& aFilename)
{
    return savelist(QStringList{HashFile(aFilename)}, md5name(aFilename));
}

bool TVekPost::CompareFiles(const QString& aSource, const QString& aTarget)
{
    const QString source = HashFile(aSource);
    // A file that could not be read has no digest to compare.
    return !source.isEmpty() && source == HashFile(aTarget);
}

}  // namespace vek
