#include "app/core/tray_calendar.h"

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

constexpr int kMinute = 60000;
// The minute timer is aimed this far past the turn of the minute: a tick that came a little
// early (timers and the wall clock drift apart while NTP slews it) would find the old minute
// and have to be aimed again.
constexpr int kPastTheMinute = 50;
constexpr int kSyncStatusShown = 5000;

}  // namespace

TrayCalendar::TrayCalendar(Desktop& desktop) : desktop_(desktop) {
  desktop_.minuteTimer.Stop();
  desktop_.minuteTimer.OnTick([this] { Guarded([this] { OnMinuteTimer(); }); });
  desktop_.autoUpdateTimer.Stop();
  desktop_.autoUpdateTimer.OnTick([this] { Guarded([this] { OnAutoUpdateTimer(); }); });
  desktop_.tray.OnHostChanged([this] { Guarded([this] { OnTrayHostChanged(); }); });
  if (desktop_.sync != nullptr) {
    Timer& syncStatusTimer = desktop_.sync->syncStatusTimer;
    syncStatusTimer.Stop();
    syncStatusTimer.OnTick([this] { Guarded([this] { OnSyncStatusTimer(); }); });
  }
}

const std::vector<MenuItem>& TrayCalendar::Menu() {
  static const std::vector<MenuItem> items = {
      {"calendar", "カレンダー(&C)", &TrayCalendar::ShowCalendar},
      {"separator", "-", nullptr},
      {"refresh", "更新(&R)", &TrayCalendar::Refresh},
      {"separator", "-", nullptr},
      {"options", "設定(&O)", &TrayCalendar::ShowOptions},
      {"about", "バージョン情報(&A)", &TrayCalendar::ShowAbout},
      {"separator", "-", nullptr},
      {"exit", "終了(&X)", &TrayCalendar::Exit},
  };
  return items;
}

void TrayCalendar::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    desktop_.window.ShowError(e.what());
  } catch (...) {
    desktop_.window.ShowError("予期しないエラーが発生しました");
  }
}

void TrayCalendar::Start() {
  LoadSettings();
  FinishStartUp();
  // Once, at start: the later loads (opening or cancelling the options) say nothing, and the
  // refusal at 決定 says it again where it matters.
  if (unreadableSettings_) {
    desktop_.window.ShowError(desktop_.settings.Path() + " を読み込めません（" +
                              *unreadableSettings_ +
                              "）。既定の設定で動きます。読み込めるようになるまで、"
                              "このファイルには保存しません。");
  }
}

// A new notification area holds none of our icons; it gets the whole row at once rather
// than at the next tick, which may be a minute away.
void TrayCalendar::OnTrayHostChanged() {
  if (state_.startup != StartupPhase::kRunning) return;  // start-up adds them anyway
  RefreshTrayIcons();
}

void TrayCalendar::FinishStartUp() {
  state_.startup = StartupPhase::kFirstRefresh;
  RefreshTrayIcons();
  state_.startup = StartupPhase::kRunning;
  if (Shows(OptionBox::kClock)) state_.refreshPending = true;
  AimMinuteTimer();
}

// Aimed just past the next turn of the minute by the wall clock, whatever the one-time
// update's delay says, so the clock icons change with the minute. With nothing that can
// change before then, just past the next midnight instead: a row of dates sleeps all day.
// Showing the clock or checking 自動更新 aims it anew, and so do a resume and a wall clock
// that was set, which elapsed time does not see. A daylight-saving change before midnight
// moves the tick by its hour: an early tick aims again, a late one comes that hour late.
void TrayCalendar::AimMinuteTimer() {
  if (largerPicturesDue_) {
    desktop_.minuteTimer.Start(0);
    return;
  }
  const LocalDateTime now = desktop_.clock.Now();
  const int intoMinute = std::clamp(now.second, 0, 59) * 1000 + std::clamp(now.millisecond, 0, 999);
  int minutesLeft = 1;
  if (!Shows(OptionBox::kClock) && !state_.refreshPending && !LateAutoUpdateDue()) {
    minutesLeft = (23 - std::clamp(now.hour, 0, 23)) * 60 + 60 - std::clamp(now.minute, 0, 59);
  }
  desktop_.minuteTimer.Start(minutesLeft * kMinute - intoMinute + kPastTheMinute);
}

