// tsukio-cal sync: asks a time server as the tray does, and sets the clock unless told not to.
#include <cstdio>
#include <optional>

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "timesync/sync_run.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

// HOST or HOST:PORT with a port from 1 to 65535.
bool IsHostAndPort(std::string_view text, bool portRequired) {
  const auto colon = text.find(':');
  if (text.empty() || colon == 0) return false;
  if (colon == std::string_view::npos) return !portRequired;
  const std::string_view port = text.substr(colon + 1);
  bool digits = !port.empty() && port.size() <= 5;
  for (char c : port) digits = digits && c >= '0' && c <= '9';
  const int number = digits ? std::stoi(std::string(port)) : 0;
  return number >= 1 && number <= 65535;
}

bool IsWebUrl(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (url.starts_with(scheme) && url.size() > scheme.size() && url[scheme.size()] != '/') {
      return true;
    }
  }
  return false;
}

// Stands in for the clock setter: notes this machine's time when the answer's time is set,
// and passes it on to the real setter unless this is a dry run.
class MeasuringSetter final : public ClockSetter {
 public:
  MeasuringSetter(const UtcClock& clock, ClockSetter* real) : clock_(clock), real_(real) {}
  std::string SetUtc(UtcTime utc) override {
    machineTime = clock_.Now();
    return real_ != nullptr ? real_->SetUtc(utc) : std::string();
  }
  std::optional<UtcTime> machineTime;

 private:
  const UtcClock& clock_;
  ClockSetter* real_;
};

std::string LocalTimeText(const LocalTimestamp& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03d",
                static_cast<int>(t.date.year()), static_cast<unsigned>(t.date.month()),
                static_cast<unsigned>(t.date.day()), t.hour, t.minute, t.second, t.millisecond);
  return text;
}

std::string OffsetText(chr::milliseconds offset) {
  const long long ms = offset.count();
  const long long size = ms < 0 ? -ms : ms;
  char text[48];
  std::snprintf(text, sizeof text, "%c%lld.%03lld s", ms < 0 ? '-' : '+', size / 1000, size % 1000);
  return text;
}

}  // namespace

int SyncCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const CalEnvironment& env) {
  const Arguments parsed =
      ParseArguments("sync", args, {"--ntp", "--http", "--proxy", "--system-proxy", "--dry-run"});
  ExpectPositional("sync", parsed, 0, 0);
  if (parsed.ntp && parsed.http) throw UsageError("sync: give --ntp or --http, not both");
  if (!parsed.ntp && !parsed.http) throw UsageError("sync: --ntp HOST[:PORT] or --http URL needed");
  if (parsed.ntp && (parsed.proxy || parsed.systemProxy)) {
    throw UsageError("sync: --proxy and --system-proxy go with --http only");
  }
  if (parsed.proxy && parsed.systemProxy) {
    throw UsageError("sync: give --proxy or --system-proxy, not both");
  }
  SyncSettings settings;
  if (parsed.ntp) {
    if (!IsHostAndPort(*parsed.ntp, false)) {
      throw UsageError("invalid server \"" + *parsed.ntp + "\" (expected HOST or HOST:PORT)");
    }
    settings.ntpSetup = 1;
    settings.ntpServer = *parsed.ntp;
  } else {
    if (!IsWebUrl(*parsed.http)) {
      throw UsageError("invalid URL \"" + *parsed.http + "\" (expected http://HOST/...)");
    }
    if (parsed.proxy && !IsHostAndPort(*parsed.proxy, true)) {
      throw UsageError("invalid proxy \"" + *parsed.proxy + "\" (expected HOST:PORT)");
    }
    settings.httpSetup = parsed.proxy ? 2 : parsed.systemProxy ? 3 : 1;
    settings.httpServer = *parsed.http;
    if (parsed.proxy) settings.proxyServer = "http://" + *parsed.proxy;
  }
  if (env.sync == nullptr) throw OutputError("sync: the network is not available here");

  SyncServices& real = env.sync->Services();
  MeasuringSetter setter(real.clock, parsed.dryRun ? nullptr : &real.setter);
  SyncServices services{real.udp, real.http, real.ticks, real.clock, setter, real.ntpWait};
  const SyncReport report = SynchronizeClock(settings, services);

  out << "outcome: " << static_cast<int>(report.result) << '\n';
  if (report.local) out << "local-time: " << LocalTimeText(*report.local) << '\n';
  if (report.time && setter.machineTime) {
    out << "offset: " << OffsetText(*report.time - *setter.machineTime) << '\n';
  }
  if (report.result == SyncSetFailed && !report.setError.empty()) {
    err << "tsukio-cal: the clock was not set: " << report.setError << '\n';
  }
  return report.result == SyncOk ? 0 : 1;
}

}  // namespace tsukio::cal
