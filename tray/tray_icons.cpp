#include "tray/tray_icons.h"

#include <array>

#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/koyomi.h"

namespace tsukio {

namespace {

constexpr std::array<TrayIconName, 8> kNames = {{
    {kMonthIcon, "month", "Tsukio 1 月"},
    {kDayIcon, "day", "Tsukio 2 日"},
    {kWeekdayIcon, "weekday", "Tsukio 3 曜日"},
    {kMoonIcon, "moon", "Tsukio 4 月齢"},
    {kHourIcon, "hour", "Tsukio 5 時"},
    {kMinuteIcon, "minute", "Tsukio 6 分"},
    {kWeekNumberIcon, "week", "Tsukio 7 週"},
    {kSyncIcon, "status", "Tsukio 8 時刻調整"},
}};

Glyph DateGlyph(std::string_view text, Colour colour, const GlyphContext& context) {
  GlyphList list;
  AddDateGlyph(list, text, true, colour, context);
  return std::move(list.front());
}

Glyph TextGlyph(std::string_view text, Colour colour, const GlyphContext& context) {
  GlyphList list;
  AddTextGlyph(list, text, true, colour, context);
  return std::move(list.front());
}

// The moon of the day at noon, as the almanac gives its age. A day the almanac does not
// know says so and shows no phase.
TrayIcon MoonIcon(std::chrono::year_month_day date, const GlyphContext& context) {
  // The mean synodic month: the picture's phase, like the almanac's age, counts from the
  // last new moon.
  constexpr double kSynodicMonthDays = 29.530589;
  GlyphList list;
  const std::optional<Koyomi> koyomi = LookUpKoyomi(date);
  if (!koyomi) {
    AddMoonGlyph(list, std::nullopt, context);
    return {kMoonIcon, "月齢不明", std::move(list.front())};
  }
  std::string tooltip = "月齢 " + MoonAgeText(koyomi->noonMoonAgeTenths);
  if (koyomi->phase) tooltip.append(" ").append(MoonPhaseName(*koyomi->phase));
  AddMoonGlyph(list, koyomi->noonMoonAgeTenths / 10.0 / kSynodicMonthDays, context);
  return {kMoonIcon, std::move(tooltip), std::move(list.front())};
}

}  // namespace

std::span<const TrayIconName> TrayIconNames() {
  return kNames;
}

TrayIconName NameOfTrayIcon(int id) {
  for (const TrayIconName& name : kNames) {
    if (name.id == id) return name;
  }
  // Static text, as the table's: an unknown id is a programming error, not user data.
  static thread_local std::string unknown;
  unknown = std::to_string(id);
  return {static_cast<TrayIconId>(id), unknown, unknown};
}

std::vector<TrayIcon> BuildTrayRow(const LocalDateTime& now, const RowChoices& choices,
                                   const GlyphContext& context) {
  const DateTexts today = FormatDateTexts(now.date);
  const DayMark mark = TrayDayMark(now.date);
  const int week = WeekNumber(now.date, choices.weeks);

  std::vector<TrayIcon> row;
  if (choices.month)
    row.push_back({kMonthIcon, "今月", DateGlyph(today.month, mark.colour, context)});
  row.push_back({kDayIcon, DayTip(now.date, choices.weeks, choices.almanac),
                 DateGlyph(today.day, mark.colour, context)});
  if (choices.weekday) {
    row.push_back({kWeekdayIcon, "曜日", DateGlyph(today.weekday, mark.colour, context)});
  }
  if (choices.moon) row.push_back(MoonIcon(now.date, context));
  if (choices.clock) {
    row.push_back({kHourIcon, "時", ClockGlyph(HourText(now.hour, choices.twelveHour), context)});
    row.push_back({kMinuteIcon, "分", ClockGlyph(MinuteText(now.minute), context)});
  }
  if (choices.weekNumber) {
    row.push_back({kWeekNumberIcon, "第" + std::to_string(week) + "週",
                   TextGlyph(std::to_string(week), glyph_colour::kWeekNumber, context)});
  }
  return row;
}

Glyph ClockGlyph(std::string_view text, const GlyphContext& context) {
  return TextGlyph(text, glyph_colour::kClock, context);
}

SyncStatus StatusOf(SyncResult result, const SyncSettings& settings) {
  switch (result) {
    case SyncOk:
      return {"ok", glyph_colour::kSyncOk, "時刻調整完了"};
    case SyncServerFailed: {
      // Only the SNTP server is named: in the HTTP modes it was not the one asked.
      const std::string server = settings.httpSetup == 0 ? settings.ntpServer : "";
      return {"sv", glyph_colour::kSyncFailed, server + "サーバーへの接続失敗"};
    }
    case SyncSetFailed:
      break;
  }
  return {"pc", glyph_colour::kSyncFailed, "PCへの時刻設定失敗"};
}

TrayIcon SyncStatusIcon(const SyncStatus& status, const GlyphContext& context) {
  return {kSyncIcon, status.tooltip, TextGlyph(status.word, status.colour, context)};
}

void AddTrayIcon(TrayHost& tray, const TrayIcon& icon) {
  tray.AddIcon(icon.id, icon.tooltip, GlyphPictures(icon.picture));
}

void ModifyTrayIcon(TrayHost& tray, TrayIconId id, const Glyph& picture) {
  tray.ModifyIcon(id, GlyphPictures(picture));
}

void DeleteTrayIcon(TrayHost& tray, TrayIconId id) {
  tray.DeleteIcon(id);
}

}  // namespace tsukio
