#include "platform/posix/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tsukio {

SingleInstance::SingleInstance(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string path = runtime != nullptr && *runtime != '\0'
                               ? std::string(runtime) + "/" + name + ".lock"
                               : "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A lock that cannot even be attempted lets this copy run: refusing to start is worse.
  if (fd_ < 0) {
    first_ = true;
    return;
  }
  first_ = flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace tsukio
