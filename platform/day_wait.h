#pragma once

#include "platform/clock.h"

namespace tsukio {

// Why a sleep ended.
enum class SleepEnd {
  kWoken,        // the time came, or the clock was set, or the machine resumed: look again
  kOutputGone,   // no one reads what the program writes any more
  kCannotSleep,  // the system refused
};

// A sleep aimed at the wall clock, for a program that has nothing to do until the day changes.
class DayWait {
 public:
  virtual ~DayWait() = default;
  // Sleeps until the local clock shows `wake` (its date and time; the zone's rules decide
  // which instant that is), and comes back sooner when the wall clock is set or the machine
  // resumes, so that the caller looks at the clock again.
  virtual SleepEnd SleepUntil(const LocalDateTime& wake) = 0;
};

}  // namespace tsukio
