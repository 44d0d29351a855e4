#include "calendar/koyomi.h"

#include <array>
#include <memory>
#include <mutex>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "resources/resources.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

// Positions in the "seki=" line, which runs from 小寒 to 冬至.
constexpr std::size_t kRisshun = 2;
constexpr std::size_t kShunbun = 5;
constexpr std::size_t kRikka = 8;
constexpr std::size_t kRisshu = 14;
constexpr std::size_t kShubun = 17;
constexpr std::size_t kRitto = 20;
constexpr std::size_t kSolarTermCount = 24;

// Positions in the "zatsu=" line: the Sun at 297°, 27°, 80°, 100°, 117° and 207°.
constexpr std::size_t kWinterDoyo = 0;
constexpr std::size_t kSpringDoyo = 1;
constexpr std::size_t kNyubai = 2;
constexpr std::size_t kHangesho = 3;
constexpr std::size_t kSummerDoyo = 4;
constexpr std::size_t kAutumnDoyo = 5;
constexpr std::size_t kSeasonalPointCount = 6;

// A "saku=" group: MMDD hhmm NN L|- Q F L (see tools/almanac/lunisolar.h); the quarters'
// digits count from these days of the month.
constexpr std::size_t kMonthGroupSize = 14;
constexpr std::array<int, 3> kEarliestQuarterDays = {7, 14, 22};

constexpr int kNoon = 12 * 60;            // minutes
constexpr int kMinutesPerTenthDay = 144;  // 1440 / 10

// 2000-01-01 was 戊午, the 55th day (index 54) of the cycle; 4 CE was a 甲子 year.
constexpr chr::sys_days kSexagenaryEpoch{chr::year{2000} / 1 / 1};
constexpr int kSexagenaryAtEpoch = 54;
constexpr int kBranchOx = 1;  // 丑 among the twelve branches from 子

int Modulo(long long value, int divisor) {
  return static_cast<int>(((value % divisor) + divisor) % divisor);
}

int DaySexagenary(chr::sys_days day) {
  return Modulo((day - kSexagenaryEpoch).count() + kSexagenaryAtEpoch, 60);
}

