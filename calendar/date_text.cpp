#include "calendar/date_text.h"

#include <array>
#include <cstdio>

namespace tsukio {

namespace chr = std::chrono;

chr::year_month_day MakeDate(int year, int month, int day) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > 31) {
    throw DateTextError("no such date: " + std::to_string(year) + "/" + std::to_string(month) +
                        "/" + std::to_string(day));
  }
  chr::year_month_day date{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                           chr::day{static_cast<unsigned>(day)}};
  if (!date.ok()) {
    throw DateTextError("no such date: " + std::to_string(year) + "/" + std::to_string(month) +
                        "/" + std::to_string(day));
  }
  return date;
}

std::string_view WeekdayText(chr::weekday wd) {
  static constexpr std::array<std::string_view, 7> kNames = {"日", "月", "火", "水",
                                                             "木", "金", "土"};
  return kNames[wd.c_encoding()];
}

DateTexts FormatDateTexts(chr::year_month_day date) {
  char year[8];
  std::snprintf(year, sizeof year, "%04d", static_cast<int>(date.year()));
  return DateTexts{year, std::to_string(static_cast<unsigned>(date.month())),
                   std::to_string(static_cast<unsigned>(date.day())),
                   std::string(WeekdayText(chr::weekday{chr::sys_days{date}}))};
}

std::string IsoDateText(chr::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

}  // namespace tsukio
