#pragma once
// List files may be named by web address. The transfer component (web/) fills
// such a list; it installs its download call here when it starts. Without one,
// a web address gives an empty list.
#include <QStringList>
#include <functional>

namespace vek {

// Fills `list` with the lines found at `address`; returns false when nothing could be had.
using DownloadListCall = std::function<bool(QStringList& list, const QString& address)>;

void setdownloadlistcall(DownloadListCall call);
DownloadListCall downloadlistcall();
[[nodiscard]] bool downloadlist(QStringList& list, const QString& address);

// A name is a web address when it begins with "http://" or "https://", letter case ignored.
bool iswebaddress(const QString& name);

}  // namespace vek
