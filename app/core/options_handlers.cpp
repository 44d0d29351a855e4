// TrayCalendar's settings: loading and saving the file, and the options panel's rules.
#include <algorithm>

#include "app/core/tray_calendar.h"
#include "settings/ini_profile.h"
#include "tray/tray_icons.h"

namespace tsukio {

namespace {

constexpr std::string_view kSection = "Pageleaf";
constexpr int kDefaultAutoSeconds = 30;

bool StartsWithScheme(std::string_view text) {
  const auto lower = [](std::string_view t, std::size_t n) {
    std::string s(t.substr(0, n));
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
  };
  return lower(text, 7) == "http://" || lower(text, 8) == "https://";
}

// What the HTTP client is given: the stored text, with "http://" unless it names a scheme.
std::string WithScheme(const std::string& text) {
  return text.empty() || StartsWithScheme(text) ? text : "http://" + text;
}

}  // namespace

CheckBox& TrayCalendar::Box(OptionBox box) {
  OptionsPanel& p = window_.options;
  switch (box) {
    case OptionBox::kMonth:
      return p.showMonth;
    case OptionBox::kWeekday:
      return p.showWeekday;
    case OptionBox::kClock:
      return p.showClock;
    case OptionBox::kWeekNumber:
      return p.showWeekNumber;
    case OptionBox::kTwelveHour:
      return p.twelveHour;
    case OptionBox::kAlmanac:
      return p.showAlmanac;
    case OptionBox::kMoon:
      return p.showMoon;
    case OptionBox::kAutoUpdate:
      return p.autoUpdate;
    case OptionBox::kSetClock:
      return p.setClock;
    case OptionBox::kStartAtLogin:
      return p.startAtLogin;
  }
  return p.showMonth;
}

bool TrayCalendar::Shows(OptionBox box) const {
  return const_cast<TrayCalendar*>(this)->Box(box).checked;
}

void TrayCalendar::SetOptionBox(OptionBox box, bool checked) {
  CheckBox& control = Box(box);
  if (control.checked == checked) return;
  control.checked = checked;
  RunBoxRule(box);
  Render();
}

// A box loaded from the file. Three boxes with dependent controls run their rule for the
// cleared state at start-up even when they stay cleared, so those controls begin disabled.
void TrayCalendar::LoadBox(OptionBox box, bool checked, bool ruleWhenClearedAtStartUp) {
  if (Box(box).checked != checked) {
    SetOptionBox(box, checked);
  } else if (!checked && ruleWhenClearedAtStartUp && state_.startup != StartupPhase::kRunning) {
    RunBoxRule(box);
  }
}

void TrayCalendar::RunBoxRule(OptionBox box) {
  OptionsPanel& p = window_.options;
  TrayHost& tray = desktop_.tray;
  const bool on = Box(box).checked;
  EnableDependentControls(p);
  switch (box) {
    case OptionBox::kMonth:
      on ? RefreshTrayIcons() : DeleteTrayIcon(tray, kMonthIcon);
      return;
    case OptionBox::kWeekday:
      on ? RefreshTrayIcons() : DeleteTrayIcon(tray, kWeekdayIcon);
      return;
    case OptionBox::kClock:
      if (on) {
        RefreshTrayIcons();
      } else {
        DeleteTrayIcon(tray, kHourIcon);
        DeleteTrayIcon(tray, kMinuteIcon);
      }
      // A timer aimed at midnight must now turn with the minute; start-up aims it itself.
      if (state_.startup == StartupPhase::kRunning) AimMinuteTimer();
      return;
    case OptionBox::kWeekNumber:
      if (on) {
        state_.weekRule = p.weekRuleIndex;
        RefreshTrayIcons();
      } else {
        DeleteTrayIcon(tray, kWeekNumberIcon);
      }
      return;
    case OptionBox::kMoon:
      on ? RefreshTrayIcons() : DeleteTrayIcon(tray, kMoonIcon);
      return;
    case OptionBox::kTwelveHour:
    case OptionBox::kAlmanac:
      RefreshTrayIcons();
      return;
    case OptionBox::kAutoUpdate:
      if (state_.startup == StartupPhase::kRunning) AimMinuteTimer();  // a late update is due
      return;
    case OptionBox::kSetClock:
    case OptionBox::kStartAtLogin:  // the login entry follows at 決定
      return;
  }
}

void TrayCalendar::SelectWeekRule(int index) {
  OptionsPanel& p = window_.options;
  if (index != 0 && index != 1) return;
  if (p.weekRuleIndex == index) return;
  p.weekRuleIndex = index;
  state_.weekRule = index;  // the icon follows at the next refresh
  Render();
}

void TrayCalendar::SelectTimeMethod(bool http) {
  OptionsPanel& p = window_.options;
  if (p.httpSelected == http) return;
  p.httpSelected = http;
  EnableDependentControls(p);
  Render();
}

void TrayCalendar::EditServer(ServerField field, std::string text) {
  OptionsPanel& p = window_.options;
  TextField& target = field == ServerField::kNtp    ? p.ntpServerField
                      : field == ServerField::kHttp ? p.httpServerField
                                                    : p.proxyServerField;
  if (target.text == text) return;
  target.text = std::move(text);
  Render();
}

// The arrows move by one within 10 to 300 and never wrap; a stored delay below 10 seconds
// is shown as it is and comes into the range at the first step up.
void TrayCalendar::StepAutoUpdateDelay(bool up) {
  int& seconds = window_.options.autoSeconds;
  const int before = seconds;
  if (up) {
    seconds = std::clamp(seconds + 1, kAutoMin, kAutoMax);
  } else if (seconds > kAutoMin) {
    seconds = std::min(seconds - 1, kAutoMax);
  }
  if (seconds != before) Render();
}

void TrayCalendar::ShowTab(OptionsTab tab) {
  if (window_.options.tab == tab) return;
  window_.options.tab = tab;
  Render();
}

void TrayCalendar::AcceptOptions() {
  if (!SaveSettings()) return;  // the panel stays open with the user's edits
  window_.options.shown = false;
  HideWindow();
  Render();
}

void TrayCalendar::CancelOptions() {
  LoadSettings();
  RefreshTrayIcons();
  window_.options.shown = false;
  HideWindow();
  Render();
}

void TrayCalendar::LoadSettings() {
  SettingsStorage& storage = desktop_.settings;
  storage.MakeFolders();
  const StoredSettings found = storage.Read();
  // A file we cannot read loads as the defaults; SaveSettings then refuses to replace it.
  unreadableSettings_ = found.status == StoredSettings::Status::kUnreadable
                            ? std::optional<std::string>(found.reason)
                            : std::nullopt;
  const IniProfile file(found.text);
  const auto integer = [&](std::string_view key, int fallback) {
    return file.ReadInteger(kSection, key, fallback);
  };
  const auto text = [&](std::string_view key) {
    return file.ReadString(kSection, key).value_or(std::string());
  };
  OptionsPanel& p = window_.options;

  LoadBox(OptionBox::kMonth, integer("Month", 0) == 1, false);
  LoadBox(OptionBox::kWeekday, integer("Week", 0) == 1, false);
  LoadBox(OptionBox::kClock, integer("Time", 0) == 1, false);

  const int number = integer("Number", 0);
  LoadBox(OptionBox::kWeekNumber, number == 1 || number == 2, true);
  if (number == 1 || number == 2) SelectWeekRule(number - 1);

  LoadBox(OptionBox::kTwelveHour, integer("12h", 0) == 1, false);
  LoadBox(OptionBox::kAlmanac, integer("Etc", 0) == 1, false);
  LoadBox(OptionBox::kMoon, integer("Moon", 0) == 1, false);
  LoadBox(OptionBox::kAutoUpdate, integer("Auto", 0) == 1, true);
  LoadBox(OptionBox::kStartAtLogin, desktop_.autostart.Exists(), false);

  const int stored = integer("AutoTime", -1);
  const int seconds = stored >= 1 && stored <= 300 ? stored : kDefaultAutoSeconds;
  p.autoSeconds = seconds;
  // Every load starts the one-time update's delay afresh; the clock icons keep their own pace.
  desktop_.autoUpdateTimer.Start(seconds * 1000);
  state_.autoUpdateDelayMs = seconds * 1000;

  options_.ntpSetup = integer("ntpSetup", 0);
  options_.httpSetup = integer("httpSetup", 0);
  LoadBox(OptionBox::kSetClock, options_.ntpSetup == 1 || options_.httpSetup > 0, true);

  options_.ntpServer = text("ntpServer");
  if (!options_.ntpServer.empty()) EditServer(ServerField::kNtp, options_.ntpServer);
  if (!options_.ntpServer.empty() && options_.ntpSetup == 1) {
    SelectTimeMethod(false);
  } else {
    options_.ntpSetup = 0;
    options_.ntpServer.clear();
  }

  options_.httpServer = text("httpServer");
  options_.proxyServer = text("proxyServer");
  if (!options_.httpServer.empty()) EditServer(ServerField::kHttp, options_.httpServer);
  if (!options_.proxyServer.empty()) EditServer(ServerField::kProxy, options_.proxyServer);

  // An HTTP mode needs a server to ask: without one, HTTP is off.
  if (!options_.httpServer.empty() && options_.httpSetup >= 2) {
    SelectTimeMethod(true);
    options_.httpServer = WithScheme(options_.httpServer);
    options_.proxyServer = WithScheme(options_.proxyServer);
  } else if (!options_.httpServer.empty() && options_.httpSetup == 1) {
    SelectTimeMethod(true);
    options_.httpServer = WithScheme(options_.httpServer);
  } else {
    options_.httpSetup = 0;
    options_.httpServer.clear();
    options_.proxyServer.clear();
  }

  LoadBox(OptionBox::kSetClock, options_.ntpSetup == 1 || options_.httpSetup > 0, true);
  Render();
}

bool TrayCalendar::SaveSettings() {
  SettingsStorage& storage = desktop_.settings;
  const OptionsPanel& p = window_.options;
  // Only what was read whole may be written back: a save over a file we could not read
  // would replace the user's other keys, sections and notes with our own lines.
  const StoredSettings found = storage.Read();
  if (found.status == StoredSettings::Status::kUnreadable) {
    desktop_.window.ShowError(storage.Path() + " を読み込めないため、設定を保存しません（" +
                              found.reason + "）。このファイルは書き換えません。");
    return false;
  }
  IniProfile file(found.text);
  const auto flag = [&](std::string_view key, const CheckBox& box) {
    file.Write(kSection, key, box.checked ? "1" : "0");
  };
  flag("Month", p.showMonth);
  flag("Week", p.showWeekday);
  flag("Time", p.showClock);
  file.Write(kSection, "Number",
             !p.showWeekNumber.checked ? "0"
             : p.weekRuleIndex == 1    ? "2"
                                       : "1");
  flag("12h", p.twelveHour);
  flag("Etc", p.showAlmanac);
  flag("Moon", p.showMoon);
  file.Write(kSection, "AutoTime", std::to_string(p.autoSeconds));
  flag("Auto", p.autoUpdate);
  file.Write(kSection, "ntpServer", p.ntpServerField.text);
  file.Write(kSection, "httpServer", p.httpServerField.text);
  file.Write(kSection, "proxyServer", p.proxyServerField.text);
  const bool on = p.setClock.checked;
  file.Write(kSection, "ntpSetup", on && !p.httpSelected ? "1" : "0");
  file.Write(kSection, "httpSetup",
             !on || !p.httpSelected            ? "0"
             : p.proxyServerField.text.empty() ? "1"
                                               : "2");

  const StorageWrite written = storage.Write(file.Text());
  if (!written.ok) {
    desktop_.window.ShowError(storage.Path() + " に書き込めません（" + written.reason + "）");
    return false;
  }
  return SaveAutostart();
}

// The login entry is the desktop's own, so it is changed only when the box no longer says
// what the desktop has: 決定 alone never rewrites an entry the user may have edited. It comes
// after the file, so a refused file leaves both as they were.
bool TrayCalendar::SaveAutostart() {
  Autostart& autostart = desktop_.autostart;
  const bool wanted = window_.options.startAtLogin.checked;
  if (wanted == autostart.Exists()) return true;
  if (wanted ? autostart.Enable() : autostart.Disable()) return true;
  desktop_.window.ShowError(autostart.Path() + " に書き込めません");
  return false;
}

}  // namespace tsukio
