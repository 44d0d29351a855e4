// tsukio-cal bar: today for a status bar's text module, once or at every change of day.
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "app/tsukio-cal/status_bar.h"

namespace tsukio::cal {

int BarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
               const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("bar", args, {"--follow", "--date"});
  ExpectPositional("bar", parsed, 0, 0);
  if (!parsed.follow) {
    out << BarLine(Today(parsed, env)) << '\n';
    return 0;
  }
  if (parsed.date) throw UsageError("bar: --follow follows the clock; it takes no --date");
  if (env.dayWait == nullptr) throw OutputError("bar: --follow cannot sleep on this system");
  // A bar that quit closed the pipe: nothing left to do, and no one to tell.
  if (FollowDays(env.clock, *env.dayWait, out) == SleepEnd::kOutputGone) return 0;
  throw OutputError("bar: cannot wait for the next day");
}

}  // namespace tsukio::cal
