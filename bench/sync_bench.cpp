// Setting the clock: one SNTP exchange and one HTTP request over loopback, and the parsing.
// The clock setter only records; nothing here sets the clock.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/curl/curl_http_client.h"
#include "platform/posix/clock_setting.h"
#include "platform/posix/udp_network.h"
#include "tests/network/child_process.h"
#include "tests/support/fake_sync.h"
#include "timesync/http_date.h"
#include "timesync/sntp.h"

namespace {

using namespace tsukio;

// Answers every SNTP request on 127.0.0.1 until the benchmark ends; with a flood, sends that
// many junk datagrams from the same port first and the answer `delay` after the request.
class Responder {
 public:
  explicit Responder(int flood = 0, std::chrono::milliseconds delay = {}) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t size = sizeof local;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
    port_ = ntohs(local.sin_port);
    thread_ = std::thread([this, flood, delay] {
      while (!stop_) {
        pollfd readable{fd_, POLLIN, 0};
        if (poll(&readable, 1, 20) <= 0) continue;
        std::uint8_t request[512];
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t got =
            recvfrom(fd_, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &size);
        if (got <= 0) continue;
        const auto came = std::chrono::steady_clock::now();
        const auto reply = testing::SntpReply(
            std::span<const std::uint8_t>(request, static_cast<std::size_t>(got)));
        const std::uint8_t junk[48] = {0x24};
        for (int i = 0; i < flood; ++i) {
          sendto(fd_, junk, sizeof junk, 0, reinterpret_cast<sockaddr*>(&from), size);
        }
        std::this_thread::sleep_until(came + delay);
        sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
      }
    });
  }
  ~Responder() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

void BM_SyncClockNtpOverLoopback(benchmark::State& state) {
  Responder server;
  PosixDatagramNetwork udp;
  testing::ScriptedHttpPeer http;
  PosixTickCounter ticks;
  PosixUtcClock clock;
  testing::RecordingClockSetter setter;
  SyncServices services{udp, http, ticks, clock, setter};
  for (auto _ : state) {
    if (SyncClockNtp(server.Address(), services).result != SyncOk) state.SkipWithError("no answer");
    setter.asked.clear();
  }
}
BENCHMARK(BM_SyncClockNtpOverLoopback)->Unit(benchmark::kMicrosecond);

// What a flood of junk from the server's own port costs the client: its CPU time for one
// exchange whose answer comes at 200 ms, with no junk (the baseline) and with 10,000 datagrams.
void BM_SyncClockNtpUnderFlood(benchmark::State& state) {
  Responder server(static_cast<int>(state.range(0)), std::chrono::milliseconds(200));
  PosixDatagramNetwork udp;
  testing::ScriptedHttpPeer http;
  PosixTickCounter ticks;
  PosixUtcClock clock;
  testing::RecordingClockSetter setter;
  SyncServices services{udp, http, ticks, clock, setter};
  for (auto _ : state) {
    if (SyncClockNtp(server.Address(), services).result != SyncOk) state.SkipWithError("no answer");
    setter.asked.clear();
  }
}
BENCHMARK(BM_SyncClockNtpUnderFlood)->Arg(0)->Arg(10'000)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_HttpDateOverLoopback(benchmark::State& state) {
  testing::ChildProcess web({TSUKIO_PYTHON, TSUKIO_HTTP_PEER});
  const auto port = web.ReadLine(std::chrono::seconds(10));
  if (!port) {
    state.SkipWithError("no web server");
    return;
  }
  CurlHttpClient client;
  const HttpRequest request{HttpAccessMode::kDirect, "http://127.0.0.1:" + *port + "/now", {}};
  for (auto _ : state) {
    if (!client.DateHeader(request)) state.SkipWithError("no Date");
  }
}
BENCHMARK(BM_HttpDateOverLoopback)->Unit(benchmark::kMicrosecond);

void BM_ReadSntpReply(benchmark::State& state) {
  const auto request = SntpRequest(0x0123456789ABCDEFu);
  const auto reply = testing::SntpReply(request);
  for (auto _ : state) benchmark::DoNotOptimize(ReadSntpReply(reply, 0x0123456789ABCDEFu));
}
BENCHMARK(BM_ReadSntpReply);

void BM_ParseHttpDate(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"));
}
BENCHMARK(BM_ParseHttpDate);

}  // namespace
