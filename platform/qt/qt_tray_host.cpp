#include "platform/qt/qt_tray_host.h"

#include <QAction>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tray/tray_icons.h"

#if __has_include(<xcb/xcb.h>) && __has_include(<xcb/xfixes.h>)
#include <xcb/xcb.h>
#include <xcb/xfixes.h>
#define TSUKIO_HAVE_XCB 1
#endif

namespace tsukio {

namespace {

constexpr auto kWatcherName = "org.kde.StatusNotifierWatcher";

QIcon ToIcon(const std::vector<Image>& pictures) {
  QIcon icon;
  for (const Image& picture : pictures) {
    const QImage view(reinterpret_cast<const uchar*>(picture.argb.data()), picture.width,
                      picture.height, picture.width * 4, QImage::Format_ARGB32);
    icon.addPixmap(QPixmap::fromImage(view.copy()));
  }
  return icon;
}

#ifdef TSUKIO_HAVE_XCB
xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 == nullptr ? nullptr : x11->connection();
}

xcb_atom_t TraySelection(xcb_connection_t* c) {
  const std::string name = "_NET_SYSTEM_TRAY_S0";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  if (atom == nullptr) return XCB_NONE;
  const xcb_atom_t result = atom->atom;
  std::free(atom);
  return result;
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
#else
  (void)owner;
#endif
  return {};
}

// The program behind a bus name as it was started ("/usr/lib/.../xfce4/panel/wrapper-2.0"),
// empty if unknown.
std::string ProcessPath(const QDBusConnection& bus, const std::string& busName) {
  if (bus.interface() == nullptr) return {};
  const auto pid = bus.interface()->servicePid(QString::fromStdString(busName));
  if (!pid.isValid()) return {};
  QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid.value()));
  if (!cmdline.open(QIODevice::ReadOnly)) return {};
  const QByteArray arguments = cmdline.readAll();
  return arguments.left(arguments.indexOf('\0')).toStdString();
}

// GNOME Shell hosts items through its AppIndicator extension, in the shell's own process.
bool IsGnomeShell(const std::string& program) {
  return program == "gnome-shell" || program.ends_with("/gnome-shell");
}

// Measured: trayer puts a new icon before the others and waybar after them. xfce4-panel's
// status tray (in the panel or in its plugin wrapper) keeps a list of the item ids it has
// met, newest first, saved with the panel's settings, and shows items in that order, so
// registering again moves nothing there. Plasma sorts by title, which the titles above are
// made for. GNOME Shell's AppIndicator extension puts each item it meets in front of the
// ones it shows, on X11 and on Wayland, and remembers nothing across restarts.
TrayPlacement PlacementOf(TrayKind kind, const std::string& program) {
  if (kind == TrayKind::kXEmbed) {
    return program == "trayer" ? TrayPlacement::kPrepends : TrayPlacement::kAppends;
  }
  if (IsGnomeShell(program)) return TrayPlacement::kPrepends;
  return program.find("xfce4") != std::string::npos ? TrayPlacement::kRemembers
                                                    : TrayPlacement::kAppends;
}

// GNOME Shell's extension answers a registration only once the item is in the panel, and
// not before the shell has finished starting; it places items in the order their
// registrations reach it, so they may all be under way at once over one connection.
bool TakesRegistrationsAtOnce(TrayKind kind, const std::string& program) {
  return kind == TrayKind::kStatusNotifier && IsGnomeShell(program);
}

// xfce4-panel runs its status tray as a plugin in a process of its own, and the panel stops
// following the plugin's width when items arrive in quick succession: measured, in 8 to 11
// of 30 panel starts it showed only the first one or two icons for good; with each item
// registered 100 ms after the one before, in none of 30. Twice that, for slower machines.
std::chrono::milliseconds RegistrationGap(TrayKind kind, const std::string& program) {
  const bool xfce = kind == TrayKind::kStatusNotifier && program.find("xfce4") != std::string::npos;
  return std::chrono::milliseconds(xfce ? 200 : 0);
}

// GNOME Shell's extension shows an item's title and icon, never its tooltip.
bool HostShowsToolTips(TrayKind kind, const std::string& program) {
  return kind != TrayKind::kStatusNotifier || !IsGnomeShell(program);
}

