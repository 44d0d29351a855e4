#include "platform/posix/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <thread>

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

enum class Holder { kThisUser, kSomeoneElse, kNotListening };

// A copy listens on the name from right after binding it, and never accepts: connecting is
// only to read who holds the name. A name that is bound but not listened on is a copy
// between its two steps, a holder just gone, or a stranger's.
Holder AskHolder(const sockaddr_un& address, socklen_t size) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Holder::kThisUser;  // doubt
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    const bool refused = errno == ECONNREFUSED;  // any other error (a full queue): doubt
    ::close(fd);
    return refused ? Holder::kNotListening : Holder::kThisUser;
  }
  ucred peer{};
  socklen_t length = sizeof peer;
  const bool known = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0;
  ::close(fd);
  return known && peer.uid != ::getuid() ? Holder::kSomeoneElse : Holder::kThisUser;
}

// A holder that does not listen within this long is not a copy of ours.
constexpr int kListenChecks = 100;
constexpr auto kBetweenListenChecks = std::chrono::milliseconds(10);

// An abstract socket name needs no folder at all, belongs to no file system that could be
// full or read-only, and goes with the last descriptor, so a killed copy never leaves it.
// kHeldElsewhere means held by a copy of this user; a stranger's name is kUnavailable.
Lock ClaimAbstractName(const std::string& name, int& fd) {
  const std::string unique = name + "-" + std::to_string(::getuid());
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (unique.size() + 1 > sizeof address.sun_path) return Lock::kUnavailable;
  std::memcpy(address.sun_path + 1, unique.data(), unique.size());  // [0] = 0: abstract
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + unique.size());
  for (int check = 0;; ++check) {
    fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Lock::kUnavailable;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) {
      // Should listen ever fail, the name is still ours and holds off every copy for a
      // second; after that they go by the file lock.
      (void)::listen(fd, SOMAXCONN);
      return Lock::kTaken;
    }
    const bool inUse = errno == EADDRINUSE;
    ::close(fd);
    fd = -1;
    if (!inUse) return Lock::kUnavailable;
    switch (AskHolder(address, size)) {
      case Holder::kThisUser:
        return Lock::kHeldElsewhere;
      case Holder::kSomeoneElse:
        return Lock::kUnavailable;
      case Holder::kNotListening:
        if (check == kListenChecks) return Lock::kUnavailable;
        std::this_thread::sleep_for(kBetweenListenChecks);  // then bind again: it may be free
        break;
    }
  }
}

}  // namespace

SingleInstance::SingleInstance(const std::string& name) {
  const Lock socket = ClaimAbstractName(name, socket_);
  if (socket == Lock::kHeldElsewhere) return;
  // With the name ours, a file lock held elsewhere is a copy in another network namespace
  // that shares this runtime folder.
  const Lock file = LockFile(name, file_);
  if (file == Lock::kHeldElsewhere) return;
  first_ = socket == Lock::kTaken || file == Lock::kTaken;
}

SingleInstance::~SingleInstance() {
  if (file_ >= 0) ::close(file_);
  if (socket_ >= 0) ::close(socket_);
}

std::string InstanceName(std::string_view program) {
  std::string name(program);
  const char* own = std::getenv("TSUKIO_INSTANCE");
  if (own == nullptr || own[0] == '\0') return name;
  name += '-';
  name += own;
  std::replace(name.begin(), name.end(), '/', '-');  // it names a file too
  return name;
}

}  // namespace tsukio
