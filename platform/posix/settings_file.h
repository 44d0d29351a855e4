#pragma once

#include <sys/types.h>

#include <string>

#include "platform/settings_storage.h"

namespace tsukio {

// The system calls a file replacement makes, so tests can fail each one in turn.
struct FileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fchmod)(int fd, mode_t mode);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};
const FileCalls& RealFileCalls();

// Why a file operation failed, in the user's words (Japanese): "フォルダーです",
// "アクセスが拒否されました", "ディスクがいっぱいです", ...
std::string FileErrorReason(int error);

// The largest file read as settings. A real one is a few hundred bytes; anything up to this is
// read whole, so that a save keeps whatever else the user keeps there.
inline constexpr std::size_t kLargestSettingsFile = std::size_t{64} << 20;

// Reads `path` whole. Absent only when there is no such file (a symbolic link to nothing
// included); a folder, a file we may not read or one past `largest` is unreadable.
StoredSettings ReadWholeFile(const std::string& path, std::size_t largest = kLargestSettingsFile);

// Writes `contents` to a new file beside `path` and renames it over `path`: readers see the
// old file or the new one, never a mixture. On failure the old file is untouched.
// A symbolic link is followed and its target replaced, so the link stays; the replaced file's
// mode (and owner and group, where the system lets us) carry over, and a new file is private
// to the user. Temporary files that a replacement cut off by a crash left beside the file are
// removed first.
StorageWrite ReplaceFileAtomically(const std::string& path, const std::string& contents,
                                   const FileCalls& calls = RealFileCalls());

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config: the base of the user's
// configuration files, settings and autostart entries alike.
std::string ConfigHome();

// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache: what may be lost at any time.
std::string CacheHome();

// ConfigHome() / Quorv / Tsukio / <program name>.ini
std::string SettingsFilePath(const std::string& programName);

// Makes the folders above `path`, one level at a time from the top, so a fresh account
// without ~/.config works too; failures are left to the write that follows.
void MakeParentFolders(const std::string& path);

class SettingsFile final : public SettingsStorage {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  void MakeFolders() override;
  StoredSettings Read() const override { return ReadWholeFile(path_); }
  StorageWrite Write(const std::string& contents) override {
    return ReplaceFileAtomically(path_, contents);
  }

 private:
  std::string path_;
};

// The running executable's absolute path; empty when the system cannot say.
std::string ExecutablePath();

// The name this program was started as (its executable file's name).
std::string ProgramName();

}  // namespace tsukio
