#include "app/tsukio-cal/status_bar.h"

#include <cstdio>

#include "calendar/colour.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"

namespace tsukio::cal {

namespace chr = std::chrono;

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (c == '\n') {
      json += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + '"';
}

std::string_view DayClass(chr::year_month_day date) {
  const Colour colour = TrayDayMark(date).colour;
  if (colour == day_colour::kHoliday) return "holiday";
  if (colour == day_colour::kSunday) return "sunday";
  if (colour == day_colour::kSaturday) return "saturday";
  return "weekday";
}

std::string BarLine(chr::year_month_day date) {
  const DateTexts texts = FormatDateTexts(date);
  const std::string_view kind = DayClass(date);
  return "{\"text\":" + JsonString(texts.month + "/" + texts.day + "(" + texts.weekday + ")") +
         ",\"tooltip\":" + JsonString(DayTip(date, WeekScheme::kIso, true)) + ",\"class\":[" +
         (kind == "weekday" ? "" : JsonString(kind)) + "],\"alt\":" + JsonString(kind) + "}";
}

SleepEnd FollowDays(const Clock& clock, DayWait& wait, std::ostream& out) {
  chr::year_month_day shown = clock.Now().date;
  out << BarLine(shown) << '\n' << std::flush;
  while (out) {
    // Aimed at the next midnight; woken early by a set clock or a resume, it looks again.
    const SleepEnd end = wait.SleepUntil({chr::sys_days{shown} + chr::days{1}, 0, 0, 0, 0});
    if (end != SleepEnd::kWoken) return end;
    const chr::year_month_day today = clock.Now().date;
    if (today == shown) continue;
    shown = today;
    out << BarLine(shown) << '\n' << std::flush;
  }
  return SleepEnd::kOutputGone;
}

}  // namespace tsukio::cal
