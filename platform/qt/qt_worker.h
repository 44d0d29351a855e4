#pragma once

#include <QObject>
#include <memory>
#include <mutex>

#include "platform/worker.h"

namespace tsukio {

// Each job on a thread of its own; its continuation is posted back to the thread that owns
// this object. Destroying it never waits for a job: a job that is still running is left to
// finish on its own, and its continuation is dropped.
class QtWorker final : public Worker {
 public:
  QtWorker();
  ~QtWorker() override;
  QtWorker(const QtWorker&) = delete;
  QtWorker& operator=(const QtWorker&) = delete;

  void Run(std::function<Continuation()> job) override;
  // Whether a job is running or its continuation waits to run.
  bool Busy() const;

 private:
  struct Shared {
    std::mutex mutex;
    QObject* receiver = nullptr;  // gone once the worker is destroyed
    int running = 0;
  };
  std::shared_ptr<Shared> shared_;
  QObject receiver_;
};

}  // namespace tsukio
