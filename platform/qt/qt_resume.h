#pragma once

#include <QObject>
#include <functional>

namespace tsukio {

// Calls back when the machine has resumed from standby (logind's PrepareForSleep(false)).
// Without a system bus nothing is ever reported.
class ResumeWatcher final : public QObject {
  Q_OBJECT

 public:
  explicit ResumeWatcher(std::function<void()> resumed);

 private slots:
  void PrepareForSleep(bool sleeping);

 private:
  std::function<void()> resumed_;
};

}  // namespace tsukio
