#pragma once

#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/timer.h"
#include "platform/tray_host.h"
#include "platform/worker.h"
#include "tray/planned_tray_host.h"

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
  // A worker's continuation, posted from its thread: lParam owns a std::function<void()>.
  static constexpr UINT kContinuationMessage = WM_APP + 2;
  // The tray's changes, gathered into one pass over the row.
  static constexpr UINT kTrayFlushMessage = WM_APP + 3;

  std::function<void(UINT id, LPARAM event)> onTray;
  std::function<void()> onTaskbarCreated;
  std::function<void()> onResume;
  // WM_TIMECHANGE: the wall clock was set.
  std::function<void()> onTimeChange;
  std::function<void()> onTrayFlush;
  // WM_CLOSE: another program (the installer, the uninstaller) asks this one to quit.
  std::function<void()> onCloseRequest;
  // WM_TIMER, by timer id.
  std::map<UINT_PTR, std::function<void()>> timers;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  UINT taskbarCreated_ = 0;
};

// A one-shot timer: SetTimer on the message window, killed at its first tick.
class Win32Timer final : public Timer {
 public:
  explicit Win32Timer(Win32MessageWindow& window);
  ~Win32Timer() override;
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  void OnTick(std::function<void()> handler) override;
  void Start(int milliseconds) override;
  void Stop() override;
  bool Pending() const override { return pending_; }

 private:
  Win32MessageWindow& window_;
  UINT_PTR id_;
  bool pending_ = false;
  std::function<void()> handler_;
};

// Each job on a thread of its own; its continuation is posted to the message window and runs
// there. Destroying the worker never waits for a job: one still running finishes on its own
// and its continuation is dropped.
class Win32Worker final : public Worker {
 public:
  explicit Win32Worker(Win32MessageWindow& window);
  ~Win32Worker() override;
  Win32Worker(const Win32Worker&) = delete;
  Win32Worker& operator=(const Win32Worker&) = delete;

  void Run(std::function<Continuation()> job) override;
  // Whether a job is running or its continuation waits to run.
  bool Busy() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
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

// The notification areas of Windows XP to Windows 8.1 (NT 5.1 to 6.3), and wine's, put a new
// icon on the left of those already there; earlier and later versions on the right.
TrayPlacement SystemTrayPlacement();

// One Shell_NotifyIconW icon per id. Changes are gathered and made in one pass (Flush, posted
// to the message window) that carries out the row planner's plan, so the row reads in the
// order the icons were added whatever side the taskbar puts a newcomer on. A delete and add of
// the same id in one pass is a change of picture, so the icon keeps its place.
class Win32TrayHost final : public PlannedTrayHost {
 public:
  Win32TrayHost(Win32MessageWindow& window, std::vector<Win32MenuEntry> menu,
                std::function<void(TrayEvent)> notify,
                TrayPlacement placement = SystemTrayPlacement());
  ~Win32TrayHost() override;

  std::vector<int> LargerPictureSizes() const override;
  void OpenMenu() override;
  void OnHostChanged(std::function<void()> handler) override;

  // Makes the gathered changes now.
  void Flush();
  // Told of each message to the taskbar, for tests: "+id" added, "-id" deleted, "~id" changed.
  std::function<void(const std::string&)> onSent;

 private:
  struct Icon {
    int id;
    std::wstring tooltip;
    PictureSet pictures;
  };
  NOTIFYICONDATAW Data(const Icon& icon, UINT flags, HICON handle) const;
  bool Send(DWORD message, const Icon& icon, UINT flags);
  void ScheduleFlush() override;
  void TaskbarCreated();
  void Update(Icon& shown, const Icon& wanted);
  static std::vector<int> IdsOf(const std::vector<Icon>& icons);
  int IconSize() const;

  Win32MessageWindow& window_;
  std::vector<Win32MenuEntry> menu_;
  std::function<void(TrayEvent)> notify_;
  TrayPlacement placement_;
  std::function<void()> hostChanged_;
  std::vector<Icon> shown_;  // as the taskbar has them, left to right
  bool flushPosted_ = false;
  bool menuOpen_ = false;
};

}  // namespace tsukio
