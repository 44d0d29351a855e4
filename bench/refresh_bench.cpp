// One refresh of the whole tray row on the headless desktop: every display option on.
#include <benchmark/benchmark.h>

#include "platform/qt/qt_text_painter.h"
#include "tests/support/headless_desktop.h"

namespace {

using namespace tsukio;

constexpr const char* kEverything = "[Pageleaf]\nMonth=1\nWeek=1\nTime=1\nNumber=1\nEtc=1\n";

// The refresh's own work: dates, holidays, tooltips, the icon set; text is only recorded.
void BM_RefreshTrayIcons(benchmark::State& state) {
  testing::HeadlessDesktop desktop(testing::At(2026, 5, 4, 13, 5));
  desktop.settings.contents = kEverything;
  TrayCalendar calendar(desktop.desktop());
  calendar.Start();
  for (auto _ : state) {
    calendar.RefreshTrayIcons();
    desktop.tray.log.clear();
    desktop.painter.runs.clear();
  }
}
BENCHMARK(BM_RefreshTrayIcons);

// The same with the real painter drawing every picture.
void BM_RefreshTrayIconsDrawn(benchmark::State& state) {
  testing::HeadlessDesktop desktop(testing::At(2026, 5, 4, 13, 5));
  QtTextPainter painter;
  desktop.settings.contents = kEverything;
  Desktop real{desktop,        desktop.tray,     desktop.minuteTimer(), painter,
               desktop.window, desktop.settings, desktop.autostart};
  TrayCalendar calendar(real);
  calendar.Start();
  for (auto _ : state) {
    calendar.RefreshTrayIcons();
    desktop.tray.log.clear();
  }
}
BENCHMARK(BM_RefreshTrayIconsDrawn);

}  // namespace
