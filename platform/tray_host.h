#pragma once

#include <string>

#include "platform/image.h"

namespace tsukio {

// What the tray reports of the mouse: a press of the left or right button, or anything else.
enum class TrayEvent { kLeftButtonDown, kRightButtonDown, kOther };

// The desktop's notification area. Icons are told apart by a small number; adding an id
// that is present, or deleting one that is not, changes nothing.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  virtual void AddIcon(int id, const std::string& tooltip, const Image& picture) = 0;
  virtual void ModifyIcon(int id, const Image& picture) = 0;
  virtual void DeleteIcon(int id) = 0;
  // Whether icons added one after another show in the opposite order on this host.
  virtual bool AddsInReverse() const = 0;
  // Who hosts the icons now (empty when nobody does); a change means a new host that has
  // none of our icons.
  virtual std::string HostIdentity() const = 0;
  // Opens the popup menu at the mouse cursor, unless the host has already opened it.
  virtual void OpenMenu() = 0;
};

}  // namespace tsukio
