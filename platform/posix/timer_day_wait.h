#pragma once

#include "platform/day_wait.h"

namespace tsukio {

// Sleeps on a timerfd aimed at the local wall-clock time, which the kernel cancels when the
// clock is set or the machine resumes: no wake-up in between.
class TimerDayWait final : public DayWait {
 public:
  TimerDayWait() = default;
  TimerDayWait(const TimerDayWait&) = delete;
  TimerDayWait& operator=(const TimerDayWait&) = delete;
  ~TimerDayWait() override;

  bool SleepUntil(const LocalDateTime& wake) override;

 private:
  int fd_ = -1;  // made on the first sleep: a program that never sleeps has none
};

}  // namespace tsukio
