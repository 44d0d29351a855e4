#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/colour.h"
#include "platform/image.h"
#include "platform/text_painter.h"

namespace tsukio {

// One tray picture: 16 × 16 RGB pixels and a one-bit transparency mask, and the same picture
// drawn at larger sizes for hosts that show icons larger.
struct Glyph {
  Canvas pixels{16};
  std::array<bool, 16 * 16> transparent{};
  std::vector<Image> larger;  // smallest first

  bool IsTransparent(int x, int y) const {
    return transparent[static_cast<std::size_t>(y * 16 + x)];
  }
};

// The pictures of one refresh, in the order their icons are added.
using GlyphList = std::vector<Glyph>;

// The larger sizes a panel may show the tray's pictures at: 22, 24 and 32 pixels, and twice
// and four times the base size. The desktop's tray asks for these; tsukio-cal draws them.
inline constexpr std::array<int, 5> kLargerTraySizes = {22, 24, 32, 48, 64};

// The faces the pictures ask the painter for, both in bold: the date's and the figures'.
inline constexpr std::string_view kDateFace = "ＭＳ Ｐゴシック";
inline constexpr std::string_view kTextFace = "Arial";

// What drawing needs from the desktop: a text painter, the screen's logical DPI, and the
// sizes above 16 to draw each picture at as well.
struct GlyphContext {
  TextPainter& painter;
  int dpi = 96;
  std::span<const int> largerSizes = {};
};

// Colours the tray draws its text glyphs in.
namespace glyph_colour {
inline constexpr Colour kClock = Colour::FromRgb(0, 0, 0);
inline constexpr Colour kWeekNumber = Colour::FromRgb(0, 0, 255);
inline constexpr Colour kSyncOk = Colour::FromRgb(0, 0, 255);
inline constexpr Colour kSyncFailed = Colour::FromRgb(128, 0, 128);
inline constexpr Colour kMoonLit = Colour::FromRgb(255, 230, 128);
inline constexpr Colour kMoonDark = Colour::FromRgb(57, 65, 79);
inline constexpr Colour kMoonOutline = Colour::FromRgb(138, 143, 153);  // a day of no phase
}  // namespace glyph_colour

// The calendar page the date glyphs are drawn on, pixel for pixel, at 16 × 16.
const Canvas& CalendarPage();

// Appends the month or day number, or the weekday (日 … 土, or Sun … Sat), drawn on the
// calendar page in `colour`. Pure black pixels become transparent, so day colours are
// never pure black.
void AddDateGlyph(GlyphList& list, std::string_view text, bool bold, Colour colour,
                  const GlyphContext& context);

// Appends a number of one or two digits, or a status word ("ok", "sv", "pc"), drawn on a
// white rounded square whose outside corners are transparent.
void AddTextGlyph(GlyphList& list, std::string_view text, bool bold, Colour colour,
                  const GlyphContext& context);

// Appends the moon as it looks `cycle` of the way from one new moon to the next (0 new, 0.25
// first quarter, 0.5 full, 0.75 last quarter): a disc whose lit part is pale yellow and the
// rest dark, lit from the right while it waxes and from the left while it wanes. Without a
// cycle (a day the almanac does not know) only the disc's outline is drawn, so no phase can
// be read into it. Outside the disc is transparent.
void AddMoonGlyph(GlyphList& list, std::optional<double> cycle, const GlyphContext& context);

// The clock texts: the hour without leading zero, "0"–"23", or "1"–"12" on the 12-hour
// clock (midnight and noon are "12"); the minute "0"–"59".
std::string HourText(int hour, bool twelveHour);
std::string MinuteText(int minute);

// The glyph as a picture with alpha: transparent where the mask says so, else opaque.
Image GlyphImage(const Glyph& glyph);
// The 16 × 16 picture and the larger ones.
PictureSet GlyphPictures(const Glyph& glyph);

// The glyphs enlarged, each pixel a `scale` × `scale` block, `perRow` to a row on a
// panel-grey ground that shows their transparent parts; for looking at them closely.
Image ContactSheet(const GlyphList& glyphs, int perRow, int scale);

}  // namespace tsukio
