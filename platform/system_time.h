#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tsukio {

// An instant in UTC, to the millisecond.
using UtcTime = std::chrono::sys_time<std::chrono::milliseconds>;

// A wall-clock reading in some time zone, to the millisecond.
struct LocalTimestamp {
  std::chrono::year_month_day date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  friend bool operator==(const LocalTimestamp&, const LocalTimestamp&) = default;
};

// The machine's clock read in UTC, and the process's time zone.
class UtcClock {
 public:
  virtual ~UtcClock() = default;
  virtual UtcTime Now() const = 0;
  // The local time at `utc` by the zone's rules in force then; nothing when the zone
  // cannot say.
  virtual std::optional<LocalTimestamp> ToLocal(UtcTime utc) const = 0;
};

// Sets the machine's clock. Setting it is a privilege; the answer says whether it was
// granted.
class ClockSetter {
 public:
  virtual ~ClockSetter() = default;
  // Returns an empty text when the clock now runs from `utc`, else why it was not set.
  virtual std::string SetUtc(UtcTime utc) = 0;
};

}  // namespace tsukio
