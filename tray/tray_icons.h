#pragma once

#include <string>

#include "platform/tray_host.h"
#include "tray/glyphs.h"

namespace tsukio {

enum TrayIconId : int {
  kMonthIcon = 100,
  kDayIcon = 110,
  kWeekdayIcon = 120,
  kWeekNumberIcon = 130,
  kHourIcon = 140,
  kMinuteIcon = 150,
  kSyncIcon = 170,
};

void AddTrayIcon(TrayHost& tray, TrayIconId id, const std::string& tooltip, const Glyph& picture);
// Replaces the picture only; the tooltip and the place stay.
void ModifyTrayIcon(TrayHost& tray, TrayIconId id, const Glyph& picture);
void DeleteTrayIcon(TrayHost& tray, TrayIconId id);

}  // namespace tsukio
