#pragma once

#include <string>
#include <string_view>

namespace tsukio {

// The faces that really draw text asked for in one face. The program asks for ＭＳ Ｐゴシック and
// ＭＳ ゴシック, which Japanese Windows has but other installations may lack, and which a wine
// prefix may map to another font. GDI would then draw kana and kanji in a face without them,
// as empty boxes, and digits in a face whose widths the pictures' layout was not made for.
struct TextFaces {
  // For text with kana or kanji: the face asked for when it has them, otherwise the first
  // installed of the Japanese faces Windows ships, otherwise any installed face with the
  // Japanese character set (of the same pitch when there is one).
  std::wstring japanese;
  // For text of ASCII letters and digits: the face asked for when it is installed as itself,
  // otherwise Arial, as on Linux, whose narrow digits keep two-digit numbers apart in 16 pixels.
  std::wstring latin;

  const std::wstring& For(std::wstring_view text) const;
};

// Text that the Latin face draws: ASCII only.
bool IsLatinText(std::wstring_view text);

// Looked up once per face and remembered; any other face than the two Japanese ones is
// taken as it is.
const TextFaces& FacesFor(std::string_view face);

}  // namespace tsukio
