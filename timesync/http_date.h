#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "timesync/sync.h"

namespace tsukio {

// What FetchHttpDate returns when it has no Date value. A Date of "x" is no value either.
inline constexpr std::string_view kNoHttpDate = "x";
// A longer Date value counts as none.
inline constexpr std::size_t kMostHttpDateLength = 255;

struct HttpDateText {
  std::string text{kNoHttpDate};
  std::uint32_t receiptTick = 0;  // the tick counter when the value came, if it came

  bool HasValue() const { return text != kNoHttpDate; }
};

// Asks `url` with a GET, in `mode` (through `proxy` for kNamedProxy), for its Date header.
HttpDateText FetchHttpDate(HttpAccessMode mode, std::string_view url, std::string_view proxy,
                           SyncServices& services);

// The fixed-width RFC 1123 form, "Sun, 06 Nov 1994 08:49:37 GMT", read by character
// positions; the zone is taken as UTC whatever it says. Nothing for any other form, an
// unknown or lower-case month, an impossible date or time, or a date before 1970.
std::optional<UtcTime> ParseHttpDate(std::string_view value);

// How far to move a Date read at tick `receipt` when it is `now`: the time since, when that
// is under a minute; beyond that only its part below a second. Backwards when `now` is
// before `receipt`.
std::chrono::milliseconds HttpDateCorrection(std::uint32_t now, std::uint32_t receipt);

// Sets the clock from a Date value read at tick `receiptTick`. SyncOk or SyncSetFailed.
SyncReport SetClockFromHttpDate(std::string_view text, std::uint32_t receiptTick,
                                SyncServices& services);

}  // namespace tsukio
