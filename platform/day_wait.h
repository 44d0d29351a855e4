#pragma once

#include "platform/clock.h"

namespace tsukio {

// A sleep aimed at the wall clock, for a program that has nothing to do until the day changes.
class DayWait {
 public:
  virtual ~DayWait() = default;
  // Sleeps until the local clock shows `wake` (its date and time; the zone's rules decide
  // which instant that is), and comes back sooner when the wall clock is set or the machine
  // resumes, so that the caller looks at the clock again. False when it cannot sleep at all.
  virtual bool SleepUntil(const LocalDateTime& wake) = 0;
};

}  // namespace tsukio
