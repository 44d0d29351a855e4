#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "calendar/colour.h"

namespace tsukio {

// What the calendar knows of one day: the holiday's name (empty on an ordinary day)
// and the colour the day is drawn in. Names point at static text.
struct DayMark {
  std::string_view name;
  Colour colour;

  bool IsHoliday() const { return !name.empty(); }
  friend bool operator==(const DayMark&, const DayMark&) = default;
};

inline constexpr std::string_view kSubstituteHolidayName = "振替休日";

// The national holiday and day colour of a date (which must be a calendar day, `ok()`).
// The Monday substitute rule is not applied here. Holidays follow the law as it stood in
// the date's year; there are none before 20 July 1948, when the Act on National Holidays
// took effect.
DayMark LookUpHoliday(std::chrono::year_month_day date);

// The Monday substitute-holiday rule, the one definition both the tray and the month
// grid use: a Monday that is not the 1st, has no name of its own and follows a holiday
// becomes "振替休日", once the rule exists (after 12 April 1973). `dayBefore` is the mark
// of the Sunday of the same month.
bool IsSubstituteHoliday(std::chrono::year_month_day date, const DayMark& own,
                         const DayMark& dayBefore);

// The day as the tray shows it: the lookup, then the substitute rule. A Monday that was
// examined and found no substitute gets the examined-Monday colour.
DayMark TrayDayMark(std::chrono::year_month_day date);

struct NamedDay {
  std::chrono::year_month_day date;
  std::string_view name;
};

// Every day of years FIRST to LAST that the tray names, substitute holidays included, in date
// order: what `tsukio-cal holidays` lists and the holiday feed carries.
std::vector<NamedDay> HolidaysOfYears(int first, int last);

// The two equinox days of year Y (day of March, day of September), by the official
// formula with the constants of Y's period (1900-1979, 1980-2099, 2100-2150); 0, no day,
// outside 1900-2150, where the day is not known.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

}  // namespace tsukio
