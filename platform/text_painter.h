#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/colour.h"

namespace tsukio {

// A square RGB drawing surface, 0xRRGGBB per pixel, row by row from the top left; the tray's
// pictures are 16 × 16, and drawn again at larger sizes for hosts that show them larger.
struct Canvas {
  int size = 16;
  std::vector<std::uint32_t> rgb;

  explicit Canvas(int n = 16)
      : size(n), rgb(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {}
  std::uint32_t& at(int x, int y) { return rgb[static_cast<std::size_t>(y * size + x)]; }
  std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y * size + x)]; }
  void Fill(std::uint32_t colour) { std::fill(rgb.begin(), rgb.end(), colour); }
};

// One string to draw: its top-left corner at (x, y), on an opaque white box as wide as
// the string's advance and as high as the font's line, so it covers what lay beneath.
struct TextRun {
  std::string text;  // UTF-8
  int x = 0;
  int y = 0;
  std::string face;  // the face the program asks for; the painter substitutes what it has
  int pointSize = 0;
  bool bold = false;
  Colour colour;
  int dpi = 96;  // the character height in pixels is pointSize × dpi / 72, rounded

  friend bool operator==(const TextRun&, const TextRun&) = default;
};

// Draws text onto a canvas; the glyph pictures draw through this and nothing else.
class TextPainter {
 public:
  virtual ~TextPainter() = default;
  virtual void Draw(Canvas& canvas, const TextRun& run) = 0;
};

// The character height in pixels of a font size in points at a screen resolution.
constexpr int PixelHeight(int pointSize, int dpi) {
  return (pointSize * dpi * 2 + 72) / 144;
}

}  // namespace tsukio