QDBusConnection WatchConnection(const QString& address) {
  return address.isEmpty()
             ? QDBusConnection::sessionBus()
             : QDBusConnection::connectToBus(address, QStringLiteral("tsukio-sni-watch"));
}

}  // namespace

std::string StatusNotifierWatcherOwner(const QDBusConnection& bus) {
  if (!bus.isConnected() || bus.interface() == nullptr) return {};
  const auto reply = bus.interface()->serviceOwner(QString::fromLatin1(kWatcherName));
  return reply.isValid() ? reply.value().toStdString() : std::string{};
}

std::string XEmbedTrayOwner() {
#ifdef TSUKIO_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (c == nullptr) return {};
  const xcb_atom_t atom = TraySelection(c);
  if (atom == XCB_NONE) return {};
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr);
  if (owner == nullptr) return {};
  const xcb_window_t window = owner->owner;
  std::free(owner);
  return window == XCB_NONE ? std::string{} : "x11:" + std::to_string(window);
#else
  return {};
#endif
}

QtTrayHost::QtTrayHost(QMenu& menu, std::function<void(TrayEvent)> notify, QString busAddress)
    : menu_(menu),
      notify_(std::move(notify)),
      busAddress_(std::move(busAddress)),
      owner_{menu, {}, {}, {}} {
  owner_.leftClick = [this] { notify_(TrayEvent::kLeftButtonDown); };
  owner_.menuAboutToShow = [this] {
    hostMenu_ = true;
    notify_(TrayEvent::kRightButtonDown);
    hostMenu_ = false;
  };
  owner_.contextMenu = [this](QPoint at) {
    // A Wayland menu needs a window of ours to hang from, and with none shown it would
    // become a window of its own; there the host shows the exported menu instead.
    if (QGuiApplication::platformName() == QStringLiteral("wayland")) {
      owner_.menuAboutToShow();
      return;
    }
    menuAt_ = at;
    notify_(TrayEvent::kRightButtonDown);
    menuAt_.reset();
  };
  // Hosts that open the menu themselves send no right-button press; the menu's opening
  // stands for it, so the window still hides as for a right click.
  QObject::connect(&menu_, &QMenu::aboutToShow, this, [this] {
    menuOpening_ = true;
    notify_(TrayEvent::kRightButtonDown);
    menuOpening_ = false;
  });

  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(0);
  QObject::connect(&flushTimer_, &QTimer::timeout, this, [this] { Flush(); });
  // A panel restart changes several owners in a row (xfce4-panel holds both the watcher and
  // the X tray); one look after they settle. waybar also needs them: it starts its host a
  // moment after its watcher, and items that reach the watcher before the host is up show
  // in the wrong order.
  hostTimer_.setSingleShot(true);
  hostTimer_.setInterval(250);
  QObject::connect(&hostTimer_, &QTimer::timeout, this, [this] { LookAtHost(true); });

  const QDBusConnection bus = WatchConnection(busAddress_);
  if (bus.isConnected()) {
    watcherWatch_ = new QDBusServiceWatcher(QString::fromLatin1(kWatcherName), bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    QObject::connect(watcherWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                     [this] { HostMayHaveChanged(); });
  }
  WatchXTraySelection();
  LookAtHost(false);
}

QtTrayHost::~QtTrayHost() {
  if (xfixesEvent_ != 0 && qApp != nullptr) qApp->removeNativeEventFilter(this);
  toRegister_.clear();
  shown_.clear();
  if (!busAddress_.isEmpty()) {
    delete watcherWatch_;
    QDBusConnection::disconnectFromBus(QStringLiteral("tsukio-sni-watch"));
  }
}

void QtTrayHost::WatchXTraySelection() {
#ifdef TSUKIO_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (c == nullptr) return;
  const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
  if (xfixes == nullptr || !xfixes->present) return;
  std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
  const xcb_atom_t atom = TraySelection(c);
  if (atom == XCB_NONE) return;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_xfixes_select_selection_input(c, root, atom,
                                    XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
  xcb_flush(c);
  xfixesEvent_ = xfixes->first_event;
  qApp->installNativeEventFilter(this);
#endif
}

bool QtTrayHost::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
#ifdef TSUKIO_HAVE_XCB
  if (xfixesEvent_ != 0 && type == "xcb_generic_event_t") {
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) == xfixesEvent_ + XCB_XFIXES_SELECTION_NOTIFY) {
      HostMayHaveChanged();
    }
  }
