#include "calendar/holidays.h"

#include <climits>

#include "calendar/date_text.h"
#include "calendar/weeks.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

enum class When {
  kFixed,  // the given day
  kSecondMonday,
  kThirdMonday,
  kVernalEquinox,
  kAutumnalEquinox,
  kMay6Substitute,    // 6 May when 3 or 4 May is a Sunday
  kSeptember22,       // the 22nd, when 敬老の日 is the 21st and 秋分の日 the 23rd
  kSeptemberBetween,  // the day between 敬老の日 and 秋分の日 when they are two days apart
};

struct Rule {
  int month;
  When when;
  int day;
  int from;
  int to;
  std::string_view name;
};

constexpr int kAny = INT_MIN;
constexpr int kOn = INT_MAX;

// Tested first to last; a later match replaces an earlier one (4 May from 2007).
// Up to 2015 this is the original table unchanged; the rows bounded at 2016 and later
// follow the amendments of the Act on National Holidays: 山の日, the 2019 succession,
// 天皇誕生日 moving to 23 February, スポーツの日 and the two Olympic years.
constexpr Rule kRules[] = {
    {1, When::kFixed, 1, kAny, kOn, "元日"},
    {1, When::kSecondMonday, 0, 2000, kOn, "成人の日"},
    {1, When::kFixed, 15, kAny, 1999, "成人の日"},
    {2, When::kFixed, 11, kAny, kOn, "建国記念の日"},
    {2, When::kFixed, 23, 2020, kOn, "天皇誕生日"},
    {3, When::kVernalEquinox, 0, kAny, kOn, "春分の日"},
    {4, When::kFixed, 29, kAny, 1988, "天皇誕生日"},
    {4, When::kFixed, 29, 1989, 2006, "みどりの日"},
    {4, When::kFixed, 29, 2007, kOn, "昭和の日"},
    {4, When::kFixed, 30, 2019, 2019, "国民の休日"},
    {5, When::kFixed, 1, 2019, 2019, "天皇の即位の日"},
    {5, When::kFixed, 2, 2019, 2019, "国民の休日"},
    {5, When::kFixed, 3, kAny, kOn, "憲法記念日"},
    {5, When::kFixed, 4, 1985, kOn, "国民の休日"},
    {5, When::kFixed, 4, 2007, kOn, "みどりの日"},
    {5, When::kFixed, 5, kAny, kOn, "こどもの日"},
    {5, When::kMay6Substitute, 6, 2008, kOn, kSubstituteHolidayName},
    {7, When::kFixed, 20, 1996, 2002, "海の日"},
    {7, When::kThirdMonday, 0, 2003, 2019, "海の日"},
    {7, When::kFixed, 23, 2020, 2020, "海の日"},
    {7, When::kFixed, 24, 2020, 2020, "スポーツの日"},
    {7, When::kFixed, 22, 2021, 2021, "海の日"},
    {7, When::kFixed, 23, 2021, 2021, "スポーツの日"},
    {7, When::kThirdMonday, 0, 2022, kOn, "海の日"},
    {8, When::kFixed, 11, 2016, 2019, "山の日"},
    {8, When::kFixed, 10, 2020, 2020, "山の日"},
    {8, When::kFixed, 8, 2021, 2021, "山の日"},
    {8, When::kFixed, 11, 2022, kOn, "山の日"},
    {9, When::kFixed, 15, kAny, 2002, "敬老の日"},
    {9, When::kThirdMonday, 0, 2003, kOn, "敬老の日"},
    {9, When::kAutumnalEquinox, 0, kAny, kOn, "秋分の日"},
    {9, When::kSeptember22, 22, 2009, 2015, "休日"},
    {9, When::kSeptemberBetween, 0, 2016, kOn, "休日"},
    {10, When::kSecondMonday, 0, 2000, 2019, "体育の日"},
    {10, When::kFixed, 10, kAny, 1999, "体育の日"},
    {10, When::kSecondMonday, 0, 2022, kOn, "スポーツの日"},
    {10, When::kFixed, 22, 2019, 2019, "即位礼正殿の儀"},
    {11, When::kFixed, 3, kAny, kOn, "文化の日"},
    {11, When::kFixed, 23, kAny, kOn, "勤労感謝の日"},
    {12, When::kFixed, 23, 1989, 2018, "天皇誕生日"},
};

