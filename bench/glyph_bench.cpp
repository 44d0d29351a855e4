// Cost of drawing the tray's pictures with the real painter (offscreen Qt).
#include <benchmark/benchmark.h>

#include "platform/qt/qt_text_painter.h"
#include "tray/glyphs.h"

namespace {

using namespace tsukio;

void BM_AddDateGlyph(benchmark::State& state) {
  QtTextPainter painter;
  const GlyphContext context{painter, 96};
  for (auto _ : state) {
    GlyphList list;
    AddDateGlyph(list, "23", true, day_colour::kHoliday, context);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_AddDateGlyph);

void BM_AddTextGlyph(benchmark::State& state) {
  QtTextPainter painter;
  const GlyphContext context{painter, 96};
  for (auto _ : state) {
    GlyphList list;
    AddTextGlyph(list, "59", true, glyph_colour::kClock, context);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_AddTextGlyph);

// The seven pictures of a full tray row: month, day, weekday, hour, minute, week, status.
void BM_FullTrayRow(benchmark::State& state) {
  QtTextPainter painter;
  const GlyphContext context{painter, 96};
  for (auto _ : state) {
    GlyphList list;
    AddDateGlyph(list, "12", true, day_colour::kWeekday, context);
    AddDateGlyph(list, "23", true, day_colour::kWeekday, context);
    AddDateGlyph(list, "水", true, day_colour::kWeekday, context);
    AddTextGlyph(list, "13", true, glyph_colour::kClock, context);
    AddTextGlyph(list, "59", true, glyph_colour::kClock, context);
    AddTextGlyph(list, "52", true, glyph_colour::kWeekNumber, context);
    AddTextGlyph(list, "ok", true, glyph_colour::kSyncOk, context);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_FullTrayRow);

}  // namespace
