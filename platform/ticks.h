#pragma once

#include <cstdint>

namespace tsukio {

// Milliseconds since some fixed moment, unaffected by changes of the wall clock. 32 bits wide,
// so it wraps after about 49.7 days; differences are taken in signed 32-bit arithmetic.
class TickCounter {
 public:
  virtual ~TickCounter() = default;
  virtual std::uint32_t Milliseconds() const = 0;
};

}  // namespace tsukio
