// tsukio-cal koyomi: what a paper 日めくり prints for each day, one tab-separated line a day.
#include "calendar/koyomi.h"

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

// The almanac table's years: a day outside them has no 旧暦 date to print, and an empty line
// would pass for one.
constexpr chr::sys_days kFirstDay{chr::year{1900} / 1 / 1};
constexpr chr::sys_days kLastDay{chr::year{2100} / 12 / 31};

}  // namespace

int KoyomiCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                  const CalEnvironment&) {
  const auto [from, to] = ParseDayRange("koyomi", args);
  if (from < kFirstDay || to > kLastDay) {
    throw UsageError("koyomi: dates must lie within 1900-01-01 to 2100-12-31");
  }
  for (chr::sys_days day = from; day <= to; day += chr::days{1}) {
    out << KoyomiLine(chr::year_month_day{day}).value_or("") << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
