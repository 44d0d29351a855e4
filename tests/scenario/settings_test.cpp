// The settings file and the options panel, told on the headless desktop.
#include <gtest/gtest.h>

#include <random>

#include "settings/ini_profile.h"
#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

using testing::At;
using testing::HeadlessDesktop;
using Ids = std::vector<int>;

struct Story {
  explicit Story(std::optional<std::string> keys = std::nullopt, std::string unreadable = {})
      : desktop(At(2011, 5, 10, 13, 5)), calendar(desktop.desktop()) {
    if (keys) desktop.settings.contents = "[Pageleaf]\n" + *keys;
    desktop.settings.unreadable = std::move(unreadable);
    calendar.Start();
  }
  int Stored(std::string_view key) const {
    return IniProfile(desktop.settings.contents.value_or("")).ReadInteger("Pageleaf", key, -99);
  }
  std::string StoredText(std::string_view key) const {
    return IniProfile(desktop.settings.contents.value_or(""))
        .ReadString("Pageleaf", key)
        .value_or("<none>");
  }
  const OptionsPanel& panel() const { return calendar.Panel(); }

  HeadlessDesktop desktop;
  TrayCalendar calendar;
};

TEST(LoadSettings, FirstStartWithoutFolderOrFile) {
  Story s;
  const OptionsPanel& p = s.panel();
  EXPECT_GE(s.desktop.settings.folderCalls, 1);
  EXPECT_FALSE(p.showMonth.checked || p.showWeekday.checked || p.showClock.checked ||
               p.showWeekNumber.checked || p.twelveHour.checked || p.showAlmanac.checked ||
               p.autoUpdate.checked || p.setClock.checked);
  EXPECT_EQ(p.autoSeconds, 30);
  EXPECT_EQ(s.desktop.autoUpdateTimer().lastDelay, 30000);
  EXPECT_EQ(s.calendar.Settings().ntpSetup, 0);
  EXPECT_EQ(s.calendar.Settings().httpSetup, 0);
  // The boxes with dependent controls start with those controls disabled.
  EXPECT_FALSE(p.weekRule.enabled);
  EXPECT_FALSE(p.autoUpdateLabel.enabled || p.autoUpdateField.enabled ||
               p.autoUpdateArrows.enabled);
  EXPECT_FALSE(p.timeMethodLabel.enabled || p.ntpChoice.enabled || p.httpChoice.enabled ||
               p.ntpServerField.enabled || p.httpServerField.enabled || p.proxyServerField.enabled);
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  EXPECT_EQ(s.desktop.settings.writes, 0);  // reading never writes
}

TEST(LoadSettings, FlagsChoicesAndTheDelay) {
  Story s("month=2\nWEEK=1\nNumber=2\nAutoTime=300\nAuto=1\n");
  EXPECT_FALSE(s.panel().showMonth.checked);   // only exactly 1 is on
  EXPECT_TRUE(s.panel().showWeekday.checked);  // names match whatever their case
  EXPECT_TRUE(s.panel().showWeekNumber.checked);
  EXPECT_EQ(s.panel().weekRuleIndex, 1);
  EXPECT_EQ(s.calendar.State().weekRule, 1);
  EXPECT_EQ(s.desktop.autoUpdateTimer().lastDelay, 300000);
  EXPECT_TRUE(s.panel().autoUpdateArrows.enabled);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{110, 120, 130}));

  EXPECT_FALSE(Story("Number=3\n").panel().showWeekNumber.checked);
  for (const char* bad : {"0", "301", "abc", "-5", ""}) {
    Story rejected(std::string("AutoTime=") + bad + "\n");
    EXPECT_EQ(rejected.panel().autoSeconds, 30) << bad;
    EXPECT_EQ(rejected.desktop.autoUpdateTimer().lastDelay, 30000) << bad;
  }
  Story quick("AutoTime=1\n");
  EXPECT_EQ(quick.desktop.autoUpdateTimer().lastDelay, 1000);
  EXPECT_EQ(quick.panel().autoSeconds, 1);  // shown as in force; the arrows bring it to 10
}

