#pragma once
// A program file downloaded from a web server folder into its work file,
// checked against the server's index, and resumed where a download cut short
// stopped.
#include "platform/fileapi.h"

#include <QByteArray>
#include <QString>

namespace vek {

// What the index says the program is.
struct ExpectedFile {
    qint64 size = 0;
    // 64 lower-case hexadecimal digits.
    QByteArray sha256;
};

struct ProgramDownload {
    // 0 when the work file holds exactly the expected bytes; else
    // winerr::DataMismatch (the server's file is not the one its index
    // describes), winerr::FileNotFound (the server has no such file),
    // winerr::NetworkFailure (the transfer failed or stopped) or the code of
    // the work file's failing step.
    int code = 0;
    // Which side failed: the work file in the local folder, or the server.
    bool localSide = false;
    // The cause in words; empty on success.
    QString cause;
};

// The resumable work file of a download into `current`: hidden beside it, of
// fixed length, the same for every download of that file.
QString resumableworkname(const QString& current);

// Downloads `url` into the work file `work` through the transfer component
// (WebFolderTransfer) and checks its size and SHA-256 against `expected`. A
// work file of ours already there (a download cut short before) is taken up:
// its bytes are kept and the rest asked for with a range request; a server
// that sends the whole file instead is taken as it comes, and a kept part
// that turns out to belong to another version of the file is dropped and the
// file downloaded once more whole. On success the work file is flushed to the
// disk with `mode` (under the umask) and closed. A transfer that stops
// midway keeps the work file, with what came, for the next attempt; a
// transfer that brought nothing, a work file that could not be written (a
// full disk), a file that does not match, or one that the server does not
// have, leaves none. `progress` hears the
// bytes the work file holds and the expected size.
ProgramDownload downloadprogram(const QString& url, const QString& work, const ExpectedFile& expected, mode_t mode,
                                const platform::CopyProgress& progress = {});

}  // namespace vek
