#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "platform/system_time.h"
#include "platform/ticks.h"

namespace tsukio {

// The monotonic clock in milliseconds, cut to 32 bits.
class PosixTickCounter final : public TickCounter {
 public:
  std::uint32_t Milliseconds() const override;
};

// The real-time clock, and local time by the process's zone (TZ, else /etc/localtime).
class PosixUtcClock final : public UtcClock {
 public:
  UtcTime Now() const override;
  std::optional<LocalTimestamp> ToLocal(UtcTime utc) const override;
};

// Sets the clock with clock_settime when the process may (root, or CAP_SYS_TIME); otherwise
// asks systemd-timedated over the system bus, which lets polkit ask the user. timedated
// refuses while automatic synchronization (NTP) is on.
class PosixClockSetter final : public ClockSetter {
 public:
  // How the clock is set without asking anyone: clock_settime(CLOCK_REALTIME) unless a
  // test gives another; returns 0 or an errno value.
  using DirectSetter = std::function<int(const timespec&)>;
  static int SetRealtimeClock(const timespec& time);

  // `busAddress` empty: the system bus.
  explicit PosixClockSetter(DirectSetter direct = SetRealtimeClock, std::string busAddress = {});
  std::string SetUtc(UtcTime utc) override;

 private:
  std::string AskTimedated(UtcTime utc);

  DirectSetter direct_;
  std::string busAddress_;
};

}  // namespace tsukio
