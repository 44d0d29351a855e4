#pragma once

#include <string>
#include <string_view>

#include "platform/autostart.h"

namespace tsukio {

// ConfigHome() / autostart / tsukio.desktop: named as the application menu's entry, so a
// desktop's session settings show the two as one program.
std::string AutostartFilePath();

// The login entry made from the application menu's entry: the same names, comments and icon,
// but starting `executable` by its absolute path.
std::string AutostartEntry(std::string_view menuEntry, const std::string& executable);

// An XDG autostart entry: a desktop file in the user's autostart folder.
class AutostartFile final : public Autostart {
 public:
  AutostartFile(std::string path, std::string entry)
      : path_(std::move(path)), entry_(std::move(entry)) {}
  std::string Path() const override { return path_; }
  bool Exists() const override;
  bool Enable() override;
  bool Disable() override;

 private:
  std::string path_;
  std::string entry_;
};

}  // namespace tsukio
