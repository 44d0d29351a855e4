#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <vector>

#include "platform/image.h"

class QMenu;

namespace tsukio {

// One picture of an item as StatusNotifierItem carries it: ARGB32 in network byte order.
struct SniPixmap {
  int width = 0;
  int height = 0;
  QByteArray argb;
};
using SniPixmaps = QList<SniPixmap>;

struct SniToolTip {
  QString iconName;
  SniPixmaps pixmaps;
  QString title;
  QString text;
};

// A dbusmenu layout node: (ia{sv}av), the children wrapped in variants.
struct DBusMenuLayout {
  int id = 0;
  QVariantMap properties;
  QList<DBusMenuLayout> children;
};

struct DBusMenuItem {
  int id = 0;
  QVariantMap properties;
};
using DBusMenuItems = QList<DBusMenuItem>;

struct DBusMenuEvent {
  int id = 0;
  QString eventId;
  QDBusVariant data;
  uint timestamp = 0;
};
using DBusMenuEvents = QList<DBusMenuEvent>;

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuLayout& node);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuLayout& node);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& out, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& in, DBusMenuEvent& event);

// Makes the types above known to QtDBus; safe to call more than once.
void RegisterSniTypes();

// Pictures as IconPixmap wants them.
SniPixmaps ToSniPixmaps(const std::vector<Image>& pictures);

// What an item needs from the tray that owns it.
struct SniItemOwner {
  QMenu& menu;
  // A click or a menu request on the item, as the tray reports them.
  std::function<void()> leftClick;
  std::function<void()> menuAboutToShow;
  std::function<void(QPoint)> contextMenu;
};

// One tray icon as its own StatusNotifierItem, on its own bus connection so that each icon
// has a bus name of its own: hosts know an item by its name, and it disappears with it.
class SniItem final : public QObject {
  Q_OBJECT

 public:
  // `busAddress` empty: the session bus.
  SniItem(SniItemOwner& owner, QString busAddress, QString id, QString title);
  ~SniItem() override;

  // Connects, exports the item and its menu, and asks the watcher to show it, over the
  // item's own connection or over `via`; the call ends when the watcher has answered (or
  // refused, or 2 s passed).
  QDBusPendingCall Register(const QString& watcher, const QDBusConnection* via = nullptr);
  // The item's unique bus name once registered.
  QString BusName() const;

  // The pictures and what they say to assistive technology (a screen reader); emits NewIcon
  // when either differs, which is also when hosts read the description again.
  void SetPictures(const std::vector<Image>& pictures, const QString& description);
  void SetToolTip(const QString& text);  // emits NewToolTip when it differs

  // The properties, as the adaptor publishes them.
  QString Id() const { return id_; }
  QString Title() const { return title_; }
  const SniPixmaps& Pixmaps() const { return pixmaps_; }
  QString Description() const { return description_; }
  QString ToolTipText() const { return tooltip_; }
  SniItemOwner& Owner() { return owner_; }

 signals:
  void NewIcon();
  void NewToolTip();

 private:
  SniItemOwner& owner_;
  QString busAddress_;
  QString connectionName_;
  QString id_;
  QString title_;
  QString tooltip_;
  QString description_;
  std::vector<Image> pictures_;
  SniPixmaps pixmaps_;
  QObject* menuObject_ = nullptr;  // the menu's own object: each path gets only its signals
  bool connected_ = false;
};

class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ Category)
  Q_PROPERTY(QString Id READ Id)
  Q_PROPERTY(QString Title READ Title)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(int WindowId READ WindowId)
  Q_PROPERTY(QString IconThemePath READ IconThemePath)
  Q_PROPERTY(QString IconName READ IconName)
  Q_PROPERTY(tsukio::SniPixmaps IconPixmap READ IconPixmap)
  Q_PROPERTY(QString IconAccessibleDesc READ IconAccessibleDesc)
  Q_PROPERTY(QString OverlayIconName READ IconThemePath)
  Q_PROPERTY(tsukio::SniPixmaps OverlayIconPixmap READ NoPixmaps)
  Q_PROPERTY(QString AttentionIconName READ IconThemePath)
  Q_PROPERTY(tsukio::SniPixmaps AttentionIconPixmap READ NoPixmaps)
  Q_PROPERTY(QString AttentionMovieName READ IconThemePath)
  Q_PROPERTY(tsukio::SniToolTip ToolTip READ ToolTip)
  Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
  Q_PROPERTY(QDBusObjectPath Menu READ Menu)

 public:
  explicit StatusNotifierItemAdaptor(SniItem* item);

  QString Category() const { return QStringLiteral("ApplicationStatus"); }
  QString Id() const { return item_->Id(); }
  QString Title() const { return item_->Title(); }
  QString Status() const { return QStringLiteral("Active"); }
  int WindowId() const { return 0; }
  QString IconThemePath() const { return {}; }
  QString IconName() const { return {}; }
  SniPixmaps IconPixmap() const { return item_->Pixmaps(); }
  QString IconAccessibleDesc() const { return item_->Description(); }
  SniPixmaps NoPixmaps() const { return {}; }
  SniToolTip ToolTip() const;
  bool ItemIsMenu() const { return false; }
  QDBusObjectPath Menu() const { return QDBusObjectPath(QStringLiteral("/MenuBar")); }

 public slots:
  void Activate(int x, int y);
  void SecondaryActivate(int x, int y);
  void ContextMenu(int x, int y);
  void Scroll(int delta, const QString& orientation);

 signals:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  SniItem* item_;
};

// The popup menu over com.canonical.dbusmenu: its entries, read from the QMenu's actions,
// with ids 1, 2, … in their order under the root 0. A change of the QMenu's entries is
// announced with a new layout revision, so a host that keeps its own copy of the menu reads
// it again.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ Version)
  Q_PROPERTY(QString TextDirection READ TextDirection)
  Q_PROPERTY(QString Status READ Status)
  Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

 public:
  DBusMenuAdaptor(QObject* parent, SniItem* item);

  uint Version() const { return 3; }
  QString TextDirection() const { return QStringLiteral("ltr"); }
  QString Status() const { return QStringLiteral("normal"); }
  QStringList IconThemePath() const { return {}; }

 public slots:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                 tsukio::DBusMenuLayout& layout);
  tsukio::DBusMenuItems GetGroupProperties(const QList<int>& ids, const QStringList& names);
  QDBusVariant GetProperty(int id, const QString& name);
  void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
  QList<int> EventGroup(const tsukio::DBusMenuEvents& events);
  bool AboutToShow(int id);
  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

 signals:
  void LayoutUpdated(uint revision, int parent);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  QVariantMap Properties(int id) const;
  SniItem* item_;
  uint revision_ = 1;
  bool revising_ = false;  // a new revision is announced when the event loop next runs
};

}  // namespace tsukio

Q_DECLARE_METATYPE(tsukio::SniPixmap)
Q_DECLARE_METATYPE(tsukio::SniToolTip)
Q_DECLARE_METATYPE(tsukio::DBusMenuLayout)
Q_DECLARE_METATYPE(tsukio::DBusMenuItem)
Q_DECLARE_METATYPE(tsukio::DBusMenuEvent)
