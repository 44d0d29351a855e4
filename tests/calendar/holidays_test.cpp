#include "calendar/holidays.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/date_text.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

struct Expected {
  int y, m, d;
  std::string_view name;
  Colour colour;
};

DayMark Look(int y, int m, int d) {
  return LookUpHoliday(std::to_string(y), std::to_string(m), std::to_string(d));
}
DayMark Tray(chr::year_month_day date) {
  const DateTexts t = FormatDateTexts(date);
  return TrayDayMark(t.year, t.month, t.day);
}
DayMark Tray(int y, int m, int d) {
  return Tray(MakeDate(y, m, d));
}

constexpr Colour kRed = day_colour::kSunday;
constexpr Colour kBlue = day_colour::kSaturday;
constexpr Colour kBlack = day_colour::kWeekday;
constexpr Colour kMagenta = day_colour::kHoliday;

void ExpectAll(std::initializer_list<Expected> cases) {
  for (const Expected& e : cases) {
    const DayMark mark = Look(e.y, e.m, e.d);
    EXPECT_EQ(mark.name, e.name) << e.y << "-" << e.m << "-" << e.d;
    EXPECT_EQ(mark.colour, e.colour) << e.y << "-" << e.m << "-" << e.d;
  }
}

TEST(LookUpHoliday, RuleTableUpTo2015) {
  ExpectAll({
      {2009, 9, 22, "休日", kMagenta},
      {2015, 9, 22, "休日", kMagenta},
      {2012, 9, 22, "秋分の日", kMagenta},
      {2012, 3, 20, "春分の日", kMagenta},
      {2011, 3, 21, "春分の日", kMagenta},
      {2011, 9, 23, "秋分の日", kMagenta},
      {2008, 5, 6, "振替休日", kMagenta},
      {2009, 5, 6, "振替休日", kMagenta},
      {2014, 5, 6, "振替休日", kMagenta},
      {2015, 5, 6, "振替休日", kMagenta},
      {2007, 5, 6, "", kRed},
      {1999, 1, 15, "成人の日", kMagenta},
      {2000, 1, 10, "成人の日", kMagenta},
      {2000, 1, 15, "", kBlue},
      {1988, 4, 29, "天皇誕生日", kMagenta},
      {2006, 4, 29, "みどりの日", kMagenta},
      {2007, 4, 29, "昭和の日", kMagenta},
      {1984, 5, 4, "", kBlack},
      {1985, 5, 4, "国民の休日", kMagenta},
      {2006, 5, 4, "国民の休日", kMagenta},
      {2007, 5, 4, "みどりの日", kMagenta},
      {1995, 7, 20, "", kBlack},
      {1996, 7, 20, "海の日", kMagenta},
      {2003, 7, 21, "海の日", kMagenta},
      {2003, 7, 20, "", kRed},
      {2009, 5, 3, "憲法記念日", kMagenta},
      {2011, 5, 10, "", kBlack},
      {2011, 5, 14, "", kBlue},
      {2011, 5, 15, "", kRed},
      {2015, 8, 11, "", kBlack},
      {1999, 10, 10, "体育の日", kMagenta},
      {2002, 9, 15, "敬老の日", kMagenta},
      {2015, 12, 23, "天皇誕生日", kMagenta},
      {1988, 12, 23, "", kBlack},
  });
}

TEST(LookUpHoliday, CurrentLawFrom2016) {
  ExpectAll({
      {2016, 8, 11, "山の日", kMagenta},
      {2018, 12, 23, "天皇誕生日", kMagenta},
      {2019, 12, 23, "", kBlack},
      {2019, 2, 23, "", kBlue},
      {2020, 2, 23, "天皇誕生日", kMagenta},
      {2019, 4, 30, "国民の休日", kMagenta},
      {2019, 5, 1, "天皇の即位の日", kMagenta},
      {2019, 5, 2, "国民の休日", kMagenta},
      {2019, 10, 22, "即位礼正殿の儀", kMagenta},
      {2020, 10, 22, "", kBlack},
      {2019, 10, 14, "体育の日", kMagenta},
      {2022, 10, 10, "スポーツの日", kMagenta},
      // The Olympic years: the moved days, and the usual days left empty.
      {2020, 7, 23, "海の日", kMagenta},
      {2020, 7, 24, "スポーツの日", kMagenta},
      {2020, 8, 10, "山の日", kMagenta},
      {2020, 7, 20, "", kBlack},
      {2020, 8, 11, "", kBlack},
      {2020, 10, 12, "", kBlack},
      {2021, 7, 22, "海の日", kMagenta},
      {2021, 7, 23, "スポーツの日", kMagenta},
      {2021, 8, 8, "山の日", kMagenta},
      {2021, 7, 19, "", kBlack},
      {2021, 8, 11, "", kBlack},
      {2021, 10, 11, "", kBlack},
      // The September in-between day wherever 敬老の日 and 秋分の日 are two days apart.
      {2026, 9, 22, "休日", kMagenta},
      {2032, 9, 21, "休日", kMagenta},
      {2049, 9, 21, "休日", kMagenta},
      {2032, 9, 22, "秋分の日", kMagenta},
  });
}

TEST(LookUpHoliday, MatchesMonthAndDayAsTexts) {
  // 3 May 2011 is a Tuesday: no rule matches a padded text, but the colour still follows the date.
  EXPECT_EQ(LookUpHoliday("2011", "05", "3"), (DayMark{"", kBlack}));
  EXPECT_EQ(LookUpHoliday("2011", "5", "03"), (DayMark{"", kBlack}));
  EXPECT_EQ(LookUpHoliday("2011", "5", "3"), (DayMark{"憲法記念日", kMagenta}));
  EXPECT_EQ(LookUpHoliday("02011", "5", "3").name, "憲法記念日");  // the year is a number
}

