#include "platform/freetype/freetype_text_painter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <charconv>
#include <cmath>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/font_substitutes.h"

namespace tsukio {

namespace {

// One font file opened, at the pixel size it was last set to.
struct Font {
  std::string file;
  int index = 0;
  FT_Face face = nullptr;
  int pixels = 0;
};

// A font as a face asks for it: emboldened where bold was asked of a regular font.
struct FontUse {
  Font* font = nullptr;
  bool embolden = false;
  friend bool operator==(const FontUse&, const FontUse&) = default;
};

using FaceKey = std::pair<std::string, bool>;  // the face asked for, and bold

// Bold asked of a regular font. Fontconfig calls such a font bold when it matches it for
// bold; the font itself knows.
bool Emboldened(const Font& font, bool bold) {
  return bold && (font.face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
}

// Splits at each `separator`; the text after the last one is the last part.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t to = text.find(separator, from);
    parts.push_back(text.substr(from, to == std::string_view::npos ? to : to - from));
    if (to == std::string_view::npos) return parts;
    from = to + 1;
  }
}

struct GlyphKey {
  Font* font;
  bool embolden;
  int pixels;
  FT_UInt index;
  auto operator<=>(const GlyphKey&) const = default;
};

// A glyph's coverage, 0 to 255 row by row, placed from the pen on the baseline.
struct RenderedGlyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;
};

// A malformed sequence reads as one U+FFFD.
std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80           ? 1
                       : (lead >> 5) == 0x6  ? 2
                       : (lead >> 4) == 0xE  ? 3
                       : (lead >> 3) == 0x1E ? 4
                                             : 0;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      point = (point << 6) | (next & 0x3F);
    }
    points.push_back(valid ? point : U'\uFFFD');
    i += valid ? static_cast<std::size_t>(length) : 1;
  }
  return points;
}

// Half away from zero, as a whole pixel.
int ScaledToPixels(long units, int pixels, int unitsPerEm) {
  return static_cast<int>(std::lround(static_cast<double>(units) * pixels / unitsPerEm));
}

}  // namespace

struct FreeTypeTextPainter::Fonts {
  FT_Library library = nullptr;
  std::map<std::pair<std::string, int>, Font> opened;  // by file and index in it
  std::map<FaceKey, std::vector<FontUse>> chosen;
  std::set<FaceKey> remembered;  // chosen from memory, not yet confirmed by fontconfig
  std::map<std::pair<char32_t, bool>, std::optional<FontUse>> fallbacks;  // by character
  std::map<GlyphKey, RenderedGlyph> glyphs;

  Fonts() { FT_Init_FreeType(&library); }
  ~Fonts() {
    for (auto& [file, font] : opened) FT_Done_Face(font.face);
    FT_Done_FreeType(library);
  }

