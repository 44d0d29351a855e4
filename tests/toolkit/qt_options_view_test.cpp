// The options and about views drawn by Qt: a click on a widget reaches the calendar, and the
// calendar's state shows in the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <filesystem>

#include "app/core/window_input.h"
#include "platform/posix/autostart_file.h"
#include "platform/qt/qt_main_window.h"
#include "resources/resources.h"
#include "settings/ini_profile.h"
#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

// The real window on the headless desktop's tray, clock and settings file, and its login
// entry unless another is given.
struct Scene {
  explicit Scene(std::string keys, Autostart* entry = nullptr)
      : headless(testing::At(2026, 5, 4, 13, 5)),
        login(entry != nullptr ? *entry : headless.autostart) {
    headless.settings.contents = "[Pageleaf]\n" + keys;
    input.Attach(calendar);
    calendar.Start();
  }
  void Screenshot(const char* name) {
    QDir().mkpath(TSUKIO_SCREENSHOT_DIR);
    window.grab().save(QString(TSUKIO_SCREENSHOT_DIR) + "/" + name);
  }

  testing::HeadlessDesktop headless;
  Autostart& login;
  WindowInput input;
  QtMainWindow window{input};
  Desktop desktop{
      headless, headless.tray,     headless.minuteTimer(), headless.autoUpdateTimer(),
      headless.painter, window, headless.settings, login};
  TrayCalendar calendar{desktop};
};

TEST(QtOptionsView, TheStateShowsInTheWidgets) {
  Scene s("Month=1\nNumber=2\nAuto=0\nAutoTime=45\nntpSetup=1\nntpServer=ntp.nict.jp\n");
  s.calendar.ShowOptions();
  EXPECT_TRUE(s.window.isVisible());
  EXPECT_TRUE(s.window.OptionsGroup().isVisible());
  EXPECT_FALSE(s.window.CloseButton().isVisible());
  EXPECT_EQ(s.window.windowTitle(), QStringLiteral("設定"));
  EXPECT_TRUE(s.window.Box(OptionBox::kMonth).isChecked());
  EXPECT_TRUE(s.window.Box(OptionBox::kWeekNumber).isChecked());
  EXPECT_TRUE(s.window.WeekRule(1).isChecked());
  EXPECT_EQ(s.window.AutoSeconds().text(), QStringLiteral("45"));
  EXPECT_FALSE(s.window.AutoArrow(true).isEnabled());  // 1度だけ自動更新 is off
  EXPECT_TRUE(s.window.Box(OptionBox::kSetClock).isChecked());
  EXPECT_EQ(s.window.Server(ServerField::kNtp).text(), QStringLiteral("ntp.nict.jp"));
  EXPECT_TRUE(s.window.Server(ServerField::kNtp).isEnabled());
  EXPECT_FALSE(s.window.Server(ServerField::kHttp).isEnabled());
  s.window.Tabs().setCurrentIndex(2);
  s.Screenshot("options-time.png");
  s.window.Tabs().setCurrentIndex(1);
  s.Screenshot("options-behaviour.png");
  s.window.Tabs().setCurrentIndex(0);
  s.Screenshot("options.png");
}

TEST(QtOptionsView, ClicksReachTheTrayCalendar) {
  Scene s("");
  s.calendar.ShowOptions();
  s.window.Box(OptionBox::kWeekday).click();
  EXPECT_TRUE(s.calendar.Panel().showWeekday.checked);
  EXPECT_EQ(s.headless.tray.Ids(), (std::vector<int>{110, 120}));

  s.window.Tabs().setCurrentIndex(2);
  EXPECT_EQ(s.calendar.Panel().tab, OptionsTab::kClock);
  s.window.Box(OptionBox::kSetClock).click();
  s.window.TimeMethod(true).click();
  EXPECT_TRUE(s.calendar.Panel().httpSelected);
  EXPECT_TRUE(s.window.Server(ServerField::kHttp).isEnabled());
  EXPECT_FALSE(s.window.Server(ServerField::kNtp).isEnabled());
  emit s.window.Server(ServerField::kHttp).textEdited(QStringLiteral("www.example.jp"));
  EXPECT_EQ(s.calendar.Panel().httpServerField.text, "www.example.jp");

  s.window.Tabs().setCurrentIndex(1);
  s.window.Box(OptionBox::kAutoUpdate).click();
  s.window.AutoArrow(true).click();
  EXPECT_EQ(s.window.AutoSeconds().text(), QStringLiteral("31"));

  s.window.OkButton().click();
  EXPECT_FALSE(s.window.isVisible());
  const IniProfile saved(s.headless.settings.contents.value());
  EXPECT_EQ(saved.ReadInteger("Pageleaf", "Week", 0), 1);
  EXPECT_EQ(saved.ReadInteger("Pageleaf", "httpSetup", 0), 1);
  EXPECT_EQ(saved.ReadInteger("Pageleaf", "AutoTime", 0), 31);
  EXPECT_EQ(saved.ReadString("Pageleaf", "httpServer").value(), "www.example.jp");
}

