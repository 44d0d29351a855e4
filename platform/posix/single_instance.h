#pragma once

#include <string>
#include <string_view>

namespace tsukio {

// One running copy per user. An abstract Unix socket named after the lock and the user id
// decides: it needs no folder, so a runtime folder that is missing for one copy and there
// for the next cannot let both run. Abstract names have no owner and every user of the
// network namespace may bind any of them, so a holder is asked who it is (its peer
// credentials): only a copy of this user keeps us from running; a name taken by someone
// else is passed over. An exclusive lock on a file in $XDG_RUNTIME_DIR comes on top, for
// copies in other network namespaces (containers) that share the folder, and alone decides
// where the name was taken by someone else. Both live as long as this object; the system
// drops them when the process ends, however it ends.
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

// The lock's name for `program`. Tests that run copies side by side give each run a name of
// its own through TSUKIO_INSTANCE, appended here; without it every copy of a user shares one.
std::string InstanceName(std::string_view program);

}  // namespace tsukio
