#include "calendar/date_tip.h"

namespace tsukio {

std::string BuildDateTip(const DateTexts& date, std::string_view holidayName, int weekNumber,
                         std::string_view almanacText) {
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

}  // namespace tsukio