bool TrayCalendar::LateAutoUpdateDue() const {
  return state_.autoUpdateDelayMs != 0 && Shows(OptionBox::kAutoUpdate) &&
         !desktop_.autoUpdateTimer.Pending();
}

bool TrayCalendar::PrepareToQuit() {
  quitting_ = true;
  DeleteShownIcons();
  desktop_.minuteTimer.Stop();
  desktop_.autoUpdateTimer.Stop();
  if (desktop_.sync != nullptr) desktop_.sync->syncStatusTimer.Stop();
  HideWindow();
  return true;
}

void TrayCalendar::DeleteShownIcons() {
  TrayHost& tray = desktop_.tray;
  if (Shows(OptionBox::kMonth)) DeleteTrayIcon(tray, kMonthIcon);
  DeleteTrayIcon(tray, kDayIcon);
  if (Shows(OptionBox::kWeekday)) DeleteTrayIcon(tray, kWeekdayIcon);
  if (Shows(OptionBox::kMoon)) DeleteTrayIcon(tray, kMoonIcon);
  if (Shows(OptionBox::kClock)) {
    DeleteTrayIcon(tray, kHourIcon);
    DeleteTrayIcon(tray, kMinuteIcon);
  }
  if (Shows(OptionBox::kWeekNumber)) DeleteTrayIcon(tray, kWeekNumberIcon);
  if (state_.syncIconShown) {
    DeleteTrayIcon(tray, kSyncIcon);
    state_.syncIconShown = false;
  }
}

RowChoices TrayCalendar::Choices() const {
  return RowChoices{Shows(OptionBox::kMonth),
                    Shows(OptionBox::kWeekday),
                    Shows(OptionBox::kClock),
                    Shows(OptionBox::kTwelveHour),
                    Shows(OptionBox::kWeekNumber),
                    Shows(OptionBox::kAlmanac),
                    WeekSchemeFromMethod(state_.weekRule),
                    Shows(OptionBox::kMoon)};
}

void TrayCalendar::RefreshTrayIcons() {
  // Loading the settings turns boxes on one by one; the row is drawn once, when all are.
  if (state_.startup == StartupPhase::kLoading) return;
  // The first icons are wanted at once: the larger pictures follow when the loop turns next.
  std::vector<int> sizes = desktop_.tray.LargerPictureSizes();
  if (state_.startup == StartupPhase::kFirstRefresh && !sizes.empty()) {
    sizes.clear();
    largerPicturesDue_ = true;
  }
  const GlyphContext context{desktop_.painter, desktop_.window.DisplayDpi(), sizes};
  const LocalDateTime now = desktop_.clock.Now();

  DeleteShownIcons();

  const RowChoices choices = Choices();
  const std::vector<TrayIcon> row = BuildTrayRow(now, choices, context);
  for (const TrayIcon& icon : row) {
    if (icon.id == kDayIcon) {
      state_.dateTip = icon.tooltip;
      // Where the host shows no tooltip, the day's details head the menu instead.
      desktop_.tray.SetMenuHeading(desktop_.tray.ShowsToolTips() ? std::string() : state_.dateTip);
    }
    AddTrayIcon(desktop_.tray, icon);
  }
  shownHour_ = choices.clock ? HourText(now.hour, choices.twelveHour) : "";
  shownMinute_ = choices.clock ? MinuteText(now.minute) : "";
  state_.shownDate = now.date;

  // The row is in the tray before the clock is set: the status icon follows with the outcome.
  StartClockSync();
}