TEST(LoadSettings, TimeSettingModes) {
  Story noServer("ntpSetup=1\n");
  EXPECT_EQ(noServer.calendar.Settings().ntpSetup, 0);
  EXPECT_FALSE(noServer.panel().setClock.checked);

  Story ntp("ntpSetup=1\nntpServer=ntp.nict.jp\n");
  EXPECT_EQ(ntp.calendar.Settings().ntpServer, "ntp.nict.jp");
  EXPECT_TRUE(ntp.panel().setClock.checked);
  EXPECT_FALSE(ntp.panel().httpSelected);
  EXPECT_TRUE(ntp.panel().ntpServerField.enabled);
  EXPECT_FALSE(ntp.panel().httpServerField.enabled);

  Story direct("httpSetup=1\nhttpServer=www.example.jp\n");
  EXPECT_EQ(direct.panel().httpServerField.text, "www.example.jp");
  EXPECT_EQ(direct.calendar.Settings().httpServer, "http://www.example.jp");
  EXPECT_TRUE(direct.panel().setClock.checked);
  EXPECT_TRUE(direct.panel().httpSelected);

  Story schemed("httpSetup=1\nhttpServer=https://www.example.jp/\n");
  EXPECT_EQ(schemed.calendar.Settings().httpServer, "https://www.example.jp/");  // no second scheme

  Story empty("httpSetup=1\n");  // nothing to ask: HTTP is off, not a request to "http://"
  EXPECT_EQ(empty.calendar.Settings().httpSetup, 0);
  EXPECT_EQ(empty.calendar.Settings().httpServer, "");
  EXPECT_FALSE(empty.panel().setClock.checked);

  Story proxy("httpSetup=2\nhttpServer=www.example.jp\nproxyServer=proxy:8080\n");
  EXPECT_EQ(proxy.calendar.Settings().httpServer, "http://www.example.jp");
  EXPECT_EQ(proxy.calendar.Settings().proxyServer, "http://proxy:8080");

  Story system("httpSetup=3\nhttpServer=www.example.jp\n");
  EXPECT_EQ(system.calendar.Settings().httpSetup, 3);

  Story both("ntpSetup=1\nntpServer=ntp.nict.jp\nhttpSetup=1\nhttpServer=www.example.jp\n");
  EXPECT_TRUE(both.panel().httpSelected);
  EXPECT_EQ(both.calendar.Settings().httpSetup, 1);
}

TEST(SaveSettings, ANewFileListsEveryKeyInOrder) {
  Story s;
  s.calendar.ShowOptions();
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.desktop.settings.contents.value(),
            "[Pageleaf]\nMonth=0\nWeek=0\nTime=0\nNumber=0\n12h=0\nEtc=0\nMoon=0\nAutoTime=30\n"
            "Auto=0\nntpServer=\nhttpServer=\nproxyServer=\nntpSetup=0\nhttpSetup=0\n");
  EXPECT_FALSE(s.calendar.Window().visible);
}

TEST(SaveSettings, OkRightAfterOpeningWritesTheNormalisedValues) {
  Story s(
      "; my note\nMonth=2\nAutoTime=0\nhttpSetup=3\nhttpServer=www.example.jp\nntpSetup=1\n"
      "Extra=keep\n");
  s.calendar.ShowOptions();
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.Stored("Month"), 0);
  EXPECT_EQ(s.Stored("AutoTime"), 30);
  EXPECT_EQ(s.Stored("httpSetup"), 1);
  EXPECT_EQ(s.Stored("ntpSetup"), 0);
  EXPECT_EQ(s.StoredText("httpServer"), "www.example.jp");  // as stored, without the scheme
  EXPECT_EQ(s.StoredText("Extra"), "keep");
  EXPECT_EQ(s.desktop.settings.contents->rfind("[Pageleaf]\n; my note\nMonth=0\n", 0), 0u);
}

TEST(SaveSettings, WhatThePanelWrites) {
  Story s;
  s.calendar.ShowOptions();
  s.calendar.ShowTab(OptionsTab::kClock);
  s.calendar.SetOptionBox(OptionBox::kSetClock, true);
  s.calendar.SelectTimeMethod(true);
  s.calendar.EditServer(ServerField::kHttp, "www.example.jp");
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.Stored("httpSetup"), 1);
  EXPECT_EQ(s.calendar.Settings().httpSetup, 0);  // in force only from the next load

  s.calendar.ShowOptions();
  EXPECT_EQ(s.calendar.Settings().httpServer, "http://www.example.jp");
  s.calendar.EditServer(ServerField::kProxy, " ");  // any proxy text, even a blank
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.Stored("httpSetup"), 2);

  s.calendar.ShowOptions();
  s.calendar.SetOptionBox(OptionBox::kWeekNumber, true);
  s.calendar.SelectWeekRule(1);
  s.calendar.SetOptionBox(OptionBox::kSetClock, false);  // servers are still written
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.Stored("Number"), 2);
  EXPECT_EQ(s.Stored("httpSetup"), 0);
  EXPECT_EQ(s.StoredText("httpServer"), "www.example.jp");
}

