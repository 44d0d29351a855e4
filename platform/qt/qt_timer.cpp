#include "platform/qt/qt_timer.h"

#include <algorithm>

namespace tsukio {

// Precise: a coarse timer may fire up to 5% early or late, which at a minute is 3 s.
QtTimer::QtTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setSingleShot(true);
}

void QtTimer::OnTick(std::function<void()> handler) {
  QObject::connect(&timer_, &QTimer::timeout, [handler = std::move(handler)] { handler(); });
}

void QtTimer::Start(int milliseconds) {
  timer_.start(std::max(milliseconds, 0));
}

}  // namespace tsukio
