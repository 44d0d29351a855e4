#pragma once

#include "platform/day_wait.h"

namespace tsukio {

// Sleeps on a timerfd aimed at the local wall-clock time, which the kernel cancels when the
// clock is set or the machine resumes: no wake-up in between. With `output`, the sleep also ends
// when that pipe's reader goes (a status bar that quit), so that no one is left asleep for it.
class TimerDayWait final : public DayWait {
 public:
  explicit TimerDayWait(int output = -1) : output_(output) {}
  TimerDayWait(const TimerDayWait&) = delete;
  TimerDayWait& operator=(const TimerDayWait&) = delete;
  ~TimerDayWait() override;

  SleepEnd SleepUntil(const LocalDateTime& wake) override;

 private:
  int output_;
  int fd_ = -1;  // made on the first sleep: a program that never sleeps has none
};

}  // namespace tsukio
