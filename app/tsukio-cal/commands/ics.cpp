// tsukio-cal ics: the holidays, or the almanac's days, as an iCalendar file.
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "app/tsukio-cal/icalendar.h"

namespace tsukio::cal {

namespace {

int FeedYear(const std::string& text) {
  return ParseNumber(text, kFirstFeedYear, kLastFeedYear, "year");
}

}  // namespace

int IcsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
               const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("ics", args, {"--almanac"});
  ExpectPositional("ics", parsed, 0, 2);
  int first = 0;
  int last = 0;
  if (parsed.positional.empty()) {
    first = static_cast<int>(env.clock.Now().date.year());
    last = first + 1;
    if (first < kFirstFeedYear || last > kLastFeedYear)
      throw UsageError("ics: this year is outside 1948 to 2150; give the years");
  } else {
    first = FeedYear(parsed.positional[0]);
    last = parsed.positional.size() > 1 ? FeedYear(parsed.positional[1]) : first;
  }
  if (last < first) throw UsageError("ics: TO is before FROM");
  WriteFeed(out, parsed.almanac ? AlmanacFeed(first, last) : HolidayFeed(first, last));
  return 0;
}

}  // namespace tsukio::cal
