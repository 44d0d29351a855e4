// tsukio-cal holidays: every named day of the years.
#include "calendar/holidays.h"
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/date_text.h"

namespace tsukio::cal {

namespace chr = std::chrono;

int HolidaysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                    const CalEnvironment&) {
  const Arguments parsed = ParseArguments("holidays", args, {});
  ExpectPositional("holidays", parsed, 1, 2);
  const int first = ParseYear(parsed.positional[0]);
  const int last = parsed.positional.size() > 1 ? ParseYear(parsed.positional[1]) : first;
  if (last < first) throw UsageError("holidays: LASTYEAR is before YEAR");

  const chr::sys_days end{chr::year{last} / chr::December / 31};
  for (chr::sys_days day{chr::year{first} / chr::January / 1}; day <= end; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DayMark mark = TrayDayMark(date);
    if (mark.IsHoliday()) out << IsoDateText(date) << '\t' << mark.name << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
