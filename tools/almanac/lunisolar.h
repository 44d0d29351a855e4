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
  int longitude;  // a multiple of 15°; those of 30° are the principal terms (中気)
  double jdUt;
  std::chrono::sys_days day;  // JST
};

struct NewMoon {
  double jdUt;
  std::chrono::sys_days day;  // JST: the first day of a lunisolar month
};

struct LunarMonth {
  std::chrono::sys_days first;
  int number;  // 1 to 12
  bool leap;   // 閏: a leap month takes the number of the month before it
};

struct Almanac {
  int firstYear;
  int lastYear;
  // In time order, covering the years from a little before firstYear to a little after
  // lastYear (as far as numbering the months requires).
  std::vector<SolarTerm> terms;
  std::vector<NewMoon> newMoons;
  std::vector<LunarMonth> months;
};

// Computes the terms, new moons and lunisolar months for the years. Throws
// std::runtime_error where the calendar's rules cannot number the months (see the .cpp).
Almanac ComputeAlmanac(int firstYear, int lastYear);

// The rokuyō index of a lunisolar date: 0 先勝, 1 友引, 2 先負, 3 仏滅, 4 大安, 5 赤口.
int Rokuyo(int month, int day);

// The almanac table's sections for almanac.firstYear … lastYear: "[YYYY]", "seki=" with the
// 24 term dates from 小寒 to 冬至, "roku=" with 1 January and each month start that breaks
// the rokuyō count; LF line ends.
std::string FormatSections(const Almanac& almanac);

}  // namespace tsukio::almanac
