#include "tray/glyphs.h"

#include <algorithm>

namespace tsukio {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;

constexpr std::string_view kDateFace = "ＭＳ Ｐゴシック";
constexpr std::string_view kTextFace = "Arial";

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

class Layer {
 public:
  Layer(const GlyphContext& context, std::string_view face, bool bold, Colour colour)
      : context_(context), face_(face), bold_(bold), colour_(colour) {
    canvas_.Fill(kWhite);
  }
  void Draw(std::string_view text, int x, int y, int pointSize) {
    context_.painter.Draw(canvas_, TextRun{std::string(text), x, y, std::string(face_), pointSize,
                                           bold_, colour_, context_.dpi});
  }
  Canvas16& canvas() { return canvas_; }

 private:
  const GlyphContext& context_;
  std::string_view face_;
  bool bold_;
  Colour colour_;
  Canvas16 canvas_;
};

void Append(GlyphList& list, const Canvas16& pixels, std::uint32_t key) {
  Glyph glyph;
  glyph.pixels = pixels;
  for (std::size_t i = 0; i < pixels.rgb.size(); ++i) glyph.transparent[i] = pixels.rgb[i] == key;
  list.push_back(glyph);
}

// The square with corner ellipses of 2 × 2 pixels: those leave exactly the four corner
// pixels outside, and they stay red, the key colour.
void DrawRoundedSquare(Canvas16& canvas, bool fillInside) {
  constexpr int last = Canvas16::kSize - 1;
  for (int y = 0; y <= last; ++y) {
    for (int x = 0; x <= last; ++x) {
      const bool corner = (x == 0 || x == last) && (y == 0 || y == last);
      const bool edge = x == 0 || x == last || y == 0 || y == last;
      if (corner) {
        canvas.at(x, y) = kRed;
      } else if (edge) {
        canvas.at(x, y) = kBlack;
      } else if (fillInside) {
        canvas.at(x, y) = kWhite;
      }
    }
  }
}

}  // namespace

const Canvas16& CalendarPage() {
  static const Canvas16 base = [] {
    Canvas16 canvas;
    for (int y = 0; y < Canvas16::kSize; ++y) {
      for (int x = 0; x < Canvas16::kSize; ++x) {
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
  const int dpi = context.dpi;
  Layer layer(context, kDateFace, bold, colour);
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

  // White in the layer leaves the page as it is; text keeps its colour on the white page.
  Canvas16 composed = CalendarPage();
  for (std::size_t i = 0; i < composed.rgb.size(); ++i) composed.rgb[i] &= layer.canvas().rgb[i];
  Append(list, composed, composed.at(0, 0));
}

void AddTextGlyph(GlyphList& list, std::string_view text, bool bold, Colour colour,
                  const GlyphContext& context) {
  Layer layer(context, kTextFace, bold, colour);
  Canvas16& canvas = layer.canvas();
  canvas.Fill(kRed);
  DrawRoundedSquare(canvas, true);

  const int dy = context.dpi >= 120 ? -1 : 0;
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
  Append(list, canvas, kRed);
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
  Image image(Canvas16::kSize, Canvas16::kSize);
  for (int y = 0; y < Canvas16::kSize; ++y) {
    for (int x = 0; x < Canvas16::kSize; ++x) {
      image.at(x, y) = glyph.IsTransparent(x, y) ? 0u : 0xFF000000u | glyph.pixels.at(x, y);
    }
  }
  return image;
}

Image ContactSheet(const GlyphList& glyphs, int perRow, int scale) {
  constexpr std::uint32_t kPanel = 0xFFD6D6D6;
  const int cell = Canvas16::kSize * scale;
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
