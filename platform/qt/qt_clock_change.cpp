#include "platform/qt/qt_clock_change.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace tsukio {

ClockChangeWatcher::ClockChangeWatcher(std::function<void()> changed)
    : changed_(std::move(changed)) {
  fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd_ < 0) return;
  if (!Arm()) {
    close(fd_);
    fd_ = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Readable(); });
}

ClockChangeWatcher::~ClockChangeWatcher() {
  notifier_.reset();
  if (fd_ >= 0) close(fd_);
}

// An expiry far beyond any clock: the timer never runs out, it only gets cancelled.
bool ClockChangeWatcher::Arm() {
  itimerspec never{};
  never.it_value.tv_sec = static_cast<time_t>(INT32_MAX) * 4;
  return timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
}

void ClockChangeWatcher::Readable() {
  std::uint64_t expiries = 0;
  const ssize_t got = read(fd_, &expiries, sizeof expiries);
  if (got >= 0 || errno != ECANCELED) return;
  Arm();  // a cancelled timer stays cancelled until it is set again
  if (changed_) changed_();
}

}  // namespace tsukio
