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

enum class OptionBox { kMonth, kWeek, kTime, kNumber, k12h, kEtc, kAuto, kTimeServer, kStartup };
enum class ServerField { kNtp, kHttp, kProxy };
enum class OptionsTab { kVisible = 0, kEtc = 1, kTime = 2 };

inline constexpr int kAutoMin = 10;
inline constexpr int kAutoMax = 300;

struct OptionsPanel {
  bool shown = false;  // grpOptions
  OptionsTab tab = OptionsTab::kVisible;

  // 表示
  CheckBox chkMonth, chkWeek, chkTime, chkNumber, chk12h, chkEtc;
  int rdoNumberIndex = 0;  // 0 "ISO", 1 "USA "
  Control rdoNumber;

  // 動作
  CheckBox chkAuto;
  Control lblAuto, txtAuto, cmdAuto;
  int autoSeconds = 30;  // the up-down's position, which txtAuto shows
  CheckBox chkStartup;   // ログイン時に起動: whether the desktop's login entry exists

  // 時刻
  CheckBox chkTimeServer;
  Control lblTimeServer, rdoNtp, rdoHttp, lblNtp, lblHttp, lblProxy;
  bool httpSelected = false;  // rdoHttp; else rdoNtp
  TextField txtNtpServer, txtHttpServer, txtProxyServer;

  friend bool operator==(const OptionsPanel&, const OptionsPanel&) = default;
};

}  // namespace tsukio
