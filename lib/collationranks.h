#pragma once
// Texts ranked by the collation of the locale snapshot, for the sorts that
// order many texts at once.
#include <QStringView>
#include <vector>

namespace vek {

// The rank of every text among the others by the snapshot's collator
// (platform::textCollator): a text collating before another has the lower
// rank, texts that collate equal share one.
std::vector<int> collationRanks(const std::vector<QStringView>& texts);

}  // namespace vek
