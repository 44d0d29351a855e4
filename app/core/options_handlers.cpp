// TForm1's settings: loading and saving the file, and the options panel's rules.
#include <algorithm>

#include "app/core/main_form.h"
#include "settings/ini_profile.h"
#include "tray/tray_icons.h"

namespace tsukio {

namespace {

constexpr std::string_view kSection = "Pageleaf";
constexpr int kMinuteTick = 60000;
constexpr int kSecondTick = 1000;
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

CheckBox& TForm1::Box(OptionBox box) {
  OptionsPanel& p = window_.options;
  switch (box) {
    case OptionBox::kMonth:
      return p.chkMonth;
    case OptionBox::kWeek:
      return p.chkWeek;
    case OptionBox::kTime:
      return p.chkTime;
    case OptionBox::kNumber:
      return p.chkNumber;
    case OptionBox::k12h:
      return p.chk12h;
    case OptionBox::kEtc:
      return p.chkEtc;
    case OptionBox::kAuto:
      return p.chkAuto;
    case OptionBox::kTimeServer:
      return p.chkTimeServer;
    case OptionBox::kStartup:
      return p.chkStartup;
  }
  return p.chkMonth;
}

bool TForm1::Shows(OptionBox box) const {
  return const_cast<TForm1*>(this)->Box(box).checked;
}

void TForm1::SetOptionBox(OptionBox box, bool checked) {
  CheckBox& control = Box(box);
  if (control.checked == checked) return;
  control.checked = checked;
  RunBoxRule(box);
  Render();
}

// A box loaded from the file. Three boxes with dependent controls run their rule for the
// cleared state at start-up even when they stay cleared, so those controls begin disabled.
void TForm1::LoadBox(OptionBox box, bool checked, bool ruleWhenClearedAtStartUp) {
  if (Box(box).checked != checked) {
    SetOptionBox(box, checked);
  } else if (!checked && ruleWhenClearedAtStartUp && state_.StartupPhase < 3) {
    RunBoxRule(box);
  }
}

void TForm1::RunBoxRule(OptionBox box) {
  OptionsPanel& p = window_.options;
  TrayHost& tray = desktop_.tray;
  const bool on = Box(box).checked;
  switch (box) {
    case OptionBox::kMonth:
      on ? RefreshTrayIcons() : DeleteTrayIcon(tray, kMonthIcon);
      return;
    case OptionBox::kWeek:
      on ? RefreshTrayIcons() : DeleteTrayIcon(tray, kWeekdayIcon);
      return;
    case OptionBox::kTime:
      if (on) {
        RefreshTrayIcons();
        desktop_.times.SetInterval(kSecondTick);
      } else {
        desktop_.times.SetInterval(kMinuteTick);
        DeleteTrayIcon(tray, kHourIcon);
        DeleteTrayIcon(tray, kMinuteIcon);
      }
      return;
    case OptionBox::kNumber:
      if (on) {
        p.rdoNumber.enabled = true;
        state_.WeekNumberMethod = p.rdoNumberIndex;
        RefreshTrayIcons();
      } else {
        DeleteTrayIcon(tray, kWeekNumberIcon);
        p.rdoNumber.enabled = false;
      }
      return;
    case OptionBox::k12h:
    case OptionBox::kEtc:
      RefreshTrayIcons();
      return;
    case OptionBox::kAuto:
      p.lblAuto.enabled = p.txtAuto.enabled = p.cmdAuto.enabled = on;
      return;
    case OptionBox::kTimeServer:
      p.lblTimeServer.enabled = p.rdoNtp.enabled = p.rdoHttp.enabled = on;
      if (on) {
        RunTimeMethodRule();  // the selected button's rule, as if it were chosen again
      } else {
        p.lblNtp.enabled = p.lblHttp.enabled = p.lblProxy.enabled = false;
        p.txtNtpServer.enabled = p.txtHttpServer.enabled = p.txtProxyServer.enabled = false;
      }
      return;
    case OptionBox::kStartup:
      return;  // the login entry follows at 決定
  }
}

// The method's fields follow the choice, and only ever while time setting is on.
void TForm1::RunTimeMethodRule() {
  OptionsPanel& p = window_.options;
  const bool http = p.httpSelected && p.chkTimeServer.checked;
  const bool ntp = !p.httpSelected && p.chkTimeServer.checked;
  p.lblNtp.enabled = p.txtNtpServer.enabled = ntp;
  p.lblHttp.enabled = p.txtHttpServer.enabled = http;
  p.lblProxy.enabled = p.txtProxyServer.enabled = http;
}

void TForm1::SelectWeekRule(int index) {
  OptionsPanel& p = window_.options;
  if (index != 0 && index != 1) return;
  if (p.rdoNumberIndex == index) return;
  p.rdoNumberIndex = index;
  state_.WeekNumberMethod = index;  // the icon follows at the next refresh
  Render();
}

void TForm1::SelectTimeMethod(bool http) {
  OptionsPanel& p = window_.options;
  if (p.httpSelected == http) return;
  p.httpSelected = http;
  RunTimeMethodRule();
  Render();
}

void TForm1::EditServer(ServerField field, std::string text) {
  OptionsPanel& p = window_.options;
  TextField& target = field == ServerField::kNtp    ? p.txtNtpServer
                      : field == ServerField::kHttp ? p.txtHttpServer
                                                    : p.txtProxyServer;
  if (target.text == text) return;
  target.text = std::move(text);
  Render();
}

// The arrows move by one within 10 to 300 and never wrap; a stored delay below 10 seconds
// is shown as it is and comes into the range at the first step up.
void TForm1::cmdAutoClick(bool up) {
  int& seconds = window_.options.autoSeconds;
  const int before = seconds;
  if (up) {
    seconds = std::clamp(seconds + 1, kAutoMin, kAutoMax);
  } else if (seconds > kAutoMin) {
    seconds = std::min(seconds - 1, kAutoMax);
  }
  if (seconds != before) Render();
}

void TForm1::ShowTab(OptionsTab tab) {
  if (window_.options.tab == tab) return;
  window_.options.tab = tab;
  Render();
}

void TForm1::cmdOKClick() {
  if (!SaveSettings()) return;  // the panel stays open with the user's edits
  window_.options.shown = false;
  HideWindow();
  Render();
}

void TForm1::cmdFalseClick() {
  LoadSettings();
  RefreshTrayIcons();
  window_.options.shown = false;
  HideWindow();
  Render();
}

void TForm1::LoadSettings() {
  SettingsStorage& storage = desktop_.settings;
  storage.MakeFolders();
  const IniProfile file(storage.Read().value_or(std::string()));
  const auto integer = [&](std::string_view key, int fallback) {
    return file.ReadInteger(kSection, key, fallback);
  };
  const auto text = [&](std::string_view key) {
    return file.ReadString(kSection, key).value_or(std::string());
  };
  OptionsPanel& p = window_.options;

  LoadBox(OptionBox::kMonth, integer("Month", 0) == 1, false);
  LoadBox(OptionBox::kWeek, integer("Week", 0) == 1, false);
  LoadBox(OptionBox::kTime, integer("Time", 0) == 1, false);

  const int number = integer("Number", 0);
  LoadBox(OptionBox::kNumber, number == 1 || number == 2, true);
  if (number == 1 || number == 2) SelectWeekRule(number - 1);

  LoadBox(OptionBox::k12h, integer("12h", 0) == 1, false);
  LoadBox(OptionBox::kEtc, integer("Etc", 0) == 1, false);
  LoadBox(OptionBox::kAuto, integer("Auto", 0) == 1, true);
  LoadBox(OptionBox::kStartup, desktop_.autostart.Exists(), false);

  const int stored = integer("AutoTime", -1);
  const int seconds = stored >= 1 && stored <= 300 ? stored : kDefaultAutoSeconds;
  p.autoSeconds = seconds;
  desktop_.times.SetInterval(seconds * 1000);
  state_.AutoUpdatePending = seconds * 1000;

  options_.ntpSetup = integer("ntpSetup", 0);
  options_.httpSetup = integer("httpSetup", 0);
  LoadBox(OptionBox::kTimeServer, options_.ntpSetup == 1 || options_.httpSetup > 0, true);

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

  LoadBox(OptionBox::kTimeServer, options_.ntpSetup == 1 || options_.httpSetup > 0, true);
  Render();
}

bool TForm1::SaveSettings() {
  SettingsStorage& storage = desktop_.settings;
  const OptionsPanel& p = window_.options;
  IniProfile file(storage.Read().value_or(std::string()));
  const auto flag = [&](std::string_view key, const CheckBox& box) {
    file.Write(kSection, key, box.checked ? "1" : "0");
  };
  flag("Month", p.chkMonth);
  flag("Week", p.chkWeek);
  flag("Time", p.chkTime);
  file.Write(kSection, "Number", !p.chkNumber.checked ? "0" : p.rdoNumberIndex == 1 ? "2" : "1");
  flag("12h", p.chk12h);
  flag("Etc", p.chkEtc);
  file.Write(kSection, "AutoTime", std::to_string(p.autoSeconds));
  flag("Auto", p.chkAuto);
  file.Write(kSection, "ntpServer", p.txtNtpServer.text);
  file.Write(kSection, "httpServer", p.txtHttpServer.text);
  file.Write(kSection, "proxyServer", p.txtProxyServer.text);
  const bool on = p.chkTimeServer.checked;
  file.Write(kSection, "ntpSetup", on && !p.httpSelected ? "1" : "0");
  file.Write(kSection, "httpSetup",
             !on || !p.httpSelected          ? "0"
             : p.txtProxyServer.text.empty() ? "1"
                                             : "2");

  if (!storage.Write(file.Text())) {
    desktop_.window.ShowError(storage.Path() + " に書き込めません");
    return false;
  }
  return SaveAutostart();
}

// The login entry is the desktop's own, so it is changed only when the box no longer says
// what the desktop has: 決定 alone never rewrites an entry the user may have edited. It comes
// after the file, so a refused file leaves both as they were.
bool TForm1::SaveAutostart() {
  Autostart& autostart = desktop_.autostart;
  const bool wanted = window_.options.chkStartup.checked;
  if (wanted == autostart.Exists()) return true;
  if (wanted ? autostart.Enable() : autostart.Disable()) return true;
  desktop_.window.ShowError(autostart.Path() + " に書き込めません");
  return false;
}

}  // namespace tsukio
