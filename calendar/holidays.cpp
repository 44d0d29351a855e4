#include "calendar/holidays.h"

#include <climits>

namespace tsukio {

namespace chr = std::chrono;

namespace {

enum class When {
  kFixed,  // the given day
  kSecondMonday,
  kThirdMonday,
  kVernalEquinox,
  kAutumnalEquinox,
  kMay4Between,       // 4 May between two holidays, unless a Sunday or a substitute
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

constexpr int kOn = INT_MAX;

// No rule reaches before the Act took effect on 20 July 1948 (the table's smallest `from`).
constexpr int kFirstHolidayYear = 1948;

// The substitute holiday began with the amendment of 12 April 1973: a Sunday holiday from
// that day on makes the Monday after it a day off.
constexpr chr::year_month_day kLastDayWithoutSubstitute{chr::year{1973} / 4 / 12};

// The Act on National Holidays took effect on 20 July 1948, so its days of January to
// July first fall in 1949 and its days of September to November in 1948; before that
// no rule applies (kFirstHolidayYear). Later amendments:
// - 1966: 敬老の日 and 体育の日; 1967: 建国記念の日 (from the 1966 cabinet order).
// - 12 Apr 1973: the substitute holiday, the Monday after a Sunday holiday
//   (IsSubstituteHoliday, kFirstSubstituteDay).
// - 27 Dec 1985: a day between two holidays is a day off, unless it is a Sunday or a
//   substitute holiday; until 2006 that is only ever 4 May.
// - 1989: 天皇誕生日 moves to 23 December, 29 April becomes みどりの日.
// - 1996: 海の日; 2000 and 2003: the Monday holidays; 2007: 昭和の日, みどりの日 on 4 May
//   and the substitute on the next day that is no holiday (6 May, kMay6Substitute).
// - From 2016: 山の日, the 2019 succession, 天皇誕生日 on 23 February from 2020,
//   スポーツの日 and the two Olympic years.
// - The one-off days set by their own laws: 1959, 1989, 1990, 1993 and 2019.
//
// Tested first to last; a later match replaces an earlier one (4 May from 2007).
constexpr Rule kRules[] = {
    {1, When::kFixed, 1, 1949, kOn, "元日"},
    {1, When::kSecondMonday, 0, 2000, kOn, "成人の日"},
    {1, When::kFixed, 15, 1949, 1999, "成人の日"},
    {2, When::kFixed, 11, 1967, kOn, "建国記念の日"},
    {2, When::kFixed, 23, 2020, kOn, "天皇誕生日"},
    {2, When::kFixed, 24, 1989, 1989, "昭和天皇の大喪の礼"},
    {3, When::kVernalEquinox, 0, 1949, kOn, "春分の日"},
    {4, When::kFixed, 10, 1959, 1959, "皇太子明仁親王の結婚の儀"},
    {4, When::kFixed, 29, 1949, 1988, "天皇誕生日"},
    {4, When::kFixed, 29, 1989, 2006, "みどりの日"},
    {4, When::kFixed, 29, 2007, kOn, "昭和の日"},
    {4, When::kFixed, 30, 2019, 2019, "国民の休日"},
    {5, When::kFixed, 1, 2019, 2019, "天皇の即位の日"},
    {5, When::kFixed, 2, 2019, 2019, "国民の休日"},
    {5, When::kFixed, 3, 1949, kOn, "憲法記念日"},
    {5, When::kMay4Between, 4, 1986, 2006, "国民の休日"},
    {5, When::kFixed, 4, 2007, kOn, "みどりの日"},
    {5, When::kFixed, 5, 1949, kOn, "こどもの日"},
    {5, When::kMay6Substitute, 6, 2008, kOn, kSubstituteHolidayName},
    {6, When::kFixed, 9, 1993, 1993, "皇太子徳仁親王の結婚の儀"},
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
    {9, When::kFixed, 15, 1966, 2002, "敬老の日"},
    {9, When::kThirdMonday, 0, 2003, kOn, "敬老の日"},
    {9, When::kAutumnalEquinox, 0, 1948, kOn, "秋分の日"},
    {9, When::kSeptember22, 22, 2009, 2015, "休日"},
    {9, When::kSeptemberBetween, 0, 2016, kOn, "休日"},
    {10, When::kSecondMonday, 0, 2000, 2019, "体育の日"},
    {10, When::kFixed, 10, 1966, 1999, "体育の日"},
    {10, When::kSecondMonday, 0, 2022, kOn, "スポーツの日"},
    {10, When::kFixed, 22, 2019, 2019, "即位礼正殿の儀"},
    {11, When::kFixed, 3, 1948, kOn, "文化の日"},
    {11, When::kFixed, 12, 1990, 1990, "即位礼正殿の儀"},
    {11, When::kFixed, 23, 1948, kOn, "勤労感謝の日"},
    {12, When::kFixed, 23, 1989, 2018, "天皇誕生日"},
};

// The rules are grouped by month: where each month's rules begin in kRules, so that a
// lookup tests only its own month's few.
struct MonthIndex {
  int begin[14] = {};
};

constexpr MonthIndex IndexByMonth() {
  MonthIndex index;
  int at = 0;
  for (int m = 1; m <= 13; ++m) {
    index.begin[m] = at;
    while (at < static_cast<int>(std::size(kRules)) && kRules[at].month == m) ++at;
  }
  index.begin[13] = at;
  return index;
}

constexpr MonthIndex kMonthIndex = IndexByMonth();
static_assert(kMonthIndex.begin[13] == static_cast<int>(std::size(kRules)),
              "kRules must be in month order");

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
    case When::kMay4Between: {
      // A Sunday stays a Sunday; a Monday after 憲法記念日 on a Sunday is its substitute.
      if (d != rule.day) return false;
      const chr::weekday may4{chr::sys_days{date}};
      return may4 != chr::Sunday && may4 != chr::Monday;
    }
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

// The formula the National Astronomical Observatory of Japan gives for the equinox days,
// one set of constants for each period in which it holds (the day of the month is
// trunc(constant + 0.242194 (Y - 1980) - trunc((Y - leapBase) / 4))). It matches every
// day the government announced. kRules ask for it only from 1948.
struct EquinoxPeriod {
  int from;
  int to;
  double vernal;
  double autumnal;
  int leapBase;
};

constexpr EquinoxPeriod kEquinoxPeriods[] = {
    {1900, 1979, 20.8357, 23.2588, 1983},
    {1980, 2099, 20.8431, 23.2488, 1980},
    {2100, 2150, 21.8510, 24.2488, 1980},
};

int EquinoxDay(int year, double EquinoxPeriod::*constant) {
  for (const EquinoxPeriod& period : kEquinoxPeriods) {
    if (year < period.from || year > period.to) continue;
    const int q = (year - period.leapBase) / 4;  // truncates toward zero, as the formula wants
    return static_cast<int>(0.242194 * (year - 1980) + period.*constant - q);
  }
  return 0;  // no formula: the day is unknown
}

Colour WeekdayColour(chr::weekday wd) {
  if (wd == chr::Sunday) return day_colour::kSunday;
  if (wd == chr::Saturday) return day_colour::kSaturday;
  return day_colour::kWeekday;
}

}  // namespace

int VernalEquinoxDay(int year) {
  return EquinoxDay(year, &EquinoxPeriod::vernal);
}
int AutumnalEquinoxDay(int year) {
  return EquinoxDay(year, &EquinoxPeriod::autumnal);
}

DayMark LookUpHoliday(chr::year_month_day date) {
  DayMark mark{{}, WeekdayColour(chr::weekday{chr::sys_days{date}})};

  const int y = static_cast<int>(date.year());
  if (y < kFirstHolidayYear) return mark;
  const int m = static_cast<int>(static_cast<unsigned>(date.month()));
  const int d = static_cast<int>(static_cast<unsigned>(date.day()));
  for (int i = kMonthIndex.begin[m]; i < kMonthIndex.begin[m + 1]; ++i) {
    const Rule& rule = kRules[i];
    if (y >= rule.from && y <= rule.to && Matches(rule, date, d)) mark.name = rule.name;
  }
  if (mark.IsHoliday()) mark.colour = day_colour::kHoliday;
  return mark;
}

bool IsSubstituteHoliday(chr::year_month_day date, const DayMark& own, const DayMark& dayBefore) {
  return chr::weekday{chr::sys_days{date}} == chr::Monday && date.day() != chr::day{1} &&
         !own.IsHoliday() && dayBefore.IsHoliday() && date > kLastDayWithoutSubstitute;
}

DayMark TrayDayMark(chr::year_month_day date) {
  DayMark mark = LookUpHoliday(date);
  if (chr::weekday{chr::sys_days{date}} != chr::Monday || date.day() == chr::day{1} ||
      mark.IsHoliday()) {
    return mark;
  }
  const DayMark before = LookUpHoliday(chr::sys_days{date} - chr::days{1});
  if (IsSubstituteHoliday(date, mark, before))
    return {kSubstituteHolidayName, day_colour::kHoliday};
  mark.colour = day_colour::kExaminedMonday;
  return mark;
}

std::vector<NamedDay> HolidaysOfYears(int first, int last) {
  std::vector<NamedDay> days;
  const chr::sys_days end{chr::year{last} / chr::December / 31};
  for (chr::sys_days day{chr::year{first} / chr::January / 1}; day <= end; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DayMark mark = TrayDayMark(date);
    if (mark.IsHoliday()) days.push_back({date, mark.name});
  }
  return days;
}

}  // namespace tsukio
