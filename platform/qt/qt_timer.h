#pragma once

#include <QTimer>

#include "platform/timer.h"

namespace tsukio {

class QtTimer final : public Timer {
 public:
  QtTimer();
  void OnTick(std::function<void()> handler) override;
  void SetInterval(int milliseconds) override;
  int Interval() const override { return timer_.interval(); }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace tsukio
