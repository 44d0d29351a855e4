#include "app/tsukio-cal/icalendar.h"

#include <array>
#include <cstdio>

#include "calendar/almanac.h"
#include "calendar/holidays.h"
#include "calendar/koyomi.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

// RFC 5545 wants a DTSTAMP on every event. The clock's time would make each download differ
// from the last though nothing in it changed; this is the day the holiday rules and the
// almanac table were last revised. Move it with them, and clients that compare stamps take
// the new version.
constexpr std::string_view kRevised = "20261209T000000Z";

constexpr std::string_view kUidDomain = "tsukio.quorv.example.net";

constexpr std::size_t kMaxLineOctets = 75;

// The 雑節 in SeasonalDay's order, romanized for the UIDs.
constexpr std::array<std::string_view, 10> kSeasonalDayKinds{
    "setsubun", "higan-iri", "higan-ake", "hachijuhachiya", "nyubai",
    "hangesho", "doyo-iri",  "doyo-ushi", "nihyakutoka",    "nihyakuhatsuka"};

std::string BasicDate(chr::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

template <typename Days>
void ForEachDay(int firstYear, int lastYear, Days days) {
  const chr::sys_days end{chr::year{lastYear} / chr::December / 31};
  for (chr::sys_days day{chr::year{firstYear} / chr::January / 1}; day <= end;
       day += chr::days{1}) {
    days(chr::year_month_day{day});
  }
}

}  // namespace

Feed HolidayFeed(int firstYear, int lastYear) {
  Feed feed{"日本の祝日", "祝日", {}};
  for (const NamedDay& day : HolidaysOfYears(firstYear, lastYear)) {
    feed.events.push_back({day.date, std::string(day.name), "holiday"});
  }
  return feed;
}

Feed AlmanacFeed(int firstYear, int lastYear) {
  Feed feed{"暦", "暦", {}};
  ForEachDay(firstYear, lastYear, [&](chr::year_month_day date) {
    const std::optional<Koyomi> koyomi = LookUpKoyomi(date);
    if (koyomi && koyomi->lunisolar.day == 1) {
      const LunisolarDate& month = koyomi->lunisolar;
      feed.events.push_back(
          {date,
           "旧" + std::string(month.leapMonth ? "閏" : "") + std::to_string(month.month) + "月",
           "kyureki"});
    }
    const std::string_view term = LookUpAlmanac(date).solarTermName;
    if (!term.empty()) feed.events.push_back({date, std::string(term), "sekki"});
    if (!koyomi) return;
    for (SeasonalDay day : koyomi->seasonalDays.List()) {
      feed.events.push_back({date, std::string(SeasonalDayName(day)),
                             std::string(kSeasonalDayKinds.at(static_cast<std::size_t>(day)))});
    }
  });
  return feed;
}

std::string EventUid(const DayEvent& event) {
  return BasicDate(event.date) + "-" + event.kind + "@" + std::string(kUidDomain);
}

std::string EscapeText(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == ';' || c == ',') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c != '\r') {
      escaped += c;
    }
  }
  return escaped;
}

std::string FoldLine(std::string_view line) {
  std::string folded;
  std::size_t room = kMaxLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    // Back off to the first byte of the character the cut would split.
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    folded.append(line.substr(0, cut));
    folded += "\r\n ";
    line.remove_prefix(cut);
    room = kMaxLineOctets - 1;  // the continuation's leading space is an octet of the line
  }
  folded.append(line);
  folded += "\r\n";
  return folded;
}

void WriteFeed(std::ostream& out, const Feed& feed) {
  const auto line = [&out](std::string_view text) { out << FoldLine(text); };
  line("BEGIN:VCALENDAR");
  line("VERSION:2.0");
  line("PRODID:-//Quorv//Tsukio " TSUKIO_VERSION "//JA");
  line("CALSCALE:GREGORIAN");
  line("X-WR-CALNAME:" + EscapeText(feed.name));
  line("X-WR-TIMEZONE:Asia/Tokyo");
  const std::string category = EscapeText(feed.category);
  for (const DayEvent& event : feed.events) {
    line("BEGIN:VEVENT");
    line("UID:" + EventUid(event));
    line("DTSTAMP:" + std::string(kRevised));
    line("DTSTART;VALUE=DATE:" + BasicDate(event.date));
    line("DTEND;VALUE=DATE:" + BasicDate(chr::sys_days{event.date} + chr::days{1}));
    line("SUMMARY:" + EscapeText(event.summary));
    line("CATEGORIES:" + category);
    line("TRANSP:TRANSPARENT");
    line("END:VEVENT");
  }
  line("END:VCALENDAR");
}

}  // namespace tsukio::cal
