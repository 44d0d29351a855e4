#pragma once

#include <string>

namespace tsukio {

// One running copy per user: an exclusive lock on a file in $XDG_RUNTIME_DIR, and an abstract
// Unix socket named after the lock and the user id. The socket is the whole guard when the
// runtime folder is missing or unusable, and lets a copy that has no runtime folder see one
// that has. Both live as long as this object; the system drops them when the process ends,
// however it ends.
class SingleInstance {
 public:
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another copy holds the lock, and when no lock at all could be taken: two
  // copies would fight over the tray and the settings file, so doubt means "do not run".
  bool IsFirst() const { return first_; }

 private:
  int file_ = -1;
  int socket_ = -1;
  bool first_ = false;
};

}  // namespace tsukio
