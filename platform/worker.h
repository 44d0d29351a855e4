#pragma once

#include <functional>

namespace tsukio {

// Runs slow work (a network wait, a clock setter asking for permission) away from the event
// loop. The job runs on another thread and returns what is to happen with its outcome; that
// continuation runs later on the event loop's thread. A job still running when the program
// ends is abandoned: nothing waits for it.
class Worker {
 public:
  using Continuation = std::function<void()>;
  virtual ~Worker() = default;
  virtual void Run(std::function<Continuation()> job) = 0;
};

}  // namespace tsukio
