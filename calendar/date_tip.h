#pragma once

#include <string>
#include <string_view>

#include "calendar/date_text.h"

namespace tsukio {

// The day icon's tooltip, also the calendar window's caption:
//   "2011年3月8日(火)  第10週" on an ordinary day,
//   "2011年1月10日(月) -成人の日-  第2週" on a holiday,
// followed by the almanac text when one is given.
std::string BuildDateTip(const DateTexts& date, std::string_view holidayName, int weekNumber,
                         std::string_view almanacText);

}  // namespace tsukio
