// The moon's picture, counted in pixels: how much of its disc is lit, and on which side.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

#include "tests/support/recording_painter.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

struct Lit {
  int disc = 0;         // pixels of the disc, lit or not
  double fraction = 0;  // of the disc
  double side = 0;      // the lit pixels' mean distance right of the centre, in pixels
};

Lit CountLit(const Image& picture) {
  Lit lit;
  int count = 0;
  double sumX = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.at(x, y);
      if ((pixel >> 24) == 0) continue;
      ++lit.disc;
      const Colour colour =
          Colour::FromRgb((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
      if (colour == glyph_colour::kMoonLit) {
        ++count;
        sumX += x + 0.5 - picture.width / 2.0;
      }
    }
  }
  lit.fraction = lit.disc == 0 ? 0 : static_cast<double>(count) / lit.disc;
  lit.side = count == 0 ? 0 : sumX / count;
  return lit;
}

Glyph MoonAt(std::optional<double> cycle) {
  testing::RecordingPainter painter;
  const int larger[] = {64};
  GlyphList list;
  AddMoonGlyph(list, cycle, {painter, 96, larger});
  EXPECT_TRUE(painter.runs.empty());  // drawn without text
  return std::move(list.at(0));
}

// The lit area follows the terminator ellipse, (1 − cos 2π·cycle) / 2 of the disc, lit from
// the right while the moon waxes and from the left while it wanes. The crescent tells an
// ellipse from a straight cut, which would light half as much.
TEST(MoonGlyph, LitFractionAndSideThroughTheCycle) {
  const struct {
    double cycle;
    double fraction;
    int side;  // +1 right, −1 left, 0 none or all
  } cases[] = {
      {0.0, 0.0, 0},     // 新月
      {0.1, 0.095, +1},  // a waxing crescent
      {0.25, 0.5, +1},   // 上弦
      {0.5, 1.0, 0},     // 満月
      {0.75, 0.5, -1},   // 下弦
  };
  for (const auto& c : cases) {
    const Glyph moon = MoonAt(c.cycle);
    for (const Image& picture : {GlyphImage(moon), moon.larger.at(0)}) {
      const Lit lit = CountLit(picture);
      const double tolerance = picture.width == 16 ? 0.07 : 0.02;
      EXPECT_NEAR(lit.fraction, c.fraction, tolerance) << c.cycle << " at " << picture.width;
      if (c.side > 0) {
        EXPECT_GT(lit.side, picture.width / 8.0) << c.cycle;
      } else if (c.side < 0) {
        EXPECT_LT(lit.side, -picture.width / 8.0) << c.cycle;
      } else {
        EXPECT_NEAR(lit.side, 0, 0.5) << c.cycle;
      }
      // The whole disc, whatever the phase: a new moon is a dark disc, not a hole.
      EXPECT_GT(lit.disc, 0.85 * std::numbers::pi * picture.width * picture.width / 4);
    }
  }
}

// A day the almanac does not know shows no phase: an outline with nothing lit and nothing
// dark inside it.
TEST(MoonGlyph, AnUnknownDayIsAnEmptyOutline) {
  const Glyph moon = MoonAt(std::nullopt);
  for (const Image& picture : {GlyphImage(moon), moon.larger.at(0)}) {
    EXPECT_EQ(CountLit(picture).fraction, 0);
    const int middle = picture.width / 2;
    EXPECT_EQ(picture.at(middle, middle) >> 24, 0u) << picture.width;
    EXPECT_GT(CountLit(picture).disc, 0) << picture.width;
  }
}

}  // namespace
}  // namespace tsukio
