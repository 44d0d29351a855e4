#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/tray_host.h"
#include "tray/row_plan.h"

namespace tsukio {

// What every notification area implementation shares: the program's calls are gathered as
// the row it wants, in reading order, and the implementation is asked for one pass when its
// event loop next runs, in which it carries out the row planner's plan for its host.
class PlannedTrayHost : public TrayHost {
 public:
  void AddIcon(int id, const std::string& tooltip, const PictureSet& pictures) final;
  void ModifyIcon(int id, const PictureSet& pictures) final;
  void DeleteIcon(int id) final;

  // The ids wanted, in reading order.
  std::vector<int> Ids() const;

 protected:
  struct WantedIcon {
    int id;
    std::string tooltip;
    PictureSet pictures;
  };
  const WantedIcon* FindWanted(int id) const;
  // Where `id` stands in the wanted row; the row's length for an id not wanted.
  std::size_t PlaceOf(int id) const;
  RowPlan PlanFrom(std::span<const int> shown, TrayPlacement placement) const {
    return PlanRow(shown, Ids(), placement);
  }
  // Something changed: the implementation carries it out soon, once for many changes.
  virtual void ScheduleFlush() = 0;

 private:
  std::vector<WantedIcon> wanted_;
};

}  // namespace tsukio
