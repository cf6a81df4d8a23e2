// Colours as the canvas takes them, and the report's TColor numbers turned
// into them (0x00BBGGRR, clNone, the system colours).
#pragma once

#include <cstdint>
#include <optional>

namespace zentavo {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::int32_t kColorNone = 0x1FFFFFFF;     // clNone
inline constexpr std::int32_t kColorDefault = 0x20000000;  // clDefault

// The colour a TColor paints with, or nothing for clNone and clDefault.
// System colours (negative numbers) take the classic Windows scheme's
// values, so a template drawn here looks as it did on a stock desktop.
std::optional<Rgb> RgbFromColor(std::int32_t color);

// The TColor number of an RGB colour.
constexpr std::int32_t ColorFromRgb(Rgb rgb) {
  return static_cast<std::int32_t>(rgb.red | (rgb.green << 8) | (rgb.blue << 16));
}

}  // namespace zentavo
