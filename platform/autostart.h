#pragma once

#include <string>

namespace tsukio {

// Whether the desktop starts the program at login. The desktop keeps this itself, so it is
// never a key of the settings file: the user can also change it from the desktop's own
// session settings, and the program reads it afresh each time.
class Autostart {
 public:
  virtual ~Autostart() = default;
  // Where the desktop keeps it, as the user would look for it.
  virtual std::string Path() const = 0;
  // The program is started at login.
  virtual bool Exists() const = 0;
  // Each returns false when the change could not be made, and then changes nothing.
  virtual bool Enable() = 0;
  virtual bool Disable() = 0;
};

}  // namespace tsukio
