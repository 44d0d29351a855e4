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

// A one-shot timer on the headless desktop's elapsed-time clock, which the test moves. Like
// a real timer it counts elapsed time, not the wall clock: setting the wall clock leaves
// it where it was.
class FakeTimer final : public Timer {
 public:
  explicit FakeTimer(const LocalTime& elapsed) : elapsed_(elapsed) {}
  void OnTick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Start(int ms) override {
    pending_ = true;
    due_ = elapsed_ + Millis(std::max(ms, 0));
    lastDelay = ms;
  }
  void Stop() override { pending_ = false; }
  bool Pending() const override { return pending_; }

  LocalTime due() const { return due_; }
  void Fire() {
    pending_ = false;
    ++ticks;
    if (handler_) handler_();
  }
  int ticks = 0;
  int lastDelay = -1;  // the delay of the last Start

 private:
  const LocalTime& elapsed_;
  std::function<void()> handler_;
  bool pending_ = false;
  LocalTime due_{};
};

// A worker that keeps its jobs until the test lets them run, or, when `immediate`, runs each
// job and its continuation at once as if the server answered without delay.
class FakeWorker final : public Worker {
 public:
  void Run(std::function<Continuation()> job) override {
    ++started;
    if (immediate) {
      if (Continuation done = job()) done();
      return;
    }
    jobs.push_back(std::move(job));
  }
  // The oldest job runs and then its continuation, as the event loop would run it.
  void FinishOne() {
    auto job = std::move(jobs.front());
    jobs.pop_front();
    if (Continuation done = job()) done();
  }
  bool immediate = true;
  int started = 0;
  std::deque<std::function<Continuation()>> jobs;
};

struct TrayIcon {
  int id;
  std::string tooltip;
  Image picture;  // the 16 × 16 one
  std::vector<int> sizes;
};

inline std::vector<int> Sizes(const PictureSet& pictures) {
  std::vector<int> sizes;
  for (const Image& picture : pictures) sizes.push_back(picture.width);
  return sizes;
}

// A notification area that keeps its icons in the order they were added, and a log of every
// call.
class FakeTray final : public TrayHost {
 public:
  void AddIcon(int id, const std::string& tooltip, const PictureSet& pictures) override {
    log.push_back("add " + std::to_string(id));
    if (Find(id) != icons.end()) return;
    icons.push_back({id, tooltip, pictures.at(0), Sizes(pictures)});
  }
  void ModifyIcon(int id, const PictureSet& pictures) override {
    log.push_back("modify " + std::to_string(id));
    if (auto it = Find(id); it != icons.end()) {
      it->picture = pictures.at(0);
      it->sizes = Sizes(pictures);
    }
  }
  void DeleteIcon(int id) override {
    log.push_back("delete " + std::to_string(id));
    if (auto it = Find(id); it != icons.end()) icons.erase(it);
  }
  std::vector<int> LargerPictureSizes() const override { return largerSizes; }
  void OpenMenu() override { ++menusOpened; }
  bool ShowsToolTips() const override { return showsToolTips; }
  void SetMenuHeading(const std::string& text) override { menuHeading = text; }
  void OnHostChanged(std::function<void()> handler) override { hostChanged_ = std::move(handler); }

  // The panel restarts: every icon gone, and the program told so.
  void Restart() {
    icons.clear();
    if (hostChanged_) hostChanged_();
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const TrayIcon& icon : icons) ids.push_back(icon.id);
    return ids;
  }
  const TrayIcon& Icon(int id) const { return *Find(id); }

  std::vector<TrayIcon> icons;
  std::vector<std::string> log;
  int menusOpened = 0;
  bool showsToolTips = true;
  std::string menuHeading;
  std::vector<int> largerSizes;  // none: the scenarios look at the 16-pixel pictures

 private:
  std::function<void()> hostChanged_;
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
  // `worker`: another worker for the clock setting than the fake one, e.g. a real thread.
  explicit HeadlessDesktop(LocalTime start, Worker* worker = nullptr)
      : now_(start),
        elapsed_(start),
        minuteTimer_(elapsed_),
        autoUpdateTimer_(elapsed_),
        syncStatusTimer_(elapsed_),
        clockSync_{sync.services, syncStatusTimer_, worker != nullptr ? *worker : this->worker} {
    sync.ticks.follow = &elapsed_;
    sync.clock.follow = &now_;
  }

  LocalDateTime Now() const override {
    const auto day = chr::floor<chr::days>(now_);
    const chr::hh_mm_ss<Millis> time{now_ - day};
    return {chr::year_month_day{day}, static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
            static_cast<int>(time.subseconds().count())};
  }
  LocalTime WallTime() const { return now_; }

  // Lets time pass: the wall clock and elapsed time move on together, and every timer that
  // falls due on the way fires, in order.
  void Advance(Millis by) {
    const LocalTime end = elapsed_ + by;
    for (;;) {
      FakeTimer* next = nullptr;
      for (FakeTimer* timer : {&minuteTimer_, &autoUpdateTimer_, &syncStatusTimer_}) {
        if (timer->Pending() && timer->due() <= end && (!next || timer->due() < next->due())) {
          next = timer;
        }
      }
      if (next == nullptr) break;
      now_ += next->due() - elapsed_;
      elapsed_ = next->due();
      next->Fire();
    }
    now_ += end - elapsed_;
    elapsed_ = end;
  }
  // Sets the wall clock alone, as setting the clock or a machine that slept does: elapsed
  // time, and with it every timer, stays where it was.
  void Jump(LocalTime to) { now_ = to; }

  FakeWorker worker;

  FakeTray tray;
  FakeWindow window;
  FakeSettings settings;
  RecordingPainter painter;
  FakeSyncWorld sync;
  FakeAutostart autostart;
  FakeTimer& minuteTimer() { return minuteTimer_; }
  FakeTimer& autoUpdateTimer() { return autoUpdateTimer_; }
  FakeTimer& syncStatusTimer() { return syncStatusTimer_; }
  Desktop& desktop() { return desktop_; }

 private:
  LocalTime now_;      // the wall clock, local time
  LocalTime elapsed_;  // what the timers count
  FakeTimer minuteTimer_;
  FakeTimer autoUpdateTimer_;
  FakeTimer syncStatusTimer_;
  ClockSync clockSync_;
  Desktop desktop_{*this,  tray,     minuteTimer_, autoUpdateTimer_, painter,
                   window, settings, autostart,    &clockSync_};
};

inline LocalTime At(int y, unsigned m, unsigned d, int hour = 0, int minute = 0, int second = 0) {
  return chr::sys_days{chr::year{y} / m / d} + chr::hours{hour} + chr::minutes{minute} +
         chr::seconds{second};
}

}  // namespace tsukio::testing
