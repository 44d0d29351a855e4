// One refresh of the whole tray row on the headless desktop: every display option on.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/freetype/freetype_text_painter.h"
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
  FreeTypeTextPainter painter;
  desktop.settings.contents = kEverything;
  Desktop real{desktop, desktop.tray,   desktop.minuteTimer(), desktop.autoUpdateTimer(),
               painter, desktop.window, desktop.settings,      desktop.autostart};
  TrayCalendar calendar(real);
  calendar.Start();
  for (auto _ : state) {
    calendar.RefreshTrayIcons();
    desktop.tray.log.clear();
  }
}
BENCHMARK(BM_RefreshTrayIconsDrawn);

// The yardstick for a refresh: the row's six pictures drawn the plainest way, one bold text
// on a cleared 16 x 16 image each.
void BM_PlainRowDraws(benchmark::State& state) {
  const QString texts[] = {"5", "4", QString::fromUtf8("月"), "13", "5", "19"};
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(12);
  font.setBold(true);
  for (auto _ : state) {
    for (const QString& text : texts) {
      QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      painter.setFont(font);
      painter.drawText(image.rect(), Qt::AlignCenter, text);
      painter.end();
      benchmark::DoNotOptimize(image.constBits());
    }
  }
}
BENCHMARK(BM_PlainRowDraws);

}  // namespace
