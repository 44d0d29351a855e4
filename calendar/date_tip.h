#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "calendar/weeks.h"

namespace tsukio {

// The day icon's tooltip, also the calendar window's caption:
//   "2011年3月8日(火)  第10週" on an ordinary day,
//   "2011年1月10日(月) -成人の日-  第2週" on a holiday,
// followed by the almanac text when one is given.
std::string BuildDateTip(std::chrono::year_month_day date, std::string_view holidayName,
                         int weekNumber, std::string_view almanacText);

// A day's almanac as a tooltip shows it after the week number: the rokuyō, the solar term,
// the 旧暦 date, the 干支 and the 雑節, each after an ideographic space; empty outside the table.
std::string AlmanacTip(std::chrono::year_month_day date);

// The day icon's tooltip for a date, as the tray, the calendar window's caption and the
// command line all show it; `withAlmanac` adds the rokuyō, solar term, 旧暦 date, 干支 and
// 雑節.
std::string DayTip(std::chrono::year_month_day date, WeekScheme weeks, bool withAlmanac);

}  // namespace tsukio