  // What fontconfig finds for a family (`named`: only a font of that very family) or for a
  // character it must have.
  std::optional<FontUse> Match(std::string_view family, bool named, std::optional<char32_t> has,
                               bool bold) {
    FcPattern* pattern = FcPatternCreate();
    const std::string familyName(family);
    if (!family.empty()) {
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyName.c_str()));
    }
    if (has) {
      FcCharSet* characters = FcCharSetCreate();
      FcCharSetAddChar(characters, *has);
      FcPatternAddCharSet(pattern, FC_CHARSET, characters);
      FcCharSetDestroy(characters);
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return std::nullopt;

    // Fontconfig always answers with something; another family means this one is missing.
    bool found = !named;
    FcChar8* name = nullptr;
    for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch;
         ++i) {
      found = FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(familyName.c_str())) == 0;
    }
    FcChar8* file = nullptr;
    int index = 0;
    found = found && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    std::optional<FontUse> use;
    if (found) {
      if (Font* font = Open(reinterpret_cast<const char*>(file), index)) {
        use = FontUse{font, Emboldened(*font, bold)};
      }
    }
    FcPatternDestroy(match);
    return use;
  }

  Font* Open(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    if (const auto it = opened.find(key); it != opened.end()) return &it->second;
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, file.c_str(), index, &face) != 0) return nullptr;
    return &opened.emplace(key, Font{file, index, face, 0}).first->second;
  }

  // The fonts a face is drawn in, in order; the first gives the line's height.
  const std::vector<FontUse>& Chosen(std::string_view face, bool bold) {
    FaceKey key(face, bold);
    if (const auto it = chosen.find(key); it != chosen.end()) return it->second;
    return chosen.emplace(std::move(key), AskFontconfig(face, bold)).first->second;
  }

  std::vector<FontUse> AskFontconfig(std::string_view face, bool bold) {
    std::vector<FontUse> uses;
    const auto substitute =
        std::find_if(kFontSubstitutes.begin(), kFontSubstitutes.end(),
                     [face](const FontSubstitute& s) { return s.face == face; });
    std::vector<std::string_view> families;
    if (substitute == kFontSubstitutes.end()) {
      families.push_back(face);
    } else {
      for (const std::string_view family : substitute->families) {
        if (!family.empty()) families.push_back(family);
      }
    }
    for (const std::string_view family : families) {
      if (const auto use = Match(family, true, std::nullopt, bold)) uses.push_back(*use);
    }
    // None of them installed: the desktop's own choice for the first.
    if (uses.empty()) {
      if (const auto use = Match(families.front(), false, std::nullopt, bold)) uses.push_back(*use);
    }
    return uses;
  }

  // The font to draw a character in and its glyph there; the first font's missing-glyph box
  // where no font has it.
  std::pair<FontUse, FT_UInt> For(char32_t character, const std::vector<FontUse>& uses, bool bold) {
    for (const FontUse& use : uses) {
      if (const FT_UInt index = FT_Get_Char_Index(use.font->face, character)) return {use, index};
    }
    const auto key = std::make_pair(character, bold);
    auto it = fallbacks.find(key);
    if (it == fallbacks.end()) {
      it = fallbacks.emplace(key, Match({}, false, character, bold)).first;
    }
    if (it->second) {
      if (const FT_UInt index = FT_Get_Char_Index(it->second->font->face, character)) {
        return {*it->second, index};
      }
    }
    return {uses.front(), 0};
  }

  void SetPixels(Font& font, int pixels) {
    if (font.pixels == pixels) return;
    FT_Set_Pixel_Sizes(font.face, 0, static_cast<FT_UInt>(pixels));
    font.pixels = pixels;
  }

  // The line's ascent and height in whole pixels: from the OS/2 table's typographic values
  // where the font says to use them, else from its Windows ones, else from its header.
  std::pair<int, int> Line(Font& font, int pixels) {
    FT_Face face = font.face;
    if (face->units_per_EM == 0) {  // a bitmap font
      SetPixels(font, pixels);
      const int ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
      const int descent = static_cast<int>((-face->size->metrics.descender + 32) >> 6);
      return {ascent, ascent + descent};
    }
    long ascent = face->ascender;
    long descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->version != 0xFFFF) {
      if ((os2->fsSelection & (1u << 7)) != 0) {
        ascent = os2->sTypoAscender;
        descent = -os2->sTypoDescender;
      } else if (os2->usWinAscent != 0 || os2->usWinDescent != 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
      }
    }
    const int up = ScaledToPixels(ascent, pixels, face->units_per_EM);
    return {up, up + ScaledToPixels(descent, pixels, face->units_per_EM)};
  }

  const RenderedGlyph& Glyph(FontUse use, int pixels, FT_UInt index) {
    const GlyphKey key{use.font, use.embolden, pixels, index};
    if (const auto it = glyphs.find(key); it != glyphs.end()) return it->second;
    RenderedGlyph glyph;
    SetPixels(*use.font, pixels);
    FT_GlyphSlot slot = use.font->face->glyph;
    if (FT_Load_Glyph(use.font->face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) == 0) {
      if (use.embolden) FT_GlyphSlot_Embolden(slot);
      if (slot->format == FT_GLYPH_FORMAT_BITMAP ||
          FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
        glyph = Coverage(slot);
      }
      glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    }
    return glyphs.emplace(key, std::move(glyph)).first->second;
  }

  RenderedGlyph Coverage(FT_GlyphSlot slot) {
    RenderedGlyph glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    FT_Bitmap grey;
    FT_Bitmap_Init(&grey);
    const FT_Bitmap* bitmap = &slot->bitmap;
    int levels = 256;
    if (bitmap->pixel_mode != FT_PIXEL_MODE_GRAY) {
      // Embedded bitmaps, one bit a pixel in most fonts that have them.
      if (FT_Bitmap_Convert(library, bitmap, &grey, 1) != 0) return glyph;
      bitmap = &grey;
      levels = grey.num_grays;
    }
    glyph.width = static_cast<int>(bitmap->width);
    glyph.rows = static_cast<int>(bitmap->rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int y = 0; y < glyph.rows; ++y) {
      const unsigned char* row = bitmap->buffer + static_cast<std::ptrdiff_t>(y) * bitmap->pitch;
      for (int x = 0; x < glyph.width; ++x) {
        glyph.coverage[static_cast<std::size_t>(y * glyph.width + x)] =
            static_cast<std::uint8_t>(levels >= 256 ? row[x] : row[x] * 255 / (levels - 1));
      }
    }
    FT_Bitmap_Done(library, &grey);
    return glyph;
  }
};

FreeTypeTextPainter::FreeTypeTextPainter() : fonts_(std::make_unique<Fonts>()) {}

