#pragma once

#include "platform/clock.h"

namespace tsukio {

// The system clock in the process's time zone (TZ, else /etc/localtime).
class SystemClock final : public Clock {
 public:
  LocalDateTime Now() const override;
};

}  // namespace tsukio