TEST(SaveSettings, AFailedSaveKeepsThePanelOpenWithTheEdits) {
  Story s;
  s.calendar.ShowOptions();
  s.calendar.SetOptionBox(OptionBox::kMonth, true);
  s.desktop.settings.failWrites = true;
  s.calendar.AcceptOptions();
  EXPECT_EQ(s.desktop.window.errors,
            std::vector<std::string>{"/home/user/.config/Quorv/Tsukio/tsukio.ini に書き込めません"
                                     "（ディスクがいっぱいです）"});
  EXPECT_TRUE(s.calendar.Window().visible);
  EXPECT_TRUE(s.panel().shown);
  EXPECT_TRUE(s.panel().showMonth.checked);
  EXPECT_FALSE(s.desktop.settings.contents);
}

// A file that is there but cannot be read (no permission, a folder, far too large): said once
// at start, the defaults run, and 決定 refuses to replace it until it can be read again.
TEST(SaveSettings, NeverOverAFileThatCouldNotBeRead) {
  const std::string mine = "Month=1\n; my notes\n[Mine]\nx=1\n";
  Story s(mine, "アクセスが拒否されました");
  const std::string path = "/home/user/.config/Quorv/Tsukio/tsukio.ini";
  EXPECT_EQ(s.desktop.window.errors,
            std::vector<std::string>{path +
                                     " を読み込めません（アクセスが拒否されました）。"
                                     "既定の設定で動きます。読み込めるようになるまで、"
                                     "このファイルには保存しません。"});
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});  // the defaults, not the file's month icon

  s.calendar.ShowOptions();  // a later load says nothing more
  EXPECT_EQ(s.desktop.window.errors.size(), 1u);
  s.calendar.SetOptionBox(OptionBox::kWeekday, true);
  s.calendar.AcceptOptions();
  ASSERT_EQ(s.desktop.window.errors.size(), 2u);
  EXPECT_EQ(s.desktop.window.errors[1],
            path + " を読み込めないため、設定を保存しません（アクセスが拒否されました）。"
                   "このファイルは書き換えません。");
  EXPECT_TRUE(s.calendar.Window().visible);
  EXPECT_TRUE(s.panel().shown);
  EXPECT_EQ(s.desktop.settings.writes, 0);
  EXPECT_EQ(s.desktop.settings.contents, "[Pageleaf]\n" + mine);

  // Readable again (the user mended the permissions): 決定 keeps all the file holds.
  s.desktop.settings.unreadable.clear();
  s.calendar.AcceptOptions();
  EXPECT_FALSE(s.panel().shown);
  EXPECT_EQ(s.desktop.settings.contents,
            "[Pageleaf]\nMonth=0\n; my notes\nWeek=1\nTime=0\nNumber=0\n12h=0\nEtc=0\n"
            "Moon=0\nAutoTime=30\nAuto=0\nntpServer=\nhttpServer=\nproxyServer=\nntpSetup=0\n"
            "httpSetup=0\n[Mine]\nx=1\n");
}

TEST(OptionsPanel, DisplayBoxesTakeEffectAtOnceAndCancelPutsThemBack) {
  Story s("Month=1\nTime=1\n");
  s.calendar.ShowOptions();
  EXPECT_EQ(s.calendar.Window().caption, "設定");
  s.calendar.SetOptionBox(OptionBox::kMonth, false);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{110, 140, 150}));
  s.calendar.SetOptionBox(OptionBox::kClock, false);
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  s.calendar.SetOptionBox(OptionBox::kClock, true);

  s.calendar.SetOptionBox(OptionBox::kWeekNumber, true);
  const int week = s.desktop.tray.Ids().size();
  s.desktop.tray.log.clear();
  s.calendar.SelectWeekRule(1);  // no icon changes until the next refresh
  EXPECT_TRUE(s.desktop.tray.log.empty());
  EXPECT_EQ(s.calendar.State().weekRule, 1);
  EXPECT_EQ(static_cast<int>(s.desktop.tray.Ids().size()), week);

  s.calendar.CancelOptions();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 140, 150}));
  EXPECT_FALSE(s.calendar.Window().visible);
  EXPECT_FALSE(s.panel().shown);
}

