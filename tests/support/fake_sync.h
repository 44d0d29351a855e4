#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/sntp_replies.h"
#include "timesync/sync.h"

namespace tsukio::testing {

namespace chr = std::chrono;

// A tick counter at a value the test sets, or following a clock the test moves.
class FakeTicks final : public TickCounter {
 public:
  std::uint32_t Milliseconds() const override {
    const auto moved = follow != nullptr ? follow->time_since_epoch().count() : 0;
    return at + static_cast<std::uint32_t>(moved);
  }
  std::uint32_t at = 0;
  const chr::sys_time<chr::milliseconds>* follow = nullptr;
};

// The machine's clock in UTC, and a time zone a fixed distance east of UTC (Japan's).
class FakeUtcClock final : public UtcClock {
 public:
  UtcTime Now() const override { return follow != nullptr ? *follow - east : now; }
  std::optional<LocalTimestamp> ToLocal(UtcTime utc) const override {
    const UtcTime local = utc + east;
    const auto day = chr::floor<chr::days>(local);
    const chr::hh_mm_ss<chr::milliseconds> time{local - day};
    return LocalTimestamp{chr::year_month_day{day}, static_cast<int>(time.hours().count()),
                          static_cast<int>(time.minutes().count()),
                          static_cast<int>(time.seconds().count()),
                          static_cast<int>(time.subseconds().count())};
  }
  chr::minutes east{9 * 60};
  UtcTime now{};
  const chr::sys_time<chr::milliseconds>* follow = nullptr;  // local wall time
};

// Records every time it is asked to set, and sets nothing.
class RecordingClockSetter final : public ClockSetter {
 public:
  std::string SetUtc(UtcTime utc) override {
    asked.push_back(utc);
    return refusal;
  }
  std::vector<UtcTime> asked;
  std::string refusal;  // non-empty: the clock refuses with this
};

struct SentDatagram {
  Ipv4Endpoint to;
  std::vector<std::uint8_t> bytes;
};

// A UDP network in which a script answers each datagram sent. By default a good SNTP
// server at 192.0.2.123 answers from port 123.
class ScriptedUdpPeer final : public DatagramNetwork {
 public:
  std::optional<std::uint32_t> ResolveIpv4(const std::string& host) override {
    lookups.push_back(host);
    const auto found = names.find(host);
    if (found == names.end()) return std::nullopt;
    return found->second;
  }
  std::unique_ptr<DatagramSocket> Connect(const Ipv4Endpoint& peer) override {
    connections.push_back(peer);
    if (noSocket) return nullptr;
    return std::make_unique<Socket>(*this, peer);
  }

  // The answer from the address and port the request went to.
  static std::vector<Datagram> Answer(const SentDatagram& request, const SntpAnswer& answer) {
    return {{request.to, SntpReply(request.bytes, answer)}};
  }

  std::function<std::vector<Datagram>(const SentDatagram&)> respond =
      [](const SentDatagram& request) { return Answer(request, {}); };
  std::map<std::string, std::uint32_t> names = {{"ntp.example.jp", 0xC000027B}};
  bool noSocket = false;
  bool sendFails = false;

  std::vector<std::string> lookups;
  std::vector<Ipv4Endpoint> connections;
  std::vector<SentDatagram> sent;
  std::vector<chr::milliseconds> waits;

 private:
  class Socket final : public DatagramSocket {
   public:
    Socket(ScriptedUdpPeer& peer, const Ipv4Endpoint& to) : peer_(peer), to_(to) {}
    bool Send(std::span<const std::uint8_t> bytes) override {
      if (peer_.sendFails) return false;
      peer_.sent.push_back({to_, {bytes.begin(), bytes.end()}});
      for (Datagram& d : peer_.respond(peer_.sent.back())) queue_.push_back(std::move(d));
      return true;
    }
    std::optional<Datagram> Receive(chr::milliseconds wait) override {
      peer_.waits.push_back(wait);
      if (queue_.empty()) return std::nullopt;
      Datagram next = std::move(queue_.front());
      queue_.pop_front();
      return next;
    }

   private:
    ScriptedUdpPeer& peer_;
    Ipv4Endpoint to_;
    std::deque<Datagram> queue_;
  };
};

// A web that answers every request with the Date value the test sets.
class ScriptedHttpPeer final : public HttpClient {
 public:
  std::optional<std::string> DateHeader(const HttpRequest& request) override {
    requests.push_back(request);
    if (during) during();
    return date;
  }
  std::optional<std::string> date = "Tue, 10 May 2011 04:05:06 GMT";
  std::function<void()> during;  // runs while the request is under way
  std::vector<HttpRequest> requests;
};

// All the outside world setting the clock needs, faked.
struct FakeSyncWorld {
  FakeTicks ticks;
  FakeUtcClock clock;
  RecordingClockSetter setter;
  ScriptedUdpPeer udp;
  ScriptedHttpPeer http;
  SyncServices services{udp, http, ticks, clock, setter};
};

}  // namespace tsukio::testing
