// ログイン時に起動: the box shows the desktop's login entry, and 決定 writes or removes it.
#include <gtest/gtest.h>

#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

using testing::At;
using testing::HeadlessDesktop;

struct Login {
  explicit Login(bool present = false) : desktop(At(2026, 5, 4, 9, 0)), form(desktop.desktop()) {
    desktop.autostart.present = present;
    form.FormCreate();
    form.MSetupClick();
    form.ShowTab(OptionsTab::kEtc);
  }
  bool Box() const { return form.Panel().chkStartup.checked; }

  HeadlessDesktop desktop;
  TForm1 form;
};

TEST(LoginEntry, TheBoxShowsWhetherTheDesktopHasTheEntry) {
  EXPECT_FALSE(Login(false).Box());
  Login s(true);
  EXPECT_TRUE(s.Box());
  s.form.cmdCLOSEClick();
  s.desktop.autostart.present = false;  // removed from the desktop's own session settings
  s.form.MSetupClick();
  EXPECT_FALSE(s.Box());
  EXPECT_EQ(s.desktop.autostart.changes, 0);  // reading never writes
}

TEST(LoginEntry, OkWritesItAndRemovesIt) {
  Login s;
  s.form.SetOptionBox(OptionBox::kStartup, true);
  EXPECT_FALSE(s.desktop.autostart.present);  // nothing happens before 決定
  s.form.cmdOKClick();
  EXPECT_TRUE(s.desktop.autostart.present);
  EXPECT_FALSE(s.form.Window().visible);
  EXPECT_EQ(s.desktop.settings.contents.value(),  // the desktop keeps it, not the file
            "[Pageleaf]\nMonth=0\nWeek=0\nTime=0\nNumber=0\n12h=0\nEtc=0\nAutoTime=30\nAuto=0\n"
            "ntpServer=\nhttpServer=\nproxyServer=\nntpSetup=0\nhttpSetup=0\n");

  s.form.MSetupClick();
  EXPECT_TRUE(s.Box());
  s.form.cmdOKClick();  // unchanged: the user's entry is not written again
  EXPECT_EQ(s.desktop.autostart.changes, 1);

  s.form.MSetupClick();
  s.form.SetOptionBox(OptionBox::kStartup, false);
  s.form.cmdOKClick();
  EXPECT_FALSE(s.desktop.autostart.present);
  EXPECT_EQ(s.desktop.autostart.changes, 2);
}

TEST(LoginEntry, CancelLeavesTheEntryAsItWas) {
  Login s(true);
  s.form.SetOptionBox(OptionBox::kStartup, false);
  s.form.cmdFalseClick();
  EXPECT_TRUE(s.desktop.autostart.present);
  EXPECT_TRUE(s.Box());
  EXPECT_EQ(s.desktop.autostart.changes, 0);
}

TEST(LoginEntry, AFailedChangeIsShownAndThePanelStaysOpen) {
  Login s;
  s.desktop.autostart.failChanges = true;
  s.form.SetOptionBox(OptionBox::kStartup, true);
  s.form.cmdOKClick();
  EXPECT_EQ(
      s.desktop.window.errors,
      std::vector<std::string>{"/home/user/.config/autostart/tsukio.desktop に書き込めません"});
  EXPECT_TRUE(s.form.Window().visible);
  EXPECT_TRUE(s.Box());

  // A refused settings file stops 決定 before the entry is touched.
  Login refused;
  refused.desktop.settings.failWrites = true;
  refused.form.SetOptionBox(OptionBox::kStartup, true);
  refused.form.cmdOKClick();
  EXPECT_EQ(refused.desktop.window.errors.size(), 1u);
  EXPECT_FALSE(refused.desktop.autostart.present);
  EXPECT_EQ(refused.desktop.autostart.changes, 0);
}

}  // namespace
}  // namespace tsukio
