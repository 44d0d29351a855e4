#include "platform/win32/win32_fonts.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win32/win32_text.h"

namespace tsukio {

namespace {

struct JapaneseFace {
  std::wstring_view name;
  std::wstring_view englishName;  // the name a non-Japanese Windows may report for it
  bool fixedPitch;
};
constexpr JapaneseFace kAskedFaces[] = {{L"ＭＳ Ｐゴシック", L"MS PGothic", false},
                                        {L"ＭＳ ゴシック", L"MS Gothic", true}};

// The Japanese faces Windows ships, by how well they read at 12 to 16 pixels: the UI faces
// are made for it; Meiryo is an optional feature, MS UI Gothic and Yu Gothic are always there.
constexpr std::wstring_view kProportionalStandIns[] = {
    L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"Meiryo", L"Yu Gothic", L"BIZ UDPGothic"};
constexpr std::wstring_view kFixedStandIns[] = {L"BIZ UDGothic"};

// What a face must draw for the program's texts not to show a box.
constexpr std::wstring_view kJapaneseSample = L"年月日火水木金土あゴシック表示";

// A memory DC with a face selected, as GDI realizes it.
class RealizedFont {
 public:
  explicit RealizedFont(std::wstring_view face) : dc_(CreateCompatibleDC(nullptr)) {
    LOGFONTW wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    font_ = CreateFontIndirectW(&wanted);
    if (dc_ != nullptr && font_ != nullptr) old_ = SelectObject(dc_, font_);
  }
  ~RealizedFont() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (font_ != nullptr) DeleteObject(font_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;

  bool DrawsJapanese() const {
    if (old_ == nullptr) return false;
    std::array<WORD, kJapaneseSample.size()> glyphs{};
    const int count = static_cast<int>(glyphs.size());
    if (GetGlyphIndicesW(dc_, kJapaneseSample.data(), count, glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) != static_cast<DWORD>(count)) {
      return false;
    }
    return std::none_of(glyphs.begin(), glyphs.end(), [](WORD glyph) { return glyph == 0xFFFF; });
  }

  // The family of the font file GDI chose; it differs from the face asked for when another
  // font stands in, even where GDI reports the face as the name asked for.
  std::wstring Family() const {
    if (old_ == nullptr) return {};
    const UINT size = GetOutlineTextMetricsW(dc_, 0, nullptr);
    if (size < sizeof(OUTLINETEXTMETRICW)) return {};
    auto metrics = std::make_unique<char[]>(size);
    auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.get());
    if (GetOutlineTextMetricsW(dc_, size, outline) == 0) return {};
    const auto offset = reinterpret_cast<std::uintptr_t>(outline->otmpFamilyName);
    if (offset == 0 || offset >= size) return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(metrics.get() + offset));
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

struct InstalledFace {
  std::wstring name;
  bool fixedPitch;
};

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list) {
  auto& faces = *reinterpret_cast<std::vector<InstalledFace>*>(list);
  const std::wstring name = font->lfFaceName;
  // '@' faces are the same fonts turned for vertical writing.
  if (name.empty() || name.front() == L'@') return 1;
  if (std::none_of(faces.begin(), faces.end(),
                   [&](const InstalledFace& f) { return f.name == name; })) {
    faces.push_back({name, (font->lfPitchAndFamily & 0x3) == FIXED_PITCH});
  }
  return 1;
}

// Every installed face with the Japanese character set, enumerated once.
const std::vector<InstalledFace>& InstalledJapaneseFaces() {
  static const std::vector<InstalledFace> faces = [] {
    std::vector<InstalledFace> found;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return found;
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    EnumFontFamiliesExW(dc, &wanted, AddFace, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
  }();
  return faces;
}

std::wstring JapaneseStandIn(const JapaneseFace& asked) {
  const auto& installed = InstalledJapaneseFaces();
  const auto isInstalled = [&](std::wstring_view name) {
    return std::any_of(installed.begin(), installed.end(),
                       [&](const InstalledFace& f) { return f.name == name; });
  };
  std::vector<std::wstring_view> candidates;
  if (asked.fixedPitch) candidates.assign(std::begin(kFixedStandIns), std::end(kFixedStandIns));
  candidates.insert(candidates.end(), std::begin(kProportionalStandIns),
                    std::end(kProportionalStandIns));
  for (const std::wstring_view name : candidates) {
    // A Japanese Windows lists these faces by their Japanese names, yet finds them by these.
    const RealizedFont font(name);
    if ((isInstalled(name) || font.Family() == name) && font.DrawsJapanese()) {
      return std::wstring(name);
    }
  }
  for (const bool samePitch : {true, false}) {
    for (const InstalledFace& face : installed) {
      if ((!samePitch || face.fixedPitch == asked.fixedPitch) &&
          RealizedFont(face.name).DrawsJapanese()) {
        return face.name;
      }
    }
  }
  return std::wstring(asked.name);  // nothing better: GDI's own choice
}

TextFaces LookUp(const std::wstring& face) {
  const auto asked = std::find_if(std::begin(kAskedFaces), std::end(kAskedFaces),
                                  [&](const JapaneseFace& f) { return f.name == face; });
  if (asked == std::end(kAskedFaces)) return TextFaces{face, face};
  const RealizedFont realized(face);
  const std::wstring family = realized.Family();
  const bool itself = family == asked->name || family == asked->englishName;
  TextFaces faces;
  faces.japanese = itself || realized.DrawsJapanese() ? face : JapaneseStandIn(*asked);
  faces.latin = itself ? face : std::wstring(L"Arial");
  return faces;
}

}  // namespace

bool IsLatinText(std::wstring_view text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

const std::wstring& TextFaces::For(std::wstring_view text) const {
  return IsLatinText(text) ? latin : japanese;
}

const TextFaces& FacesFor(std::string_view face) {
  static std::mutex guard;
  static std::map<std::wstring, TextFaces, std::less<>> known;
  const std::wstring wide = Widen(face);
  const std::lock_guard lock(guard);
  auto found = known.find(wide);
  if (found == known.end()) found = known.emplace(wide, LookUp(wide)).first;
  return found->second;
}

}  // namespace tsukio
