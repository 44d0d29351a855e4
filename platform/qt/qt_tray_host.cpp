#include "platform/qt/qt_tray_host.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <algorithm>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define TSUKIO_HAVE_XCB 1
#endif

namespace tsukio {

namespace {

QIcon ToIcon(const Image& picture) {
  const QImage view(reinterpret_cast<const uchar*>(picture.argb.data()), picture.width,
                    picture.height, picture.width * 4, QImage::Format_ARGB32);
  return QIcon(QPixmap::fromImage(view.copy()));
}

}  // namespace

std::string StatusNotifierWatcherOwner() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return {};
  const auto reply = bus.interface()->serviceOwner(QStringLiteral("org.kde.StatusNotifierWatcher"));
  return reply.isValid() ? reply.value().toStdString() : std::string{};
}

std::string XEmbedTrayOwner() {
#ifdef TSUKIO_HAVE_XCB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) return {};
  xcb_connection_t* c = x11->connection();
  const std::string name = "_NET_SYSTEM_TRAY_S0";
  const auto atomCookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str());
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, atomCookie, nullptr);
  if (atom == nullptr) return {};
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
  std::free(atom);
  if (owner == nullptr) return {};
  const xcb_window_t window = owner->owner;
  std::free(owner);
  return window == XCB_NONE ? std::string{} : "x11:" + std::to_string(window);
#else
  return {};
#endif
}

QtTrayHost::QtTrayHost(QMenu& menu, std::function<void(TrayEvent)> notify)
    : menu_(menu), notify_(std::move(notify)) {
  // Hosts that open the menu themselves send no right-button press; the menu's opening
  // stands for it, so the window still hides as for a right click.
  QObject::connect(&menu_, &QMenu::aboutToShow, [this] {
    menuOpening_ = true;
    notify_(TrayEvent::kRightButtonDown);
    menuOpening_ = false;
  });
}

QtTrayHost::~QtTrayHost() = default;

void QtTrayHost::AddIcon(int id, const std::string& tooltip, const Image& picture) {
  if (Icon(id) != nullptr) return;
  auto icon = std::make_unique<QSystemTrayIcon>(ToIcon(picture));
  icon->setToolTip(QString::fromStdString(tooltip));
  icon->setContextMenu(&menu_);
  QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     switch (reason) {
                       case QSystemTrayIcon::Trigger:
                         notify_(TrayEvent::kLeftButtonDown);
                         break;
                       case QSystemTrayIcon::Context:
                         notify_(TrayEvent::kRightButtonDown);
                         break;
                       default:
                         notify_(TrayEvent::kOther);
                     }
                   });
  icon->show();
  icons_.emplace_back(id, std::move(icon));
}

void QtTrayHost::ModifyIcon(int id, const Image& picture) {
  for (auto& [iconId, icon] : icons_) {
    if (iconId == id) icon->setIcon(ToIcon(picture));
  }
}

void QtTrayHost::DeleteIcon(int id) {
  const auto it =
      std::find_if(icons_.begin(), icons_.end(), [id](const auto& e) { return e.first == id; });
  if (it == icons_.end()) return;
  it->second->hide();
  icons_.erase(it);
}

// XEmbed trays and StatusNotifierItem hosts seen so far show icons in the order they arrive.
bool QtTrayHost::AddsInReverse() const {
  return false;
}

std::string QtTrayHost::HostIdentity() const {
  const std::string watcher = StatusNotifierWatcherOwner();
  return watcher.empty() ? XEmbedTrayOwner() : "dbus:" + watcher;
}

void QtTrayHost::OpenMenu() {
  if (menuOpening_ || menu_.isVisible()) return;
  menu_.popup(QCursor::pos());
}

const QSystemTrayIcon* QtTrayHost::Icon(int id) const {
  for (const auto& [iconId, icon] : icons_) {
    if (iconId == id) return icon.get();
  }
  return nullptr;
}

std::vector<int> QtTrayHost::Ids() const {
  std::vector<int> ids;
  for (const auto& entry : icons_) ids.push_back(entry.first);
  return ids;
}

}  // namespace tsukio
