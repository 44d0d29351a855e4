#pragma once

#include <string>
#include <string_view>

#include "settings/options_panel.h"

namespace tsukio {

enum class View { kCalendar, kAbout, kOptions };

// What the main window shows; the program's state, drawn by the desktop.
struct MainWindowModel {
  bool visible = false;
  std::string caption;
  View view = View::kCalendar;
  OptionsPanel options;

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
  // Opens an address with the desktop's default handler (normally the web browser).
  virtual void OpenUrl(std::string_view address) = 0;
  // The screen's logical resolution, pixels per inch.
  virtual int DisplayDpi() const = 0;
};

}  // namespace tsukio
