#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tsukio {

// The faces the program asks for are those of a Windows desktop; on Linux they are drawn in
// fonts a Debian desktop has, by this table alone, so it holds without any fontconfig alias.
// The date glyphs place two digits 5 pixels apart on a 15-pixel font: that wants narrow
// digits, which Liberation Sans has and IPAPGothic has not; kana and kanji then come from
// IPAPGothic, the next face in the list.
struct FontSubstitute {
  std::string_view face;
  std::array<std::string_view, 2> families;  // in order of preference; an empty one ends it
};

inline constexpr std::array<FontSubstitute, 3> kFontSubstitutes{{
    {"ＭＳ Ｐゴシック", {"Liberation Sans", "IPAPGothic"}},
    {"ＭＳ ゴシック", {"IPAGothic", ""}},
    {"Arial", {"Liberation Sans", ""}},
}};

}  // namespace tsukio
