// The StatusNotifierItem tray against a watcher and host of the test's own, on a private
// session bus: what a panel sees of the items, their menu, and their signals.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QMenu>
#include <QThread>
#include <functional>

#include "platform/qt/qt_tray_host.h"
#include "platform/qt/sni_item.h"
#include "tests/network/child_process.h"

namespace tsukio {

// Records every item registered with it, in order.
class FakeWatcher final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

 public:
  QStringList registered;

 public slots:
  void RegisterStatusNotifierItem(const QString& service) { registered << service; }
  void RegisterStatusNotifierHost(const QString&) {}
};

// Counts the signals items send.
class SignalCounter final : public QObject {
  Q_OBJECT

 public:
  int icons = 0;
  int tooltips = 0;
  int layouts = 0;

 public slots:
  void NewIcon() { ++icons; }
  void NewToolTip() { ++tooltips; }
  void LayoutUpdated() { ++layouts; }
};

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

void Spin(int ms) {
  WaitFor([] { return false; }, ms);
}

PictureSet Picture(std::uint32_t argb) {
  return {Image(16, 16, argb), Image(22, 22, argb), Image(32, 32, argb)};
}

// A private session bus, and a panel on it: the watcher, and a host that reads the items.
class SniTray : public ::testing::Test {
 protected:
  SniTray()
      : daemon_({"dbus-daemon", "--session", "--nofork", "--print-address=1"}),
        address_(QString::fromStdString(daemon_.ReadLine(std::chrono::seconds(10)).value_or(""))),
        panel_(QDBusConnection::connectToBus(address_, QStringLiteral("panel"))) {
    for (const char* caption : {"カレンダー(&C)", "-", "更新(&R)", "-", "設定(&O)",
                                "バージョン情報(&A)", "-", "終了(&X)"}) {
      if (std::string_view(caption) == "-") {
        menu_.addSeparator();
      } else {
        QAction* action = menu_.addAction(QString::fromUtf8(caption));
        QObject::connect(action, &QAction::triggered,
                         [this, action] { triggered.push_back(action->text().toStdString()); });
      }
    }
    panel_.connect({}, {}, QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("NewIcon"),
                   &signals_, SLOT(NewIcon()));
    panel_.connect({}, {}, QStringLiteral("org.kde.StatusNotifierItem"),
                   QStringLiteral("NewToolTip"), &signals_, SLOT(NewToolTip()));
    panel_.connect({}, {}, QStringLiteral("com.canonical.dbusmenu"),
                   QStringLiteral("LayoutUpdated"), &signals_, SLOT(LayoutUpdated()));
  }
  ~SniTray() override {
    tray_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
  }

