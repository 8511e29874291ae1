#include "lib/downloadhook.h"

#include "lib/hook.h"

namespace vek {
namespace {
Hook<bool(QStringList&, const QString&)>& downloadHook()
{
    static Hook<bool(QStringList&, const QString&)> hook;
    return hook;
}
}  // namespace

void setdownloadlistcall(DownloadListCall call)
{
    downloadHook().install(std::move(call));
}

DownloadListCall downloadlistcall()
{
    return downloadHook().current();
}

bool downloadlist(QStringList& list, const QString& address)
{
    list.clear();
    return downloadHook().callOr([](QStringList&, const QString&) { return false; }, list, address);
}

bool iswebaddress(const QString& name)
{
    return name.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

}  // namespace vek
