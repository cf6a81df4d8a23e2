// Device-independent bitmaps as .bmp files and icons hold them (shared by
// the BMP and icon decoders).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/Canvas.h"

namespace zentavo::dib {

// Little-endian reads that throw ImageError past the end.
std::uint32_t U32(std::string_view b, std::size_t at);
std::uint16_t U16(std::string_view b, std::size_t at);
std::int32_t S32(std::string_view b, std::size_t at);

// Decodes the DIB that starts at `header` inside `data`: info header,
// palette, and the pixels at `pixels` (0: right after the palette). For an
// icon image the stored height counts the colour rows and the AND mask
// (`iconMask`), and the mask makes pixels transparent.
Bitmap Decode(std::string_view data, std::size_t header, std::size_t pixels, bool iconMask);

}  // namespace zentavo::dib
