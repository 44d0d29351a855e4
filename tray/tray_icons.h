#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/weeks.h"
#include "platform/clock.h"
#include "platform/tray_host.h"
#include "timesync/sync.h"
#include "timesync/sync_run.h"
#include "tray/glyphs.h"

namespace tsukio {

enum TrayIconId : int {
  kMonthIcon = 100,
  kDayIcon = 110,
  kWeekdayIcon = 120,
  kMoonIcon = 160,
  kWeekNumberIcon = 130,
  kHourIcon = 140,
  kMinuteIcon = 150,
  kSyncIcon = 170,
};

// How an icon is known outside the program. Hosts remember an icon by "tsukio-" + key, and
// the picture files of `tsukio-cal icons` are named by it. The title tells the icons apart
// in a panel's settings and carries the place in the row, so a host that sorts by title
// shows the row in order.
struct TrayIconName {
  TrayIconId id;
  std::string_view key;
  std::string_view title;
};
// Every icon, in the order the row reads.
std::span<const TrayIconName> TrayIconNames();
// The icon's name; an id of no icon of ours gets its number as key and title.
TrayIconName NameOfTrayIcon(int id);

// What the row shows besides the day, and how.
struct RowChoices {
  bool month = false;
  bool weekday = false;
  bool clock = false;
  bool twelveHour = false;
  bool weekNumber = false;
  bool almanac = false;
  WeekScheme weeks = WeekScheme::kIso;
  bool moon = false;  // the moon's phase, after the date icons
};

// One icon as the tray gets it.
struct TrayIcon {
  TrayIconId id;
  std::string tooltip;
  Glyph picture;
};

// The row for a moment, in reading order, the day icon's tooltip (the date, holiday, week
// number and by choice the almanac) and the moon's (its age and phase) among them. The program's
// tray and `tsukio-cal icons` both draw it here, so the two cannot differ.
std::vector<TrayIcon> BuildTrayRow(const LocalDateTime& now, const RowChoices& choices,
                                   const GlyphContext& context);

// The hour's or minute's picture alone, for the clock icons' changes between refreshes.
Glyph ClockGlyph(std::string_view text, const GlyphContext& context);

// How the status icon shows an outcome of setting the clock.
struct SyncStatus {
  std::string word;  // "ok", "sv" or "pc"
  Colour colour;
  std::string tooltip;
};
SyncStatus StatusOf(SyncResult result, const SyncSettings& settings);
TrayIcon SyncStatusIcon(const SyncStatus& status, const GlyphContext& context);

void AddTrayIcon(TrayHost& tray, const TrayIcon& icon);
// Replaces the picture only; the tooltip and the place stay.
void ModifyTrayIcon(TrayHost& tray, TrayIconId id, const Glyph& picture);
void DeleteTrayIcon(TrayHost& tray, TrayIconId id);

}  // namespace tsukio
