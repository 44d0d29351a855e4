#include "tray/tray_icons.h"

namespace tsukio {

void AddTrayIcon(TrayHost& tray, TrayIconId id, const std::string& tooltip, const Glyph& picture) {
  tray.AddIcon(id, tooltip, GlyphPictures(picture));
}

void ModifyTrayIcon(TrayHost& tray, TrayIconId id, const Glyph& picture) {
  tray.ModifyIcon(id, GlyphPictures(picture));
}

void DeleteTrayIcon(TrayHost& tray, TrayIconId id) {
  tray.DeleteIcon(id);
}

}  // namespace tsukio
