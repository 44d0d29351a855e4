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
  explicit Story(std::optional<std::string> keys = std::nullopt)
      : desktop(At(2011, 5, 10, 13, 5)), form(desktop.desktop()) {
    if (keys) desktop.settings.contents = "[Pageleaf]\n" + *keys;
    form.FormCreate();
  }
  int Stored(std::string_view key) const {
    return IniProfile(desktop.settings.contents.value_or("")).ReadInteger("Pageleaf", key, -99);
  }
  std::string StoredText(std::string_view key) const {
    return IniProfile(desktop.settings.contents.value_or(""))
        .ReadString("Pageleaf", key)
        .value_or("<none>");
  }
  const OptionsPanel& panel() const { return form.Panel(); }

  HeadlessDesktop desktop;
  TForm1 form;
};

TEST(LoadSettings, FirstStartWithoutFolderOrFile) {
  Story s;
  const OptionsPanel& p = s.panel();
  EXPECT_GE(s.desktop.settings.folderCalls, 1);
  EXPECT_FALSE(p.chkMonth.checked || p.chkWeek.checked || p.chkTime.checked ||
               p.chkNumber.checked || p.chk12h.checked || p.chkEtc.checked || p.chkAuto.checked ||
               p.chkTimeServer.checked);
  EXPECT_EQ(p.autoSeconds, 30);
  EXPECT_EQ(s.desktop.times().Interval(), 30000);
  EXPECT_EQ(s.form.Settings().ntpSetup, 0);
  EXPECT_EQ(s.form.Settings().httpSetup, 0);
  // The boxes with dependent controls start with those controls disabled.
  EXPECT_FALSE(p.rdoNumber.enabled);
  EXPECT_FALSE(p.lblAuto.enabled || p.txtAuto.enabled || p.cmdAuto.enabled);
  EXPECT_FALSE(p.lblTimeServer.enabled || p.rdoNtp.enabled || p.rdoHttp.enabled ||
               p.txtNtpServer.enabled || p.txtHttpServer.enabled || p.txtProxyServer.enabled);
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  EXPECT_EQ(s.desktop.settings.writes, 0);  // reading never writes
}

TEST(LoadSettings, FlagsChoicesAndTheDelay) {
  Story s("month=2\nWEEK=1\nNumber=2\nAutoTime=300\nAuto=1\n");
  EXPECT_FALSE(s.panel().chkMonth.checked);  // only exactly 1 is on
  EXPECT_TRUE(s.panel().chkWeek.checked);    // names match whatever their case
  EXPECT_TRUE(s.panel().chkNumber.checked);
  EXPECT_EQ(s.panel().rdoNumberIndex, 1);
  EXPECT_EQ(s.form.State().WeekNumberMethod, 1);
  EXPECT_EQ(s.desktop.times().Interval(), 300000);
  EXPECT_TRUE(s.panel().cmdAuto.enabled);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{110, 120, 130}));

  EXPECT_FALSE(Story("Number=3\n").panel().chkNumber.checked);
  for (const char* bad : {"0", "301", "abc", "-5", ""}) {
    Story rejected(std::string("AutoTime=") + bad + "\n");
    EXPECT_EQ(rejected.panel().autoSeconds, 30) << bad;
    EXPECT_EQ(rejected.desktop.times().Interval(), 30000) << bad;
  }
  Story quick("AutoTime=1\n");
  EXPECT_EQ(quick.desktop.times().Interval(), 1000);
  EXPECT_EQ(quick.panel().autoSeconds, 1);  // shown as in force; the arrows bring it to 10
}

