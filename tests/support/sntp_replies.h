#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tsukio::testing {

// What a server puts into its answer; the defaults make a good one.
struct SntpAnswer {
  std::uint32_t seconds = 3'500'000'000u;  // 2010-11-29 06:13:20 UTC
  std::uint32_t fraction = 0x80000000u;    // half a second
  int leap = 0;
  int version = 1;
  int mode = 4;
  int stratum = 2;
  bool echo = true;       // originate = the request's transmit stamp
  std::size_t size = 48;  // bytes actually sent
};

inline void PutBigEndian64(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t v) {
  for (std::size_t i = 0; i < 8; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (56 - 8 * i));
}

inline std::uint64_t GetBigEndian64(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 8; ++i) v = (v << 8) | bytes[at + i];
  return v;
}

// The answer to `request` as a server would send it.
inline std::vector<std::uint8_t> SntpReply(std::span<const std::uint8_t> request,
                                           const SntpAnswer& answer = {}) {
  std::vector<std::uint8_t> reply(std::max<std::size_t>(answer.size, 48), 0);
  reply[0] = static_cast<std::uint8_t>((answer.leap << 6) | (answer.version << 3) | answer.mode);
  reply[1] = static_cast<std::uint8_t>(answer.stratum);
  const std::uint64_t originate =
      request.size() >= 48 ? GetBigEndian64(request, 40) : std::uint64_t{0};
  PutBigEndian64(reply, 24, answer.echo ? originate : originate ^ 0x5A5A);
  PutBigEndian64(reply, 32, std::uint64_t{answer.seconds} << 32);  // receive time stamp
  PutBigEndian64(reply, 40, (std::uint64_t{answer.seconds} << 32) | answer.fraction);
  reply.resize(answer.size);
  return reply;
}

}  // namespace tsukio::testing
