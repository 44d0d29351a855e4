// The HTTP Date reader on any header value: what it accepts is a real instant from 1970 on,
// and writing that instant back in the same form reads as the same instant.
#include <cstdio>

#include "tests/fuzz/fuzz_input.h"
#include "timesync/http_date.h"

namespace {

std::string Rfc1123(tsukio::UtcTime time) {
  using namespace std::chrono;
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const auto day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> clock{time - day};
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d GMT",
                kDays[weekday{day}.c_encoding()], static_cast<unsigned>(date.day()),
                kMonths[static_cast<unsigned>(date.month()) - 1], static_cast<int>(date.year()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tsukio::fuzz::Check;
  const std::string value(reinterpret_cast<const char*>(data), size);
  const auto parsed = tsukio::ParseHttpDate(value);
  if (size >= 8) {
    std::uint32_t now = 0;
    std::uint32_t receipt = 0;
    for (int i = 0; i < 4; ++i) {
      now = (now << 8) | data[i];
      receipt = (receipt << 8) | data[4 + i];
    }
    const auto correction = tsukio::HttpDateCorrection(now, receipt);
    Check(correction > std::chrono::minutes(-1) && correction < std::chrono::minutes(1),
          "a correction of a minute or more");
  }
  if (!parsed) return 0;
  Check(*parsed >= tsukio::UtcTime{}, "a Date before 1970 was accepted");
  Check(parsed->time_since_epoch() % std::chrono::seconds(1) == std::chrono::milliseconds(0),
        "a Date with a fraction of a second");
  const auto again = tsukio::ParseHttpDate(Rfc1123(*parsed));
  Check(again == parsed, "the accepted instant does not read back the same");
  return 0;
}
