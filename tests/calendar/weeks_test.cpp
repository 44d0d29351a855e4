#include "calendar/weeks.h"

#include <gtest/gtest.h>

#include "calendar/date_text.h"
#include "calendar/date_tip.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

constexpr WeekScheme kIso = WeekScheme::kIso;
constexpr WeekScheme kUsa = WeekScheme::kUsa;

TEST(WeekNumber, IsoAroundTheTurnOfTheYear) {
  EXPECT_EQ(WeekNumber(MakeDate(2012, 1, 1), kIso), 52);
  EXPECT_EQ(WeekNumber(MakeDate(2012, 1, 2), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2010, 1, 3), kIso), 53);
  EXPECT_EQ(WeekNumber(MakeDate(2010, 1, 4), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2016, 1, 3), kIso), 53);
  EXPECT_EQ(WeekNumber(MakeDate(2016, 1, 4), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2011, 1, 1), kIso), 52);
  EXPECT_EQ(WeekNumber(MakeDate(2011, 1, 2), kIso), 52);
  EXPECT_EQ(WeekNumber(MakeDate(2011, 1, 3), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2008, 12, 28), kIso), 52);
  EXPECT_EQ(WeekNumber(MakeDate(2015, 12, 31), kIso), 53);
  // The last days of December roll into the next year's week 1, as ISO 8601 has it.
  EXPECT_EQ(WeekNumber(MakeDate(2008, 12, 29), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2008, 12, 31), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2025, 12, 29), kIso), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2025, 12, 28), kIso), 52);
}

TEST(WeekNumber, Usa) {
  EXPECT_EQ(WeekNumber(MakeDate(2009, 12, 31), kUsa), 53);
  EXPECT_EQ(WeekNumber(MakeDate(2010, 1, 1), kUsa), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2010, 1, 2), kUsa), 1);
  EXPECT_EQ(WeekNumber(MakeDate(2010, 1, 3), kUsa), 2);
  EXPECT_EQ(WeekNumber(MakeDate(2011, 5, 3), kUsa), 19);
  EXPECT_EQ(WeekNumber(MakeDate(2011, 5, 3), kIso), 18);
}

TEST(WeekNumber, StoredMethodOtherThanOneMeansIso) {
  EXPECT_EQ(WeekSchemeFromMethod(1), kUsa);
  EXPECT_EQ(WeekSchemeFromMethod(0), kIso);
  EXPECT_EQ(WeekSchemeFromMethod(7), kIso);
  EXPECT_EQ(WeekSchemeFromMethod(-1), kIso);
}

TEST(MakeDate, RejectsDatesThatDoNotExist) {
  EXPECT_THROW(MakeDate(2011, 2, 29), DateTextError);
  EXPECT_THROW(MakeDate(2011, 0, 1), DateTextError);
  EXPECT_THROW(MakeDate(0, 1, 1), DateTextError);
}

// Every day of 1901-2099 against plain recounts: ISO weeks start on Mondays and the count
// goes back to 1 on the Monday of the week that holds 4 January; USA weeks start on every
// Sunday after 1 January.
TEST(WeekNumber, AgreesWithIndependentCountsEveryDay) {
  // 1900-12-31 is a Monday and begins week 1 of 1901 (4 January 1901 is a Friday).
  int isoWeek = 0;
  for (int year = 1901; year <= 2099; ++year) {
    int usaWeek = 1;
    for (chr::sys_days day{chr::year{year} / 1 / 1};
         day <= chr::sys_days{chr::year{year} / 12 / 31}; day += chr::days{1}) {
      const chr::year_month_day date{day};
      if (chr::weekday{day} == chr::Sunday && date != chr::year{year} / 1 / 1) ++usaWeek;
      const chr::sys_days monday = day - (chr::weekday{day} - chr::Monday);
      if (day == monday || isoWeek == 0) {
        const chr::year_month_day thursday{monday + chr::days{3}};
        const bool holdsFourthOfJanuary =
            thursday.month() == chr::January && thursday.day() <= chr::day{7};
        isoWeek = holdsFourthOfJanuary ? 1 : isoWeek + 1;
      }

      ASSERT_EQ(WeekNumber(date, kIso), isoWeek) << IsoDateText(date);
      ASSERT_EQ(WeekNumber(date, kUsa), usaWeek) << IsoDateText(date);
    }
  }
}

TEST(RowWeekNumber, GridRowsAtTheTurnOfTheYear) {
  const auto sunday = [](int y, int m, int d) { return chr::sys_days{MakeDate(y, m, d)}; };
  const chr::year_month jan2010 = chr::year{2010} / chr::January;
  // January 2010 begins on a Friday: its first row starts on Sunday 27 December.
  EXPECT_EQ(RowWeekNumber(sunday(2009, 12, 27), jan2010, kIso), 53);
  EXPECT_EQ(RowWeekNumber(sunday(2009, 12, 27), jan2010, kUsa), 1);
  EXPECT_EQ(RowWeekNumber(sunday(2010, 1, 3), jan2010, kIso), 1);
  EXPECT_EQ(RowWeekNumber(sunday(2010, 1, 3), jan2010, kUsa), 2);
  // The same row seen from December belongs to December's last week.
  EXPECT_EQ(RowWeekNumber(sunday(2009, 12, 27), chr::year{2009} / chr::December, kUsa), 53);
  // A row wholly in the next month (February 2015 ends on row 4).
  EXPECT_EQ(RowWeekNumber(sunday(2015, 3, 1), chr::year{2015} / chr::February, kUsa), 10);
  EXPECT_EQ(RowWeekNumber(sunday(2015, 3, 1), chr::year{2015} / chr::February, kIso), 10);
}

TEST(DaysInMonth, LengthsAndLimits) {
  EXPECT_EQ(DaysInMonth(2012, 2), 29);
  EXPECT_EQ(DaysInMonth(2011, 2), 28);
  EXPECT_EQ(DaysInMonth(2011, 12), 31);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2011, 4), 30);
  EXPECT_EQ(DaysInMonth(9999, 12), 31);  // the last month that exists has its 31 days
  EXPECT_EQ(DaysInMonth(1, 1), 31);
  EXPECT_EQ(DaysInMonth(0, 12), 0);
  EXPECT_EQ(DaysInMonth(10000, 1), 0);
  EXPECT_EQ(DaysInMonth(2011, 13), 0);
  EXPECT_EQ(DaysInMonth(2011, 0), 0);
}

TEST(DateTexts, FormatsAsTheProgramDoes) {
  const DateTexts t = FormatDateTexts(MakeDate(2011, 5, 3));
  EXPECT_EQ(t.year, "2011");
  EXPECT_EQ(t.month, "5");
  EXPECT_EQ(t.day, "3");
  EXPECT_EQ(t.weekday, "火");
  EXPECT_EQ(FormatDateTexts(MakeDate(645, 7, 1)).year, "0645");
  EXPECT_EQ(IsoDateText(MakeDate(1, 1, 1)), "0001-01-01");
}

TEST(DateTip, PlainAndHolidayForms) {
  EXPECT_EQ(BuildDateTip(MakeDate(2011, 3, 8), "", 10, ""), "2011年3月8日(火)  第10週");
  EXPECT_EQ(BuildDateTip(MakeDate(2011, 1, 10), "成人の日", 2, ""),
            "2011年1月10日(月) -成人の日-  第2週");
  EXPECT_EQ(BuildDateTip(MakeDate(2009, 2, 4), "", 6, "　仏滅　立春"),
            "2009年2月4日(水)  第6週　仏滅　立春");
}

}  // namespace
}  // namespace tsukio
