#include "platform/qt/qt_timer.h"

namespace tsukio {

QtTimer::QtTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
}

void QtTimer::OnTick(std::function<void()> handler) {
  QObject::connect(&timer_, &QTimer::timeout, [handler = std::move(handler)] { handler(); });
}

// QTimer restarts on any setInterval while active; only a different interval may do that here.
void QtTimer::SetInterval(int milliseconds) {
  if (milliseconds != timer_.interval()) timer_.setInterval(milliseconds);
}

void QtTimer::SetEnabled(bool enabled) {
  if (enabled == timer_.isActive()) return;
  if (enabled) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace tsukio
