#pragma once
// The catalogue of a server folder on a web server: its index file
// (lib/serverindex.h) fetched through the transfer component, asked for again
// only when it changed.
#include "lib/serverindex.h"
#include "trust/keys.h"

#include <QString>

namespace vek {

inline const QString kMissingServerIndex = QStringLiteral("Missing server index ");
inline const QString kMakeIndexHint
    = QStringLiteral("\nThe web server has no index of the folder there. Make one in the folder it publishes with\n"
                     "TessarineInstaller --make-index FOLDER");
inline const QString kServerIndexNotFetched = QStringLiteral("The server index could not be fetched: ");
inline const QString kServerIndexRefused = QStringLiteral("The server index is refused: ");
// Follows the refused index's address when the server has no signature of it.
inline const QString kIndexNotSigned = QStringLiteral("\nnot signed: the server has no %1");

// The index of a web server folder as last fetched, with what the server said
// identifies that version of it.
struct WebIndex {
    ServerIndex entries;
    // The reply's ETag and Last-Modified, as the server wrote them.
    QString etag;
    QString lastModified;
    // Whether `entries` came from the server (an empty index included).
    bool fetched = false;
    // Whether its signature was verified with the keys it was fetched with,
    // and the timestamp of that signature (0 when it names none).
    bool verified = false;
    qint64 signedAt = 0;
};

// The address of the index of `folderUrl` (a "/" added when it has none).
QString serverindexaddress(const QString& folderUrl);

// The address of the program `name` in `folderUrl`, the name percent-encoded.
QString serverprogramaddress(const QString& folderUrl, const QString& name);

// Why an index could not be had: 0 and empty when it could; otherwise the
// code (winerr::FileNotFound when the server has no index there,
// winerr::NetworkFailure when the transfer failed, winerr::DataMismatch when
// the index breaks its format, a signature's code when its signature does not
// verify) and the message, its first line one of the
// texts above with the address, then why.
struct IndexFetch {
    int code = 0;
    QString message;
};

// Fetches the index of `folderUrl` into `index`. When `index` holds a fetched
// index, the request carries its ETag and Last-Modified, and a "not modified"
// reply (304) keeps it as it is. Only a whole reply whose every line is an
// index line (parseserverindex) replaces it; on failure `index` stays as it
// was. With `keys` naming keys, the index must come with its minisign
// signature beside it (TessarineIndex.txt.minisig), made by one of them as
// "TessarineIndex.txt": an index without one, or one it does not verify, is
// refused with the signature's code (winerr::NotSigned ...), and then each
// program's SHA-256 in the index stands in for its own signature.
IndexFetch fetchserverindex(const QString& folderUrl, WebIndex& index, const trust::TrustedKeys& keys = {});

}  // namespace vek
