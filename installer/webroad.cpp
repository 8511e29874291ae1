#include "installer/webroad.h"

#include "platform/winerror.h"

namespace installer {
namespace {

const QString kNoWebRoad = QStringLiteral("this part of the program cannot reach a web server");

class NoWebRoad : public WebRoad {
public:
    vek::IndexFetch fetchindex(const QString&, vek::WebIndex&, const trust::TrustedKeys&) const override
    {
        return {platform::winerr::NotSupported, vek::kServerIndexNotFetched + kNoWebRoad};
    }
    InstallOutcome install(const QString&, const vek::WebIndex&, const QString&, const QString& asked,
                           const InstallProgress&, const vek::SignaturePolicy&) const override
    {
        return indexfailure(asked, {platform::winerr::NotSupported, vek::kServerIndexNotFetched + kNoWebRoad});
    }
};

const WebRoad* g_road = nullptr;

}  // namespace

void setwebroad(const WebRoad* road)
{
    g_road = road;
}

const WebRoad& webroad()
{
    static const NoWebRoad none;
    return g_road ? *g_road : none;
}

const vek::ServerIndexEntry* webprogramentry(const vek::WebIndex& index, const QString& asked)
{
    return vek::findindexentry(index.entries, asked);
}

InstallOutcome indexfailure(const QString& name, const vek::IndexFetch& fetch)
{
    InstallOutcome outcome;
    outcome.name = name;
    outcome.code = fetch.code;
    outcome.message
        = kInstallErrorPrefix + QString::number(fetch.code) + u'\n' + name + QStringLiteral(": ") + fetch.message;
    return outcome;
}

}  // namespace installer
