// Decoders of the raster pictures templates carry: Windows bitmaps, JPEG
// (libjpeg-turbo) and icons. Damaged, forged or oversized data throws
// ImageError; nothing here ends the process.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Canvas.h"

namespace zentavo {

struct ImageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// No side beyond this and no more pixels than this in one picture: a label
// needs far less, and a forged header must not claim gigabytes.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxImagePixels = 40'000'000;

// A .bmp file: file header, info header (core, 3.x, V4 or V5), palette and
// pixels; 1, 4, 8, 16, 24 and 32 bits, uncompressed or bit fields. The
// pixels are opaque, as GDI draws bitmaps.
Bitmap DecodeBmp(std::string_view file);
// Baseline and progressive JPEG in grey, YCbCr, RGB or (Adobe) CMYK.
Bitmap DecodeJpeg(std::string_view data);
// The bitmap as a baseline JPEG (alpha dropped), quality 1..100.
std::string EncodeJpeg(const Bitmap& bitmap, int quality);
// An .ico file: its largest image (bitmap with AND mask, 32-bit with alpha,
// or PNG).
Bitmap DecodeIcon(std::string_view file);

// Throws ImageError unless width x height is a size we decode.
void CheckImageSize(std::int64_t width, std::int64_t height);

}  // namespace zentavo
