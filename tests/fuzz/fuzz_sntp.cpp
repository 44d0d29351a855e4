// The SNTP reply reader on any datagram: it never reads past what came, and it never accepts
// a reply that does not carry our request's stamp.
#include <cstring>
#include <span>

#include "tests/fuzz/fuzz_input.h"
#include "timesync/sntp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tsukio::fuzz::Check;
  if (size < 8) return 0;
  std::uint64_t stamp = 0;
  for (std::size_t i = 0; i < 8; ++i) stamp = (stamp << 8) | data[i];
  // A copy of exactly the reply's length, so reading past it is the sanitizer's finding.
  const std::vector<std::uint8_t> reply(data + 8, data + size);
  const auto answer = tsukio::ReadSntpReply(reply, stamp);
  if (!answer) return 0;
  Check(reply.size() >= tsukio::kSntpMessageSize, "a short reply was accepted");
  std::uint64_t echoed = 0;
  for (std::size_t i = 24; i < 32; ++i) echoed = (echoed << 8) | reply[i];
  Check(echoed == stamp, "a reply without our stamp was accepted");
  Check((reply[0] & 0x07) == 4, "a reply not in server mode was accepted");
  Check(answer->Packed() != 0, "a reply without a time was accepted");
  const auto utc = tsukio::NtpToUtc(*answer);
  Check(utc >= tsukio::UtcTime{} &&
            utc < tsukio::UtcTime{std::chrono::seconds(std::uint64_t{1} << 32)},
        "a time outside 1970 to 2106");
  return 0;
}
