// The feeds for other programs: the iCalendar files of `tsukio-cal ics` and the status-bar
// line of `tsukio-cal bar`.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "app/tsukio-cal/cal_cli.h"
#include "app/tsukio-cal/icalendar.h"
#include "app/tsukio-cal/status_bar.h"
#include "tests/support/fake_clock.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

std::string Cal(const std::vector<std::string>& args, chr::year_month_day today,
                int* code = nullptr) {
  const testing::FakeClock clock({today, 9, 30, 0});
  std::ostringstream out, err;
  const int exit = RunCal(args, out, err, CalEnvironment{clock});
  if (code != nullptr) *code = exit;
  return exit == 0 ? out.str() : err.str();
}

TEST(IcsFeed, BeginsWithTheCalendarAndItsFirstHoliday) {
  std::string feed = Cal({"ics", "2026", "2026"}, chr::year{2026} / 12 / 9);
  // The version's number changes with every release; only the line's shape is fixed.
  const std::size_t prodid = feed.find("PRODID:-//Quorv//Tsukio ");
  ASSERT_EQ(prodid, 30u);
  feed.erase(prodid, feed.find("//JA\r\n") + 6 - prodid);
  EXPECT_EQ(feed.substr(0, 330),
            "BEGIN:VCALENDAR\r\n"
            "VERSION:2.0\r\n"
            "CALSCALE:GREGORIAN\r\n"
            "X-WR-CALNAME:日本の祝日\r\n"
            "X-WR-TIMEZONE:Asia/Tokyo\r\n"
            "BEGIN:VEVENT\r\n"
            "UID:20260101-holiday@tsukio.quorv.example.net\r\n"
            "DTSTAMP:20261209T000000Z\r\n"
            "DTSTART;VALUE=DATE:20260101\r\n"
            "DTEND;VALUE=DATE:20260102\r\n"
            "SUMMARY:元日\r\n"
            "CATEGORIES:祝日\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "END:VEVENT\r\n"
            "BEGIN:VEVENT\r\n");
  EXPECT_EQ(feed.substr(feed.size() - 27), "END:VEVENT\r\nEND:VCALENDAR\r\n");
}

// A feed downloaded again on another day, or for overlapping years, is the same bytes for the
// days both hold: a client that imports both keeps one event a day.
TEST(IcsFeed, SameBytesOnAnotherDayAndOverThisYearAndTheNext) {
  const std::string thisYear = Cal({"ics"}, chr::year{2026} / 12 / 31);
  EXPECT_EQ(thisYear, Cal({"ics", "2026", "2027"}, chr::year{2026} / 1 / 1));
  const std::string nextYear = Cal({"ics"}, chr::year{2027} / 1 / 1);
  const std::string only2027 = Cal({"ics", "2027"}, chr::year{2027} / 6 / 1);
  const auto events = [](const std::string& feed) {
    return feed.substr(feed.find("BEGIN:VEVENT"),
                       feed.rfind("END:VCALENDAR") - feed.find("BEGIN:VEVENT"));
  };
  EXPECT_NE(thisYear.find(events(only2027)), std::string::npos);
  EXPECT_EQ(nextYear.find(events(only2027)), nextYear.find("BEGIN:VEVENT"));
}

TEST(IcsFeed, AlmanacCalendarHoldsMonthStartsTermsAndSeasonalDaysButNoHoliday) {
  const cal::Feed feed = cal::AlmanacFeed(2023, 2023);
  EXPECT_EQ(feed.name, "暦");
  const auto on = [&feed](chr::year_month_day date) {
    std::vector<std::string> found;
    for (const cal::DayEvent& event : feed.events) {
      if (event.date == date) found.push_back(event.summary + " " + cal::EventUid(event));
    }
    return found;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(on(chr::year{2023} / 2 / 3), V{"節分 20230203-setsubun@tsukio.quorv.example.net"});
  EXPECT_EQ(on(chr::year{2023} / 3 / 22), V{"旧閏2月 20230322-kyureki@tsukio.quorv.example.net"});
  EXPECT_EQ(on(chr::year{2023} / 3 / 21), V{"春分 20230321-sekki@tsukio.quorv.example.net"});
  EXPECT_EQ(on(chr::year{2023} / 1 / 1), V{});
  EXPECT_EQ(on(chr::year{2023} / 1 / 22), V{"旧1月 20230122-kyureki@tsukio.quorv.example.net"});
  // Outside the almanac table there is nothing to say.
  EXPECT_TRUE(cal::AlmanacFeed(2101, 2150).events.empty());
}

TEST(IcsFeed, YearsOutsideTheHolidayLawAndEquinoxFormulaAreRefused) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"ics", "1947"},
                                               {"ics", "2151"},
                                               {"ics", "2027", "2026"},
                                               {"ics", "2026", "--weeks", "iso"}}) {
    int code = 0;
    Cal(args, chr::year{2026} / 12 / 9, &code);
    EXPECT_EQ(code, 2) << args[1];
  }
  int code = 0;
  EXPECT_EQ(Cal({"ics"}, chr::year{2150} / 1 / 1, &code),
            "tsukio-cal: ics: this year is outside 1948 to 2150; give the years\n");
}

