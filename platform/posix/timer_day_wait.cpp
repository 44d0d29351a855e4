#include "platform/posix/timer_day_wait.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace tsukio {

TimerDayWait::~TimerDayWait() {
  if (fd_ >= 0) close(fd_);
}

SleepEnd TimerDayWait::SleepUntil(const LocalDateTime& wake) {
  if (fd_ < 0) fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd_ < 0) return SleepEnd::kCannotSleep;
  std::tm local{};
  local.tm_year = static_cast<int>(wake.date.year()) - 1900;
  local.tm_mon = static_cast<int>(static_cast<unsigned>(wake.date.month())) - 1;
  local.tm_mday = static_cast<int>(static_cast<unsigned>(wake.date.day()));
  local.tm_hour = wake.hour;
  local.tm_min = wake.minute;
  local.tm_sec = wake.second;
  local.tm_isdst = -1;  // whichever the zone's rules say holds then
  const std::time_t instant = std::mktime(&local);
  if (instant == static_cast<std::time_t>(-1)) return SleepEnd::kCannotSleep;
  itimerspec at{};
  at.it_value.tv_sec = instant;
  at.it_value.tv_nsec = static_cast<long>(wake.millisecond) * 1'000'000;
  if (timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr) != 0)
    return SleepEnd::kCannotSleep;
  // The output is watched for nothing but its errors: a pipe whose reader closed it.
  pollfd watched[2] = {{fd_, POLLIN, 0}, {output_, 0, 0}};
  for (;;) {
    if (poll(watched, output_ >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      return SleepEnd::kCannotSleep;
    }
    if (output_ >= 0 && watched[1].revents != 0) return SleepEnd::kOutputGone;
    std::uint64_t expiries = 0;
    // Cancelled (ECANCELED): the clock was set, or the machine resumed. A time already past
    // when the timer was set expires at once, so the caller never spins.
    if (read(fd_, &expiries, sizeof expiries) >= 0 || errno == ECANCELED) return SleepEnd::kWoken;
    if (errno != EAGAIN && errno != EINTR) return SleepEnd::kCannotSleep;
  }
}

}  // namespace tsukio