TEST(QtOptionsView, CancelPutsBackWhatTheFileSays) {
  Scene s("Month=1\n");
  s.calendar.ShowOptions();
  s.window.Box(OptionBox::kMonth).click();
  EXPECT_EQ(s.headless.tray.Ids(), std::vector<int>{110});
  s.window.CancelButton().click();
  EXPECT_FALSE(s.window.isVisible());
  EXPECT_TRUE(s.window.Box(OptionBox::kMonth).isChecked());
  EXPECT_EQ(s.headless.tray.Ids(), (std::vector<int>{100, 110}));
}

// The real login entry, in the tests' own XDG_CONFIG_HOME.
TEST(QtOptionsView, TheLoginBoxWritesAndRemovesTheEntry) {
  const std::string path = AutostartFilePath();
  ASSERT_EQ(path, TSUKIO_TEST_FOLDER "/config/autostart/tsukio.desktop");
  std::filesystem::remove(path);
  AutostartFile entry(path, AutostartEntry(resources::DesktopEntry(), "/usr/bin/tsukio"));
  Scene s("", &entry);
  s.calendar.ShowOptions();
  s.window.Tabs().setCurrentIndex(1);
  QCheckBox& box = s.window.Box(OptionBox::kStartAtLogin);
  EXPECT_EQ(box.text(), QStringLiteral("ログイン時に起動"));
  ASSERT_EQ(box.parentWidget(), s.window.Tabs().currentWidget());  // on the 動作 tab
  EXPECT_TRUE(box.isVisible());
  EXPECT_TRUE(box.parentWidget()->rect().contains(box.geometry()));  // whole, not cut off
  EXPECT_FALSE(box.geometry().intersects(s.window.AutoArrow(false).geometry()));
  EXPECT_FALSE(box.isChecked());

  box.click();
  EXPECT_FALSE(std::filesystem::exists(path));  // only 決定 writes it
  s.window.OkButton().click();
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::system(("desktop-file-validate '" + path + "'").c_str()), 0);

  s.calendar.ShowOptions();
  EXPECT_TRUE(box.isChecked());
  box.click();
  s.window.CancelButton().click();
  EXPECT_TRUE(std::filesystem::exists(path));
  s.calendar.ShowOptions();
  EXPECT_TRUE(box.isChecked());
  box.click();
  s.window.OkButton().click();
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(QtAboutView, NameVersionAndLink) {
  Scene s("");
  s.calendar.ShowAbout();
  EXPECT_TRUE(s.window.AboutGroup().isVisible());
  EXPECT_FALSE(s.window.OptionsGroup().isVisible());
  EXPECT_TRUE(s.window.CloseButton().isVisible());
  EXPECT_EQ(s.window.windowTitle(), QStringLiteral("バージョン情報"));
  const QString texts = [&] {
    QString all;
    for (const QLabel* label : s.window.AboutGroup().findChildren<QLabel*>())
      all += label->text() + "|";
    return all;
  }();
  EXPECT_TRUE(texts.contains(QStringLiteral("|Tsukio|")));
  EXPECT_TRUE(texts.contains(QStringLiteral("|1.50|")));
  EXPECT_EQ(s.window.Link().toolTip(), QStringLiteral("最新情報"));
  emit s.window.Link().linkActivated(QStringLiteral("link"));
  EXPECT_EQ(s.headless.window.opened.size(), 0u);  // the real window opens links, not the fake
  s.Screenshot("about.png");
  s.window.CloseButton().click();
  EXPECT_FALSE(s.window.isVisible());
}

}  // namespace
}  // namespace tsukio
