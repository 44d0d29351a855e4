#pragma once

#include <optional>
#include <string>

namespace tsukio {

// Where the settings file lives, and reading and replacing it whole.
class SettingsStorage {
 public:
  virtual ~SettingsStorage() = default;
  // The file's full path, as the user would look for it.
  virtual std::string Path() const = 0;
  // Makes the folders above the file, one level at a time; failures are left to the write.
  virtual void MakeFolders() = 0;
  // The whole file; nullopt when it is missing, unreadable or too large to be ours.
  virtual std::optional<std::string> Read() const = 0;
  // Replaces the file whole, or leaves it as it was and returns false.
  virtual bool Write(const std::string& contents) = 0;
};

}  // namespace tsukio
