// tsukio-cal today: the day icon's tooltip for today.
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/date_tip.h"

namespace tsukio::cal {

namespace chr = std::chrono;

int TodayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                 const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("today", args, {"--weeks", "--date"});
  ExpectPositional("today", parsed, 0, 0);
  const chr::year_month_day today = Today(parsed, env);
  out << DayTip(today, parsed.weeks.value_or(WeekScheme::kIso), true) << '\n';
  return 0;
}

}  // namespace tsukio::cal
