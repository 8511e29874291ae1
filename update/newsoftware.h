#pragma once
// tnewsoftware keeps the family's programs up to date from the vendor's web
// site: it asks the update service which local program files have a newer
// version on the server, downloads one through the transfer component,
// installs it over the live copy keeping its backup generations, reports
// downloads and installations by e-mail through the service, logs every step
// to the two "VekInstaller.log" files, and keeps the family's installer
// program current and starts it with administrator rights.
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class TLabel;
class TProgressBar;
}  // namespace platform

namespace vek {

inline const QString kInstallerProgram = QStringLiteral("VekInstaller.exe");
inline const QString kUpdateLogName = QStringLiteral("VekInstaller.log");
// Each download of a run goes to a file of its own in the data folder, made
// exclusively from this pattern, so that two runs never place each other's bytes.
inline const QString kUpdateDownloadPattern = QStringLiteral("__TMPQORInstall_XXXXXX.tmp");
inline const QString kDefaultWebFolder = QStringLiteral("/html/downloads/");
inline const QString kProgramListExtension = QStringLiteral(".progstxt");
inline const QString kCannotCreateDownload = QStringLiteral("Cannot create a download file in:");
inline const QString kCannotSaveDownload = QStringLiteral("Cannot save downloaded file:");
inline const QString kDigestMismatch = QStringLiteral("Downloaded file does not match its MD5 digest:");
inline const QString kDigestUnavailable = QStringLiteral("Cannot get the MD5 digest of the downloaded file:");
inline const QString kSignatureRefused = QStringLiteral("Downloaded file refused by its signature:");
inline const QString kSignatureUnavailable = QStringLiteral("Cannot get the signature of the downloaded file:");
inline const QString kCheckingInstaller = QStringLiteral("Checking Installer...");
inline const QString kDownloadingInstaller = QStringLiteral("Downloading Installer...");
inline const QString kInstallingInstaller = QStringLiteral("Installing Installer...");
inline const QString kCallingWebService = QStringLiteral("Calling Web Service ");

class tnewsoftware {
public:
    tnewsoftware() = default;
    tnewsoftware(const tnewsoftware&) = delete;
    tnewsoftware& operator=(const tnewsoftware&) = delete;

    // Asks the service about the program file `exepath`, or about every line
    // of it when its name ends in ".progstxt" (each a file name in its
    // folder), in the server folder `aWebFolder` (empty: the default one).
    // Fills toinstalllist with the reply lines (name=fields) of files that
    // exist in the local folder and are older than the server's date, or of
    // every such file under a debugger. A failure of one name leaves
    // "Error:" + its message in errorstr and goes on with the next. True when
    // the list holds a line. `alabel` (may be null) shows the progress.
    [[nodiscard]] bool checknewsoftware(const QString& exepath, const QString& aWebFolder, platform::TLabel* alabel);

    // Downloads `exename` from the web folder `webfolder` (empty: the default
    // one) of the vendor's download script into `exefolder`. The bytes go to
    // a download file of this call's own, made exclusively in the data
    // folder. The file is put in place only when the download is complete
    // and matches the digest of the server's side file `exename` + ".md5";
    // only a clear "not found" (404) of that file means there is no digest to
    // match, any other failure to get it refuses the file. Otherwise the
    // target is left as it was and the reason is reported (errorstr and a
    // warning). The new file keeps the mode of the file it replaces, or 0755
    // for a program that is new, without set-ID bits and under the umask; it
    // is placed holding the folder's lock, so that two runs take turns.
    // Where the settings name public keys ([Signatures] of NewSoftware.ini),
    // the server's `exename` + ".minisig" is fetched too and the copy beside
    // the target is placed only when it verifies as `exename` and is not
    // older than the signed version recorded (signedplacement.h); the
    // signature is then kept beside the new file for installnewsoftware.
    // Sends the download notice when `emailto` is not empty. True when the
    // new file stands.
    [[nodiscard]] bool getnewsoftware(const QString& exefolder, const QString& exename, const QString& webfolder,
                                      const QString& emailto, const QString& emailnotes);

    // Installs the downloaded `downloadfolder` + `exename` as `livefolder` +
    // `exename`, shifting the live file and its backup generations (.X01 to
    // .X10) down the chain. The new file keeps the mode of the live file it
    // replaces (0755 for a program that is new), without set-ID bits and under
    // the umask. All or nothing: true only when the new file
    // stands with the chain shifted, and the downloaded file is then removed;
    // on failure the live folder is exactly as it was and errorstr says why.
    // Where the settings name public keys, the copy beside the live file is
    // placed only when it verifies against the download's ".minisig" (which
    // getnewsoftware left beside it) and is not older than the signed live
    // file; the signature goes with the download.
    // Sends the installation notice when installed and `emailname` is not
    // empty; logs the outcome in every case. `sitename` is not used.
    [[nodiscard]] bool installnewsoftware(const QString& downloadfolder, const QString& livefolder,
                                          const QString& exename, const QString& emailname, const QString& emailbody,
                                          const QString& sitename);

    // Keeps "VekInstaller.exe" in the folder `ExePath` current: nothing to do
    // when it is there and the service knows no newer one; otherwise it is
    // downloaded into the folder's "new" folder and installed with its
    // generations. True when the installer stands current (or as newly
    // installed); false with the reason in errorstr and in `Alab`.
    [[nodiscard]] bool CheckInstaller(const QString& ExePath, platform::TLabel* Alab);

    // Checks the installer beside `ThisProgram` and starts it with
    // administrator rights, with the program as its parameter, in the
    // program's folder; only when the check succeeded and the installer file
    // is still the one the check left. False with the reason in errorstr and
    // in `Alab` otherwise.
    [[nodiscard]] bool LaunchInstaller(const QString& ThisProgram, platform::TLabel* Alab);

    // The folder "logs" of the shared files folder, with a trailing
    // separator, created when missing; worked out once.
    QString logfolder();

    // The progress bar downloads move; none unless the caller sets one.
    platform::TProgressBar* AProgressbar = nullptr;
    // The reply lines of the last check's newer files.
    QStringList toinstalllist;
    // The run's DEBUG, as the program settled it: each service call of
    // checknewsoftware is shown with its argument and the start of its reply.
    bool debug = false;
    // The last failure's message.
    QString errorstr;

private:
    // Sets errorstr and shows it as a warning with an empty title.
    void report(const QString& text);
    // Appends the lines to both "VekInstaller.log" files.
    void appendlog(const QStringList& lines);
    // Sends a notice and logs it; the failure of a send goes to errorstr.
    void notify(const QString& email, const QString& subject, const QStringList& body, const QString& head);
    // The digest of the server's side file of `exename` ("NAME.md5"): empty
    // when the server answers that it has none (404); none, with the reason
    // in `why`, when it cannot be had or holds no digest.
    std::optional<QString> sidedigest(const QString& addressStem, const QString& exename, QString& why);
    // Fetches the server's signature of `exename` into `file`: 0, or the
    // refusal's code (winerr::NotSigned when the server has none) or a
    // transfer's failure (-1), with the reason in `why`.
    int fetchsignature(const QString& addressStem, const QString& exename, const QString& file, QString& why);

    QString flogfolder;
    // The digest of the installer the last CheckInstaller left in place;
    // empty when it failed.
    QString checkedDigest_;
};

}  // namespace vek
