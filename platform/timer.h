#pragma once

#include <functional>

namespace tsukio {

// A repeating timer with the semantics the program's timing rules rely on: giving a running
// timer a different interval restarts its period; enabling a timer that already runs does not.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void OnTick(std::function<void()> handler) = 0;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace tsukio
