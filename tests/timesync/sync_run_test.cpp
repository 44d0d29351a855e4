// Which method a synchronization uses, and how its outcome is shown.
#include "timesync/sync_run.h"

#include <gtest/gtest.h>

#include "tests/support/fake_sync.h"

namespace tsukio {
namespace {

using testing::FakeSyncWorld;

TEST(SynchronizeClock, HttpBeforeNtpAndTheModes) {
  struct Case {
    int httpSetup;
    HttpAccessMode mode;
    std::string proxy;
  };
  for (const Case& c : std::vector<Case>{{1, HttpAccessMode::kDirect, ""},
                                         {2, HttpAccessMode::kNamedProxy, "http://p:3128"},
                                         {3, HttpAccessMode::kPreconfigured, ""}}) {
    FakeSyncWorld w;
    const SyncSettings settings{1, c.httpSetup, "ntp.example.jp", "http://web.example/",
                                "http://p:3128"};
    EXPECT_EQ(SynchronizeClock(settings, w.services).result, SyncOk);
    ASSERT_EQ(w.http.requests.size(), 1u);
    EXPECT_EQ(w.http.requests[0].mode, c.mode);
    EXPECT_EQ(w.http.requests[0].url, "http://web.example/");
    EXPECT_EQ(w.http.requests[0].proxy, c.proxy);
    EXPECT_TRUE(w.udp.sent.empty());  // SNTP is not tried
  }

  FakeSyncWorld ntp;
  EXPECT_EQ(SynchronizeClock({1, 0, "ntp.example.jp", "", ""}, ntp.services).result, SyncOk);
  EXPECT_EQ(ntp.udp.sent.size(), 1u);
  EXPECT_TRUE(ntp.http.requests.empty());

  for (int unknown : {4, -1}) {
    FakeSyncWorld w;
    EXPECT_EQ(
        SynchronizeClock({1, unknown, "ntp.example.jp", "http://web.example/", ""}, w.services)
            .result,
        SyncServerFailed);
    EXPECT_TRUE(w.http.requests.empty());
    EXPECT_TRUE(w.udp.sent.empty());
  }

  FakeSyncWorld noDate;
  noDate.http.date.reset();
  EXPECT_EQ(SynchronizeClock({0, 1, "", "http://web.example/", ""}, noDate.services).result,
            SyncServerFailed);
}

TEST(SyncStatus, WordsColoursAndTooltips) {
  const SyncSettings ntp{1, 0, "ntp.example.jp", "", ""};
  EXPECT_EQ(StatusOf(SyncOk, ntp).word, "ok");
  EXPECT_EQ(StatusOf(SyncOk, ntp).colour, Colour::FromRgb(0, 0, 255));
  EXPECT_EQ(StatusOf(SyncOk, ntp).tooltip, "時刻調整完了");
  EXPECT_EQ(StatusOf(SyncServerFailed, ntp).word, "sv");
  EXPECT_EQ(StatusOf(SyncServerFailed, ntp).colour, Colour::FromRgb(128, 0, 128));
  EXPECT_EQ(StatusOf(SyncServerFailed, ntp).tooltip, "ntp.example.jpサーバーへの接続失敗");
  EXPECT_EQ(StatusOf(SyncSetFailed, ntp).word, "pc");
  EXPECT_EQ(StatusOf(SyncSetFailed, ntp).colour, Colour::FromRgb(128, 0, 128));
  EXPECT_EQ(StatusOf(SyncSetFailed, ntp).tooltip, "PCへの時刻設定失敗");
  // HTTP was asked, not the SNTP server that is still configured.
  EXPECT_EQ(StatusOf(SyncServerFailed, {1, 2, "ntp.example.jp", "http://w/", "http://p:1"}).tooltip,
            "サーバーへの接続失敗");
}

}  // namespace
}  // namespace tsukio
