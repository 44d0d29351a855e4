#include "calendar/weeks.h"

#include "calendar/date_text.h"

namespace tsukio {

namespace chr = std::chrono;

WeekScheme WeekSchemeFromMethod(int method) {
  return method == 1 ? WeekScheme::kUsa : WeekScheme::kIso;
}

namespace {

int DayOfYear(chr::year_month_day date) {
  return static_cast<int>(
             (chr::sys_days{date} - chr::sys_days{date.year() / chr::January / 1}).count()) +
         1;
}

int UsaWeek(chr::year_month_day date) {
  // Weekday numbers run Sunday = 1 … Saturday = 7.
  const int w1 =
      static_cast<int>(chr::weekday{chr::sys_days{date.year() / chr::January / 1}}.c_encoding()) +
      1;
  return (DayOfYear(date) - 1 + w1 + 6) / 7;
}

int IsoWeek(chr::year_month_day date) {
  // The ISO week belongs to the year of its Thursday, and counts from that year's start.
  const chr::sys_days day{date};
  const int fromMonday = static_cast<int>(chr::weekday{day}.iso_encoding()) - 1;
  const chr::sys_days thursday = day - chr::days{fromMonday} + chr::days{3};
  return (DayOfYear(chr::year_month_day{thursday}) - 1) / 7 + 1;
}

}  // namespace

int WeekNumber(chr::year_month_day date, WeekScheme scheme) {
  return scheme == WeekScheme::kUsa ? UsaWeek(date) : IsoWeek(date);
}

int RowWeekNumber(chr::sys_days sunday, chr::year_month shown, WeekScheme scheme) {
  const chr::year_month_day thursday{sunday + chr::days{4}};
  if (scheme != WeekScheme::kUsa) return IsoWeek(thursday);
  for (int i = 0; i < 7; ++i) {
    const chr::year_month_day day{sunday + chr::days{i}};
    if (day.year() / day.month() == shown) return UsaWeek(day);
  }
  return UsaWeek(thursday);
}

int DaysInMonth(int year, int month) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12) return 0;
  const chr::year_month_day_last last{chr::year{year} / chr::month{static_cast<unsigned>(month)} /
                                      chr::last};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

}  // namespace tsukio
