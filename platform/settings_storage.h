#pragma once

#include <string>

namespace tsukio {

// The settings file as found: not there yet (a first start), read whole, or there but not
// readable, with the reason in the user's words.
struct StoredSettings {
  enum class Status { kAbsent, kRead, kUnreadable };
  Status status = Status::kAbsent;
  std::string text;    // the whole file, when read
  std::string reason;  // when unreadable: why, in Japanese
};

// A write that failed says why, in the user's words.
struct StorageWrite {
  bool ok = true;
  std::string reason;
};

// Where the settings file lives, and reading and replacing it whole.
class SettingsStorage {
 public:
  virtual ~SettingsStorage() = default;
  // The file's full path, as the user would look for it.
  virtual std::string Path() const = 0;
  // Makes the folders above the file, one level at a time; failures are left to the write.
  virtual void MakeFolders() = 0;
  // The whole file, or whether it is absent or there but unreadable.
  virtual StoredSettings Read() const = 0;
  // Replaces the file whole, or leaves it as it was and says why.
  virtual StorageWrite Write(const std::string& contents) = 0;
};

}  // namespace tsukio