TEST(OptionsPanel, TheDelayArrowsStopAtTheirEnds) {
  Story s("AutoTime=11\n");
  s.calendar.StepAutoUpdateDelay(false);
  s.calendar.StepAutoUpdateDelay(false);
  EXPECT_EQ(s.panel().autoSeconds, 10);
  Story top("AutoTime=299\n");
  top.calendar.StepAutoUpdateDelay(true);
  top.calendar.StepAutoUpdateDelay(true);
  EXPECT_EQ(top.panel().autoSeconds, 300);
  Story low("AutoTime=5\n");
  low.calendar.StepAutoUpdateDelay(false);
  EXPECT_EQ(low.panel().autoSeconds, 5);
  low.calendar.StepAutoUpdateDelay(true);
  EXPECT_EQ(low.panel().autoSeconds, 10);
}

// Whatever the user does, a dependent control is enabled exactly while its box (and, for
// the server fields, the chosen method) allows it.
TEST(OptionsPanel, TheEnablingInvariantHoldsThroughAnySequence) {
  Story s("ntpSetup=1\nntpServer=ntp.nict.jp\n");
  std::mt19937 random(20261208);
  for (int step = 0; step < 3000; ++step) {
    switch (random() % 8) {
      case 0:
        s.calendar.SetOptionBox(OptionBox::kSetClock, random() % 2);
        break;
      case 1:
        s.calendar.SelectTimeMethod(random() % 2);
        break;
      case 2:
        s.calendar.SetOptionBox(OptionBox::kWeekNumber, random() % 2);
        break;
      case 3:
        s.calendar.SelectWeekRule(random() % 2);
        break;
      case 4:
        s.calendar.SetOptionBox(OptionBox::kAutoUpdate, random() % 2);
        break;
      case 5:
        s.calendar.ShowOptions();
        break;
      case 6:
        s.calendar.CancelOptions();
        break;
      case 7:
        s.calendar.AcceptOptions();
        break;
    }
    const OptionsPanel& p = s.panel();
    const bool on = p.setClock.checked;
    ASSERT_EQ(p.timeMethodLabel.enabled, on) << step;
    ASSERT_EQ(p.ntpChoice.enabled, on) << step;
    ASSERT_EQ(p.httpChoice.enabled, on) << step;
    ASSERT_EQ(p.ntpServerField.enabled, on && !p.httpSelected) << step;
    ASSERT_EQ(p.ntpLabel.enabled, on && !p.httpSelected) << step;
    ASSERT_EQ(p.httpServerField.enabled, on && p.httpSelected) << step;
    ASSERT_EQ(p.proxyServerField.enabled, on && p.httpSelected) << step;
    ASSERT_EQ(p.weekRule.enabled, p.showWeekNumber.checked) << step;
    ASSERT_EQ(p.autoUpdateArrows.enabled, p.autoUpdate.checked) << step;
    ASSERT_EQ(s.calendar.State().weekRule,
              p.showWeekNumber.checked ? p.weekRuleIndex : s.calendar.State().weekRule);
  }
}

TEST(AboutPanel, OpensOverAForgottenOptionsPanelAndLinks) {
  Story s;
  s.calendar.ShowOptions();
  s.calendar.OnTrayEvent(
      TrayEvent::kRightButtonDown);  // leaves the options group in the hidden calendar
  s.calendar.ShowAbout();
  EXPECT_EQ(s.calendar.Window().caption, "バージョン情報");
  EXPECT_EQ(s.calendar.Window().view, View::kAbout);
  EXPECT_FALSE(s.panel().shown);
  s.calendar.OpenHomepage();
  EXPECT_EQ(s.desktop.window.opened,
            std::vector<std::string>{std::string(TrayCalendar::kHomepage)});
  EXPECT_TRUE(s.calendar.Window().visible);
}

}  // namespace
}  // namespace tsukio
