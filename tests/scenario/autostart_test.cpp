// ログイン時に起動: the box shows the desktop's login entry, and 決定 writes or removes it.
#include <gtest/gtest.h>

#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

using testing::At;
using testing::HeadlessDesktop;

struct Login {
  explicit Login(bool present = false)
      : desktop(At(2026, 5, 4, 9, 0)), calendar(desktop.desktop()) {
    desktop.autostart.present = present;
    calendar.Start();
    calendar.ShowOptions();
    calendar.ShowTab(OptionsTab::kBehaviour);
  }
  bool Box() const { return calendar.Panel().startAtLogin.checked; }

  HeadlessDesktop desktop;
  TrayCalendar calendar;
};

TEST(LoginEntry, TheBoxShowsWhetherTheDesktopHasTheEntry) {
  EXPECT_FALSE(Login(false).Box());
  Login s(true);
  EXPECT_TRUE(s.Box());
  s.calendar.CloseWindow();
  s.desktop.autostart.present = false;  // removed from the desktop's own session settings
  s.calendar.ShowOptions();
  EXPECT_FALSE(s.Box());
  EXPECT_EQ(s.desktop.autostart.changes, 0);  // reading never writes
}

TEST(LoginEntry, OkWritesItAndRemovesIt) {
  Login s;
  s.calendar.SetOptionBox(OptionBox::kStartAtLogin, true);
  EXPECT_FALSE(s.desktop.autostart.present);  // nothing happens before 決定
  s.calendar.AcceptOptions();
  EXPECT_TRUE(s.desktop.autostart.present);
  EXPECT_FALSE(s.calendar.Window().visible);
  EXPECT_EQ(s.desktop.settings.contents.value(),  // the desktop keeps it, not the file
            "[Pageleaf]\nMonth=0\nWeek=0\nTime=0\nNumber=0\n12h=0\nEtc=0\nMoon=0\nAutoTime=30\n"
            "Auto=0\nntpServer=\nhttpServer=\nproxyServer=\nntpSetup=0\nhttpSetup=0\n");

  s.calendar.ShowOptions();
  EXPECT_TRUE(s.Box());
  s.calendar.AcceptOptions();  // unchanged: the user's entry is not written again
  EXPECT_EQ(s.desktop.autostart.changes, 1);

  s.calendar.ShowOptions();
  s.calendar.SetOptionBox(OptionBox::kStartAtLogin, false);
  s.calendar.AcceptOptions();
  EXPECT_FALSE(s.desktop.autostart.present);
  EXPECT_EQ(s.desktop.autostart.changes, 2);
}

TEST(LoginEntry, CancelLeavesTheEntryAsItWas) {
  Login s(true);
  s.calendar.SetOptionBox(OptionBox::kStartAtLogin, false);
  s.calendar.CancelOptions();
  EXPECT_TRUE(s.desktop.autostart.present);
  EXPECT_TRUE(s.Box());
  EXPECT_EQ(s.desktop.autostart.changes, 0);
}

TEST(LoginEntry, AFailedChangeIsShownAndThePanelStaysOpen) {
  Login s;
  s.desktop.autostart.failChanges = true;
  s.calendar.SetOptionBox(OptionBox::kStartAtLogin, true);
  s.calendar.AcceptOptions();
  EXPECT_EQ(
      s.desktop.window.errors,
      std::vector<std::string>{"/home/user/.config/autostart/tsukio.desktop に書き込めません"});
  EXPECT_TRUE(s.calendar.Window().visible);
  EXPECT_TRUE(s.Box());

  // A refused settings file stops 決定 before the entry is touched.
  Login refused;
  refused.desktop.settings.failWrites = true;
  refused.calendar.SetOptionBox(OptionBox::kStartAtLogin, true);
  refused.calendar.AcceptOptions();
  EXPECT_EQ(refused.desktop.window.errors.size(), 1u);
  EXPECT_FALSE(refused.desktop.autostart.present);
  EXPECT_EQ(refused.desktop.autostart.changes, 0);
}

}  // namespace
}  // namespace tsukio
