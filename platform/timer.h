#pragma once

#include <functional>

namespace tsukio {

// A one-shot timer. The program aims its timers at moments of the wall clock (the next
// minute, the end of a delay) by the time left until then, and aims them again after each
// tick; nothing runs at a fixed period, so at rest the program sleeps. The contract is small
// enough for a QTimer, a Win32 SetTimer/KillTimer pair or a test's hand-moved clock.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void OnTick(std::function<void()> handler) = 0;
  // One tick, `milliseconds` from now; a tick still pending is replaced.
  virtual void Start(int milliseconds) = 0;
  virtual void Stop() = 0;
  // Whether a tick is still to come.
  virtual bool Pending() const = 0;
};

}  // namespace tsukio
