#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/image.h"
#include "platform/main_window_view.h"
#include "platform/text_painter.h"
#include "timesync/sync.h"

namespace tsukio {

// What drawing the icon pictures needs; made only when a command draws.
class IconTools {
 public:
  virtual ~IconTools() = default;
  virtual TextPainter& Painter() = 0;
  virtual ImageFiles& Files() = 0;
};

// What picturing the main window needs; made only when a command draws it.
class WindowPictures {
 public:
  virtual ~WindowPictures() = default;
  // The window's client area as the desktop draws it showing `model`.
  virtual Image ClientArea(const MainWindowModel& model) = 0;
  virtual ImageFiles& Files() = 0;
};

// What asking a time server needs; made only when a command asks one. Its clock setter
// sets the real clock: a dry run never reaches it.
class SyncTools {
 public:
  virtual ~SyncTools() = default;
  virtual SyncServices& Services() = 0;
};

struct CalEnvironment {
  const Clock& clock;
  bool colourTerminal = false;  // stdout is a terminal and NO_COLOR is not set
  IconTools* icons = nullptr;
  WindowPictures* window = nullptr;
  SyncTools* sync = nullptr;
};

// Runs one tsukio-cal command line (without the program name). Returns the exit code:
// 0 on success, 2 for bad input with a one-line message on `err`.
int RunCal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CalEnvironment& env);

}  // namespace tsukio
