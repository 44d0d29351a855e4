// The SNTP client over real UDP sockets, against a server inside the test on 127.0.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "platform/posix/clock_setting.h"
#include "platform/posix/udp_network.h"
#include "tests/network/child_process.h"
#include "tests/support/fake_sync.h"
#include "timesync/sntp.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
using testing::SntpAnswer;

int BoundUdpSocket(std::uint32_t address, std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(address);
  local.sin_port = htons(port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::uint16_t PortOf(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

// An SNTP server on 127.0.0.1 that answers every request as the test scripts it, for a
// few seconds at most.
class LoopbackSntpServer {
 public:
  struct Reply {
    std::vector<std::uint8_t> bytes;
    bool fromAnotherPort = false;
    chr::milliseconds after{0};  // since the request came
  };
  using Script = std::function<std::vector<Reply>(std::span<const std::uint8_t> request)>;

  explicit LoopbackSntpServer(Script script, chr::milliseconds lifetime = chr::seconds(5))
      : script_(std::move(script)) {
    fd_ = BoundUdpSocket(INADDR_LOOPBACK, 0);
    other_ = BoundUdpSocket(INADDR_LOOPBACK, 0);
    port_ = PortOf(fd_);
    thread_ = std::thread([this, lifetime] { Serve(lifetime); });
  }
  ~LoopbackSntpServer() {
    stop_ = true;
    thread_.join();
    close(fd_);
    close(other_);
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  int Requests() const { return requests_; }
  std::vector<std::uint8_t> FirstRequest() {
    const std::lock_guard lock(mutex_);
    return first_;
  }
  std::uint16_t ClientPort() const { return clientPort_; }

 private:
  void Serve(chr::milliseconds lifetime) {
    const auto end = chr::steady_clock::now() + lifetime;
    while (!stop_ && chr::steady_clock::now() < end) {
      pollfd readable{fd_, POLLIN, 0};
      if (poll(&readable, 1, 20) <= 0) continue;
      std::uint8_t buffer[512];
      sockaddr_in from{};
      socklen_t size = sizeof from;
      const ssize_t got =
          recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
      if (got < 0) continue;
      const std::span<const std::uint8_t> request(buffer, static_cast<std::size_t>(got));
      if (requests_++ == 0) {
        const std::lock_guard lock(mutex_);
        first_.assign(request.begin(), request.end());
        clientPort_ = ntohs(from.sin_port);
      }
      const auto came = chr::steady_clock::now();
      for (const Reply& reply : script_(request)) {
        std::this_thread::sleep_until(came + reply.after);
        sendto(reply.fromAnotherPort ? other_ : fd_, reply.bytes.data(), reply.bytes.size(), 0,
               reinterpret_cast<sockaddr*>(&from), size);
      }
    }
  }

  Script script_;
  int fd_ = -1;
  int other_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_ = false;
  std::atomic<int> requests_ = 0;
  std::atomic<std::uint16_t> clientPort_ = 0;
  std::mutex mutex_;
  std::vector<std::uint8_t> first_;
  std::thread thread_;
};

LoopbackSntpServer::Script Answering(SntpAnswer answer = {}, bool fromAnotherPort = false) {
  return [=](std::span<const std::uint8_t> request) {
    return std::vector<LoopbackSntpServer::Reply>{
        {testing::SntpReply(request, answer), fromAnotherPort}};
  };
}

LoopbackSntpServer::Script Silent() {
  return [](std::span<const std::uint8_t>) { return std::vector<LoopbackSntpServer::Reply>{}; };
}

// The real network, tick counter and time zone; the clock setter only records.
struct RealNetwork {
  RealNetwork() { services.ntpWait = chr::milliseconds(400); }
  PosixDatagramNetwork udp;
  testing::ScriptedHttpPeer http;
  PosixTickCounter ticks;
  PosixUtcClock clock;
  testing::RecordingClockSetter setter;
  SyncServices services{udp, http, ticks, clock, setter};
};

// TZ for the length of a test.
class ZoneFor {
 public:
  explicit ZoneFor(const char* zone) {
    const char* old = std::getenv("TZ");
    if (old != nullptr) old_ = old;
    setenv("TZ", zone, 1);
  }
  ~ZoneFor() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
  }

 private:
  std::optional<std::string> old_;
};

UtcTime Utc(int y, unsigned m, unsigned d, int h, int min, int s, int ms = 0) {
  return UtcTime{chr::sys_days{chr::year{y} / m / d} + chr::hours{h} + chr::minutes{min} +
                 chr::seconds{s} + chr::milliseconds{ms}};
}

TEST(SntpOverUdp, TheAnswerInAZoneNineHoursEast) {
  const ZoneFor japan("JST-9");
  LoopbackSntpServer server(Answering());
  RealNetwork net;
  const SyncReport report = SyncClockNtp(server.Address(), net.services);
  EXPECT_EQ(report.result, SyncOk);
  EXPECT_EQ(report.local, (LocalTimestamp{chr::year{2010} / 11 / 29, 15, 13, 20, 500}));
  EXPECT_EQ(net.setter.asked, std::vector<UtcTime>{Utc(2010, 11, 29, 6, 13, 20, 500)});

  const std::vector<std::uint8_t> request = server.FirstRequest();
  ASSERT_EQ(request.size(), 48u);
  EXPECT_EQ(request[0], 0x0B);
  EXPECT_EQ(server.Requests(), 1);
}

// Each request comes from a new port of the system's choosing, so nobody who does not see
// the request knows where to aim; a fixed port could be flooded blind.
TEST(SntpOverUdp, ANameIsLookedUpAndEveryRequestHasAPortOfItsOwn) {
  std::set<std::uint16_t> ports;
  for (int i = 0; i < 3; ++i) {
    LoopbackSntpServer server(Answering());
    RealNetwork net;
    EXPECT_EQ(SyncClockNtp("localhost:" + server.Address().substr(10), net.services).result,
              SyncOk);
    ports.insert(server.ClientPort());
  }
  EXPECT_EQ(ports.size(), 3u);
  EXPECT_FALSE(ports.contains(1024));
}

// Ten thousand junk datagrams from the server's own port (where only someone who sees the
// request could send them) and as many from another port, then the answer at 2 s: the junk
// neither ends the wait nor hides the answer.
TEST(SntpOverUdp, AFloodDoesNotStopTheAnswerThatFollows) {
  const LoopbackSntpServer::Script flood = [](std::span<const std::uint8_t> request) {
    std::vector<LoopbackSntpServer::Reply> replies;
    for (int i = 0; i < 10'000; ++i) {
      replies.push_back({{0x24, 0x02, static_cast<std::uint8_t>(i)}, false});
      replies.push_back({testing::SntpReply(request), true});
    }
    replies.push_back({testing::SntpReply(request), false, chr::seconds(2)});
    return replies;
  };
  LoopbackSntpServer server(flood);
  RealNetwork net;
  net.services.ntpWait = chr::seconds(5);
  const SyncReport report = SyncClockNtp(server.Address(), net.services);
  EXPECT_EQ(report.result, SyncOk);
  EXPECT_EQ(net.setter.asked, std::vector<UtcTime>{Utc(2010, 11, 29, 6, 13, 20, 500)});
  EXPECT_EQ(server.Requests(), 1);
}

TEST(SntpOverUdp, NoAnswerAfterOneRequest) {
  LoopbackSntpServer server(Silent(), chr::milliseconds(1500));
  RealNetwork net;
  EXPECT_EQ(SyncClockNtp(server.Address(), net.services).result, SyncServerFailed);
  std::this_thread::sleep_for(chr::milliseconds(300));  // a second request would come now
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_TRUE(net.setter.asked.empty());
}

TEST(SntpOverUdp, EveryReplyThatIsNotTheAnswerIsRefused) {
  const std::vector<std::pair<std::string, LoopbackSntpServer::Script>> cases = {
      {"from another port", Answering({}, true)},
      {"short", Answering({.size = 40})},
      {"client mode", Answering({.mode = 3})},
      {"symmetric mode", Answering({.mode = 1})},
      {"stratum 0", Answering({.stratum = 0})},
      {"stratum 16", Answering({.stratum = 16})},
      {"leap indicator 3", Answering({.leap = 3})},
      {"transmit stamp zero", Answering({.seconds = 0, .fraction = 0})},
      {"originate not echoed", Answering({.echo = false})},
  };
  for (const auto& [name, script] : cases) {
    LoopbackSntpServer server(script, chr::milliseconds(1500));
    RealNetwork net;
    EXPECT_EQ(SyncClockNtp(server.Address(), net.services).result, SyncServerFailed) << name;
    EXPECT_TRUE(net.setter.asked.empty()) << name;
    EXPECT_EQ(server.Requests(), 1) << name;
  }
}

// The real tsukio-cal, run where it could not set the clock even by mistake: without the
// capability to, and with no system bus to reach timedated by.
TEST(SntpOverUdp, TheSyncCommandsDryRunPrintsTheAnswer) {
  {
    testing::ChildProcess check(
        {"setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", "--", "true"});
    if (check.Finish(chr::seconds(5)).second != 0) GTEST_SKIP() << "setpriv cannot drop a cap";
  }
  LoopbackSntpServer server(Answering());
  testing::ChildProcess cal({"setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time", "--",
                             TSUKIO_CAL, "sync", "--ntp", server.Address(), "--dry-run"},
                            {"TZ=JST-9", "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent"});
  const auto [out, code] = cal.Finish(chr::seconds(10));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(std::regex_match(out, std::regex("outcome: 0\n"
                                               "local-time: 2010-11-29 15:13:20\\.500\n"
                                               "offset: -[0-9]+\\.[0-9]{3} s\n")))
      << out;
}

}  // namespace
}  // namespace tsukio
