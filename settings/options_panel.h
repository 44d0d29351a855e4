#pragma once

#include <string>

namespace tsukio {

// The options panel's controls as data. The display check boxes are the live display
// settings: the refresh reads them here.
struct Control {
  bool enabled = true;
  friend bool operator==(const Control&, const Control&) = default;
};

struct CheckBox {
  bool checked = false;
  bool enabled = true;
  friend bool operator==(const CheckBox&, const CheckBox&) = default;
};

struct TextField {
  std::string text;
  bool enabled = true;
  friend bool operator==(const TextField&, const TextField&) = default;
};

enum class OptionBox {
  kMonth,
  kWeekday,
  kClock,
  kWeekNumber,
  kTwelveHour,
  kAlmanac,
  kMoon,
  kAutoUpdate,
  kSetClock,
  kStartAtLogin
};
enum class ServerField { kNtp, kHttp, kProxy };
enum class OptionsTab { kDisplay = 0, kBehaviour = 1, kClock = 2 };

inline constexpr int kAutoMin = 10;
inline constexpr int kAutoMax = 300;

struct OptionsPanel {
  bool shown = false;  // optionsGroup
  OptionsTab tab = OptionsTab::kDisplay;

  // 表示
  CheckBox showMonth, showWeekday, showClock, showWeekNumber, twelveHour, showAlmanac;
  CheckBox showMoon;      // 月齢
  int weekRuleIndex = 0;  // 0 "ISO", 1 "USA "
  Control weekRule;

  // 動作
  CheckBox autoUpdate;
  Control autoUpdateLabel, autoUpdateField, autoUpdateArrows;
  int autoSeconds = 30;   // the up-down's position, which autoUpdateField shows
  CheckBox startAtLogin;  // ログイン時に起動: whether the desktop's login entry exists

  // 時刻
  CheckBox setClock;
  Control timeMethodLabel, ntpChoice, httpChoice, ntpLabel, httpLabel, proxyLabel;
  bool httpSelected = false;  // httpChoice; else ntpChoice
  TextField ntpServerField, httpServerField, proxyServerField;

  friend bool operator==(const OptionsPanel&, const OptionsPanel&) = default;
};

// The controls that depend on a box follow it: the week rule its box, the delay's controls
// 自動更新, the method's controls 時刻合わせ, and each server field the method chosen, only
// while 時刻合わせ is on.
void EnableDependentControls(OptionsPanel& panel);

}  // namespace tsukio
