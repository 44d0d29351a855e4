#include "app/core/main_form.h"

#include <algorithm>
#include <exception>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "timesync/sync_run.h"
#include "tray/glyphs.h"
#include "tray/tray_icons.h"

namespace tsukio {

namespace {

constexpr int kMinuteTick = 60000;
constexpr int kSecondTick = 1000;
constexpr int kSyncStatusShown = 5000;
constexpr std::string_view kOptionsCaption = "設定";
constexpr std::string_view kAboutCaption = "バージョン情報";

// One icon of a refresh, in the order it was built.
struct TrayEntry {
  TrayIconId id;
  std::string tooltip;
};

}  // namespace

TForm1::TForm1(Desktop& desktop) : desktop_(desktop) {
  desktop_.times.SetEnabled(false);
  desktop_.times.SetInterval(kMinuteTick);
  desktop_.times.OnTick([this] { Guarded([this] { TimesTimer(); }); });
  if (desktop_.sync != nullptr) {
    Timer& ntpTimer = desktop_.sync->ntpTimer;
    ntpTimer.SetEnabled(false);
    ntpTimer.SetInterval(kSyncStatusShown);
    ntpTimer.OnTick([this] { Guarded([this] { ntpTimerTimer(); }); });
  }
}

const std::vector<MenuItem>& TForm1::PopupMenu1() {
  static const std::vector<MenuItem> items = {
      {"MCal", "カレンダー(&C)", &TForm1::MCalClick},
      {"N2", "-", nullptr},
      {"MRefresh", "更新(&R)", &TForm1::MRefreshClick},
      {"N3", "-", nullptr},
      {"MSetup", "設定(&O)", &TForm1::MSetupClick},
      {"MInfo", "バージョン情報(&A)", &TForm1::MInfoClick},
      {"N1", "-", nullptr},
      {"MExit", "終了(&X)", &TForm1::MExitClick},
  };
  return items;
}

void TForm1::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    desktop_.window.ShowError(e.what());
  } catch (...) {
    desktop_.window.ShowError("予期しないエラーが発生しました");
  }
}

void TForm1::FormCreate() {
  LoadSettings();
  FindTaskbarProcess();
  FinishStartUp();
}

// Until the settings file is read, the defaults stand; the timer waits for the one-time update.
void TForm1::LoadSettings() {
  const int delay = options_.AutoTime >= 1 && options_.AutoTime <= 300 ? options_.AutoTime : 30;
  desktop_.times.SetInterval(delay * 1000);
  state_.AutoUpdatePending = delay * 1000;
}

void TForm1::FindTaskbarProcess() {
  const std::string host = desktop_.tray.HostIdentity();
  if (host.empty() || host == state_.TaskbarProcessId) return;
  if (!state_.TaskbarProcessId.empty()) state_.RefreshPending = 1;  // a new host has no icons
  state_.TaskbarProcessId = host;
}

void TForm1::FinishStartUp() {
  state_.StartupPhase = 2;
  RefreshTrayIcons();
  state_.StartupPhase = 3;
  if (options_.Time) state_.RefreshPending = 1;
  desktop_.times.SetEnabled(true);
}

bool TForm1::FormCloseQuery() {
  DeleteShownIcons();
  if (desktop_.sync != nullptr) desktop_.sync->ntpTimer.SetEnabled(false);
  HideWindow();
  return true;
}

void TForm1::DeleteShownIcons() {
  TrayHost& tray = desktop_.tray;
  if (options_.Month) DeleteTrayIcon(tray, kMonthIcon);
  DeleteTrayIcon(tray, kDayIcon);
  if (options_.Week) DeleteTrayIcon(tray, kWeekdayIcon);
  if (options_.Time) {
    DeleteTrayIcon(tray, kHourIcon);
    DeleteTrayIcon(tray, kMinuteIcon);
  }
  if (options_.Number) DeleteTrayIcon(tray, kWeekNumberIcon);
  if (state_.SyncIconShown == 1) {
    DeleteTrayIcon(tray, kSyncIcon);
    state_.SyncIconShown = 0;
  }
}

