#pragma once
// TVekPost, the family's one object for talking HTTP: it downloads a file,
// posts a file or a set of form fields as a multipart form, posts a raw file
// with a content type, fetches a page, and hashes files with MD5. It applies
// the user's proxy settings, moves the caller's progress bar while bytes move
// (letting pending window events run), and keeps a log of what it did, written
// to the day's log file in the data folder's "VekPost" folder when it goes.
#include "web/httpclient.h"
#include "web/transferlog.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

namespace vek {

inline const QString kNoFile = QStringLiteral("No File");
inline const QString kWebsiteNotSet = QStringLiteral("Website not set.");
// The proxy lines of the log say whether a password is set, never which.
inline const QString kProxyPasswordSet = QStringLiteral("Password set");
inline const QString kNoProxyPassword = QStringLiteral("No password");

// The calls a transfer moves a progress bar with: the bar's maximum (the
// expected bytes, 0 when unknown), its position, and the end (position at
// maximum). Any of them may be empty.
using TransferProgress = http::Progress;

// The failure a raw post raises; what() is the message.
class PostError : public std::exception {
public:
    explicit PostError(QString message) : message_(std::move(message)), bytes_(message_.toUtf8()) {}
    const char* what() const noexcept override { return bytes_.constData(); }
    const QString& message() const { return message_; }

private:
    QString message_;
    QByteArray bytes_;
};

class TVekPost {
public:
    // A component whose transfers report to `progress` (none when empty); read
    // time-out 5000 ms, file field "file".
    explicit TVekPost(TransferProgress progress = {});
    TVekPost(const TVekPost&) = delete;
    TVekPost& operator=(const TVekPost&) = delete;
    // Writes the pending log lines, as Savelog.
    ~TVekPost();

    void SetSite(const QString& aWebsite) { pWebsite = aWebsite; }
    void SetName(const QString& aName) { pName = aName; }
    void setusername(const QString& aUsername, const QString& aPassword);
    // Logs "Set field name = value" and adds a text field to every later post.
    void AddExtraField(const QString& aName, const QString& aValue);
    // Applies a proxy settings file: nothing when the file is missing or its
    // "HOST" is empty (an earlier proxy stays); otherwise the proxy with basic
    // authentication, logged with whether a password is set (never the
    // password, in any form). A file that is there but cannot be read leaves
    // its message in pErrstr and ErrorStr, and the transfers that apply it
    // fail without traffic until a later file is read.
    void SetProxyINI(const QString& Value);
    QString ProxyINI() const { return pProxyIni; }
    int Timeout() const { return pTimeout; }
    void SetTimeout(int milliseconds) { pTimeout = milliseconds; }
    QString ReportError() const { return pErrstr; }
    // Appends the pending lines to the day's log file (one that was last
    // written more than a day ago starts afresh) and empties the list.
    // Failures to write the log are silent.
    void Savelog();
    // The pending log lines, each the local date and time, a blank, the text.
    const QStringList& pendinglog() const { return pLogList; }
    // The proxy the next transfer goes through, if any.
    const std::optional<http::ProxyServer>& proxy() const { return proxy_; }

    // Downloads `aSourceURL` into `aFileName`. The bytes go to a hidden work
    // file beside the target, which replaces the target only when the reply
    // is known complete: status 200 with a Content-Length the received bytes
    // match, or a chunked reply that ended properly. True only then. Where
    // the target's folder takes no work file but the target may be written,
    // the work file lies in the data folder and the finished download is
    // written over the target in place (its inode, owner and mode stay). On
    // any failure the target is as it was (an old file stays, none is made),
    // no work file remains, pErrstr holds the message, and ErrorStr too when
    // the failure came before the transfer (the target is a folder, the work
    // file could not be made, the proxy settings could not be read).
    // ResponseCode and ResponseText hold the reply's status (0 without one).
    [[nodiscard]] bool GetFile(const QString& aSourceURL, const QString& aFileName);
    // Posts the form: every field and file added to this object so far, and
    // `aFilename` as a file part named pName. True when the reply is 200;
    // false, without traffic, for an empty site, a missing file or proxy
    // settings that cannot be read. Like every transfer, it fails when the
    // server sends nothing for Timeout milliseconds.
    [[nodiscard]] bool PostFile(const QString& aFilename);
    // Adds the field "customer", then as PostFile.
    [[nodiscard]] bool PostFile(const QString& aFilename, const QString& aCustomer);
    // Adds the field "base", then as PostFile.
    [[nodiscard]] bool PostFileToFolder(const QString& aFileName, const QString& aTargetFolder);
    // Posts the fields (and files) added so far; true when the reply is 200.
    [[nodiscard]] bool PostNoFile();
    // Posts the bytes of the file as the body with the content type, with
    // basic authentication when a user is set, and returns the reply body.
    // It reads no proxy settings file (a proxy applied earlier stays) and
    // logs nothing but the warning of unverified TLS. Raises PostError when
    // the file cannot be read, the transfer fails (a server silent for
    // Timeout milliseconds included) or the reply is an error status (400
    // and above).
    QString PostRaw(const QString& aTargetURL, const QString& aFileName, const QString& aContentType);
    QString PostXML(const QString& aTargetURL, const QString& aFileName);
    // Fetches the page into ReplyStr, its headers into Headers (every ":"
    // turned into "="); true when the reply is 200.
    [[nodiscard]] bool OpenURL(const QString& aURL);
    // OpenURL of the address, or of the maker's home page when it is empty.
    [[nodiscard]] bool NetCheck(const QString& aURL = {});

    // The MD5 digest of the file's bytes as 32 upper-case hexadecimal digits;
    // "No File" when it is missing; empty when it cannot be read.
    static QString HashFile(const QString& aFileName);
    // The name of a file's digest file: the whole name followed by ".md5"
    // ("Stock.exe" -> "Stock.exe.md5"), so that "Pair.exe" and "Pair.dll"
    // each have their own.
    static QString md5name(const QString& aFilename);
    // Writes HashFile of the file as one line into its md5name; true when
    // written.
    [[nodiscard]] static bool md5File(const QString& aFilename);
    // Whether both files hash alike (so two missing files compare equal); false
    // when either cannot be read.
    [[nodiscard]] static bool CompareFiles(const QString& aSource, const QString& aTarget);

    int ResponseCode = 0;
    QString ResponseText;
    QStringList Headers;
    QString ReplyStr;
    QString ErrorStr;

protected:
    void AddLog(const QString& text);
    // Applies the data folder's proxy settings file when it exists; false,
    // with the message in pErrstr and ErrorStr and logged, when it is there
    // but cannot be read.
    [[nodiscard]] bool applyProxyFile();
    // The request every transfer starts from: time-out, proxy, TLS settings
    // (with their warning line when verification is off), progress.
    http::Request baseRequest(const QString& url);
    [[nodiscard]] bool postForm(const QString& logFileName, bool fileLog);
    void WorkBegin(qint64 aWorkCountMax);
    void Working(qint64 aWorkCount);
    void WorkEnd();

    int pTimeout = 5000;
    QString pUsername;
    QString pPassword;
    QString pWebsite;
    QString pLogname;
    QString pName = QStringLiteral("file");
    QStringList pLogList;
    QString pErrstr;
    QString pProxyIni;
    bool pHttpIOSSLSet = false;
    QList<std::pair<QString, QString>> fields_;
    QList<http::FormFile> files_;

private:
    TransferProgress progress_;
    qint64 maximum_ = 0;
    std::optional<http::ProxyServer> proxy_;
    // Why the last proxy settings file could not be read; empty when it could.
    QString proxyError_;
};

}  // namespace vek
