// Cost of building the calendar window's grid, as opening or stepping the window does.
#include <benchmark/benchmark.h>

#include "calwindow/month_grid.h"

namespace {

namespace chr = std::chrono;
using namespace tsukio;

// Hints and almanac on, week column shown, over the months of the almanac's first years.
void BM_BuildMonthGrid(benchmark::State& state) {
  const auto scheme = static_cast<WeekScheme>(state.range(0));
  const chr::year_month_day today = chr::year{2011} / 5 / 10;
  int month = 0;
  for (auto _ : state) {
    const chr::year_month shown =
        chr::year{2009 + month / 12 % 10} / chr::month{static_cast<unsigned>(month % 12 + 1)};
    benchmark::DoNotOptimize(BuildMonthGrid(shown, today, scheme, {true, true}));
    ++month;
  }
}
BENCHMARK(BM_BuildMonthGrid)->Arg(0)->Arg(1)->ArgName("usa");

}  // namespace
