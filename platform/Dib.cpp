// Device-independent bitmaps: info headers, palettes, bit fields and the
// icon's AND mask. Every size is checked against the data before a pixel
// is read.
#include "platform/Dib.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "platform/Images.h"

namespace zentavo {

void CheckImageSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) throw ImageError("The picture has no pixels");
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
    throw ImageError("The picture is too large");
  }
}

namespace dib {
namespace {

[[noreturn]] void Truncated() { throw ImageError("The picture data is truncated"); }

void Need(std::string_view b, std::size_t at, std::size_t n) {
  if (at > b.size() || n > b.size() - at) Truncated();
}

// A channel taken out by its mask and widened to 8 bits.
struct Field {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Field(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  std::uint32_t Get(std::uint32_t v) const { return max == 0 ? 0 : ((v & mask) >> shift) * 255 / max; }
};

}  // namespace

std::uint32_t U32(std::string_view b, std::size_t at) {
  Need(b, at, 4);
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t U16(std::string_view b, std::size_t at) {
  Need(b, at, 2);
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

std::int32_t S32(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

Bitmap Decode(std::string_view data, std::size_t header, std::size_t pixels, bool iconMask) {
  const std::uint32_t headerSize = U32(data, header);
  std::int64_t width = 0, height = 0;
  int bpp = 0;
  std::uint32_t compression = 0, colorsUsed = 0;
  std::size_t paletteEntry = 4;
  std::size_t paletteStart = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  if (headerSize == 12) {
    width = U16(data, header + 4);
    height = U16(data, header + 6);
    bpp = U16(data, header + 10);
    paletteEntry = 3;
    paletteStart = header + 12;
  } else if (headerSize >= 40 && headerSize <= 4096) {
    Need(data, header, headerSize);
    width = S32(data, header + 4);
    height = S32(data, header + 8);
    bpp = U16(data, header + 14);
    compression = U32(data, header + 16);
    colorsUsed = U32(data, header + 32);
    paletteStart = header + headerSize;
    if (compression == 3 || compression == 6) {
      if (headerSize >= 52) {
        for (int i = 0; i < 3; ++i) masks[i] = U32(data, header + 40 + 4 * i);
      } else {
        for (int i = 0; i < 3; ++i) masks[i] = U32(data, paletteStart + 4 * i);
        paletteStart += 12;
      }
    }
  } else {
    throw ImageError("Unknown bitmap header");
  }
  const bool topDown = height < 0 && !iconMask;
  if (height < 0) height = -height;
  if (iconMask) height /= 2;
  CheckImageSize(width, height);
  if (compression == 1 || compression == 2) throw ImageError("Run-length compressed bitmaps are not supported");
  if (compression != 0 && compression != 3 && compression != 6) throw ImageError("Unknown bitmap compression");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    throw ImageError("Unsupported bitmap colour depth");
  }
  if (compression != 0 && bpp != 16 && bpp != 32) throw ImageError("Unknown bitmap compression");

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::size_t count = colorsUsed != 0 ? std::min<std::size_t>(colorsUsed, 256) : std::size_t{1} << bpp;
    Need(data, paletteStart, count * paletteEntry);
    palette.resize(std::size_t{1} << bpp, 0xFF000000u);
    for (std::size_t i = 0; i < count && i < palette.size(); ++i) {
      const std::size_t at = paletteStart + i * paletteEntry;
      palette[i] = 0xFF000000u | static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
                   static_cast<unsigned char>(data[at]);
    }
    paletteStart += count * paletteEntry;
  }
  if (compression == 0 && bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  if (compression == 0 && bpp == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }
  const Field red(masks[0]), green(masks[1]), blue(masks[2]);

  const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
  const std::size_t start = pixels != 0 ? pixels : paletteStart;
  Need(data, start, stride * static_cast<std::size_t>(height));
  const auto w = static_cast<int>(width), h = static_cast<int>(height);
  Bitmap out;
  out.width = w;
  out.height = h;
  out.argb.assign(static_cast<std::size_t>(w) * h, 0xFF000000u);
  bool anyAlpha = false;
  for (int row = 0; row < h; ++row) {
    const int y = topDown ? row : h - 1 - row;
    const auto* src = reinterpret_cast<const unsigned char*>(data.data() + start + stride * row);
    std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      std::uint32_t px = 0;
      switch (bpp) {
        case 1: px = palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: px = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF]; break;
        case 8: px = palette[src[x]]; break;
        case 16: {
          const std::uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
          px = 0xFF000000u | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
          break;
        }
        case 24: px = 0xFF000000u | std::uint32_t{src[3 * x + 2]} << 16 | std::uint32_t{src[3 * x + 1]} << 8 | src[3 * x]; break;
        case 32: {
          const std::uint32_t v = src[4 * x] | src[4 * x + 1] << 8 | src[4 * x + 2] << 16 | std::uint32_t{src[4 * x + 3]} << 24;
          const std::uint32_t alpha = v >> 24;
          anyAlpha = anyAlpha || alpha != 0;
          // GDI ignores the fourth byte of a bitmap; an icon's is its alpha.
          px = (iconMask ? alpha << 24 : 0xFF000000u) | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
          break;
        }
        default: break;
      }
      dst[x] = px;
    }
  }
  if (iconMask && (bpp != 32 || !anyAlpha)) {
    // Colour icons without alpha take their transparency from the AND mask.
    const std::size_t maskStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
    const std::size_t maskStart = start + stride * h;
    const bool hasMask = maskStart <= data.size() && maskStride * h <= data.size() - maskStart;
    for (int row = 0; row < h; ++row) {
      const int y = h - 1 - row;
      std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * w;
      for (int x = 0; x < w; ++x) {
        bool transparent = false;
        if (hasMask) {
          const auto byte = static_cast<unsigned char>(data[maskStart + maskStride * row + x / 8]);
          transparent = (byte >> (7 - x % 8)) & 1;
        }
        dst[x] = transparent ? 0u : (dst[x] | 0xFF000000u);
      }
    }
  }
  return out;
}

}  // namespace dib

Bitmap DecodeBmp(std::string_view file) {
  if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') throw ImageError("Not a bitmap file");
  const std::uint32_t offset = dib::U32(file, 10);
  // A zero or impossible pixel offset: the pixels follow the palette.
  const std::size_t pixels = offset >= 14 + 12 && offset < file.size() ? offset : 0;
  return dib::Decode(file, 14, pixels, false);
}

}  // namespace zentavo
