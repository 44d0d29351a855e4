#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/main_window_view.h"
#include "platform/settings_storage.h"
#include "platform/text_painter.h"
#include "platform/timer.h"
#include "platform/tray_host.h"
#include "platform/worker.h"
#include "timesync/sync.h"
#include "timesync/sync_run.h"
#include "tray/glyphs.h"
#include "tray/tray_icons.h"

namespace tsukio {

// Where start-up stands. Loading the settings runs the boxes' rules, some of which act
// differently before the first refresh has put anything in the tray.
enum class StartupPhase { kLoading, kFirstRefresh, kRunning };

// Program-wide state, one instance, on the one thread.
struct AppState {
  StartupPhase startup = StartupPhase::kLoading;
  bool syncIconShown = false;
  bool syncRunning = false;     // a clock setting is under way on the worker
  bool refreshPending = false;  // the minute timer's next tick refreshes every icon
  int weekRule = 0;             // 0 ISO, 1 USA
  int autoUpdateDelayMs = 0;    // the one-time update's delay while it is due, 0 once it ran
  std::string dateTip;          // the day icon's tooltip as last built
  std::chrono::year_month_day shownDate;  // the date the icons show
};

// The clock-setting choices in force, as the last load of the settings left them. The
// display choices are the options panel's check boxes.
struct Options {
  int ntpSetup = 0;
  int httpSetup = 0;  // 0 none, 1 direct, 2 through proxyServer, 3 the system's proxy settings
  std::string ntpServer;
  std::string httpServer;   // with "http://" in front while an HTTP mode is on
  std::string proxyServer;  // with "http://" in front while httpSetup is 2 or more
};

// Setting the clock: what it needs of the outside world, the timer that takes its status
// icon away again, and the worker it runs on, so the tray never waits for a server.
struct ClockSync {
  SyncServices& services;
  Timer& syncStatusTimer;
  Worker& worker;
};

// Everything the program asks of the desktop.
struct Desktop {
  const Clock& clock;
  TrayHost& tray;
  Timer& minuteTimer;      // aimed just past the next turn of the minute that matters
  Timer& autoUpdateTimer;  // the one-time update's delay
  TextPainter& painter;
  MainWindowView& window;
  SettingsStorage& settings;
  Autostart& autostart;
  ClockSync* sync = nullptr;  // none: the clock is never set
};

class TrayCalendar;

// One item of the popup menu; a separator has no command.
struct MenuItem {
  std::string_view name;
  std::string_view caption;  // "&" marks the access key
  void (TrayCalendar::*command)();
};

// The program's one main object: its state and every handler. The desktop renders the state
// and forwards the user's input here; it keeps no behaviour of its own.
class TrayCalendar {
 public:
  explicit TrayCalendar(Desktop& desktop);

  void Start();
  bool PrepareToQuit();
  void RefreshTrayIcons();
  void OnMinuteTimer();
  void OnAutoUpdateTimer();
  // The wall clock was set (by us, by NTP, by hand) or jumped past a sleep.
  void OnWallClockChanged();
  void UpdateClockIcons();
  void OnSyncStatusTimer();

  void OnTrayEvent(TrayEvent event);
  void OnTrayHostChanged();
  void ResumeFromStandby();

  void ShowCalendar();
  void Refresh();
  void ShowOptions();
  void ShowAbout();
  void Exit();
  void CloseWindow();
  void OpenHomepage();

  // The options panel. Each change of a control's state, by the user or by the program,
  // runs that control's rule; setting the state it already has runs nothing.
  void SetOptionBox(OptionBox box, bool checked);
  void SelectWeekRule(int index);    // weekRule: 0 ISO, 1 USA
  void SelectTimeMethod(bool http);  // ntpChoice or httpChoice
  void EditServer(ServerField field, std::string text);
  void StepAutoUpdateDelay(bool up);
  void ShowTab(OptionsTab tab);
  void AcceptOptions();
  void CancelOptions();

  void LoadSettings();
  bool SaveSettings();

  // The calendar view's step buttons: ▲ and ▼ beside the year and the month.
  void ShowNextYear();
  void ShowPreviousYear();
  void ShowNextMonth();
  void ShowPreviousMonth();

  // Runs a handler; an error escaping it is shown in a message box and the program goes on.
  void Guarded(const std::function<void()>& handler);

  static const std::vector<MenuItem>& Menu();

  const AppState& State() const { return state_; }
  Options& Settings() { return options_; }
  const OptionsPanel& Panel() const { return window_.options; }
  const MainWindowModel& Window() const { return window_; }

  static constexpr std::string_view kHomepage = TSUKIO_HOMEPAGE;

 private:
  void FinishStartUp();
  RowChoices Choices() const;
  void DrawLargerPictures();
  void AimMinuteTimer();
  bool LateAutoUpdateDue() const;
  void StartClockSync();
  void ShowSyncOutcome(const SyncStatus& status);
  void DeleteShownIcons();
  void ShowView(View view, std::string caption);
  void HideWindow();
  void Render();

  CheckBox& Box(OptionBox box);
  void RunBoxRule(OptionBox box);
  void LoadBox(OptionBox box, bool checked, bool ruleWhenClearedAtStartUp);
  bool Shows(OptionBox box) const;
  bool SaveAutostart();
  void BuildCalendar(std::chrono::year_month shown);

  Desktop& desktop_;
  AppState state_;
  Options options_;
  MainWindowModel window_;  // the panel's controls live in window_.options
  // The clock texts the tray shows now, so an unchanged picture is not sent again.
  std::string shownHour_;
  std::string shownMinute_;
  bool quitting_ = false;
  bool largerPicturesDue_ = false;  // the first row went out at 16 pixels only
  // Why the settings file could not be read at the last load; nothing when it could.
  std::optional<std::string> unreadableSettings_;
};

}  // namespace tsukio
