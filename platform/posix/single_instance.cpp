#include "platform/posix/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace tsukio {

namespace {

enum class Lock { kTaken, kHeldElsewhere, kUnavailable };

Lock LockFile(const std::string& name, int& fd) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') return Lock::kUnavailable;
  const std::string path = std::string(runtime) + "/" + name + ".lock";
  fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Lock::kUnavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return Lock::kTaken;
  const bool held = errno == EWOULDBLOCK;
  ::close(fd);
  fd = -1;
  return held ? Lock::kHeldElsewhere : Lock::kUnavailable;
}

// An abstract socket name needs no folder at all, belongs to no file system that could be
// full or read-only, and goes with the last descriptor, so a killed copy never leaves it.
Lock BindAbstractName(const std::string& name, int& fd) {
  const std::string unique = name + "-" + std::to_string(::getuid());
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (unique.size() + 1 > sizeof address.sun_path) return Lock::kUnavailable;
  std::memcpy(address.sun_path + 1, unique.data(), unique.size());  // [0] = 0: abstract
  fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Lock::kUnavailable;
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + unique.size());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) return Lock::kTaken;
  const bool held = errno == EADDRINUSE;
  ::close(fd);
  fd = -1;
  return held ? Lock::kHeldElsewhere : Lock::kUnavailable;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& name) {
  const Lock file = LockFile(name, file_);
  if (file == Lock::kHeldElsewhere) return;
  const Lock socket = BindAbstractName(name, socket_);
  // With the file lock ours, the name only tells copies without a runtime folder that we run;
  // another copy holding it can only be one started in some other runtime folder.
  first_ = file == Lock::kTaken || socket == Lock::kTaken;
}

SingleInstance::~SingleInstance() {
  if (file_ >= 0) ::close(file_);
  if (socket_ >= 0) ::close(socket_);
}

}  // namespace tsukio
