// tsukio-cal days: one tab-separated line per day, for other programs to read.
#include <cstdio>

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

std::string ColourHex(Colour colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour.bgr));
  return text;
}

}  // namespace

int DaysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                const CalEnvironment&) {
  const auto [from, to] = ParseDayRange("days", args);
  for (chr::sys_days day = from; day <= to; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DayMark mark = TrayDayMark(date);
    out << IsoDateText(date) << '\t' << WeekdayText(chr::weekday{day}) << '\t' << mark.name << '\t'
        << ColourHex(mark.colour) << '\t' << WeekNumber(date, WeekScheme::kIso) << '\t'
        << WeekNumber(date, WeekScheme::kUsa) << '\t' << AlmanacText(date) << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
