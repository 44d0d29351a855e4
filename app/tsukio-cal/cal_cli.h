#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/day_wait.h"
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
  DayWait* dayWait = nullptr;  // `bar --follow` sleeps on it between days
};

// What a command needs of its environment beyond the clock. On Linux only the text commands
// run in tsukio-cal itself; the others are handed to tsukio-cal-tools, which has the rest.
enum class CommandNeeds { kClockOnly, kIconDrawing, kWindowPictures, kNetwork };

// What running this command line needs. Help, the version and a command line that is wrong
// from its first word need only the clock: they print text.
CommandNeeds NeedsOf(const std::vector<std::string>& args);

// Runs one tsukio-cal command line (without the program name). Returns the exit code:
// 0 on success, 2 for bad input with a one-line message on `err`.
int RunCal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CalEnvironment& env);

}  // namespace tsukio
