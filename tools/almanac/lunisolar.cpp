#include "tools/almanac/lunisolar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "tools/almanac/ephemeris.h"

namespace tsukio::almanac {

namespace chr = std::chrono;

namespace {

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kSynodicMonth = 29.530589;  // days
constexpr double kDaysPerTerm = 15.0 / 0.98565;

double JulianDate(chr::sys_days day) {
  return kUnixEpochJd + day.time_since_epoch().count();
}

double Wrap360(double degrees) {
  const double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

// The solstices and equinoxes fix the months that hold them: 春分 (0°) the 2nd, 夏至 (90°) the
// 5th, 秋分 (180°) the 8th and 冬至 (270°) the 11th. The other principal terms may sit one month
// off their names after a month that holds two of them, as in early 1985.
int MonthOfSolsticeOrEquinox(int longitude) {
  return longitude / 90 * 3 + 2;
}

// Spans of the calendar, named by the year of the winter solstice that ends them, where the
// rules contradict each other, and the leap month Japanese calendar publishers settled on.
//
// 2033: the winter solstice falls in the month that begins on 22 November, so the span from
// the solstice of 2032 has twelve months and no room for a leap month. The month of 25 August
// holds no principal term, and counting on through it puts 秋分 in the 9th month, where the rule
// wants the 8th. Keeping the count (25 August is the 8th month) and putting the leap month in
// the next span, where the first month without a principal term is the one after the 11th,
// gives 閏11月 from 22 December 2033. Calendar publishers agreed on that reading (the
// alternatives were 閏7月, which moves the winter solstice out of the 11th month, and 閏1月
// of 2034); the table follows it. No other span from 1900 to 2100 needs settling.
struct SettledSpan {
  int solsticeYear;
  int leapMonthAfter;  // the leap month the following span must then have
};
constexpr SettledSpan kSettledSpans[] = {{2033, 11}};

const SettledSpan* Settled(int solsticeYear) {
  for (const SettledSpan& span : kSettledSpans) {
    if (span.solsticeYear == solsticeYear) return &span;
  }
  return nullptr;
}

std::vector<SolarTerm> ComputeTerms(double from, double to) {
  std::vector<SolarTerm> terms;
  const double sun = SunApparentLongitude(from);
  int longitude = static_cast<int>(std::ceil(sun / 15.0)) * 15 % 360;
  double guess = from + Wrap360(longitude - sun) / 0.98565;
  for (;;) {
    const double jd = SolarLongitudeInstant(longitude, guess);
    if (jd > to) break;
    terms.push_back({longitude, jd, JstDay(jd)});
    longitude = (longitude + 15) % 360;
    guess = jd + kDaysPerTerm;
  }
  return terms;
}

// Each seasonal longitude is met a few days after the solar term below it, which gives the
// search its start.
std::vector<SolarTerm> ComputeSeasonalPoints(const std::vector<SolarTerm>& terms) {
  std::vector<SolarTerm> points;
  for (const SolarTerm& term : terms) {
    for (const int longitude : kSeasonalLongitudes) {
      if (longitude / 15 * 15 != term.longitude) continue;
      const double jd =
          SolarLongitudeInstant(longitude, term.jdUt + (longitude - term.longitude) / 0.98565);
      points.push_back({longitude, jd, JstDay(jd)});
    }
  }
  return points;
}

// The quarters follow each new moon by about a quarter, a half and three quarters of a month.
std::vector<MoonQuarter> ComputeQuarters(const std::vector<NewMoon>& moons) {
  std::vector<MoonQuarter> quarters;
  for (const NewMoon& moon : moons) {
    for (const int elongation : {90, 180, 270}) {
      const double jd =
          MoonPhaseInstant(elongation, moon.jdUt + elongation / 360.0 * kSynodicMonth);
      quarters.push_back({elongation, jd, JstDay(jd)});
    }
  }
  return quarters;
}

std::vector<NewMoon> ComputeNewMoons(double from, double to) {
  std::vector<NewMoon> moons;
  const double elongation = Wrap360(MoonApparentLongitude(from) - SunApparentLongitude(from));
  double guess = from + (360.0 - elongation) / 360.0 * kSynodicMonth;
  for (;;) {
    const double jd = NewMoonInstant(guess);
    if (jd > to) break;
    // The search starts a mean month after the last new moon; landing on that one again (or
    // skipping one) would mean a broken ephemeris, not a calendar fact.
    if (!moons.empty() && std::abs(jd - moons.back().jdUt - kSynodicMonth) > 1.0) {
      throw std::logic_error("almanac: new moons " + std::to_string(jd - moons.back().jdUt) +
                             " days apart");
    }
    moons.push_back({jd, JstDay(jd)});
    guess = jd + kSynodicMonth;
  }
  return moons;
}

// A month runs from the day of one new moon to the day before the next; it is numbered by the
// principal term it holds. The month holding the winter solstice is the 11th. Between two such
// months there are twelve months, or thirteen; in the latter case the first month without a
// principal term is the leap month and takes the number of the month before it.
std::vector<LunarMonth> NumberMonths(const std::vector<NewMoon>& moons,
                                     const std::vector<SolarTerm>& terms) {
  const std::size_t count = moons.size() - 1;      // the last new moon only closes a month
  std::vector<std::vector<int>> principal(count);  // the principal terms each month holds
  for (const SolarTerm& term : terms) {
    if (term.longitude % 30 != 0) continue;
    const auto next =
        std::upper_bound(moons.begin(), moons.end(), term.day,
                         [](chr::sys_days day, const NewMoon& m) { return day < m.day; });
    if (next == moons.begin() || next == moons.end()) continue;  // outside the months
    principal[static_cast<std::size_t>(next - moons.begin()) - 1].push_back(term.longitude);
  }
  std::vector<std::size_t> solsticeMonths;
  for (std::size_t i = 0; i < count; ++i) {
    if (std::count(principal[i].begin(), principal[i].end(), 270) > 0) solsticeMonths.push_back(i);
  }
  if (solsticeMonths.size() < 2) throw std::runtime_error("almanac: too short a range of years");

  std::vector<LunarMonth> months;
  int mustLeapAt = 0;  // set by a settled span: the number the next span's leap month must have
  for (std::size_t s = 0; s + 1 < solsticeMonths.size(); ++s) {
    const std::size_t begin = solsticeMonths[s];
    const std::size_t end = solsticeMonths[s + 1];
    const int solsticeYear = static_cast<int>(chr::year_month_day{moons[end].day}.year());
    if (end - begin != 12 && end - begin != 13) {
      throw std::runtime_error("almanac: " + std::to_string(end - begin) +
                               " months before the winter solstice of " +
                               std::to_string(solsticeYear));
    }
    bool leapDue = end - begin == 13;
    bool contradicted = false;
    std::vector<LunarMonth> span{{moons[begin].day, 11, false, moons[begin].jdUt}};
    for (std::size_t i = begin + 1; i < end; ++i) {
      const int previous = span.back().number;
      if (leapDue && principal[i].empty()) {
        span.push_back({moons[i].day, previous, true, moons[i].jdUt});
        leapDue = false;
        if (mustLeapAt != 0 && previous != mustLeapAt) {
          throw std::runtime_error(
              "almanac: the settled leap month before the winter solstice of " +
              std::to_string(solsticeYear) + " is not the " + std::to_string(mustLeapAt) + "th");
        }
        mustLeapAt = 0;
        continue;
      }
      const int number = previous % 12 + 1;
      span.push_back({moons[i].day, number, false, moons[i].jdUt});
      for (const int longitude : principal[i]) {
        if (longitude % 90 == 0 && MonthOfSolsticeOrEquinox(longitude) != number)
          contradicted = true;
      }
    }
    if (leapDue) throw std::logic_error("almanac: thirteen months, each with a principal term");
    if (mustLeapAt != 0) {
      throw std::runtime_error("almanac: no leap month before the winter solstice of " +
                               std::to_string(solsticeYear) + " although one was settled");
    }
    if (contradicted) {
      const SettledSpan* settled = Settled(solsticeYear);
      if (settled == nullptr) {
        throw std::runtime_error(
            "almanac: a solstice or equinox falls outside its month before the winter "
            "solstice of " +
            std::to_string(solsticeYear) + "; settle the leap month as for 2033");
      }
      mustLeapAt = settled->leapMonthAfter;
    }
    months.insert(months.end(), span.begin(), span.end());
  }
  months.push_back(
      {moons[solsticeMonths.back()].day, 11, false, moons[solsticeMonths.back()].jdUt});
  return months;
}

char Digit(int value) {
  return static_cast<char>('0' + value);
}

void AppendMonthDay(std::string& out, chr::sys_days day) {
  const chr::year_month_day date{day};
  char text[8];
  std::snprintf(text, sizeof text, "%02u%02u", static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  out += text;
}

// The JST minute of the day at which a UT instant falls, cut, not rounded, so that it stays
// on the day JstDay gives.
int JstMinuteOfDay(double jdUt) {
  const double days = jdUt - kUnixEpochJd + 9.0 / 24.0;
  return static_cast<int>(std::floor((days - std::floor(days)) * 1440.0));
}

// The day of the month (1 to 30) that holds each quarter.
std::array<int, 3> QuarterDays(const std::vector<MoonQuarter>& quarters, chr::sys_days first,
                               chr::sys_days next) {
  std::array<int, 3> days{};
  for (const MoonQuarter& quarter : quarters) {
    if (quarter.day < first || quarter.day >= next) continue;
    int& day = days[static_cast<std::size_t>(quarter.elongation / 90 - 1)];
    if (day != 0) throw std::logic_error("almanac: two alike quarters in one month");
    day = static_cast<int>((quarter.day - first).count()) + 1;
  }
  for (const int day : days) {
    if (day == 0) throw std::logic_error("almanac: a month without one of its quarters");
  }
  return days;
}

// A quarter's day as one digit: the days after the earliest it can fall on.
char QuarterDigit(const std::array<int, 3>& days, std::size_t quarter) {
  const int offset = days[quarter] - kEarliestQuarterDays[quarter];
  if (offset < 0 || offset > 9) throw std::logic_error("almanac: a quarter too far from its day");
  return Digit(offset);
}

void AppendSeasonalPoints(std::string& out, const Almanac& almanac, int year) {
  out += "zatsu=";
  std::size_t written = 0;
  for (const SolarTerm& point : almanac.seasonalPoints) {
    if (chr::year_month_day{point.day}.year() != chr::year{year}) continue;
    if (written == std::size(kSeasonalLongitudes) ||
        point.longitude != kSeasonalLongitudes[written]) {
      throw std::logic_error("almanac: the seasonal points of " + std::to_string(year) +
                             " are out of order");
    }
    AppendMonthDay(out, point.day);
    ++written;
  }
  if (written != std::size(kSeasonalLongitudes)) {
    throw std::logic_error("almanac: seasonal points missing in " + std::to_string(year));
  }
  out += '\n';
}

void AppendMonths(std::string& out, const Almanac& almanac, int year) {
  const auto& months = almanac.months;
  const chr::sys_days december31{chr::year{year} / chr::December / 31};
  // The month in progress on 31 December of the year before: its new moon dates the noon
  // moon age of the year's first days.
  const chr::sys_days eve{chr::year{year - 1} / chr::December / 31};
  auto month =
      std::upper_bound(months.begin(), months.end(), eve,
                       [](chr::sys_days day, const LunarMonth& m) { return day < m.first; });
  if (month == months.begin()) throw std::logic_error("almanac: no month before the year");
  --month;
  out += "saku=";
  for (;; ++month) {
    if (month + 1 == months.end()) throw std::logic_error("almanac: months end before the year");
    const int minute = JstMinuteOfDay(month->newMoonJdUt);
    const std::array<int, 3> quarters =
        QuarterDays(almanac.quarters, month->first, (month + 1)->first);
    const chr::year_month_day date{month->first};
    char group[32];
    std::snprintf(group, sizeof group, "%02u%02u%02d%02d%02d%c%c%c%c",
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  minute / 60, minute % 60, month->number, month->leap ? 'L' : '-',
                  QuarterDigit(quarters, 0), QuarterDigit(quarters, 1), QuarterDigit(quarters, 2));
    out += group;
    if (month->first > december31) break;
  }
  out += '\n';
}

int Modulo6(long long value) {
  return static_cast<int>(((value % 6) + 6) % 6);
}

}  // namespace

chr::sys_days JstDay(double jdUt) {
  const double days = jdUt - kUnixEpochJd + 9.0 / 24.0;
  return chr::sys_days{chr::days{static_cast<long long>(std::floor(days))}};
}

int Rokuyo(int month, int day) {
  return (month + day + 4) % 6;
}

Almanac ComputeAlmanac(int firstYear, int lastYear) {
  if (firstYear > lastYear) throw std::invalid_argument("almanac: the years run backwards");
  // From the autumn before, to find the solstice month that 1 January falls after, to the
  // winter solstice after the last year, which settles whether its last month is a leap month.
  const double from = JulianDate(chr::sys_days{chr::year{firstYear - 1} / chr::October / 1});
  const double to = JulianDate(chr::sys_days{chr::year{lastYear + 2} / chr::February / 1});
  Almanac almanac{firstYear, lastYear, ComputeTerms(from, to), {}, ComputeNewMoons(from, to),
                  {},        {}};
  almanac.seasonalPoints = ComputeSeasonalPoints(almanac.terms);
  almanac.quarters = ComputeQuarters(almanac.newMoons);
  almanac.months = NumberMonths(almanac.newMoons, almanac.terms);
  return almanac;
}

std::string FormatSections(const Almanac& almanac) {
  // The terms of a year in the table's order, from 小寒 (285°) to 冬至 (270°).
  constexpr int kFirstTermOfYear = 285;
  std::string out;
  for (int year = almanac.firstYear; year <= almanac.lastYear; ++year) {
    const chr::sys_days january1{chr::year{year} / chr::January / 1};
    const chr::sys_days december31{chr::year{year} / chr::December / 31};

    out.append("[")
        .append(std::to_string(year))
        .append("]\nseki=");  // not "[" + …: GCC 12 -Wrestrict
    int expected = kFirstTermOfYear;
    int written = 0;
    for (const SolarTerm& term : almanac.terms) {
      if (term.day < january1 || term.day > december31) continue;
      if (term.longitude != expected) {
        throw std::logic_error("almanac: the terms of " + std::to_string(year) +
                               " are out of order");
      }
      AppendMonthDay(out, term.day);
      expected = (expected + 15) % 360;
      ++written;
    }
    if (written != 24) throw std::logic_error("almanac: not 24 terms in " + std::to_string(year));

    out += "\nroku=";
    const auto& months = almanac.months;
    auto month =
        std::upper_bound(months.begin(), months.end(), january1,
                         [](chr::sys_days day, const LunarMonth& m) { return day < m.first; });
    if (month == months.begin()) throw std::logic_error("almanac: no month before 1 January");
    --month;
    // 1 January carries on the count of the month it falls in.
    chr::sys_days anchor = january1;
    int k = Modulo6(Rokuyo(month->number, 1) + (january1 - month->first).count());
    out += "0101";
    out += Digit(k);
    for (++month; month != months.end() && month->first <= december31; ++month) {
      const int start = Rokuyo(month->number, 1);
      // A leap month whose first day would carry on the count anyway is not listed.
      if (start == Modulo6(k + (month->first - anchor).count())) continue;
      anchor = month->first;
      k = start;
      AppendMonthDay(out, anchor);
      out += Digit(k);
    }
    if (month == months.end()) throw std::logic_error("almanac: months end before the year does");
    out += '\n';
    AppendSeasonalPoints(out, almanac, year);
    AppendMonths(out, almanac, year);
  }
  return out;
}

}  // namespace tsukio::almanac