void TrayCalendar::StartClockSync() {
  if (desktop_.sync == nullptr || state_.syncIconShown || state_.syncRunning) return;
  const SyncSettings settings{options_.ntpSetup, options_.httpSetup, options_.ntpServer,
                              options_.httpServer, options_.proxyServer};
  if (!SyncConfigured(settings)) return;
  state_.syncRunning = true;
  SyncServices& services = desktop_.sync->services;
  desktop_.sync->worker.Run([this, settings, &services]() -> Worker::Continuation {
    const SyncStatus status = StatusOf(SynchronizeClock(settings, services).result, settings);
    return [this, status] { Guarded([this, &status] { ShowSyncOutcome(status); }); };
  });
}

// The status icon comes last, at the right end of the row; where a host puts a newcomer
// is the tray layer's concern, which keeps the row in the order it was added.
void TrayCalendar::ShowSyncOutcome(const SyncStatus& status) {
  state_.syncRunning = false;
  if (quitting_) return;
  if (state_.syncIconShown) DeleteTrayIcon(desktop_.tray, kSyncIcon);
  const std::vector<int> sizes = desktop_.tray.LargerPictureSizes();
  AddTrayIcon(
      desktop_.tray,
      SyncStatusIcon(status, GlyphContext{desktop_.painter, desktop_.window.DisplayDpi(), sizes}));
  state_.syncIconShown = true;
  Timer& shown = desktop_.sync->syncStatusTimer;
  if (!shown.Pending()) shown.Start(kSyncStatusShown);  // a later outcome keeps the first's end
}

// The one-time update, once its delay has passed, is taken here only when 自動更新 was
// switched on after the delay ran out.
void TrayCalendar::OnMinuteTimer() {
  if (largerPicturesDue_) {
    largerPicturesDue_ = false;
    DrawLargerPictures();
    AimMinuteTimer();
    return;
  }
  if (state_.refreshPending) {
    state_.refreshPending = false;
    RefreshTrayIcons();
  } else if (LateAutoUpdateDue()) {
    state_.autoUpdateDelayMs = 0;
    RefreshTrayIcons();
  } else if (state_.shownDate != desktop_.clock.Now().date) {
    RefreshTrayIcons();
  } else if (Shows(OptionBox::kClock)) {
    UpdateClockIcons();
  }
  AimMinuteTimer();
}

// The row as the first refresh showed it, drawn again at every size the host may show.
void TrayCalendar::DrawLargerPictures() {
  const LocalDateTime now = desktop_.clock.Now();
  if (now.date != state_.shownDate) {
    RefreshTrayIcons();
    return;
  }
  const std::vector<int> sizes = desktop_.tray.LargerPictureSizes();
  const GlyphContext context{desktop_.painter, desktop_.window.DisplayDpi(), sizes};
  const RowChoices choices = Choices();
  for (const TrayIcon& icon : BuildTrayRow(now, choices, context)) {
    ModifyTrayIcon(desktop_.tray, icon.id, icon.picture);
  }
  if (choices.clock) {
    shownHour_ = HourText(now.hour, choices.twelveHour);
    shownMinute_ = MinuteText(now.minute);
  }
}

void TrayCalendar::OnAutoUpdateTimer() {
  if (state_.autoUpdateDelayMs == 0 || !Shows(OptionBox::kAutoUpdate)) return;
  state_.autoUpdateDelayMs = 0;
  state_.refreshPending = false;  // this refresh is the one that was pending
  RefreshTrayIcons();
}

// The timers count elapsed time, so after the wall clock moves they would be aimed at the
// wrong moment: the icons catch up now and the minute timer is aimed again.
void TrayCalendar::OnWallClockChanged() {
  if (state_.startup != StartupPhase::kRunning || quitting_) return;
  if (state_.shownDate != desktop_.clock.Now().date) {
    RefreshTrayIcons();
  } else if (Shows(OptionBox::kClock)) {
    UpdateClockIcons();
  }
  AimMinuteTimer();
}

