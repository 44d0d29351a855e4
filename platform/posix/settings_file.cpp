#include "platform/posix/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string_view>

namespace tsukio {

namespace {

// Past this many links in a row the chain is taken for a loop, as the kernel takes it.
constexpr int kMostLinksFollowed = 40;
constexpr std::string_view kTemporaryInfix = ".tmp-";

int OpenFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

std::string Folder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == 0) return "/";
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string FileName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

StoredSettings Unreadable(std::string reason) {
  return {StoredSettings::Status::kUnreadable, {}, std::move(reason)};
}

StorageWrite Failed(int error) {
  return {false, FileErrorReason(error)};
}

// The file a replacement must write: `path`, or the end of the chain of symbolic links it
// starts, so that a settings file kept elsewhere (a dotfiles folder) is updated where it is.
// A link to nothing yet leads to where the file is to be made.
std::optional<std::string> ReplacementTarget(const std::string& path, int& error) {
  std::string target = path;
  for (int links = 0; links < kMostLinksFollowed; ++links) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
    if (n < 0) return target;  // not a link, or nothing there: the open says which
    if (n == static_cast<ssize_t>(sizeof buffer)) {
      error = ENAMETOOLONG;
      return std::nullopt;
    }
    const std::string link(buffer, static_cast<std::size_t>(n));
    target = link.starts_with('/') ? link : Folder(target) + "/" + link;
  }
  error = ELOOP;
  return std::nullopt;
}

// A replacement killed between making its temporary file and renaming it leaves the file
// behind; its process is gone, so nobody else will ever remove it.
void RemoveAbandonedTemporaries(const std::string& target, const FileCalls& calls) {
  DIR* folder = ::opendir(Folder(target).c_str());
  if (folder == nullptr) return;
  const std::string prefix = FileName(target) + std::string(kTemporaryInfix);
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    pid_t pid = 0;
    const auto [end, problem] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (problem != std::errc() || end == rest.data() || *end != '-' || pid <= 0) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    calls.unlink((Folder(target) + "/" + std::string(name)).c_str());
  }
  ::closedir(folder);
}

}  // namespace

const FileCalls& RealFileCalls() {
  static const FileCalls calls{OpenFile, ::write, ::fchmod, ::fsync, ::close, ::rename, ::unlink};
  return calls;
}

std::string FileErrorReason(int error) {
  switch (error) {
    case EISDIR:
      return "フォルダーです";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case ENOSPC:
    case EDQUOT:
      return "ディスクがいっぱいです";
    case EROFS:
      return "読み取り専用のファイルシステムです";
    case ENOENT:
      return "フォルダーがありません";
    case ENOTDIR:
      return "途中にフォルダーでないものがあります";
    case ELOOP:
      return "シンボリックリンクが循環しています";
    case ENAMETOOLONG:
      return "パスが長すぎます";
    case EFBIG:
      return "ファイルが大きすぎます";
    case EIO:
      return "入出力エラーが起きました";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case EBUSY:
    case ETXTBSY:
      return "使用中です";
    default:
      return "システムエラー " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

StoredSettings ReadWholeFile(const std::string& path, std::size_t largest) {
  // Without O_NONBLOCK a named pipe put where the file should be would hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return Unreadable(FileErrorReason(errno));
  }
  struct stat info {};
  StoredSettings result;
  if (::fstat(fd, &info) != 0) {
    result = Unreadable(FileErrorReason(errno));
  } else if (S_ISDIR(info.st_mode)) {
    result = Unreadable(FileErrorReason(EISDIR));
  } else if (!S_ISREG(info.st_mode)) {
    result = Unreadable("通常のファイルではありません");
  } else if (static_cast<std::uintmax_t>(info.st_size) > largest) {
    result = Unreadable(FileErrorReason(EFBIG));
  } else {
    result.status = StoredSettings::Status::kRead;
    result.text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = Unreadable(FileErrorReason(errno));
        break;
      }
      if (n == 0) break;
      result.text.append(buffer, static_cast<std::size_t>(n));
      if (result.text.size() > largest) {  // grew while we read it
        result = Unreadable(FileErrorReason(EFBIG));
        break;
      }
    }
  }
  ::close(fd);
  return result;
}

StorageWrite ReplaceFileAtomically(const std::string& path, const std::string& contents,
                                   const FileCalls& calls) {
  int error = 0;
  const std::optional<std::string> found = ReplacementTarget(path, error);
  if (!found) return Failed(error);
  const std::string& target = *found;
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return Failed(EISDIR);
  RemoveAbandonedTemporaries(target, calls);

  std::random_device random;
  const std::string temporary = target + std::string(kTemporaryInfix) + std::to_string(getpid()) +
                                "-" + std::to_string(random() % 1000000);
  const int fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return Failed(errno);
  bool ok = true;
  for (std::size_t done = 0; ok && done < contents.size();) {
    const ssize_t n = calls.write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  if (ok && replacing) {
    // The owner first: changing it may clear the set-id bits that the mode then restores.
    // Only root may give a file away, so for everyone else this keeps at most the group.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = calls.fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && calls.fsync(fd) == 0;
  int failure = ok ? 0 : errno;
  if (calls.close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && calls.rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    calls.unlink(temporary.c_str());
    return Failed(failure);
  }
  // The rename itself survives a crash only once the folder is on disk too.
  const int folder = ::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return {};
}

namespace {

// An XDG base folder: the variable when it holds an absolute path, else `inHome` in $HOME.
std::string BaseFolder(const char* variable, const char* inHome) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return set;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/" + inHome;
}

}  // namespace

std::string ConfigHome() {
  return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string CacheHome() {
  return BaseFolder("XDG_CACHE_HOME", ".cache");
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