#else
  (void)type;
  (void)message;
#endif
  return false;
}

void QtTrayHost::HostMayHaveChanged() {
  hostTimer_.start();
}

void QtTrayHost::LookAtHost(bool told) {
  const QDBusConnection bus = WatchConnection(busAddress_);
  TrayKind kind = TrayKind::kNone;
  std::string host;
  std::string program;
  if (const std::string watcher = StatusNotifierWatcherOwner(bus); !watcher.empty()) {
    kind = TrayKind::kStatusNotifier;
    host = "dbus:" + watcher;
    program = ProcessPath(bus, watcher);
  } else if (std::string tray = XEmbedTrayOwner(); !tray.empty()) {
    kind = TrayKind::kXEmbed;
    host = std::move(tray);
    program = XEmbedTrayName(host);
  }
  if (host == host_ && (told || kind_ != TrayKind::kNone)) return;

  // The icons of the old host are gone with it; a new one starts empty.
  toRegister_.clear();
  registering_ = false;
  ++generation_;
  shown_.clear();
  host_ = host;
  kind_ = kind;
  placement_ = PlacementOf(kind, program);
  showsToolTips_ = HostShowsToolTips(kind, program);
  registersAtOnce_ = TakesRegistrationsAtOnce(kind, program);
  registrationGap_ = RegistrationGap(kind, program);
  if (kind == TrayKind::kNone) {
    if (!toldWaiting_) {
      std::fputs("tsukio: no notification area (system tray) found; waiting for one to appear\n",
                 stderr);
      std::fflush(stderr);
      toldWaiting_ = true;
    }
    return;
  }
  toldWaiting_ = false;
  ScheduleFlush();
  if (told && hostChanged_) hostChanged_();
}

void QtTrayHost::ScheduleFlush() {
  if (!flushTimer_.isActive()) flushTimer_.start();
}

void QtTrayHost::OnHostChanged(std::function<void()> handler) {
  hostChanged_ = std::move(handler);
}

void QtTrayHost::Flush() {
  flushTimer_.stop();
  if (kind_ == TrayKind::kNone) return;
  std::vector<int> shownIds;
  for (const auto& shown : shown_) shownIds.push_back(shown->id);
  const RowPlan plan = PlanFrom(shownIds, placement_);
  const auto at = [this](int id) {
    return std::find_if(shown_.begin(), shown_.end(),
                        [id](const std::unique_ptr<Shown>& s) { return s->id == id; });
  };
  for (const int id : plan.remove) {
    const auto gone = at(id);
    std::erase(toRegister_, (*gone)->item.get());
    shown_.erase(gone);
  }
  for (const int id : plan.keep) Update(**at(id), *FindWanted(id));
  for (const int id : plan.add) shown_.push_back(Show(*FindWanted(id)));
  // Kept in the row's order, as the host now shows them.
  std::stable_sort(shown_.begin(), shown_.end(), [this](const auto& a, const auto& b) {
    return PlaceOf(a->id) < PlaceOf(b->id);
  });
  RegisterNext();
}

