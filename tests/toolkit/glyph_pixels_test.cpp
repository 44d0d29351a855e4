// The finished pictures, drawn by the real painter.
#include <gtest/gtest.h>

#include <string>

#include "platform/qt/qt_text_painter.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

Glyph DateGlyph(std::string_view text, Colour colour, int dpi = 96) {
  QtTextPainter painter;
  GlyphList list;
  AddDateGlyph(list, text, true, colour, {painter, dpi});
  return list.at(0);
}

Glyph TextGlyph(std::string_view text, Colour colour, int dpi = 96) {
  QtTextPainter painter;
  GlyphList list;
  AddTextGlyph(list, text, true, colour, {painter, dpi});
  return list.at(0);
}

int CountPixels(const Glyph& glyph, std::uint32_t rgb) {
  int n = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) n += !glyph.IsTransparent(x, y) && glyph.pixels.at(x, y) == rgb;
  }
  return n;
}

// Pixels the text changed on the page: neither transparent nor the page's own colour.
int InkPixels(const Glyph& glyph) {
  int n = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      n += !glyph.IsTransparent(x, y) && glyph.pixels.at(x, y) != CalendarPage().at(x, y);
    }
  }
  return n;
}

TEST(DateGlyphPixels, PureBlackIsTheTransparentKey) {
  const Glyph plain = DateGlyph("8", day_colour::kWeekday);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(plain.IsTransparent(15, i), i != 2) << "right column, row " << i;
    EXPECT_EQ(plain.IsTransparent(i, 15), i != 1) << "bottom row, column " << i;
  }
  EXPECT_TRUE(plain.IsTransparent(0, 0));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(plain.IsTransparent(x, y), plain.pixels.at(x, y) == 0) << x << ", " << y;
    }
  }
  // Text of pure black vanishes with the key; one step above black stays.
  EXPECT_EQ(CountPixels(DateGlyph("8", Colour::FromRgb(0, 0, 0)), 0x000000), 0);
  EXPECT_EQ(InkPixels(DateGlyph("8", Colour::FromRgb(0, 0, 0))) <
                InkPixels(DateGlyph("8", Colour::FromRgb(0, 0, 1))),
            true);
  EXPECT_GT(CountPixels(DateGlyph("8", Colour::FromRgb(0, 0, 1)), 0x000001), 10);
}

TEST(DateGlyphPixels, TextStaysOnThePageInTheDayColour) {
  std::vector<std::string> texts = {"日", "月", "火", "水", "木", "金", "土", "Sun"};
  for (int n = 1; n <= 31; ++n) texts.push_back(std::to_string(n));
  for (int dpi : {96, 120}) {
    for (const std::string& text : texts) {
      const Glyph glyph = DateGlyph(text, day_colour::kHoliday, dpi);
      SCOPED_TRACE(text + " at " + std::to_string(dpi) + " dpi");
      // The top of the binding strip is never drawn over.
      for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 16; ++x) ASSERT_EQ(glyph.pixels.at(x, y), CalendarPage().at(x, y));
      }
      EXPECT_GE(CountPixels(glyph, 0xFF00FF), 5);  // solid strokes in exactly the holiday colour
      EXPECT_GT(InkPixels(glyph), 15);
    }
  }
  // Each day colour comes through the composition unchanged.
  EXPECT_GT(CountPixels(DateGlyph("15", day_colour::kSunday), 0xFF0000), 8);
  EXPECT_GT(CountPixels(DateGlyph("15", day_colour::kSaturday), 0x0000FF), 8);
  EXPECT_GT(CountPixels(DateGlyph("15", day_colour::kWeekday), 0x00000F), 8);
}

TEST(TextGlyphPixels, RoundedSquareWithTransparentCorners) {
  for (const char* text : {"7", "13", "23", "59", "ok", "sv", "pc"}) {
    SCOPED_TRACE(text);
    const Glyph glyph = TextGlyph(text, glyph_colour::kClock);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}}) {
      EXPECT_TRUE(glyph.IsTransparent(x, y));
    }
    int transparent = 0;
    for (int i = 0; i < 256; ++i) transparent += glyph.transparent[static_cast<std::size_t>(i)];
    EXPECT_EQ(transparent, 4);
    // The outline is whole, even under the text's white box.
    for (int i = 1; i < 15; ++i) {
      EXPECT_EQ(glyph.pixels.at(i, 0), 0u);
      EXPECT_EQ(glyph.pixels.at(i, 15), 0u);
      EXPECT_EQ(glyph.pixels.at(0, i), 0u);
      EXPECT_EQ(glyph.pixels.at(15, i), 0u);
    }
    // Black text stays visible inside.
    int ink = 0;
    for (int y = 1; y < 15; ++y) {
      for (int x = 1; x < 15; ++x) ink += (glyph.pixels.at(x, y) & 0xC0C0C0) == 0;
    }
    EXPECT_GT(ink, 8);
  }
  EXPECT_GT(CountPixels(TextGlyph("50", glyph_colour::kWeekNumber), 0x0000FF), 8);
  EXPECT_GT(CountPixels(TextGlyph("sv", glyph_colour::kSyncFailed), 0x800080), 8);
  EXPECT_EQ(CountPixels(TextGlyph("ok", glyph_colour::kSyncOk), kWhite) > 100, true);
}

}  // namespace
}  // namespace tsukio
