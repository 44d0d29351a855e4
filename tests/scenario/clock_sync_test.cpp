// Setting the clock from the tray: the status icon's stories on the headless desktop.
#include <gtest/gtest.h>

#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
using testing::At;
using testing::HeadlessDesktop;
using testing::Millis;
using Ids = std::vector<int>;
using Log = std::vector<std::string>;

struct Story {
  explicit Story(testing::LocalTime start) : desktop(start), calendar(desktop.desktop()) {}
  HeadlessDesktop desktop;
  TrayCalendar calendar;

  // The settings file the program will find when it starts.
  std::string keys;
  void UseNtp(const std::string& server = "ntp.example.jp") {
    keys += "ntpSetup=1\nntpServer=" + server + "\n";
  }
  void Start() {
    desktop.settings.contents = "[Pageleaf]\n" + keys;
    calendar.Start();
  }
  const testing::TrayIcon& Status() const { return desktop.tray.Icon(170); }
  const TextRun& LastRun() const { return desktop.painter.runs.back(); }
  bool Shows(int id) const {
    const Ids ids = desktop.tray.Ids();
    return std::find(ids.begin(), ids.end(), id) != ids.end();
  }
};

TEST(ClockSync, NoMethodNoStatusIcon) {
  Story s(At(2011, 5, 10, 9, 0));
  s.keys = "ntpServer=ntp.example.jp\n";  // a server alone chooses nothing
  s.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  EXPECT_TRUE(s.desktop.sync.udp.sent.empty());
  EXPECT_FALSE(s.desktop.syncStatusTimer().Pending());
}

TEST(ClockSync, SetTheStatusComesLastWithItsPictureAndTooltip) {
  Story s(At(2011, 5, 10, 13, 5));
  s.keys = "Month=1\nWeek=1\nTime=1\nNumber=1\n";
  s.UseNtp();
  s.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130, 170}));
  EXPECT_EQ(s.Status().tooltip, "時刻調整完了");
  EXPECT_EQ(s.LastRun().text, "ok");
  EXPECT_EQ(s.LastRun().colour, Colour::FromRgb(0, 0, 255));
  EXPECT_TRUE(s.LastRun().bold);
  EXPECT_EQ(s.Status().picture.at(0, 0) >> 24, 0u);  // a rounded square: clear corners
  EXPECT_EQ(s.Status().picture.at(8, 8), 0xFFFFFFFFu);
  EXPECT_EQ(s.desktop.sync.setter.asked.size(), 1u);
  EXPECT_TRUE(s.calendar.State().syncIconShown);
  EXPECT_TRUE(s.desktop.syncStatusTimer().Pending());
  EXPECT_EQ(s.desktop.syncStatusTimer().lastDelay, 5000);
}

TEST(ClockSync, NoAnswerIsSvNamingTheServer) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp("ntp.example.jp:1123");
  s.desktop.sync.udp.respond = [](const testing::SentDatagram&) { return std::vector<Datagram>{}; };
  s.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{110, 170}));
  EXPECT_EQ(s.Status().tooltip, "ntp.example.jp:1123サーバーへの接続失敗");
  EXPECT_EQ(s.LastRun().text, "sv");
  EXPECT_EQ(s.LastRun().colour, Colour::FromRgb(128, 0, 128));
  EXPECT_EQ(s.desktop.sync.udp.waits, std::vector<Millis>{Millis(5000)});
  EXPECT_TRUE(s.desktop.sync.setter.asked.empty());
}

TEST(ClockSync, ARefusedClockIsPc) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp();
  s.desktop.sync.setter.refusal = "automatic time synchronization is on";
  s.Start();
  EXPECT_EQ(s.Status().tooltip, "PCへの時刻設定失敗");
  EXPECT_EQ(s.LastRun().text, "pc");
  EXPECT_EQ(s.LastRun().colour, Colour::FromRgb(128, 0, 128));
}

TEST(ClockSync, TheStatusGoesAfterFiveSecondsAndTheRestStays) {
  Story s(At(2011, 5, 10, 9, 0));
  s.keys = "Month=1\n";
  s.UseNtp();
  s.Start();
  s.desktop.tray.log.clear();
  s.desktop.Advance(Millis(4999));
  EXPECT_TRUE(s.Shows(170));
  s.desktop.Advance(Millis(1));
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110}));
  EXPECT_EQ(s.desktop.tray.log, Log{"delete 170"});
  EXPECT_FALSE(s.calendar.State().syncIconShown);
  EXPECT_FALSE(s.desktop.syncStatusTimer().Pending());
  EXPECT_EQ(s.desktop.syncStatusTimer().ticks, 1);
  s.desktop.Advance(Millis(60000));
  EXPECT_EQ(s.desktop.syncStatusTimer().ticks, 1);  // once only
}

