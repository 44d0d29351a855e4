#pragma once

#include <sys/types.h>

#include <string>

#include "platform/settings_storage.h"

namespace tsukio {

// The system calls a file replacement makes, so tests can fail each one in turn.
struct FileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};
const FileCalls& RealFileCalls();

// Writes `contents` to a new file beside `path` and renames it over `path`: readers see the
// old file or the new one, never a mixture. On failure the old file is untouched.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           const FileCalls& calls = RealFileCalls());

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config: the base of the user's
// configuration files, settings and autostart entries alike.
std::string ConfigHome();

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
  std::optional<std::string> Read() const override;
  bool Write(const std::string& contents) override;

 private:
  std::string path_;
};

// The running executable's absolute path; empty when the system cannot say.
std::string ExecutablePath();

// The name this program was started as (its executable file's name).
std::string ProgramName();

}  // namespace tsukio
