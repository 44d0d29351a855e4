#pragma once

#include "platform/clock.h"

namespace tsukio::testing {

// A clock that shows whatever the test sets.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(LocalDateTime now = {}) : now_(now) {}
  LocalDateTime Now() const override { return now_; }
  void Set(LocalDateTime now) { now_ = now; }

 private:
  LocalDateTime now_;
};

}  // namespace tsukio::testing
