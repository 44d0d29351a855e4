#include "tray/planned_tray_host.h"

#include <algorithm>

namespace tsukio {

void PlannedTrayHost::AddIcon(int id, const std::string& tooltip, const PictureSet& pictures) {
  if (FindWanted(id) != nullptr) return;
  wanted_.push_back({id, tooltip, pictures});
  ScheduleFlush();
}

void PlannedTrayHost::ModifyIcon(int id, const PictureSet& pictures) {
  const auto it = std::find_if(wanted_.begin(), wanted_.end(),
                               [id](const WantedIcon& w) { return w.id == id; });
  if (it == wanted_.end()) return;
  it->pictures = pictures;
  ScheduleFlush();
}

void PlannedTrayHost::DeleteIcon(int id) {
  if (std::erase_if(wanted_, [id](const WantedIcon& w) { return w.id == id; }) > 0) {
    ScheduleFlush();
  }
}

std::vector<int> PlannedTrayHost::Ids() const {
  std::vector<int> ids;
  ids.reserve(wanted_.size());
  for (const WantedIcon& wanted : wanted_) ids.push_back(wanted.id);
  return ids;
}

const PlannedTrayHost::WantedIcon* PlannedTrayHost::FindWanted(int id) const {
  const auto it = std::find_if(wanted_.begin(), wanted_.end(),
                               [id](const WantedIcon& w) { return w.id == id; });
  return it == wanted_.end() ? nullptr : &*it;
}

std::size_t PlannedTrayHost::PlaceOf(int id) const {
  const auto it = std::find_if(wanted_.begin(), wanted_.end(),
                               [id](const WantedIcon& w) { return w.id == id; });
  return static_cast<std::size_t>(it - wanted_.begin());
}

}  // namespace tsukio