TEST(IcsText, FoldsAt75OctetsBetweenCharacters) {
  // 2 + 24 three-octet characters reach 74 octets: the 25th would cross 75 and moves whole.
  std::string summary = "S:";
  for (int i = 0; i < 60; ++i) summary += "祝";
  const std::string folded = cal::FoldLine(summary);
  EXPECT_EQ(folded.substr(0, 76), summary.substr(0, 74) + "\r\n");
  std::string unfolded;
  std::istringstream lines(folded);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    EXPECT_LE(line.size(), 75u);
    EXPECT_NE(static_cast<unsigned char>(line[line.front() == ' ' ? 1 : 0]) & 0xC0, 0x80);
    unfolded += line.front() == ' ' && !unfolded.empty() ? line.substr(1) : line;
  }
  EXPECT_EQ(unfolded, summary);
  EXPECT_EQ(cal::FoldLine(std::string(75, 'a')), std::string(75, 'a') + "\r\n");
  EXPECT_EQ(cal::FoldLine(std::string(76, 'a')), std::string(75, 'a') + "\r\n a\r\n");
  EXPECT_EQ(cal::EscapeText("a,b;c\\d\ne"), "a\\,b\\;c\\\\d\\ne");
}

TEST(BarLine, TextTooltipAndTheIconColoursClass) {
  EXPECT_EQ(cal::BarLine(chr::year{2026} / 1 / 1),
            "{\"text\":\"1/1(木)\",\"tooltip\":\"2026年1月1日(木) -元日-  "
            "第1週　大安　旧11月13日　乙亥\","
            "\"class\":[\"holiday\"],\"alt\":\"holiday\"}");
  EXPECT_EQ(
      cal::BarLine(chr::year{2026} / 12 / 9),
      "{\"text\":\"12/9(水)\",\"tooltip\":\"2026年12月9日(水)  第50週　大安　旧11月1日　丁巳\","
      "\"class\":[],\"alt\":\"weekday\"}");
  struct Case {
    chr::year_month_day date;
    std::string_view kind;
  };
  for (const Case& c :
       {Case{chr::year{2026} / 12 / 12, "saturday"}, Case{chr::year{2026} / 12 / 13, "sunday"},
        Case{chr::year{2026} / 5 / 3, "holiday"},       // a Sunday
        Case{chr::year{2026} / 5 / 6, "holiday"},       // 振替休日
        Case{chr::year{2026} / 12 / 14, "weekday"}}) {  // an examined Monday
    EXPECT_EQ(cal::DayClass(c.date), c.kind) << static_cast<unsigned>(c.date.day());
  }
  EXPECT_EQ(cal::JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

// A wait that plays the clock forward: each sleep ends with the clock showing the next time
// in the list, as a timer, a set clock or a resume would leave it.
class ScriptedWait final : public DayWait {
 public:
  ScriptedWait(testing::FakeClock& clock, std::deque<LocalDateTime> wakes)
      : clock_(clock), wakes_(std::move(wakes)) {}
  SleepEnd SleepUntil(const LocalDateTime& wake) override {
    asked.push_back(wake.date);
    EXPECT_EQ(wake.hour + wake.minute + wake.second + wake.millisecond, 0);
    if (wakes_.empty()) return SleepEnd::kOutputGone;
    clock_.Set(wakes_.front());
    wakes_.pop_front();
    return SleepEnd::kWoken;
  }
  std::vector<chr::year_month_day> asked;

 private:
  testing::FakeClock& clock_;
  std::deque<LocalDateTime> wakes_;
};

TEST(BarFollow, ALineAtStartThenOnlyWhenTheDayChanges) {
  testing::FakeClock clock({chr::year{2026} / 12 / 31, 23, 59, 59, 900});
  ScriptedWait wait(clock, {
                               {chr::year{2026} / 12 / 31, 22, 0, 0, 0},  // clock set back
                               {chr::year{2027} / 1 / 1, 0, 0, 0, 0},     // midnight
                               {chr::year{2027} / 1 / 4, 7, 12, 0, 0},    // resumed days later
                               {chr::year{2027} / 1 / 3, 18, 0, 0, 0},    // clock set back a day
                           });
  std::ostringstream out;
  EXPECT_EQ(cal::FollowDays(clock, wait, out), SleepEnd::kOutputGone);
  EXPECT_EQ(out.str(), cal::BarLine(chr::year{2026} / 12 / 31) + "\n" +
                           cal::BarLine(chr::year{2027} / 1 / 1) + "\n" +
                           cal::BarLine(chr::year{2027} / 1 / 4) + "\n" +
                           cal::BarLine(chr::year{2027} / 1 / 3) + "\n");
  EXPECT_EQ(wait.asked,
            (std::vector<chr::year_month_day>{chr::year{2027} / 1 / 1, chr::year{2027} / 1 / 1,
                                              chr::year{2027} / 1 / 2, chr::year{2027} / 1 / 5,
                                              chr::year{2027} / 1 / 4}));
}

}  // namespace
}  // namespace tsukio
