// The finished pictures, drawn by the real painter.
#include <gtest/gtest.h>

#include <string>

#include "platform/freetype/freetype_text_painter.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

Glyph DateGlyph(std::string_view text, Colour colour, int dpi = 96) {
  FreeTypeTextPainter painter;
  GlyphList list;
  AddDateGlyph(list, text, true, colour, {painter, dpi, kLargerTraySizes});
  return list.at(0);
}

Glyph TextGlyph(std::string_view text, Colour colour, int dpi = 96) {
  FreeTypeTextPainter painter;
  GlyphList list;
  AddTextGlyph(list, text, true, colour, {painter, dpi, kLargerTraySizes});
  return list.at(0);
}

// Where a picture differs from a plain one of its kind: the columns and rows the text covers.
struct InkBox {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};
InkBox Ink(const Image& picture, const Image& plain) {
  InkBox box;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.at(x, y) == plain.at(x, y)) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
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

// Each picture comes at every size, drawn for that size: the text keeps its place on the
// page, in proportion, and nothing of it is cut off at the edges.
TEST(GlyphSizes, LargerPicturesKeepTheLayout) {
  const Glyph blankPage = DateGlyph("Sun", Colour::FromRgb(255, 255, 255));
  const Glyph blankSquare = TextGlyph("ok", Colour::FromRgb(255, 255, 255));
  for (const char* text : {"1", "11", "23", "31", "水"}) {
    const Glyph glyph = DateGlyph(text, day_colour::kHoliday);
    const PictureSet pictures = GlyphPictures(glyph);
    ASSERT_EQ(pictures.size(), 6u);
    const InkBox base = Ink(pictures[0], GlyphPictures(blankPage)[0]);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
      const Image& picture = pictures[i];
      const int size = i == 0 ? 16 : kLargerTraySizes[i - 1];
      SCOPED_TRACE(std::string(text) + " at " + std::to_string(size));
      ASSERT_EQ(picture.width, size);
      ASSERT_EQ(picture.height, size);
      const InkBox box = Ink(picture, GlyphPictures(blankPage)[i]);
      // Below the binding strip, inside the page's edges.
      EXPECT_GE(box.top, 2 * size / 16);
      EXPECT_LT(box.right, size - size / 16);
      EXPECT_LT(box.bottom, size - size / 16);
      // Where the 16-pixel text is, scaled, within two of its pixels.
      EXPECT_NEAR(box.left * 16.0 / size, base.left, 2.0);
      EXPECT_NEAR(box.right * 16.0 / size, base.right, 2.0);
      EXPECT_NEAR(box.bottom * 16.0 / size, base.bottom, 2.0);
    }
  }
  const PictureSet square = GlyphPictures(TextGlyph("59", glyph_colour::kClock));
  for (const Image& picture : square) {
    const int last = picture.width - 1;
    EXPECT_EQ(picture.at(0, 0) >> 24, 0u);
    EXPECT_EQ(picture.at(last, last) >> 24, 0u);
    EXPECT_EQ(picture.at(last / 2, 0), 0xFF000000u);  // the outline
    const InkBox box = Ink(picture, GlyphPictures(blankSquare)[&picture - square.data()]);
    EXPECT_GT(box.right - box.left, picture.width / 3);
  }
}

// Above 120 dpi the rules would draw characters taller than the picture: those screens get
// the 120 dpi pictures, which fit.
TEST(GlyphSizes, HighResolutionScreensGetPicturesThatFit) {
  for (const char* text : {"28", "11", "水", "Wed"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(DateGlyph(text, day_colour::kWeekday, 144).pixels.rgb,
              DateGlyph(text, day_colour::kWeekday, 120).pixels.rgb);
  }
  EXPECT_EQ(TextGlyph("59", glyph_colour::kClock, 144).pixels.rgb,
            TextGlyph("59", glyph_colour::kClock, 120).pixels.rgb);
}

}  // namespace
}  // namespace tsukio
