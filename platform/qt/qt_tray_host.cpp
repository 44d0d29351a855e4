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
#include <cstdio>
#include <cstring>

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

// Stable names a panel can remember an icon by, and titles that tell the icons apart in
// its settings. The titles carry the place in the row, so hosts that sort by title (Plasma)
// show the row in order.
struct ItemName {
  int id;
  const char* sniId;
  const char* title;
};
constexpr ItemName kItemNames[] = {
    {100, "tsukio-month", "Tsukio 1 月"},        {110, "tsukio-day", "Tsukio 2 日"},
    {120, "tsukio-weekday", "Tsukio 3 曜日"},    {140, "tsukio-hour", "Tsukio 4 時"},
    {150, "tsukio-minute", "Tsukio 5 分"},       {130, "tsukio-week", "Tsukio 6 週"},
    {170, "tsukio-status", "Tsukio 7 時刻調整"},
};

ItemName NameOf(int id) {
  for (const ItemName& name : kItemNames) {
    if (name.id == id) return name;
  }
  static thread_local std::string fallback;
  fallback = "tsukio-" + std::to_string(id);
  return {id, fallback.c_str(), fallback.c_str()};
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

QtTrayHost::Wanted* QtTrayHost::FindWanted(int id) {
  const auto it =
      std::find_if(wanted_.begin(), wanted_.end(), [id](const Wanted& w) { return w.id == id; });
  return it == wanted_.end() ? nullptr : &*it;
}

void QtTrayHost::AddIcon(int id, const std::string& tooltip, const PictureSet& pictures) {
  if (FindWanted(id) != nullptr) return;
  wanted_.push_back({id, tooltip, pictures});
  ScheduleFlush();
}

void QtTrayHost::ModifyIcon(int id, const PictureSet& pictures) {
  if (Wanted* wanted = FindWanted(id)) {
    wanted->pictures = pictures;
    ScheduleFlush();
  }
}

void QtTrayHost::DeleteIcon(int id) {
  std::erase_if(wanted_, [id](const Wanted& w) { return w.id == id; });
  ScheduleFlush();
}

void QtTrayHost::OnHostChanged(std::function<void()> handler) {
  hostChanged_ = std::move(handler);
}

void QtTrayHost::Flush() {
  flushTimer_.stop();
  if (kind_ == TrayKind::kNone) return;
  const auto wantedAt = [this](int id) {
    return std::find_if(wanted_.begin(), wanted_.end(),
                        [id](const Wanted& w) { return w.id == id; });
  };
  const auto drop = [this](const std::unique_ptr<Shown>& shown) {
    std::erase(toRegister_, shown->item.get());
  };
  // Icons no longer wanted go; the rest keep their place as long as they stand in the
  // wanted order. From the first that does not, on the side where the host adds, they
  // are taken away and added again with the missing ones.
  std::erase_if(shown_, [&](const std::unique_ptr<Shown>& shown) {
    const bool gone = wantedAt(shown->id) == wanted_.end();
    if (gone) drop(shown);
    return gone;
  });
  const std::size_t count = wanted_.size();
  std::size_t kept = 0;
  if (placement_ == TrayPlacement::kRemembers) {
    // Only the missing ones, last first: a host that meets them all now shows the row in
    // order, and one that knew them keeps their places anyway.
    std::vector<std::unique_ptr<Shown>> row(count);
    for (auto& shown : shown_)
      row[static_cast<std::size_t>(wantedAt(shown->id) - wanted_.begin())] = std::move(shown);
    for (std::size_t i = count; i-- > 0;) {
      if (row[i]) {
        Update(*row[i], wanted_[i]);
      } else {
        row[i] = Show(wanted_[i]);
      }
    }
    shown_ = std::move(row);
  } else if (placement_ == TrayPlacement::kAppends) {
    while (kept < shown_.size() && shown_[kept]->id == wanted_[kept].id) ++kept;
    for (std::size_t i = kept; i < shown_.size(); ++i) drop(shown_[i]);
    shown_.resize(kept);
    for (std::size_t i = 0; i < kept; ++i) Update(*shown_[i], wanted_[i]);
    for (std::size_t i = kept; i < count; ++i) shown_.push_back(Show(wanted_[i]));
  } else {
    const std::size_t s = shown_.size();
    while (kept < s && shown_[s - 1 - kept]->id == wanted_[count - 1 - kept].id) ++kept;
    for (std::size_t i = 0; i < s - kept; ++i) drop(shown_[i]);
    shown_.erase(shown_.begin(), shown_.begin() + static_cast<std::ptrdiff_t>(s - kept));
    for (std::size_t i = 0; i < kept; ++i) Update(*shown_[i], wanted_[count - kept + i]);
    for (std::size_t i = count - kept; i-- > 0;) shown_.insert(shown_.begin(), Show(wanted_[i]));
  }
  RegisterNext();
}

std::unique_ptr<QtTrayHost::Shown> QtTrayHost::Show(const Wanted& wanted) {
  auto shown = std::make_unique<Shown>();
  shown->id = wanted.id;
  if (kind_ == TrayKind::kStatusNotifier) {
    const ItemName name = NameOf(wanted.id);
    shown->item = std::make_unique<SniItem>(owner_, busAddress_, QString::fromUtf8(name.sniId),
                                            QString::fromUtf8(name.title));
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

void QtTrayHost::Update(Shown& shown, const Wanted& wanted) {
  if (shown.item) {
    shown.item->SetPictures(wanted.pictures, QString::fromStdString(wanted.tooltip));
    shown.item->SetToolTip(QString::fromStdString(wanted.tooltip));
    return;
  }
  const QString tooltip = QString::fromStdString(wanted.tooltip);
  if (shown.icon->toolTip() != tooltip) shown.icon->setToolTip(tooltip);
  const auto same = [](const Image& a, const Image& b) {
    return a.width == b.width && a.height == b.height && a.argb == b.argb;
  };
  if (!std::equal(wanted.pictures.begin(), wanted.pictures.end(), shown.pictures.begin(),
                  shown.pictures.end(), same)) {
    shown.icon->setIcon(ToIcon(wanted.pictures));
    shown.pictures = wanted.pictures;
  }
}

// One registration at a time, each after the watcher answered the one before: calls on
// different connections could otherwise reach it out of order. Where the watcher takes them
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
    registering_ = false;
    RegisterNext();
  });
}

// Panels show icons at 16 to 24 pixels, HiDPI ones at 32 and more.
std::vector<int> QtTrayHost::LargerPictureSizes() const {
  return {22, 24, 32, 48, 64};
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

std::vector<int> QtTrayHost::Ids() const {
  std::vector<int> ids;
  for (const Wanted& wanted : wanted_) ids.push_back(wanted.id);
  return ids;
}

std::string QtTrayHost::Tooltip(int id) const {
  for (const Wanted& wanted : wanted_) {
    if (wanted.id == id) return wanted.tooltip;
  }
  return {};
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