  void StartWatcher() {
    watcher_ = std::make_unique<FakeWatcher>();
    panel_.registerObject(QStringLiteral("/StatusNotifierWatcher"), watcher_.get(),
                          QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(panel_.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
  }
  void StopWatcher() {
    panel_.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    panel_.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    watcher_.reset();
  }

  QtTrayHost& Tray() {
    if (!tray_) {
      tray_ = std::make_unique<QtTrayHost>(
          menu_,
          [this](TrayEvent e) {
            events.push_back(e);
            // As the program's right-click handler does.
            if (e == TrayEvent::kRightButtonDown) tray_->OpenMenu();
          },
          address_);
      tray_->OnHostChanged([this] { ++hostChanges; });
    }
    return *tray_;
  }

  // The row as a refresh adds it.
  void AddRow(const std::vector<int>& ids, std::uint32_t argb = 0xFF112233) {
    for (int id : ids) Tray().AddIcon(id, "tip " + std::to_string(id), Picture(argb));
    Tray().Flush();
  }

  bool RegisteredCount(int n) {
    return WaitFor([&] { return watcher_ && watcher_->registered.size() == n; });
  }

  QString BusName(int id) {
    const SniItem* item = Tray().Item(id);
    return item == nullptr ? QString{} : item->BusName();
  }

  QVariantMap Properties(int id) {
    const QDBusMessage reply =
        Call(id, QStringLiteral("/StatusNotifierItem"),
             QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
             {QStringLiteral("org.kde.StatusNotifierItem")});
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return qdbus_cast<QVariantMap>(reply.arguments().at(0));
  }

  // Calls a method of an item from the panel's side, letting the program answer.
  QDBusMessage Call(int id, const QString& path, const QString& interface, const QString& method,
                    const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(BusName(id), path, interface, method);
    call.setArguments(args);
    QDBusPendingCall pending = panel_.asyncCall(call);
    WaitFor([&] { return pending.isFinished(); });
    return pending.reply();
  }

  testing::ChildProcess daemon_;
  QString address_;
  QDBusConnection panel_;
  QMenu menu_;
  std::unique_ptr<FakeWatcher> watcher_;
  std::unique_ptr<QtTrayHost> tray_;
  SignalCounter signals_;
  std::vector<TrayEvent> events;
  std::vector<std::string> triggered;
  int hostChanges = 0;
};

TEST_F(SniTray, EachIconIsAnItemWithItsOwnIdAndTitle) {
  ASSERT_FALSE(address_.isEmpty());
  StartWatcher();
  ASSERT_EQ(Tray().Kind(), TrayKind::kStatusNotifier);
  EXPECT_EQ(Tray().Placement(), TrayPlacement::kAppends);
  const std::vector<int> row = {100, 110, 120, 160, 140, 150, 130, 170};
  AddRow(row);
  ASSERT_TRUE(RegisteredCount(8));
  QStringList expectedNames;
  for (int id : row) expectedNames << BusName(id);
  EXPECT_EQ(watcher_->registered, expectedNames);  // in the row's order

  const std::map<int, std::pair<QString, QString>> names = {
      {100, {"tsukio-month", "Tsukio 1 月"}},     {110, {"tsukio-day", "Tsukio 2 日"}},
      {120, {"tsukio-weekday", "Tsukio 3 曜日"}}, {160, {"tsukio-moon", "Tsukio 4 月齢"}},
      {140, {"tsukio-hour", "Tsukio 5 時"}},      {150, {"tsukio-minute", "Tsukio 6 分"}},
      {130, {"tsukio-week", "Tsukio 7 週"}},      {170, {"tsukio-status", "Tsukio 8 時刻調整"}}};
  QStringList titles;
  for (int id : row) {
    const QVariantMap p = Properties(id);
    SCOPED_TRACE(id);
    EXPECT_EQ(p.value("Id").toString(), names.at(id).first);
    EXPECT_EQ(p.value("Title").toString(), names.at(id).second);
    EXPECT_EQ(p.value("Category").toString(), "ApplicationStatus");
    EXPECT_EQ(p.value("Status").toString(), "Active");
    EXPECT_FALSE(p.value("ItemIsMenu").toBool());
    EXPECT_EQ(p.value("Menu").value<QDBusObjectPath>().path(), "/MenuBar");
    const SniToolTip tip = qdbus_cast<SniToolTip>(p.value("ToolTip").value<QDBusArgument>());
    EXPECT_EQ(tip.title.toStdString(), "tip " + std::to_string(id));
    EXPECT_EQ(p.value("IconAccessibleDesc").toString().toStdString(), "tip " + std::to_string(id));
    const SniPixmaps pixmaps = qdbus_cast<SniPixmaps>(p.value("IconPixmap").value<QDBusArgument>());
    ASSERT_EQ(pixmaps.size(), 3);
    EXPECT_EQ(pixmaps[0].width, 16);
    EXPECT_EQ(pixmaps[1].width, 22);
    EXPECT_EQ(pixmaps[2].argb.size(), 32 * 32 * 4);
    // Network byte order: alpha first.
    EXPECT_EQ(pixmaps[0].argb.left(4), QByteArray("\xFF\x11\x22\x33", 4));
    titles << p.value("Title").toString();
  }
  QStringList sorted = titles;
  std::sort(sorted.begin(), sorted.end(),
            [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
  EXPECT_EQ(sorted, titles);  // hosts that sort by title keep the row
}

TEST_F(SniTray, ARefreshChangesItemsInPlace) {
  StartWatcher();
  AddRow({100, 110, 120});
  ASSERT_TRUE(RegisteredCount(3));
  const QString day = BusName(110);
  Spin(50);
  signals_.icons = signals_.tooltips = 0;

  // A refresh: every icon deleted and added again, only the day's picture new.
  for (int id : {100, 110, 120}) Tray().DeleteIcon(id);
  Tray().AddIcon(100, "tip 100", Picture(0xFF112233));
  Tray().AddIcon(110, "tip 110", Picture(0xFF445566));
  Tray().AddIcon(120, "tip 120", Picture(0xFF112233));
  Tray().Flush();
  Spin(100);
  EXPECT_EQ(watcher_->registered.size(), 3);  // nobody registered again
  EXPECT_EQ(BusName(110), day);
  EXPECT_EQ(signals_.icons, 1);
  EXPECT_EQ(signals_.tooltips, 0);

  // The clock's tick: a new picture, once; the same picture again sends nothing. A new
  // tooltip is the icon's new description too, which hosts read again on NewIcon.
  Tray().ModifyIcon(110, Picture(0xFF000001));
  Tray().Flush();
  Tray().ModifyIcon(110, Picture(0xFF000001));
  Tray().Flush();
  Tray().DeleteIcon(120);
  Tray().AddIcon(120, "曜日", Picture(0xFF112233));
  Tray().Flush();
  Spin(100);
  EXPECT_EQ(signals_.icons, 3);
  EXPECT_EQ(signals_.tooltips, 1);
  EXPECT_EQ(Properties(120).value("IconAccessibleDesc").toString(), "曜日");

  // An icon shown later goes to the end; one taken away leaves the bus.
  AddRow({170});
  ASSERT_TRUE(RegisteredCount(4));
  EXPECT_EQ(watcher_->registered.back(), BusName(170));
  const QString month = BusName(100);
  Tray().DeleteIcon(100);
  Tray().Flush();
  EXPECT_TRUE(WaitFor([&] { return !panel_.interface()->isServiceRegistered(month).value(); }));
  EXPECT_EQ(watcher_->registered.size(), 4);
}

TEST_F(SniTray, ALateOrRestartedWatcherGetsEveryItemInOrder) {
  AddRow({100, 110, 130});
  EXPECT_EQ(Tray().Kind(), TrayKind::kNone);  // offscreen, no watcher: waiting
  EXPECT_EQ(Tray().Item(110), nullptr);

  StartWatcher();
  ASSERT_TRUE(RegisteredCount(3));
  EXPECT_EQ(hostChanges, 1);
  EXPECT_EQ(watcher_->registered, (QStringList{BusName(100), BusName(110), BusName(130)}));

  StopWatcher();
  EXPECT_TRUE(WaitFor([&] { return Tray().Kind() == TrayKind::kNone; }));
  StartWatcher();
  ASSERT_TRUE(RegisteredCount(3));
  EXPECT_EQ(watcher_->registered, (QStringList{BusName(100), BusName(110), BusName(130)}));
  EXPECT_EQ(hostChanges, 2);
}

TEST_F(SniTray, ClicksAndTheExportedMenu) {
  StartWatcher();
  AddRow({110});
  ASSERT_TRUE(RegisteredCount(1));
  const QString sni = QStringLiteral("org.kde.StatusNotifierItem");
  const QString dbusmenu = QStringLiteral("com.canonical.dbusmenu");
  const QString item = QStringLiteral("/StatusNotifierItem");
  const QString menuPath = QStringLiteral("/MenuBar");

  Call(110, item, sni, "Activate", {0, 0});
  Call(110, item, sni, "SecondaryActivate", {0, 0});
  Call(110, item, sni, "Scroll", {120, QStringLiteral("vertical")});
  EXPECT_EQ(events, std::vector<TrayEvent>{TrayEvent::kLeftButtonDown});

  // The layout: the menu's entries under the root, access keys in dbusmenu's way.
  const QDBusMessage layoutReply =
      Call(110, menuPath, dbusmenu, "GetLayout", {0, -1, QStringList{}});
  ASSERT_EQ(layoutReply.type(), QDBusMessage::ReplyMessage)
      << layoutReply.errorMessage().toStdString();
  const DBusMenuLayout root =
      qdbus_cast<DBusMenuLayout>(layoutReply.arguments().at(1).value<QDBusArgument>());
  EXPECT_EQ(root.properties.value("children-display").toString(), "submenu");
  std::vector<std::string> entries;
  for (const DBusMenuLayout& child : root.children) {
    entries.push_back(child.properties.value("type").toString() == "separator"
                          ? "-"
                          : child.properties.value("label").toString().toStdString());
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"カレンダー(_C)", "-", "更新(_R)", "-", "設定(_O)",
                                               "バージョン情報(_A)", "-", "終了(_X)"}));

  // The host opens the menu: that is the right click, and the program opens no menu itself.
  events.clear();
  Call(110, menuPath, dbusmenu, "AboutToShow", {0});
  EXPECT_EQ(events, std::vector<TrayEvent>{TrayEvent::kRightButtonDown});
  EXPECT_FALSE(menu_.isVisible());
  Call(110, menuPath, dbusmenu, "Event",
       {8, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
  Call(110, menuPath, dbusmenu, "Event",
       {2, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});  // a separator
  EXPECT_TRUE(WaitFor([&] { return !triggered.empty(); }));
  // libdbusmenu sends its clicks in groups.
  const DBusMenuEvents group = {{3, QStringLiteral("clicked"), QDBusVariant(0), 0u}};
  const QDBusMessage groupReply =
      Call(110, menuPath, dbusmenu, "EventGroup", {QVariant::fromValue(group)});
  EXPECT_EQ(groupReply.type(), QDBusMessage::ReplyMessage)
      << groupReply.errorMessage().toStdString();
  EXPECT_TRUE(WaitFor([&] { return triggered.size() == 2; }));
  Spin(20);
  EXPECT_EQ(triggered, (std::vector<std::string>{"終了(&X)", "更新(&R)"}));
}

// A heading goes above the commands as a line that does nothing, and hosts that keep a copy
// of the menu are told; an empty one hides it again. The commands keep working either way.
TEST_F(SniTray, AMenuHeadingIsAnInsensitiveFirstLine) {
  StartWatcher();
  AddRow({110});
  ASSERT_TRUE(RegisteredCount(1));
  const QString dbusmenu = QStringLiteral("com.canonical.dbusmenu");
  const QString menuPath = QStringLiteral("/MenuBar");
  const auto entries = [&] {
    const QDBusMessage reply = Call(110, menuPath, dbusmenu, "GetLayout", {0, -1, QStringList{}});
    const DBusMenuLayout root =
        qdbus_cast<DBusMenuLayout>(reply.arguments().at(1).value<QDBusArgument>());
    std::vector<std::string> shown;
    for (const DBusMenuLayout& child : root.children) {
      if (!child.properties.value("visible").toBool()) continue;
      const bool separator = child.properties.value("type").toString() == "separator";
      shown.push_back(separator ? "-"
                                : child.properties.value("label").toString().toStdString() +
                                      (child.properties.value("enabled").toBool() ? "" : " (off)"));
    }
    return shown;
  };
  const std::vector<std::string> commands = {"カレンダー(_C)",     "-", "更新(_R)", "-", "設定(_O)",
                                             "バージョン情報(_A)", "-", "終了(_X)"};
  signals_.layouts = 0;

  Tray().SetMenuHeading("2011年1月10日(月) -成人の日-  第2週 R&D_");
  EXPECT_TRUE(WaitFor([&] { return signals_.layouts == 1; }));
  std::vector<std::string> headed = {"2011年1月10日(月) -成人の日-  第2週 R&D__ (off)", "-"};
  headed.insert(headed.end(), commands.begin(), commands.end());
  EXPECT_EQ(entries(), headed);
  for (const int id : {1, 10}) {  // the heading, then 終了
    Call(110, menuPath, dbusmenu, "Event",
         {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
  }
  EXPECT_TRUE(WaitFor([&] { return !triggered.empty(); }));
  Spin(20);
  EXPECT_EQ(triggered, std::vector<std::string>{"終了(&X)"});

  Tray().SetMenuHeading("");
  EXPECT_TRUE(WaitFor([&] { return signals_.layouts == 2; }));
  EXPECT_EQ(entries(), commands);
}

// ContextMenu asks for the program's own menu at a point: a popup there.
TEST_F(SniTray, ContextMenuOpensThePopupAtThePoint) {
  StartWatcher();
  AddRow({110});
  ASSERT_TRUE(RegisteredCount(1));
  events.clear();
  Call(110, QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
       "ContextMenu", {300, 200});
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0], TrayEvent::kRightButtonDown);
  ASSERT_TRUE(menu_.isVisible());
  EXPECT_TRUE(menu_.windowFlags() & Qt::Popup);
  EXPECT_EQ(menu_.pos(), QPoint(300, 200));
  menu_.hide();
}

}  // namespace
}  // namespace tsukio

#include "sni_tray_test.moc"
