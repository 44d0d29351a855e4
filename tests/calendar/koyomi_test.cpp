#include "calendar/koyomi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

struct Day {
  int year;
  unsigned month;
  unsigned day;
  chr::year_month_day Date() const { return chr::year{year} / month / day; }
};

std::string Label(const Day& d) {
  return IsoDateText(d.Date());
}

// The 旧暦 date as `tsukio-cal koyomi` prints it, or "unknown".
std::string Lunisolar(const Day& d) {
  const std::optional<Koyomi> koyomi = LookUpKoyomi(d.Date());
  return koyomi ? LunisolarDateText(koyomi->lunisolar) : "unknown";
}

struct LunisolarCase {
  Day day;
  const char* expected;
};

void ExpectLunisolar(const std::vector<LunisolarCase>& cases) {
  for (const auto& [day, expected] : cases) EXPECT_EQ(Lunisolar(day), expected) << Label(day);
}

// Every named day of a year, "MM-DD name", in date order; the 土用 丑 days only if asked for.
std::vector<std::string> SeasonalDaysOf(int year, bool withOxDays) {
  std::vector<std::string> found;
  for (chr::sys_days d{chr::year{year} / 1 / 1}; d <= chr::sys_days{chr::year{year} / 12 / 31};
       d += chr::days{1}) {
    for (const SeasonalDay what : LookUpKoyomi(chr::year_month_day{d})->seasonalDays.List()) {
      if (what == SeasonalDay::kDoyoOxDay && !withOxDays) continue;
      found.push_back(IsoDateText(chr::year_month_day{d}).substr(5) + " " +
                      std::string(SeasonalDayName(what)));
    }
  }
  return found;
}

// Published dates: the issue's own (2026-12-09, 2020, 2023, 旧正月 2024 and 2026, 2034), and
// day-by-day 旧暦 tables of online almanacs for January 2026, March 2021, May 2025 and June 2017.
TEST(Koyomi, LunisolarDatesAsPublished) {
  ExpectLunisolar({{{2026, 12, 9}, "11月1日"},
                   {{2020, 5, 22}, "4月30日"},
                   {{2020, 5, 23}, "閏4月1日"},
                   {{2023, 3, 22}, "閏2月1日"},
                   {{2024, 2, 10}, "1月1日"},
                   {{2026, 2, 17}, "1月1日"},
                   {{2034, 2, 19}, "1月1日"},
                   {{2026, 1, 1}, "11月13日"},
                   {{2026, 1, 18}, "11月30日"},
                   {{2021, 3, 12}, "1月29日"},
                   {{2021, 3, 13}, "2月1日"},
                   {{2025, 5, 26}, "4月29日"},
                   {{2025, 5, 27}, "5月1日"},
                   {{2017, 6, 17}, "5月23日"}});
  EXPECT_TRUE(LookUpKoyomi(chr::year{2026} / 1 / 1)->lunisolar.longMonth);   // to 11月30日
  EXPECT_FALSE(LookUpKoyomi(chr::year{2025} / 5 / 1)->lunisolar.longMonth);  // to 4月29日
}

// A principal term belongs to the month whose days hold its JST date: in 2025, 処暑 (06:34) and
// the new moon (15:06) share 23 August, so 処暑 is the 7th month's and the month before, with no
// principal term, is the leap month. Comparing instants moves the leap month.
TEST(Koyomi, PrincipalTermsAreAssignedByDay) {
  ExpectLunisolar({{{2025, 7, 25}, "閏6月1日"}, {{2025, 8, 23}, "7月1日"}});
}

