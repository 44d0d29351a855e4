#include "app/core/main_form.h"

#include <algorithm>
#include <exception>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "calwindow/month_grid.h"
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
  if (Shows(OptionBox::kTime)) state_.RefreshPending = 1;
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
  if (Shows(OptionBox::kMonth)) DeleteTrayIcon(tray, kMonthIcon);
  DeleteTrayIcon(tray, kDayIcon);
  if (Shows(OptionBox::kWeek)) DeleteTrayIcon(tray, kWeekdayIcon);
  if (Shows(OptionBox::kTime)) {
    DeleteTrayIcon(tray, kHourIcon);
    DeleteTrayIcon(tray, kMinuteIcon);
  }
  if (Shows(OptionBox::kNumber)) DeleteTrayIcon(tray, kWeekNumberIcon);
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

  if (Shows(OptionBox::kMonth)) {
    AddDateGlyph(glyphs, today.month, true, mark.colour, context);
    entries.push_back({kMonthIcon, "今月"});
  }

  AddDateGlyph(glyphs, today.day, true, mark.colour, context);
  const int week = WeekNumber(now.date, WeekSchemeFromMethod(state_.WeekNumberMethod));
  state_.DateTip =
      BuildDateTip(today, mark.name, week,
                   Shows(OptionBox::kEtc) ? AlmanacText(today.year, today.month, today.day) : "");
  entries.push_back({kDayIcon, state_.DateTip});

  if (Shows(OptionBox::kWeek)) {
    AddDateGlyph(glyphs, today.weekday, true, mark.colour, context);
    entries.push_back({kWeekdayIcon, "曜日"});
  }

  shownHour_.clear();
  shownMinute_.clear();
  if (Shows(OptionBox::kTime)) {
    shownHour_ = HourText(now.hour, Shows(OptionBox::k12h));
    shownMinute_ = MinuteText(now.minute);
    AddTextGlyph(glyphs, shownHour_, true, glyph_colour::kClock, context);
    entries.push_back({kHourIcon, "時"});
    AddTextGlyph(glyphs, shownMinute_, true, glyph_colour::kClock, context);
    entries.push_back({kMinuteIcon, "分"});
  }

  if (Shows(OptionBox::kNumber)) {
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
  } else if (state_.AutoUpdatePending != 0 && Shows(OptionBox::kAuto)) {
    times.SetEnabled(false);
    state_.AutoUpdatePending = 0;
    RefreshTrayIcons();
    times.SetInterval(Shows(OptionBox::kTime) ? kSecondTick : kMinuteTick);
    times.SetEnabled(true);
  } else if (state_.ShownDay !=
             std::to_string(static_cast<unsigned>(desktop_.clock.Now().date.day()))) {
    RefreshTrayIcons();
  } else if (Shows(OptionBox::kTime)) {
    UpdateClockIcons();
  }
  FindTaskbarProcess();
}

void TForm1::UpdateClockIcons() {
  const LocalDateTime now = desktop_.clock.Now();
  const std::string hour = HourText(now.hour, Shows(OptionBox::k12h));
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
  window_.options.shown = false;
  const std::chrono::year_month_day today = desktop_.clock.Now().date;
  BuildCalendar(today.year() / today.month());
  ShowView(View::kCalendar, state_.DateTip);
}

void TForm1::MRefreshClick() {
  RefreshTrayIcons();
}

void TForm1::MSetupClick() {
  LoadSettings();
  window_.options.shown = true;
  ShowView(View::kOptions, std::string(kOptionsCaption));
}

// The options group goes too: the about panel must not open under a forgotten options panel.
void TForm1::MInfoClick() {
  window_.options.shown = false;
  ShowView(View::kAbout, std::string(kAboutCaption));
}

void TForm1::MExitClick() {
  if (FormCloseQuery()) desktop_.window.Close();
}

void TForm1::cmdCLOSEClick() {
  HideWindow();
}

void TForm1::pnlLINKClick() {
  desktop_.window.OpenUrl(kHomepage);
}

void TForm1::ShowView(View view, std::string caption) {
  window_.visible = true;
  window_.caption = std::move(caption);
  window_.view = view;
  Render();
}

void TForm1::HideWindow() {
  if (!window_.visible) return;
  window_.visible = false;
  Render();
}

void TForm1::Render() {
  desktop_.window.Render(window_);
}

// The grid is built only on opening and stepping, each time with that moment's date; the
// refresh cycle leaves it alone, so a grid left open over midnight keeps yesterday marked.
void TForm1::BuildCalendar(std::chrono::year_month shown) {
  window_.calendar = BuildMonthGrid(
      shown, desktop_.clock.Now().date, WeekSchemeFromMethod(state_.WeekNumberMethod),
      MonthGridOptions{Shows(OptionBox::kNumber), Shows(OptionBox::kEtc)});
}

void TForm1::BUyClick() {
  BuildCalendar(NextYear(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TForm1::BDyClick() {
  BuildCalendar(PreviousYear(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TForm1::BUmClick() {
  BuildCalendar(NextMonth(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TForm1::BDmClick() {
  BuildCalendar(PreviousMonth(window_.calendar.shown));
  desktop_.window.Render(window_);
}

}  // namespace tsukio
