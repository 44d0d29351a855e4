#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tsukio {

// Dates travel between the parts of the program as decimal texts ("2011", "5", "3"),
// and the lookups match them as texts. These helpers are the only place those texts
// are made or read, so the two directions cannot drift apart.

// Thrown when a date text is no number or names no calendar day.
class DateTextError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;

// A plain decimal number ("05" reads as 5); anything else throws DateTextError.
int ParseDecimal(std::string_view text);

// The date the three texts name; throws DateTextError when there is none in years 1..9999.
std::chrono::year_month_day DateFromTexts(std::string_view year, std::string_view month,
                                          std::string_view day);

// Validates a year/month/day given as numbers, with the same error as the texts.
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