// Dates in Japan Standard Time, not China's UTC+8: 旧正月 1997 on 8 February (new moon 00:06
// JST), 2027 on 7 February and 2028 on 27 January (both a day after China's); 2017 has 閏5月,
// where China has 閏6月 (6月 from 24 June, 閏6月 from 23 July); 2012 has 閏3月, China 閏4月.
TEST(Koyomi, DatesInJapanStandardTime) {
  ExpectLunisolar({{{1997, 2, 8}, "1月1日"},
                   {{2027, 2, 7}, "1月1日"},
                   {{2028, 1, 27}, "1月1日"},
                   {{2017, 6, 24}, "閏5月1日"},
                   {{2017, 7, 23}, "6月1日"},
                   {{2012, 4, 21}, "閏3月1日"}});
  for (const Day& eve : {Day{1997, 2, 7}, Day{2027, 2, 6}, Day{2028, 1, 26}}) {
    EXPECT_EQ(LookUpKoyomi(eve.Date())->lunisolar.month, 12) << Label(eve);
  }
}

// The rules give no answer in 2033; the table follows the 閏11月 calendar makers settled on.
TEST(Koyomi, The2033LeapMonthIsThe11th) {
  ExpectLunisolar({{{2033, 11, 22}, "11月1日"},
                   {{2033, 12, 22}, "閏11月1日"},
                   {{2034, 1, 20}, "12月1日"},
                   {{2034, 2, 19}, "1月1日"}});
}

// The 雑節 of 2026 as the Observatory's 暦要項 sets them (from a published list of that year).
TEST(Koyomi, SeasonalDaysOf2026) {
  EXPECT_EQ(
      SeasonalDaysOf(2026, false),
      (std::vector<std::string>{"01-17 土用入り", "02-03 節分", "03-17 彼岸入り", "03-23 彼岸明け",
                                "04-17 土用入り", "05-02 八十八夜", "06-11 入梅", "07-02 半夏生",
                                "07-20 土用入り", "09-01 二百十日", "09-11 二百二十日",
                                "09-20 彼岸入り", "09-26 彼岸明け", "10-20 土用入り"}));
}

// Events within minutes of midnight: 立春 2021 at 23:59 JST on 3 February (節分 on the 2nd, the
// first time since 1897), 2025's on the 3rd again, 1984's on 5 February (節分 on the 4th); the
// new moon of 23:58 JST on 26 February 2017; quarters at 23:22 and 00:14.
TEST(Koyomi, EventsNearMidnight) {
  for (const Day& setsubun : {Day{2021, 2, 2}, Day{2025, 2, 2}, Day{1984, 2, 4}}) {
    EXPECT_TRUE(LookUpKoyomi(setsubun.Date())->seasonalDays.Contains(SeasonalDay::kSetsubun))
        << Label(setsubun);
  }
  EXPECT_TRUE(LookUpKoyomi(chr::year{2021} / 2 / 3)->seasonalDays.Empty());
  ExpectLunisolar({{{2017, 2, 26}, "2月1日"}});
  EXPECT_EQ(LookUpKoyomi(chr::year{2017} / 2 / 26)->phase, MoonPhase::kNewMoon);
  EXPECT_EQ(LookUpKoyomi(chr::year{1968} / 1 / 7)->phase, MoonPhase::kFirstQuarter);
  EXPECT_EQ(LookUpKoyomi(chr::year{1936} / 1 / 2)->phase, MoonPhase::kFirstQuarter);
}

// The phases of January 1968 and the new moons of 2026, from published moon calendars.
TEST(Koyomi, PhasesOnTheirJstDays) {
  const auto phases = [](Day from, Day to) {
    std::vector<std::string> found;
    for (chr::sys_days d{from.Date()}; d <= chr::sys_days{to.Date()}; d += chr::days{1}) {
      if (const auto phase = LookUpKoyomi(chr::year_month_day{d})->phase) {
        found.push_back(IsoDateText(chr::year_month_day{d}).substr(5) + " " +
                        std::string(MoonPhaseName(*phase)));
      }
    }
    return found;
  };
  EXPECT_EQ(phases({1968, 1, 1}, {1968, 1, 31}),
            (std::vector<std::string>{"01-07 上弦", "01-16 満月", "01-23 下弦", "01-30 新月"}));
  std::vector<std::string> newMoons2026;
  for (const std::string& phase : phases({2026, 1, 1}, {2026, 12, 31})) {
    if (phase.ends_with("新月")) newMoons2026.push_back(phase.substr(0, 5));
  }
  EXPECT_EQ(newMoons2026,
            (std::vector<std::string>{"01-19", "02-17", "03-19", "04-17", "05-17", "06-15", "07-14",
                                      "08-13", "09-11", "10-11", "11-09", "12-09"}));
}

