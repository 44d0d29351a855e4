#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <map>
#include <memory>

#include "platform/tray_host.h"

namespace tsukio {

// One QSystemTrayIcon per id: a StatusNotifierItem where a watcher runs, XEmbed otherwise.
// Every icon carries the popup menu, so hosts that open menus themselves have it too.
class QtTrayHost final : public TrayHost {
 public:
  QtTrayHost(QMenu& menu, std::function<void(TrayEvent)> notify);
  ~QtTrayHost() override;

  void AddIcon(int id, const std::string& tooltip, const Image& picture) override;
  void ModifyIcon(int id, const Image& picture) override;
  void DeleteIcon(int id) override;
  bool AddsInReverse() const override;
  std::string HostIdentity() const override;
  void OpenMenu() override;

  // The icons as Qt holds them, for tests.
  const QSystemTrayIcon* Icon(int id) const;
  std::vector<int> Ids() const;

 private:
  QMenu& menu_;
  std::function<void(TrayEvent)> notify_;
  std::vector<std::pair<int, std::unique_ptr<QSystemTrayIcon>>> icons_;
  bool menuOpening_ = false;
  mutable std::pair<std::string, bool> reversedFor_;  // the host last asked about, and its answer
};

// The D-Bus name that owns the StatusNotifierWatcher, empty when none runs.
std::string StatusNotifierWatcherOwner();
// The X window that owns the system tray selection of the default screen, empty without X.
std::string XEmbedTrayOwner();

}  // namespace tsukio
