#include "tray/row_plan.h"

#include <algorithm>

namespace tsukio {

namespace {

bool Holds(std::span<const int> ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

RowPlan PlanRow(std::span<const int> shown, std::span<const int> wanted, TrayPlacement placement) {
  RowPlan plan;
  std::vector<int> staying;  // shown and still wanted, left to right
  for (const int id : shown) {
    (Holds(wanted, id) ? staying : plan.remove).push_back(id);
  }

  // How many of `staying` keep their place, counted from the side the host does not add on.
  std::size_t kept = 0;
  switch (placement) {
    case TrayPlacement::kAppends:
      while (kept < staying.size() && staying[kept] == wanted[kept]) ++kept;
      plan.keep.assign(staying.begin(), staying.begin() + static_cast<std::ptrdiff_t>(kept));
      plan.remove.insert(plan.remove.end(), staying.begin() + static_cast<std::ptrdiff_t>(kept),
                         staying.end());
      plan.add.assign(wanted.begin() + static_cast<std::ptrdiff_t>(kept), wanted.end());
      return plan;
    case TrayPlacement::kPrepends: {
      const std::size_t s = staying.size();
      const std::size_t w = wanted.size();
      while (kept < s && staying[s - 1 - kept] == wanted[w - 1 - kept]) ++kept;
      plan.keep.assign(staying.end() - static_cast<std::ptrdiff_t>(kept), staying.end());
      plan.remove.insert(plan.remove.end(), staying.begin(),
                         staying.end() - static_cast<std::ptrdiff_t>(kept));
      // Each newcomer goes before the one added just now: the last first.
      plan.add.assign(wanted.rbegin() + static_cast<std::ptrdiff_t>(kept), wanted.rend());
      return plan;
    }
    case TrayPlacement::kRemembers:
      // Last first: a host that meets them all now remembers them in the row's order, and one
      // that knew them puts them back where they were anyway.
      plan.keep = staying;
      for (auto id = wanted.rbegin(); id != wanted.rend(); ++id) {
        if (!Holds(staying, *id)) plan.add.push_back(*id);
      }
      return plan;
    case TrayPlacement::kSortsByTitle:
      plan.keep = staying;
      for (const int id : wanted) {
        if (!Holds(staying, id)) plan.add.push_back(id);
      }
      return plan;
  }
  return plan;
}

}  // namespace tsukio
