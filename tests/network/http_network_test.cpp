// The HTTP date client against a real web server and a real proxy, both on 127.0.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/curl/curl_http_client.h"
#include "platform/posix/loaded_http_client.h"
#include "tests/network/child_process.h"
#include "tests/support/fake_sync.h"
#include "timesync/http_date.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
namespace fs = std::filesystem;

constexpr char kRfc1123[] = "Sun, 06 Nov 1994 08:49:37 GMT";

// A loopback port nobody listens on right now.
std::uint16_t FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return ntohs(address.sin_port);
}

bool Accepts(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// An environment variable for the length of a test.
class VariableFor {
 public:
  VariableFor(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    setenv(name_.c_str(), value.c_str(), 1);
  }
  ~VariableFor() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The web server and the proxy are started once for all tests here and stopped by their
// process ids at the end.
class HttpOverLoopback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    web_ = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{TSUKIO_PYTHON, TSUKIO_HTTP_PEER});
    const std::optional<std::string> port = web_->ReadLine(chr::seconds(10));
    ASSERT_TRUE(port) << "the web server did not start";
    base_ = "http://127.0.0.1:" + *port;

    folder_ = fs::temp_directory_path() / ("tsukio-proxy-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    proxyPort_ = FreePort();
    std::ofstream(folder_ / "tinyproxy.conf") << "Port " << proxyPort_ << "\n"
                                              << "Listen 127.0.0.1\n"
                                              << "Timeout 10\n"
                                              << "MaxClients 8\n"
                                              << "Allow 127.0.0.1\n"
                                              << "LogLevel Critical\n";
    proxy_ = std::make_unique<testing::ChildProcess>(std::vector<std::string>{
        TSUKIO_TINYPROXY, "-d", "-c", (folder_ / "tinyproxy.conf").string()});
    for (int i = 0; i < 100 && !Accepts(proxyPort_); ++i) {
      std::this_thread::sleep_for(chr::milliseconds(50));
    }
    ASSERT_TRUE(Accepts(proxyPort_)) << "tinyproxy did not start";
  }
  static void TearDownTestSuite() {
    proxy_.reset();
    web_.reset();
    fs::remove_all(folder_);
  }

  static std::string Url(const std::string& path) { return base_ + path; }
  static std::string Proxy() { return "http://127.0.0.1:" + std::to_string(proxyPort_); }
  static std::string DeadProxy() { return "http://127.0.0.1:" + std::to_string(FreePort()); }

  std::optional<std::string> Date(HttpAccessMode mode, const std::string& path,
                                  const std::string& proxy = {}) {
    return client_.DateHeader({mode, Url(path), proxy});
  }

  CurlHttpClient client_{{chr::milliseconds(2000), chr::milliseconds(2000)}};

  static inline std::unique_ptr<testing::ChildProcess> web_;
  static inline std::unique_ptr<testing::ChildProcess> proxy_;
  static inline std::string base_;
  static inline fs::path folder_;
  static inline std::uint16_t proxyPort_ = 0;
};

TEST_F(HttpOverLoopback, DirectTheServersOwnDate) {
  const std::optional<std::string> date = Date(HttpAccessMode::kDirect, "/now");
  ASSERT_TRUE(date);
  EXPECT_TRUE(ParseHttpDate(*date)) << *date;  // the server's clock, in the fixed form
  EXPECT_EQ(Date(HttpAccessMode::kDirect, "/agent"), kRfc1123);
  EXPECT_EQ(Date(HttpAccessMode::kDirect, "/missing").has_value(), true);  // a 404 serves
}

// The tray's client: the module is loaded at the first request and answers as the client
// linked in does; a module that is not there is a server that cannot be reached.
TEST_F(HttpOverLoopback, TheLoadedModuleAnswersAndAMissingOneFails) {
  LoadedHttpClient loaded({"/nonexistent/tsukio-http.so", TSUKIO_HTTP_MODULE});
  EXPECT_FALSE(loaded.Loaded());
  EXPECT_EQ(loaded.DateHeader({HttpAccessMode::kDirect, Url("/agent"), {}}), kRfc1123);
  EXPECT_TRUE(loaded.Loaded());

  LoadedHttpClient missing({"/nonexistent/tsukio-http.so"});
  EXPECT_FALSE(missing.DateHeader({HttpAccessMode::kDirect, Url("/agent"), {}}));
  EXPECT_FALSE(missing.Loaded());
}

