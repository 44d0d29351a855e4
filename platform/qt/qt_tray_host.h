#pragma once

#include <QAbstractNativeEventFilter>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/sni_item.h"
#include "platform/tray_host.h"
#include "tray/planned_tray_host.h"

class QDBusServiceWatcher;

namespace tsukio {

// Which kind of notification area is taking our icons.
enum class TrayKind { kNone, kStatusNotifier, kXEmbed };

// The notification area on Linux: each icon its own StatusNotifierItem where a watcher runs
// on the session bus, a QSystemTrayIcon (XEmbed) where only an X tray does, and nothing
// but a wait where neither does. Changes of the host arrive as events (the watcher's name
// changing owner, the X tray selection changing owner) and bring every icon back.
//
// Calls of one refresh are gathered and applied together when the event loop next runs:
// an icon deleted and added again keeps its place and only gets its new picture and
// tooltip, and the icons the host lacks are added in the order that makes the row read as
// the program added it on this host.
class QtTrayHost final : public QObject,
                         public PlannedTrayHost,
                         private QAbstractNativeEventFilter {
 public:
  // `busAddress` empty: the session bus.
  QtTrayHost(QMenu& menu, std::function<void(TrayEvent)> notify, QString busAddress = {});
  ~QtTrayHost() override;

  std::vector<int> LargerPictureSizes() const override;
  void OpenMenu() override;
  bool ShowsToolTips() const override { return showsToolTips_; }
  void SetMenuHeading(const std::string& text) override;
  void OnHostChanged(std::function<void()> handler) override;

  // Applies the gathered calls now rather than when the event loop next runs.
  void Flush();

  // For tests: the kind of host in use, the icons as the program wants them, in order, and
  // as they are shown.
  TrayKind Kind() const { return kind_; }
  TrayPlacement Placement() const { return placement_; }
  std::string Tooltip(int id) const;
  const QSystemTrayIcon* Icon(int id) const;
  const SniItem* Item(int id) const;

 private:
  struct Shown {
    int id;
    std::unique_ptr<SniItem> item;
    std::unique_ptr<QSystemTrayIcon> icon;
    std::vector<Image> pictures;  // what the X tray icon shows, so the same is not sent again
  };

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
  void ScheduleFlush() override;
  void HostMayHaveChanged();
  void LookAtHost(bool told);
  std::unique_ptr<Shown> Show(const WantedIcon& wanted);
  void Update(Shown& shown, const WantedIcon& wanted);
  void RegisterNext();
  void WatchXTraySelection();

  QMenu& menu_;
  std::function<void(TrayEvent)> notify_;
  std::function<void()> hostChanged_;
  QString busAddress_;
  SniItemOwner owner_;
  std::vector<std::unique_ptr<Shown>> shown_;  // as the host shows them, left to right
  std::deque<SniItem*> toRegister_;
  bool registering_ = false;
  int generation_ = 0;  // counts hosts, so a late answer from an old one is ignored
  TrayKind kind_ = TrayKind::kNone;
  TrayPlacement placement_ = TrayPlacement::kAppends;
  bool showsToolTips_ = true;
  bool registersAtOnce_ = false;  // every registration sent at once, not each after an answer
  std::chrono::milliseconds registrationGap_{0};  // between an answer and the next registration
  // The menu's heading and the separator under it, made when first needed.
  QAction* menuHeading_ = nullptr;
  QAction* menuHeadingRule_ = nullptr;
  std::string host_;  // who hosts the icons now: "dbus:<name>", "x11:<window>" or empty
  QTimer flushTimer_;
  QTimer hostTimer_;
  QDBusServiceWatcher* watcherWatch_ = nullptr;
  std::uint8_t xfixesEvent_ = 0;  // XFixes' first event code, 0 without XFixes
  bool menuOpening_ = false;
  bool hostMenu_ = false;
  std::optional<QPoint> menuAt_;
  bool toldWaiting_ = false;
};

// The D-Bus name that owns the StatusNotifierWatcher, empty when none runs.
std::string StatusNotifierWatcherOwner(const QDBusConnection& bus);
// The X window that owns the system tray selection of the default screen, empty without X.
std::string XEmbedTrayOwner();

}  // namespace tsukio
