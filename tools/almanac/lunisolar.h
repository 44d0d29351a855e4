#pragma once

#include <chrono>
#include <string>
#include <vector>

// The Japanese lunisolar calendar and the solar terms, worked out from the instants of the
// new moons and of the Sun's passage through each multiple of 15° of longitude, dated in
// Japan Standard Time. The result is written as the almanac table the program compiles in.

namespace tsukio::almanac {

// The day on which a UT instant falls in Japan Standard Time (UTC+9).
std::chrono::sys_days JstDay(double jdUt);

struct SolarTerm {
  int longitude;  // a multiple of 15° (those of 30° are the principal terms, 中気), or one of
                  // kSeasonalLongitudes
  double jdUt;
  std::chrono::sys_days day;  // JST
};

struct NewMoon {
  double jdUt;
  std::chrono::sys_days day;  // JST: the first day of a lunisolar month
};

// The Moon's quarters after a new moon: 上弦 (90° east of the Sun), 望 (180°), 下弦 (270°).
struct MoonQuarter {
  int elongation;
  double jdUt;
  std::chrono::sys_days day;  // JST
};

struct LunarMonth {
  std::chrono::sys_days first;
  int number;  // 1 to 12
  bool leap;   // 閏: a leap month takes the number of the month before it
  double newMoonJdUt;
};

// The Sun's longitudes that start the 雑節 which are not solar terms, in the order a calendar
// year meets them: 冬の土用 (297°), 春の土用 (27°), 入梅 (80°), 半夏生 (100°), 夏の土用 (117°)
// and 秋の土用 (207°).
inline constexpr int kSeasonalLongitudes[] = {297, 27, 80, 100, 117, 207};

// The first days of a lunisolar month that can hold 上弦, 望 and 下弦 (a new moon just before
// midnight and a quick Moon bring them that early).
inline constexpr int kEarliestQuarterDays[] = {7, 14, 22};

struct Almanac {
  int firstYear;
  int lastYear;
  // In time order, covering the years from a little before firstYear to a little after
  // lastYear (as far as numbering the months requires).
  std::vector<SolarTerm> terms;
  std::vector<SolarTerm> seasonalPoints;  // at kSeasonalLongitudes
  std::vector<NewMoon> newMoons;
  std::vector<MoonQuarter> quarters;
  std::vector<LunarMonth> months;
};

// Computes the terms, new moons and lunisolar months for the years. Throws
// std::runtime_error where the calendar's rules cannot number the months (see the .cpp).
Almanac ComputeAlmanac(int firstYear, int lastYear);

// The rokuyō index of a lunisolar date: 0 先勝, 1 友引, 2 先負, 3 仏滅, 4 大安, 5 赤口.
int Rokuyo(int month, int day);

// The almanac table's sections for almanac.firstYear … lastYear, LF line ends:
//   [YYYY]
//   seki=  the 24 term dates, MMDD, from 小寒 to 冬至
//   roku=  MMDD and the rokuyō index of 1 January and of each month start that breaks the count
//   zatsu= the dates, MMDD, of the Sun at kSeasonalLongitudes
//   saku=  one group of 14 characters per lunisolar month, from the month in progress on
//          31 December of the year before to the first one that begins after the year:
//          MMDD hhmm  the JST date (its first day) and time, cut to the minute, of its new moon
//          NN         its number, 01 to 12
//          L or -     a leap month (閏) or not
//          Q F L      its days holding 上弦, 望 and 下弦, each as the days after
//                     kEarliestQuarterDays (0 to 9)
std::string FormatSections(const Almanac& almanac);

}  // namespace tsukio::almanac
