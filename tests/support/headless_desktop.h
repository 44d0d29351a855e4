#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/core/tray_calendar.h"
#include "tests/support/fake_sync.h"
#include "tests/support/recording_painter.h"

namespace tsukio::testing {

namespace chr = std::chrono;
using Millis = chr::milliseconds;
using LocalTime = chr::sys_time<Millis>;  // local wall time, no zone

class HeadlessDesktop;

// A timer that runs on the headless desktop's clock, advanced by the test.
class FakeTimer final : public Timer {
 public:
  explicit FakeTimer(const LocalTime& now) : now_(now) {}
  void OnTick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void SetInterval(int ms) override {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) due_ = now_ + Millis(ms);
  }
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override {
    if (enabled && !enabled_) due_ = now_ + Millis(interval_);
    enabled_ = enabled;
  }
  bool Enabled() const override { return enabled_; }

  LocalTime due() const { return due_; }
  void Fire() {
    due_ += Millis(interval_);
    ++ticks;
    if (handler_) handler_();
  }
  int ticks = 0;

 private:
  const LocalTime& now_;
  std::function<void()> handler_;
  int interval_ = 1000;
  bool enabled_ = false;
  LocalTime due_{};
};

struct TrayIcon {
  int id;
  std::string tooltip;
  Image picture;
};

// A notification area that keeps its icons in the order they show, and a log of every call.
class FakeTray final : public TrayHost {
 public:
  void AddIcon(int id, const std::string& tooltip, const Image& picture) override {
    log.push_back("add " + std::to_string(id));
    if (Find(id) != icons.end()) return;
    if (prepends) {
      icons.insert(icons.begin(), {id, tooltip, picture});
    } else {
      icons.push_back({id, tooltip, picture});
    }
  }
  void ModifyIcon(int id, const Image& picture) override {
    log.push_back("modify " + std::to_string(id));
    if (auto it = Find(id); it != icons.end()) it->picture = picture;
  }
  void DeleteIcon(int id) override {
    log.push_back("delete " + std::to_string(id));
    if (auto it = Find(id); it != icons.end()) icons.erase(it);
  }
  bool AddsInReverse() const override { return prepends; }
  std::string HostIdentity() const override { return identity; }
  void OpenMenu() override { ++menusOpened; }

  // The panel restarts: a new host, and every icon gone.
  void Restart(std::string newIdentity) {
    icons.clear();
    identity = std::move(newIdentity);
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const TrayIcon& icon : icons) ids.push_back(icon.id);
    return ids;
  }
  const TrayIcon& Icon(int id) const { return *Find(id); }

  std::vector<TrayIcon> icons;
  std::vector<std::string> log;
  bool prepends = false;
  std::string identity = ":1.10";
  int menusOpened = 0;

 private:
  std::vector<TrayIcon>::iterator Find(int id) {
    return std::find_if(icons.begin(), icons.end(), [id](const TrayIcon& i) { return i.id == id; });
  }
  std::vector<TrayIcon>::const_iterator Find(int id) const {
    return std::find_if(icons.begin(), icons.end(), [id](const TrayIcon& i) { return i.id == id; });
  }
};

class FakeWindow final : public MainWindowView {
 public:
  void Render(const MainWindowModel& model) override {
    shown = model;
    ++renders;
  }
  void Close() override { closed = true; }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }
  void OpenUrl(std::string_view address) override { opened.emplace_back(address); }
  int DisplayDpi() const override { return dpi; }

  MainWindowModel shown;
  int renders = 0;
  bool closed = false;
  std::vector<std::string> errors;
  std::vector<std::string> opened;
  int dpi = 96;
};

// The settings file in memory; absent until written. It can be made unreadable (kept as it
// is, with a reason) and its writes made to fail.
class FakeSettings final : public SettingsStorage {
 public:
  std::string Path() const override { return "/home/user/.config/Quorv/Tsukio/tsukio.ini"; }
  void MakeFolders() override { ++folderCalls; }
  StoredSettings Read() const override {
    ++reads;
    if (!unreadable.empty()) return {StoredSettings::Status::kUnreadable, {}, unreadable};
    if (!contents) return {};
    return {StoredSettings::Status::kRead, *contents, {}};
  }
  StorageWrite Write(const std::string& text) override {
    if (failWrites) return {false, "ディスクがいっぱいです"};
    contents = text;
    ++writes;
    return {};
  }

  std::optional<std::string> contents;
  std::string unreadable;  // not empty: the file is there but cannot be read, for this reason
  mutable int reads = 0;
  bool failWrites = false;
  int writes = 0;
  int folderCalls = 0;
};

// The login entry as a flag; changes can be made to fail.
class FakeAutostart final : public Autostart {
 public:
  std::string Path() const override { return "/home/user/.config/autostart/tsukio.desktop"; }
  bool Exists() const override { return present; }
  bool Enable() override { return Change(true); }
  bool Disable() override { return Change(false); }

  bool present = false;
  bool failChanges = false;
  int changes = 0;

 private:
  bool Change(bool to) {
    if (failChanges) return false;
    present = to;
    ++changes;
    return true;
  }
};

// The whole desktop without a display: a settable clock, timers the test advances by hand,
// a recording tray and window, a painter that draws nothing, and a scripted network with a
// clock setter that only records.
class HeadlessDesktop final : public Clock {
 public:
  explicit HeadlessDesktop(LocalTime start)
      : now_(start), minuteTimer_(now_), syncStatusTimer_(now_) {
    sync.ticks.follow = &now_;
    sync.clock.follow = &now_;
  }

  LocalDateTime Now() const override {
    const auto day = chr::floor<chr::days>(now_);
    const chr::hh_mm_ss<Millis> time{now_ - day};
    return {chr::year_month_day{day}, static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count())};
  }

  // Moves the clock on, firing every timer that falls due on the way, in order.
  void Advance(Millis by) {
    const LocalTime end = now_ + by;
    for (;;) {
      FakeTimer* next = nullptr;
      for (FakeTimer* timer : {&minuteTimer_, &syncStatusTimer_}) {
        if (timer->Enabled() && timer->due() <= end && (!next || timer->due() < next->due())) {
          next = timer;
        }
      }
      if (next == nullptr) break;
      now_ = next->due();
      next->Fire();
    }
    now_ = end;
  }
  // Sets the clock without any timer firing, as a suspended machine sees it.
  void Jump(LocalTime to) {
    now_ = to;
    for (FakeTimer* timer : {&minuteTimer_, &syncStatusTimer_}) {
      if (timer->Enabled() && timer->due() < now_) {
        timer->SetEnabled(false);
        timer->SetEnabled(true);
      }
    }
  }

  FakeTray tray;
  FakeWindow window;
  FakeSettings settings;
  RecordingPainter painter;
  FakeSyncWorld sync;
  FakeAutostart autostart;
  FakeTimer& minuteTimer() { return minuteTimer_; }
  FakeTimer& syncStatusTimer() { return syncStatusTimer_; }
  Desktop& desktop() { return desktop_; }

 private:
  LocalTime now_;
  FakeTimer minuteTimer_;
  FakeTimer syncStatusTimer_;
  ClockSync clockSync_{sync.services, syncStatusTimer_};
  Desktop desktop_{*this, tray, minuteTimer_, painter, window, settings, autostart, &clockSync_};
};

inline LocalTime At(int y, unsigned m, unsigned d, int hour = 0, int minute = 0, int second = 0) {
  return chr::sys_days{chr::year{y} / m / d} + chr::hours{hour} + chr::minutes{minute} +
         chr::seconds{second};
}

}  // namespace tsukio::testing