void TForm1::RefreshTrayIcons() {
  GlyphList glyphs;
  std::vector<TrayEntry> entries;
  const GlyphContext context{desktop_.painter, desktop_.window.DisplayDpi()};

  const LocalDateTime now = desktop_.clock.Now();
  const DateTexts today = FormatDateTexts(now.date);

  // Start-up's early refreshes only add: nothing of ours is in the tray yet.
  if (state_.StartupPhase > 1) DeleteShownIcons();

  const DayMark mark = TrayDayMark(today.year, today.month, today.day);

  if (options_.Month) {
    AddDateGlyph(glyphs, today.month, true, mark.colour, context);
    entries.push_back({kMonthIcon, "今月"});
  }

  AddDateGlyph(glyphs, today.day, true, mark.colour, context);
  const int week = WeekNumber(now.date, WeekSchemeFromMethod(state_.WeekNumberMethod));
  state_.DateTip = BuildDateTip(
      today, mark.name, week, options_.Etc ? AlmanacText(today.year, today.month, today.day) : "");
  entries.push_back({kDayIcon, state_.DateTip});

  if (options_.Week) {
    AddDateGlyph(glyphs, today.weekday, true, mark.colour, context);
    entries.push_back({kWeekdayIcon, "曜日"});
  }

  shownHour_.clear();
  shownMinute_.clear();
  if (options_.Time) {
    shownHour_ = HourText(now.hour, options_.TwelveHour);
    shownMinute_ = MinuteText(now.minute);
    AddTextGlyph(glyphs, shownHour_, true, glyph_colour::kClock, context);
    entries.push_back({kHourIcon, "時"});
    AddTextGlyph(glyphs, shownMinute_, true, glyph_colour::kClock, context);
    entries.push_back({kMinuteIcon, "分"});
  }

  if (options_.Number) {
    AddTextGlyph(glyphs, std::to_string(week), true, glyph_colour::kWeekNumber, context);
    entries.push_back({kWeekNumberIcon, "第" + std::to_string(week) + "週"});
  }

  if (desktop_.sync != nullptr && state_.SyncIconShown == 0) {
    const SyncSettings sync{options_.ntpSetup, options_.httpSetup, options_.ntpServer,
                            options_.httpServer, options_.proxyServer};
    if (auto tooltip = RunClockSync(sync, desktop_.sync->services, glyphs, context)) {
      entries.push_back({kSyncIcon, std::move(*tooltip)});
      state_.SyncIconShown = 1;
      desktop_.sync->ntpTimer.SetEnabled(true);  // a running timer keeps its period
    }
  }

  state_.ShownDay = today.day;

  if (ReverseIconOrder(desktop_.tray)) {
    std::reverse(glyphs.begin(), glyphs.end());
    std::reverse(entries.begin(), entries.end());
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    AddTrayIcon(desktop_.tray, entries[i].id, entries[i].tooltip, glyphs[i]);
  }
}

void TForm1::TimesTimer() {
  Timer& times = desktop_.times;
  if (state_.RefreshPending == 1) {
    state_.RefreshPending = 0;
    RefreshTrayIcons();
  } else if (state_.AutoUpdatePending != 0 && options_.Auto) {
    times.SetEnabled(false);
    state_.AutoUpdatePending = 0;
    RefreshTrayIcons();
    times.SetInterval(options_.Time ? kSecondTick : kMinuteTick);
    times.SetEnabled(true);
  } else if (state_.ShownDay !=
             std::to_string(static_cast<unsigned>(desktop_.clock.Now().date.day()))) {
    RefreshTrayIcons();
  } else if (options_.Time) {
    UpdateClockIcons();
  }
  FindTaskbarProcess();
}

void TForm1::UpdateClockIcons() {
  const LocalDateTime now = desktop_.clock.Now();
  const std::string hour = HourText(now.hour, options_.TwelveHour);
  const std::string minute = MinuteText(now.minute);
  const GlyphContext context{desktop_.painter, desktop_.window.DisplayDpi()};
  // The panel is sent a picture only when its text changed: the same picture again would
  // only make it redraw, every second.
  if (hour != shownHour_) {
    GlyphList glyphs;
    AddTextGlyph(glyphs, hour, true, glyph_colour::kClock, context);
    ModifyTrayIcon(desktop_.tray, kHourIcon, glyphs[0]);
    shownHour_ = hour;
  }
  if (minute != shownMinute_) {
    GlyphList glyphs;
    AddTextGlyph(glyphs, minute, true, glyph_colour::kClock, context);
    ModifyTrayIcon(desktop_.tray, kMinuteIcon, glyphs[0]);
    shownMinute_ = minute;
  }
}

void TForm1::ntpTimerTimer() {
  if (state_.SyncIconShown == 1) {
    DeleteTrayIcon(desktop_.tray, kSyncIcon);
    state_.SyncIconShown = 0;
  }
  if (desktop_.sync != nullptr) desktop_.sync->ntpTimer.SetEnabled(false);
}

void TForm1::TrayNotify(TrayEvent event) {
  switch (event) {
    case TrayEvent::kLeftButtonDown:
      if (!window_.visible) {
        MCalClick();
      } else if (!window_.caption.starts_with("設")) {
        HideWindow();  // the options panel is never closed by a click on an icon
      }
      return;
    case TrayEvent::kRightButtonDown:
      HideWindow();
      desktop_.tray.OpenMenu();
      return;
    case TrayEvent::kOther:
      return;
  }
}

void TForm1::ResumeFromStandby() {
  MRefreshClick();
}

void TForm1::MCalClick() {
  ShowView(View::kCalendar, state_.DateTip);
}

void TForm1::MRefreshClick() {
  RefreshTrayIcons();
}

void TForm1::MSetupClick() {
  ShowView(View::kOptions, std::string(kOptionsCaption));
}

void TForm1::MInfoClick() {
  ShowView(View::kAbout, std::string(kAboutCaption));
}

void TForm1::MExitClick() {
  if (FormCloseQuery()) desktop_.window.Close();
}

void TForm1::cmdCLOSEClick() {
  HideWindow();
}

void TForm1::ShowView(View view, std::string caption) {
  window_ = MainWindowModel{true, std::move(caption), view};
  desktop_.window.Render(window_);
}

void TForm1::HideWindow() {
  if (!window_.visible) return;
  window_.visible = false;
  desktop_.window.Render(window_);
}

}  // namespace tsukio
