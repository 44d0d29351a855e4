#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/timer.h"
#include "platform/tray_host.h"

namespace tsukio {

// The program's hidden top-level window: it owns the tray icons and the timers, and hears
// what Windows tells every top-level window (a restarted taskbar, resume from standby).
// Everything it hears is handed on by the handlers below; it decides nothing itself.
class Win32MessageWindow {
 public:
  Win32MessageWindow();
  ~Win32MessageWindow();
  Win32MessageWindow(const Win32MessageWindow&) = delete;
  Win32MessageWindow& operator=(const Win32MessageWindow&) = delete;

  HWND Handle() const { return window_; }
  // The message the tray sends about our icons.
  static constexpr UINT kTrayMessage = WM_APP + 1;

  std::function<void(UINT id, LPARAM event)> onTray;
  std::function<void()> onTaskbarCreated;
  std::function<void()> onResume;
  // WM_CLOSE: another program (the installer, the uninstaller) asks this one to quit.
  std::function<void()> onCloseRequest;
  // WM_TIMER, by timer id.
  std::map<UINT_PTR, std::function<void()>> timers;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  UINT taskbarCreated_ = 0;
};

// A repeating SetTimer timer on the message window.
class Win32Timer final : public Timer {
 public:
  explicit Win32Timer(Win32MessageWindow& window);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  void OnTick(std::function<void()> handler) override;
  void SetInterval(int milliseconds) override;
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

 private:
  Win32MessageWindow& window_;
  UINT_PTR id_;
  int interval_ = 1000;
  bool enabled_ = false;
  std::function<void()> handler_;
};

// One popup-menu entry; an empty caption is a separator.
struct Win32MenuEntry {
  std::string caption;  // "&" marks the access key
  std::function<void()> command;
};

// The most UTF-16 units of tooltip text NOTIFYICONDATAW holds (its zero takes the 128th).
inline constexpr std::size_t kTooltipUnits = 127;
// A tooltip as the tray holds it: cut to kTooltipUnits, never inside a surrogate pair.
std::wstring TrayTooltip(const std::string& utf8);

// A 32-bit icon with per-pixel alpha from a picture, enlarged by whole pixels to `size`.
HICON IconFromImage(const Image& picture, int size);

// One Shell_NotifyIconW icon per id. It keeps each icon's tooltip and picture, so that a new
// taskbar (TaskbarCreated) gets every icon again, in the order they were added.
class Win32TrayHost final : public TrayHost {
 public:
  Win32TrayHost(Win32MessageWindow& window, std::vector<Win32MenuEntry> menu,
                std::function<void(TrayEvent)> notify);
  ~Win32TrayHost() override;

  void AddIcon(int id, const std::string& tooltip, const Image& picture) override;
  void ModifyIcon(int id, const Image& picture) override;
  void DeleteIcon(int id) override;
  bool AddsInReverse() const override;
  std::string HostIdentity() const override;
  void OpenMenu() override;

  // The ids as added, for tests.
  std::vector<int> Ids() const;

 private:
  struct Icon {
    int id;
    std::wstring tooltip;
    Image picture;
  };
  NOTIFYICONDATAW Data(const Icon& icon, UINT flags, HICON handle) const;
  bool Send(DWORD message, const Icon& icon, UINT flags);
  void AddAgain();
  int IconSize() const;

  Win32MessageWindow& window_;
  std::vector<Win32MenuEntry> menu_;
  std::function<void(TrayEvent)> notify_;
  std::vector<Icon> icons_;
  bool menuOpen_ = false;
};

}  // namespace tsukio
