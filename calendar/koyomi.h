#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a paper 日めくり prints for a day besides the rokuyō and the solar term: the 旧暦 date,
// the 干支, the 雑節 and the moon. All of it is looked up in the compiled-in almanac table, which
// the generator (tools/almanac) computed; days outside the table's years have none of it.

namespace tsukio {

// A date of the Japanese lunisolar calendar (旧暦).
struct LunisolarDate {
  int month = 0;           // 1 to 12
  int day = 0;             // 1 to 30
  bool leapMonth = false;  // 閏: the month repeats the number of the one before it
  bool longMonth = false;  // 大, 30 days; otherwise 小, 29
};

// The phases a calendar names, each on the JST day that holds its instant.
enum class MoonPhase : std::uint8_t { kNewMoon, kFirstQuarter, kFullMoon, kLastQuarter };

// The 雑節 as the National Astronomical Observatory's almanac defines them, plus the two that
// calendars commonly print (二百二十日 and the 丑 days of each 土用). In the order a day lists
// them.
enum class SeasonalDay : std::uint8_t {
  kSetsubun,           // 節分: the day before 立春
  kHiganBegins,        // 彼岸入り: 3 days before 春分 or 秋分
  kHiganEnds,          // 彼岸明け: 3 days after
  kEightyEighthNight,  // 八十八夜: 立春 + 87 days
  kNyubai,             // 入梅: the Sun at 80°
  kHangesho,           // 半夏生: the Sun at 100°
  kDoyoBegins,         // 土用入り: the Sun at 297°, 27°, 117° or 207°
  kDoyoOxDay,  // 土用の丑の日: each 丑 day from 土用入り to the eve of the next 立春,
               // 立夏, 立秋 or 立冬
  kTwoHundredTenthDay,     // 二百十日: 立春 + 209 days
  kTwoHundredTwentiethDay  // 二百二十日: 立春 + 219 days
};

// The 雑節 that fall on one day (at most a few).
class SeasonalDays {
 public:
  void Add(SeasonalDay day) { bits_ |= Bit(day); }
  bool Contains(SeasonalDay day) const { return (bits_ & Bit(day)) != 0; }
  bool Empty() const { return bits_ == 0; }
  std::vector<SeasonalDay> List() const;
  friend bool operator==(SeasonalDays, SeasonalDays) = default;

 private:
  static std::uint16_t Bit(SeasonalDay day) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(day));
  }
  std::uint16_t bits_ = 0;
};

struct Koyomi {
  LunisolarDate lunisolar;
  int daySexagenary = 0;   // 干支 of the day: 0 甲子 … 59 癸亥
  int yearSexagenary = 0;  // 干支 of the (Gregorian) year, changing on 1 January
  // 正午月齢 in tenths of a day: the time from the last new moon to 12:00 JST, rounded. A new
  // moon in the afternoon leaves its day with the age of the cycle before.
  int noonMoonAgeTenths = 0;
  std::optional<MoonPhase> phase;  // on the day that holds the instant
  SeasonalDays seasonalDays;
};

// The day's entries; none outside the table's years (1900-01-01 … 2100-12-31).
std::optional<Koyomi> LookUpKoyomi(std::chrono::year_month_day date);

// The words, as people read them.
std::string_view SexagenaryName(int index);                // "甲子"
std::string_view MoonPhaseName(MoonPhase phase);           // "新月", "上弦", "満月", "下弦"
std::string_view SeasonalDayName(SeasonalDay day);         // "節分", …, "土用の丑の日"
std::string LunisolarDateText(const LunisolarDate& date);  // "11月1日", "閏4月1日"
std::string MoonAgeText(int tenths);                       // "12.3"

// The day icon's and the day hints' addition after the rokuyō and the solar term, e.g.
// "　旧11月1日　甲子" or "　旧6月3日　乙丑　土用入り・土用の丑の日"; empty outside the table.
std::string KoyomiTipText(std::chrono::year_month_day date);

// One line of `tsukio-cal koyomi`, without its line end: date, 旧暦 date, 大 or 小, rokuyō, 干支
// of the day, 正午月齢, solar term (equinoxes included) or "", phase or "", 雑節 joined by "・" or
// "", separated by tabs. None outside the table.
std::optional<std::string> KoyomiLine(std::chrono::year_month_day date);

}  // namespace tsukio