// A decimal field of the table, or -1 where it holds anything else.
int Digits(std::string_view text) {
  if (text.empty()) return -1;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<chr::sys_days> MonthDay(int year, std::string_view mmdd) {
  const int month = Digits(mmdd.substr(0, 2));
  const int day = Digits(mmdd.substr(2, 2));
  if (month < 0 || day < 0) return std::nullopt;
  const chr::year_month_day date{chr::year{year}, chr::month(static_cast<unsigned>(month)),
                                 chr::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  return chr::sys_days{date};
}

// The days of a line of MMDD groups, or none when the line is not `count` of them.
template <std::size_t count>
std::optional<std::array<chr::sys_days, count>> Dates(int year, std::string_view line) {
  if (line.size() != count * 4) return std::nullopt;
  std::array<chr::sys_days, count> dates;
  for (std::size_t i = 0; i < count; ++i) {
    const auto date = MonthDay(year, line.substr(i * 4, 4));
    if (!date) return std::nullopt;
    dates[i] = *date;
  }
  return dates;
}

struct MonthStart {
  chr::sys_days first;
  int newMoonMinute;  // JST, cut to the minute
  int number;
  bool leap;
  std::array<int, 3> quarterDays;  // 上弦, 望, 下弦
};

// The "saku=" line's months, dated: the first group lies in December of the year before, and
// each turn from December to January moves on a year.
std::vector<MonthStart> Months(int year, std::string_view line) {
  std::vector<MonthStart> months;
  if (line.size() % kMonthGroupSize != 0) return {};
  int groupYear = year - 1;
  int previousMonth = 12;
  for (std::size_t at = 0; at < line.size(); at += kMonthGroupSize) {
    const std::string_view group = line.substr(at, kMonthGroupSize);
    const int month = Digits(group.substr(0, 2));
    if (month < previousMonth) ++groupYear;
    previousMonth = month;
    const auto first = MonthDay(groupYear, group.substr(0, 4));
    const int hour = Digits(group.substr(4, 2));
    const int minute = Digits(group.substr(6, 2));
    const int number = Digits(group.substr(8, 2));
    const char leap = group[10];
    std::array<int, 3> quarters{};
    for (std::size_t q = 0; q < quarters.size(); ++q) {
      const int digit = Digits(group.substr(11 + q, 1));
      quarters[q] = digit < 0 ? -1 : kEarliestQuarterDays[q] + digit;
    }
    if (!first || hour < 0 || hour > 23 || minute < 0 || minute > 59 || number < 1 || number > 12 ||
        (leap != 'L' && leap != '-') || quarters[0] < 1 || quarters[1] < 1 || quarters[2] < 1 ||
        (!months.empty() && *first <= months.back().first)) {
      return {};
    }
    months.push_back({*first, hour * 60 + minute, number, leap == 'L', quarters});
  }
  return months;
}

// A day's answers, worked out once per year from the section's lines.
struct DayFacts {
  bool known = false;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  bool leapMonth = false;
  bool longMonth = false;
  std::optional<MoonPhase> phase;
  std::uint16_t noonMoonAgeTenths = 0;
  SeasonalDays seasonalDays;
};

struct YearSection {
  int year = 0;
  std::string_view seki;
  std::string_view zatsu;
  std::string_view saku;
  std::once_flag indexing;
  // Made at the year's first lookup: the table holds two centuries, a tooltip asks for one year.
  std::unique_ptr<std::array<DayFacts, 366>> days;
};

void IndexMonths(YearSection& section, chr::sys_days january1, chr::sys_days end) {
  const std::vector<MonthStart> months = Months(section.year, section.saku);
  if (months.size() < 2 || months.front().first >= january1 || months.back().first < end) return;
  std::size_t m = 0;
  for (chr::sys_days d = january1; d < end; d += chr::days{1}) {
    while (months[m + 1].first <= d) ++m;
    const MonthStart& month = months[m];
    const int day = static_cast<int>((d - month.first).count()) + 1;
    // The new moon before noon: this month's, unless it comes in the afternoon of its first
    // day. The instant is taken at the middle of its minute, which keeps the age off the
    // rounding edges: elapsed half-minutes are odd, the edges (72 minutes past each tenth of a
    // day) even.
    const MonthStart& cycle = day == 1 && month.newMoonMinute >= kNoon ? months[m - 1] : month;
    const long long halfMinutes =
        2 * ((d - cycle.first).count() * 1440 + kNoon - cycle.newMoonMinute) - 1;
    DayFacts& facts = (*section.days)[static_cast<std::size_t>((d - january1).count())];
    facts.known = true;
    facts.month = static_cast<std::uint8_t>(month.number);
    facts.day = static_cast<std::uint8_t>(day);
    facts.leapMonth = month.leap;
    facts.longMonth = (months[m + 1].first - month.first).count() == 30;
    facts.noonMoonAgeTenths =
        static_cast<std::uint16_t>((halfMinutes + kMinutesPerTenthDay) / (2 * kMinutesPerTenthDay));
    if (day == 1) facts.phase = MoonPhase::kNewMoon;
    if (day == month.quarterDays[0]) facts.phase = MoonPhase::kFirstQuarter;
    if (day == month.quarterDays[1]) facts.phase = MoonPhase::kFullMoon;
    if (day == month.quarterDays[2]) facts.phase = MoonPhase::kLastQuarter;
  }
}

void IndexSeasonalDays(YearSection& section, chr::sys_days january1, chr::sys_days end) {
  const auto terms = Dates<kSolarTermCount>(section.year, section.seki);
  const auto points = Dates<kSeasonalPointCount>(section.year, section.zatsu);
  if (!terms || !points) return;
  const auto mark = [&](chr::sys_days day, SeasonalDay what) {
    if (day >= january1 && day < end) {
      (*section.days)[static_cast<std::size_t>((day - january1).count())].seasonalDays.Add(what);
    }
  };
  const chr::sys_days risshun = (*terms)[kRisshun];
  mark(risshun - chr::days{1}, SeasonalDay::kSetsubun);
  for (const std::size_t equinox : {kShunbun, kShubun}) {
    mark((*terms)[equinox] - chr::days{3}, SeasonalDay::kHiganBegins);
    mark((*terms)[equinox] + chr::days{3}, SeasonalDay::kHiganEnds);
  }
  mark(risshun + chr::days{87}, SeasonalDay::kEightyEighthNight);
  mark(risshun + chr::days{209}, SeasonalDay::kTwoHundredTenthDay);
  mark(risshun + chr::days{219}, SeasonalDay::kTwoHundredTwentiethDay);
  mark((*points)[kNyubai], SeasonalDay::kNyubai);
  mark((*points)[kHangesho], SeasonalDay::kHangesho);
  // Each 土用 runs to the eve of the season's first term.
  constexpr std::array<std::array<std::size_t, 2>, 4> kDoyo = {{{kWinterDoyo, kRisshun},
                                                                {kSpringDoyo, kRikka},
                                                                {kSummerDoyo, kRisshu},
                                                                {kAutumnDoyo, kRitto}}};
  for (const auto& [point, nextSeason] : kDoyo) {
    mark((*points)[point], SeasonalDay::kDoyoBegins);
    for (chr::sys_days d = (*points)[point]; d < (*terms)[nextSeason]; d += chr::days{1}) {
      if (DaySexagenary(d) % 12 == kBranchOx) mark(d, SeasonalDay::kDoyoOxDay);
    }
  }
}

void IndexDays(YearSection& section) {
  section.days = std::make_unique<std::array<DayFacts, 366>>();
  const chr::sys_days january1{chr::year{section.year} / 1 / 1};
  const chr::sys_days end{chr::year{section.year + 1} / 1 / 1};
  IndexMonths(section, january1, end);
  IndexSeasonalDays(section, january1, end);
}

std::string_view StripCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The table's year sections by year; each is indexed by day at its first lookup.
class KoyomiTable {
 public:
  explicit KoyomiTable(std::string_view text) {
    std::vector<std::unique_ptr<YearSection>> found;
    YearSection* current = nullptr;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      const std::string_view line = StripCr(text.substr(start, end - start));
      start = end + 1;
      if (line.size() == 6 && line.front() == '[' && line.back() == ']') {
        const int year = Digits(line.substr(1, 4));
        current = nullptr;
        if (year < 0) continue;
        found.push_back(std::make_unique<YearSection>());
        current = found.back().get();
        current->year = year;
      } else if (current != nullptr) {
        const auto take = [&](std::string_view key, std::string_view& into) {
          if (line.starts_with(key)) into = line.substr(key.size());
        };
        take("seki=", current->seki);
        take("zatsu=", current->zatsu);
        take("saku=", current->saku);
      }
    }
    if (found.empty()) return;
    firstYear_ = found.front()->year;
    for (auto& section : found) {
      const int offset = section->year - firstYear_;
      if (offset < 0) continue;
      if (static_cast<std::size_t>(offset) >= byYear_.size()) {
        byYear_.resize(static_cast<std::size_t>(offset) + 1);
      }
      auto& slot = byYear_[static_cast<std::size_t>(offset)];
      if (!slot) slot = std::move(section);  // the first section of a year wins
    }
  }

  YearSection* Find(int year) {
    const long long offset = static_cast<long long>(year) - firstYear_;
    if (offset < 0 || offset >= static_cast<long long>(byYear_.size())) return nullptr;
    return byYear_[static_cast<std::size_t>(offset)].get();
  }

 private:
  std::vector<std::unique_ptr<YearSection>> byYear_;
  int firstYear_ = 0;
};

KoyomiTable& CompiledTable() {
  static KoyomiTable table(resources::AlmanacTable());
  return table;
}

constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊",
                                                     "己", "庚", "辛", "壬", "癸"};
