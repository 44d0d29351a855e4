#pragma once

#include <string>

#include "platform/autostart.h"
#include "platform/settings_storage.h"

namespace tsukio {

// The steps of a file replacement that can fail, so tests can fail each in turn. Each
// returns true on success, and leaves the reason in GetLastError otherwise; the real ones
// are the Win32 calls of the same names.
struct FileSteps {
  bool (*write)(void* file, const void* data, unsigned long size);
  bool (*flush)(void* file);
  // Puts `from` in the place of `to`, which exists.
  bool (*replace)(const wchar_t* to, const wchar_t* from);
  // Moves `from` to `to`, replacing it if it appeared meanwhile.
  bool (*move)(const wchar_t* from, const wchar_t* to);
};
const FileSteps& RealFileSteps();

// Writes `contents` to a new file beside `path`, then puts it in the place of the old one
// with ReplaceFileW (MoveFileExW when there is no old file yet): readers see the old file or
// the new one, never a mixture. On failure the old file is untouched and no new file is left.
StorageWrite ReplaceFileWhole(const std::string& path, const std::string& contents,
                              const FileSteps& steps = RealFileSteps());

// Why a file operation failed, in the user's words (Japanese), from a Win32 error code.
std::string FileErrorReason(unsigned long error);

// The roaming application data folder (%APPDATA%), no backslash at the end.
std::string RoamingAppData();

// RoamingAppData() \ Quorv \ Tsukio \ <program name without its extension>.ini
std::string SettingsFilePath(const std::string& programName);

// Makes the folders above `path`, one level at a time; failures are left to the write.
void MakeParentFolders(const std::string& path);

class Win32SettingsFile final : public SettingsStorage {
 public:
  explicit Win32SettingsFile(std::string path) : path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  void MakeFolders() override;
  StoredSettings Read() const override;
  StorageWrite Write(const std::string& contents) override;

 private:
  std::string path_;
};

// The Run key's value that starts the program at login. Task Manager's start-up page turns
// an entry off without deleting it, by a mark under Explorer\StartupApproved\Run; such an
// entry is there but the program is not started.
class Win32Autostart final : public Autostart {
 public:
  static constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr char kApprovedKey[] =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

  // Keys under HKEY_CURRENT_USER; tests give keys of their own.
  Win32Autostart(std::string executable, std::string runKey = kRunKey,
                 std::string approvedKey = kApprovedKey, std::string valueName = "Tsukio");
  std::string Path() const override;
  bool Exists() const override;
  bool Enable() override;
  bool Disable() override;

  // The value's text: the executable's path, quoted since it may hold spaces.
  std::string Command() const { return "\"" + executable_ + "\""; }

 private:
  std::string executable_;
  std::string runKey_;
  std::string approvedKey_;
  std::string valueName_;
};

}  // namespace tsukio
