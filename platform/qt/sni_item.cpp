#include "platform/qt/sni_item.h"

#include <QAction>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QEvent>
#include <QMenu>
#include <QTimer>

namespace tsukio {

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& pixmap) {
  out.beginStructure();
  out << pixmap.width << pixmap.height << pixmap.argb;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& pixmap) {
  in.beginStructure();
  in >> pixmap.width >> pixmap.height >> pixmap.argb;
  in.endStructure();
  return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& tip) {
  out.beginStructure();
  out << tip.iconName << tip.pixmaps << tip.title << tip.text;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& tip) {
  in.beginStructure();
  in >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
  in.endStructure();
  return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuLayout& node) {
  out.beginStructure();
  out << node.id << node.properties;
  out.beginArray(qMetaTypeId<QDBusVariant>());
  for (const DBusMenuLayout& child : node.children) {
    out << QDBusVariant(QVariant::fromValue(child));
  }
  out.endArray();
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuLayout& node) {
  in.beginStructure();
  in >> node.id >> node.properties;
  in.beginArray();
  node.children.clear();
  while (!in.atEnd()) {
    QDBusVariant variant;
    in >> variant;
    node.children.push_back(qdbus_cast<DBusMenuLayout>(variant.variant().value<QDBusArgument>()));
  }
  in.endArray();
  in.endStructure();
  return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItem& item) {
  out.beginStructure();
  out << item.id << item.properties;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItem& item) {
  in.beginStructure();
  in >> item.id >> item.properties;
  in.endStructure();
  return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuEvent& event) {
  out.beginStructure();
  out << event.id << event.eventId << event.data << event.timestamp;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuEvent& event) {
  in.beginStructure();
  in >> event.id >> event.eventId >> event.data >> event.timestamp;
  in.endStructure();
  return in;
}

void RegisterSniTypes() {
  static const bool once = [] {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    qDBusRegisterMetaType<DBusMenuLayout>();
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<DBusMenuItems>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<DBusMenuEvents>();
    // The adaptors' slots name the lists by these names; QtDBus looks them up by name.
    qRegisterMetaType<DBusMenuItems>("tsukio::DBusMenuItems");
    qRegisterMetaType<DBusMenuEvents>("tsukio::DBusMenuEvents");
    qRegisterMetaType<SniPixmaps>("tsukio::SniPixmaps");
    return true;
  }();
  (void)once;
}

SniPixmaps ToSniPixmaps(const std::vector<Image>& pictures) {
  SniPixmaps pixmaps;
  for (const Image& picture : pictures) {
    SniPixmap pixmap{picture.width, picture.height, {}};
    pixmap.argb.resize(static_cast<qsizetype>(picture.argb.size() * 4));
    char* out = pixmap.argb.data();
    for (const std::uint32_t pixel : picture.argb) {
      *out++ = static_cast<char>(pixel >> 24);
      *out++ = static_cast<char>(pixel >> 16);
      *out++ = static_cast<char>(pixel >> 8);
      *out++ = static_cast<char>(pixel);
    }
    pixmaps.push_back(pixmap);
  }
  return pixmaps;
}

namespace {

QDBusConnection Connect(const QString& address, const QString& name) {
  return address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                           : QDBusConnection::connectToBus(address, name);
}

// dbusmenu marks the access key with "_" where Qt uses "&".
QString MenuLabel(QString text) {
  QString label;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'&' && i + 1 < text.size() && text[i + 1] == u'&') {
      label += u'&';
      ++i;
    } else if (c == u'&') {
      label += u'_';
    } else if (c == u'_') {
      label += QStringLiteral("__");
    } else {
      label += c;
    }
  }
  return label;
}

}  // namespace

SniItem::SniItem(SniItemOwner& owner, QString busAddress, QString id, QString title)
    : owner_(owner),
      busAddress_(std::move(busAddress)),
      id_(std::move(id)),
      title_(std::move(title)) {
  RegisterSniTypes();
  static int serial = 0;
  connectionName_ = QStringLiteral("tsukio-sni-%1").arg(++serial);
  new StatusNotifierItemAdaptor(this);
  menuObject_ = new QObject(this);
  new DBusMenuAdaptor(menuObject_, this);
}

SniItem::~SniItem() {
  if (connected_) QDBusConnection::disconnectFromBus(connectionName_);
}