constexpr std::array<std::string_view, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                        "午", "未", "申", "酉", "戌", "亥"};

}  // namespace

std::vector<SeasonalDay> SeasonalDays::List() const {
  std::vector<SeasonalDay> days;
  for (unsigned i = 0; i <= static_cast<unsigned>(SeasonalDay::kTwoHundredTwentiethDay); ++i) {
    if (Contains(static_cast<SeasonalDay>(i))) days.push_back(static_cast<SeasonalDay>(i));
  }
  return days;
}

std::optional<Koyomi> LookUpKoyomi(chr::year_month_day date) {
  if (!date.ok()) return std::nullopt;
  const int year = static_cast<int>(date.year());
  YearSection* section = CompiledTable().Find(year);
  if (section == nullptr) return std::nullopt;
  std::call_once(section->indexing, [section] { IndexDays(*section); });
  const chr::sys_days day{date};
  const DayFacts& facts =
      (*section->days)[static_cast<std::size_t>((day - chr::sys_days{date.year() / 1 / 1}).count())];
  if (!facts.known) return std::nullopt;
  Koyomi koyomi;
  koyomi.lunisolar = {facts.month, facts.day, facts.leapMonth, facts.longMonth};
  koyomi.daySexagenary = DaySexagenary(day);
  koyomi.yearSexagenary = Modulo(year - 4, 60);
  koyomi.noonMoonAgeTenths = facts.noonMoonAgeTenths;
  koyomi.phase = facts.phase;
  koyomi.seasonalDays = facts.seasonalDays;
  return koyomi;
}