std::unique_ptr<QtTrayHost::Shown> QtTrayHost::Show(const WantedIcon& wanted) {
  auto shown = std::make_unique<Shown>();
  shown->id = wanted.id;
  if (kind_ == TrayKind::kStatusNotifier) {
    const TrayIconName name = NameOfTrayIcon(wanted.id);
    shown->item = std::make_unique<SniItem>(
        owner_, busAddress_, QString::fromUtf8("tsukio-") + QString::fromUtf8(name.key),
        QString::fromUtf8(name.title.data(), static_cast<qsizetype>(name.title.size())));
    shown->item->SetPictures(wanted.pictures, QString::fromStdString(wanted.tooltip));
    shown->item->SetToolTip(QString::fromStdString(wanted.tooltip));
    toRegister_.push_back(shown->item.get());
    return shown;
  }
  shown->icon = std::make_unique<QSystemTrayIcon>(ToIcon(wanted.pictures));
  shown->pictures = wanted.pictures;
  shown->icon->setToolTip(QString::fromStdString(wanted.tooltip));
  shown->icon->setContextMenu(&menu_);
  QObject::connect(shown->icon.get(), &QSystemTrayIcon::activated, this,
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
  shown->icon->show();
  return shown;
}

void QtTrayHost::Update(Shown& shown, const WantedIcon& wanted) {
  if (shown.item) {
    shown.item->SetPictures(wanted.pictures, QString::fromStdString(wanted.tooltip));
    shown.item->SetToolTip(QString::fromStdString(wanted.tooltip));
    return;
  }
  const QString tooltip = QString::fromStdString(wanted.tooltip);
  if (shown.icon->toolTip() != tooltip) shown.icon->setToolTip(tooltip);
  if (wanted.pictures != shown.pictures) {
    shown.icon->setIcon(ToIcon(wanted.pictures));
    shown.pictures = wanted.pictures;
  }
}

// One registration at a time, each after the watcher answered the one before (and on
// xfce4-panel a moment later): calls on different connections could otherwise reach it out
// of order. Where the watcher takes them
// all at once, they go together over the one connection that watches it.
void QtTrayHost::RegisterNext() {
  if (registersAtOnce_) {
    const QDBusConnection bus = WatchConnection(busAddress_);
    for (SniItem* item : toRegister_) item->Register(QString::fromLatin1(kWatcherName), &bus);
    toRegister_.clear();
    return;
  }
  if (registering_ || toRegister_.empty()) return;
  SniItem* item = toRegister_.front();
  toRegister_.pop_front();
  registering_ = true;
  auto* call = new QDBusPendingCallWatcher(item->Register(QString::fromLatin1(kWatcherName)), this);
  const int generation = generation_;
  QObject::connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, generation] {
    call->deleteLater();
    if (generation != generation_) return;
    if (registrationGap_.count() == 0) {
      registering_ = false;
      RegisterNext();
      return;
    }
    QTimer::singleShot(registrationGap_, this, [this, generation] {
      if (generation != generation_) return;
      registering_ = false;
      RegisterNext();
    });
  });
}

// Panels show icons at 16 to 24 pixels, HiDPI ones at 32 and more.
std::vector<int> QtTrayHost::LargerPictureSizes() const {
  return {kLargerTraySizes.begin(), kLargerTraySizes.end()};
}

void QtTrayHost::OpenMenu() {
  if (menuOpening_ || hostMenu_ || menu_.isVisible()) return;
  menu_.popup(menuAt_.value_or(QCursor::pos()));
}

void QtTrayHost::SetMenuHeading(const std::string& text) {
  if (menuHeading_ == nullptr) {
    if (text.empty()) return;
    QAction* first = menu_.actions().value(0);
    menuHeading_ = new QAction(&menu_);
    menuHeading_->setEnabled(false);
    menu_.insertAction(first, menuHeading_);
    menuHeadingRule_ = menu_.insertSeparator(first);
  }
  // The text is shown as it is: no "&" of it marks an access key.
  const QString heading = QString::fromStdString(text).replace(u'&', QStringLiteral("&&"));
  if (menuHeading_->text() != heading) menuHeading_->setText(heading);
  menuHeading_->setVisible(!text.empty());
  menuHeadingRule_->setVisible(!text.empty());
}

std::string QtTrayHost::Tooltip(int id) const {
  const WantedIcon* wanted = FindWanted(id);
  return wanted != nullptr ? wanted->tooltip : std::string();
}

const QSystemTrayIcon* QtTrayHost::Icon(int id) const {
  for (const auto& shown : shown_) {
    if (shown->id == id) return shown->icon.get();
  }
  return nullptr;
}

const SniItem* QtTrayHost::Item(int id) const {
  for (const auto& shown : shown_) {
    if (shown->id == id) return shown->item.get();
  }
  return nullptr;
}

}  // namespace tsukio