TEST(LoadSettings, TimeSettingModes) {
  Story noServer("ntpSetup=1\n");
  EXPECT_EQ(noServer.form.Settings().ntpSetup, 0);
  EXPECT_FALSE(noServer.panel().chkTimeServer.checked);

  Story ntp("ntpSetup=1\nntpServer=ntp.nict.jp\n");
  EXPECT_EQ(ntp.form.Settings().ntpServer, "ntp.nict.jp");
  EXPECT_TRUE(ntp.panel().chkTimeServer.checked);
  EXPECT_FALSE(ntp.panel().httpSelected);
  EXPECT_TRUE(ntp.panel().txtNtpServer.enabled);
  EXPECT_FALSE(ntp.panel().txtHttpServer.enabled);

  Story direct("httpSetup=1\nhttpServer=www.example.jp\n");
  EXPECT_EQ(direct.panel().txtHttpServer.text, "www.example.jp");
  EXPECT_EQ(direct.form.Settings().httpServer, "http://www.example.jp");
  EXPECT_TRUE(direct.panel().chkTimeServer.checked);
  EXPECT_TRUE(direct.panel().httpSelected);

  Story schemed("httpSetup=1\nhttpServer=https://www.example.jp/\n");
  EXPECT_EQ(schemed.form.Settings().httpServer, "https://www.example.jp/");  // no second scheme

  Story empty("httpSetup=1\n");  // nothing to ask: HTTP is off, not a request to "http://"
  EXPECT_EQ(empty.form.Settings().httpSetup, 0);
  EXPECT_EQ(empty.form.Settings().httpServer, "");
  EXPECT_FALSE(empty.panel().chkTimeServer.checked);

  Story proxy("httpSetup=2\nhttpServer=www.example.jp\nproxyServer=proxy:8080\n");
  EXPECT_EQ(proxy.form.Settings().httpServer, "http://www.example.jp");
  EXPECT_EQ(proxy.form.Settings().proxyServer, "http://proxy:8080");

  Story system("httpSetup=3\nhttpServer=www.example.jp\n");
  EXPECT_EQ(system.form.Settings().httpSetup, 3);

  Story both("ntpSetup=1\nntpServer=ntp.nict.jp\nhttpSetup=1\nhttpServer=www.example.jp\n");
  EXPECT_TRUE(both.panel().httpSelected);
  EXPECT_EQ(both.form.Settings().httpSetup, 1);
}

TEST(SaveSettings, ANewFileListsEveryKeyInOrder) {
  Story s;
  s.form.MSetupClick();
  s.form.cmdOKClick();
  EXPECT_EQ(s.desktop.settings.contents.value(),
            "[Pageleaf]\nMonth=0\nWeek=0\nTime=0\nNumber=0\n12h=0\nEtc=0\nAutoTime=30\nAuto=0\n"
            "ntpServer=\nhttpServer=\nproxyServer=\nntpSetup=0\nhttpSetup=0\n");
  EXPECT_FALSE(s.form.Window().visible);
}

TEST(SaveSettings, OkRightAfterOpeningWritesTheNormalisedValues) {
  Story s(
      "; my note\nMonth=2\nAutoTime=0\nhttpSetup=3\nhttpServer=www.example.jp\nntpSetup=1\n"
      "Extra=keep\n");
  s.form.MSetupClick();
  s.form.cmdOKClick();
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
  s.form.MSetupClick();
  s.form.ShowTab(OptionsTab::kTime);
  s.form.SetOptionBox(OptionBox::kTimeServer, true);
  s.form.SelectTimeMethod(true);
  s.form.EditServer(ServerField::kHttp, "www.example.jp");
  s.form.cmdOKClick();
  EXPECT_EQ(s.Stored("httpSetup"), 1);
  EXPECT_EQ(s.form.Settings().httpSetup, 0);  // in force only from the next load

  s.form.MSetupClick();
  EXPECT_EQ(s.form.Settings().httpServer, "http://www.example.jp");
  s.form.EditServer(ServerField::kProxy, " ");  // any proxy text, even a blank
  s.form.cmdOKClick();
  EXPECT_EQ(s.Stored("httpSetup"), 2);

  s.form.MSetupClick();
  s.form.SetOptionBox(OptionBox::kNumber, true);
  s.form.SelectWeekRule(1);
  s.form.SetOptionBox(OptionBox::kTimeServer, false);  // servers are still written
  s.form.cmdOKClick();
  EXPECT_EQ(s.Stored("Number"), 2);
  EXPECT_EQ(s.Stored("httpSetup"), 0);
  EXPECT_EQ(s.StoredText("httpServer"), "www.example.jp");
}

TEST(SaveSettings, AFailedSaveKeepsThePanelOpenWithTheEdits) {
  Story s;
  s.form.MSetupClick();
  s.form.SetOptionBox(OptionBox::kMonth, true);
  s.desktop.settings.failWrites = true;
  s.form.cmdOKClick();
  EXPECT_EQ(
      s.desktop.window.errors,
      std::vector<std::string>{"/home/user/.config/Quorv/Tsukio/tsukio.ini に書き込めません"});
  EXPECT_TRUE(s.form.Window().visible);
  EXPECT_TRUE(s.panel().shown);
  EXPECT_TRUE(s.panel().chkMonth.checked);
  EXPECT_FALSE(s.desktop.settings.contents);
}

