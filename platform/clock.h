#pragma once

#include <chrono>

namespace tsukio {

// The local date and time as the user's clock shows it.
struct LocalDateTime {
  std::chrono::year_month_day date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // how far into the second: the timers aim at the minute's turn
};

// The core never reads the wall clock itself; it asks this.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

}  // namespace tsukio