QDBusPendingCall SniItem::Register(const QString& watcher, const QDBusConnection* via) {
  QDBusConnection bus = Connect(busAddress_, connectionName_);
  connected_ = true;
  if (!bus.isConnected()) return QDBusPendingCall::fromError(bus.lastError());
  bus.registerObject(QStringLiteral("/StatusNotifierItem"), this, QDBusConnection::ExportAdaptors);
  bus.registerObject(QStringLiteral("/MenuBar"), menuObject_, QDBusConnection::ExportAdaptors);
  QDBusMessage call =
      QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                     QStringLiteral("org.kde.StatusNotifierWatcher"),
                                     QStringLiteral("RegisterStatusNotifierItem"));
  // The item by its own name, whichever connection carries the request.
  call << bus.baseService();
  return (via != nullptr ? *via : bus).asyncCall(call, 2000);
}

QString SniItem::BusName() const {
  return connected_ ? QDBusConnection(connectionName_).baseService() : QString{};
}

void SniItem::SetPictures(const std::vector<Image>& pictures, const QString& description) {
  if (description == description_ && pictures == pictures_) return;
  pictures_ = pictures;
  pixmaps_ = ToSniPixmaps(pictures);
  description_ = description;
  emit NewIcon();
}

void SniItem::SetToolTip(const QString& text) {
  if (text == tooltip_) return;
  tooltip_ = text;
  emit NewToolTip();
}

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(SniItem* item)
    : QDBusAbstractAdaptor(item), item_(item) {
  connect(item, &SniItem::NewIcon, this, &StatusNotifierItemAdaptor::NewIcon);
  connect(item, &SniItem::NewToolTip, this, &StatusNotifierItemAdaptor::NewToolTip);
}

SniToolTip StatusNotifierItemAdaptor::ToolTip() const {
  return SniToolTip{{}, {}, item_->ToolTipText(), {}};
}

void StatusNotifierItemAdaptor::Activate(int, int) {
  item_->Owner().leftClick();
}

void StatusNotifierItemAdaptor::SecondaryActivate(int, int) {}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y) {
  item_->Owner().contextMenu(QPoint(x, y));
}

void StatusNotifierItemAdaptor::Scroll(int, const QString&) {}

DBusMenuAdaptor::DBusMenuAdaptor(QObject* parent, SniItem* item)
    : QDBusAbstractAdaptor(parent), item_(item) {
  item_->Owner().menu.installEventFilter(this);
}

bool DBusMenuAdaptor::eventFilter(QObject*, QEvent* event) {
  const QEvent::Type type = event->type();
  if (!revising_ && (type == QEvent::ActionAdded || type == QEvent::ActionChanged ||
                     type == QEvent::ActionRemoved)) {
    // One announcement for the changes of one handler.
    revising_ = true;
    QTimer::singleShot(0, this, [this] {
      revising_ = false;
      emit LayoutUpdated(++revision_, 0);
    });
  }
  return false;
}

QVariantMap DBusMenuAdaptor::Properties(int id) const {
  QVariantMap properties;
  if (id == 0) {
    properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    return properties;
  }
  const QList<QAction*> actions = item_->Owner().menu.actions();
  if (id < 1 || id > actions.size()) return properties;
  const QAction* action = actions[id - 1];
  if (action->isSeparator()) {
    properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
  } else {
    properties.insert(QStringLiteral("label"), MenuLabel(action->text()));
  }
  properties.insert(QStringLiteral("enabled"), action->isEnabled());
  properties.insert(QStringLiteral("visible"), action->isVisible());
  return properties;
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList&,
                                DBusMenuLayout& layout) {
  layout = DBusMenuLayout{parentId, Properties(parentId), {}};
  if (parentId == 0 && recursionDepth != 0) {
    const auto count = static_cast<int>(item_->Owner().menu.actions().size());
    for (int id = 1; id <= count; ++id) layout.children.push_back({id, Properties(id), {}});
  }
  return revision_;
}

DBusMenuItems DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids, const QStringList&) {
  DBusMenuItems items;
  for (const int id : ids) items.push_back({id, Properties(id)});
  return items;
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name) {
  return QDBusVariant(Properties(id).value(name));
}

void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
  if (eventId != QStringLiteral("clicked")) return;
  const QList<QAction*> actions = item_->Owner().menu.actions();
  if (id < 1 || id > actions.size() || actions[id - 1]->isSeparator()) return;
  // After the reply: a command may end the program, and the host still waits for it.
  QTimer::singleShot(0, actions[id - 1], &QAction::trigger);
}

QList<int> DBusMenuAdaptor::EventGroup(const DBusMenuEvents& events) {
  for (const DBusMenuEvent& e : events) Event(e.id, e.eventId, e.data, e.timestamp);
  return {};
}

// The host is about to show the menu itself: that stands for the right click.
bool DBusMenuAdaptor::AboutToShow(int id) {
  if (id == 0) item_->Owner().menuAboutToShow();
  return false;
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
  idErrors.clear();
  if (ids.contains(0)) item_->Owner().menuAboutToShow();
  return {};
}

}  // namespace tsukio