TEST_F(HttpOverLoopback, RedirectsAreFollowedToTheFinalDate) {
  EXPECT_EQ(Date(HttpAccessMode::kDirect, "/redirect"), kRfc1123);
  EXPECT_FALSE(Date(HttpAccessMode::kDirect, "/loop"));
}

TEST_F(HttpOverLoopback, NoDateNoValue) {
  EXPECT_FALSE(Date(HttpAccessMode::kDirect, "/no-date"));
  EXPECT_FALSE(client_.DateHeader({HttpAccessMode::kDirect, DeadProxy() + "/now", {}}));
}

TEST_F(HttpOverLoopback, TheBodyIsNotWaitedFor) {
  EXPECT_EQ(Date(HttpAccessMode::kDirect, "/endless"), kRfc1123);
}

TEST_F(HttpOverLoopback, ASlowServerRunsOutOfTime) {
  CurlHttpClient impatient({chr::milliseconds(300), chr::milliseconds(300)});
  EXPECT_FALSE(impatient.DateHeader({HttpAccessMode::kDirect, Url("/slow"), {}}));
}

TEST_F(HttpOverLoopback, ThroughTheNamedProxy) {
  EXPECT_FALSE(Date(HttpAccessMode::kDirect, "/via-proxy"));
  EXPECT_EQ(Date(HttpAccessMode::kNamedProxy, "/via-proxy", Proxy()), kRfc1123);
  const VariableFor bypass("no_proxy", "127.0.0.1,localhost");  // does not apply to it
  EXPECT_EQ(Date(HttpAccessMode::kNamedProxy, "/via-proxy", Proxy()), kRfc1123);
  EXPECT_FALSE(Date(HttpAccessMode::kNamedProxy, "/now", DeadProxy()));
}

TEST_F(HttpOverLoopback, DirectIgnoresAndTheSystemModeFollowsTheProxyVariables) {
  {
    const VariableFor proxy("http_proxy", Proxy());
    EXPECT_EQ(Date(HttpAccessMode::kPreconfigured, "/via-proxy"), kRfc1123);
    EXPECT_FALSE(Date(HttpAccessMode::kDirect, "/via-proxy"));
  }
  {
    const VariableFor proxy("http_proxy", DeadProxy());
    EXPECT_FALSE(Date(HttpAccessMode::kPreconfigured, "/now"));
    EXPECT_TRUE(Date(HttpAccessMode::kDirect, "/now"));
  }
  EXPECT_FALSE(Date(HttpAccessMode::kPreconfigured, "/via-proxy"));  // no variables: direct
}

TEST_F(HttpOverLoopback, TheWholeRunFromFetchToClock) {
  testing::FakeSyncWorld world;
  SyncServices services{world.udp, client_, world.ticks, world.clock, world.setter};
  const auto run = [&](std::string_view path) {
    const HttpDateText got =
        FetchHttpDate(HttpAccessMode::kDirect, Url(std::string(path)), {}, services);
    if (!got.HasValue()) return SyncServerFailed;
    return SetClockFromHttpDate(got.text, got.receiptTick, services).result;
  };
  EXPECT_EQ(run("/fixed"), SyncOk);
  EXPECT_EQ(run("/missing"), SyncOk);
  EXPECT_EQ(run("/date-255"), SyncOk);  // the zone and what follows are not read
  EXPECT_EQ(run("/date-256"), SyncServerFailed);
  EXPECT_EQ(run("/no-date"), SyncServerFailed);
  EXPECT_EQ(run("/rfc850"), SyncSetFailed);
  EXPECT_EQ(run("/lower-case"), SyncSetFailed);
  const UtcTime fixed{chr::sys_days{chr::year{1994} / 11 / 6} + chr::hours{8} + chr::minutes{49} +
                      chr::seconds{37}};
  ASSERT_EQ(world.setter.asked.size(), 3u);
  EXPECT_EQ(world.setter.asked[0], fixed);
  EXPECT_EQ(world.setter.asked[2], fixed);
}

}  // namespace
}  // namespace tsukio
