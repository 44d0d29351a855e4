#pragma once

// `tsukio-cal bar`: today as the JSON line the text modules of status bars read
// (waybar's "return-type": "json" and its likes): {"text", "tooltip", "class", "alt"}.

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/day_wait.h"

namespace tsukio::cal {

// A JSON string, quotes included; UTF-8 is passed through as it is.
std::string JsonString(std::string_view text);

// The kind of day as the day icon's colour tells it: "sunday", "saturday", "holiday", or
// "weekday" for a day in the weekday colour.
std::string_view DayClass(std::chrono::year_month_day date);

// One line, without its line end: text "12/9(水)", tooltip the tray's day tooltip with the
// almanac, class [the kind] (none on a weekday), alt the kind.
std::string BarLine(std::chrono::year_month_day date);

// Writes today's line, then a new line each time the clock shows another day, sleeping in
// between; each line is flushed as it is written. Returns why it stopped: the output went
// (its reader, or a write failed) or `wait` could not sleep.
SleepEnd FollowDays(const Clock& clock, DayWait& wait, std::ostream& out);

}  // namespace tsukio::cal