TEST(LookUpHoliday, RejectsTextsThatAreNoDate) {
  EXPECT_THROW(LookUpHoliday("2011", "2", "30"), DateTextError);
  EXPECT_THROW(LookUpHoliday("2011", "13", "1"), DateTextError);
  EXPECT_THROW(LookUpHoliday("2011", "x", "1"), DateTextError);
  EXPECT_THROW(LookUpHoliday("", "1", "1"), DateTextError);
  EXPECT_THROW(LookUpHoliday("0", "1", "1"), DateTextError);
  EXPECT_THROW(LookUpHoliday("10000", "1", "1"), DateTextError);
  EXPECT_THROW(LookUpHoliday("2011", "-1", "1"), DateTextError);
}

TEST(LookUpHoliday, EquinoxFormula) {
  EXPECT_EQ(VernalEquinoxDay(1979), 20);  // t = -1, q = 0: trunc(20.600906)
  EXPECT_EQ(VernalEquinoxDay(2012), 20);
  EXPECT_EQ(AutumnalEquinoxDay(2012), 22);
  EXPECT_EQ(VernalEquinoxDay(2026), 20);
  EXPECT_EQ(AutumnalEquinoxDay(2026), 23);
}

TEST(LookUpHoliday, NameAndColourAlwaysAgree) {
  for (chr::sys_days day{chr::year{1900} / 1 / 1}; day <= chr::sys_days{chr::year{2100} / 12 / 31};
       day += chr::days{1}) {
    const DayMark mark = Tray(chr::year_month_day{day});
    ASSERT_EQ(mark.IsHoliday(), mark.colour == kMagenta) << IsoDateText(chr::year_month_day{day});
  }
}

TEST(TrayDayMark, MondaySubstituteRule) {
  EXPECT_EQ(Tray(2012, 1, 2), (DayMark{"振替休日", kMagenta}));  // 元日 on a Sunday
  EXPECT_EQ(Tray(2020, 2, 24), (DayMark{"振替休日", kMagenta}));
  EXPECT_EQ(Tray(2021, 8, 9), (DayMark{"振替休日", kMagenta}));  // the moved 山の日, a Sunday
  EXPECT_EQ(Tray(2018, 12, 24), (DayMark{"振替休日", kMagenta}));
  // A Monday with its own name keeps it; the substitute does not move on.
  EXPECT_EQ(Tray(2009, 5, 4), (DayMark{"みどりの日", kMagenta}));
  EXPECT_EQ(Tray(2009, 5, 5).name, "こどもの日");
  // A Monday looked at and found ordinary is drawn in the examined-Monday colour.
  EXPECT_EQ(Tray(2011, 5, 9), (DayMark{"", day_colour::kExaminedMonday}));
  EXPECT_EQ(day_colour::kExaminedMonday.bgr, 0x010000u);
  // A Monday the 1st is never a substitute, whatever the day before was.
  EXPECT_EQ(Tray(2012, 10, 1).name, "");
  EXPECT_EQ(Tray(2012, 10, 1).colour, kBlack);
  // Other weekdays keep their colours.
  EXPECT_EQ(Tray(2011, 5, 10).colour, kBlack);
}

TEST(TrayDayMark, SubstituteRuleTakesTheSameInputsAsTheGrid) {
  const DayMark sunday{"元日", kMagenta};
  const DayMark plain{"", kBlack};
  EXPECT_TRUE(IsSubstituteHoliday(MakeDate(2012, 1, 2), plain, sunday));
  EXPECT_FALSE(IsSubstituteHoliday(MakeDate(2012, 1, 3), plain, sunday));  // a Tuesday
  EXPECT_FALSE(IsSubstituteHoliday(MakeDate(2012, 1, 9), {"成人の日", kMagenta}, sunday));
  EXPECT_FALSE(IsSubstituteHoliday(MakeDate(2012, 10, 1), plain, sunday));  // the 1st
  EXPECT_FALSE(IsSubstituteHoliday(MakeDate(2012, 1, 2), plain, plain));
}

// The law in its general words, checked day by day against what the tray shows:
// a holiday on a Sunday makes the next day that is no holiday a substitute, and no
// substitute stands anywhere else; a day between two holidays is itself a day off.
TEST(TrayDayMark, FollowsTheGeneralWordsOfTheLaw) {
  const auto isNational = [](const DayMark& m) {
    return m.IsHoliday() && m.name != kSubstituteHolidayName && m.name != "休日" &&
           m.name != "国民の休日";
  };
  for (int year = 2016; year <= 2099; ++year) {
    bool owed = false;  // a Sunday holiday waits for its substitute
    for (chr::sys_days day{chr::year{year} / 1 / 1};
         day <= chr::sys_days{chr::year{year} / 12 / 31}; day += chr::days{1}) {
      const chr::year_month_day date{day};
      const DayMark mark = Tray(date);
      const std::string at = IsoDateText(date);
      if (owed && !isNational(mark)) {
        EXPECT_EQ(mark.name, kSubstituteHolidayName) << at;
        owed = false;
      } else {
        EXPECT_NE(mark.name, kSubstituteHolidayName) << at;
      }
      if (isNational(mark) && chr::weekday{day} == chr::Sunday) owed = true;
      if (!mark.IsHoliday() && isNational(Tray(chr::year_month_day{day - chr::days{1}})) &&
          isNational(Tray(chr::year_month_day{day + chr::days{1}}))) {
        ADD_FAILURE() << at << " lies between two holidays but is no holiday";
      }
    }
  }
}

}  // namespace
}  // namespace tsukio