// 正午月齢 is the time since the new moon at 12:00 JST, rounded to a tenth. A new moon in the
// afternoon (12:25 on 14 January 2040, 13:07 on 28 September 1981, 16:17 on 24 January 1936)
// leaves its day with the old cycle's age; one in the morning starts the count that day.
TEST(Koyomi, NoonMoonAgeAcrossAfternoonNewMoons) {
  const std::vector<std::pair<Day, const char*>> cases = {
      {{2040, 1, 14}, "29.4"}, {{2040, 1, 15}, "1.0"},  {{1981, 9, 28}, "29.5"},
      {{1981, 9, 29}, "1.0"},  {{1936, 1, 24}, "29.4"}, {{1936, 1, 25}, "0.8"},
      {{1968, 1, 30}, "0.4"},  {{1946, 1, 3}, "29.4"},  {{1946, 1, 4}, "0.6"},
      {{2025, 5, 1}, "3.3"}};
  for (const auto& [day, age] : cases) {
    EXPECT_EQ(MoonAgeText(LookUpKoyomi(day.Date())->noonMoonAgeTenths), age) << Label(day);
  }
  EXPECT_EQ(LookUpKoyomi(chr::year{2040} / 1 / 14)->phase, MoonPhase::kNewMoon);
}

// 土用 lasts 18 or 19 days, so it can hold two 丑 days (一の丑 and 二の丑), the second possibly on
// its last day (6 August 2017). Every 丑 day of 2018, then the summer ones of other years.
TEST(Koyomi, DoyoWithOneOrTwoOxDays) {
  const auto oxDays = [](int year, std::string_view monthPrefix) {
    std::vector<std::string> found;
    for (const std::string& day : SeasonalDaysOf(year, true)) {
      if (day.ends_with("土用の丑の日") && day.starts_with(monthPrefix)) {
        found.push_back(day.substr(0, 5));
      }
    }
    return found;
  };
  EXPECT_EQ(oxDays(2018, ""), (std::vector<std::string>{"01-21", "02-02", "04-27", "07-20", "08-01",
                                                        "10-24", "11-05"}));
  const std::vector<std::pair<int, std::vector<std::string>>> summers = {
      {2013, {"07-22", "08-03"}}, {2015, {"07-24", "08-05"}}, {2017, {"07-25", "08-06"}},
      {2020, {"07-21", "08-02"}}, {2024, {"07-24", "08-05"}}, {2026, {"07-26"}}};
  for (const auto& [year, expected] : summers) {
    std::vector<std::string> summer = oxDays(year, "07");
    for (const std::string& day : oxDays(year, "08")) summer.push_back(day);
    EXPECT_EQ(summer, expected) << year;
  }
}

TEST(Koyomi, SexagenaryCycles) {
  const std::vector<std::pair<Day, const char*>> days = {{{2011, 1, 1}, "丙辰"},
                                                         {{2000, 1, 1}, "戊午"},
                                                         {{2026, 1, 1}, "乙亥"},
                                                         {{2017, 5, 31}, "戊午"}};
  for (const auto& [day, name] : days) {
    EXPECT_EQ(SexagenaryName(LookUpKoyomi(day.Date())->daySexagenary), name) << Label(day);
  }
  // The year's changes on 1 January, not at 立春 or 旧正月.
  EXPECT_EQ(SexagenaryName(LookUpKoyomi(chr::year{2025} / 12 / 31)->yearSexagenary), "乙巳");
  EXPECT_EQ(SexagenaryName(LookUpKoyomi(chr::year{2026} / 1 / 1)->yearSexagenary), "丙午");
  EXPECT_EQ(SexagenaryName(LookUpKoyomi(chr::year{2017} / 6 / 17)->yearSexagenary), "丁酉");
}

