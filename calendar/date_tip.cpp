#include "calendar/date_tip.h"

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calendar/koyomi.h"

namespace tsukio {

std::string BuildDateTip(std::chrono::year_month_day day, std::string_view holidayName,
                         int weekNumber, std::string_view almanacText) {
  const DateTexts date = FormatDateTexts(day);
  std::string tip;
  tip.reserve(64 + almanacText.size());
  tip += date.year;
  tip += "年";
  tip += date.month;
  tip += "月";
  tip += date.day;
  tip += "日(";
  tip += date.weekday;
  tip += ")";
  if (!holidayName.empty()) {
    tip += " -";
    tip += holidayName;
    tip += "-";
  }
  tip += "  第";
  tip += std::to_string(weekNumber);
  tip += "週";
  tip += almanacText;
  return tip;
}

std::string AlmanacTip(std::chrono::year_month_day date) {
  return AlmanacText(date) + KoyomiTipText(date);
}

std::string DayTip(std::chrono::year_month_day date, WeekScheme weeks, bool withAlmanac) {
  return BuildDateTip(date, TrayDayMark(date).name, WeekNumber(date, weeks),
                      withAlmanac ? AlmanacTip(date) : "");
}

}  // namespace tsukio
