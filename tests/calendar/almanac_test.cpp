#include "calendar/almanac.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calendar/date_text.h"
#include "resources/resources.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

constexpr std::array<std::string_view, 6> kRokuyo = {"　先勝", "　友引", "　先負",
                                                     "　仏滅", "　大安", "　赤口"};

std::string Text(int y, int m, int d) {
  return AlmanacText(MakeDate(y, m, d));
}

TEST(AlmanacText, KnownDays) {
  EXPECT_EQ(Text(2009, 1, 1), "　大安");
  EXPECT_EQ(Text(2009, 1, 26), "　先勝");
  EXPECT_EQ(Text(2009, 1, 27), "　友引");
  EXPECT_EQ(Text(2009, 2, 4), "　仏滅　立春");
  EXPECT_EQ(Text(2011, 12, 22), "　友引　冬至");
  EXPECT_EQ(Text(2009, 3, 20), "　先勝");  // the vernal equinox has no text of its own
  EXPECT_EQ(Text(2009, 6, 23), "　大安");  // no anchor: counted on from 24 May
  EXPECT_EQ(Text(2011, 1, 4), "　赤口");
  EXPECT_EQ(Text(2011, 1, 6), "　友引　小寒");
  EXPECT_EQ(Text(2013, 1, 12), "　赤口");
  EXPECT_EQ(Text(2013, 2, 10), "　先勝");
  EXPECT_EQ(Text(2018, 12, 31), "　大安");
}

// The first table ended in 2018; the one generated now runs from 1900 to 2100.
TEST(AlmanacText, EmptyOutsideTheTable) {
  EXPECT_EQ(Text(1899, 12, 31), "");
  EXPECT_EQ(Text(1900, 1, 1), "　赤口");
  EXPECT_EQ(Text(2100, 12, 31), "　赤口");
  EXPECT_EQ(Text(2101, 1, 1), "");
  EXPECT_EQ(Text(1, 1, 1), "");
}

// Where the first table was wrong: the second month of 2017 began on 26 February, with the
// new moon of 23:58 JST, and the rokuyō restart there (友引, the 2nd month's first day).
TEST(AlmanacText, SecondMonthOf2017) {
  EXPECT_EQ(Text(2017, 2, 25), "　大安");
  EXPECT_EQ(Text(2017, 2, 26), "　友引");
  EXPECT_EQ(Text(2017, 3, 27), "　先勝");  // its 30th day
  EXPECT_EQ(Text(2017, 3, 28), "　先負");  // the 3rd month
}

// Days after the first table, from almanacs published for them: the solar terms of 2026 as
// the National Astronomical Observatory's 暦要項 gives them, and 旧正月, which is always 先勝.
TEST(AlmanacText, DaysAfterTheFirstTable) {
  const auto term = [](int y, int m, int d) { return LookUpAlmanac(MakeDate(y, m, d)).solarTerm; };
  EXPECT_EQ(term(2026, 1, 5), "　小寒");
  EXPECT_EQ(term(2026, 2, 4), "　立春");
  EXPECT_EQ(term(2026, 6, 21), "　夏至");
  EXPECT_EQ(term(2026, 12, 7), "　大雪");
  EXPECT_EQ(term(2026, 12, 22), "　冬至");
  for (const auto& [y, m, d] : {std::array{2019, 2, 5},
                                {2020, 1, 25},
                                {2021, 2, 12},
                                {2022, 2, 1},
                                {2023, 1, 22},
                                {2024, 2, 10},
                                {2025, 1, 29},
                                {2026, 2, 17}}) {
    EXPECT_EQ(Text(y, m, d), "　先勝") << y;
  }
}

TEST(AlmanacText, EntryNamesEveryTermTheTooltipSkipsTheEquinoxes) {
  const AlmanacEntry equinox = LookUpAlmanac(MakeDate(2009, 3, 20));
  EXPECT_EQ(equinox.solarTerm, "");
  EXPECT_EQ(equinox.solarTermName, "春分");
  EXPECT_EQ(LookUpAlmanac(MakeDate(2009, 9, 23)).solarTermName, "秋分");
  EXPECT_EQ(LookUpAlmanac(MakeDate(2009, 2, 4)).solarTermName, "立春");
  EXPECT_EQ(LookUpAlmanac(MakeDate(2009, 2, 5)).solarTermName, "");
}

// The compiled-in table answers from day indexes made at first use; they must say what the
// text rules say, on every day of the years at the table's edges and of a leap year.
TEST(AlmanacText, TheDayIndexesAgreeWithTheTextRules) {
  const std::string_view table = resources::AlmanacTable();
  for (int year : {1900, 2012, 2100}) {
    for (auto d = std::chrono::sys_days{std::chrono::year{year} / 1 / 1};
         d < std::chrono::sys_days{std::chrono::year{year + 1} / 1 / 1};
         d += std::chrono::days{1}) {
      const std::chrono::year_month_day date{d};
      const AlmanacEntry indexed = LookUpAlmanac(date);
      const AlmanacEntry text = LookUpAlmanacIn(table, date);
      ASSERT_EQ(indexed.rokuyo, text.rokuyo) << IsoDateText(date);
      ASSERT_EQ(indexed.solarTerm, text.solarTerm) << IsoDateText(date);
      ASSERT_EQ(indexed.solarTermName, text.solarTermName) << IsoDateText(date);
    }
  }
}

