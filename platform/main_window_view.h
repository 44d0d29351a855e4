#pragma once

#include <string>
#include <string_view>

#include "calwindow/month_grid.h"
#include "settings/options_panel.h"

namespace tsukio {

enum class View { kCalendar, kAbout, kOptions };

// The captions of the options and about views; the calendar's is the day's tooltip.
inline constexpr std::string_view kOptionsCaption = "設定";
inline constexpr std::string_view kAboutCaption = "バージョン情報";

// What the main window shows; the program's state, drawn by the desktop.
struct MainWindowModel {
  bool visible = false;
  std::string caption;
  View view = View::kCalendar;
  OptionsPanel options;
  MonthGrid calendar = EmptyMonthGrid();  // the calendar view's cells and labels

  friend bool operator==(const MainWindowModel&, const MainWindowModel&) = default;
};

// What the user does in the main window, as the desktop reports it to the program.
class MainWindowInput {
 public:
  virtual ~MainWindowInput() = default;
  virtual void CloseClicked() = 0;  // とじる, Esc, or the window manager's close
  virtual void OptionBoxClicked(OptionBox box, bool checked) = 0;
  virtual void WeekRuleChosen(int index) = 0;
  virtual void TimeMethodChosen(bool http) = 0;
  virtual void ServerEdited(ServerField field, std::string text) = 0;
  virtual void AutoArrowClicked(bool up) = 0;
  virtual void TabShown(OptionsTab tab) = 0;
  virtual void OkClicked() = 0;
  virtual void CancelClicked() = 0;
  virtual void LinkClicked() = 0;
};

// The desktop's side of the main window.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  // Shows the model; a window made visible comes to the front.
  virtual void Render(const MainWindowModel& model) = 0;
  // Closing the main window ends the program.
  virtual void Close() = 0;
  virtual void ShowError(std::string_view message) = 0;
  // Opens an address with the desktop's default handler (normally the web browser).
  virtual void OpenUrl(std::string_view address) = 0;
  // The screen's logical resolution, pixels per inch.
  virtual int DisplayDpi() const = 0;
};

}  // namespace tsukio