void TrayCalendar::UpdateClockIcons() {
  const LocalDateTime now = desktop_.clock.Now();
  const std::string hour = HourText(now.hour, Shows(OptionBox::kTwelveHour));
  const std::string minute = MinuteText(now.minute);
  const std::vector<int> sizes = desktop_.tray.LargerPictureSizes();
  const GlyphContext context{desktop_.painter, desktop_.window.DisplayDpi(), sizes};
  // The panel is sent a picture only when its text changed: the same picture again would
  // only make it redraw, every second.
  if (hour != shownHour_) {
    ModifyTrayIcon(desktop_.tray, kHourIcon, ClockGlyph(hour, context));
    shownHour_ = hour;
  }
  if (minute != shownMinute_) {
    ModifyTrayIcon(desktop_.tray, kMinuteIcon, ClockGlyph(minute, context));
    shownMinute_ = minute;
  }
}

void TrayCalendar::OnSyncStatusTimer() {
  if (state_.syncIconShown) {
    DeleteTrayIcon(desktop_.tray, kSyncIcon);
    state_.syncIconShown = false;
  }
  if (desktop_.sync != nullptr) desktop_.sync->syncStatusTimer.Stop();
}

void TrayCalendar::OnTrayEvent(TrayEvent event) {
  switch (event) {
    case TrayEvent::kLeftButtonDown:
      if (!window_.visible) {
        ShowCalendar();
      } else if (window_.view != View::kOptions) {
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

// The timers did not count the sleep: the minute timer is aimed again by the wall clock.
void TrayCalendar::ResumeFromStandby() {
  Refresh();
  if (state_.startup == StartupPhase::kRunning && !quitting_) AimMinuteTimer();
}

void TrayCalendar::ShowCalendar() {
  window_.options.shown = false;
  const std::chrono::year_month_day today = desktop_.clock.Now().date;
  BuildCalendar(today.year() / today.month());
  ShowView(View::kCalendar, state_.dateTip);
}

void TrayCalendar::Refresh() {
  RefreshTrayIcons();
}

void TrayCalendar::ShowOptions() {
  LoadSettings();
  window_.options.shown = true;
  ShowView(View::kOptions, std::string(kOptionsCaption));
}

// The options group goes too: the about panel must not open under a forgotten options panel.
void TrayCalendar::ShowAbout() {
  window_.options.shown = false;
  ShowView(View::kAbout, std::string(kAboutCaption));
}

void TrayCalendar::Exit() {
  if (PrepareToQuit()) desktop_.window.Close();
}

void TrayCalendar::CloseWindow() {
  HideWindow();
}

void TrayCalendar::OpenHomepage() {
  desktop_.window.OpenUrl(kHomepage);
}

void TrayCalendar::ShowView(View view, std::string caption) {
  window_.visible = true;
  window_.caption = std::move(caption);
  window_.view = view;
  Render();
}

void TrayCalendar::HideWindow() {
  if (!window_.visible) return;
  window_.visible = false;
  Render();
}

void TrayCalendar::Render() {
  desktop_.window.Render(window_);
}

// The grid is built only on opening and stepping, each time with that moment's date; the
// refresh cycle leaves it alone, so a grid left open over midnight keeps yesterday marked.
void TrayCalendar::BuildCalendar(std::chrono::year_month shown) {
  window_.calendar =
      BuildMonthGrid(shown, desktop_.clock.Now().date, WeekSchemeFromMethod(state_.weekRule),
                     MonthGridOptions{Shows(OptionBox::kWeekNumber), Shows(OptionBox::kAlmanac)});
}

void TrayCalendar::ShowNextYear() {
  BuildCalendar(NextYear(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TrayCalendar::ShowPreviousYear() {
  BuildCalendar(PreviousYear(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TrayCalendar::ShowNextMonth() {
  BuildCalendar(NextMonth(window_.calendar.shown));
  desktop_.window.Render(window_);
}

void TrayCalendar::ShowPreviousMonth() {
  BuildCalendar(PreviousMonth(window_.calendar.shown));
  desktop_.window.Render(window_);
}

}  // namespace tsukio
