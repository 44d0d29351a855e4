#include "tray/glyphs.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tsukio {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;

// The calendar page: an orange binding strip with a green mark, the white page, and a
// black edge on the right and at the bottom that ends up transparent.
constexpr std::array<std::string_view, 16> kBaseRows = {
    "KaaaabpqbbbeefKK", "aabbbbqrebbbbefK", "abbbbbbeebbbbbfh", "ijjjjjjjjjjjjmmK",
    "WWWWWWWWWWWWWjmK", "WWWWWWWWWWWWWWjK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK",
    "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK",
    "WWWWWWWWWWWWWWiK", "WWWWWWWWWWWWWWjK", "WWWWWWWWWWWWijmK", "KhKKKKKKKKKKKKKK",
};

constexpr std::uint32_t BaseColour(char letter) {
  switch (letter) {
    case 'K':
      return 0x000000;
    case 'W':
      return 0xFFFFFF;
    case 'a':
      return 0xFFC751;
    case 'b':
      return 0xFFAC36;
    case 'e':
      return 0xFF911B;
    case 'f':
      return 0xFF7500;
    case 'p':
      return 0xCCFF99;
    case 'q':
      return 0x99FF00;
    case 'r':
      return 0x33CC33;
    case 'h':
      return 0x666633;
    case 'i':
      return 0xF9FCFF;
    case 'j':
      return 0xF4F9FF;
    case 'm':
      return 0xEFF6FF;
  }
  return kWhite;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kEnglishWeekdays = {{
    {"Sun", "日"},
    {"Mon", "月"},
    {"Tue", "火"},
    {"Wed", "水"},
    {"Thu", "木"},
    {"Fri", "金"},
    {"Sat", "土"},
}};

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// One character outside ASCII: the one double-width character a weekday name is.
bool IsOneWideCharacter(std::string_view text) {
  if (text.empty()) return false;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return length > 1 && text.size() == length;
}

bool ReadNumber(std::string_view text, int& n) {
  if (text.empty()) return false;
  n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  return true;
}

// The screen resolutions the layout rules know; above 120 dpi they would draw characters
// taller than the picture, so higher resolutions are drawn as 120 dpi is.
int LayoutDpi(const GlyphContext& context) {
  return std::min(context.dpi, 120);
}

// A text layer at one size. Positions and fonts are given as on the 16-pixel picture and
// scale with the size, so a larger picture keeps the layout with fonts drawn for its size.
class Layer {
 public:
  Layer(const GlyphContext& context, int size, std::string_view face, bool bold, Colour colour)
      : context_(context), face_(face), bold_(bold), colour_(colour), canvas_(size) {
    canvas_.Fill(kWhite);
  }
  void Draw(std::string_view text, int x, int y, int pointSize) {
    context_.painter.Draw(
        canvas_, TextRun{std::string(text), Scale(x), Scale(y), std::string(face_), pointSize,
                         bold_, colour_, LayoutDpi(context_) * canvas_.size / 16});
  }
  Canvas& canvas() { return canvas_; }

 private:
  int Scale(int at) const { return (at * canvas_.size + (at < 0 ? -8 : 8)) / 16; }

  const GlyphContext& context_;
  std::string_view face_;
  bool bold_;
  Colour colour_;
  Canvas canvas_;
};

Image ToImage(const Canvas& pixels, std::uint32_t key) {
  Image image(pixels.size, pixels.size);
  for (std::size_t i = 0; i < pixels.rgb.size(); ++i) {
    image.argb[i] = pixels.rgb[i] == key ? 0u : 0xFF000000u | pixels.rgb[i];
  }
  return image;
}

// Draws the picture at 16 pixels and at each larger size, and appends it. `draw` returns
// the finished canvas of a size and its transparent key colour.
template <typename Draw>
void AppendAtEverySize(GlyphList& list, const GlyphContext& context, Draw draw) {
  Glyph glyph;
  auto [pixels, key] = draw(16);
  for (std::size_t i = 0; i < pixels.rgb.size(); ++i) glyph.transparent[i] = pixels.rgb[i] == key;
  glyph.pixels = std::move(pixels);
  for (const int size : context.largerSizes) {
    const auto [larger, largerKey] = draw(size);
    glyph.larger.push_back(ToImage(larger, largerKey));
  }
  list.push_back(std::move(glyph));
}

// The square with rounded corners: at 16 pixels the corner ellipses of 2 × 2 pixels leave
// exactly the four corner pixels outside, and those stay red, the key colour. Larger
// squares round their corners and thicken the outline in proportion.
void DrawRoundedSquare(Canvas& canvas, bool fillInside) {
  const int size = canvas.size;
  const double radius = size / 8.0;
  const int line = std::max(1, (size + 8) / 16);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t colour = kWhite;
      if ((x < radius || x >= size - radius) && (y < radius || y >= size - radius)) {
        const double cx = x < radius ? radius : size - radius;
        const double cy = y < radius ? radius : size - radius;
        const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (distance > radius) {
          colour = kRed;
        } else if (distance > radius - line) {
          colour = kBlack;
        }
      } else if (x < line || x >= size - line || y < line || y >= size - line) {
        colour = kBlack;
      }
      if (colour != kWhite || fillInside) canvas.at(x, y) = colour;
    }
  }
}