FreeTypeTextPainter::~FreeTypeTextPainter() = default;

void FreeTypeTextPainter::Prepare(std::string_view face, bool bold) {
  fonts_->Chosen(face, bold);
}

std::string FreeTypeTextPainter::ChoicesText() const {
  std::string text;
  for (const auto& [key, uses] : fonts_->chosen) {
    std::string lines;
    bool readable = !uses.empty();
    for (const FontUse& use : uses) {
      readable = readable && use.font->file.find_first_of("\t\n") == std::string::npos;
      lines += key.first + '\t' + (key.second ? "1" : "0") + '\t' + use.font->file + '\t' +
               std::to_string(use.font->index) + '\n';
    }
    if (readable) text += lines;
  }
  return text;
}

void FreeTypeTextPainter::Remember(std::string_view choices) {
  std::map<FaceKey, std::vector<FontUse>> remembered;
  std::set<FaceKey> unusable;
  for (const std::string_view line : Split(choices, '\n')) {
    const std::vector<std::string_view> fields = Split(line, '\t');
    int index = -1;
    if (fields.size() != 4 || (fields[1] != "0" && fields[1] != "1") ||
        std::from_chars(fields[3].data(), fields[3].data() + fields[3].size(), index).ptr !=
            fields[3].data() + fields[3].size() ||
        index < 0) {
      continue;
    }
    FaceKey key(fields[0], fields[1] == "1");
    Font* font = fonts_->Open(std::string(fields[2]), index);
    if (font == nullptr) {
      unusable.insert(key);
      continue;
    }
    remembered[key].push_back({font, Emboldened(*font, key.second)});
  }
  for (auto& [key, uses] : remembered) {
    if (unusable.contains(key) || fonts_->chosen.contains(key)) continue;
    fonts_->remembered.insert(key);
    fonts_->chosen.emplace(key, std::move(uses));
  }
}

bool FreeTypeTextPainter::Confirm() {
  bool changed = false;
  for (const FaceKey& key : fonts_->remembered) {
    std::vector<FontUse> answer = fonts_->AskFontconfig(key.first, key.second);
    std::vector<FontUse>& uses = fonts_->chosen[key];
    if (answer != uses) {
      uses = std::move(answer);
      changed = true;
    }
  }
  fonts_->remembered.clear();
  return changed;
}

void FreeTypeTextPainter::Draw(Canvas& canvas, const TextRun& run) {
  const int pixels = PixelHeight(run.pointSize, run.dpi);
  const std::vector<FontUse>& uses = fonts_->Chosen(run.face, run.bold);
  if (pixels <= 0 || uses.empty()) return;
  const auto [ascent, height] = fonts_->Line(*uses.front().font, pixels);

  struct Placed {
    const RenderedGlyph* glyph;
    int pen;
  };
  std::vector<Placed> placed;
  int pen = 0;
  for (const char32_t character : CodePoints(run.text)) {
    const auto [use, index] = fonts_->For(character, uses, run.bold);
    const RenderedGlyph& glyph = fonts_->Glyph(use, pixels, index);
    placed.push_back({&glyph, pen});
    pen += glyph.advance;
  }

  const auto blend = [](std::uint32_t under, std::uint32_t over, unsigned coverage) {
    std::uint32_t mixed = 0;
    for (const int shift : {0, 8, 16}) {
      const unsigned a = (over >> shift) & 0xFF;
      const unsigned b = (under >> shift) & 0xFF;
      mixed |= ((a * coverage + b * (255 - coverage) + 127) / 255) << shift;
    }
    return mixed;
  };
  for (int y = std::max(run.y, 0); y < std::min(run.y + height, canvas.size); ++y) {
    for (int x = std::max(run.x, 0); x < std::min(run.x + pen, canvas.size); ++x) {
      canvas.at(x, y) = 0xFFFFFF;
    }
  }
  const std::uint32_t ink = (static_cast<std::uint32_t>(run.colour.Red()) << 16) |
                            (static_cast<std::uint32_t>(run.colour.Green()) << 8) |
                            run.colour.Blue();
  const int baseline = run.y + ascent;
  for (const auto& [glyph, at] : placed) {
    const int left = run.x + at + glyph->left;
    const int top = baseline - glyph->top;
    for (int gy = 0; gy < glyph->rows; ++gy) {
      const int y = top + gy;
      if (y < 0 || y >= canvas.size) continue;
      for (int gx = 0; gx < glyph->width; ++gx) {
        const int x = left + gx;
        const unsigned coverage = glyph->coverage[static_cast<std::size_t>(gy * glyph->width + gx)];
        if (x < 0 || x >= canvas.size || coverage == 0) continue;
        canvas.at(x, y) = blend(canvas.at(x, y), ink, coverage);
      }
    }
  }
}

}  // namespace tsukio
