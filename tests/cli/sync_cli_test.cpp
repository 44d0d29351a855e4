// tsukio-cal sync: its output, its arguments, and that a dry run never sets the clock.
#include <gtest/gtest.h>

#include <sstream>

#include "app/tsukio-cal/cal_cli.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_sync.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

class FakeSyncTools final : public SyncTools {
 public:
  SyncServices& Services() override { return world.services; }
  testing::FakeSyncWorld world;
};

struct SyncRun {
  FakeSyncTools tools;
  int code = -1;
  std::string out;
  std::string err;

  SyncRun() {
    // The machine's clock is 1.25 s behind the server's answer, 2010-11-29 06:13:20.500 UTC.
    tools.world.clock.now = UtcTime{chr::sys_days{chr::year{2010} / 11 / 29} + chr::hours{6} +
                                    chr::minutes{13} + chr::seconds{19} + chr::milliseconds{250}};
  }
  SyncRun& Run(std::vector<std::string> args) {
    args.insert(args.begin(), "sync");
    const testing::FakeClock clock;
    std::ostringstream o, e;
    code = RunCal(args, o, e, CalEnvironment{clock, false, nullptr, nullptr, &tools});
    out = o.str();
    err = e.str();
    return *this;
  }
};

TEST(SyncCommand, DryRunPrintsTheTimeAndNeverSets) {
  SyncRun r;
  r.Run({"--ntp", "ntp.example.jp", "--dry-run"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "outcome: 0\n"
            "local-time: 2010-11-29 15:13:20.500\n"
            "offset: +1.250 s\n");
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.tools.world.setter.asked.empty());

  SyncRun behind;  // the server is behind the machine
  behind.tools.world.clock.now += chr::milliseconds(3750);
  behind.Run({"--dry-run", "--ntp=ntp.example.jp:123"});
  EXPECT_EQ(behind.out.substr(behind.out.find("offset")), "offset: -2.500 s\n");
}

TEST(SyncCommand, WithoutDryRunItSets) {
  SyncRun r;
  r.Run({"--ntp", "ntp.example.jp"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.tools.world.setter.asked.size(), 1u);
  EXPECT_EQ(r.out.substr(0, 11), "outcome: 0\n");

  SyncRun refused;
  refused.tools.world.setter.refusal = "automatic time synchronization is on";
  refused.Run({"--ntp", "ntp.example.jp"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.out,
            "outcome: 2\n"
            "local-time: 2010-11-29 15:13:20.500\n"
            "offset: +1.250 s\n");
  EXPECT_EQ(refused.err,
            "tsukio-cal: the clock was not set: automatic time synchronization is on\n");
}

TEST(SyncCommand, NoAnswerAndNoTime) {
  SyncRun silent;
  silent.tools.world.udp.respond = [](const testing::SentDatagram&) {
    return std::vector<Datagram>{};
  };
  silent.Run({"--ntp", "ntp.example.jp", "--dry-run"});
  EXPECT_EQ(silent.code, 1);
  EXPECT_EQ(silent.out, "outcome: 1\n");

  SyncRun rfc850;
  rfc850.tools.world.http.date = "Sunday, 06-Nov-94 08:49:37 GMT";
  rfc850.Run({"--http", "http://web.example/", "--proxy", "proxy.example:3128", "--dry-run"});
  EXPECT_EQ(rfc850.code, 1);
  EXPECT_EQ(rfc850.out, "outcome: 2\n");
  ASSERT_EQ(rfc850.tools.world.http.requests.size(), 1u);
  EXPECT_EQ(rfc850.tools.world.http.requests[0].mode, HttpAccessMode::kNamedProxy);
  EXPECT_EQ(rfc850.tools.world.http.requests[0].proxy, "http://proxy.example:3128");

  SyncRun system;
  system.Run({"--http", "https://web.example/", "--system-proxy", "--dry-run"});
  EXPECT_EQ(system.tools.world.http.requests.at(0).mode, HttpAccessMode::kPreconfigured);
}

TEST(SyncCommand, BadArgumentsAreOneLineAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--ntp", "a", "--http", "http://b/"},
      {"--ntp", "a", "--proxy", "p:1"},
      {"--ntp", "a", "--system-proxy"},
      {"--http", "http://b/", "--proxy", "p:1", "--system-proxy"},
      {"--ntp", ""},
      {"--ntp", "a:"},
      {"--ntp", "a:0"},
      {"--ntp", ":123"},
      {"--http", "ftp://b/"},
      {"--http", "http://"},
      {"--http", "http://b/", "--proxy", "p"},
      {"--ntp", "a", "--dry-run=yes"},
      {"--ntp", "a", "extra"},
      {"--ntp"},
  };
  for (const auto& args : cases) {
    SyncRun r;
    r.Run(args);
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(r.code, 2) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << r.err;
    EXPECT_TRUE(r.tools.world.udp.sent.empty() && r.tools.world.http.requests.empty()) << shown;
  }
}

}  // namespace
}  // namespace tsukio
