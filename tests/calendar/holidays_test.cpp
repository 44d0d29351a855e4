#include "calendar/holidays.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "calendar/almanac.h"
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
  return LookUpHoliday(MakeDate(y, m, d));
}
DayMark Look(chr::year_month_day date) {
  return LookUpHoliday(date);
}
DayMark Tray(chr::year_month_day date) {
  return TrayDayMark(date);
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
      {1985, 5, 4, "", kBlue},  // the in-between day began on 27 December 1985
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

// The holiday law as enacted, one row a year range and a rule, written out here apart from
// the program's table. kRules years: the Act took effect on 20 July 1948, so its days of
// January to July begin in 1949.
enum class On { kDay, kSecondMonday, kThirdMonday, kVernalEquinox, kAutumnalEquinox };

struct LawRow {
  int from, to;
  int month;
  On on;
  int day;
  std::string_view name;
};

constexpr int kLastFormulaYear = 2150;  // the last year with an equinox formula

constexpr LawRow kLaw[] = {
    // The Act of 1948.
    {1949, kLastFormulaYear, 1, On::kDay, 1, "元日"},
    {1949, 1999, 1, On::kDay, 15, "成人の日"},
    {1949, kLastFormulaYear, 3, On::kVernalEquinox, 0, "春分の日"},
    {1949, 1988, 4, On::kDay, 29, "天皇誕生日"},
    {1949, kLastFormulaYear, 5, On::kDay, 3, "憲法記念日"},
    {1949, kLastFormulaYear, 5, On::kDay, 5, "こどもの日"},
    {1948, kLastFormulaYear, 9, On::kAutumnalEquinox, 0, "秋分の日"},
    {1948, kLastFormulaYear, 11, On::kDay, 3, "文化の日"},
    {1948, kLastFormulaYear, 11, On::kDay, 23, "勤労感謝の日"},
    // 1966 and 1967.
    {1966, 2002, 9, On::kDay, 15, "敬老の日"},
    {1966, 1999, 10, On::kDay, 10, "体育の日"},
    {1967, kLastFormulaYear, 2, On::kDay, 11, "建国記念の日"},
    // 1989: the new reign.
    {1989, 2006, 4, On::kDay, 29, "みどりの日"},
    {1989, 2018, 12, On::kDay, 23, "天皇誕生日"},
    // 1996, 2000, 2003: 海の日, then the Monday holidays.
    {1996, 2002, 7, On::kDay, 20, "海の日"},
    {2000, kLastFormulaYear, 1, On::kSecondMonday, 0, "成人の日"},
    {2000, 2019, 10, On::kSecondMonday, 0, "体育の日"},
    {2003, 2019, 7, On::kThirdMonday, 0, "海の日"},
    {2003, kLastFormulaYear, 9, On::kThirdMonday, 0, "敬老の日"},
    // 2007.
    {2007, kLastFormulaYear, 4, On::kDay, 29, "昭和の日"},
    {2007, kLastFormulaYear, 5, On::kDay, 4, "みどりの日"},
    // From 2016.
    {2016, 2019, 8, On::kDay, 11, "山の日"},
    {2020, kLastFormulaYear, 2, On::kDay, 23, "天皇誕生日"},
    {2020, 2020, 7, On::kDay, 23, "海の日"},
    {2020, 2020, 7, On::kDay, 24, "スポーツの日"},
    {2020, 2020, 8, On::kDay, 10, "山の日"},
    {2021, 2021, 7, On::kDay, 22, "海の日"},
    {2021, 2021, 7, On::kDay, 23, "スポーツの日"},
    {2021, 2021, 8, On::kDay, 8, "山の日"},
    {2022, kLastFormulaYear, 7, On::kThirdMonday, 0, "海の日"},
    {2022, kLastFormulaYear, 8, On::kDay, 11, "山の日"},
    {2022, kLastFormulaYear, 10, On::kSecondMonday, 0, "スポーツの日"},
    // The days of their own laws.
    {1959, 1959, 4, On::kDay, 10, "皇太子明仁親王の結婚の儀"},
    {1989, 1989, 2, On::kDay, 24, "昭和天皇の大喪の礼"},
    {1990, 1990, 11, On::kDay, 12, "即位礼正殿の儀"},
    {1993, 1993, 6, On::kDay, 9, "皇太子徳仁親王の結婚の儀"},
    {2019, 2019, 5, On::kDay, 1, "天皇の即位の日"},
    {2019, 2019, 10, On::kDay, 22, "即位礼正殿の儀"},
};

// The equinox-day formula of the National Astronomical Observatory of Japan, per period:
// trunc(C + 0.242194 (Y - 1980) - trunc((Y - B) / 4)).
int FormulaEquinoxDay(int y, bool vernal) {
  double c = 0;
  int b = 1980;
  if (y >= 1900 && y <= 1979) {
    c = vernal ? 20.8357 : 23.2588;
    b = 1983;
  } else if (y >= 1980 && y <= 2099) {
    c = vernal ? 20.8431 : 23.2488;
  } else if (y >= 2100 && y <= 2150) {
    c = vernal ? 21.8510 : 24.2488;
  } else {
    return 0;
  }
  return static_cast<int>(c + 0.242194 * (y - 1980) - (y - b) / 4);
}

chr::year_month_day DayOf(const LawRow& row, int y) {
  const chr::year year{y};
  const chr::month month{static_cast<unsigned>(row.month)};
  switch (row.on) {
    case On::kDay:
      return year / month / row.day;
    case On::kSecondMonday:
      return chr::year_month_day{year / month / chr::Monday[2]};
    case On::kThirdMonday:
      return chr::year_month_day{year / month / chr::Monday[3]};
    case On::kVernalEquinox:
      return year / month / FormulaEquinoxDay(y, true);
    case On::kAutumnalEquinox:
      return year / month / FormulaEquinoxDay(y, false);
  }
  return {};
}

// Every day the law names, 1948 to 2150.
std::map<chr::sys_days, std::string_view> LawDays() {
  std::map<chr::sys_days, std::string_view> days;
  for (const LawRow& row : kLaw) {
    for (int y = row.from; y <= row.to; ++y) days[chr::sys_days{DayOf(row, y)}] = row.name;
  }
  return days;
}

TEST(LookUpHoliday, TheLawRowByRow) {
  for (const LawRow& row : kLaw) {
    for (int y = row.from; y <= row.to; ++y) {
      const chr::year_month_day date = DayOf(row, y);
      ASSERT_TRUE(date.ok()) << row.name << " " << y;
      EXPECT_EQ(Tray(date), (DayMark{row.name, kMagenta})) << IsoDateText(date);
    }
  }
}

// And nothing else: every named day of 1900-2150 is a day of the law, or one of the days
// its general words make (the in-between days and the substitutes, checked below).
TEST(LookUpHoliday, NamesNoOtherDay) {
  const auto law = LawDays();
  for (chr::sys_days day{chr::year{1900} / 1 / 1}; day <= chr::sys_days{chr::year{2150} / 12 / 31};
       day += chr::days{1}) {
    const DayMark mark = Look(chr::year_month_day{day});
    if (!mark.IsHoliday()) {
      EXPECT_FALSE(law.contains(day)) << IsoDateText(chr::year_month_day{day});
      continue;
    }
    if (mark.name == "国民の休日" || mark.name == "休日" || mark.name == kSubstituteHolidayName) {
      continue;
    }
    const auto found = law.find(day);
    ASSERT_NE(found, law.end()) << IsoDateText(chr::year_month_day{day}) << " " << mark.name;
    EXPECT_EQ(mark.name, found->second) << IsoDateText(chr::year_month_day{day});
  }
}

// The first and the last day of each rule, and the day each would have been outside it.
TEST(LookUpHoliday, FirstAndLastDayOfEachRule) {
  ExpectAll({
      {1948, 1, 1, "", kBlack},        // before the Act
      {1949, 1, 1, "元日", kMagenta},  // the first of its January days
      {1948, 1, 15, "", kBlack},
      {1949, 1, 15, "成人の日", kMagenta},
      {1999, 1, 15, "成人の日", kMagenta},
      {2000, 1, 10, "成人の日", kMagenta},
      {1948, 3, 21, "", kRed},
      {1949, 3, 21, "春分の日", kMagenta},
      {1948, 4, 29, "", kBlack},
      {1949, 4, 29, "天皇誕生日", kMagenta},
      {1988, 4, 29, "天皇誕生日", kMagenta},
      {1989, 4, 29, "みどりの日", kMagenta},
      {2006, 4, 29, "みどりの日", kMagenta},
      {2007, 4, 29, "昭和の日", kMagenta},
      {1948, 5, 3, "", kBlack},
      {1948, 5, 5, "", kBlack},
      {1949, 5, 3, "憲法記念日", kMagenta},
      {1949, 5, 5, "こどもの日", kMagenta},
      {1948, 9, 23, "秋分の日", kMagenta},  // the Act's first holiday
      {1948, 11, 3, "文化の日", kMagenta},
      {1948, 11, 23, "勤労感謝の日", kMagenta},
      {1965, 9, 15, "", kBlack},
      {1966, 9, 15, "敬老の日", kMagenta},
      {2002, 9, 15, "敬老の日", kMagenta},
      {2003, 9, 15, "敬老の日", kMagenta},  // the third Monday that year
      {2004, 9, 15, "", kBlack},
      {2004, 9, 20, "敬老の日", kMagenta},
      {1965, 10, 10, "", kRed},
      {1966, 10, 10, "体育の日", kMagenta},
      {1999, 10, 10, "体育の日", kMagenta},
      {2000, 10, 10, "", kBlack},
      {2000, 10, 9, "体育の日", kMagenta},
      {2019, 10, 14, "体育の日", kMagenta},
      {2022, 10, 10, "スポーツの日", kMagenta},
      {1966, 2, 11, "", kBlack},
      {1967, 2, 11, "建国記念の日", kMagenta},
      {1988, 12, 23, "", kBlack},
      {1989, 12, 23, "天皇誕生日", kMagenta},
      {2018, 12, 23, "天皇誕生日", kMagenta},
      {1995, 7, 20, "", kBlack},
      {1996, 7, 20, "海の日", kMagenta},
      {2002, 7, 20, "海の日", kMagenta},
      {2003, 7, 21, "海の日", kMagenta},
      {2003, 7, 20, "", kRed},
      {2006, 5, 4, "国民の休日", kMagenta},
      {2007, 5, 4, "みどりの日", kMagenta},
  });
  // The substitute: none before 12 April 1973, the first on 30 April 1973.
  // 元日 and 建国記念の日 on a Sunday before the rule, 天皇誕生日 on a Sunday after it.
  EXPECT_EQ(Tray(1967, 1, 2).name, "");
  EXPECT_EQ(Tray(1973, 2, 12), (DayMark{"", day_colour::kExaminedMonday}));
  EXPECT_EQ(Tray(1973, 4, 30), (DayMark{"振替休日", kMagenta}));
  // The in-between day: none before 27 December 1985, none on a Sunday.
  EXPECT_EQ(Tray(1985, 5, 4).name, "");  // a Saturday
  EXPECT_EQ(Tray(1986, 5, 4), (DayMark{"", kRed}));
  EXPECT_EQ(Tray(1988, 5, 4), (DayMark{"国民の休日", kMagenta}));  // the first
  EXPECT_EQ(Tray(1997, 5, 4), (DayMark{"", kRed}));
  EXPECT_EQ(Tray(2003, 5, 4), (DayMark{"", kRed}));
  // 憲法記念日 on a Sunday: 4 May is its substitute, not an in-between day.
  EXPECT_EQ(Tray(1987, 5, 4), (DayMark{"振替休日", kMagenta}));
  EXPECT_EQ(Tray(1992, 5, 4), (DayMark{"振替休日", kMagenta}));
  EXPECT_EQ(Tray(1998, 5, 4), (DayMark{"振替休日", kMagenta}));
  // The first substitute on 6 May.
  EXPECT_EQ(Tray(2008, 5, 6), (DayMark{"振替休日", kMagenta}));
  // The September in-between day: first in 2009.
  EXPECT_EQ(Tray(2009, 9, 22), (DayMark{"休日", kMagenta}));
}

TEST(LookUpHoliday, TheOneOffDays) {
  ExpectAll({
      {1959, 4, 10, "皇太子明仁親王の結婚の儀", kMagenta},
      {1989, 2, 24, "昭和天皇の大喪の礼", kMagenta},
      {1990, 11, 12, "即位礼正殿の儀", kMagenta},
      {1993, 6, 9, "皇太子徳仁親王の結婚の儀", kMagenta},
      {2019, 5, 1, "天皇の即位の日", kMagenta},
      {2019, 10, 22, "即位礼正殿の儀", kMagenta},
      // Only in their years.
      {1960, 4, 10, "", kRed},
      {1990, 2, 24, "", kBlue},
      {1991, 11, 12, "", kBlack},
      {1994, 6, 9, "", kBlack},
  });
}

// No national holiday before the Act took effect on 20 July 1948, whatever the year.
TEST(LookUpHoliday, NoHolidayBefore20July1948) {
  const chr::sys_days act{chr::year{1948} / 7 / 20};
  for (chr::sys_days day{chr::year{1} / 1 / 1}; day < act; day += chr::days{1}) {
    const DayMark mark = Tray(chr::year_month_day{day});
    ASSERT_FALSE(mark.IsHoliday()) << IsoDateText(chr::year_month_day{day}) << " " << mark.name;
  }
  // The first one after it.
  chr::sys_days day = act;
  while (!Tray(chr::year_month_day{day}).IsHoliday()) day += chr::days{1};
  EXPECT_EQ(chr::year_month_day{day}, chr::year{1948} / 9 / 23);
}

TEST(LookUpHoliday, EquinoxFormula) {
  // 1979's 春分 was on the 21st: the 1900-1979 constants, not those of 1980 on (which
  // gave the 20th here before).
  EXPECT_EQ(VernalEquinoxDay(1979), 21);
  EXPECT_EQ(VernalEquinoxDay(1970), 21);
  EXPECT_EQ(AutumnalEquinoxDay(1971), 24);
  EXPECT_EQ(VernalEquinoxDay(2012), 20);
  EXPECT_EQ(AutumnalEquinoxDay(2012), 22);
  EXPECT_EQ(VernalEquinoxDay(2026), 20);
  EXPECT_EQ(AutumnalEquinoxDay(2026), 23);
  EXPECT_EQ(AutumnalEquinoxDay(2099), 23);
  EXPECT_EQ(VernalEquinoxDay(2100), 20);
  // Outside 1900-2150 there is no formula, and the day is given as unknown.
  EXPECT_EQ(VernalEquinoxDay(1899), 0);
  EXPECT_EQ(AutumnalEquinoxDay(2151), 0);
  EXPECT_EQ(Look(2151, 3, 20).name, "");
  EXPECT_EQ(Look(2151, 3, 21).name, "");
  EXPECT_EQ(Look(2151, 9, 22).name, "");
  EXPECT_EQ(Look(2151, 9, 23).name, "");
  EXPECT_EQ(Look(2151, 11, 3).name, "文化の日");
}

// Every equinox day from 1948 to 2099 by its period's formula, and the same day as the
// almanac's 春分 and 秋分 (computed from the Sun's position in Japan Standard Time).
TEST(LookUpHoliday, EquinoxDaysByThePeriodFormula) {
  for (int y = 1948; y <= 2099; ++y) {
    const int vernal = FormulaEquinoxDay(y, true);
    const int autumnal = FormulaEquinoxDay(y, false);
    EXPECT_EQ(VernalEquinoxDay(y), vernal) << y;
    EXPECT_EQ(AutumnalEquinoxDay(y), autumnal) << y;
    if (y >= 1949) {
      EXPECT_EQ(Look(y, 3, vernal).name, "春分の日") << y;
      EXPECT_EQ(Look(y, 3, vernal - 1).name, "") << y;
      EXPECT_EQ(Look(y, 3, vernal + 1).name, "") << y;
    }
    EXPECT_EQ(Look(y, 9, autumnal).name, "秋分の日") << y;
    EXPECT_EQ(Look(y, 9, autumnal + 1).name, "") << y;
    EXPECT_EQ(LookUpAlmanac(MakeDate(y, 3, vernal)).solarTermName, "春分") << y;
    EXPECT_EQ(LookUpAlmanac(MakeDate(y, 9, autumnal)).solarTermName, "秋分") << y;
  }
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

// The law in its general words, checked day by day against what the tray shows, from the
// Act to 2150:
// - from 12 April 1973 a holiday on a Sunday makes the Monday after it a substitute, unless
//   that is a holiday itself; from 2007 the next day that is no holiday; no substitute
//   stands anywhere else;
// - from 27 December 1985 a day between two holidays that is no Sunday and no holiday of its
//   own is a day off, and no other day is.
TEST(TrayDayMark, FollowsTheGeneralWordsOfTheLaw) {
  const auto isNational = [](const DayMark& m) {
    return m.IsHoliday() && m.name != kSubstituteHolidayName && m.name != "休日" &&
           m.name != "国民の休日";
  };
  const chr::sys_days substitutesFrom{chr::year{1973} / 4 / 12};
  const chr::sys_days newSubstitutesFrom{chr::year{2007} / 1 / 1};
  const chr::sys_days betweenFrom{chr::year{1985} / 12 / 27};
  bool owed = false;  // a Sunday holiday waits for its substitute
  for (chr::sys_days day{chr::year{1948} / 7 / 20}; day <= chr::sys_days{chr::year{2150} / 12 / 31};
       day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DayMark mark = Tray(date);
    const std::string at = IsoDateText(date);
    if (owed && !isNational(mark)) {
      EXPECT_EQ(mark.name, kSubstituteHolidayName) << at;
      owed = false;
    } else {
      EXPECT_NE(mark.name, kSubstituteHolidayName) << at;
      if (day < newSubstitutesFrom) owed = false;  // a Monday holiday took its place
    }
    if (isNational(mark) && chr::weekday{day} == chr::Sunday && day >= substitutesFrom) owed = true;

    const bool between = isNational(Tray(chr::year_month_day{day - chr::days{1}})) &&
                         isNational(Tray(chr::year_month_day{day + chr::days{1}}));
    const bool dayOff = between && day >= betweenFrom && chr::weekday{day} != chr::Sunday;
    if (dayOff && !mark.IsHoliday()) ADD_FAILURE() << at << " lies between two holidays";
    if (mark.name == "休日" || mark.name == "国民の休日") {
      EXPECT_TRUE(dayOff) << at << " is no day between two holidays";
    }
  }
}

}  // namespace
}  // namespace tsukio
