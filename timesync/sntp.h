#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "timesync/sync.h"

namespace tsukio {

inline constexpr std::uint16_t kNtpPort = 123;
inline constexpr std::size_t kSntpMessageSize = 48;

// "host" or "host:port" as the user wrote it. A port that is no number reads as 0, one too
// large for UDP as anything above 65535; neither can be asked.
struct NtpServerText {
  std::string host;
  long port = kNtpPort;
};
NtpServerText SplitServerText(std::string_view text);

// Four decimal numbers from 0 to 255 with dots between; anything else is a host name.
std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text);

// An NTP time stamp: seconds since an era's start (era 0 began 1900-01-01 00:00 UTC) and
// the fraction of a second in units of 2^-32 s.
struct NtpTimestamp {
  std::uint32_t seconds = 0;
  std::uint32_t fraction = 0;

  std::uint64_t Packed() const { return (std::uint64_t{seconds} << 32) | fraction; }
  friend bool operator==(const NtpTimestamp&, const NtpTimestamp&) = default;
};

// The time stamp as an instant, to the millisecond below. The era is the one that puts it
// between 1970-01-01 and 2106-02-07, so the 2036 rollover of the seconds reads as era 1.
UtcTime NtpToUtc(NtpTimestamp stamp);

// The client's request: version 1, client mode, and `transmit` as its own transmit time
// stamp, which a genuine reply echoes as its originate time stamp.
std::array<std::uint8_t, kSntpMessageSize> SntpRequest(std::uint64_t transmit);

// The server's transmit time stamp, when the datagram is a usable answer to the request
// that carried `requestTransmit`: at least 48 bytes, server mode, stratum 1 to 15, a clock
// that is not unsynchronized, the request's stamp echoed, and a time stamp at all.
std::optional<NtpTimestamp> ReadSntpReply(std::span<const std::uint8_t> reply,
                                          std::uint64_t requestTransmit);

// Asks the server in `server` ("host" or "host:port") for the time with one request and
// sets the clock from the answer.
SyncReport SyncClockNtp(std::string_view server, SyncServices& services);

}  // namespace tsukio
