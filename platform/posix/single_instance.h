#pragma once

#include <string>

namespace tsukio {

// One running copy per user login: an exclusive lock on a file in $XDG_RUNTIME_DIR (else
// /tmp, with the user id in the name). The lock lives as long as this object; the system
// drops it when the process ends, however it ends.
class SingleInstance {
 public:
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another copy holds the lock.
  bool IsFirst() const { return first_; }

 private:
  int fd_ = -1;
  bool first_ = false;
};

}  // namespace tsukio
