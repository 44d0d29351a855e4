#include "timesync/http_date.h"

#include <array>

namespace tsukio {

namespace chr = std::chrono;

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr chr::milliseconds kLongestCorrection{59'999};

// The decimal number in `digits`, which must all be digits.
std::optional<int> Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

HttpDateText FetchHttpDate(HttpAccessMode mode, std::string_view url, std::string_view proxy,
                           SyncServices& services) {
  HttpDateText none;
  if (url.empty()) return none;
  HttpRequest request{mode, std::string(url), {}};
  switch (mode) {
    case HttpAccessMode::kDirect:
    case HttpAccessMode::kPreconfigured:
      break;
    case HttpAccessMode::kNamedProxy:
      if (proxy.empty()) return none;
      request.proxy = std::string(proxy);
      break;
    default:
      return none;
  }
  const std::optional<std::string> value = services.http.DateHeader(request);
  if (!value || value->size() > kMostHttpDateLength) return none;
  return {*value, services.ticks.Milliseconds()};
}

std::optional<UtcTime> ParseHttpDate(std::string_view value) {
  // "Sun, 06 Nov 1994 08:49:37 GMT": day at 5, month at 8, year at 12, " HH:MM:SS" at 16.
  if (value.size() < 25) return std::nullopt;
  const std::string_view time = value.substr(16, 9);
  if (time[0] != ' ' || time[3] != ':' || time[6] != ':') return std::nullopt;
  const auto day = Number(value.substr(5, 2));
  const auto year = Number(value.substr(12, 4));
  const auto hour = Number(time.substr(1, 2));
  const auto minute = Number(time.substr(4, 2));
  const auto second = Number(time.substr(7, 2));
  unsigned month = 0;
  for (unsigned i = 0; i < kMonthNames.size(); ++i) {
    if (value.substr(8, 3) == kMonthNames[i]) month = i + 1;
  }
  if (!day || !year || !hour || !minute || !second || month == 0) return std::nullopt;
  if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  const chr::year_month_day date{chr::year{*year}, chr::month{month},
                                 chr::day{static_cast<unsigned>(*day)}};
  // Before 1970 no clock of ours can be set; such a Date is no time.
  if (!date.ok() || date.year() < chr::year{1970}) return std::nullopt;
  return UtcTime{chr::sys_days{date} + chr::hours{*hour} + chr::minutes{*minute} +
                 chr::seconds{*second}};
}

chr::milliseconds HttpDateCorrection(std::uint32_t now, std::uint32_t receipt) {
  const std::int64_t elapsed = static_cast<std::int32_t>(now - receipt);
  const chr::milliseconds size{elapsed < 0 ? -elapsed : elapsed};
  const chr::milliseconds correction = size <= kLongestCorrection ? size : size % chr::seconds{1};
  return elapsed < 0 ? -correction : correction;
}

SyncReport SetClockFromHttpDate(std::string_view text, std::uint32_t receiptTick,
                                SyncServices& services) {
  const std::optional<UtcTime> sent = ParseHttpDate(text);
  if (!sent) return SyncReport{SyncSetFailed, {}, {}, "the Date value is not a time"};
  return SetClockTo(*sent + HttpDateCorrection(services.ticks.Milliseconds(), receiptTick),
                    services);
}

}  // namespace tsukio