// The calendar page at any size: the 16-pixel page, each pixel taken from where it falls.
Canvas PageAt(int size) {
  if (size == 16) return CalendarPage();
  Canvas page(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) page.at(x, y) = CalendarPage().at(x * 16 / size, y * 16 / size);
  }
  return page;
}

void DrawDate(Layer& layer, std::string_view text, int dpi) {
  const int digitSize = dpi >= 120 ? 9 : 11;
  int n = 0;
  if (text.size() == 1) {
    layer.Draw(text, text == "1" ? 5 : 4, 1, digitSize);
  } else if (IsOneWideCharacter(text)) {
    if (dpi == 120) {
      layer.Draw(text, 0, 2, 8);
    } else {
      layer.Draw(text, 1, 2, 10);
    }
  } else if (text.size() == 2 && IsAscii(text)) {
    if (!ReadNumber(text, n)) {
      layer.Draw(text, 1, 1, digitSize);  // not a number: drawn as it is
    } else if (n == 11) {
      layer.Draw("1", 2, 1, digitSize);
      layer.Draw("1", 7, 1, digitSize);
    } else if (n < 20) {
      layer.Draw("1", 1, 1, digitSize);
      layer.Draw(std::to_string(n % 10), 6, 1, digitSize);
    } else {
      // Drawn twice: the units digit's white box tidies the spacing of the whole number.
      layer.Draw(text, 1, 1, digitSize);
      layer.Draw(std::to_string(n % 10), 8, 1, digitSize);
    }
  } else {
    std::string_view character = "不";
    for (const auto& [english, japanese] : kEnglishWeekdays) {
      if (text == english) character = japanese;
    }
    if (dpi >= 120) {
      layer.Draw(character, 0, 2, 8);
    } else {
      layer.Draw(character, 1, 2, 10);
    }
  }
}

void DrawText(Layer& layer, std::string_view text, int dpi) {
  Canvas& canvas = layer.canvas();
  canvas.Fill(kRed);
  DrawRoundedSquare(canvas, true);

  const int dy = dpi >= 120 ? -1 : 0;
  constexpr int size = 9;
  int n = 0;
  if (text == "ok" || text == "sv" || text == "pc" || !ReadNumber(text, n)) {
    layer.Draw(text, 1, 2 + dy, size);
  } else if (n < 10) {
    layer.Draw(text.substr(0, 1), 5, 3 + dy, size);
  } else if (n < 20) {
    layer.Draw("1", 2, 3 + dy, size);
    layer.Draw(text.substr(1, 1), 7, 3 + dy, size);
  } else {
    layer.Draw(text.substr(0, 1), 2, 3 + dy, size);
    layer.Draw(text.substr(1, 1), 8, 3 + dy, size);
  }
  // The text's white box reaches past the bottom edge; the outline goes back on top so
  // the square stays whole.
  DrawRoundedSquare(canvas, false);
}

constexpr std::uint32_t CanvasColour(Colour colour) {
  return static_cast<std::uint32_t>(colour.Red()) << 16 |
         static_cast<std::uint32_t>(colour.Green()) << 8 | colour.Blue();
}

constexpr double kPi = 3.14159265358979323846;

