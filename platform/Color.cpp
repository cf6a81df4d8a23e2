// TColor numbers to RGB, with the stock scheme for system colours.
#include "platform/Color.h"

#include <array>

namespace zentavo {
namespace {

// COLOR_* indexes 0..30 of the classic scheme, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 31> kSystemColors = {
    0xD4D0C8,  // scrollbar
    0x3A6EA5,  // background (desktop)
    0x0A246A,  // active caption
    0x808080,  // inactive caption
    0xD4D0C8,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xD4D0C8,  // active border
    0xD4D0C8,  // inactive border
    0x808080,  // app workspace
    0x0A246A,  // highlight
    0xFFFFFF,  // highlight text
    0xD4D0C8,  // button face
    0x808080,  // button shadow
    0x808080,  // gray text
    0x000000,  // button text
    0xD4D0C8,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x404040,  // 3D dark shadow
    0xD4D0C8,  // 3D light
    0x000000,  // info text
    0xFFFFE1,  // info background
    0xB5B5B5,  // (unused slot)
    0x000080,  // hot light
    0xA6CAF0,  // gradient active caption
    0xC0C0C0,  // gradient inactive caption
    0x316AC5,  // menu highlight
    0xECE9D8,  // menu bar
};

}  // namespace

std::optional<Rgb> RgbFromColor(std::int32_t color) {
  if (color == kColorNone || color == kColorDefault) return std::nullopt;
  if (color < 0) {
    const std::uint32_t index = static_cast<std::uint32_t>(color) & 0xFF;
    const std::uint32_t rgb = index < kSystemColors.size() ? kSystemColors[index] : 0;
    return Rgb{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
               static_cast<std::uint8_t>(rgb)};
  }
  const auto value = static_cast<std::uint32_t>(color);
  return Rgb{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16)};
}

}  // namespace zentavo
