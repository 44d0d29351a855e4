#pragma once

#include <windows.h>

#include "platform/day_wait.h"

namespace tsukio {

// Sleeps on a waitable timer with an absolute due time. Windows moves such a timer with the
// system clock and signals it on resume when its time has passed, so a clock set forward past
// the wake time or a night in standby ends the sleep; a clock set back is seen at the next
// wake. A reader that goes is noticed at the next line written.
class Win32DayWait final : public DayWait {
 public:
  Win32DayWait() = default;
  Win32DayWait(const Win32DayWait&) = delete;
  Win32DayWait& operator=(const Win32DayWait&) = delete;
  ~Win32DayWait() override;

  SleepEnd SleepUntil(const LocalDateTime& wake) override;

 private:
  HANDLE timer_ = nullptr;  // made on the first sleep
};

}  // namespace tsukio
