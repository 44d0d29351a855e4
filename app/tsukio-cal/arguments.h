#pragma once

// tsukio-cal's one reading of the command line: options, dates, years, months, times and day
// ranges, and the two ways a command fails.

#include <chrono>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/tsukio-cal/cal_cli.h"
#include "calendar/weeks.h"

namespace tsukio::cal {

// Bad input: reported as one line and exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The command was right but its output could not be made: exit status 1.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Arguments {
  std::vector<std::string> positional;
  std::optional<WeekScheme> weeks;
  std::optional<std::chrono::year_month_day> date;
  bool noColour = false;
  bool twelveHour = false;
  std::optional<std::pair<int, int>> time;
  std::optional<int> dpi;
  std::optional<std::string> out;
  std::optional<std::string> ntp;
  std::optional<std::string> http;
  std::optional<std::string> proxy;
  bool systemProxy = false;
  bool dryRun = false;
  bool almanac = false;
  bool follow = false;
};

// `args` is the whole command line, the command first; only the `allowed` options are taken.
Arguments ParseArguments(const std::string& command, const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> allowed);
void ExpectPositional(const std::string& command, const Arguments& parsed, std::size_t least,
                      std::size_t most);

std::chrono::year_month_day ParseDate(const std::string& text);
int ParseNumber(const std::string& text, int low, int high, std::string_view what);
int ParseYear(const std::string& text);
std::pair<int, int> ParseTime(const std::string& text);
int ParseDpi(const std::string& text);
WeekScheme ParseScheme(const std::string& text);

// --date, or the clock's date.
std::chrono::year_month_day Today(const Arguments& parsed, const CalEnvironment& env);

// [YEAR MONTH]: both or neither.
void ExpectYearAndMonthOrNeither(const std::string& command, const Arguments& parsed);
// The month YEAR MONTH names, or the month of `today` when they are left out.
std::chrono::year_month ShownMonth(const Arguments& parsed, std::chrono::year_month_day today);

struct DayRange {
  std::chrono::sys_days from;
  std::chrono::sys_days to;
};

// FROM [TO], the days a listing command covers.
DayRange ParseDayRange(const std::string& command, const std::vector<std::string>& args);

}  // namespace tsukio::cal
