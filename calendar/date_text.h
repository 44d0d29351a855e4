#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tsukio {

// Dates travel through the program as std::chrono values; these are the texts made of them
// for people (tooltips, the window, the command line), and the check of a date that comes in
// as numbers.

// Thrown when numbers that came in name no calendar day.
class DateTextError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;

// The date the numbers name; throws DateTextError when there is none in years 1..9999.
std::chrono::year_month_day MakeDate(int year, int month, int day);

struct DateTexts {
  std::string year;     // "yyyy": four digits
  std::string month;    // "m": no leading zero
  std::string day;      // "d": no leading zero
  std::string weekday;  // "ddd": 日 … 土
};
DateTexts FormatDateTexts(std::chrono::year_month_day date);

// "日" for Sunday … "土" for Saturday.
std::string_view WeekdayText(std::chrono::weekday wd);

// "2011-05-03"; the form the command line reads and writes.
std::string IsoDateText(std::chrono::year_month_day date);

}  // namespace tsukio