// The moon at one size. Whether a pixel lies on the disc is decided by its centre, so the
// outline stays one crisp step at every size; whether it is lit is decided by the majority
// of a 4 × 4 grid of points in it, so the terminator falls where the lit area says.
Canvas DrawMoon(int size, std::optional<double> cycle) {
  Canvas canvas(size);
  canvas.Fill(kRed);
  const double centre = size / 2.0;
  const double radius = size / 2.0 - size / 64.0;
  // The terminator is the ellipse whose half-width at each height is that of the disc times
  // cos(2π·cycle): a point is lit when it lies beyond it on the Sun's side.
  const double phase = std::clamp(cycle.value_or(0.0), 0.0, 1.0);
  const double terminator = std::cos(2 * kPi * phase);
  const bool waxing = phase < 0.5;
  const double line = std::max(1.0, size / 16.0);
  constexpr int kSamples = 4;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double distance = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
      if (distance > radius) continue;
      if (!cycle) {
        if (distance > radius - line) canvas.at(x, y) = CanvasColour(glyph_colour::kMoonOutline);
        continue;
      }
      // Only the points on the disc vote: at its rim the others would darken a lit edge.
      int lit = 0;
      int onDisc = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double u = (x + (sx + 0.5) / kSamples - centre) / radius;
          const double v = (y + (sy + 0.5) / kSamples - centre) / radius;
          if (u * u + v * v > 1) continue;
          ++onDisc;
          if ((waxing ? u : -u) > std::sqrt(1 - v * v) * terminator) ++lit;
        }
      }
      canvas.at(x, y) =
          CanvasColour(2 * lit > onDisc ? glyph_colour::kMoonLit : glyph_colour::kMoonDark);
    }
  }
  return canvas;
}

}  // namespace

const Canvas& CalendarPage() {
  static const Canvas base = [] {
    Canvas canvas(16);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        canvas.at(x, y) =
            BaseColour(kBaseRows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
      }
    }
    return canvas;
  }();
  return base;
}

void AddDateGlyph(GlyphList& list, std::string_view text, bool bold, Colour colour,
                  const GlyphContext& context) {
  AppendAtEverySize(list, context, [&](int size) {
    Layer layer(context, size, kDateFace, bold, colour);
    DrawDate(layer, text, LayoutDpi(context));
    // White in the layer leaves the page as it is; text keeps its colour on the white page.
    Canvas composed = PageAt(size);
    for (std::size_t i = 0; i < composed.rgb.size(); ++i) composed.rgb[i] &= layer.canvas().rgb[i];
    const std::uint32_t key = composed.at(0, 0);
    return std::pair{std::move(composed), key};
  });
}

void AddTextGlyph(GlyphList& list, std::string_view text, bool bold, Colour colour,
                  const GlyphContext& context) {
  AppendAtEverySize(list, context, [&](int size) {
    Layer layer(context, size, kTextFace, bold, colour);
    DrawText(layer, text, LayoutDpi(context));
    return std::pair{std::move(layer.canvas()), kRed};
  });
}

void AddMoonGlyph(GlyphList& list, std::optional<double> cycle, const GlyphContext& context) {
  AppendAtEverySize(list, context, [&](int size) {
    return std::pair{DrawMoon(size, cycle), kRed};
  });
}

std::string HourText(int hour, bool twelveHour) {
  if (!twelveHour) return std::to_string(hour);
  const int h = hour % 12;
  return std::to_string(h == 0 ? 12 : h);
}

std::string MinuteText(int minute) {
  return std::to_string(minute);
}

Image GlyphImage(const Glyph& glyph) {
  Image image(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      image.at(x, y) = glyph.IsTransparent(x, y) ? 0u : 0xFF000000u | glyph.pixels.at(x, y);
    }
  }
  return image;
}

PictureSet GlyphPictures(const Glyph& glyph) {
  PictureSet pictures{GlyphImage(glyph)};
  pictures.insert(pictures.end(), glyph.larger.begin(), glyph.larger.end());
  return pictures;
}

Image ContactSheet(const GlyphList& glyphs, int perRow, int scale) {
  constexpr std::uint32_t kPanel = 0xFFD6D6D6;
  const int cell = 16 * scale;
  const int gap = 2 * scale;
  const int count = static_cast<int>(glyphs.size());
  const int columns = std::min(perRow, std::max(count, 1));
  const int rows = std::max((count + perRow - 1) / perRow, 1);
  Image sheet(gap + columns * (cell + gap), gap + rows * (cell + gap), kPanel);
  for (int i = 0; i < count; ++i) {
    const Glyph& glyph = glyphs[static_cast<std::size_t>(i)];
    const int left = gap + (i % perRow) * (cell + gap);
    const int top = gap + (i / perRow) * (cell + gap);
    for (int y = 0; y < cell; ++y) {
      for (int x = 0; x < cell; ++x) {
        const int gx = x / scale;
        const int gy = y / scale;
        if (!glyph.IsTransparent(gx, gy))
          sheet.at(left + x, top + y) = 0xFF000000u | glyph.pixels.at(gx, gy);
      }
    }
  }
  return sheet;
}

}  // namespace tsukio
