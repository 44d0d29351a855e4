#pragma once

#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/system_time.h"
#include "platform/ticks.h"

namespace tsukio {

// The local wall clock as Windows shows it.
class Win32Clock final : public Clock {
 public:
  LocalDateTime Now() const override;
};

// GetTickCount64, cut to the 32 bits the core's arithmetic expects.
class Win32TickCounter final : public TickCounter {
 public:
  std::uint32_t Milliseconds() const override;
};

// The system clock in UTC, and local time by the zone's rules for that year.
class Win32UtcClock final : public UtcClock {
 public:
  UtcTime Now() const override;
  std::optional<LocalTimestamp> ToLocal(UtcTime utc) const override;
};

// A broken-down UTC time as SetSystemTime takes it.
struct SystemTimeFields {
  int year = 0, month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0,
      millisecond = 0;
  friend bool operator==(const SystemTimeFields&, const SystemTimeFields&) = default;
};
SystemTimeFields ToSystemTimeFields(UtcTime utc);

// Sets the clock with SetSystemTime after enabling the privilege it needs. Without the
// privilege (a standard user) the answer says so and nothing changes. Tests hand in their own
// setter, so that no test ever reaches the machine's clock.
class Win32ClockSetter final : public ClockSetter {
 public:
  // Returns 0 when set, else a Win32 error code.
  using Setter = std::function<unsigned long(const SystemTimeFields&)>;
  static unsigned long SetSystemClock(const SystemTimeFields& time);

  explicit Win32ClockSetter(Setter setter = SetSystemClock) : setter_(std::move(setter)) {}
  std::string SetUtc(UtcTime utc) override;

 private:
  Setter setter_;
};

// The text Windows gives for an error code, in UTF-8, without the line end.
std::string SystemErrorText(unsigned long code);

// One running copy per login session: the named mutex. It lives as long as this object;
// Windows drops it when the process ends, however it ends.
class Win32SingleInstance {
 public:
  explicit Win32SingleInstance(const std::string& name);
  ~Win32SingleInstance();
  Win32SingleInstance(const Win32SingleInstance&) = delete;
  Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;
  // False when another copy holds the mutex.
  bool IsFirst() const { return first_; }

 private:
  void* mutex_ = nullptr;
  bool first_ = true;
};

// The running executable's full path, and its file name.
std::string ExecutablePath();
std::string ProgramName();

}  // namespace tsukio