TEST(ClockSync, ARefreshWithinTheFiveSecondsShowsAFreshStatusTillTheFirstTimerTicks) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp();
  s.Start();
  s.desktop.Advance(Millis(1000));
  s.desktop.sync.setter.refusal = "not permitted";  // this time the clock refuses
  s.desktop.tray.log.clear();
  (s.calendar.*TrayCalendar::Menu()[2].command)();  // 更新(&R)
  EXPECT_EQ(s.desktop.tray.log, (Log{"delete 110", "delete 170", "add 110", "add 170"}));
  EXPECT_EQ(s.Status().tooltip, "PCへの時刻設定失敗");
  EXPECT_EQ(s.desktop.sync.setter.asked.size(), 2u);  // the sync ran again
  s.desktop.Advance(Millis(3999));
  EXPECT_TRUE(s.Shows(170));
  s.desktop.Advance(Millis(1));  // five seconds after the first: its timer was not restarted
  EXPECT_FALSE(s.Shows(170));
  EXPECT_FALSE(s.desktop.syncStatusTimer().Pending());
}

TEST(ClockSync, ExitWhileTheStatusShowsRemovesItAndStopsTheTimer) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp();
  s.Start();
  s.desktop.tray.log.clear();
  s.calendar.Exit();
  EXPECT_EQ(s.desktop.tray.log, (Log{"delete 110", "delete 170"}));
  EXPECT_TRUE(s.desktop.tray.icons.empty());
  EXPECT_FALSE(s.calendar.State().syncIconShown);
  EXPECT_FALSE(s.desktop.syncStatusTimer().Pending());
  EXPECT_TRUE(s.desktop.window.closed);
}

TEST(ClockSync, HttpBeforeNtpAndUnknownModesFailAtOnce) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp();
  s.keys += "httpSetup=2\nhttpServer=web.example/\nproxyServer=proxy.example:3128\n";
  s.Start();
  ASSERT_EQ(s.desktop.sync.http.requests.size(), 1u);
  EXPECT_EQ(s.desktop.sync.http.requests[0].mode, HttpAccessMode::kNamedProxy);
  EXPECT_EQ(s.desktop.sync.http.requests[0].proxy, "http://proxy.example:3128");
  EXPECT_TRUE(s.desktop.sync.udp.sent.empty());
  EXPECT_EQ(s.Status().tooltip, "時刻調整完了");
  // Tue, 10 May 2011 04:05:06 GMT, read at once: no correction.
  EXPECT_EQ(s.desktop.sync.setter.asked,
            std::vector<UtcTime>{UtcTime{chr::sys_days{chr::year{2011} / 5 / 10} + chr::hours{4} +
                                         chr::minutes{5} + chr::seconds{6}}});

  Story unknown(At(2011, 5, 10, 9, 0));
  unknown.UseNtp();
  unknown.keys += "httpSetup=4\nhttpServer=web.example/\n";
  unknown.Start();
  EXPECT_EQ(unknown.Status().tooltip, "サーバーへの接続失敗");  // the SNTP server was not asked
  EXPECT_EQ(unknown.LastRun().text, "sv");
  EXPECT_TRUE(unknown.desktop.sync.http.requests.empty());
  EXPECT_TRUE(unknown.desktop.sync.udp.sent.empty());
}

// The server answers late: the row is in the tray meanwhile, and the status icon joins it at
// the right end when the outcome comes back from the worker.
TEST(ClockSyncOffTheEventLoop, TheRowFirstTheStatusLastWhenTheAnswerComes) {
  Story s(At(2011, 5, 10, 13, 5));
  s.keys = "Month=1\nWeek=1\nTime=1\nNumber=1\n";
  s.UseNtp();
  s.desktop.worker.immediate = false;
  s.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130}));
  EXPECT_TRUE(s.calendar.State().syncRunning);
  EXPECT_TRUE(s.desktop.sync.udp.sent.empty());  // the job has not run on the event loop
  ASSERT_EQ(s.desktop.worker.jobs.size(), 1u);

  s.calendar.Refresh();  // a refresh meanwhile does not ask a second time
  EXPECT_EQ(s.desktop.worker.jobs.size(), 1u);

  s.desktop.worker.FinishOne();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130, 170}));
  EXPECT_EQ(s.Status().tooltip, "時刻調整完了");
  EXPECT_FALSE(s.calendar.State().syncRunning);
  EXPECT_TRUE(s.calendar.State().syncIconShown);
  s.desktop.Advance(Millis(5000));
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130}));

  s.calendar.Refresh();  // the next refresh asks again
  EXPECT_EQ(s.desktop.worker.started, 2);
}

TEST(ClockSyncOffTheEventLoop, AnOutcomeAfterExitAddsNothing) {
  Story s(At(2011, 5, 10, 9, 0));
  s.UseNtp();
  s.desktop.worker.immediate = false;
  s.Start();
  s.calendar.Exit();
  s.desktop.worker.FinishOne();
  EXPECT_TRUE(s.desktop.tray.icons.empty());
  EXPECT_FALSE(s.calendar.State().syncIconShown);
  EXPECT_FALSE(s.desktop.syncStatusTimer().Pending());
}

}  // namespace
}  // namespace tsukio