TEST(OptionsPanel, DisplayBoxesTakeEffectAtOnceAndCancelPutsThemBack) {
  Story s("Month=1\nTime=1\n");
  s.form.MSetupClick();
  EXPECT_EQ(s.form.Window().caption, "設定");
  s.form.SetOptionBox(OptionBox::kMonth, false);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{110, 140, 150}));
  s.form.SetOptionBox(OptionBox::kTime, false);
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  EXPECT_EQ(s.desktop.times().Interval(), 60000);
  s.form.SetOptionBox(OptionBox::kTime, true);
  EXPECT_EQ(s.desktop.times().Interval(), 1000);

  s.form.SetOptionBox(OptionBox::kNumber, true);
  const int week = s.desktop.tray.Ids().size();
  s.desktop.tray.log.clear();
  s.form.SelectWeekRule(1);  // no icon changes until the next refresh
  EXPECT_TRUE(s.desktop.tray.log.empty());
  EXPECT_EQ(s.form.State().WeekNumberMethod, 1);
  EXPECT_EQ(static_cast<int>(s.desktop.tray.Ids().size()), week);

  s.form.cmdFalseClick();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 140, 150}));
  EXPECT_FALSE(s.form.Window().visible);
  EXPECT_FALSE(s.panel().shown);
}

TEST(OptionsPanel, TheDelayArrowsStopAtTheirEnds) {
  Story s("AutoTime=11\n");
  s.form.cmdAutoClick(false);
  s.form.cmdAutoClick(false);
  EXPECT_EQ(s.panel().autoSeconds, 10);
  Story top("AutoTime=299\n");
  top.form.cmdAutoClick(true);
  top.form.cmdAutoClick(true);
  EXPECT_EQ(top.panel().autoSeconds, 300);
  Story low("AutoTime=5\n");
  low.form.cmdAutoClick(false);
  EXPECT_EQ(low.panel().autoSeconds, 5);
  low.form.cmdAutoClick(true);
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
        s.form.SetOptionBox(OptionBox::kTimeServer, random() % 2);
        break;
      case 1:
        s.form.SelectTimeMethod(random() % 2);
        break;
      case 2:
        s.form.SetOptionBox(OptionBox::kNumber, random() % 2);
        break;
      case 3:
        s.form.SelectWeekRule(random() % 2);
        break;
      case 4:
        s.form.SetOptionBox(OptionBox::kAuto, random() % 2);
        break;
      case 5:
        s.form.MSetupClick();
        break;
      case 6:
        s.form.cmdFalseClick();
        break;
      case 7:
        s.form.cmdOKClick();
        break;
    }
    const OptionsPanel& p = s.panel();
    const bool on = p.chkTimeServer.checked;
    ASSERT_EQ(p.lblTimeServer.enabled, on) << step;
    ASSERT_EQ(p.rdoNtp.enabled, on) << step;
    ASSERT_EQ(p.rdoHttp.enabled, on) << step;
    ASSERT_EQ(p.txtNtpServer.enabled, on && !p.httpSelected) << step;
    ASSERT_EQ(p.lblNtp.enabled, on && !p.httpSelected) << step;
    ASSERT_EQ(p.txtHttpServer.enabled, on && p.httpSelected) << step;
    ASSERT_EQ(p.txtProxyServer.enabled, on && p.httpSelected) << step;
    ASSERT_EQ(p.rdoNumber.enabled, p.chkNumber.checked) << step;
    ASSERT_EQ(p.cmdAuto.enabled, p.chkAuto.checked) << step;
    ASSERT_EQ(s.form.State().WeekNumberMethod,
              p.chkNumber.checked ? p.rdoNumberIndex : s.form.State().WeekNumberMethod);
  }
}

TEST(AboutPanel, OpensOverAForgottenOptionsPanelAndLinks) {
  Story s;
  s.form.MSetupClick();
  s.form.TrayNotify(TrayEvent::kRightButtonDown);  // leaves the options group in the hidden form
  s.form.MInfoClick();
  EXPECT_EQ(s.form.Window().caption, "バージョン情報");
  EXPECT_EQ(s.form.Window().view, View::kAbout);
  EXPECT_FALSE(s.panel().shown);
  s.form.pnlLINKClick();
  EXPECT_EQ(s.desktop.window.opened, std::vector<std::string>{std::string(TForm1::kHomepage)});
  EXPECT_TRUE(s.form.Window().visible);
}

}  // namespace
}  // namespace tsukio