std::string_view SexagenaryName(int index) {
  static const std::array<std::string, 60> names = [] {
    std::array<std::string, 60> all;
    for (std::size_t i = 0; i < all.size(); ++i) {
      all[i].append(kStems[i % 10]).append(kBranches[i % 12]);
    }
    return all;
  }();
  return names[static_cast<std::size_t>(Modulo(index, 60))];
}

std::string_view MoonPhaseName(MoonPhase phase) {
  switch (phase) {
    case MoonPhase::kNewMoon:
      return "新月";
    case MoonPhase::kFirstQuarter:
      return "上弦";
    case MoonPhase::kFullMoon:
      return "満月";
    case MoonPhase::kLastQuarter:
      return "下弦";
  }
  return "";
}

std::string_view SeasonalDayName(SeasonalDay day) {
  switch (day) {
    case SeasonalDay::kSetsubun:
      return "節分";
    case SeasonalDay::kHiganBegins:
      return "彼岸入り";
    case SeasonalDay::kHiganEnds:
      return "彼岸明け";
    case SeasonalDay::kEightyEighthNight:
      return "八十八夜";
    case SeasonalDay::kNyubai:
      return "入梅";
    case SeasonalDay::kHangesho:
      return "半夏生";
    case SeasonalDay::kDoyoBegins:
      return "土用入り";
    case SeasonalDay::kDoyoOxDay:
      return "土用の丑の日";
    case SeasonalDay::kTwoHundredTenthDay:
      return "二百十日";
    case SeasonalDay::kTwoHundredTwentiethDay:
      return "二百二十日";
  }
  return "";
}

std::string LunisolarDateText(const LunisolarDate& date) {
  std::string text = date.leapMonth ? "閏" : "";
  text.append(std::to_string(date.month))
      .append("月")
      .append(std::to_string(date.day))
      .append("日");
  return text;
}

std::string MoonAgeText(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

namespace {

std::string SeasonalDaysText(SeasonalDays days) {
  std::string text;
  for (const SeasonalDay day : days.List()) {
    if (!text.empty()) text += "・";
    text += SeasonalDayName(day);
  }
  return text;
}

}  // namespace

std::string KoyomiTipText(chr::year_month_day date) {
  const std::optional<Koyomi> koyomi = LookUpKoyomi(date);
  if (!koyomi) return "";
  std::string text = "　旧";
  text.append(LunisolarDateText(koyomi->lunisolar))
      .append("　")
      .append(SexagenaryName(koyomi->daySexagenary));
  if (!koyomi->seasonalDays.Empty())
    text.append("　").append(SeasonalDaysText(koyomi->seasonalDays));
  return text;
}

std::optional<std::string> KoyomiLine(chr::year_month_day date) {
  const std::optional<Koyomi> koyomi = LookUpKoyomi(date);
  if (!koyomi) return std::nullopt;
  // The rokuyō and the solar term stay the almanac's own; the 旧暦 date only adds to them.
  const AlmanacEntry almanac = LookUpAlmanac(date);
  const std::string lunisolar = LunisolarDateText(koyomi->lunisolar);
  const std::string age = MoonAgeText(koyomi->noonMoonAgeTenths);
  const std::string seasonal = SeasonalDaysText(koyomi->seasonalDays);
  std::string line = IsoDateText(date);
  for (const std::string_view column :
       {std::string_view{lunisolar}, std::string_view{koyomi->lunisolar.longMonth ? "大" : "小"},
        almanac.rokuyoName, SexagenaryName(koyomi->daySexagenary), std::string_view{age},
        almanac.solarTermName, koyomi->phase ? MoonPhaseName(*koyomi->phase) : std::string_view{},
        std::string_view{seasonal}}) {
    line.append("\t").append(column);
  }
  return line;
}

}  // namespace tsukio
