#pragma once

#include <string>
#include <string_view>

#include "calwindow/month_grid.h"

namespace tsukio {

enum class View { kCalendar, kAbout, kOptions };

// What the main window shows; the program's state, drawn by the desktop.
struct MainWindowModel {
  bool visible = false;
  std::string caption;
  View view = View::kCalendar;
  MonthGrid calendar = EmptyMonthGrid();  // the calendar view's cells and labels

  friend bool operator==(const MainWindowModel&, const MainWindowModel&) = default;
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
  // The screen's logical resolution, pixels per inch.
  virtual int DisplayDpi() const = 0;
};

}  // namespace tsukio
