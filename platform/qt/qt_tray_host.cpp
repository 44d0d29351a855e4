#include "platform/qt/qt_tray_host.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstring>

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

namespace {

#ifdef TSUKIO_HAVE_XCB
xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 == nullptr ? nullptr : x11->connection();
}
#endif

// What the X window that owns the tray calls itself ("trayer"): its class, else its name.
std::string XEmbedTrayName(const std::string& owner) {
#ifdef TSUKIO_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (c == nullptr || !owner.starts_with("x11:")) return {};
  const auto window = static_cast<xcb_window_t>(std::stoul(owner.substr(4)));
  for (const xcb_atom_t property : {XCB_ATOM_WM_CLASS, XCB_ATOM_WM_NAME}) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_ATOM_STRING, 0, 64), nullptr);
    if (reply == nullptr) continue;
    const auto* value = static_cast<const char*>(xcb_get_property_value(reply));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
    // WM_CLASS holds the instance name first, ended by a zero.
    const std::string name(value, strnlen(value, length));
    std::free(reply);
    if (!name.empty()) return name;
  }
  return {};
#else
  (void)owner;
  return {};
#endif
}

}  // namespace

std::string XEmbedTrayOwner() {
#ifdef TSUKIO_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (c == nullptr) return {};
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

// Hosts differ in where a new icon goes. StatusNotifierItem hosts and most XEmbed trays
// append it; trayer puts it first, so the row must be added last icon first there.
bool QtTrayHost::AddsInReverse() const {
  const std::string host = HostIdentity();
  if (host != reversedFor_.first) reversedFor_ = {host, XEmbedTrayName(host) == "trayer"};
  return reversedFor_.second;
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
