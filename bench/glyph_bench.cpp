// Cost of drawing the tray's pictures with the real painter.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/freetype/freetype_text_painter.h"
#include "platform/qt/font_substitutions.h"
#include "tray/glyphs.h"

namespace {

using namespace tsukio;

// One text run as the glyphs draw it: the baseline is a bare QPainter drawing the same text
// in the same font onto a fresh 16 x 16 image, the least any painter could do.
const TextRun kRun{"23", 1, 1, "ＭＳ Ｐゴシック", 11, true, Colour::FromRgb(255, 0, 255), 96};

void BM_TextRunBareQPainter(benchmark::State& state) {
  RegisterFontSubstitutions();
  QFont font(QString::fromStdString(kRun.face));
  font.setPixelSize(PixelHeight(kRun.pointSize, kRun.dpi));
  font.setBold(true);
  font.setHintingPreference(QFont::PreferFullHinting);
  const QString text = QString::fromStdString(kRun.text);
  for (auto _ : state) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 255));
    painter.drawText(kRun.x, kRun.y + QFontMetrics(font).ascent(), text);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_TextRunBareQPainter);

void BM_TextRunFreeTypeTextPainter(benchmark::State& state) {
  FreeTypeTextPainter painter;
  for (auto _ : state) {
    Canvas canvas(16);
    canvas.Fill(0xFFFFFF);
    painter.Draw(canvas, kRun);
    benchmark::DoNotOptimize(canvas.rgb.data());
  }
}
BENCHMARK(BM_TextRunFreeTypeTextPainter);

void BM_AddDateGlyph(benchmark::State& state) {
  FreeTypeTextPainter painter;
  const GlyphContext context{painter, 96};
  for (auto _ : state) {
    GlyphList list;
    AddDateGlyph(list, "23", true, day_colour::kHoliday, context);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_AddDateGlyph);

void BM_AddTextGlyph(benchmark::State& state) {
  FreeTypeTextPainter painter;
  const GlyphContext context{painter, 96};
  for (auto _ : state) {
    GlyphList list;
    AddTextGlyph(list, "59", true, glyph_colour::kClock, context);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_AddTextGlyph);

// The seven pictures of a full tray row: month, day, weekday, hour, minute, week, status;
// at 16 pixels only (argument 0) and at every size the tray offers (argument 1).
void BM_FullTrayRow(benchmark::State& state) {
  FreeTypeTextPainter painter;
  const GlyphContext context{
      painter, 96,
      state.range(0) != 0 ? std::span<const int>(kLargerTraySizes) : std::span<const int>()};
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
BENCHMARK(BM_FullTrayRow)->Arg(0)->Arg(1);

}  // namespace
