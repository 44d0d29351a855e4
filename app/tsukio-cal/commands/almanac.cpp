// tsukio-cal almanac: each day's rokuyō and the solar term that begins on it.
#include "calendar/almanac.h"
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/date_text.h"

namespace tsukio::cal {

namespace chr = std::chrono;

int AlmanacCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                   const CalEnvironment&) {
  const auto [from, to] = ParseDayRange("almanac", args);
  for (chr::sys_days day = from; day <= to; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const AlmanacEntry entry = LookUpAlmanac(date);
    out << IsoDateText(date) << '\t' << entry.rokuyoName << '\t' << entry.solarTermName << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
