#pragma once

#include <algorithm>
#include <vector>

#include "tray/row_plan.h"
#include "tray/tray_icons.h"

namespace tsukio {

// A notification area as each kind of host was measured to behave: it is told of icons
// coming and going and keeps the row it would show, left to right.
struct ModelTray {
  TrayPlacement placement;
  std::vector<int> row;
  std::vector<int> met;  // kRemembers: every id it has met, newest first; kept across restarts

  void Add(int id) {
    switch (placement) {
      case TrayPlacement::kAppends:
        row.push_back(id);
        return;
      case TrayPlacement::kPrepends:
        row.insert(row.begin(), id);
        return;
      case TrayPlacement::kRemembers: {
        if (std::find(met.begin(), met.end(), id) == met.end()) met.insert(met.begin(), id);
        row.push_back(id);
        std::stable_sort(row.begin(), row.end(), [this](int a, int b) {
          return std::find(met.begin(), met.end(), a) < std::find(met.begin(), met.end(), b);
        });
        return;
      }
      case TrayPlacement::kSortsByTitle:
        row.push_back(id);
        std::stable_sort(row.begin(), row.end(), [](int a, int b) {
          return NameOfTrayIcon(a).title < NameOfTrayIcon(b).title;
        });
        return;
    }
  }
  void Remove(int id) { std::erase(row, id); }
  // A host that takes over shows none of our icons.
  void Restart() { row.clear(); }
  void CarryOut(const RowPlan& plan) {
    for (const int id : plan.remove) Remove(id);
    for (const int id : plan.add) Add(id);
  }
};

}  // namespace tsukio
