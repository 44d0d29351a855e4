#pragma once

#include <QTimer>

#include "platform/timer.h"

namespace tsukio {

class QtTimer final : public Timer {
 public:
  QtTimer();
  void OnTick(std::function<void()> handler) override;
  void Start(int milliseconds) override;
  void Stop() override { timer_.stop(); }
  bool Pending() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace tsukio
