#pragma once

#include <cstdint>

namespace tsukio {

// A colour in the 0x00BBGGRR layout the day colours are given in; the drawing code
// converts at the edge, so the values stay comparable with the stored ones.
struct Colour {
  std::uint32_t bgr = 0;

  static constexpr Colour FromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Colour{static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
                  static_cast<std::uint32_t>(b) << 16};
  }
  constexpr std::uint8_t Red() const { return bgr & 0xFF; }
  constexpr std::uint8_t Green() const { return (bgr >> 8) & 0xFF; }
  constexpr std::uint8_t Blue() const { return (bgr >> 16) & 0xFF; }

  friend constexpr bool operator==(Colour, Colour) = default;
};

namespace day_colour {
inline constexpr Colour kSunday{0x0000FF};
inline constexpr Colour kSaturday{0xFF0000};
// Never pure black: pure black is the transparent key of the date glyphs.
inline constexpr Colour kWeekday{0x0F0000};
inline constexpr Colour kHoliday{0xFF00FF};
// A Monday the tray looked at for a substitute holiday and found none: still near-black.
inline constexpr Colour kExaminedMonday = Colour::FromRgb(0, 0, 1);
}  // namespace day_colour

}  // namespace tsukio
