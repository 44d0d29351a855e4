// Cost of one call of each calendar lookup, over a spread of real dates.
#include <benchmark/benchmark.h>

#include <vector>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calendar/koyomi.h"
#include "calendar/weeks.h"

namespace {

namespace chr = std::chrono;
using namespace tsukio;

std::vector<chr::year_month_day> DatesOf(int first, int last) {
  std::vector<chr::year_month_day> all;
  for (chr::sys_days d{chr::year{first} / 1 / 1}; d <= chr::sys_days{chr::year{last} / 12 / 31};
       d += chr::days{1}) {
    all.emplace_back(d);
  }
  return all;
}

// Every day of 2009-2018, the years of the first almanac table.
const std::vector<chr::year_month_day>& Days() {
  static const std::vector<chr::year_month_day> days = DatesOf(2009, 2018);
  return days;
}

void BM_LookUpHoliday(benchmark::State& state) {
  const auto& days = Days();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(LookUpHoliday(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_LookUpHoliday);

// The lookup plus the Monday substitute rule, as the tray does it.
void BM_TrayDayMark(benchmark::State& state) {
  const auto& days = Days();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TrayDayMark(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_TrayDayMark);

void BM_IsSubstituteHoliday(benchmark::State& state) {
  const DayMark sunday{"元日", day_colour::kHoliday};
  const DayMark plain{"", day_colour::kWeekday};
  const chr::year_month_day monday = chr::year{2012} / 1 / 2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(IsSubstituteHoliday(monday, plain, sunday));
  }
}
BENCHMARK(BM_IsSubstituteHoliday);

void BM_AlmanacText(benchmark::State& state) {
  const auto& days = Days();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(AlmanacText(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_AlmanacText);

// The same over every year of the table, 1900-2100, in date order.
void BM_AlmanacTextAllYears(benchmark::State& state) {
  static const std::vector<chr::year_month_day> days = DatesOf(1900, 2100);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(AlmanacText(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_AlmanacTextAllYears);

// The 旧暦, 干支, 雑節 and moon of a day, over the same days as BM_AlmanacText and then over
// every year of the table.
void BM_LookUpKoyomi(benchmark::State& state) {
  static const std::vector<chr::year_month_day> days = DatesOf(2009, 2018);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(LookUpKoyomi(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_LookUpKoyomi);

void BM_LookUpKoyomiAllYears(benchmark::State& state) {
  static const std::vector<chr::year_month_day> days = DatesOf(1900, 2100);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(LookUpKoyomi(days[i++ % days.size()]));
  }
}
BENCHMARK(BM_LookUpKoyomiAllYears);

void BM_WeekNumber(benchmark::State& state) {
  const auto scheme = static_cast<WeekScheme>(state.range(0));
  const auto& days = Days();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WeekNumber(days[i++ % days.size()], scheme));
  }
}
BENCHMARK(BM_WeekNumber)->Arg(0)->Arg(1)->ArgName("usa");

}  // namespace