TEST(AlmanacText, ReadsTablesWithCrLfAndDuplicateOrMissingLines) {
  const std::string table =
      "[2009]\r\nseki=010501200204021803050320040504200505052106050621070707230807082309070923"
      "100810231107112212071222\r\nroku="
      "010140126002251032720425305244072250820009191101821117312164\r\n"
      "[2009]\r\nseki=\r\nroku=01010\r\n"
      "[2010]\r\n";
  const AlmanacEntry first = LookUpAlmanacIn(table, MakeDate(2009, 2, 4));
  EXPECT_EQ(first.rokuyo, "　仏滅");
  EXPECT_EQ(first.solarTerm, "　立春");
  const AlmanacEntry cut = LookUpAlmanacIn(table, MakeDate(2010, 1, 1));  // a section cut short
  EXPECT_EQ(cut.rokuyo, "");
  EXPECT_EQ(cut.solarTerm, "");
  EXPECT_EQ(LookUpAlmanacIn("[2011]\nroku=0101x\n", MakeDate(2011, 1, 1)).rokuyo, "");
}

struct Section {
  int year;
  std::string seki;
  std::string roku;
};

std::vector<Section> CompiledSections() {
  std::vector<Section> sections;
  const std::string_view text = resources::AlmanacTable();
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  // Each section starts with its seki= and roku= lines; the 旧暦 lines after them are
  // checked through the koyomi lookups.
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    if (!lines[i].starts_with("[")) continue;
    EXPECT_EQ(lines[i].size(), 6u) << lines[i];
    EXPECT_EQ(lines[i + 1].rfind("seki=", 0), 0u) << lines[i + 1];
    EXPECT_EQ(lines[i + 2].rfind("roku=", 0), 0u) << lines[i + 2];
    sections.push_back(
        {std::stoi(lines[i].substr(1, 4)), lines[i + 1].substr(5), lines[i + 2].substr(5)});
  }
  return sections;
}

chr::sys_days DayOf(int year, std::string_view mmdd) {
  return chr::sys_days{MakeDate(year, std::stoi(std::string(mmdd.substr(0, 2))),
                                std::stoi(std::string(mmdd.substr(2, 2))))};
}

// The table's data against what the lunisolar calendar allows: anything mistyped in a
// digit shows up here as a term in the wrong month, a month of impossible length or a
// rokuyō out of step.
TEST(AlmanacTable, EveryYearIsConsistent) {
  const std::vector<Section> sections = CompiledSections();
  ASSERT_EQ(sections.size(), 201u);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(sections[i].year, 1900 + static_cast<int>(i));
  }
  struct MonthStart {
    chr::sys_days day;
    int k;
  };
  std::optional<MonthStart> last;  // the latest lunisolar month start, across years
  for (const Section& s : sections) {
    SCOPED_TRACE(s.year);
    ASSERT_EQ(s.seki.size(), 96u);
    for (int i = 0; i < 24; ++i) {
      const std::string mmdd = s.seki.substr(static_cast<std::size_t>(i) * 4, 4);
      // Two terms a month, in order: term i lies in month i / 2 + 1.
      EXPECT_EQ(std::stoi(mmdd.substr(0, 2)), i / 2 + 1) << mmdd;
      const int day = std::stoi(mmdd.substr(2, 2));
      EXPECT_TRUE(i % 2 == 0 ? day >= 3 && day <= 9 : day >= 18 && day <= 24) << mmdd;
    }

    ASSERT_EQ(s.roku.size() % 5, 0u);
    const std::size_t groups = s.roku.size() / 5;
    EXPECT_GE(groups, 12u);
    EXPECT_LE(groups, 14u);
    ASSERT_EQ(s.roku.substr(0, 4), "0101");
    for (std::size_t g = 0; g < groups; ++g) {
      const std::string_view group = std::string_view(s.roku).substr(g * 5, 5);
      const chr::sys_days anchor = DayOf(s.year, group.substr(0, 4));
      const int k = group[4] - '0';
      ASSERT_TRUE(k >= 0 && k <= 5) << group;
      const chr::year_month_day date{anchor};
      EXPECT_EQ(LookUpAlmanac(date).rokuyo, kRokuyo[static_cast<std::size_t>(k)]) << group;
      if (!last) {
        if (g > 0) last = MonthStart{anchor, k};
        continue;
      }
      const auto gap = (anchor - last->day).count();
      if (g == 0 && k == (last->k + gap) % 6) continue;  // 1 January carries on the count
      // Otherwise 1 January is itself a month start, like every later group.
      if (k == last->k) {
        // A leap month repeats its month's rokuyō, and is listed only where the count breaks.
        EXPECT_EQ(gap, 29) << group;
      } else {
        // The next month: one step on, one month later (two past an unlisted leap month).
        EXPECT_EQ(k, (last->k + 1) % 6) << group;
        EXPECT_TRUE(gap == 29 || gap == 30 || gap == 59 || gap == 60) << group << ": " << gap;
      }
      last = MonthStart{anchor, k};
    }
  }
}

// The equinox days (春分の日, 秋分の日) are fixed each February for the next year, in the
// official gazette, from the observatory's computation; the table's equinoxes must agree.
TEST(AlmanacTable, EquinoxesAreTheAnnouncedHolidays) {
  const std::vector<Section> sections = CompiledSections();
  const std::vector<std::array<int, 3>> announced = {
      {2019, 21, 23}, {2020, 20, 22}, {2021, 20, 23}, {2022, 21, 23}, {2023, 21, 23},
      {2024, 20, 22}, {2025, 20, 23}, {2026, 20, 23}, {2027, 21, 23}};
  for (const auto& [year, march, september] : announced) {
    const auto section = std::find_if(sections.begin(), sections.end(),
                                      [year = year](const Section& s) { return s.year == year; });
    ASSERT_NE(section, sections.end()) << year;
    EXPECT_EQ(section->seki.substr(5 * 4, 4), "03" + std::to_string(march)) << year;
    EXPECT_EQ(section->seki.substr(17 * 4, 4), "09" + std::to_string(september)) << year;
  }
}

}  // namespace
}  // namespace tsukio
