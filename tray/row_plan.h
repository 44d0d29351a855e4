#pragma once

#include <span>
#include <vector>

namespace tsukio {

// Where a notification area puts an icon it has not shown before.
enum class TrayPlacement {
  kAppends,      // after the others
  kPrepends,     // before the others
  kRemembers,    // where it stood when the host first met its id; first met, before the others
  kSortsByTitle  // by title, whatever the order the icons arrive in
};

// What to send a host so that the row it shows becomes the row wanted. Each list is in
// sending order: first the removals, then the changes in place, then the additions.
struct RowPlan {
  std::vector<int> remove;
  std::vector<int> keep;  // shown and wanted where they stand: give them their new picture
  std::vector<int> add;
};

// The one rule for every host. Icons no longer wanted go. The others stay where they are as
// long as they already read in the wanted order on the side away from where the host puts a
// newcomer; from the first that does not, they are taken away and added again with the
// missing ones, in the order that makes this host show the row as wanted. Hosts that remember
// or sort need only the missing ones. Both lists hold each id once.
RowPlan PlanRow(std::span<const int> shown, std::span<const int> wanted, TrayPlacement placement);

}  // namespace tsukio
