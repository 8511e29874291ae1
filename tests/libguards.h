#pragma once
// Guards for the core library's process-wide state, as stateguards.h has them
// for the platform layer.
#include "lib/downloadhook.h"
#include "lib/folderlock.h"
#include "lib/folders.h"
#include "lib/messagehook.h"
#include "lib/retrywait.h"
#include "stateguards.h"

namespace testsupport {

// The random wait between tries at opening a file; 0 unless told otherwise.
class RetryWaitScope : StateGuard {
public:
    explicit RetryWaitScope(int milliseconds = 0) : saved_(vek::retrywaitlimit())
    {
        vek::setretrywaitlimit(milliseconds);
    }
    ~RetryWaitScope() { vek::setretrywaitlimit(saved_); }

private:
    int saved_;
};

// How long a folder lock is waited for, and who is told of the wait.
class LockWaitScope : StateGuard {
public:
    explicit LockWaitScope(std::chrono::milliseconds limit = vek::folderlockwait())
        : savedLimit_(vek::folderlockwait()), savedNotice_(vek::folderlockwaitnotice().current())
    {
        vek::setfolderlockwait(limit);
    }
    ~LockWaitScope()
    {
        vek::setfolderlockwait(savedLimit_);
        vek::folderlockwaitnotice().install(savedNotice_);
    }

private:
    std::chrono::milliseconds savedLimit_;
    vek::Hook<void(const QString&, bool)>::Call savedNotice_;
};

// The call that shows the library's warnings.
class WarningCallScope : StateGuard {
public:
    explicit WarningCallScope(vek::WarningCall call) : saved_(vek::warningcall())
    {
        vek::setwarningcall(std::move(call));
    }
    ~WarningCallScope() { vek::setwarningcall(saved_); }

private:
    vek::WarningCall saved_;
};

// The call that fills a list named by web address.
class DownloadCallScope : StateGuard {
public:
    explicit DownloadCallScope(vek::DownloadListCall call) : saved_(vek::downloadlistcall())
    {
        vek::setdownloadlistcall(std::move(call));
    }
    ~DownloadCallScope() { vek::setdownloadlistcall(saved_); }

private:
    vek::DownloadListCall saved_;
};

// The data folder's base as a program settles it (LOCALFOLDER read once).
class DataFolderBaseScope : StateGuard {
public:
    explicit DataFolderBaseScope(std::optional<QString> base)
        : wasSettled_(vek::datafolderbasesettled()), saved_(vek::datafolderbase())
    {
        vek::setdatafolderbase(std::move(base));
    }
    ~DataFolderBaseScope()
    {
        if (wasSettled_)
            vek::setdatafolderbase(saved_);
        else
            vek::unsettledatafolderbase();
    }

private:
    bool wasSettled_;
    std::optional<QString> saved_;
};

// The files folder is fixed on first use; read afresh on both sides, so that
// neither this test nor the next one sees a folder fixed under other run
// parameters.
class FilesFolderScope : StateGuard {
public:
    FilesFolderScope() { vek::resetfilesfoldercache(); }
    ~FilesFolderScope() { vek::resetfilesfoldercache(); }
    // The next filesfolder() reads the redirection file again.
    void reset() { vek::resetfilesfoldercache(); }
};

}  // namespace testsupport
