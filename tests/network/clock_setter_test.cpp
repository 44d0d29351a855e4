// The real clock setter, only where it cannot succeed: its direct way is replaced by a
// stand-in, and timedated is a stand-in on a private bus.
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "platform/posix/clock_setting.h"
#include "tests/network/child_process.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
namespace fs = std::filesystem;

const UtcTime kAnswer{chr::sys_days{chr::year{2010} / 11 / 29} + chr::hours{6} + chr::minutes{13} +
                      chr::seconds{20} + chr::milliseconds{500}};
constexpr std::int64_t kAnswerMicroseconds = 1'291'011'200'500'000;

// What the stand-in for the direct way was asked, and what it answers.
struct DirectStandIn {
  int answer = EPERM;
  std::vector<timespec> asked;
  PosixClockSetter::DirectSetter Setter() {
    return [this](const timespec& time) {
      asked.push_back(time);
      return answer;
    };
  }
};

// A message bus of our own, and on it a stand-in for timedated that answers SetTime as the
// test says and notes how it was asked.
class PrivateTimedated {
 public:
  PrivateTimedated() {
    folder_ = fs::temp_directory_path() / ("tsukio-bus-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    address_ = "unix:path=" + (folder_ / "bus").string();
    std::ofstream(folder_ / "bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type><listen>"
        << address_
        << "</listen><auth>EXTERNAL</auth>"
           "<policy context=\"default\"><allow send_destination=\"*\"/><allow own=\"*\"/>"
           "<allow receive_sender=\"*\"/></policy></busconfig>\n";
    daemon_ = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + (folder_ / "bus.conf").string(),
                                 "--nofork", "--nopidfile", "--print-address=1"});
    if (!daemon_->ReadLine(chr::seconds(10))) throw std::runtime_error("no dbus-daemon");

    if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address_.c_str()) < 0 ||
        sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
        sd_bus_add_object(bus_, nullptr, "/org/freedesktop/timedate1", OnCall, this) < 0 ||
        sd_bus_request_name(bus_, "org.freedesktop.timedate1", 0) < 0) {
      throw std::runtime_error("cannot serve timedated on the private bus");
    }
    thread_ = std::thread([this] {
      while (!stop_) {
        if (sd_bus_process(bus_, nullptr) > 0) continue;
        sd_bus_wait(bus_, 20'000);
      }
    });
  }
  ~PrivateTimedated() {
    stop_ = true;
    thread_.join();
    sd_bus_flush_close_unref(bus_);
    daemon_.reset();
    fs::remove_all(folder_);
  }

  const std::string& Address() const { return address_; }

  struct Call {
    std::int64_t microseconds = 0;
    int relative = -1;
    int interactive = -1;
    bool mayAskTheUser = false;  // the message allows interactive authorization
  };
  std::vector<Call> Calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }
  std::string refusal;  // a D-Bus error name, or empty to agree

 private:
  static int OnCall(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& me = *static_cast<PrivateTimedated*>(self);
    if (!sd_bus_message_is_method_call(message, "org.freedesktop.timedate1", "SetTime")) {
      return 0;
    }
    Call call;
    sd_bus_message_read(message, "xbb", &call.microseconds, &call.relative, &call.interactive);
    call.mayAskTheUser = sd_bus_message_get_allow_interactive_authorization(message) > 0;
    {
      const std::lock_guard lock(me.mutex_);
      me.calls_.push_back(call);
    }
    if (me.refusal.empty()) return sd_bus_reply_method_return(message, "");
    return sd_bus_reply_method_errorf(message, me.refusal.c_str(), "refused by the stand-in");
  }

  fs::path folder_;
  std::string address_;
  std::unique_ptr<testing::ChildProcess> daemon_;
  sd_bus* bus_ = nullptr;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Call> calls_;
};

TEST(ClockSetter, TheDirectWayFirstWhenAllowed) {
  DirectStandIn direct;
  direct.answer = 0;
  PosixClockSetter setter(direct.Setter(), "unix:path=/nonexistent/bus");
  EXPECT_EQ(setter.SetUtc(kAnswer), "");
  ASSERT_EQ(direct.asked.size(), 1u);
  EXPECT_EQ(direct.asked[0].tv_sec, 1'291'011'200);
  EXPECT_EQ(direct.asked[0].tv_nsec, 500'000'000);

  direct.answer = EINVAL;  // refused for another reason than permission: not passed on
  EXPECT_NE(setter.SetUtc(kAnswer), "");
}

TEST(ClockSetter, WithoutThePrivilegeTimedatedIsAskedAndMayAskTheUser) {
  PrivateTimedated timedated;
  DirectStandIn direct;
  PosixClockSetter setter(direct.Setter(), timedated.Address());
  EXPECT_EQ(setter.SetUtc(kAnswer), "");
  const auto calls = timedated.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].microseconds, kAnswerMicroseconds);
  EXPECT_EQ(calls[0].relative, 0);
  EXPECT_EQ(calls[0].interactive, 1);
  EXPECT_TRUE(calls[0].mayAskTheUser);
}

TEST(ClockSetter, TimedatedsRefusalsAreFailures) {
  PrivateTimedated timedated;
  DirectStandIn direct;
  PosixClockSetter setter(direct.Setter(), timedated.Address());
  timedated.refusal = "org.freedesktop.timedate1.AutomaticTimeSyncEnabled";
  EXPECT_EQ(setter.SetUtc(kAnswer), "automatic time synchronization is on");
  timedated.refusal = "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired";
  EXPECT_NE(setter.SetUtc(kAnswer), "");
  EXPECT_EQ(timedated.Calls().size(), 2u);
}

TEST(ClockSetter, NoBusIsAFailure) {
  DirectStandIn direct;
  PosixClockSetter setter(direct.Setter(), "unix:path=/nonexistent/bus");
  const std::string why = setter.SetUtc(kAnswer);
  EXPECT_NE(why.find("no system bus"), std::string::npos) << why;
}

}  // namespace
}  // namespace tsukio
