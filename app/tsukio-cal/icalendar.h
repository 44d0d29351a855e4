#pragma once

// The iCalendar (RFC 5545) feeds of `tsukio-cal ics`: the national holidays as one calendar and
// the almanac's days as another, each day an all-day event whose UID is made from its date and
// its kind alone, so that every download names the same day the same way.

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tsukio::cal {

// The years the feeds cover: from the holiday law's first year to the last with a known equinox.
inline constexpr int kFirstFeedYear = 1948;
inline constexpr int kLastFeedYear = 2150;

struct DayEvent {
  std::chrono::year_month_day date;
  std::string summary;
  // What sort of day it is, in ASCII: the UID is the date and this, so no two events of
  // one date may share it.
  std::string kind;
};

struct Feed {
  std::string name;      // X-WR-CALNAME
  std::string category;  // every event's CATEGORIES
  std::vector<DayEvent> events;
};

// The holidays `tsukio-cal holidays` lists, each named exactly so: kind "holiday", as no date
// has two.
Feed HolidayFeed(int firstYear, int lastYear);
// The 旧暦 month starts ("旧11月", "旧閏4月"), the 節気 and the 雑節, in that order within a day;
// none outside the almanac table's years.
Feed AlmanacFeed(int firstYear, int lastYear);

// "20260101-holiday@tsukio.quorv.example.net"
std::string EventUid(const DayEvent& event);

// TEXT as a property value: backslash, semicolon, comma and line ends escaped.
std::string EscapeText(std::string_view text);
// One content line, CRLF-terminated, folded at 75 octets and never inside a UTF-8 character.
std::string FoldLine(std::string_view line);

// The whole calendar: VCALENDAR, one VEVENT a day event.
void WriteFeed(std::ostream& out, const Feed& feed);

}  // namespace tsukio::cal
