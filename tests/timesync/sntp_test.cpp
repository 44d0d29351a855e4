// The SNTP client: the server text, the packets, the NTP eras, and which datagrams count.
#include "timesync/sntp.h"

#include <gtest/gtest.h>

#include "tests/support/fake_sync.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
using testing::FakeSyncWorld;
using testing::SentDatagram;
using testing::SntpAnswer;

UtcTime Utc(int y, unsigned m, unsigned d, int h, int min, int s, int ms = 0) {
  return UtcTime{chr::sys_days{chr::year{y} / m / d} + chr::hours{h} + chr::minutes{min} +
                 chr::seconds{s} + chr::milliseconds{ms}};
}

constexpr std::uint32_t kExampleServer = 0xC000027B;  // 192.0.2.123, ntp.example.jp

TEST(SntpTime, ErasAndMilliseconds) {
  // Era 0 from 1970, era 1 from the 2036 rollover: never before 1970, never wrapped.
  EXPECT_EQ(NtpToUtc({3'500'000'000u, 0x80000000u}), Utc(2010, 11, 29, 6, 13, 20, 500));
  EXPECT_EQ(NtpToUtc({2'208'988'800u, 0}), Utc(1970, 1, 1, 0, 0, 0));
  EXPECT_EQ(NtpToUtc({0xFFFFFFFFu, 0xFFFFFFFFu}), Utc(2036, 2, 7, 6, 28, 15, 999));
  EXPECT_EQ(NtpToUtc({0, 1}), Utc(2036, 2, 7, 6, 28, 16));
  EXPECT_EQ(NtpToUtc({61'505'152u, 0}), Utc(2038, 1, 19, 3, 14, 8));  // past 2^31 s since 1970
  EXPECT_EQ(NtpToUtc({2'208'988'799u, 0}), Utc(2106, 2, 7, 6, 28, 15));
  EXPECT_EQ(NtpToUtc({3'500'000'000u, 4'294'967u}), Utc(2010, 11, 29, 6, 13, 20, 0));  // < 1 ms
  EXPECT_EQ(NtpToUtc({3'500'000'000u, 4'294'968u}), Utc(2010, 11, 29, 6, 13, 20, 1));
}

TEST(SntpPackets, OnlyAGenuineAnswerCounts) {
  const auto request = SntpRequest(0x1122334455667788u);
  const auto read = [&](SntpAnswer answer) {
    return ReadSntpReply(testing::SntpReply(request, answer), 0x1122334455667788u);
  };
  EXPECT_TRUE(read({}));
  EXPECT_TRUE(read({.version = 4}));
  EXPECT_TRUE(read({.leap = 1}));  // a leap second announced: still a good clock
  EXPECT_TRUE(read({.stratum = 1}));
  EXPECT_TRUE(read({.stratum = 15}));
  EXPECT_TRUE(read({.size = 68}));  // with a key id and digest after the header
  EXPECT_TRUE(read({.seconds = 0, .fraction = 1}));

  EXPECT_FALSE(read({.size = 47}));
  EXPECT_FALSE(read({.size = 0}));
  EXPECT_FALSE(read({.mode = 3}));     // another client
  EXPECT_FALSE(read({.mode = 5}));     // broadcast
  EXPECT_FALSE(read({.stratum = 0}));  // kiss-o'-death
  EXPECT_FALSE(read({.stratum = 16}));
  EXPECT_FALSE(read({.leap = 3}));  // the server's own clock is not synchronized
  EXPECT_FALSE(read({.seconds = 0, .fraction = 0}));
  EXPECT_FALSE(read({.echo = false}));
}

struct NtpRun {
  FakeSyncWorld world;
  SyncReport Run(std::string_view server) { return SyncClockNtp(server, world.services); }
};

TEST(SyncClockNtp, SetsTheClockFromTheAnswer) {
  NtpRun r;
  const SyncReport report = r.Run("ntp.example.jp");
  EXPECT_EQ(report.result, SyncOk);
  ASSERT_EQ(r.world.setter.asked, std::vector<UtcTime>{Utc(2010, 11, 29, 6, 13, 20, 500)});
  EXPECT_EQ(report.local, (LocalTimestamp{chr::year{2010} / 11 / 29, 15, 13, 20, 500}));

  ASSERT_EQ(r.world.udp.sent.size(), 1u);
  EXPECT_EQ(r.world.udp.sent[0].to, (Ipv4Endpoint{kExampleServer, 123}));
  EXPECT_EQ(r.world.udp.sent[0].bytes.size(), 48u);
  EXPECT_EQ(r.world.udp.sent[0].bytes[0], 0x0B);  // version 1, client mode
  EXPECT_EQ(r.world.udp.connections, (std::vector<Ipv4Endpoint>{{kExampleServer, 123}}));
  EXPECT_EQ(r.world.udp.waits.front(), chr::milliseconds(5000));

  r.Run("ntp.example.jp");  // every request carries a fresh stamp
  EXPECT_NE(testing::GetBigEndian64(r.world.udp.sent[0].bytes, 40),
            testing::GetBigEndian64(r.world.udp.sent[1].bytes, 40));
}

TEST(SyncClockNtp, PortsAndAddresses) {
  NtpRun r;
  r.world.udp.names["other.example.jp"] = 0xC0000201;
  EXPECT_EQ(r.Run("ntp.example.jp:1123").result, SyncOk);
  EXPECT_EQ(r.world.udp.sent.back().to.port, 1123);
  EXPECT_EQ(r.Run("192.0.2.7").result, SyncOk);  // a dotted address is not looked up
  EXPECT_EQ(r.world.udp.sent.back().to, (Ipv4Endpoint{0xC0000207, 123}));
  EXPECT_EQ(r.world.udp.lookups, std::vector<std::string>{"ntp.example.jp"});

  for (const char* server :
       {"ntp.example.jp:", "192.0.2.7:0", "192.0.2.7:65536", "nowhere.jp", "", ":123"}) {
    NtpRun bad;
    EXPECT_EQ(bad.Run(server).result, SyncServerFailed) << server;
    EXPECT_TRUE(bad.world.udp.sent.empty()) << server;
    EXPECT_TRUE(bad.world.setter.asked.empty()) << server;
  }
}

// Only the server's own address and port count; what else arrives is passed over.
TEST(SyncClockNtp, StrayDatagramsDoNotHideTheAnswer) {
  NtpRun r;
  r.world.udp.respond = [](const SentDatagram& request) {
    std::vector<Datagram> arrivals = {
        {{kExampleServer, 9999}, testing::SntpReply(request.bytes)},
        {{kExampleServer + 1, 123}, testing::SntpReply(request.bytes)},
        {request.to, testing::SntpReply(request.bytes, {.seconds = 3'600'000'000u, .echo = false})},
    };
    arrivals.push_back(testing::ScriptedUdpPeer::Answer(request, {})[0]);
    return arrivals;
  };
  EXPECT_EQ(r.Run("ntp.example.jp").result, SyncOk);
  EXPECT_EQ(r.world.setter.asked, std::vector<UtcTime>{Utc(2010, 11, 29, 6, 13, 20, 500)});
}

// However many datagrams a flood brings, only time ends the wait: the answer behind them
// still counts.
TEST(SyncClockNtp, AFloodOfJunkDoesNotEndTheWait) {
  NtpRun r;
  r.world.udp.respond = [](const SentDatagram& request) {
    std::vector<Datagram> arrivals(10'000, {request.to, {0x24, 0x01}});
    arrivals.push_back(testing::ScriptedUdpPeer::Answer(request, {})[0]);
    return arrivals;
  };
  EXPECT_EQ(r.Run("ntp.example.jp").result, SyncOk);
  EXPECT_EQ(r.world.udp.waits.size(), 10'001u);
}

TEST(SyncClockNtp, TheWaitIsOneWaitInAll) {
  // Stray datagrams keep coming, each two seconds after the last, and the tick counter wraps
  // on the way: the wait still ends five seconds after the request.
  class Slow final : public TickCounter {
   public:
    std::uint32_t Milliseconds() const override { return 0xFFFFF000u + 2000u * calls_++; }

   private:
    mutable std::uint32_t calls_ = 0;
  } slow;
  FakeSyncWorld world;
  world.udp.respond = [](const SentDatagram& request) {
    return std::vector<Datagram>(9, {{kExampleServer, 9}, testing::SntpReply(request.bytes)});
  };
  SyncServices services{world.udp,   world.http,   slow,
                        world.clock, world.setter, chr::milliseconds(5000)};
  EXPECT_EQ(SyncClockNtp("ntp.example.jp", services).result, SyncServerFailed);
  EXPECT_EQ(world.udp.waits,
            (std::vector<chr::milliseconds>{chr::milliseconds(3000), chr::milliseconds(1000)}));
}

}  // namespace
}  // namespace tsukio