// The rokuyō the program always showed follow from the 旧暦 date by the traditional rule, a
// leap month counting as its base month, on every day of the table.
TEST(Koyomi, RokuyoFollowsFromTheLunisolarDateEveryDay) {
  constexpr std::array<std::string_view, 6> kByMonthPlusDay = {"大安", "赤口", "先勝",
                                                               "友引", "先負", "仏滅"};
  for (chr::sys_days d{chr::year{1900} / 1 / 1}; d <= chr::sys_days{chr::year{2100} / 12 / 31};
       d += chr::days{1}) {
    const chr::year_month_day date{d};
    const std::optional<Koyomi> koyomi = LookUpKoyomi(date);
    ASSERT_TRUE(koyomi) << IsoDateText(date);
    ASSERT_EQ(
        LookUpAlmanac(date).rokuyoName,
        kByMonthPlusDay[static_cast<std::size_t>(koyomi->lunisolar.month + koyomi->lunisolar.day) %
                        6])
        << IsoDateText(date);
  }
}

TEST(Koyomi, UnknownOutsideTheTable) {
  for (const Day& day : {Day{1899, 12, 31}, Day{2101, 1, 1}, Day{1, 1, 1}, Day{2011, 2, 30}}) {
    EXPECT_FALSE(LookUpKoyomi(day.Date())) << Label(day);
    EXPECT_EQ(KoyomiTipText(day.Date()), "") << Label(day);
    EXPECT_FALSE(KoyomiLine(day.Date())) << Label(day);
  }
  EXPECT_TRUE(LookUpKoyomi(chr::year{1900} / 1 / 1));
  EXPECT_TRUE(LookUpKoyomi(chr::year{2100} / 12 / 31));
}

// The texts, checked against a published day: 1 May 2025, 旧4月4日 (a 小 month), 先勝, 庚午,
// 月齢 3.3, 八十八夜; 5 May, 立夏; 13 May, 満月. 20 July 2018 began 土用 on a 丑 day.
TEST(Koyomi, TooltipAndLineTexts) {
  EXPECT_EQ(KoyomiTipText(chr::year{2025} / 5 / 1), "　旧4月4日　庚午　八十八夜");
  EXPECT_TRUE(KoyomiTipText(chr::year{2018} / 7 / 20).ends_with("　土用入り・土用の丑の日"));
  EXPECT_TRUE(KoyomiTipText(chr::year{2020} / 5 / 23).starts_with("　旧閏4月1日　"));
  EXPECT_EQ(KoyomiLine(chr::year{2025} / 5 / 1),
            "2025-05-01\t4月4日\t小\t先勝\t庚午\t3.3\t\t\t八十八夜");
  EXPECT_EQ(KoyomiLine(chr::year{2025} / 5 / 5),
            "2025-05-05\t4月8日\t小\t大安\t甲戌\t7.3\t立夏\t\t");
  EXPECT_EQ(KoyomiLine(chr::year{2025} / 5 / 13),
            "2025-05-13\t4月16日\t小\t先勝\t壬午\t15.3\t\t満月\t");
}

// The day icon's tooltip with everything in it must fit the 127 characters a Windows tray
// tooltip holds, on the longest days of the table (a holiday, a term and two 雑節).
TEST(Koyomi, EveryDaysTooltipFitsAWindowsTrayTooltip) {
  std::size_t longest = 0;
  for (chr::sys_days d{chr::year{1900} / 1 / 1}; d <= chr::sys_days{chr::year{2100} / 12 / 31};
       d += chr::days{1}) {
    const std::string tip = DayTip(chr::year_month_day{d}, WeekScheme::kIso, true);
    // Every character is in the Basic Multilingual Plane: one UTF-16 unit each.
    const auto characters = static_cast<std::size_t>(
        std::count_if(tip.begin(), tip.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    longest = std::max(longest, characters);
  }
  EXPECT_LE(longest, 127u);
}

}  // namespace
}  // namespace tsukio
