#include "platform/qt/qt_worker.h"

#include <QMetaObject>
#include <thread>

namespace tsukio {

QtWorker::QtWorker() : shared_(std::make_shared<Shared>()) {
  shared_->receiver = &receiver_;
}

QtWorker::~QtWorker() {
  const std::lock_guard lock(shared_->mutex);
  shared_->receiver = nullptr;
}

void QtWorker::Run(std::function<Continuation()> job) {
  {
    const std::lock_guard lock(shared_->mutex);
    ++shared_->running;
  }
  // Detached: the program may end while a server keeps it waiting, and ending must not wait.
  std::thread([shared = shared_, job = std::move(job)] {
    Continuation done = job();
    const std::lock_guard lock(shared->mutex);
    if (shared->receiver == nullptr) return;
    // Posting under the lock: the receiver cannot be destroyed while the call is queued,
    // and a queued call to a destroyed receiver is discarded with it.
    QMetaObject::invokeMethod(
        shared->receiver,
        [shared, done = std::move(done)] {
          {
            const std::lock_guard inner(shared->mutex);
            --shared->running;
          }
          if (done) done();
        },
        Qt::QueuedConnection);
  }).detach();
}

bool QtWorker::Busy() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->running > 0;
}

}  // namespace tsukio
