#include "installer/httpwebroad.h"

#include "installer/webinstall.h"

namespace installer {
namespace {

class HttpWebRoad : public WebRoad {
public:
    vek::IndexFetch fetchindex(const QString& folderUrl, vek::WebIndex& index,
                               const trust::TrustedKeys& keys) const override
    {
        return vek::fetchserverindex(folderUrl, index, keys);
    }
    InstallOutcome install(const QString& serverUrl, const vek::WebIndex& index, const QString& localFolder,
                           const QString& asked, const InstallProgress& progress,
                           const vek::SignaturePolicy& signatures) const override
    {
        return installfromweb(serverUrl, index, localFolder, asked, progress, signatures);
    }
};

}  // namespace

const WebRoad& httpwebroad()
{
    static const HttpWebRoad road;
    return road;
}

}  // namespace installer
