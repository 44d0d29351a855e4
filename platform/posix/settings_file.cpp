#include "platform/posix/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string_view>

namespace tsukio {

namespace {

// A settings file is a few hundred bytes; past this it is not ours to load, yet anything
// smaller is read whole so that a save keeps whatever else the user put there.
constexpr std::size_t kLargestFile = 16 << 20;

int OpenFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

std::string Folder(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

const FileCalls& RealFileCalls() {
  static const FileCalls calls{OpenFile, ::write, ::fsync, ::close, ::rename, ::unlink};
  return calls;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           const FileCalls& calls) {
  std::random_device random;
  const std::string temporary =
      path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(random() % 1000000);
  const int fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < contents.size();) {
    const ssize_t n = calls.write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && calls.fsync(fd) == 0;
  ok = calls.close(fd) == 0 && ok;
  ok = ok && calls.rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    calls.unlink(temporary.c_str());
    return false;
  }
  // The rename itself survives a crash only once the folder is on disk too.
  const int folder = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/.config";
}

std::string SettingsFilePath(const std::string& programName) {
  // The program's name with its extension, if it has one, replaced.
  const auto dot = programName.rfind('.');
  const std::string stem =
      dot == std::string::npos || dot == 0 ? programName : programName.substr(0, dot);
  return ConfigHome() + "/Quorv/Tsukio/" + stem + ".ini";
}

void MakeParentFolders(const std::string& path) {
  const std::string folder = Folder(path);
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (slash == std::string::npos) break;
  }
}

void SettingsFile::MakeFolders() {
  MakeParentFolders(path_);
}

std::optional<std::string> SettingsFile::Read() const {
  std::ifstream file(path_, std::ios::binary);
  if (!file) return std::nullopt;
  std::string contents;
  char buffer[8192];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    contents.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (contents.size() > kLargestFile) return std::nullopt;
  }
  if (file.bad()) return std::nullopt;
  return contents;
}

bool SettingsFile::Write(const std::string& contents) {
  return ReplaceFileAtomically(path_, contents);
}

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof path)) return {};
  std::string exe(path, static_cast<std::size_t>(n));
  // A program replaced by an upgrade while it runs: the new file is at the old name.
  constexpr std::string_view kDeleted = " (deleted)";
  if (exe.ends_with(kDeleted)) exe.resize(exe.size() - kDeleted.size());
  return exe;
}

std::string ProgramName() {
  const std::string exe = ExecutablePath();
  if (exe.empty()) return "tsukio";
  const auto slash = exe.rfind('/');
  return slash == std::string::npos ? exe : exe.substr(slash + 1);
}

}  // namespace tsukio
