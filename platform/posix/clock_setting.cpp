#include "platform/posix/clock_setting.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>

namespace tsukio {

namespace chr = std::chrono;

namespace {

// Long enough for the user to answer polkit's password dialog.
constexpr std::uint64_t kTimedatedWaitMicroseconds = 120'000'000;
constexpr char kAutomaticSyncOn[] = "org.freedesktop.timedate1.AutomaticTimeSyncEnabled";

}  // namespace

std::uint32_t PosixTickCounter::Milliseconds() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto millis = static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                      static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000;
  return static_cast<std::uint32_t>(millis);
}

UtcTime PosixUtcClock::Now() const {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return UtcTime{chr::seconds{now.tv_sec} + chr::milliseconds{now.tv_nsec / 1'000'000}};
}

std::optional<LocalTimestamp> PosixUtcClock::ToLocal(UtcTime utc) const {
  const auto seconds = chr::floor<chr::seconds>(utc);
  const std::time_t time = seconds.time_since_epoch().count();
  tzset();  // TZ may have changed since the last reading
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return std::nullopt;
  return LocalTimestamp{chr::year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday,
                        local.tm_hour, local.tm_min, local.tm_sec,
                        static_cast<int>((utc - seconds).count())};
}

int PosixClockSetter::SetRealtimeClock(const timespec& time) {
  return clock_settime(CLOCK_REALTIME, &time) == 0 ? 0 : errno;
}

PosixClockSetter::PosixClockSetter(DirectSetter direct, std::string busAddress)
    : direct_(std::move(direct)), busAddress_(std::move(busAddress)) {}

std::string PosixClockSetter::SetUtc(UtcTime utc) {
  const auto seconds = chr::floor<chr::seconds>(utc);
  const timespec time{seconds.time_since_epoch().count(),
                      static_cast<long>(chr::nanoseconds(utc - seconds).count())};
  const int error = direct_(time);
  if (error == 0) return {};
  if (error != EPERM && error != EACCES) return std::strerror(error);
  return AskTimedated(utc);
}

std::string PosixClockSetter::AskTimedated(UtcTime utc) {
  sd_bus* bus = nullptr;
  int status = 0;
  if (busAddress_.empty()) {
    status = sd_bus_open_system(&bus);
  } else {
    status = sd_bus_new(&bus);
    if (status >= 0) status = sd_bus_set_address(bus, busAddress_.c_str());
    if (status >= 0) status = sd_bus_set_bus_client(bus, 1);
    if (status >= 0) status = sd_bus_start(bus);
  }
  if (status < 0) {
    sd_bus_unref(bus);
    return std::string("no system bus to reach timedated: ") + std::strerror(-status);
  }
  sd_bus_set_allow_interactive_authorization(bus, 1);
  sd_bus_set_method_call_timeout(bus, kTimedatedWaitMicroseconds);

  sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
  sd_bus_message* reply = nullptr;
  const std::int64_t microseconds = chr::microseconds(utc.time_since_epoch()).count();
  status = sd_bus_call_method(bus, "org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                              "org.freedesktop.timedate1", "SetTime", &error, &reply, "xbb",
                              microseconds, 0 /* absolute */, 1 /* may ask the user */);
  std::string why;
  if (status < 0) {
    if (sd_bus_error_has_name(&error, kAutomaticSyncOn)) {
      why = "automatic time synchronization is on";
    } else if (error.message != nullptr) {
      why = std::string("timedated: ") + error.message;
    } else {
      why = std::string("timedated: ") + std::strerror(-status);
    }
  }
  sd_bus_error_free(&error);
  sd_bus_message_unref(reply);
  sd_bus_flush_close_unref(bus);
  return why;
}

}  // namespace tsukio
