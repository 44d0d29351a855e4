#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/image.h"

namespace tsukio {

// What the tray reports of the mouse: a press of the left or right button, or anything else.
enum class TrayEvent { kLeftButtonDown, kRightButtonDown, kOther };

// The desktop's notification area. Icons are told apart by a small number; adding an id
// that is present, or deleting one that is not, changes nothing.
//
// The icons of one refresh are added in the order they should read, left to right. Hosts
// differ in where they put a new icon (after the others, before them, sorted by name);
// making the row read as added on this host is the implementation's job, not the caller's.
// A refresh may delete every icon and add it again: an implementation is free to turn a
// delete followed by an add of the same id into a change of picture and tooltip, so the
// icon keeps its place.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // The pictures are the icon drawn at each size the program offers (16 × 16 first); a host
  // that can take only one uses the first.
  virtual void AddIcon(int id, const std::string& tooltip, const PictureSet& pictures) = 0;
  virtual void ModifyIcon(int id, const PictureSet& pictures) = 0;
  virtual void DeleteIcon(int id) = 0;
  // The sizes above 16 × 16, in pixels, that this host may show icons at; the pictures are
  // drawn at each of them as well.
  virtual std::vector<int> LargerPictureSizes() const = 0;
  // Opens the popup menu at the mouse cursor, unless the host has already opened it.
  virtual void OpenMenu() = 0;
  // Whether the host shows an icon's tooltip when the pointer rests on it. Where it does
  // not, what the tooltips tell must be found elsewhere.
  virtual bool ShowsToolTips() const { return true; }
  // A line of text above the menu's commands that does nothing when chosen; empty: none.
  virtual void SetMenuHeading(const std::string& text) { (void)text; }
  // `handler` runs, on the program's own thread, whenever another notification area takes
  // over (a panel restarted, or one appeared after start-up): it shows none of our icons,
  // so every icon must be added again.
  virtual void OnHostChanged(std::function<void()> handler) = 0;
};

}  // namespace tsukio