// Day of month of the n-th Monday.
int NthMonday(chr::year y, chr::month m, unsigned n) {
  return static_cast<int>(static_cast<unsigned>(
      chr::year_month_day{chr::year_month_weekday{y, m, chr::Monday[n]}}.day()));
}

bool Matches(const Rule& rule, chr::year_month_day date, int d) {
  const int y = static_cast<int>(date.year());
  switch (rule.when) {
    case When::kFixed:
      return d == rule.day;
    case When::kSecondMonday:
      return d == NthMonday(date.year(), date.month(), 2);
    case When::kThirdMonday:
      return d == NthMonday(date.year(), date.month(), 3);
    case When::kVernalEquinox:
      return d == VernalEquinoxDay(y);
    case When::kAutumnalEquinox:
      return d == AutumnalEquinoxDay(y);
    case When::kMay6Substitute: {
      if (d != rule.day) return false;
      const chr::weekday may3{chr::sys_days{date.year() / chr::May / 3}};
      return may3 == chr::Sunday || may3 == chr::Saturday;  // 3 May or 4 May a Sunday
    }
    case When::kSeptember22:
      return d == 22 && NthMonday(date.year(), date.month(), 3) == 21 &&
             AutumnalEquinoxDay(y) == 23;
    case When::kSeptemberBetween: {
      const int respect = NthMonday(date.year(), date.month(), 3);
      return d == respect + 1 && AutumnalEquinoxDay(y) == respect + 2;
    }
  }
  return false;
}

// The rules match month and day as texts; a zero-padded text ("05") matches none.
bool IsCanonical(std::string_view text) {
  return !text.empty() && text.front() != '0';
}

int EquinoxDay(int year, double constant) {
  const int t = year - 1980;
  const int q = t / 4;  // truncates toward zero, as the formula wants
  return static_cast<int>(0.242194 * t + constant - q);
}

Colour WeekdayColour(chr::weekday wd) {
  if (wd == chr::Sunday) return day_colour::kSunday;
  if (wd == chr::Saturday) return day_colour::kSaturday;
  return day_colour::kWeekday;
}

}  // namespace

int VernalEquinoxDay(int year) {
  return EquinoxDay(year, 20.8431);
}
int AutumnalEquinoxDay(int year) {
  return EquinoxDay(year, 23.2488);
}

DayMark LookUpHoliday(std::string_view year, std::string_view month, std::string_view day) {
  const chr::year_month_day date = DateFromTexts(year, month, day);
  DayMark mark{{}, WeekdayColour(chr::weekday{chr::sys_days{date}})};
  if (!IsCanonical(month) || !IsCanonical(day)) return mark;

  const int y = static_cast<int>(date.year());
  const int m = static_cast<int>(static_cast<unsigned>(date.month()));
  const int d = static_cast<int>(static_cast<unsigned>(date.day()));
  for (const Rule& rule : kRules) {
    if (rule.month == m && y >= rule.from && y <= rule.to && Matches(rule, date, d)) {
      mark.name = rule.name;
    }
  }
  if (mark.IsHoliday()) mark.colour = day_colour::kHoliday;
  return mark;
}

bool IsSubstituteHoliday(chr::year_month_day date, const DayMark& own, const DayMark& dayBefore) {
  return chr::weekday{chr::sys_days{date}} == chr::Monday && date.day() != chr::day{1} &&
         !own.IsHoliday() && dayBefore.IsHoliday();
}

DayMark TrayDayMark(std::string_view year, std::string_view month, std::string_view day) {
  DayMark mark = LookUpHoliday(year, month, day);
  const chr::year_month_day date = DateFromTexts(year, month, day);
  if (chr::weekday{chr::sys_days{date}} != chr::Monday || date.day() == chr::day{1} ||
      mark.IsHoliday()) {
    return mark;
  }
  const DayMark before = LookUpHoliday(year, month, PreviousDayText(day));
  if (IsSubstituteHoliday(date, mark, before))
    return {kSubstituteHolidayName, day_colour::kHoliday};
  mark.colour = day_colour::kExaminedMonday;
  return mark;
}

}  // namespace tsukio
