#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tsukio {

// The week-number rule in force, as the options store it: 0 ISO, 1 USA. Any other
// stored value means ISO.
enum class WeekScheme { kIso = 0, kUsa = 1 };
WeekScheme WeekSchemeFromMethod(int method);

// The week number of a date, 1 to 53.
// ISO: ISO 8601 weeks, Monday to Sunday; the last days of December may be week 1.
// USA: Sunday to Saturday, week 1 holds 1 January; never looks at the next year.
int WeekNumber(std::chrono::year_month_day date, WeekScheme scheme);

// The week number a Sunday-first month grid shows beside the row starting at `sunday`:
// under ISO the week of the row's Thursday; under USA the row is one week, numbered by
// its days of the shown month, so a January row that begins in December shows 1.
int RowWeekNumber(std::chrono::sys_days sunday, std::chrono::year_month shown, WeekScheme scheme);

// Days of the month, 28 to 31; 0 when the month cannot be formed (a year outside 1..9999
// or a month outside 1..12).
int DaysInMonth(int year, int month);

}  // namespace tsukio
