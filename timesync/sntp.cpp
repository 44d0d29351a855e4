#include "timesync/sntp.h"

#include <algorithm>
#include <random>

namespace tsukio {

namespace {

constexpr std::uint32_t kUnixEpochInEra0 = 2'208'988'800;  // 1970-01-01 in NTP seconds
constexpr std::uint64_t kEraLength = std::uint64_t{1} << 32;
constexpr std::uint8_t kRequestHeader = 0x0B;  // leap 0, version 1, client mode
constexpr int kServerMode = 4;
constexpr int kLeapUnsynchronized = 3;

std::uint64_t ReadBigEndian64(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

// Unpredictable to anyone who does not see the request, so a forged answer cannot echo it.
std::uint64_t NewTransmitStamp() {
  std::random_device random;
  std::uint64_t stamp = 0;
  while (stamp == 0) stamp = (std::uint64_t{random()} << 32) | random();
  return stamp;
}

}  // namespace

NtpServerText SplitServerText(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return {std::string(text), kNtpPort};
  long port = 0;
  for (std::size_t i = colon + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    port = std::min(port * 10 + (text[i] - '0'), 1'000'000L);
  }
  return {std::string(text.substr(0, colon)), port};
}

std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text) {
  std::uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    std::size_t digits = 0;
    unsigned value = 0;
    while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
      value = value * 10 + static_cast<unsigned>(text[digits] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    text.remove_prefix(digits);
    address = (address << 8) | value;
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

UtcTime NtpToUtc(NtpTimestamp stamp) {
  const std::uint64_t seconds = stamp.seconds >= kUnixEpochInEra0
                                    ? stamp.seconds - kUnixEpochInEra0
                                    : stamp.seconds + kEraLength - kUnixEpochInEra0;
  const std::uint64_t millis = (std::uint64_t{stamp.fraction} * 1000) >> 32;
  return UtcTime{std::chrono::seconds{seconds} + std::chrono::milliseconds{millis}};
}

std::array<std::uint8_t, kSntpMessageSize> SntpRequest(std::uint64_t transmit) {
  std::array<std::uint8_t, kSntpMessageSize> request{};
  request[0] = kRequestHeader;
  for (std::size_t i = 0; i < 8; ++i) {
    request[40 + i] = static_cast<std::uint8_t>(transmit >> (56 - 8 * i));
  }
  return request;
}

std::optional<NtpTimestamp> ReadSntpReply(std::span<const std::uint8_t> reply,
                                          std::uint64_t requestTransmit) {
  if (reply.size() < kSntpMessageSize) return std::nullopt;
  const int leap = reply[0] >> 6;
  const int mode = reply[0] & 0x07;
  const int stratum = reply[1];
  if (mode != kServerMode || leap == kLeapUnsynchronized) return std::nullopt;
  // Stratum 0 is a refusal ("kiss-o'-death"); 16 and above are unsynchronized clocks.
  if (stratum < 1 || stratum > 15) return std::nullopt;
  if (ReadBigEndian64(reply, 24) != requestTransmit) return std::nullopt;
  const std::uint64_t transmit = ReadBigEndian64(reply, 40);
  if (transmit == 0) return std::nullopt;
  return NtpTimestamp{static_cast<std::uint32_t>(transmit >> 32),
                      static_cast<std::uint32_t>(transmit)};
}

SyncReport SyncClockNtp(std::string_view server, SyncServices& services) {
  const SyncReport noAnswer;
  const NtpServerText text = SplitServerText(server);

  std::optional<std::uint32_t> address = ParseDottedIpv4(text.host);
  if (!address && !text.host.empty()) address = services.udp.ResolveIpv4(text.host);
  if (!address || text.port < 1 || text.port > 65535) return noAnswer;
  const Ipv4Endpoint peer{*address, static_cast<std::uint16_t>(text.port)};

  std::unique_ptr<DatagramSocket> socket = services.udp.Connect(peer);
  if (!socket) return noAnswer;
  const std::uint64_t stamp = NewTransmitStamp();
  const auto request = SntpRequest(stamp);
  if (!socket->Send(request)) return noAnswer;

  // One wait in all, ended by time alone: datagrams that are not the answer neither lengthen
  // it nor, however many a flood brings, cut it short.
  const std::uint32_t start = services.ticks.Milliseconds();
  std::optional<NtpTimestamp> answer;
  while (!answer) {
    const auto elapsed = static_cast<std::int32_t>(services.ticks.Milliseconds() - start);
    const auto left = services.ntpWait - std::chrono::milliseconds{elapsed};
    if (left <= std::chrono::milliseconds::zero()) break;
    const std::optional<Datagram> datagram = socket->Receive(left);
    if (!datagram) break;
    if (datagram->from == peer) answer = ReadSntpReply(datagram->bytes, stamp);
  }
  socket.reset();
  if (!answer) return noAnswer;
  return SetClockTo(NtpToUtc(*answer), services);
}

}  // namespace tsukio
