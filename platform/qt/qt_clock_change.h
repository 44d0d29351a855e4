#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace tsukio {

// Calls back when the wall clock has been set (by us, by an NTP daemon, by hand) or has
// jumped over a sleep. Linux tells this through a timerfd on the real-time clock armed with
// TFD_TIMER_CANCEL_ON_SET: the kernel wakes us only when the clock really moves, so nothing
// polls. Where timerfd is refused nothing is ever reported, and the timers still catch up
// by reading the clock at their next tick.
class ClockChangeWatcher final {
 public:
  explicit ClockChangeWatcher(std::function<void()> changed);
  ~ClockChangeWatcher();
  ClockChangeWatcher(const ClockChangeWatcher&) = delete;
  ClockChangeWatcher& operator=(const ClockChangeWatcher&) = delete;

  bool Watching() const { return fd_ >= 0; }

 private:
  bool Arm();
  void Readable();

  std::function<void()> changed_;
  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tsukio
