#include "lib/downloadhook.h"

namespace vek {
namespace {
DownloadListCall& installedCall()
{
    static DownloadListCall call;
    return call;
}
}  // namespace

void setdownloadlistcall(DownloadListCall call)
{
    installedCall() = std::move(call);
}

bool downloadlist(QStringList& list, const QString& address)
{
    list.clear();
    return installedCall() ? installedCall()(list, address) : false;
}

bool iswebaddress(const QString& name)
{
    return name.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

}  // namespace vek
