// tsukio-cal holidays: every named day of the years.
#include "calendar/holidays.h"
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/date_text.h"

namespace tsukio::cal {

int HolidaysCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                    const CalEnvironment&) {
  const Arguments parsed = ParseArguments("holidays", args, {});
  ExpectPositional("holidays", parsed, 1, 2);
  const int first = ParseYear(parsed.positional[0]);
  const int last = parsed.positional.size() > 1 ? ParseYear(parsed.positional[1]) : first;
  if (last < first) throw UsageError("holidays: LASTYEAR is before YEAR");

  for (const NamedDay& day : HolidaysOfYears(first, last)) {
    out << IsoDateText(day.date) << '\t' << day.name << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
